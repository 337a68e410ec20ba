#include "engine/loading_screen.h"

#include <GL/gl.h>

#include <cmath>

#include "engine/font_manager.h"
#include "platform/window.h"

// Bitmap text is textured too when texturing is on, and a scene may leave it
// on: text is printed with it off. The enables return with glPopAttrib.
static void pushTexturingOff() {
  glPushAttrib(GL_ENABLE_BIT);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_TEXTURE_CUBE_MAP);
}

void drawLoadingScreen(HDC dc, int font, int sceneIndex) {
  glDisable(GL_LIGHTING);
  glClear(GL_COLOR_BUFFER_BIT);
  glDisable(GL_DEPTH_TEST);
  pushTexturingOff();

  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0, 640, 0, 480, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();

  glColor3f(0.0f, 0.2f, 0.9f);
  glBegin(GL_LINES);
  glVertex3i(10, 440, 0);
  glVertex3i(630, 440, 0);
  glEnd();
  drawFractalLine(Vector3(10, 440, 0), Vector3(630, 440, 0), sceneIndex);

  glColor3f(1.0f, 1.0f, 1.0f);
  glLoadIdentity();
  FontManager::instance()->printBitmap(font, 420, 220, "Loading...");

  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glPopAttrib();
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_LIGHTING);
  if (dc) platform::swapBuffers(dc);
}

// A vertex at a point's coordinates truncated toward zero.
static void vertexAt(const Vector3& p) {
  glVertex3i(static_cast<int>(p.x), static_cast<int>(p.y), 0);
}

void drawFractalLine(Vector3 start, Vector3 end, int depth) {
  if (depth <= 0) return;
  const float dx = end.x - start.x, dy = end.y - start.y;
  const float length = std::sqrt(dx * dx + dy * dy);
  if (length == 0.0f) return;  // no direction to hang a bump from
  const float third = length * 0.33333334f;
  const float inverse = 1.0f / length;
  const float ux = dx * inverse, uy = dy * inverse;
  const float nx = uy, ny = -ux;  // u turned by -90 degrees
  auto at = [&](float along, float across) {
    return Vector3(start.x + ux * (along * third) + nx * (across * third),
                   start.y + uy * (along * third) + ny * (across * third), 0.0f);
  };
  const Vector3 p1 = at(1.0f, 0.0f);
  const Vector3 p2 = at(1.1666666f, 1.0f);
  const Vector3 p3 = at(1.8333334f, 0.5f);
  const Vector3 p4 = at(2.0f, 0.0f);

  glColor3f(0.0f, 1.0f, 0.0f);
  glBegin(GL_LINES);
  vertexAt(p4);
  vertexAt(p3);
  vertexAt(p1);
  vertexAt(p2);
  vertexAt(p2);
  vertexAt(p3);
  glEnd();

  glColor3f(0.0f, 0.0f, 0.0f);
  glLineWidth(1.5f);
  glBegin(GL_LINES);
  vertexAt(p1);
  vertexAt(p4);
  glEnd();
  glLineWidth(1.0f);

  drawFractalLine(p1, p2, depth - 1);
  drawFractalLine(p2, p3, depth - 1);
  drawFractalLine(p3, p4, depth - 1);
}

void drawFpsOverlay(int font, int fps) {
  glDisable(GL_BLEND);
  glPushMatrix();
  glPushAttrib(GL_CURRENT_BIT);
  // Mesa 22 skips restoring the current colour when another attribute push
  // and pop (printBitmap's) lie in between; it is put back by hand too.
  GLfloat colour[4];
  glGetFloatv(GL_CURRENT_COLOR, colour);
  glLoadIdentity();
  glColor4f(1.0f, 1.0f, 0.0f, 1.0f);
  glDisable(GL_LIGHTING);
  // Over the frame whatever the scene left in the depth buffer.
  pushTexturingOff();
  glDisable(GL_DEPTH_TEST);

  FontManager::instance()->printBitmap(font, 10, 10, "FPS: %d", fps);

  glPopAttrib();
  glPopAttrib();
  glColor4fv(colour);
  glPopMatrix();
  glEnable(GL_LIGHTING);
  glEnable(GL_BLEND);
}

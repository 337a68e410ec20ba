#include "scenes/evolution_text_scene.h"

#include <GL/glew.h>
#include <GL/glu.h>
#include <GL/glut.h>

#include <algorithm>
#include <cmath>

#include "engine/font_manager.h"
#include "resources/texture_manager.h"

const char EVOLUTION_TEXT[] =
    "In the beginning there was this...evolution happend...in the end it was not enough...so "
    "there was even more"
    "........................................................................."  // 73 dots
    "\"";

// The degree-to-radian factor the path was laid out with.
static const double DEGREES_TO_RADIANS = 0.0174532;
// Path units (one per table step) to scene units.
static const float PATH_SCALE = 0.027777778f;
// A new letter starts when more frames than this have passed since the last.
static const int SPAWN_INTERVAL = 20;
// The path position a new letter starts at.
static const int FIRST_POSITION = 3;

LetterStream::LetterStream()
    : pathX{},
      pathY{},
      textStart(EVOLUTION_TEXT),
      textCursor(EVOLUTION_TEXT),
      spawnCounter(0),
      slots{} {}

void LetterStream::reset() {
  for (int v = 0; v < PATH_STEPS; ++v) {
    const double angle = v * DEGREES_TO_RADIANS;
    // Casting to int truncates toward zero.
    pathX[v] = static_cast<short>(static_cast<int>(300.0 * std::sin(angle)));
    pathY[v] = static_cast<short>(-70 - static_cast<int>(-100.0 * std::cos(angle)));
  }
  for (LetterSlot& slot : slots) slot.position = 0;
}

void LetterStream::emitLetter() {
  if (spawnCounter > SPAWN_INTERVAL) {
    for (LetterSlot& slot : slots) {
      if (slot.position != 0) continue;
      slot.position = FIRST_POSITION;
      if (*textCursor == '"') textCursor = textStart;
      slot.letter = *textCursor++;
      break;
    }
    spawnCounter = 0;
  }
  spawnCounter += 1;
}

void LetterStream::advance(int slot) {
  slots[slot].position = (slots[slot].position + 1) % PATH_STEPS;
}

SphereStyle sphereStyle(double t) {
  if (t <= 5.0) return SphereStyle::LIT;
  if (t <= 10.0) return SphereStyle::FLAT_DISC;
  if (t <= 15.0) return SphereStyle::WIRE_FRAME;
  if (t <= 20.0) return SphereStyle::FACETS;
  return SphereStyle::LIT;
}

BlurCopyRect blurCopyRect(int screenWidth, int screenHeight, int frameWidth, int frameHeight) {
  BlurCopyRect rect;
  // Integer halves, truncated toward zero.
  rect.x = screenWidth / 2 - BLUR_SIZE / 2;
  rect.y = screenHeight / 2 - BLUR_SIZE / 2;
  rect.left = std::clamp(-rect.x, 0, BLUR_SIZE);
  rect.right = std::clamp(frameWidth - rect.x, rect.left, BLUR_SIZE);
  rect.bottom = std::clamp(-rect.y, 0, BLUR_SIZE);
  rect.top = std::clamp(frameHeight - rect.y, rect.bottom, BLUR_SIZE);
  return rect;
}

EvolutionTextScene::EvolutionTextScene() : blurTexture(NO_TEXTURE) {}

bool EvolutionTextScene::load() {
  font = FontManager::instance()->buildOutlineFont(m_window->hDC, "Comic Sans MS", 24);
  return true;
}

void EvolutionTextScene::init() {
  // 1. The path around the ellipse; every slot free.
  letters.reset();

  // 2. The zoom blur's render target.
  blurTexture = TextureManager::instance()->createEmptyTexture(BLUR_SIZE, BLUR_SIZE, 4, NO_TEXTURE);

  // 3. Depth-tested, smooth, untextured, unlit, unblended.
  glShadeModel(GL_SMOOTH);
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  glClearDepth(1.0);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
  glDisable(GL_COLOR_MATERIAL);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_BLEND);
  glDisable(GL_LIGHTING);
  glDisable(GL_TEXTURE_1D);

  // 4. The sphere's light, placed under the current modelview matrix.
  const GLfloat ambient[] = {0.1f, 0.1f, 0.1f, 1.0f};
  const GLfloat diffuse[] = {1.0f, 1.0f, 1.0f, 1.0f};
  const GLfloat position[] = {-5.0f, 5.0f, 8.0f, 1.0f};
  glLightfv(GL_LIGHT1, GL_AMBIENT, ambient);
  glLightfv(GL_LIGHT1, GL_DIFFUSE, diffuse);
  glLightfv(GL_LIGHT1, GL_POSITION, position);
  glEnable(GL_LIGHT1);

  // 5. The sphere starts upright.
  sphereYaw = 0.0;
  spherePitch = 0.0;
}

void EvolutionTextScene::draw() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  letters.emitLetter();
  drawLetters();
  drawSphere();
  if (m_localTime > 30.0) drawZoomBlur();
}

void EvolutionTextScene::drawLetters() {
  // Plain green: the frame-rate overlay after the last frame left lighting on.
  glDisable(GL_LIGHTING);
  for (int i = LETTER_SLOTS - 1; i >= 0; --i) {
    const int p = letters.slots[i].position;
    if (p <= 0) continue;
    glColor4f(0.0f, 1.0f, 0.0f, 1.0f);
    glLoadIdentity();
    glTranslatef(letters.pathX[p] * PATH_SCALE, letters.pathY[p] * PATH_SCALE, -20.0f);
    glRotatef(5.5f, 1.0f, 0.0f, 0.0f);
    FontManager::instance()->printOutline(font, "%c", letters.slots[i].letter);
    letters.advance(i);
  }
}

void EvolutionTextScene::drawSphere() {
  glPushMatrix();
  glLoadIdentity();
  gluLookAt(0.0, 0.0, 1.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
  // Each rotation uses the angle from before its step.
  glRotated(sphereYaw, 0.0, 1.0, 0.0);
  if (sphereYaw >= 360.0) sphereYaw = 0.0;
  sphereYaw += 0.5;
  glRotated(spherePitch, 1.0, 0.0, 0.0);
  if (spherePitch >= 360.0) spherePitch = 0.0;
  spherePitch += 0.5;

  switch (sphereStyle(m_localTime)) {
    case SphereStyle::LIT: glEnable(GL_LIGHTING); break;
    case SphereStyle::FLAT_DISC:
      glDisable(GL_LIGHTING);
      glDisable(GL_BLEND);
      glDisable(GL_TEXTURE_2D);
      break;
    case SphereStyle::WIRE_FRAME:
      glDisable(GL_LIGHTING);
      glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
      glLineWidth(1.0f);
      break;
    case SphereStyle::FACETS:
      glEnable(GL_LIGHTING);
      glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
      glShadeModel(GL_FLAT);
      break;
  }

  glDisable(GL_BLEND);
  glColor3f(1.0f, 1.0f, 1.0f);
  glutSolidSphere(0.2, 40, 40);
  glPopMatrix();

  // Back to filled, smooth and unlit; blending stays on for the next letters.
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  glShadeModel(GL_SMOOTH);
  glDisable(GL_LIGHTING);
  glEnable(GL_BLEND);
}

void EvolutionTextScene::drawZoomBlur() {
  // 1. The middle 512 x 512 of the frame into the blur texture.
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, blurTexture);
  const int width = m_window->screenWidth, height = m_window->screenHeight;
  const BlurCopyRect rect = blurCopyRect(width, height, width, height);
  glCopyTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, rect.x, rect.y, BLUR_SIZE, BLUR_SIZE, 0);
  blackenUncovered(rect);

  // 2. A black frame to draw the blur on.
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glDisable(GL_TEXTURE_2D);

  // 3. 512 x 512 units over the whole viewport.
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0.0, BLUR_SIZE, 0.0, BLUR_SIZE, -1.0, 1.0);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();

  // 4. The copy, alpha-blended.
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, blurTexture);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

  // 5. Thirty layers, each a smaller middle part of the copy, more faintly.
  // They wind clockwise, so they are drawn with culling off whatever the
  // scene before left on, and culling is back as it was afterwards.
  glPushAttrib(GL_ENABLE_BIT);
  glDisable(GL_CULL_FACE);
  glBegin(GL_QUADS);
  for (int i = 0; i < 30; ++i) {
    const float alpha = i == 0 ? 1.0f : 0.3f / static_cast<float>(i);
    const float s = static_cast<float>(i) * 0.013333334f;
    glColor4f(1.0f, 1.0f, 1.0f, alpha);
    glTexCoord2f(s, s);
    glVertex2f(0.0f, 0.0f);
    glTexCoord2f(s, 1.0f - s);
    glVertex2f(0.0f, BLUR_SIZE);
    glTexCoord2f(1.0f - s, 1.0f - s);
    glVertex2f(BLUR_SIZE, BLUR_SIZE);
    glTexCoord2f(1.0f - s, s);
    glVertex2f(BLUR_SIZE, 0.0f);
  }
  glEnd();
  glPopAttrib();

  // 6. Back to the scene's matrices and an untextured, unblended state.
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glDisable(GL_BLEND);
  glEnable(GL_DEPTH_TEST);
  glDisable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, 0);
}

void EvolutionTextScene::blackenUncovered(const BlurCopyRect& rect) {
  const int below = rect.bottom;
  const int above = BLUR_SIZE - rect.top;
  const bool sides = rect.left > 0 || rect.right < BLUR_SIZE;
  const int rows = std::max({below, above, sides ? rect.top - rect.bottom : 0});
  if (rows == 0) return;
  // Zero rows long enough for a full texture row under any unpack alignment.
  const size_t rowBytes = 4 * BLUR_SIZE;
  if (blackPixels.size() < rowBytes * rows) blackPixels.assign(rowBytes * rows, 0);
  const unsigned char* black = blackPixels.data();
  if (below > 0)
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, BLUR_SIZE, below, GL_RGB, GL_UNSIGNED_BYTE, black);
  if (above > 0)
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, rect.top, BLUR_SIZE, above, GL_RGB, GL_UNSIGNED_BYTE,
                    black);
  const int covered = rect.top - rect.bottom;
  if (covered > 0 && rect.left > 0)
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, rect.bottom, rect.left, covered, GL_RGB, GL_UNSIGNED_BYTE,
                    black);
  if (covered > 0 && rect.right < BLUR_SIZE)
    glTexSubImage2D(GL_TEXTURE_2D, 0, rect.right, rect.bottom, BLUR_SIZE - rect.right, covered,
                    GL_RGB, GL_UNSIGNED_BYTE, black);
}

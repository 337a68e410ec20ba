#include "scenes/skull_skybox_scene.h"

#include <algorithm>
#include <cmath>

#include <GL/glew.h>
#include <GL/glu.h>
#include <GL/glut.h>

#include "platform/window.h"
#include "resources/texture_manager.h"

int skyAngle = 1;

namespace {

constexpr int CUBE_MAP_SIZE = 512;
// The earths as drawEarths places them in the cube-map pass: inner orbit
// radius, sphere radius, degrees per frame and the axis they turn about.
struct Orbit {
  double radius, sphere, degreesPerFrame;
  bool aboutY;  // about y starting on +x; otherwise about z starting on +y
};
constexpr Orbit ORBITS[2] = {{2.0, 0.25, 4.0, true}, {2.25, 0.35, 2.0, false}};
constexpr double CAPTURE_NEAR = 0.1;

// A quad with texture corners (0, 0), (1, 0), (1, 1), (0, 1).
void texturedQuad(const float v[4][3]) {
  const float uv[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  for (int i = 0; i < 4; ++i) {
    glTexCoord2f(uv[i][0], uv[i][1]);
    glVertex3f(v[i][0], v[i][1], v[i][2]);
  }
}

void enableTexGen(bool on) {
  for (GLenum coord : {GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T, GL_TEXTURE_GEN_R}) {
    if (on)
      glEnable(coord);
    else
      glDisable(coord);
  }
}

void setTexGenMode(GLint mode) {
  for (GLenum coord : {GL_S, GL_T, GL_R}) glTexGeni(coord, GL_TEXTURE_GEN_MODE, mode);
}

// Whether a surface drawn later behind a nearer one leaves the nearer one
// as it was: depth test and depth writes on, a less-or-equal test, no blending.
bool depthHidesSkyBehindSkull() {
  GLboolean writes = GL_FALSE;
  glGetBooleanv(GL_DEPTH_WRITEMASK, &writes);
  GLint func = GL_ALWAYS;
  glGetIntegerv(GL_DEPTH_FUNC, &func);
  return writes && glIsEnabled(GL_DEPTH_TEST) && !glIsEnabled(GL_BLEND) &&
         (func == GL_LESS || func == GL_LEQUAL);
}

void mainCamera() {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(40.0, 1.0, 1.0, 10.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  gluLookAt(0.0, 0.0, 4.9, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
}

}  // namespace

SkullSkyboxScene::~SkullSkyboxScene() {
  if (earthLists) glDeleteLists(earthLists, 2);
  if (!captureFramebuffer) return;
  glDeleteFramebuffers(1, &captureFramebuffer);
  glDeleteRenderbuffers(1, &captureColour);
  glDeleteRenderbuffers(1, &captureDepth);
}

bool SkullSkyboxScene::load() {
  const GLenum targets[6] = {GL_TEXTURE_CUBE_MAP_POSITIVE_X, GL_TEXTURE_CUBE_MAP_NEGATIVE_X,
                             GL_TEXTURE_CUBE_MAP_POSITIVE_Y, GL_TEXTURE_CUBE_MAP_NEGATIVE_Y,
                             GL_TEXTURE_CUBE_MAP_POSITIVE_Z, GL_TEXTURE_CUBE_MAP_NEGATIVE_Z};
  const Vector3 views[6][2] = {
      {Vector3(1, 0, 0), Vector3(0, -1, 0)}, {Vector3(-1, 0, 0), Vector3(0, -1, 0)},
      {Vector3(0, 1, 0), Vector3(0, 0, 1)},  {Vector3(0, -1, 0), Vector3(0, 0, -1)},
      {Vector3(0, 0, 1), Vector3(0, -1, 0)}, {Vector3(0, 0, -1), Vector3(0, -1, 0)}};
  for (int i = 0; i < 6; ++i) {
    faceTargets[i] = targets[i];
    faceViews[i][0] = views[i][0];
    faceViews[i][1] = views[i][1];
  }
  model.load("models/skull.3ds", false);
  orbitTime = 0.0;
  return true;
}

void SkullSkyboxScene::init() {
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  glShadeModel(GL_SMOOTH);
  mainCamera();
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_COLOR_MATERIAL);
  glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
  glEnable(GL_CULL_FACE);

  TextureManager* textures = TextureManager::instance();
  const char* files[6] = {"textures/dn.jpg", "textures/up.jpg", "textures/lt.jpg",
                          "textures/rt.jpg", "textures/bk.jpg", "textures/ft.jpg"};
  for (int i = 0; i < 6; ++i) skyboxTextures[i] = textures->loadTexture(files[i], 1, NO_TEXTURE);
  earthTexture = textures->loadTexture("textures/earth.jpg", 1, NO_TEXTURE);

  glEnable(GL_TEXTURE_CUBE_MAP);
  glGenTextures(1, &cubeMap);
  glBindTexture(GL_TEXTURE_CUBE_MAP, cubeMap);
  glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  // No mipmaps: the linear filters sample level 0 only, and generating the
  // chain again after each of the six face copies cost an eighth of the frame.
  glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_GENERATE_MIPMAP, GL_FALSE);
  for (GLenum target : faceTargets) {
    glTexImage2D(target, 0, GL_RGB, CUBE_MAP_SIZE, CUBE_MAP_SIZE, 0, GL_RGB, GL_UNSIGNED_BYTE,
                 nullptr);
  }
  glDisable(GL_TEXTURE_CUBE_MAP);

  setTexGenMode(GL_REFLECTION_MAP);
  invalidateCubeMap();
  // The earths are drawn seven times a frame: their spheres are made once.
  if (!earthLists) {
    earthLists = glGenLists(2);
    glNewList(earthLists, GL_COMPILE);
    glutSolidSphere(0.25, 35, 35);
    glEndList();
    glNewList(earthLists + 1, GL_COMPILE);
    glutSolidSphere(0.35, 35, 35);
    glEndList();
  }
}

void SkullSkyboxScene::invalidateCubeMap() { facesWhole = false; }

SkullSkyboxScene::FaceRect SkullSkyboxScene::earthRect(int face) const {
  const Vector3& f = faceViews[face][0];
  const Vector3& up = faceViews[face][1];
  // gluLookAt's eye axes: side s = f x up, true up u = s x f.
  const double sx = f.y * up.z - f.z * up.y, sy = f.z * up.x - f.x * up.z,
               sz = f.x * up.y - f.y * up.x;
  const double ux = sy * f.z - sz * f.y, uy = sz * f.x - sx * f.z, uz = sx * f.y - sy * f.x;
  double lo[2] = {1e9, 1e9}, hi[2] = {-1e9, -1e9};
  bool seen = false;
  for (const Orbit& o : ORBITS) {
    const double a = o.degreesPerFrame * orbitTime * 3.14159265358979 / 180.0;
    const double cx = o.aboutY ? o.radius * std::cos(a) : -o.radius * std::sin(a);
    const double cy = o.aboutY ? 0.0 : o.radius * std::cos(a);
    const double cz = o.aboutY ? -o.radius * std::sin(a) : 0.0;
    // Wholly outside one of the four side planes |side| = depth: not seen.
    const double depthC = cx * f.x + cy * f.y + cz * f.z;
    const double sideC = cx * sx + cy * sy + cz * sz, upC = cx * ux + cy * uy + cz * uz;
    const double reach = o.sphere * std::sqrt(2.0);
    if (sideC - depthC > reach || -sideC - depthC > reach || upC - depthC > reach ||
        -upC - depthC > reach)
      continue;
    int inFront = 0;
    double boxLo[2] = {1e9, 1e9}, boxHi[2] = {-1e9, -1e9};
    for (int corner = 0; corner < 8; ++corner) {
      const double px = cx + (corner & 1 ? o.sphere : -o.sphere);
      const double py = cy + (corner & 2 ? o.sphere : -o.sphere);
      const double pz = cz + (corner & 4 ? o.sphere : -o.sphere);
      const double depth = px * f.x + py * f.y + pz * f.z;
      if (depth <= CAPTURE_NEAR) continue;
      ++inFront;
      const double screen[2] = {(px * sx + py * sy + pz * sz) / depth,
                                (px * ux + py * uy + pz * uz) / depth};
      for (int k = 0; k < 2; ++k) {
        boxLo[k] = std::min(boxLo[k], screen[k]);
        boxHi[k] = std::max(boxHi[k], screen[k]);
      }
    }
    if (inFront == 0) continue;  // wholly behind this camera
    seen = true;
    for (int k = 0; k < 2; ++k) {
      // A box reaching behind the camera can project anywhere.
      lo[k] = std::min(lo[k], inFront < 8 ? -1.0 : boxLo[k]);
      hi[k] = std::max(hi[k], inFront < 8 ? 1.0 : boxHi[k]);
    }
  }
  FaceRect r;
  if (!seen) return r;
  const auto pixel = [](double ndc) { return (ndc + 1.0) * 0.5 * CUBE_MAP_SIZE; };
  r.x0 = std::max(0, static_cast<int>(std::floor(pixel(lo[0]))) - 2);
  r.y0 = std::max(0, static_cast<int>(std::floor(pixel(lo[1]))) - 2);
  r.x1 = std::min(CUBE_MAP_SIZE, static_cast<int>(std::ceil(pixel(hi[0]))) + 2);
  r.y1 = std::min(CUBE_MAP_SIZE, static_cast<int>(std::ceil(pixel(hi[1]))) + 2);
  return r.empty() ? FaceRect() : r;
}

void SkullSkyboxScene::drawEarths(float innerRadius) {
  glEnable(GL_TEXTURE_2D);
  enableTexGen(true);
  glBindTexture(GL_TEXTURE_2D, earthTexture);
  glPushMatrix();
  glRotatef(4.0f * static_cast<float>(orbitTime), 0.0f, 1.0f, 0.0f);
  glTranslatef(innerRadius, 0.0f, 0.0f);
  glCallList(earthLists);
  glPopMatrix();
  glPushMatrix();
  glRotatef(2.0f * static_cast<float>(orbitTime), 0.0f, 0.0f, 1.0f);
  glTranslatef(0.0f, 2.25f, 0.0f);
  glCallList(earthLists + 1);
  glPopMatrix();
  enableTexGen(false);
}

void SkullSkyboxScene::draw() {
  glEnable(GL_NORMALIZE);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glPushMatrix();
  glRotatef(static_cast<float>(skyAngle), 0.0f, 1.0f, 0.0f);

  drawEarths(1.75f);
  // The sky lies behind everything in the main view. Where the depth test
  // will hide it behind the skull, it goes in after the skull, so that it is
  // skipped where the skull covers it, with the normal and colour that were
  // current here, as if it came first; otherwise (the first frame may find
  // depth writes off or blending on) it goes first.
  const bool skyLast = depthHidesSkyBehindSkull();
  float normal[3], colour[4];
  glGetFloatv(GL_CURRENT_NORMAL, normal);
  glGetFloatv(GL_CURRENT_COLOR, colour);
  if (!skyLast) drawSkybox();

  // The skull takes its colour from the cube map along its normals; the
  // texture matrix undoes the world turn so the lookup matches the capture.
  glPushAttrib(GL_TEXTURE_BIT);
  setTexGenMode(GL_NORMAL_MAP);
  enableTexGen(true);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  glDisable(GL_TEXTURE_2D);
  glEnable(GL_TEXTURE_CUBE_MAP);
  glBindTexture(GL_TEXTURE_CUBE_MAP, cubeMap);
  glPushMatrix();
  glMatrixMode(GL_TEXTURE);
  glPushMatrix();
  glRotatef(-static_cast<float>(skyAngle), 0.0f, 1.0f, 0.0f);
  glMatrixMode(GL_MODELVIEW);
  model.draw();
  glColor3f(1.0f, 1.0f, 1.0f);
  glMatrixMode(GL_TEXTURE);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glDisable(GL_TEXTURE_CUBE_MAP);
  glPopAttrib();  // GL_TEXTURE_2D is on again, as the earths left it

  if (skyLast) {
    glNormal3fv(normal);
    glColor4fv(colour);
    drawSkybox();
    glColor3f(1.0f, 1.0f, 1.0f);
  }

  glPopMatrix();
  glFlush();
  platform::swapBuffers(m_window->hDC);

  captureCubeMap();

  skyAngle += 1;
  if (skyAngle == 360) skyAngle = 0;
  orbitTime += 1.0;
  if (orbitTime >= 360.0) orbitTime = 0.0;
}

void SkullSkyboxScene::present() {}

void SkullSkyboxScene::drawSkybox() {
  const float s = SKYBOX_HALF_SIZE;
  const float quads[6][4][3] = {{{-s, s, s}, {s, s, s}, {s, s, -s}, {-s, s, -s}},       // up
                                {{s, s, s}, {-s, s, s}, {-s, -s, s}, {s, -s, s}},       // back
                                {{s, s, -s}, {s, s, s}, {s, -s, s}, {s, -s, -s}},       // right
                                {{-s, s, s}, {-s, s, -s}, {-s, -s, -s}, {-s, -s, s}},   // left
                                {{s, -s, s}, {-s, -s, s}, {-s, -s, -s}, {s, -s, -s}},   // down
                                {{-s, s, -s}, {s, s, -s}, {s, -s, -s}, {-s, -s, -s}}};  // front
  const int texture[6] = {UP, BACK, RIGHT, LEFT, DOWN, FRONT};

  // The quads wind counter-clockwise seen from outside, so culling the front
  // faces shows the cube from within: its far sides behind the skull in the
  // main view, every side around the cube-map cameras at the centre. Those
  // are back faces, so they are filled whatever an earlier scene left.
  glPushAttrib(GL_POLYGON_BIT);
  glCullFace(GL_FRONT);
  glPolygonMode(GL_BACK, GL_FILL);

  for (int i = 0; i < 6; ++i) {
    glBindTexture(GL_TEXTURE_2D, skyboxTextures[texture[i]]);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    glBegin(GL_QUADS);
    if (texture[i] == BACK) glNormal3f(0.0f, 0.0f, -1.0f);
    texturedQuad(quads[i]);
    glEnd();
  }
  glPopAttrib();
}

void SkullSkyboxScene::drawEnvironment() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  drawEarths(2.0f);
  drawSkybox();
  glDisable(GL_TEXTURE_2D);
}

void SkullSkyboxScene::captureCubeMap() {
  // Where the window cannot hold a 512 x 512 face, render it off screen.
  const bool offScreen =
      m_window->screenWidth < CUBE_MAP_SIZE || m_window->screenHeight < CUBE_MAP_SIZE;
  if (offScreen) {
    if (!captureFramebuffer) {
      glGenFramebuffers(1, &captureFramebuffer);
      glGenRenderbuffers(1, &captureColour);
      glGenRenderbuffers(1, &captureDepth);
      glBindRenderbuffer(GL_RENDERBUFFER, captureColour);
      glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, CUBE_MAP_SIZE, CUBE_MAP_SIZE);
      glBindRenderbuffer(GL_RENDERBUFFER, captureDepth);
      glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, CUBE_MAP_SIZE, CUBE_MAP_SIZE);
      glBindRenderbuffer(GL_RENDERBUFFER, 0);
      glBindFramebuffer(GL_FRAMEBUFFER, captureFramebuffer);
      glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                                captureColour);
      glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, captureDepth);
    }
    glBindFramebuffer(GL_FRAMEBUFFER, captureFramebuffer);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
  } else {
    glReadBuffer(GL_BACK);
  }

  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(90.0, 1.0, CAPTURE_NEAR, 5.0);
  glViewport(0, 0, CUBE_MAP_SIZE, CUBE_MAP_SIZE);
  glMatrixMode(GL_MODELVIEW);
  // Outside the earths' squares of now and of the last capture a face holds
  // the sky, unchanged: each face redraws and copies only their union.
  glPushAttrib(GL_SCISSOR_BIT);
  glEnable(GL_SCISSOR_TEST);
  for (int i = 0; i < 6; ++i) {
    const FaceRect now = earthRect(i);
    FaceRect dirty = earthsDrawn[i];
    if (!facesWhole) {
      dirty = {0, 0, CUBE_MAP_SIZE, CUBE_MAP_SIZE};
    } else if (dirty.empty()) {
      dirty = now;
    } else if (!now.empty()) {
      dirty = {std::min(dirty.x0, now.x0), std::min(dirty.y0, now.y0), std::max(dirty.x1, now.x1),
               std::max(dirty.y1, now.y1)};
    }
    earthsDrawn[i] = now;
    if (dirty.empty()) continue;
    glScissor(dirty.x0, dirty.y0, dirty.x1 - dirty.x0, dirty.y1 - dirty.y0);
    glPushMatrix();
    glClear(GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    glLoadIdentity();
    const Vector3& look = faceViews[i][0];
    const Vector3& up = faceViews[i][1];
    gluLookAt(0.0, 0.0, 0.0, look.x, look.y, look.z, up.x, up.y, up.z);
    drawEnvironment();
    glEnable(GL_TEXTURE_CUBE_MAP);
    glBindTexture(GL_TEXTURE_CUBE_MAP, cubeMap);
    glCopyTexSubImage2D(faceTargets[i], 0, dirty.x0, dirty.y0, dirty.x0, dirty.y0,
                        dirty.x1 - dirty.x0, dirty.y1 - dirty.y0);
    glDisable(GL_TEXTURE_CUBE_MAP);
    glPopMatrix();
  }
  glPopAttrib();
  facesWhole = true;
  if (offScreen) glBindFramebuffer(GL_FRAMEBUFFER, 0);

  mainCamera();
  glViewport(0, 0, m_window->screenWidth, m_window->screenHeight);
}

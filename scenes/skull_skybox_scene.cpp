#include "scenes/skull_skybox_scene.h"

#include <GL/glew.h>
#include <GL/glu.h>
#include <GL/glut.h>

#include "engine/globals.h"
#include "platform/window.h"
#include "resources/texture_manager.h"

int skyAngle = 1;

namespace {

constexpr int CUBE_MAP_SIZE = 512;

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
}

void SkullSkyboxScene::drawEarths(float innerRadius) {
  glEnable(GL_TEXTURE_2D);
  enableTexGen(true);
  glBindTexture(GL_TEXTURE_2D, earthTexture);
  glPushMatrix();
  glRotatef(4.0f * static_cast<float>(orbitTime), 0.0f, 1.0f, 0.0f);
  glTranslatef(innerRadius, 0.0f, 0.0f);
  glutSolidSphere(0.25, 35, 35);
  glPopMatrix();
  glPushMatrix();
  glRotatef(2.0f * static_cast<float>(orbitTime), 0.0f, 0.0f, 1.0f);
  glTranslatef(0.0f, 2.25f, 0.0f);
  glutSolidSphere(0.35, 35, 35);
  glPopMatrix();
  enableTexGen(false);
}

void SkullSkyboxScene::draw() {
  glEnable(GL_NORMALIZE);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glPushMatrix();
  glRotatef(static_cast<float>(skyAngle), 0.0f, 1.0f, 0.0f);

  drawEarths(1.75f);
  drawSkybox();

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

  glPopMatrix();
  glPopAttrib();
  glFlush();
  platform::swapBuffers(hDC);

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
  const bool offScreen = screenWidth < CUBE_MAP_SIZE || screenHeight < CUBE_MAP_SIZE;
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
  gluPerspective(90.0, 1.0, 0.1, 5.0);
  glViewport(0, 0, CUBE_MAP_SIZE, CUBE_MAP_SIZE);
  glMatrixMode(GL_MODELVIEW);
  for (int i = 0; i < 6; ++i) {
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
    glCopyTexSubImage2D(faceTargets[i], 0, 0, 0, 0, 0, CUBE_MAP_SIZE, CUBE_MAP_SIZE);
    glDisable(GL_TEXTURE_CUBE_MAP);
    glPopMatrix();
  }
  if (offScreen) glBindFramebuffer(GL_FRAMEBUFFER, 0);

  mainCamera();
  glViewport(0, 0, screenWidth, screenHeight);
}

#include "scenes/torus_knot_scene.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "geometry/light.h"

bool TorusKnotScene::load() {
  // The light's position is the eye-space light direction of the cel shading.
  Light light;
  light.position = Vector3(0.3f, 0.1f, 0.8f);
  model.loadCelShaded("models/torusknot.3ds", light, 0, 1, 0, 3);
  return true;
}

void TorusKnotScene::init() {
  glShadeModel(GL_SMOOTH);
  glClearColor(0.0f, 0.0f, 0.0f, 0.5f);
  glClearDepth(1.0);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);

  cameraDistance = 80.0;
  angleX = 0.0;
  angleY = 0.0;

  // Light 1 is set up, but the cel renderer draws unlit.
  const float ambient[4] = {0.1f, 0.1f, 0.1f, 1.0f};
  const float diffuse[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  const float position[4] = {-5.0f, 5.0f, 8.0f, 1.0f};
  glLightfv(GL_LIGHT1, GL_AMBIENT, ambient);
  glLightfv(GL_LIGHT1, GL_DIFFUSE, diffuse);
  glLightfv(GL_LIGHT1, GL_POSITION, position);
  glEnable(GL_LIGHT1);

  glDisable(GL_COLOR_MATERIAL);
  glDisable(GL_NORMALIZE);
  glDisable(GL_BLEND);
  glDisable(GL_TEXTURE_2D);
  glCullFace(GL_BACK);
}

void TorusKnotScene::draw() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glLoadIdentity();
  gluLookAt(0.0, 0.0, cameraDistance, 0.0, 3.0, 0.0, 0.0, 1.0, 0.0);
  glRotated(angleX, 1.0, 0.0, 0.0);
  glRotated(angleY, 1.0, 0.0, 1.0);

  // One degree per frame; 360 is shown once, then the count starts at 1 again.
  if (angleX == 360.0) angleX = 0.0;
  angleX += 1.0;
  if (angleY == 360.0) angleY = 0.0;
  angleY += 1.0;

  model.draw();
}

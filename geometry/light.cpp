#include "geometry/light.h"

#include <GL/gl.h>

static const GLenum lightNames[8] = {GL_LIGHT0, GL_LIGHT1, GL_LIGHT2, GL_LIGHT3,
                                     GL_LIGHT4, GL_LIGHT5, GL_LIGHT6, GL_LIGHT7};

Light* globalLights[GLOBAL_LIGHT_COUNT] = {new Light, new Light};

void deleteGlobalLights() {
  for (Light*& light : globalLights) {
    delete light;
    light = nullptr;
  }
}

void Light::reset() {
  orientation = Quaternion(0.0f, 0.0f, 0.0f, 1.0f);
  position = Vector3(-3.0f, 3.0f, -8.0f);
  for (float& f : reserved) f = 0.0f;

  const float black[4] = {0.0f, 0.0f, 0.0f, 1.0f};
  const float white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
  for (int i = 0; i < 4; ++i) {
    ambient[i] = black[i];
    diffuse[i] = white[i];
    specular[i] = white[i];
  }
  reservedScalar = 0.0f;

  spotDirection = orientation.forward();
  spotExponent = 0.0f;
  spotCutoff = 180.0f;
  attenuation[0] = 1.0f;
  attenuation[1] = 0.0f;
  attenuation[2] = 0.0f;
  flags[0] = flags[1] = flags[2] = false;
  globalAmbient[0] = globalAmbient[1] = globalAmbient[2] = 0.8f;
  globalAmbient[3] = 1.0f;
}

void Light::apply() const {
  const GLenum name = lightNames[number & 7];
  const float direction[4] = {position.x, position.y, position.z, 0.0f};
  glLightfv(name, GL_POSITION, direction);
  glLightfv(name, GL_AMBIENT, ambient);
  glLightfv(name, GL_DIFFUSE, diffuse);
  glLightfv(name, GL_SPECULAR, specular);
  glEnable(name);
  glLightModelfv(GL_LIGHT_MODEL_AMBIENT, globalAmbient);
}

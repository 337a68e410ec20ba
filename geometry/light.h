// A GL light source record. Two global lights give the window its default
// lighting (initGL); a model keeps one of its own by value.
#pragma once

#include "geometry/vector_math.h"

struct Light : Transform {
  float reserved[6];  // zeroed by reset; read nowhere
  float unusedTail;   // never set; read nowhere
  int number = 0;     // 0-7: which of GL_LIGHT0 .. GL_LIGHT7
  float ambient[4];
  float diffuse[4];
  float specular[4];
  float reservedScalar;  // zeroed by reset
  Vector3 spotDirection;
  float spotExponent;
  float spotCutoff;
  float attenuation[3];  // constant, linear, quadratic
  float globalAmbient[4];
  bool flags[3];  // false after reset; read nowhere

  // Only orientation, position and spot direction get values; reset fills the rest.
  Light() = default;

  // Sets the defaults: directional white light from (-3, 3, -8).
  void reset();

  // Sends position, colours and global ambient to the GL light and enables it.
  void apply() const;
};

// The two process-wide lights, created before the program starts and deleted
// at shutdown.
constexpr int GLOBAL_LIGHT_COUNT = 2;
extern Light* globalLights[GLOBAL_LIGHT_COUNT];

// Deletes the two global lights.
void deleteGlobalLights();

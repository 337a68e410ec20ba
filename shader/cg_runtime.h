// The shader runtime's tables, shared by its two source files (internal):
// cg_runtime.cpp (contexts, errors, programs, parameters) and cg_gl.cpp (the
// GL side: profiles, compiling, linking, binding, parameter values).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "shader/cg.h"
#include "shader/translate/cg_translate.h"

namespace platform::cgrt {

using Id = uintptr_t;

struct Context {
  std::string lastListing;
};

struct Program {
  Id context = 0;
  CGprofile profile = CG_PROFILE_UNKNOWN;
  cg::Stage stage = cg::Stage::VERTEX;
  std::string fileName;
  cg::Translation translation;
  std::vector<Id> parameters;  // in declaration order
  unsigned int shader = 0;     // GL shader object once loaded
};

struct Parameter {
  Id program = 0;
  cg::ParameterInfo info;
  float value[16] = {};      // numbers; matrices row by row, as Cg writes them
  bool hasValue = false;     // a value has been set
  std::vector<Id> elements;  // arrays: the parameter of each element
  unsigned int texture = 0;  // samplers: the GL texture
  int unit = 0;              // samplers: the texture unit
};

// A linked GLSL program for a (vertex, fragment) pair; 0 stands for the
// fixed-function stage. program is 0 when linking failed.
struct Link {
  unsigned int program = 0;
  std::map<Id, int> locations;  // uniform locations by parameter
};

struct Runtime {
  Id nextId = 1;
  std::map<Id, Context> contexts;
  std::map<Id, Program> programs;
  std::map<Id, Parameter> parameters;
  CGerror lastError = CG_NO_ERROR;
  CGerrorCallbackFunc callback = nullptr;
  const char* extensionOverride = nullptr;

  bool vertexEnabled = false;
  bool fragmentEnabled = false;
  Id boundVertex = 0;
  Id boundFragment = 0;
  std::map<std::pair<Id, Id>, Link> links;
  std::pair<Id, Id> current{0, 0};  // the pair whose link is in use
};

Runtime& runtime();

// Records an error and calls the error callback.
void raise(CGerror error);

// The table entries behind handles; null (after raising the handle's error)
// when the handle is unknown.
Program* findProgram(CGprogram handle);
Parameter* findParameter(CGparameter handle);

// The translator's profile and the stage of a profile; false for an unknown one.
bool translatorProfile(CGprofile profile, cg::Profile* out);
bool profileStage(CGprofile profile, cg::Stage* stage);

// Applies CG_GL_MATRIX_IDENTITY, _TRANSPOSE, _INVERSE or _INVERSE_TRANSPOSE
// to a column-major 4x4 matrix; false for another enumerant. A singular
// matrix has no inverse and is left as it is.
bool applyMatrixTransform(float m[16], CGGLenum transform);

// Sends a parameter's value to the linked program in use, if it is one of
// its programs'.
void uploadIfCurrent(Id param);

// GL side of destroying a program: its shader and every link holding it.
void releaseProgramGL(Id program);

// Makes the GLSL program for the enabled and bound stages current.
void updateCurrentProgram();

}  // namespace platform::cgrt

// Contexts, errors, programs and parameters of the shader runtime.
#include "shader/cg_runtime.h"

#include <cstdio>
#include <utility>

namespace platform::cgrt {

namespace {

// Source files larger than this are refused rather than read.
constexpr long MAX_SOURCE_BYTES = 1 << 20;

template <typename Handle>
Handle toHandle(Id id) {
  return reinterpret_cast<Handle>(id);
}

template <typename Handle>
Id toId(Handle handle) {
  return reinterpret_cast<Id>(handle);
}

// Reads a whole file; false when it cannot be read or is too large.
bool readFile(const char* path, std::string* text) {
  FILE* f = std::fopen(path, "rb");
  if (!f) return false;
  text->clear();
  char buffer[4096];
  size_t n;
  bool ok = true;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) {
    if (text->size() + n > static_cast<size_t>(MAX_SOURCE_BYTES)) {
      ok = false;
      break;
    }
    text->append(buffer, n);
  }
  ok = ok && !std::ferror(f);
  std::fclose(f);
  return ok;
}

}  // namespace

Runtime& runtime() {
  static Runtime r;
  return r;
}

void raise(CGerror error) {
  Runtime& rt = runtime();
  rt.lastError = error;
  if (rt.callback) rt.callback();
}

Program* findProgram(CGprogram handle) {
  auto it = runtime().programs.find(toId(handle));
  if (it != runtime().programs.end()) return &it->second;
  raise(CG_INVALID_PROGRAM_HANDLE_ERROR);
  return nullptr;
}

Parameter* findParameter(CGparameter handle) {
  auto it = runtime().parameters.find(toId(handle));
  if (it != runtime().parameters.end()) return &it->second;
  raise(CG_INVALID_PARAM_HANDLE_ERROR);
  return nullptr;
}

bool translatorProfile(CGprofile profile, cg::Profile* out) {
  switch (profile) {
    case CG_PROFILE_VP20: *out = cg::Profile::VP20; return true;
    case CG_PROFILE_ARBVP1: *out = cg::Profile::ARBVP1; return true;
    case CG_PROFILE_FP20: *out = cg::Profile::FP20; return true;
    case CG_PROFILE_FP30: *out = cg::Profile::FP30; return true;
    case CG_PROFILE_ARBFP1: *out = cg::Profile::ARBFP1; return true;
    default: return false;
  }
}

bool profileStage(CGprofile profile, cg::Stage* stage) {
  cg::Profile p;
  if (!translatorProfile(profile, &p)) return false;
  *stage = cg::profileStage(p);
  return true;
}

bool applyMatrixTransform(float m[16], CGGLenum transform) {
  if (transform == CG_GL_MATRIX_IDENTITY) return true;
  if (transform != CG_GL_MATRIX_TRANSPOSE && transform != CG_GL_MATRIX_INVERSE &&
      transform != CG_GL_MATRIX_INVERSE_TRANSPOSE)
    return false;
  if (transform != CG_GL_MATRIX_TRANSPOSE) {
    // Inverse by cofactors, in double for accuracy.
    double a[16], inv[16];
    for (int i = 0; i < 16; ++i) a[i] = m[i];
    for (int i = 0; i < 16; ++i) {
      const int row = i % 4, col = i / 4;
      // Cofactor of element (col, row): the minor without that row and column.
      double minor[9];
      int k = 0;
      for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
          if (c != row && r != col) minor[k++] = a[c * 4 + r];
      const double det3 = minor[0] * (minor[4] * minor[8] - minor[5] * minor[7]) -
                          minor[3] * (minor[1] * minor[8] - minor[2] * minor[7]) +
                          minor[6] * (minor[1] * minor[5] - minor[2] * minor[4]);
      inv[i] = ((row + col) % 2 ? -1.0 : 1.0) * det3;
    }
    double det = 0;
    for (int r = 0; r < 4; ++r) det += a[r] * inv[r * 4];
    if (det == 0) return true;
    for (int i = 0; i < 16; ++i) m[i] = static_cast<float>(inv[i] / det);
  }
  if (transform != CG_GL_MATRIX_INVERSE) {
    for (int c = 0; c < 4; ++c)
      for (int r = c + 1; r < 4; ++r) std::swap(m[c * 4 + r], m[r * 4 + c]);
  }
  return true;
}

}  // namespace platform::cgrt

using namespace platform::cgrt;

CGcontext cgCreateContext() {
  Runtime& rt = runtime();
  const Id id = rt.nextId++;
  rt.contexts[id] = Context{};
  return toHandle<CGcontext>(id);
}

void cgSetErrorCallback(CGerrorCallbackFunc callback) { runtime().callback = callback; }

CGerror cgGetError() {
  const CGerror e = runtime().lastError;
  runtime().lastError = CG_NO_ERROR;
  return e;
}

const char* cgGetErrorString(CGerror error) {
  switch (error) {
    case CG_NO_ERROR: return "No error has occurred.";
    case CG_COMPILER_ERROR: return "The compile returned an error.";
    case CG_FILE_READ_ERROR: return "The source file could not be read.";
    case CG_INVALID_ENUMERANT_ERROR: return "An invalid enumerant was passed.";
    case CG_INVALID_PROFILE_ERROR: return "The profile is not supported.";
    case CG_INVALID_CONTEXT_HANDLE_ERROR: return "Invalid context handle.";
    case CG_INVALID_PROGRAM_HANDLE_ERROR: return "Invalid program handle.";
    case CG_INVALID_PARAM_HANDLE_ERROR: return "Invalid parameter handle.";
    case CG_INVALID_PARAMETER_ERROR: return "The parameter is of the wrong kind for this call.";
    case CG_NOT_MATRIX_PARAM_ERROR: return "The parameter is not a float matrix of that size.";
    case CG_PROGRAM_NOT_LOADED_ERROR: return "The program has not been loaded.";
    case CG_PROGRAM_LOAD_ERROR: return "The program could not be loaded.";
    case CG_PROGRAM_BIND_ERROR: return "The program could not be bound.";
    case CG_ARRAY_PARAM_ERROR: return "The parameter is not an array.";
    case CG_OUT_OF_ARRAY_BOUNDS_ERROR: return "The elements lie outside the array.";
  }
  return "Unknown error.";
}

const char* cgGetLastListing(CGcontext context) {
  auto it = runtime().contexts.find(toId(context));
  if (it == runtime().contexts.end()) {
    raise(CG_INVALID_CONTEXT_HANDLE_ERROR);
    return nullptr;
  }
  return it->second.lastListing.empty() ? nullptr : it->second.lastListing.c_str();
}

CGprogram cgCreateProgramFromFile(CGcontext context, CGenum programType, const char* file,
                                  CGprofile profile, const char* entry, const char**) {
  Runtime& rt = runtime();
  auto ctx = rt.contexts.find(toId(context));
  if (ctx == rt.contexts.end()) {
    raise(CG_INVALID_CONTEXT_HANDLE_ERROR);
    return nullptr;
  }
  if (programType != CG_SOURCE) {
    raise(CG_INVALID_ENUMERANT_ERROR);
    return nullptr;
  }
  platform::cg::Profile translatorAs;
  if (!translatorProfile(profile, &translatorAs)) {
    raise(CG_INVALID_PROFILE_ERROR);
    return nullptr;
  }
  const platform::cg::Stage stage = platform::cg::profileStage(translatorAs);
  const std::string fileName = file ? file : "";
  std::string source;
  if (!file || !readFile(file, &source)) {
    ctx->second.lastListing = fileName + " : error: cannot read the file\n";
    raise(CG_FILE_READ_ERROR);
    return nullptr;
  }
  platform::cg::Translation t =
      platform::cg::translateCg(source, fileName, translatorAs, entry ? entry : "main");
  ctx->second.lastListing = t.listing;
  if (!t.ok) {
    raise(CG_COMPILER_ERROR);
    return nullptr;
  }
  const Id id = rt.nextId++;
  Program& p = rt.programs[id];
  p.context = ctx->first;
  p.profile = profile;
  p.stage = stage;
  p.fileName = fileName;
  int unit = stage == platform::cg::Stage::FRAGMENT ? 0 : 8;
  for (const platform::cg::ParameterInfo& info : t.parameters) {
    const Id pid = rt.nextId++;
    Parameter& param = rt.parameters[pid];
    param.program = id;
    param.info = info;
    if (info.kind == platform::cg::ParameterInfo::UNIFORM &&
        info.valueType != platform::cg::ParameterInfo::NUMBER &&
        info.valueType != platform::cg::ParameterInfo::OTHER)
      param.unit = unit++;
    p.parameters.push_back(pid);
  }
  // Each array finds its elements by name ("a[0]", ...).
  std::map<std::string, Id> byName;
  for (Id pid : p.parameters) byName[rt.parameters[pid].info.name] = pid;
  for (Id pid : p.parameters) {
    Parameter& array = rt.parameters[pid];
    for (int i = 0; i < array.info.arraySize; ++i) {
      auto element = byName.find(array.info.name + "[" + std::to_string(i) + "]");
      if (element != byName.end()) array.elements.push_back(element->second);
    }
  }
  p.translation = std::move(t);
  return toHandle<CGprogram>(id);
}

void cgDestroyProgram(CGprogram program) {
  Program* p = findProgram(program);
  if (!p) return;
  const Id id = toId(program);
  releaseProgramGL(id);
  for (Id param : p->parameters) runtime().parameters.erase(param);
  runtime().programs.erase(id);
}

CGparameter cgGetNamedParameter(CGprogram program, const char* name) {
  Program* p = findProgram(program);
  if (!p || !name) return nullptr;
  for (Id id : p->parameters)
    if (runtime().parameters[id].info.name == name) return toHandle<CGparameter>(id);
  return nullptr;
}

void platform::setProfileExtensions(const char* extensions) {
  runtime().extensionOverride = extensions;
}

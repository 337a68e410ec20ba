// The GL side of the shader runtime: profiles, compiling, linking, binding
// and parameter values.
#include <GL/glew.h>

#include <cstring>
#include <utility>
#include <vector>

#include "shader/cg_runtime.h"

namespace platform::cgrt {

namespace {

Id toId(const void* handle) { return reinterpret_cast<Id>(handle); }

// The GL 2.0 entry points the runtime uses (GLEW fills them in).
bool glslAvailable() {
  return glCreateShader && glShaderSource && glCompileShader && glGetShaderiv &&
         glGetShaderInfoLog && glDeleteShader && glCreateProgram && glAttachShader &&
         glLinkProgram && glGetProgramiv && glGetProgramInfoLog && glDeleteProgram &&
         glUseProgram && glGetUniformLocation && glUniform1i && glUniform4fv && glUniform4iv &&
         glUniformMatrix4fv && glUniformMatrix4x3fv && glActiveTexture;
}

// True when the space-separated list holds the name as a whole word.
bool hasExtension(const char* list, const char* name) {
  const size_t n = std::strlen(name);
  for (const char* p = list; (p = std::strstr(p, name)) != nullptr; p += n) {
    const bool startOk = p == list || p[-1] == ' ';
    const bool endOk = p[n] == ' ' || p[n] == '\0';
    if (startOk && endOk) return true;
  }
  return false;
}

void setListing(Id context, const std::string& text) {
  auto it = runtime().contexts.find(context);
  if (it != runtime().contexts.end()) it->second.lastListing = text;
}

// The info log of a shader or program object.
std::string infoLog(unsigned int object, bool isProgram) {
  GLint length = 0;
  if (isProgram) {
    glGetProgramiv(object, GL_INFO_LOG_LENGTH, &length);
  } else {
    glGetShaderiv(object, GL_INFO_LOG_LENGTH, &length);
  }
  if (length <= 0) return "";
  std::string log(static_cast<size_t>(length), '\0');
  if (isProgram) {
    glGetProgramInfoLog(object, length, nullptr, &log[0]);
  } else {
    glGetShaderInfoLog(object, length, nullptr, &log[0]);
  }
  log.resize(std::strlen(log.c_str()));
  return log;
}

GLenum textureTarget(cg::ParameterInfo::ValueType type) {
  switch (type) {
    case cg::ParameterInfo::SAMPLER1D: return GL_TEXTURE_1D;
    case cg::ParameterInfo::SAMPLER3D: return GL_TEXTURE_3D;
    case cg::ParameterInfo::SAMPLERCUBE: return GL_TEXTURE_CUBE_MAP;
    default: return GL_TEXTURE_2D;
  }
}

bool isSampler(const Parameter& p) {
  return p.info.kind == cg::ParameterInfo::UNIFORM &&
         (p.info.valueType == cg::ParameterInfo::SAMPLER1D ||
          p.info.valueType == cg::ParameterInfo::SAMPLER2D ||
          p.info.valueType == cg::ParameterInfo::SAMPLER3D ||
          p.info.valueType == cg::ParameterInfo::SAMPLERCUBE);
}

// Sends one parameter's value to the linked program in use.
void upload(const Parameter& p, int location) {
  if (location < 0) return;
  if (isSampler(p)) {
    glUniform1i(location, p.unit);
    return;
  }
  if (!p.hasValue) return;
  const int rows = p.info.rows, cols = p.info.cols;
  if (rows > 1) {
    // GLSL holds Cg's floatRxC as matRxC, whose columns are Cg's rows: the
    // row-by-row values are GLSL's column-major ones.
    using Setter = void(GLAPIENTRY*)(GLint, GLsizei, GLboolean, const GLfloat*);
    const Setter setters[3][3] = {{glUniformMatrix2fv, glUniformMatrix2x3fv, glUniformMatrix2x4fv},
                                  {glUniformMatrix3x2fv, glUniformMatrix3fv, glUniformMatrix3x4fv},
                                  {glUniformMatrix4x2fv, glUniformMatrix4x3fv, glUniformMatrix4fv}};
    setters[rows - 2][cols - 2](location, 1, GL_FALSE, p.value);
  } else if (p.info.valueType == cg::ParameterInfo::NUMBER && !p.info.isFloat &&
             p.info.arraySize == 0) {
    GLint v[4];
    for (int i = 0; i < 4; ++i) v[i] = static_cast<GLint>(p.value[i]);
    const decltype(glUniform1iv) setters[4] = {glUniform1iv, glUniform2iv, glUniform3iv,
                                               glUniform4iv};
    setters[cols - 1](location, 1, v);
  } else {
    const decltype(glUniform1fv) setters[4] = {glUniform1fv, glUniform2fv, glUniform3fv,
                                               glUniform4fv};
    setters[cols - 1](location, 1, p.value);
  }
}

// Links the pair (either may be 0); the link's program is 0 on failure.
Link makeLink(Id vertex, Id fragment) {
  Runtime& rt = runtime();
  Link link;
  const GLuint program = glCreateProgram();
  std::string names;
  Id context = 0;
  for (Id id : {vertex, fragment}) {
    if (!id) continue;
    const Program& p = rt.programs[id];
    glAttachShader(program, p.shader);
    names += (names.empty() ? "" : " + ") + p.fileName;
    context = p.context;
  }
  glLinkProgram(program);
  GLint linked = GL_FALSE;
  glGetProgramiv(program, GL_LINK_STATUS, &linked);
  if (!linked) {
    setListing(context, names + " : error: linking failed\n" + infoLog(program, true));
    glDeleteProgram(program);
    return link;
  }
  link.program = program;
  for (Id id : {vertex, fragment}) {
    if (!id) continue;
    for (Id param : rt.programs[id].parameters) {
      const Parameter& p = rt.parameters[param];
      if (p.info.kind == cg::ParameterInfo::UNIFORM && !p.info.glslName.empty())
        link.locations[param] = glGetUniformLocation(program, p.info.glslName.c_str());
    }
  }
  return link;
}

// The profile's stage flag and bound program.
void stageState(cg::Stage stage, bool** enabled, Id** bound) {
  Runtime& rt = runtime();
  *enabled = stage == cg::Stage::VERTEX ? &rt.vertexEnabled : &rt.fragmentEnabled;
  *bound = stage == cg::Stage::VERTEX ? &rt.boundVertex : &rt.boundFragment;
}

}  // namespace

void releaseProgramGL(Id program) {
  Runtime& rt = runtime();
  const bool gl = glslAvailable();
  for (auto it = rt.links.begin(); it != rt.links.end();) {
    if (it->first.first == program || it->first.second == program) {
      if (gl && it->second.program) glDeleteProgram(it->second.program);
      it = rt.links.erase(it);
    } else {
      ++it;
    }
  }
  Program& p = rt.programs[program];
  if (gl && p.shader) glDeleteShader(p.shader);
  p.shader = 0;
  if (rt.boundVertex == program) rt.boundVertex = 0;
  if (rt.boundFragment == program) rt.boundFragment = 0;
  if (rt.current.first == program || rt.current.second == program) updateCurrentProgram();
}

void updateCurrentProgram() {
  Runtime& rt = runtime();
  if (!glslAvailable()) return;
  const Id vertex = rt.vertexEnabled ? rt.boundVertex : 0;
  const Id fragment = rt.fragmentEnabled ? rt.boundFragment : 0;
  rt.current = {vertex, fragment};
  if (!vertex && !fragment) {
    glUseProgram(0);
    return;
  }
  auto it = rt.links.find(rt.current);
  if (it == rt.links.end()) {
    it = rt.links.emplace(rt.current, makeLink(vertex, fragment)).first;
    if (!it->second.program) raise(CG_PROGRAM_BIND_ERROR);
  }
  const Link& link = it->second;
  glUseProgram(link.program);
  if (!link.program) return;
  for (const auto& [param, location] : link.locations) upload(rt.parameters[param], location);
}

void uploadIfCurrent(Id param) {
  Runtime& rt = runtime();
  const Parameter& p = rt.parameters[param];
  if (rt.current.first != p.program && rt.current.second != p.program) return;
  auto link = rt.links.find(rt.current);
  if (link == rt.links.end() || !link->second.program) return;
  auto location = link->second.locations.find(param);
  if (location != link->second.locations.end()) upload(p, location->second);
}

}  // namespace platform::cgrt

using namespace platform::cgrt;
namespace cg = platform::cg;

CGbool cgGLIsProfileSupported(CGprofile profile) {
  const char* list = runtime().extensionOverride;
  if (!list) list = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
  if (!list) return false;
  const char* own = nullptr;
  const char* second = nullptr;
  switch (profile) {
    case CG_PROFILE_FP30: own = "GL_NV_fragment_program"; break;
    case CG_PROFILE_FP20:
      own = "GL_NV_register_combiners";
      second = "GL_NV_texture_shader";
      break;
    case CG_PROFILE_ARBFP1: own = "GL_ARB_fragment_program"; break;
    case CG_PROFILE_ARBVP1: own = "GL_ARB_vertex_program"; break;
    case CG_PROFILE_VP20: own = "GL_NV_vertex_program"; break;
    default: return false;
  }
  cg::Stage stage;
  profileStage(profile, &stage);
  const char* shader =
      stage == cg::Stage::VERTEX ? "GL_ARB_vertex_shader" : "GL_ARB_fragment_shader";
  return hasExtension(list, own) && (!second || hasExtension(list, second)) &&
         hasExtension(list, "GL_ARB_shading_language_100") && hasExtension(list, shader);
}

void cgGLLoadProgram(CGprogram program) {
  Program* p = findProgram(program);
  if (!p) return;
  const Id id = toId(program);
  if (!glslAvailable()) {
    setListing(p->context, p->fileName + " : error: no GL context with GLSL to load into\n");
    raise(CG_PROGRAM_LOAD_ERROR);
    return;
  }
  releaseProgramGL(id);
  const GLuint shader =
      glCreateShader(p->stage == cg::Stage::VERTEX ? GL_VERTEX_SHADER : GL_FRAGMENT_SHADER);
  const char* text = p->translation.glsl.c_str();
  glShaderSource(shader, 1, &text, nullptr);
  glCompileShader(shader);
  GLint compiled = GL_FALSE;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
  if (!compiled) {
    setListing(p->context, cg::mapDriverLog(infoLog(shader, false), p->translation, p->fileName));
    glDeleteShader(shader);
    raise(CG_PROGRAM_LOAD_ERROR);
    return;
  }
  p->shader = shader;
  // Link now, alone and with every loaded program of the other stage, so
  // that a pair that cannot work together fails while the show loads.
  std::vector<std::pair<Id, Id>> pairs;
  const bool vertex = p->stage == cg::Stage::VERTEX;
  pairs.push_back(vertex ? std::make_pair(id, Id{0}) : std::make_pair(Id{0}, id));
  for (const auto& [otherId, other] : runtime().programs) {
    if (other.stage == p->stage || !other.shader || other.context != p->context) continue;
    pairs.push_back(vertex ? std::make_pair(id, otherId) : std::make_pair(otherId, id));
  }
  bool allLinked = true;
  for (const auto& pair : pairs) {
    const Link link = makeLink(pair.first, pair.second);
    allLinked = allLinked && link.program;
    runtime().links[pair] = link;
  }
  if (!allLinked) raise(CG_PROGRAM_LOAD_ERROR);
}

void cgGLEnableProfile(CGprofile profile) {
  cg::Stage stage;
  if (!profileStage(profile, &stage)) {
    raise(CG_INVALID_PROFILE_ERROR);
    return;
  }
  bool* enabled;
  Id* bound;
  stageState(stage, &enabled, &bound);
  *enabled = true;
  updateCurrentProgram();
}

void cgGLDisableProfile(CGprofile profile) {
  cg::Stage stage;
  if (!profileStage(profile, &stage)) {
    raise(CG_INVALID_PROFILE_ERROR);
    return;
  }
  bool* enabled;
  Id* bound;
  stageState(stage, &enabled, &bound);
  *enabled = false;
  updateCurrentProgram();
}

void cgGLBindProgram(CGprogram program) {
  Program* p = findProgram(program);
  if (!p) return;
  if (!p->shader) {
    raise(CG_PROGRAM_NOT_LOADED_ERROR);
    return;
  }
  bool* enabled;
  Id* bound;
  stageState(p->stage, &enabled, &bound);
  *bound = toId(program);
  updateCurrentProgram();
}

void cgGLSetStateMatrixParameter(CGparameter param, CGGLenum matrix, CGGLenum transform) {
  Parameter* p = findParameter(param);
  if (!p) return;
  if (p->info.kind != cg::ParameterInfo::UNIFORM ||
      p->info.valueType != cg::ParameterInfo::NUMBER || !p->info.isFloat || p->info.rows != 4 ||
      p->info.cols != 4) {
    raise(CG_NOT_MATRIX_PARAM_ERROR);
    return;
  }
  GLfloat m[16];
  switch (matrix) {
    case CG_GL_MODELVIEW_MATRIX: glGetFloatv(GL_MODELVIEW_MATRIX, m); break;
    case CG_GL_PROJECTION_MATRIX: glGetFloatv(GL_PROJECTION_MATRIX, m); break;
    case CG_GL_TEXTURE_MATRIX: glGetFloatv(GL_TEXTURE_MATRIX, m); break;
    case CG_GL_MODELVIEW_PROJECTION_MATRIX: {
      GLfloat mv[16], pr[16];
      glGetFloatv(GL_MODELVIEW_MATRIX, mv);
      glGetFloatv(GL_PROJECTION_MATRIX, pr);
      for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) {
          float sum = 0;
          for (int k = 0; k < 4; ++k) sum += pr[k * 4 + r] * mv[c * 4 + k];
          m[c * 4 + r] = sum;
        }
      break;
    }
    default: raise(CG_INVALID_ENUMERANT_ERROR); return;
  }
  if (!applyMatrixTransform(m, transform)) {
    raise(CG_INVALID_ENUMERANT_ERROR);
    return;
  }
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) p->value[r * 4 + c] = m[c * 4 + r];
  p->hasValue = true;
  uploadIfCurrent(toId(param));
}

void cgGLSetTextureParameter(CGparameter param, unsigned int texture) {
  Parameter* p = findParameter(param);
  if (!p) return;
  if (!isSampler(*p)) {
    raise(CG_INVALID_PARAMETER_ERROR);
    return;
  }
  p->texture = texture;
}

// Binds a texture on a sampler's unit and restores the active unit.
static void bindOnUnit(CGparameter param, bool enable) {
  Parameter* p = findParameter(param);
  if (!p) return;
  if (!isSampler(*p)) {
    raise(CG_INVALID_PARAMETER_ERROR);
    return;
  }
  if (!glslAvailable()) return;
  GLint previous = GL_TEXTURE0;
  glGetIntegerv(GL_ACTIVE_TEXTURE, &previous);
  glActiveTexture(GL_TEXTURE0 + p->unit);
  glBindTexture(textureTarget(p->info.valueType), enable ? p->texture : 0);
  glActiveTexture(static_cast<GLenum>(previous));
}

void cgGLEnableTextureParameter(CGparameter param) { bindOnUnit(param, true); }

void cgGLDisableTextureParameter(CGparameter param) { bindOnUnit(param, false); }

#include "resources/shader_program.h"

#include <cstdio>

#include "resources/cg_context.h"

ShaderProgram::~ShaderProgram() {
  if (m_program) cgDestroyProgram(m_program);
}

void ShaderProgram::load() {
  if (m_program) {
    cgDestroyProgram(m_program);
    m_program = nullptr;
  }
  m_program = cgCreateProgramFromFile(CgContext::instance()->m_context, CG_SOURCE,
                                      m_fileName.c_str(), m_profile, nullptr, nullptr);
  if (!m_program) std::printf("Could not create program %s\n", m_fileName.c_str());
  cgGLLoadProgram(m_program);
  m_parameters.clear();
}

void ShaderProgram::bind() {
  cgGLEnableProfile(m_profile);
  cgGLBindProgram(m_program);
}

void ShaderProgram::unbind() { cgGLDisableProfile(m_profile); }

CGparameter ShaderProgram::getParameter(const std::string& name) {
  auto cached = m_parameters.find(name);
  if (cached != m_parameters.end()) return cached->second;
  CGparameter param = cgGetNamedParameter(m_program, name.c_str());
  if (!param) std::printf("Unable to retrieve program parameter %s, exiting.\n", name.c_str());
  m_parameters[name] = param;
  return param;
}

void ShaderProgram::setFileName(const std::string& path) { m_fileName = path; }

void ShaderProgram::setStateMatrix(const std::string& name, CGGLenum matrix, CGGLenum transform) {
  cgGLSetStateMatrixParameter(getParameter(name), matrix, transform);
}

void VertexProgram::load() {
  m_profile = CgContext::instance()->m_vertexProfile;
  ShaderProgram::load();
}

TexturedFragmentProgram::~TexturedFragmentProgram() { m_textures.clear(); }

void TexturedFragmentProgram::load() {
  m_profile = CgContext::instance()->m_fragmentProfile;
  ShaderProgram::load();
  m_textures.clear();
}

void TexturedFragmentProgram::bind() {
  ShaderProgram::bind();
  for (const auto& [param, texture] : m_textures) {
    cgGLEnableTextureParameter(param);
    cgGLSetTextureParameter(param, texture);
  }
}

void TexturedFragmentProgram::unbind() {
  for (const auto& entry : m_textures) cgGLDisableTextureParameter(entry.first);
  ShaderProgram::unbind();
}

void TexturedFragmentProgram::setTextureParameter(const CGparameter& param, unsigned int texture) {
  m_textures[param] = texture;
  cgGLSetTextureParameter(param, texture);
}

void TexturedFragmentProgram::setTexture(const std::string& name, unsigned int texture) {
  setTextureParameter(getParameter(name), texture);
}

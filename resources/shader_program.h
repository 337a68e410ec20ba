// The ShaderProgram family: one Cg source file compiled at run time, bound
// for drawing, with its parameters looked up by name through a cache.
//
// Call order: construct, setFileName, load (during loading; needs the GL
// context); then per frame setStateMatrix / setTexture, bind, draw, unbind.
// load may run again: it destroys the old program and empties the caches.
// Only VertexProgram and TexturedFragmentProgram are used; they pick their
// profile from CgContext. Each object owns its compiled program.
//
// Failures are printed on stdout and never stop anything: a program that
// does not compile is null ("Could not create program <file>") and the
// runtime's own report follows through cgErrorHandler; a missing parameter
// ("Unable to retrieve program parameter <name>, exiting.") is reported once
// per load and its null handle is passed on to the runtime call that wanted
// it.
#pragma once

#include <map>
#include <string>

#include "shader/cg.h"

class ShaderProgram {
 public:
  ShaderProgram() = default;
  virtual ~ShaderProgram();

  // (Re)compiles m_fileName with m_profile and loads it into GL; clears the
  // parameter cache.
  virtual void load();
  // Enables the profile and binds the program.
  virtual void bind();
  // Disables the profile (the program stays bound in the runtime).
  virtual void unbind();
  // The named parameter, null when the program has none; cached.
  virtual CGparameter getParameter(const std::string& name);

  // Sets the path of the Cg source file.
  void setFileName(const std::string& path);
  // Loads a GL state matrix (read now) into the named float4x4 parameter.
  void setStateMatrix(const std::string& name, CGGLenum matrix, CGGLenum transform);

 protected:
  CGprogram m_program = nullptr;
  CGprofile m_profile = CG_PROFILE_UNKNOWN;
  std::map<std::string, CGparameter> m_parameters;
  std::string m_fileName;
};

class VertexProgram : public ShaderProgram {
 public:
  ~VertexProgram() override = default;
  // Takes the vertex profile, then loads.
  void load() override;
};

class TexturedFragmentProgram : public ShaderProgram {
 public:
  ~TexturedFragmentProgram() override;
  // Takes the fragment profile, loads and forgets the textures.
  void load() override;
  // Binds, then enables every recorded texture in handle order.
  void bind() override;
  // Disables every recorded texture, then the profile.
  void unbind() override;
  // Records the sampler's texture (replacing an earlier one) and sets it.
  virtual void setTextureParameter(const CGparameter& param, unsigned int texture);
  // getParameter, then setTextureParameter.
  virtual void setTexture(const std::string& name, unsigned int texture);

 protected:
  std::map<CGparameter, unsigned int> m_textures;
};

// CgContext: the shader runtime's context and the profiles the programs use.
//
// Call order: CgContext::instance() on the first program load (needs a
// current GL context with GLEW initialised, since the profiles are chosen
// from the GL extensions); it lives until the process ends and is never
// destroyed. Single-threaded, on the GL thread.
//
// Failures: a missing fragment or vertex profile is printed on stdout and the
// profile stays CG_PROFILE_UNKNOWN (programs for it then fail to compile, and
// say so). Every later error of the runtime is printed by cgErrorHandler.
// Nothing stops the process.
#pragma once

#include "shader/cg.h"

class CgContext {
 public:
  // The singleton; the first call prints "Initializing Cg ... ", builds it
  // and prints "done.".
  static CgContext* instance();

  // Chooses the profiles (printing the fragment profile's name), installs
  // cgErrorHandler and creates the runtime context.
  CgContext();
  virtual ~CgContext() = default;

  CGprofile m_fragmentProfile = CG_PROFILE_UNKNOWN;
  CGprofile m_vertexProfile = CG_PROFILE_UNKNOWN;
  CGcontext m_context = nullptr;

 private:
  friend void cgErrorHandler();
  static CgContext* s_instance;
};

// Prints one report of the runtime's last error (at most 500 characters)
// with the listing of the singleton's context.
void cgErrorHandler();

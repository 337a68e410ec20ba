#include "resources/cg_context.h"

#include <cstdio>

CgContext* CgContext::s_instance = nullptr;

CgContext* CgContext::instance() {
  if (!s_instance) {
    std::printf("Initializing Cg ... ");
    s_instance = new CgContext();
    std::printf("done.\n");
  }
  return s_instance;
}

CgContext::CgContext() {
  if (cgGLIsProfileSupported(CG_PROFILE_FP30)) {
    m_fragmentProfile = CG_PROFILE_FP30;
    std::printf("fragment program profile fp30 ... ");
  } else if (cgGLIsProfileSupported(CG_PROFILE_FP20)) {
    m_fragmentProfile = CG_PROFILE_FP20;
    std::printf("fragment program profile fp20 ... ");
  } else if (cgGLIsProfileSupported(CG_PROFILE_ARBFP1)) {
    m_fragmentProfile = CG_PROFILE_ARBFP1;
    std::printf("fragment program profile arbfp1 ... ");
  } else {
    std::printf(
        "Fragment programming extensions (GL_ARB_fragment_program or "
        "GL_NV_fragment_program) not supported, exiting...\n");
  }

  if (cgGLIsProfileSupported(CG_PROFILE_ARBVP1)) {
    m_vertexProfile = CG_PROFILE_ARBVP1;
  } else if (cgGLIsProfileSupported(CG_PROFILE_VP20)) {
    m_vertexProfile = CG_PROFILE_VP20;
  } else {
    std::printf(
        "Vertex programming extensions (GL_ARB_vertex_program or "
        "GL_NV_vertex_program) not supported, exiting...\n");
  }

  cgSetErrorCallback(cgErrorHandler);
  m_context = cgCreateContext();
}

void cgErrorHandler() {
  const CGerror error = cgGetError();
  if (error == CG_NO_ERROR) return;
  // Until the singleton exists there is no context to hold a listing.
  const char* listing =
      CgContext::s_instance ? cgGetLastListing(CgContext::s_instance->m_context) : nullptr;
  char report[500];
  std::snprintf(report, sizeof report,
                "Cg Error.\n"
                "\n---------------------------------------------------\n"
                "%s\n\n"
                "%s\n"
                "---------------------------------------------------\n"
                "Cg error, exiting...\n",
                cgGetErrorString(error), listing ? listing : "");
  std::printf("%s", report);
}

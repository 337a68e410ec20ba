// CgContext and the ShaderProgram family on Mesa: profile choice and its
// messages, the error report, reloading, and the two caches.
#include <gtest/gtest.h>

#include <GL/glew.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "resources/cg_context.h"
#include "resources/shader_program.h"
#include "support/gl_test.h"

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

namespace {

std::string writeCg(const std::string& name, const std::string& text) {
  const std::string path = "/tmp/parallaxis_sp_" + std::to_string(getpid()) + "_" + name;
  FILE* f = std::fopen(path.c_str(), "wb");
  std::fwrite(text.data(), 1, text.size(), f);
  std::fclose(f);
  return path;
}

struct VertexProbe : VertexProgram {
  using ShaderProgram::m_parameters;
  using ShaderProgram::m_profile;
  using ShaderProgram::m_program;
};

struct FragmentProbe : TexturedFragmentProgram {
  using ShaderProgram::m_parameters;
  using ShaderProgram::m_program;
  using TexturedFragmentProgram::m_textures;
};

const char* const FRAGMENT =
    "float4 main(float2 uv : TEXCOORD0, uniform sampler2D a, uniform sampler2D b) : COLOR {\n"
    "  return tex2D(a, uv) * tex2D(b, uv);\n"
    "}\n";

}  // namespace

// The singleton does not exist yet: ctest runs every test in a process of
// its own, and this one comes first when the file runs as a whole.
TEST(CgContext, FirstUsePrintsTheChosenFragmentProfileOnOneLine) {
  ASSERT_TRUE(openTestWindow(64, 64));
  CaptureStdout();
  CgContext* context = CgContext::instance();
  EXPECT_EQ(GetCapturedStdout(), "Initializing Cg ... fragment program profile arbfp1 ... done.\n");
  EXPECT_EQ(context->m_fragmentProfile, CG_PROFILE_ARBFP1);
  EXPECT_EQ(context->m_vertexProfile, CG_PROFILE_ARBVP1);
  EXPECT_NE(context->m_context, nullptr);
  CaptureStdout();
  EXPECT_EQ(CgContext::instance(), context);
  EXPECT_EQ(GetCapturedStdout(), "");
}

TEST(CgContext, ProfilesAreTriedInOrder) {
  ASSERT_TRUE(openTestWindow(64, 64));
  const struct {
    const char* extensions;
    const char* printed;
    CGprofile fragment, vertex;
  } cases[] = {
      {"GL_NV_fragment_program GL_NV_register_combiners GL_NV_texture_shader "
       "GL_ARB_fragment_program GL_ARB_vertex_program GL_NV_vertex_program "
       "GL_ARB_shading_language_100 GL_ARB_vertex_shader GL_ARB_fragment_shader",
       "fragment program profile fp30 ... ", CG_PROFILE_FP30, CG_PROFILE_ARBVP1},
      {"GL_NV_register_combiners GL_NV_texture_shader GL_NV_vertex_program "
       "GL_ARB_shading_language_100 GL_ARB_vertex_shader GL_ARB_fragment_shader",
       "fragment program profile fp20 ... ", CG_PROFILE_FP20, CG_PROFILE_VP20},
      {"",
       "Fragment programming extensions (GL_ARB_fragment_program or GL_NV_fragment_program) "
       "not supported, exiting...\n"
       "Vertex programming extensions (GL_ARB_vertex_program or GL_NV_vertex_program) not "
       "supported, exiting...\n",
       CG_PROFILE_UNKNOWN, CG_PROFILE_UNKNOWN},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.printed);
    platform::setProfileExtensions(c.extensions);
    CaptureStdout();
    CgContext context;
    EXPECT_EQ(GetCapturedStdout(), c.printed);
    EXPECT_EQ(context.m_fragmentProfile, c.fragment);
    EXPECT_EQ(context.m_vertexProfile, c.vertex);
  }
  platform::setProfileExtensions(nullptr);
}

TEST(ShaderProgram, AFailedCompileIsReportedAndLoadGoesOn) {
  ASSERT_TRUE(openTestWindow(64, 64));
  CgContext::instance();
  const std::string path = writeCg("broken.cg", "float4 main() : COLOR {\n  return x;\n}\n");
  VertexProbe program;
  program.setFileName(path);
  CaptureStdout();
  program.load();
  const std::string out = GetCapturedStdout();
  const std::string report =
      "Cg Error.\n"
      "\n---------------------------------------------------\n"
      "The compile returned an error.\n\n" +
      path + "(2) : error: undefined variable 'x'\n\n" +
      "---------------------------------------------------\n"
      "Cg error, exiting...\n";
  EXPECT_EQ(out.rfind(report + "Could not create program " + path + "\nCg Error.\n", 0), 0u) << out;
  EXPECT_EQ(program.m_program, nullptr);
  EXPECT_EQ(program.m_profile, CG_PROFILE_ARBVP1);

  // A long listing is cut: the report never exceeds its 500-byte buffer.
  std::string many = "float4 main() : COLOR {\n";
  for (int i = 0; i < 30; ++i) many += "  y" + std::to_string(i) + " = 1;\n";
  program.setFileName(writeCg("many.cg", many));
  CaptureStdout();
  program.load();
  const std::string cut = GetCapturedStdout();
  const size_t first = cut.find("Could not create program");
  ASSERT_NE(first, std::string::npos);
  EXPECT_EQ(first, 499u);
}

TEST(ShaderProgram, ReloadingDropsTheOldProgramAndBothCaches) {
  ASSERT_TRUE(openTestWindow(64, 64));
  FragmentProbe program;
  program.setFileName(writeCg("reload.cg", FRAGMENT));
  program.load();
  const CGprogram first = program.m_program;
  ASSERT_NE(first, nullptr);
  program.setTexture("a", 5);
  EXPECT_EQ(program.m_parameters.size(), 1u);
  EXPECT_EQ(program.m_textures.size(), 1u);

  program.load();
  EXPECT_NE(program.m_program, first);
  EXPECT_TRUE(program.m_parameters.empty());
  EXPECT_TRUE(program.m_textures.empty());
  cgSetErrorCallback(nullptr);
  EXPECT_EQ(cgGetNamedParameter(first, "a"), nullptr);  // destroyed
  EXPECT_EQ(cgGetError(), CG_INVALID_PROGRAM_HANDLE_ERROR);
  cgSetErrorCallback(cgErrorHandler);
}

TEST(ShaderProgram, AMissingParameterIsReportedOncePerLoad) {
  ASSERT_TRUE(openTestWindow(64, 64));
  FragmentProbe program;
  program.setFileName(writeCg("missing.cg", FRAGMENT));
  program.load();
  CaptureStdout();
  EXPECT_EQ(program.getParameter("nope"), nullptr);
  EXPECT_EQ(program.getParameter("nope"), nullptr);
  EXPECT_NE(program.getParameter("a"), nullptr);
  EXPECT_EQ(GetCapturedStdout(), "Unable to retrieve program parameter nope, exiting.\n");
  program.load();
  CaptureStdout();
  program.getParameter("nope");
  EXPECT_EQ(GetCapturedStdout(), "Unable to retrieve program parameter nope, exiting.\n");
}

TEST(ShaderProgram, ASamplerKeepsItsLastTextureAndBindEnablesEachOnce) {
  ASSERT_TRUE(openTestWindow(64, 64));
  FragmentProbe program;
  program.setFileName(writeCg("textures.cg", FRAGMENT));
  program.load();
  GLuint textures[3];
  glGenTextures(3, textures);
  program.setTexture("b", textures[0]);
  program.setTexture("a", textures[1]);
  program.setTexture("b", textures[2]);
  ASSERT_EQ(program.m_textures.size(), 2u);
  // Handle order is declaration order: a before b.
  EXPECT_EQ(program.m_textures.begin()->second, textures[1]);
  EXPECT_EQ(program.m_textures.rbegin()->second, textures[2]);

  program.bind();
  GLint bound = 0;
  glActiveTexture(GL_TEXTURE1);
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  EXPECT_EQ(static_cast<GLuint>(bound), textures[2]);
  program.unbind();
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  EXPECT_EQ(bound, 0);
  glActiveTexture(GL_TEXTURE0);
  GLint current = -1;
  glGetIntegerv(GL_CURRENT_PROGRAM, &current);
  EXPECT_EQ(current, 0);
  glDeleteTextures(3, textures);
}

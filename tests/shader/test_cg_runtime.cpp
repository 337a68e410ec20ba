// The shader runtime on Mesa: profiles, errors and listings, programs that
// run alone or in pairs, and parameters as the GL sees them.
#include <gtest/gtest.h>

#include <string>

#include "shader/cg_test.h"

namespace {

int callbackCalls = 0;
CGerror callbackSaw = CG_NO_ERROR;
void countingCallback() {
  ++callbackCalls;
  callbackSaw = cgGetError();
}

using CgRuntime = CgTest;

const char* const RED_VERTEX =
    "void main(float4 p : POSITION, uniform float4x4 mvp, out float4 hpos : POSITION,\n"
    "          out float4 col : COLOR0, out float4 tex : TEXCOORD2) {\n"
    "  hpos = mul(mvp, p); col = float4(1, 0, 0, 1); tex = float4(0, 0, 1, 1);\n"
    "}\n";
const char* const GREEN_FRAGMENT = "float4 main() : COLOR { return float4(0, 1, 0, 1); }\n";
const char* const TEXCOORD_FRAGMENT = "float4 main(float4 t : TEXCOORD2) : COLOR { return t; }\n";

}  // namespace

TEST_F(CgRuntime, ProfilesFollowTheExtensions) {
  // Mesa offers the ARB programs and GLSL, not NVIDIA's own extensions.
  EXPECT_TRUE(cgGLIsProfileSupported(CG_PROFILE_ARBFP1));
  EXPECT_TRUE(cgGLIsProfileSupported(CG_PROFILE_ARBVP1));
  EXPECT_FALSE(cgGLIsProfileSupported(CG_PROFILE_FP30));
  EXPECT_FALSE(cgGLIsProfileSupported(CG_PROFILE_VP20));

  const char* nvidia =
      "GL_NV_fragment_program GL_NV_register_combiners GL_ARB_shading_language_100 "
      "GL_ARB_fragment_shader GL_ARB_vertex_shader GL_ARB_fragment_program_shadow";
  platform::setProfileExtensions(nvidia);
  EXPECT_TRUE(cgGLIsProfileSupported(CG_PROFILE_FP30));
  EXPECT_FALSE(cgGLIsProfileSupported(CG_PROFILE_FP20));    // needs texture shaders too
  EXPECT_FALSE(cgGLIsProfileSupported(CG_PROFILE_ARBFP1));  // a longer name is no match
  EXPECT_FALSE(cgGLIsProfileSupported(CG_PROFILE_ARBVP1));
  platform::setProfileExtensions("GL_ARB_fragment_program GL_ARB_fragment_shader");
  EXPECT_FALSE(cgGLIsProfileSupported(CG_PROFILE_ARBFP1));  // no GLSL
  platform::setProfileExtensions(nullptr);
  EXPECT_TRUE(cgGLIsProfileSupported(CG_PROFILE_ARBFP1));
}

TEST_F(CgRuntime, ErrorsAreReportedOnceAndThroughTheCallback) {
  cgGLLoadProgram(nullptr);
  EXPECT_EQ(cgGetError(), CG_INVALID_PROGRAM_HANDLE_ERROR);
  EXPECT_EQ(cgGetError(), CG_NO_ERROR);

  cgSetErrorCallback(countingCallback);
  callbackCalls = 0;
  cgGLSetTextureParameter(reinterpret_cast<CGparameter>(12345), 1);
  EXPECT_EQ(callbackCalls, 1);
  EXPECT_EQ(callbackSaw, CG_INVALID_PARAM_HANDLE_ERROR);
  cgGLEnableProfile(CG_PROFILE_UNKNOWN);
  EXPECT_EQ(callbackSaw, CG_INVALID_PROFILE_ERROR);

  // A destroyed program's handles are refused, not followed.
  CGprogram p = program("stale.cg", GREEN_FRAGMENT, CG_PROFILE_ARBFP1);
  cgDestroyProgram(p);
  cgGLBindProgram(p);
  EXPECT_EQ(callbackSaw, CG_INVALID_PROGRAM_HANDLE_ERROR);
  EXPECT_STRNE(cgGetErrorString(CG_COMPILER_ERROR), cgGetErrorString(CG_FILE_READ_ERROR));
}

TEST_F(CgRuntime, CreatingProgramsFromFiles) {
  const std::string missing = "/tmp/parallaxis_no_such_file.cg";
  const std::string bad = writeCg("bad.cg", "float4 main() : COLOR {\n  return nothing;\n}\n");
  const std::string good = writeCg("good.cg", TEXCOORD_FRAGMENT);
  const struct {
    CGenum kind;
    std::string path;
    CGprofile profile;
    CGerror error;
    std::string listing;  // empty: not looked at
  } refused[] = {
      {CG_SOURCE, missing, CG_PROFILE_ARBFP1, CG_FILE_READ_ERROR,
       missing + " : error: cannot read the file\n"},
      {CG_SOURCE, bad, CG_PROFILE_ARBFP1, CG_COMPILER_ERROR,
       bad + "(2) : error: undefined variable 'nothing'\n"},
      {CG_OBJECT, good, CG_PROFILE_ARBFP1, CG_INVALID_ENUMERANT_ERROR, ""},
      {CG_SOURCE, good, CG_PROFILE_UNKNOWN, CG_INVALID_PROFILE_ERROR, ""},
  };
  for (const auto& r : refused) {
    SCOPED_TRACE(r.error);
    EXPECT_EQ(cgCreateProgramFromFile(context, r.kind, r.path.c_str(), r.profile, nullptr, nullptr),
              nullptr);
    EXPECT_EQ(cgGetError(), r.error);
    if (!r.listing.empty()) {
      EXPECT_EQ(std::string(cgGetLastListing(context)), r.listing);
    }
  }

  CGprogram p = program("good.cg", TEXCOORD_FRAGMENT, CG_PROFILE_ARBFP1);
  EXPECT_EQ(cgGetLastListing(context), nullptr);
  EXPECT_NE(cgGetNamedParameter(p, "t"), nullptr);
  EXPECT_EQ(cgGetNamedParameter(p, "missing"), nullptr);
  EXPECT_EQ(cgGetError(), CG_NO_ERROR);
}

TEST_F(CgRuntime, DriverErrorsPointAtTheCgLine) {
  // Accepted by the translator, refused by GLSL 1.20: a constant
  // initialised from a variable is not a constant expression.
  const std::string path = writeCg("driver.cg",
                                   "static float a = 1;\n"
                                   "const float b = a * 2;\n"
                                   "float4 main() : COLOR { return b; }\n");
  CGprogram p = cgCreateProgramFromFile(context, CG_SOURCE, path.c_str(), CG_PROFILE_ARBFP1,
                                        nullptr, nullptr);
  ASSERT_NE(p, nullptr);
  cgGLLoadProgram(p);
  EXPECT_EQ(cgGetError(), CG_PROGRAM_LOAD_ERROR);
  ASSERT_NE(cgGetLastListing(context), nullptr);
  const std::string listing = cgGetLastListing(context);
  EXPECT_EQ(listing.rfind(path + "(2) : ", 0), 0u) << listing;
  cgGLBindProgram(p);
  EXPECT_EQ(cgGetError(), CG_PROGRAM_NOT_LOADED_ERROR);
  cgDestroyProgram(p);
}

TEST_F(CgRuntime, LoneStagesAndPairsDraw) {
  CGprogram vp = program("red.cg", RED_VERTEX, CG_PROFILE_ARBVP1);
  CGprogram green = program("green.cg", GREEN_FRAGMENT, CG_PROFILE_ARBFP1);
  CGprogram texcoord = program("texcoord.cg", TEXCOORD_FRAGMENT, CG_PROFILE_ARBFP1);
  cgGLSetStateMatrixParameter(cgGetNamedParameter(vp, "mvp"), CG_GL_MODELVIEW_PROJECTION_MATRIX,
                              CG_GL_MATRIX_IDENTITY);

  EXPECT_TRUE(near(drawQuad(), Rgb{255, 255, 255}, 2));  // fixed function

  cgGLEnableProfile(CG_PROFILE_ARBVP1);
  cgGLBindProgram(vp);
  EXPECT_TRUE(near(drawQuad(), Rgb{255, 0, 0}, 2));  // vertex colour, fixed fragment

  cgGLDisableProfile(CG_PROFILE_ARBVP1);
  cgGLEnableProfile(CG_PROFILE_ARBFP1);
  cgGLBindProgram(green);
  EXPECT_TRUE(near(drawQuad(), Rgb{0, 255, 0}, 2));  // fixed vertex, program fragment

  cgGLBindProgram(texcoord);
  cgGLEnableProfile(CG_PROFILE_ARBVP1);
  EXPECT_TRUE(near(drawQuad(), Rgb{0, 0, 255}, 2));  // the pair: TEXCOORD2 passes through
  const GLint pair = integer(GL_CURRENT_PROGRAM);
  EXPECT_NE(pair, 0);

  // Switching away and back reuses the linked pair.
  cgGLBindProgram(green);
  cgGLBindProgram(texcoord);
  EXPECT_EQ(integer(GL_CURRENT_PROGRAM), pair);

  cgGLDisableProfile(CG_PROFILE_ARBVP1);
  cgGLDisableProfile(CG_PROFILE_ARBFP1);
  EXPECT_EQ(integer(GL_CURRENT_PROGRAM), 0);
  EXPECT_EQ(cgGetError(), CG_NO_ERROR);
}

TEST_F(CgRuntime, StateMatricesAreReadAtTheCall) {
  CGprogram vp = program("matrix.cg", RED_VERTEX, CG_PROFILE_ARBVP1);
  CGparameter mvp = cgGetNamedParameter(vp, "mvp");
  glMatrixMode(GL_PROJECTION);
  glOrtho(-2, 2, -2, 2, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glTranslatef(0.5f, 0.25f, 0);
  cgGLSetStateMatrixParameter(mvp, CG_GL_MODELVIEW_PROJECTION_MATRIX, CG_GL_MATRIX_IDENTITY);
  glLoadIdentity();  // too late: the value was taken above

  cgGLEnableProfile(CG_PROFILE_ARBVP1);
  cgGLBindProgram(vp);
  const GLint current = integer(GL_CURRENT_PROGRAM);
  GLfloat held[16];
  glGetUniformfv(current, glGetUniformLocation(current, "vumvp"), held);
  // GLSL holds the transpose: its column 3 is the matrix's row 3, and its
  // row 3 carries the translation (0.25, 0.125) of the ortho-scaled offset.
  EXPECT_FLOAT_EQ(held[0], 0.5f);
  EXPECT_FLOAT_EQ(held[3], 0.25f);
  EXPECT_FLOAT_EQ(held[7], 0.125f);
  EXPECT_FLOAT_EQ(held[12], 0.0f);

  // The inverse undoes the matrix.
  glLoadIdentity();
  glTranslatef(3, -2, 1);
  glRotatef(30, 0, 0, 1);
  cgGLSetStateMatrixParameter(mvp, CG_GL_MODELVIEW_MATRIX, CG_GL_MATRIX_INVERSE);
  glGetUniformfv(current, glGetUniformLocation(current, "vumvp"), held);
  GLfloat m[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, m);
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 4; ++c) {
      float sum = 0;  // (M^-1 M)(r, c), with held = (M^-1)^T column-major
      for (int k = 0; k < 4; ++k) sum += held[r * 4 + k] * m[c * 4 + k];
      EXPECT_NEAR(sum, r == c ? 1.0f : 0.0f, 1e-5f);
    }
  }

  cgGLSetStateMatrixParameter(cgGetNamedParameter(vp, "p"), CG_GL_MODELVIEW_MATRIX,
                              CG_GL_MATRIX_IDENTITY);
  EXPECT_EQ(cgGetError(), CG_NOT_MATRIX_PARAM_ERROR);
}

TEST_F(CgRuntime, CgMatrixMeaningSurvivesOnMesa) {
  // The texture matrix holds a translation by (0.5, 0.25): its last column.
  CGprogram fp = program("rows.cg",
                         "float4 main(uniform float4x4 M, uniform float which) : COLOR {\n"
                         "  float4 o = float4(0, 0, 0, 1);\n"
                         "  float4 column = mul(M, o);\n"
                         "  float4 row = mul(o, M);\n"
                         "  return float4(column.xy, row.x + M[0].w, 1);\n"
                         "}\n",
                         CG_PROFILE_ARBFP1);
  glMatrixMode(GL_TEXTURE);
  glLoadIdentity();
  glTranslatef(0.5f, 0.25f, 0);
  cgGLSetStateMatrixParameter(cgGetNamedParameter(fp, "M"), CG_GL_TEXTURE_MATRIX,
                              CG_GL_MATRIX_IDENTITY);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  cgGLEnableProfile(CG_PROFILE_ARBFP1);
  cgGLBindProgram(fp);
  // mul(M, o) is the last column (0.5, 0.25); mul(o, M) the last row (0, 0,
  // 0, 1); M[0] is the first row, whose w is 0.5.
  EXPECT_TRUE(near(drawQuad(), Rgb{128, 64, 128}, 2));
}

TEST_F(CgRuntime, TextureParametersUseTheirOwnUnits) {
  CGprogram fp = program("two.cg",
                         "float4 main(float2 uv : TEXCOORD0, uniform sampler2D a,\n"
                         "            uniform sampler2D b) : COLOR {\n"
                         "  return tex2D(a, uv) + tex2D(b, uv);\n"
                         "}\n",
                         CG_PROFILE_ARBFP1);
  GLuint textures[2];
  glGenTextures(2, textures);
  const unsigned char red[3] = {255, 0, 0}, blue[3] = {0, 0, 255};
  for (int i = 0; i < 2; ++i) {
    glBindTexture(GL_TEXTURE_2D, textures[i]);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 1, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, i ? blue : red);
  }
  glBindTexture(GL_TEXTURE_2D, 0);
  CGparameter a = cgGetNamedParameter(fp, "a"), b = cgGetNamedParameter(fp, "b");
  cgGLSetTextureParameter(a, textures[0]);
  cgGLSetTextureParameter(b, textures[1]);
  cgGLEnableProfile(CG_PROFILE_ARBFP1);
  cgGLBindProgram(fp);
  cgGLEnableTextureParameter(a);
  cgGLEnableTextureParameter(b);

  EXPECT_EQ(integer(GL_ACTIVE_TEXTURE), GL_TEXTURE0);  // restored
  EXPECT_EQ(boundTexture(1), textures[1]);
  EXPECT_TRUE(near(drawQuad(), Rgb{255, 0, 255}, 2));

  cgGLDisableTextureParameter(b);
  EXPECT_EQ(boundTexture(1), 0u);
  cgGLSetTextureParameter(cgGetNamedParameter(fp, "uv"), textures[0]);
  EXPECT_EQ(cgGetError(), CG_INVALID_PARAMETER_ERROR);
  cgGLDisableTextureParameter(a);
  glDeleteTextures(2, textures);
}

TEST_F(CgRuntime, EveryConstructCompilesAndLinksOnMesa) {
  use("all_vertex.cg",
      "struct In { float4 p : POSITION; float3 n : NORMAL; half2 uv : TEXCOORD0; };\n"
      "struct Out { float4 hpos : POSITION; float4 c : COLOR; float3 t : TEXCOORD1; };\n"
      "float4 tint;\n"
      "struct Lamp { float3 d; float4 c; };\n"
      "uniform Lamp lamps[2];\n"
      "static const float w[3] = { 0.25, 0.5, 1 };\n"
      "float sum3(float v[3]) { return v[0] + v[1] + v[2]; }\n"
      "static const float3 up = float3(0, 1, 0);\n"
      "float shade(float3 n, out float rim) { rim = 1 - abs(n.z); return saturate(dot(n, up)); }\n"
      "Out main(In IN, uniform float4x4 mvp, uniform float3x3 normals) {\n"
      "  Out o; float rim;\n"
      "  float3 n = normalize(mul(normals, IN.n));\n"
      "  o.hpos = mul(mvp, IN.p);\n"
      "  float s = shade(n, rim);\n"
      "  for (int i = 0; i < 3; i++) { if (i == 1) continue; s += 0.1 * i; }\n"
      "  for (int k = 2; k > 0; k -= 1) s *= 0.9;\n"
      "  o.c = lerp(tint, float4(s.xxx, 1), rim > 0.5 ? 0.25 : 0.75);\n"
      "  o.t = cross(n, up) + reflect(-n, up) + float3(IN.uv, length(IN.p.xyz));\n"
      "  o.t.xy += frac(IN.uv * 4) + floor(IN.uv) + (float2)mul(IN.p, mvp);\n"
      "  o.c.rgb = max(min(o.c.rgb, 1), 0) + clamp(pow(abs(n), 2), 0, 1);\n"
      "  float acc[3]; for (int j = 0; j < 3; j++) acc[j] = w[j] * lamps[j / 2].c.x;\n"
      "  o.c.a = sum3(acc) + dot(lamps[1].d, n);\n"
      "  return o;\n"
      "}\n",
      CG_PROFILE_ARBVP1);
  use("all_fragment.cg",
      "float4 main(float4 c : COLOR0, float3 t : TEXCOORD1, float4 w : WPOS,\n"
      "            uniform sampler2D image, uniform samplerCUBE sky,\n"
      "            uniform sampler3D volume, uniform float4x4 M) : COLOR {\n"
      "  clip(c.a - 0.01);\n"
      "  float4 a = tex2D(image, t.xy) * texCUBE(sky, t) + tex3D(volume, t);\n"
      "  a += tex2Dproj(image, float4(t, 1)) + tex2Dbias(image, float4(t.xy, 0, -1));\n"
      "  bool3 lit = t > 0.5;\n"
      "  if (any(lit) && !all(lit)) a.rgb = a.bgr; else a = mul(a, M);\n"
      "  float2 d = ddx(t.xy) + ddy(t.xy);\n"
      "  return float4(a.rgb + smoothstep(0, 1, c.rgb) + step(0.5, t), d.x + w.x);\n"
      "}\n",
      CG_PROFILE_FP30);
  EXPECT_EQ(cgGetError(), CG_NO_ERROR) << cgGetLastListing(context);
  EXPECT_NE(integer(GL_CURRENT_PROGRAM), 0);
}

TEST_F(CgRuntime, UniformsOfOneNameKeepAValuePerStage) {
  CGprogram vp = use("tint_v.cg",
                     "void main(float4 p : POSITION, uniform float4 tint,\n"
                     "          out float4 hpos : POSITION, out float4 col : COLOR0) {\n"
                     "  hpos = p; col = tint;\n"
                     "}\n",
                     CG_PROFILE_ARBVP1);
  CGprogram fp = use("tint_f.cg",
                     "float4 main(float4 c : COLOR0, uniform float4 tint) : COLOR {\n"
                     "  return c + tint;\n"
                     "}\n",
                     CG_PROFILE_ARBFP1);
  cgGLSetParameter4f(cgGetNamedParameter(vp, "tint"), 0.25f, 0, 0, 1);
  cgGLSetParameter4f(cgGetNamedParameter(fp, "tint"), 0, 0.5f, 0, 0);
  EXPECT_TRUE(near(drawQuad(), Rgb{64, 128, 0}, 2));
  EXPECT_EQ(cgGetError(), CG_NO_ERROR);
}

TEST_F(CgRuntime, NumericSettersRefuseTheWrongParameter) {
  CGprogram fp =
      program("kinds.cg",
              "float4 main(float2 uv : TEXCOORD0, uniform sampler2D s,\n"
              "            uniform float3 v, uniform float3x3 m, uniform float4 list[3],\n"
              "            uniform int k) : COLOR {\n"
              "  return tex2D(s, uv) + float4(mul(m, v), list[2].x * k);\n"
              "}\n",
              CG_PROFILE_ARBFP1);
  static const float values[12] = {};
  const struct {
    const char* what;
    const char* name;  // null: a handle that was never made
    void (*set)(CGparameter);
    CGerror expected;
  } cases[] = {
      {"vector on a sampler", "s", [](CGparameter p) { cgGLSetParameter4fv(p, values); },
       CG_INVALID_PARAMETER_ERROR},
      {"vector on a varying", "uv", [](CGparameter p) { cgGLSetParameter2f(p, 1, 2); },
       CG_INVALID_PARAMETER_ERROR},
      {"vector on a whole array", "list", [](CGparameter p) { cgGLSetParameter4fv(p, values); },
       CG_INVALID_PARAMETER_ERROR},
      {"null values", "v", [](CGparameter p) { cgGLSetParameter3fv(p, nullptr); },
       CG_INVALID_PARAMETER_ERROR},
      {"matrix on a vector", "v", [](CGparameter p) { cgGLSetMatrixParameterfc(p, values); },
       CG_NOT_MATRIX_PARAM_ERROR},
      {"array on a vector", "v", [](CGparameter p) { cgGLSetParameterArray3f(p, 0, 1, values); },
       CG_ARRAY_PARAM_ERROR},
      {"past the end", "list", [](CGparameter p) { cgGLSetParameterArray4f(p, 2, 2, values); },
       CG_OUT_OF_ARRAY_BOUNDS_ERROR},
      {"negative offset", "list", [](CGparameter p) { cgGLSetParameterArray4f(p, -1, 1, values); },
       CG_OUT_OF_ARRAY_BOUNDS_ERROR},
      {"stale handle", nullptr, [](CGparameter p) { cgGLSetParameter1f(p, 1); },
       CG_INVALID_PARAM_HANDLE_ERROR},
  };
  cgSetErrorCallback(countingCallback);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    callbackCalls = 0;
    callbackSaw = CG_NO_ERROR;
    c.set(c.name ? cgGetNamedParameter(fp, c.name) : reinterpret_cast<CGparameter>(99999));
    EXPECT_EQ(callbackCalls, 1);
    EXPECT_EQ(callbackSaw, c.expected);
  }
  // The right ones raise nothing; elements and members have names.
  callbackCalls = 0;
  cgGLSetParameterArray4f(cgGetNamedParameter(fp, "list"), 1, 0, values);
  cgGLSetMatrixParameterfr(cgGetNamedParameter(fp, "m"), values);
  cgGLSetParameter1f(cgGetNamedParameter(fp, "k"), 2);
  cgGLSetParameter4f(cgGetNamedParameter(fp, "list[2]"), 1, 2, 3, 4);
  EXPECT_EQ(callbackCalls, 0);
  EXPECT_EQ(cgGetNamedParameter(fp, "list[3]"), nullptr);
}

TEST_F(CgRuntime, ProgramsLinkWhenTheyLoad) {
  // More uniform storage than a vertex stage has: the compiler takes it,
  // the linker does not, and that is reported by the load.
  std::string big = "float4 main(float4 p : POSITION, uniform int i";
  for (char c = 'a'; c <= 'h'; ++c) big += std::string(", uniform float4x4 ") + c + "[256]";
  big += ") : POSITION {\n  return p";
  for (char c = 'a'; c <= 'h'; ++c) big += std::string(" + mul(") + c + "[i], p)";
  big += ";\n}\n";
  CGprogram p = cgCreateProgramFromFile(context, CG_SOURCE, writeCg("big.cg", big).c_str(),
                                        CG_PROFILE_ARBVP1, nullptr, nullptr);
  ASSERT_NE(p, nullptr) << cgGetLastListing(context);
  cgGLLoadProgram(p);
  EXPECT_EQ(cgGetError(), CG_PROGRAM_LOAD_ERROR);
  EXPECT_NE(std::string(cgGetLastListing(context)).find("big.cg : error: linking failed"),
            std::string::npos)
      << cgGetLastListing(context);
  cgDestroyProgram(p);
}

// Example programs in the style a shading-language course teaches, run on
// Mesa through the shader runtime: each draws with known inputs and its
// pixels are compared with values computed here, so that a translation that
// compiles but computes the wrong thing fails.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "shader/cg_test.h"

namespace {

struct V3 {
  double x, y, z;
};
V3 operator+(V3 a, V3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
V3 operator-(V3 a, V3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
V3 operator*(V3 a, V3 b) { return {a.x * b.x, a.y * b.y, a.z * b.z}; }
V3 operator*(double s, V3 a) { return {s * a.x, s * a.y, s * a.z}; }
double dot(V3 a, V3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
V3 normalize(V3 a) { return (1 / std::sqrt(dot(a, a))) * a; }

// A colour in 0..1 as the frame buffer stores it.
Rgb toRgb(V3 c) {
  auto channel = [](double v) {
    return static_cast<int>(std::lround(std::fmin(std::fmax(v, 0.0), 1.0) * 255));
  };
  return {channel(c.x), channel(c.y), channel(c.z)};
}

class CgExamples : public CgTest {
 protected:
  CGparameter param(CGprogram p, const char* name) {
    CGparameter handle = cgGetNamedParameter(p, name);
    EXPECT_NE(handle, nullptr) << name;
    return handle;
  }

  // A 6-pixel point at (x, y) in clip space with the current attributes.
  static void point(float x, float y) {
    glPointSize(6);
    glBegin(GL_POINTS);
    glVertex2f(x, y);
    glEnd();
  }
};

TEST_F(CgExamples, TwoLightsInAnArrayOfStructs) {
  CGprogram vp = use("lights.cg",
                     "struct Light { float3 position; float3 color; };\n"
                     "void main(float4 position : POSITION, float3 normal : NORMAL,\n"
                     "          out float4 oPosition : POSITION, out float4 color : COLOR,\n"
                     "          uniform float4x4 modelViewProj, uniform float3 globalAmbient,\n"
                     "          uniform Light lights[2], uniform float gains[2],\n"
                     "          uniform float3 Kd) {\n"
                     "  oPosition = mul(modelViewProj, position);\n"
                     "  float3 c = globalAmbient;\n"
                     "  for (int i = 0; i < 2; i++) {\n"
                     "    float3 L = normalize(lights[i].position - position.xyz);\n"
                     "    c += gains[i] * Kd * lights[i].color * max(dot(normal, L), 0);\n"
                     "  }\n"
                     "  color = float4(c, 1);\n"
                     "}\n",
                     CG_PROFILE_ARBVP1);
  // Half size, moved right by a quarter: the point lands at x = 0.25.
  const float mvp[16] = {0.5f, 0, 0, 0.25f, 0, 0.5f, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  cgGLSetMatrixParameterfr(param(vp, "modelViewProj"), mvp);
  cgGLSetParameter3f(param(vp, "globalAmbient"), 0.1f, 0.1f, 0.1f);
  const float p0[3] = {0, 0, 2};
  cgGLSetParameter3fv(param(vp, "lights[0].position"), p0);
  cgGLSetParameter3f(param(vp, "lights[0].color"), 0.5f, 0.25f, 0);
  cgGLSetParameter3f(param(vp, "lights[1].position"), 2, 0, 2);
  cgGLSetParameter3f(param(vp, "lights[1].color"), 0, 0.5f, 0.75f);
  const float gains[2] = {1, 0.8f};
  cgGLSetParameterArray1f(param(vp, "gains"), 0, 0, gains);
  cgGLSetParameter4f(param(vp, "Kd"), 1, 0.8f, 1, 99);  // the fourth value is not Kd's
  EXPECT_EQ(cgGetError(), CG_NO_ERROR);

  glNormal3f(0, 0, 1);
  point(0, 0);
  const V3 n{0, 0, 1}, kd{1, 0.8, 1};
  V3 c{0.1, 0.1, 0.1};
  const V3 positions[2] = {{0, 0, 2}, {2, 0, 2}}, colors[2] = {{0.5, 0.25, 0}, {0, 0.5, 0.75}};
  for (int i = 0; i < 2; ++i)
    c = c + (gains[i] * std::fmax(dot(n, normalize(positions[i])), 0)) * (kd * colors[i]);
  EXPECT_TRUE(near(readPixel(400, 240), toRgb(c), 2));
  EXPECT_TRUE(near(readPixel(320, 240), Rgb{0, 0, 0}, 0));  // not where the transpose puts it
}

TEST_F(CgExamples, SincosTwist) {
  CGprogram vp = use("twist.cg",
                     "void main(float2 position : POSITION, float4 color : COLOR,\n"
                     "          out float4 oPosition : POSITION, out float4 oColor : COLOR,\n"
                     "          uniform float twisting) {\n"
                     "  float angle = twisting * length(position);\n"
                     "  float cosLength, sinLength;\n"
                     "  sincos(angle, sinLength, cosLength);\n"
                     "  oPosition[0] = cosLength * position[0] - sinLength * position[1];\n"
                     "  oPosition[1] = sinLength * position[0] + cosLength * position[1];\n"
                     "  oPosition[2] = 0;\n"
                     "  oPosition[3] = 1;\n"
                     "  oColor = color;\n"
                     "}\n",
                     CG_PROFILE_ARBVP1);
  // A point at (0.5, 0) turned by twisting * 0.5 = 60 degrees.
  cgGLSetParameter1f(param(vp, "twisting"), static_cast<float>(M_PI / 3 / 0.5));
  glColor3f(1, 0.5f, 0.25f);
  point(0.5f, 0);
  const double a = M_PI / 3, x = 0.5 * std::cos(a), y = 0.5 * std::sin(a);
  const int px = static_cast<int>((x + 1) / 2 * 640), py = static_cast<int>((y + 1) / 2 * 480);
  EXPECT_TRUE(near(readPixel(px, py), Rgb{255, 128, 64}, 2)) << px << "," << py;
  EXPECT_TRUE(near(readPixel(480, 240), Rgb{0, 0, 0}, 0));  // not left in place
}

TEST_F(CgExamples, CubeMapReflection) {
  // Each face of the environment a colour of its own.
  GLuint cube;
  glGenTextures(1, &cube);
  glBindTexture(GL_TEXTURE_CUBE_MAP, cube);
  const unsigned char faces[6][3] = {{255, 0, 0},   {0, 255, 0},   {0, 0, 255},
                                     {255, 255, 0}, {0, 255, 255}, {255, 0, 255}};
  for (int i = 0; i < 6; ++i)
    glTexImage2D(GL_TEXTURE_CUBE_MAP_POSITIVE_X + i, 0, GL_RGB, 1, 1, 0, GL_RGB, GL_UNSIGNED_BYTE,
                 faces[i]);
  glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glBindTexture(GL_TEXTURE_CUBE_MAP, 0);

  CGprogram vp = use("reflect_v.cg",
                     "void main(float4 position : POSITION, float3 normal : NORMAL,\n"
                     "          out float4 oPosition : POSITION, out float3 R : TEXCOORD0,\n"
                     "          uniform float4x4 modelToWorld, uniform float3 eyePositionW) {\n"
                     "  oPosition = position;\n"
                     "  float3 positionW = mul(modelToWorld, position).xyz;\n"
                     "  float3 N = mul((float3x3)modelToWorld, normal);\n"
                     "  float3 I = positionW - eyePositionW;\n"
                     "  R = reflect(I, normalize(N));\n"
                     "}\n",
                     CG_PROFILE_ARBVP1);
  CGprogram fp = use("reflect_f.cg",
                     "float4 main(float3 R : TEXCOORD0, uniform samplerCUBE environmentMap)"
                     " : COLOR {\n"
                     "  return texCUBE(environmentMap, R);\n"
                     "}\n",
                     CG_PROFILE_ARBFP1);
  const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  cgGLSetMatrixParameterfc(param(vp, "modelToWorld"), identity);
  CGparameter env = param(fp, "environmentMap");
  cgGLSetTextureParameter(env, cube);
  cgGLEnableTextureParameter(env);

  // Three eyes; the reflected ray picks the face by its largest component.
  const V3 eyes[] = {{-0.5, 0.2, -2}, {0, -3, -0.5}, {3, 0.5, -1}};
  for (const V3& eye : eyes) {
    cgGLSetParameter3f(param(vp, "eyePositionW"), static_cast<float>(eye.x),
                       static_cast<float>(eye.y), static_cast<float>(eye.z));
    glNormal3f(0, 0, 1);
    point(0, 0);
    const V3 i = V3{0, 0, 0} - eye, n{0, 0, 1};
    const V3 r = i - (2 * dot(n, i)) * n;
    const double m[3] = {r.x, r.y, r.z};
    int axis = 0;
    for (int k = 1; k < 3; ++k)
      if (std::fabs(m[k]) > std::fabs(m[axis])) axis = k;
    const unsigned char* face = faces[axis * 2 + (m[axis] < 0 ? 1 : 0)];
    EXPECT_TRUE(near(readPixel(320, 240), Rgb{face[0], face[1], face[2]}, 2))
        << eye.x << " " << eye.y << " " << eye.z;
  }
  cgGLDisableTextureParameter(env);
  glDeleteTextures(1, &cube);
}

TEST_F(CgExamples, BumpMappingWithANormalisationCubeMap) {
  // A 1x1 normal map holding one tilted normal; a cube map whose faces hold
  // their own axis, encoded as 0.5 + 0.5 * v.
  auto encode = [](double v) { return static_cast<unsigned char>(std::lround((v + 1) / 2 * 255)); };
  auto decode = [](unsigned char c) { return 2 * (c / 255.0 - 0.5); };
  const V3 n = normalize(V3{0.4, -0.3, 0.8});
  const unsigned char texel[3] = {encode(n.x), encode(n.y), encode(n.z)};
  GLuint textures[2];
  glGenTextures(2, textures);
  glBindTexture(GL_TEXTURE_2D, textures[0]);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 1, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, texel);
  glBindTexture(GL_TEXTURE_CUBE_MAP, textures[1]);
  const V3 axes[6] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
  for (int i = 0; i < 6; ++i) {
    const unsigned char face[3] = {encode(axes[i].x), encode(axes[i].y), encode(axes[i].z)};
    glTexImage2D(GL_TEXTURE_CUBE_MAP_POSITIVE_X + i, 0, GL_RGB, 1, 1, 0, GL_RGB, GL_UNSIGNED_BYTE,
                 face);
  }
  glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
  glBindTexture(GL_TEXTURE_2D, 0);

  CGprogram fp = use("bump.cg",
                     "float3 expand(float3 v) { return (v - 0.5) * 2; }\n"
                     "float4 main(float2 normalMapTexCoord : TEXCOORD0,\n"
                     "            float3 lightDirection : TEXCOORD1,\n"
                     "            uniform sampler2D normalMap,\n"
                     "            uniform samplerCUBE normalizeCube,\n"
                     "            uniform float3 lightColor) : COLOR {\n"
                     "  float3 lightDir = expand(texCUBE(normalizeCube, lightDirection).xyz);\n"
                     "  float3 normal = expand(tex2D(normalMap, normalMapTexCoord).xyz);\n"
                     "  return float4(lightColor * saturate(dot(normal, lightDir)), 1);\n"
                     "}\n",
                     CG_PROFILE_ARBFP1);
  CGparameter normalMap = param(fp, "normalMap"), normalizeCube = param(fp, "normalizeCube");
  cgGLSetTextureParameter(normalMap, textures[0]);
  cgGLSetTextureParameter(normalizeCube, textures[1]);
  cgGLEnableTextureParameter(normalMap);
  cgGLEnableTextureParameter(normalizeCube);
  cgGLSetParameter3f(param(fp, "lightColor"), 1, 0.5f, 0.75f);

  // Lights towards +x and towards -y: each picks its face of the cube.
  const struct {
    V3 direction;
    int face;
  } lights[] = {{{3, 0.5, 1}, 0}, {{0.2, -2, 0.3}, 3}};
  for (const auto& light : lights) {
    glMultiTexCoord2f(GL_TEXTURE0, 0.5f, 0.5f);
    glMultiTexCoord3f(GL_TEXTURE1, static_cast<float>(light.direction.x),
                      static_cast<float>(light.direction.y), static_cast<float>(light.direction.z));
    fullScreenQuad();
    const V3 l{decode(encode(axes[light.face].x)), decode(encode(axes[light.face].y)),
               decode(encode(axes[light.face].z))};
    const V3 nn{decode(texel[0]), decode(texel[1]), decode(texel[2])};
    const double diffuse = std::fmin(std::fmax(dot(nn, l), 0), 1);
    EXPECT_TRUE(near(readPixel(320, 240), toRgb(diffuse * V3{1, 0.5, 0.75}), 2)) << light.face;
  }
  cgGLDisableTextureParameter(normalMap);
  cgGLDisableTextureParameter(normalizeCube);
  glDeleteTextures(2, textures);
}

TEST_F(CgExamples, StandardLibraryValues) {
  // Each row: a fragment expression of the uniform a = (-1.7, 2.5, 0.5, 3)
  // and the same computed here.
  const double a[4] = {-1.7, 2.5, 0.5, 3};
  const struct {
    const char* expression;
    V3 expected;
  } rows[] = {
      {"float3(-fmod(a.x, 0.75), 0.25 * round(a.y) - 0.5, tanh(a.z))",
       {-std::fmod(a[0], 0.75), 0.25 * std::round(a[1]) - 0.5, std::tanh(a[2])}},
      {"float3(0.1 * trunc(a.w + 0.9), log10(a.w) + 0.2, ldexp(a.z, -2))",
       {0.1 * std::trunc(a[3] + 0.9), std::log10(a[3]) + 0.2, std::ldexp(a[2], -2)}},
      {"float3(sinh(a.z), cosh(a.z) - 0.5, modf(a.y, ip) + 0.1 * ip)",
       {std::sinh(a[2]), std::cosh(a[2]) - 0.5, 0.5 + 0.1 * 2}},
      {"lit(a.z, 0.8, a.w).yzw * float3(1, 1, 0.25)", {0.5, std::pow(0.8, 3), 0.25}},
      {"float3(sn * 0.5 + 0.5, cs * 0.5 + 0.5, saturate(a.x))",
       {std::sin(a[1]) * 0.5 + 0.5, std::cos(a[1]) * 0.5 + 0.5, 0}},
  };
  int row = 0;
  for (const auto& r : rows) {
    CGprogram fp = use("lib" + std::to_string(row) + ".cg",
                       std::string("float4 main(uniform float4 a) : COLOR {\n"
                                   "  float ip, sn, cs; sincos(a.y, sn, cs);\n"
                                   "  return float4(") +
                           r.expression + ", 1);\n}\n",
                       CG_PROFILE_ARBFP1);
    cgGLSetParameter4f(param(fp, "a"), static_cast<float>(a[0]), static_cast<float>(a[1]),
                       static_cast<float>(a[2]), static_cast<float>(a[3]));
    fullScreenQuad();
    EXPECT_TRUE(near(readPixel(320, 240), toRgb(r.expected), 2)) << r.expression;
    ++row;
  }
}

}  // namespace

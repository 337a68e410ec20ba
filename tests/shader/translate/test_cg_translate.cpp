// The Cg-to-GLSL translator without GL: what each construct becomes, what
// it refuses (with file and line), and that no input can break it.
#include <gtest/gtest.h>

#include <string>

#include "shader/translate/cg_translate.h"

using platform::cg::ParameterInfo;
using platform::cg::Stage;
using platform::cg::translateCg;
using platform::cg::Translation;

namespace {

Translation vertex(const std::string& src) {
  return translateCg(src, "t.cg", Stage::VERTEX, "main");
}
Translation fragment(const std::string& src) {
  return translateCg(src, "t.cg", Stage::FRAGMENT, "main");
}

// The body of a fragment program that returns `expr` as its colour after
// the given statements, with a few variables in scope.
Translation fragmentWith(const std::string& statements, const std::string& expr = "c") {
  return fragment(
      "float4 main(float2 uv : TEXCOORD0, uniform float4x4 M, uniform sampler2D tex) : COLOR {\n"
      "  float4 c = float4(uv, 0, 1); float3 v = c.xyz; float s = uv.x; int i = 2;\n" +
      statements + "\n  return " + expr + ";\n}\n");
}

#define EXPECT_HAS(text, piece) EXPECT_NE((text).find(piece), std::string::npos) << (text)
#define EXPECT_LACKS(text, piece) EXPECT_EQ((text).find(piece), std::string::npos) << (text)

}  // namespace

TEST(CgTranslate, VertexStructsAndSemanticsMapToBuiltins) {
  const Translation t = vertex(
      "struct In { float4 p : POSITION; float2 uv : TEXCOORD3; float4 n : NORMAL; };\n"
      "struct Out { float4 hpos : POSITION; float2 uv : TEXCOORD1; float4 col : COLOR0; };\n"
      "Out main(In IN, float3 extra : TEXCOORD0, out float size : PSIZE) {\n"
      "  Out o; o.hpos = IN.p; o.uv = IN.uv; o.col = IN.n + extra.x; size = 2; return o;\n"
      "}\n");
  ASSERT_TRUE(t.ok) << t.listing;
  EXPECT_HAS(t.glsl, "cgIn(gl_Vertex, gl_MultiTexCoord3.xy, vec4(gl_Normal, 1.0))");
  EXPECT_HAS(t.glsl, "gl_MultiTexCoord0.xyz");
  EXPECT_HAS(t.glsl, "gl_Position = result.cghpos;");
  EXPECT_HAS(t.glsl, "gl_TexCoord[1] = vec4(result.cguv, 0.0, 1.0);");
  EXPECT_HAS(t.glsl, "gl_FrontColor = result.cgcol;");
  EXPECT_HAS(t.glsl, "gl_PointSize = out2;");
  EXPECT_EQ(t.glsl.rfind("#version 120", 0), 0u);
  // Every GLSL line knows the Cg line it came from.
  EXPECT_EQ(t.lineMap.size(), static_cast<size_t>(std::count(t.glsl.begin(), t.glsl.end(), '\n')));
}

TEST(CgTranslate, FragmentInputsAndOutputs) {
  const Translation t = fragment(
      "void main(float2 uv : TEXCOORD0, float4 col : COLOR0, float4 wpos : WPOS,\n"
      "          out float4 color : COLOR, out float depth : DEPTH) {\n"
      "  color = col * uv.x + wpos; depth = 0.5;\n"
      "}\n");
  ASSERT_TRUE(t.ok) << t.listing;
  EXPECT_HAS(t.glsl, "cgmain(gl_TexCoord[0].xy, gl_Color, gl_FragCoord, out3, out4);");
  EXPECT_HAS(t.glsl, "gl_FragColor = out3;");
  EXPECT_HAS(t.glsl, "gl_FragDepth = out4;");
}

TEST(CgTranslate, UniformsBecomeNamedParameters) {
  const Translation t = vertex(
      "float4 tint;\n"
      "uniform float3x3 normalMatrix;\n"
      "static const float scale = 2;\n"
      "float4 main(float4 p : POSITION, uniform float4x4 ModelViewProj,\n"
      "            uniform samplerCUBE env) : POSITION {\n"
      "  return mul(ModelViewProj, p) * scale + tint;\n"
      "}\n");
  ASSERT_TRUE(t.ok) << t.listing;
  EXPECT_HAS(t.glsl, "uniform vec4 vutint;");
  EXPECT_HAS(t.glsl, "uniform mat3 vunormalMatrix;");
  EXPECT_HAS(t.glsl, "const float cgscale = float(2);");
  EXPECT_HAS(t.glsl, "uniform mat4 vuModelViewProj;");
  EXPECT_HAS(t.glsl, "uniform samplerCube vuenv;");
  EXPECT_HAS(t.glsl, "vec4 cgmain(vec4 cgp) {");  // uniforms leave the signature
  ASSERT_EQ(t.parameters.size(), 5u);
  EXPECT_EQ(t.parameters[0].name, "tint");
  EXPECT_EQ(t.parameters[2].name, "p");
  EXPECT_EQ(t.parameters[2].kind, ParameterInfo::VARYING);
  EXPECT_EQ(t.parameters[3].glslName, "vuModelViewProj");
  EXPECT_EQ(t.parameters[3].rows, 4);
  EXPECT_EQ(t.parameters[3].cols, 4);
  EXPECT_EQ(t.parameters[4].valueType, ParameterInfo::SAMPLERCUBE);
}

TEST(CgTranslate, TypesAndMatricesAreHeldTransposed) {
  const Translation t = fragmentWith(
      "half2 h = uv; fixed3 f = v; float1 one = s; int2 ij = int2(1, 2); bool3 b = bool3(true, "
      "false, true);\n"
      "float2x4 m24 = float2x4(1,2,3,4,5,6,7,8); float3x3 m3 = float3x3(M);\n"
      "float4 a = mul(M, c); float4 r = mul(c, M); float4x4 mm = mul(M, M);\n"
      "float4 row = M[1]; float e = M[1][2]; float4x4 comp = M * M;\n"
      "float3 t3 = mul(float3x3(M), v); float4x4 tr = transpose(M);",
      "a + r + row + e");
  ASSERT_TRUE(t.ok) << t.listing;
  EXPECT_HAS(t.glsl, "vec2 cgh = cguv;");
  EXPECT_HAS(t.glsl, "vec3 cgf = cgv;");
  EXPECT_HAS(t.glsl, "float cgone = cgs;");
  EXPECT_HAS(t.glsl, "ivec2 cgij = ivec2(1, 2);");
  EXPECT_HAS(t.glsl, "bvec3 cgb = bvec3(true, false, true);");
  EXPECT_HAS(t.glsl, "mat2x4 cgm24 = mat2x4(");
  EXPECT_HAS(t.glsl, "mat3 cgm3 = mat3(fuM);");
  // GLSL holds the transpose T of a Cg matrix M: M v = v T, v M = T v.
  EXPECT_HAS(t.glsl, "vec4 cga = (cgc * fuM);");
  EXPECT_HAS(t.glsl, "vec4 cgr = (fuM * cgc);");
  EXPECT_HAS(t.glsl, "mat4 cgmm = (fuM * fuM);");
  EXPECT_HAS(t.glsl, "vec4 cgrow = fuM[1];");
  EXPECT_HAS(t.glsl, "float cge = fuM[1][2];");
  EXPECT_HAS(t.glsl, "matrixCompMult(fuM, fuM)");
  EXPECT_HAS(t.glsl, "(cgv * mat3(fuM))");
  EXPECT_HAS(t.glsl, "transpose(fuM)");
}

TEST(CgTranslate, Intrinsics) {
  const Translation t = fragmentWith(
      "float4 a = tex2D(tex, uv) + tex2D(tex, c.xy);\n"
      "float3 n = normalize(v) + cross(v, v) * dot(v, v) * length(v);\n"
      "float4 l = lerp(c, a, s) + saturate(c) + frac(c) + abs(c) + floor(c);\n"
      "float3 m = min(v, 1) + max(v, s) + clamp(v, 0, 1) + rsqrt(v) + pow(v, 2);\n",
      "l + a");
  ASSERT_TRUE(t.ok) << t.listing;
  EXPECT_HAS(t.glsl, "texture2D(futex, cguv)");
  EXPECT_HAS(t.glsl, "texture2D(futex, cgc.xy)");
  EXPECT_HAS(t.glsl, "normalize(cgv)");
  EXPECT_HAS(t.glsl, "cross(cgv, cgv)");
  EXPECT_HAS(t.glsl, "dot(cgv, cgv)");
  EXPECT_HAS(t.glsl, "length(cgv)");
  EXPECT_HAS(t.glsl, "mix(cgc, cga, vec4(cgs))");
  EXPECT_HAS(t.glsl, "clamp(cgc, 0.0, 1.0)");
  EXPECT_HAS(t.glsl, "fract(cgc)");
  EXPECT_HAS(t.glsl, "abs(cgc)");
  EXPECT_HAS(t.glsl, "floor(cgc)");
  EXPECT_HAS(t.glsl, "min(cgv, vec3(1))");
  EXPECT_HAS(t.glsl, "max(cgv, vec3(cgs))");
  EXPECT_HAS(t.glsl, "clamp(cgv, vec3(0), vec3(1))");
  EXPECT_HAS(t.glsl, "inversesqrt(cgv)");

  const Translation clip = fragmentWith("clip(c.x - 0.5); clip(v);");
  ASSERT_TRUE(clip.ok) << clip.listing;
  EXPECT_HAS(clip.glsl, "if ((cgc.x - 0.5) < 0.0) discard;");
  EXPECT_HAS(clip.glsl, "if (any(lessThan(cgv, vec3(0.0)))) discard;");

  // Stage-bound intrinsics and statements.
  EXPECT_FALSE(vertex("float4 main(float4 p : POSITION) : POSITION { return ddx(p); }").ok);
  EXPECT_FALSE(vertex("float4 main(float4 p : POSITION) : POSITION { discard; return p; }").ok);
  EXPECT_FALSE(fragmentWith("float x = clip(s);").ok);
}

TEST(CgTranslate, SwizzlesAndConstructors) {
  const Translation t = fragmentWith(
      "float2 a = c.xy; float3 b = c.bgr; float3 ss = s.xxx; c.zw = uv; v.x = s;\n"
      "float4 d = float4(v, 1); float4 e = float4(0); float2x2 m = float2x2(1, 2, uv);\n"
      "float4 k = (float4)s; float3 cut = (float3)c;");
  ASSERT_TRUE(t.ok) << t.listing;
  EXPECT_HAS(t.glsl, "vec2 cga = cgc.xy;");
  EXPECT_HAS(t.glsl, "vec3 cgb = cgc.bgr;");
  EXPECT_HAS(t.glsl, "vec3 cgss = vec3(cgs);");
  EXPECT_HAS(t.glsl, "cgc.zw = cguv;");
  EXPECT_HAS(t.glsl, "vec4 cgd = vec4(cgv, 1);");
  EXPECT_HAS(t.glsl, "vec4 cge = vec4(0);");
  EXPECT_HAS(t.glsl, "mat2 cgm = mat2(1, 2, cguv);");
  EXPECT_HAS(t.glsl, "vec4 cgk = vec4(cgs);");
  EXPECT_HAS(t.glsl, "vec3 cgcut = cgc.xyz;");

  EXPECT_FALSE(fragmentWith("c.xx = uv;").ok);        // repeated target
  EXPECT_FALSE(fragmentWith("float2 x = c.xg;").ok);  // mixed sets
  EXPECT_FALSE(fragmentWith("float x = uv.z;").ok);   // past the end
  EXPECT_FALSE(fragmentWith("float4 x = float4(1, 2, 3);").ok);
  EXPECT_FALSE(fragmentWith("float4 x = v;").ok);      // vectors never grow
  EXPECT_FALSE(fragmentWith("float x = M._m00;").ok);  // matrix swizzles
}

TEST(CgTranslate, OperatorsAndConversions) {
  const Translation u = fragmentWith(
      "float f = i + s; bool4 lt = c < c; bool4 eq = c == 1; bool both = s > 0 && i;\n"
      "bool4 no = !lt; f += i; c *= 2; i++; --f; float q = s > 0.5 ? 1 : s;");
  ASSERT_TRUE(u.ok) << u.listing;
  EXPECT_HAS(u.glsl, "float cgf = (float(cgi) + cgs);");
  EXPECT_HAS(u.glsl, "bvec4 cglt = lessThan(cgc, cgc);");
  EXPECT_HAS(u.glsl, "bvec4 cgeq = equal(cgc, vec4(float(1)));");
  EXPECT_HAS(u.glsl, "bool cgboth = ((cgs > float(0)) && bool(cgi));");
  EXPECT_HAS(u.glsl, "bvec4 cgno = not(cglt);");
  EXPECT_HAS(u.glsl, "cgf += float(cgi);");
  EXPECT_HAS(u.glsl, "cgc *= float(2);");
  EXPECT_HAS(u.glsl, "(cgi++);");
  EXPECT_HAS(u.glsl, "float cgq = ((cgs > 0.5) ? float(1) : cgs);");

  EXPECT_FALSE(fragmentWith("int k = i % 2;").ok);
  EXPECT_FALSE(fragmentWith("int k = i & 2;").ok);
  EXPECT_FALSE(fragmentWith("float4 x = M * c;").ok);  // mul() is the product
  EXPECT_FALSE(fragmentWith("float2 x = uv + v;").ok);
  EXPECT_FALSE(fragmentWith("uv = 1; float4x4 N = M; N = 2;").ok);
}

TEST(CgTranslate, ControlFlowAndFunctions) {
  const Translation t = fragment(
      "float twice(float x) { return 2 * x; }\n"
      "void bump(inout float x, out float y) { x += 1; y = x; }\n"
      "float count(float x);\n"
      "float4 main(float2 uv : TEXCOORD0) : COLOR {\n"
      "  float sum = 0, y;\n"
      "  for (int k = 0; k < 4; k++) { if (k == 2) continue; else sum += twice(k); }\n"
      "  for (float f = 1; f >= -1; f -= 0.5) { sum -= f; if (sum < 0) break; }\n"
      "  bump(sum, y);\n"
      "  return float4(sum, y, count(uv.x), 1);\n"
      "}\n"
      "float count(float x) { return x; }\n");
  ASSERT_TRUE(t.ok) << t.listing;
  EXPECT_HAS(t.glsl, "float cgtwice(float cgx) {");
  EXPECT_HAS(t.glsl, "void cgbump(inout float cgx, out float cgy) {");
  EXPECT_HAS(t.glsl, "float cgcount(float cgx);");
  EXPECT_HAS(t.glsl, "float cgsum = float(0);");
  EXPECT_HAS(t.glsl, "for (int cgk = 0; (cgk < 4); (cgk++)) {");
  EXPECT_HAS(t.glsl, "if ((cgk == 2)) {");
  EXPECT_HAS(t.glsl, "} else {");
  EXPECT_HAS(t.glsl, "cgsum += cgtwice(float(cgk));");
  EXPECT_HAS(t.glsl, "for (float cgf = float(1); (cgf >= float((-1))); cgf -= 0.5) {");

  EXPECT_FALSE(fragmentWith("break;").ok);
  EXPECT_FALSE(fragment("void f(out float x) {}\n"
                        "float4 main() : COLOR { f(1.0); return 0; }")
                   .ok);  // out needs a variable
  EXPECT_FALSE(fragment("float f(float x);\nfloat4 main() : COLOR { return f(1); }").ok);
  EXPECT_FALSE(fragment("float4 main() : COLOR { return main(); }").ok);
}

TEST(CgTranslate, ErrorsNameFileAndLine) {
  const Translation undefinedName = fragment("float4 main() : COLOR {\n\n  return q;\n}\n");
  EXPECT_FALSE(undefinedName.ok);
  EXPECT_EQ(undefinedName.listing, "t.cg(3) : error: undefined variable 'q'\n");

  const Translation syntax = fragment("float4 main() : COLOR {\n  return 1 +;\n}\n");
  EXPECT_HAS(syntax.listing, "t.cg(2) : error: expected an expression before ';'");

  const struct {
    const char* source;
    const char* message;
  } cases[] = {
      {"#define X 1\n", "t.cg(1) : error: preprocessor directives are not supported"},
      {"float4 notMain() : COLOR { return 0; }", "entry function 'main' not found"},
      {"float4 main(float4 c) : COLOR { return c; }", "needs a semantic"},
      {"float4 main(float4 c : TEXCOORD0) { return c; }", "a varying output needs a semantic"},
      {"float4 main(float4 c : NORMAL) : COLOR { return c; }",
       "semantic NORMAL is not an input of a fragment program"},
      {"float4 main() : POSITION { return 0; }",
       "semantic POSITION is not an output of a fragment program"},
      {"float4 main(uniform samplerRECT s) : COLOR { return 0; }",
       "type 'samplerRECT' is not supported"},
      {"float4 main() : COLOR { float a[4][2]; return 0; }", "arrays of arrays are not supported"},
      {"float4 main() : COLOR { /* open", "unterminated comment"},
      {"float4 main() : COLOR { float a__b = 1; return 0; }", "contains '__'"},
      {"float4 main() : COLOR { return 99999999999; }", "is too large"},
      {"float4 main() : COLOR { return f(); }", "undefined function 'f'"},
      {"float f(float x) { return x; }\nfloat4 main() : COLOR { float f = 1; return f(f); }",
       "'f' is a variable, not a function"},
  };
  for (const auto& c : cases) {
    const Translation t = fragment(c.source);
    EXPECT_FALSE(t.ok) << c.source;
    EXPECT_HAS(t.listing, c.message);
    EXPECT_TRUE(t.glsl.empty());
  }
}

TEST(CgTranslate, HostileInputNeverBreaksIt) {
  // Nesting far deeper than any program: refused, not a stack overflow.
  std::string deep = "float4 main() : COLOR { return ";
  for (int i = 0; i < 100000; ++i) deep += "(-";
  const Translation t = fragment(deep);
  EXPECT_FALSE(t.ok);
  EXPECT_HAS(t.listing, "nested too deeply");
  std::string blocks = "float4 main() : COLOR {";
  for (int i = 0; i < 100000; ++i) blocks += "{";
  EXPECT_HAS(fragment(blocks).listing, "nested too deeply");

  // Many errors: the listing stops after the limit.
  std::string many = "float4 main() : COLOR {\n";
  for (int i = 0; i < 100; ++i) many += "x" + std::to_string(i) + " = 1;\n";
  const Translation m = fragment(many);
  EXPECT_FALSE(m.ok);
  EXPECT_LE(std::count(m.listing.begin(), m.listing.end(), '\n'), 21);
  EXPECT_HAS(m.listing, "too many errors");

  // Odd bytes, a lone token, nothing at all.
  EXPECT_FALSE(fragment(std::string("\0\xff\x80{}", 5)).ok);
  EXPECT_FALSE(fragment("float4").ok);
  EXPECT_FALSE(fragment("").ok);
}

TEST(CgTranslate, DriverLogsPointAtCgLines) {
  Translation t;
  t.lineMap = {0, 4, 9};
  EXPECT_EQ(platform::cg::mapDriverLog("0:3(12): error: bad thing\n", t, "a.cg"),
            "a.cg(9) : error: bad thing\n");
  EXPECT_EQ(platform::cg::mapDriverLog("ERROR: 0:2: oops\n0(3) : error C1: no\n", t, "a.cg"),
            "a.cg(4) : oops\na.cg(9) : error C1: no\n");
  // Generated lines and unknown shapes keep their text.
  EXPECT_EQ(platform::cg::mapDriverLog("0:1(1): error: x\nlink failed\n\n", t, "a.cg"),
            "a.cg : 0:1(1): error: x\na.cg : link failed\n");
}

TEST(CgTranslate, ArraysOfEveryKind) {
  const Translation t = translateCg(
      "struct Light { float3 position; float4 color; };\n"
      "uniform Light lights[2];\n"
      "uniform float4x4 bones[3];\n"
      "static const int COUNT = 2 * 1;\n"
      "static const float weights[3] = { 0.25, 0.5, 1 };\n"
      "float sum(float v[3]) { return v[0] + v[1] + v[2]; }\n"
      "float4 main(float4 p : POSITION, uniform float gains[COUNT], out float4 c : COLOR)"
      " : POSITION {\n"
      "  float4 acc[2]; c = 0;\n"
      "  for (int i = 0; i < COUNT; i++) { acc[i] = lights[i].color * gains[i]; c += acc[i]; }\n"
      "  return mul(bones[1], p) * sum(weights) + bones[2][3].x;\n"
      "}\n",
      "t.cg", Stage::VERTEX, "main");
  ASSERT_TRUE(t.ok) << t.listing;
  // Structs come first so that uniforms can be of their types.
  EXPECT_LT(t.glsl.find("struct cgLight {"), t.glsl.find("uniform cgLight vulights[2];"));
  EXPECT_HAS(t.glsl, "uniform mat4 vubones[3];");
  EXPECT_HAS(t.glsl, "uniform float vugains[2];");
  EXPECT_HAS(t.glsl, "float cgweights[3] = float[3](0.25, 0.5, float(1));");
  EXPECT_HAS(t.glsl, "float cgsum(float cgv[3]) {");
  EXPECT_HAS(t.glsl, "vec4 cgacc[2];");
  // Loop indices are kept inside the array; constant ones are checked.
  EXPECT_HAS(t.glsl,
             "cgacc[int(clamp(float(cgi), 0.0, 1.0))] = "
             "(vulights[int(clamp(float(cgi), 0.0, 1.0))].cgcolor");
  EXPECT_HAS(t.glsl, "(cgp * vubones[1])");
  EXPECT_HAS(t.glsl, "vubones[2][3].x");
  // Every element and member is a parameter of its own.
  std::vector<std::string> names, glslNames;
  for (const ParameterInfo& p : t.parameters) {
    names.push_back(p.name);
    glslNames.push_back(p.glslName);
  }
  const std::vector<std::string> expected = {
      "lights",    "lights[0]",          "lights[0].position", "lights[0].color",
      "lights[1]", "lights[1].position", "lights[1].color",    "bones",
      "bones[0]",  "bones[1]",           "bones[2]",           "p",
      "gains",     "gains[0]",           "gains[1]",           "c"};
  EXPECT_EQ(names, expected);
  EXPECT_EQ(glslNames[6], "vulights[1].cgcolor");
  EXPECT_EQ(glslNames[0], "");  // aggregates are set through their elements
  EXPECT_EQ(t.parameters[7].arraySize, 3);
  EXPECT_EQ(t.parameters[7].rows, 4);

  const struct {
    const char* statements;
    const char* message;
  } refused[] = {
      {"float a[3]; float x = a[3];", "t.cg(3) : error: index 3 is outside 0 to 2"},
      {"float x = v[-1];", "index -1 is outside 0 to 2"},
      {"float a[s];", "an array size must be an integer constant"},
      {"float a[0];", "array size 0 is outside 1 to 256"},
      {"float a[];", "an array needs a size known at compile time"},
      {"float a[2] = { 1, 2, 3 };", "the list has 3 values for float[2]"},
      {"float4 b = { 1, 2, 3, 4 };", "initializer lists are only supported for arrays"},
      {"float a[2]; float b[3]; a = b;", "cannot convert float[3] to float[2]"},
      {"float a[2]; float x = a + 1;", "cannot combine float[2] and int"},
  };
  for (const auto& r : refused) {
    const Translation f = fragmentWith(r.statements);
    EXPECT_FALSE(f.ok) << r.statements;
    EXPECT_HAS(f.listing, r.message);
  }
  EXPECT_HAS(fragment("float4 main(uniform sampler2D s[2]) : COLOR { return 0; }").listing,
             "arrays of samplers are not supported");
  EXPECT_HAS(fragment("float4 main(float4 t[2] : TEXCOORD0) : COLOR { return 0; }").listing,
             "varying arrays are not supported");
}

TEST(CgTranslate, StandardLibraryEvaluatesEachArgumentOnce) {
  const Translation t = fragmentWith(
      "float3 sn, cs; sincos(v * 2, sn, cs); float k; sincos(s, k, s);\n"
      "float3 r = round(v) + trunc(v) + fmod(v, 2) + sinh(v) + cosh(v) + tanh(v);\n"
      "float l = log10(s) + ldexp(s, 3); float ip; float fr = modf(s, ip);\n"
      "float4 light = lit(s, 0.5, 8); float3 ff = faceforward(v, v, v);\n"
      "float4 b = tex2Dbias(tex, c++);",
      "b + light");
  ASSERT_TRUE(t.ok) << t.listing;
  EXPECT_HAS(t.glsl, "lib_sincos3((cgv * float(2)), cgsn, cgcs);");
  EXPECT_HAS(t.glsl, "lib_sincos1(cgs, cgk, cgs);");
  EXPECT_HAS(t.glsl,
             "void lib_sincos3(vec3 x, out vec3 s, out vec3 c) { s = sin(x); c = cos(x); }");
  EXPECT_HAS(t.glsl, "lib_round3(cgv)");
  EXPECT_HAS(t.glsl, "lib_fmod3(cgv, vec3(2))");
  EXPECT_HAS(t.glsl, "(log2(cgs) * 0.301029996)");
  EXPECT_HAS(t.glsl, "(cgs * exp2(float(3)))");
  EXPECT_HAS(t.glsl, "lib_modf1(cgs, cgip)");
  EXPECT_HAS(t.glsl, "lib_lit(cgs, 0.5, float(8))");
  EXPECT_HAS(t.glsl, "faceforward(cgv, cgv, cgv)");
  // The bias form reads its coordinates once, through a function.
  EXPECT_HAS(t.glsl, "lib_tex2Dbias(futex, (cgc++))");
  EXPECT_HAS(t.glsl, "vec4 lib_tex2Dbias(sampler2D s, vec4 c) { return texture2D(s, c.xy, c.w); }");
  // Each helper is defined once, before its first use.
  EXPECT_EQ(t.glsl.find("void lib_sincos3"), t.glsl.rfind("void lib_sincos3"));
  EXPECT_LT(t.glsl.find("void lib_sincos3"), t.glsl.find("lib_sincos3((cgv"));

  const struct {
    const char* statements;
    const char* message;
  } refused[] = {
      {"float4 x = tex2D(tex, v);",
       "'tex2D': takes 2 coordinates, not 3 (shadow-compare forms are not supported)"},
      {"float4 x = tex2D(tex, uv, uv, uv);",
       "'tex2D': explicit derivatives are not available in GLSL 1.20"},
      {"float4 x = tex2Dlod(tex, c);", "'tex2Dlod': not supported: GLSL 1.20 chooses levels"},
      {"float x = determinant(M);", "'determinant': not supported: GLSL 1.20 has no determinant"},
      {"bool x = isnan(s);", "'isnan': not supported: GLSL 1.20 has no test for NaN"},
      {"float x = noise(s);", "'noise': not supported"},
      {"float e; float x = frexp(s, e);", "'frexp': not supported"},
      {"float x; sincos(s, x, 1.0);", "'sincos': argument 3 must be an assignable float"},
      {"float2 x, y; sincos(s, x, y);", "'sincos': argument 2 must be an assignable float"},
      {"float4 x = tex2Dproj(tex, uv);", "'tex2Dproj': coordinates must have 3 or 4 components"},
  };
  for (const auto& r : refused) {
    const Translation f = fragmentWith(r.statements);
    EXPECT_FALSE(f.ok) << r.statements;
    EXPECT_HAS(f.listing, r.message);
  }
}

TEST(CgTranslate, ProfilesLimitWhatAProgramUses) {
  using platform::cg::Profile;
  const std::string derivative = "float4 main(float2 uv : TEXCOORD0) : COLOR { return ddx(uv.x); }";
  EXPECT_TRUE(translateCg(derivative, "t.cg", Profile::FP30, "main").ok);
  EXPECT_HAS(translateCg(derivative, "t.cg", Profile::ARBFP1, "main").listing,
             "t.cg(1) : error: 'ddx': not available in profile arbfp1");
  EXPECT_HAS(translateCg(derivative, "t.cg", Profile::FP20, "main").listing,
             "'ddx': not available in profile fp20");

  std::string five = "float4 main(";
  for (int i = 0; i < 5; ++i) five += "uniform sampler2D s" + std::to_string(i) + ",\n";
  five += "float2 uv : TEXCOORD0) : COLOR { return tex2D(s4, uv); }";
  EXPECT_TRUE(translateCg(five, "t.cg", Profile::ARBFP1, "main").ok);
  EXPECT_HAS(translateCg(five, "t.cg", Profile::FP20, "main").listing,
             "t.cg(5) : error: profile fp20 has 4 texture units; sampler 's4' is one more");

  for (Profile p : {Profile::ARBVP1, Profile::VP20}) {
    const Translation fetch = translateCg(
        "float4 main(float4 p : POSITION, uniform sampler2D s) : POSITION {\n"
        "  return p + tex2D(s, p.xy); }",
        "t.cg", p, "main");
    EXPECT_HAS(fetch.listing, std::string("t.cg(2) : error: 'tex2D': texture fetches are not "
                                          "available in profile ") +
                                  platform::cg::profileName(p));
    const Translation noPosition = translateCg(
        "void main(float4 p : POSITION, out float4 c : COLOR) { c = p; }", "t.cg", p, "main");
    EXPECT_HAS(noPosition.listing,
               "t.cg(1) : error: a vertex program must write a POSITION output");
  }
  // No profile branches: a loop must unroll, an index must be known in each
  // unrolled copy (fragment profiles) and the unrolled count stays bounded.
  const struct {
    const char* statements;
    const char* message;  // empty: accepted
  } loops[] = {
      {"float a[4]; for (int i = 0; i < 4; i++) a[i] = i; for (int j = 3; j >= 0; j -= 2) "
       "s += a[j + 0] * a[3 - j];",
       ""},
      {"for (int i = 4; i != 0; --i) s += v[i - 2];", ""},
      {"const int N = 3; for (int i = 0; i < N; i++) s += v[i];", ""},
      {"for (float f = 0; f < 1; f += 0.001) s += f;",
       "the loop runs more than 256 times; profile fp30 runs only loops it can unroll up to that "
       "count"},
      {"for (int i = 0; i < 100; i++) for (int j = 0; j < 100; j++) s += 1;",
       "nested loops run more than 4096 times together"},
      {"for (int i = 0; i < 4; i--) s += 1;", "the loop runs more than 256 times"},
      {"for (int i = 0; i < s; i++) s += 1;",
       "profile fp30 runs only loops it can unroll: a 'for' loop needs a counter set to a "
       "constant, compared with a constant and stepped by a constant"},
      {"for (int i = 0; i < 4; i++) { s += 1; i += 1; }",
       "the body assigns the loop counter 'i'; profile fp30 runs only loops it can unroll"},
      {"while (s < 2) s += 1;",
       "profile fp30 runs only loops it can unroll: use a 'for' loop with a constant count "
       "instead of 'while'"},
      {"do s += 1; while (s < 2);", "instead of 'do'"},
      {"int k = (int)s; float x = v[k];",
       "profile fp30 indexes only by constants and loop counters"},
      {"for (int i = 0; i < 2; i++) s += v[i + (int)s];", "indexes only by constants and loop"},
  };
  for (const auto& l : loops) {
    const Translation f = fragmentWith(l.statements);
    EXPECT_EQ(f.ok, !*l.message) << l.statements << "\n" << f.listing;
    if (*l.message) {
      EXPECT_HAS(f.listing, l.message);
    }
  }
  // Vertex programs address uniform arrays by any index.
  EXPECT_TRUE(translateCg("float4 main(float4 p : POSITION, uniform float4 m[4]) : POSITION {\n"
                          "  return p * m[(int)p.x]; }",
                          "t.cg", Profile::ARBVP1, "main")
                  .ok);

  Profile parsed;
  EXPECT_TRUE(platform::cg::profileFromName("vp20", &parsed));
  EXPECT_EQ(parsed, Profile::VP20);
  EXPECT_FALSE(platform::cg::profileFromName("vp40", &parsed));
}

TEST(CgTranslate, UniformsOfTheTwoStagesKeepApart) {
  const Translation v = vertex(
      "float4 main(float4 p : POSITION, uniform float4 tint) : POSITION { return p * tint; }");
  const Translation f = fragment("float4 main(uniform float4 tint) : COLOR { return tint; }");
  ASSERT_TRUE(v.ok && f.ok) << v.listing << f.listing;
  EXPECT_HAS(v.glsl, "uniform vec4 vutint;");
  EXPECT_HAS(f.glsl, "uniform vec4 futint;");
}

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
  EXPECT_HAS(t.glsl, "uniform vec4 cgtint;");
  EXPECT_HAS(t.glsl, "uniform mat3 cgnormalMatrix;");
  EXPECT_HAS(t.glsl, "const float cgscale = float(2);");
  EXPECT_HAS(t.glsl, "uniform mat4 cgModelViewProj;");
  EXPECT_HAS(t.glsl, "uniform samplerCube cgenv;");
  EXPECT_HAS(t.glsl, "vec4 cgmain(vec4 cgp) {");  // uniforms leave the signature
  ASSERT_EQ(t.parameters.size(), 5u);
  EXPECT_EQ(t.parameters[0].name, "tint");
  EXPECT_EQ(t.parameters[2].name, "p");
  EXPECT_EQ(t.parameters[2].kind, ParameterInfo::VARYING);
  EXPECT_EQ(t.parameters[3].glslName, "cgModelViewProj");
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
  EXPECT_HAS(t.glsl, "mat3 cgm3 = mat3(cgM);");
  // GLSL holds the transpose T of a Cg matrix M: M v = v T, v M = T v.
  EXPECT_HAS(t.glsl, "vec4 cga = (cgc * cgM);");
  EXPECT_HAS(t.glsl, "vec4 cgr = (cgM * cgc);");
  EXPECT_HAS(t.glsl, "mat4 cgmm = (cgM * cgM);");
  EXPECT_HAS(t.glsl, "vec4 cgrow = cgM[1];");
  EXPECT_HAS(t.glsl, "float cge = cgM[1][2];");
  EXPECT_HAS(t.glsl, "matrixCompMult(cgM, cgM)");
  EXPECT_HAS(t.glsl, "(cgv * mat3(cgM))");
  EXPECT_HAS(t.glsl, "transpose(cgM)");
}

TEST(CgTranslate, Intrinsics) {
  const Translation t = fragmentWith(
      "float4 a = tex2D(tex, uv) + tex2D(tex, c);\n"
      "float3 n = normalize(v) + cross(v, v) * dot(v, v) * length(v);\n"
      "float4 l = lerp(c, a, s) + saturate(c) + frac(c) + abs(c) + floor(c);\n"
      "float3 m = min(v, 1) + max(v, s) + clamp(v, 0, 1) + rsqrt(v) + pow(v, 2);\n",
      "l + a");
  ASSERT_TRUE(t.ok) << t.listing;
  EXPECT_HAS(t.glsl, "texture2D(cgtex, cguv)");
  EXPECT_HAS(t.glsl, "texture2D(cgtex, cgc.xy)");
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
      "  while (sum > 10) { sum -= 1; if (sum < 0) break; }\n"
      "  do sum += 1; while (sum < 0);\n"
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
  EXPECT_HAS(t.glsl, "while ((cgsum > float(10))) {");
  EXPECT_HAS(t.glsl, "} while ((cgsum < float(0)));");

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
      {"float4 main() : COLOR { float a[4]; return 0; }", "arrays are not supported"},
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

// The standard functions of Cg and their GLSL 1.20 equivalents.
#include <algorithm>
#include <cstring>

#include "shader/translate/cg_translator.h"

namespace platform::cg {

namespace {

enum class Kind {
  COMPONENTWISE,  // float in, float out, per component; scalars spread
  INLINE,         // componentwise, glsl is a pattern that uses each of $0 $1 once
  HELPER,         // componentwise, glsl is the body of a generated function of x, y
  SATURATE,
  DERIVATIVE,  // componentwise, fp30 only
  DOT,
  LENGTH,
  DISTANCE,
  NORMALIZE,
  CROSS,
  REFLECT,
  REFRACT,
  MUL,
  TRANSPOSE,
  TEXTURE,
  TEXTURE_HELPER,  // glsl is the body of a generated function of sampler s, coordinates c
  ANY_ALL,
  CLIP,
  SINCOS,
  MODF,
  LIT,
  REFUSED,  // glsl says why
};

struct Intrinsic {
  const char* cg;
  const char* glsl;
  Kind kind;
  int args;
  Base sampler = Base::ERROR;  // textures: the sampler it takes
  int coords = 0;              // textures: coordinate sizes accepted
  int maxCoords = 0;
};

constexpr const char* NO_LOD =
    "GLSL 1.20 chooses levels of detail only in vertex programs, which fetch no textures here";
constexpr const char* NO_PACKING = "GLSL 1.20 has no bit packing";

// The table of cg_translate.h's list, in its order.
const Intrinsic INTRINSICS[] = {
    {"abs", "abs", Kind::COMPONENTWISE, 1},
    {"acos", "acos", Kind::COMPONENTWISE, 1},
    {"asin", "asin", Kind::COMPONENTWISE, 1},
    {"atan", "atan", Kind::COMPONENTWISE, 1},
    {"atan2", "atan", Kind::COMPONENTWISE, 2},
    {"ceil", "ceil", Kind::COMPONENTWISE, 1},
    {"cos", "cos", Kind::COMPONENTWISE, 1},
    {"degrees", "degrees", Kind::COMPONENTWISE, 1},
    {"exp", "exp", Kind::COMPONENTWISE, 1},
    {"exp2", "exp2", Kind::COMPONENTWISE, 1},
    {"floor", "floor", Kind::COMPONENTWISE, 1},
    {"frac", "fract", Kind::COMPONENTWISE, 1},
    {"log", "log", Kind::COMPONENTWISE, 1},
    {"log2", "log2", Kind::COMPONENTWISE, 1},
    {"radians", "radians", Kind::COMPONENTWISE, 1},
    {"rsqrt", "inversesqrt", Kind::COMPONENTWISE, 1},
    {"sign", "sign", Kind::COMPONENTWISE, 1},
    {"sin", "sin", Kind::COMPONENTWISE, 1},
    {"sqrt", "sqrt", Kind::COMPONENTWISE, 1},
    {"tan", "tan", Kind::COMPONENTWISE, 1},
    {"pow", "pow", Kind::COMPONENTWISE, 2},
    {"min", "min", Kind::COMPONENTWISE, 2},
    {"max", "max", Kind::COMPONENTWISE, 2},
    {"step", "step", Kind::COMPONENTWISE, 2},
    {"clamp", "clamp", Kind::COMPONENTWISE, 3},
    {"lerp", "mix", Kind::COMPONENTWISE, 3},
    {"smoothstep", "smoothstep", Kind::COMPONENTWISE, 3},
    {"faceforward", "faceforward", Kind::COMPONENTWISE, 3},
    {"log10", "(log2($0) * 0.301029996)", Kind::INLINE, 1},
    {"ldexp", "($0 * exp2($1))", Kind::INLINE, 2},
    {"round", "sign(x) * floor(abs(x) + 0.5)", Kind::HELPER, 1},
    {"trunc", "sign(x) * floor(abs(x))", Kind::HELPER, 1},
    {"fmod", "x - y * (sign(x / y) * floor(abs(x / y)))", Kind::HELPER, 2},
    {"sinh", "(exp(x) - exp(-x)) * 0.5", Kind::HELPER, 1},
    {"cosh", "(exp(x) + exp(-x)) * 0.5", Kind::HELPER, 1},
    {"tanh", "1.0 - 2.0 / (exp(2.0 * x) + 1.0)", Kind::HELPER, 1},
    {"saturate", "clamp", Kind::SATURATE, 1},
    {"ddx", "dFdx", Kind::DERIVATIVE, 1},
    {"ddy", "dFdy", Kind::DERIVATIVE, 1},
    {"dot", "dot", Kind::DOT, 2},
    {"length", "length", Kind::LENGTH, 1},
    {"distance", "distance", Kind::DISTANCE, 2},
    {"normalize", "normalize", Kind::NORMALIZE, 1},
    {"cross", "cross", Kind::CROSS, 2},
    {"reflect", "reflect", Kind::REFLECT, 2},
    {"refract", "refract", Kind::REFRACT, 3},
    {"mul", "", Kind::MUL, 2},
    {"transpose", "transpose", Kind::TRANSPOSE, 1},
    {"sincos", "", Kind::SINCOS, 3},
    {"modf", "", Kind::MODF, 2},
    {"lit", "", Kind::LIT, 3},
    {"any", "any", Kind::ANY_ALL, 1},
    {"all", "all", Kind::ANY_ALL, 1},
    {"clip", "", Kind::CLIP, 1},
    {"tex1D", "texture1D(s, c)", Kind::TEXTURE, 2, Base::SAMPLER1D, 1, 1},
    {"tex1Dproj", "texture1DProj(s, c)", Kind::TEXTURE, 2, Base::SAMPLER1D, 2, 2},
    {"tex2D", "texture2D(s, c)", Kind::TEXTURE, 2, Base::SAMPLER2D, 2, 2},
    {"tex2Dproj", "texture2DProj(s, c)", Kind::TEXTURE, 2, Base::SAMPLER2D, 3, 4},
    {"tex3D", "texture3D(s, c)", Kind::TEXTURE, 2, Base::SAMPLER3D, 3, 3},
    {"tex3Dproj", "texture3DProj(s, c)", Kind::TEXTURE, 2, Base::SAMPLER3D, 4, 4},
    {"texCUBE", "textureCube(s, c)", Kind::TEXTURE, 2, Base::SAMPLERCUBE, 3, 3},
    {"texCUBEproj", "textureCube(s, c.xyz / c.w)", Kind::TEXTURE_HELPER, 2, Base::SAMPLERCUBE, 4,
     4},
    {"tex1Dbias", "texture1D(s, c.x, c.w)", Kind::TEXTURE_HELPER, 2, Base::SAMPLER1D, 4, 4},
    {"tex2Dbias", "texture2D(s, c.xy, c.w)", Kind::TEXTURE_HELPER, 2, Base::SAMPLER2D, 4, 4},
    {"tex3Dbias", "texture3D(s, c.xyz, c.w)", Kind::TEXTURE_HELPER, 2, Base::SAMPLER3D, 4, 4},
    {"texCUBEbias", "textureCube(s, c.xyz, c.w)", Kind::TEXTURE_HELPER, 2, Base::SAMPLERCUBE, 4, 4},
    {"tex1Dlod", NO_LOD, Kind::REFUSED, 2},
    {"tex2Dlod", NO_LOD, Kind::REFUSED, 2},
    {"tex3Dlod", NO_LOD, Kind::REFUSED, 2},
    {"texCUBElod", NO_LOD, Kind::REFUSED, 2},
    {"texRECT", "rectangle textures are not supported", Kind::REFUSED, 2},
    {"texRECTproj", "rectangle textures are not supported", Kind::REFUSED, 2},
    {"determinant", "GLSL 1.20 has no determinant", Kind::REFUSED, 1},
    {"frexp", "GLSL 1.20 cannot take a float apart into mantissa and exponent", Kind::REFUSED, 2},
    {"isnan", "GLSL 1.20 has no test for NaN", Kind::REFUSED, 1},
    {"isinf", "GLSL 1.20 has no test for infinity", Kind::REFUSED, 1},
    {"isfinite", "GLSL 1.20 has no test for infinity or NaN", Kind::REFUSED, 1},
    {"noise", "GLSL's noise returns 0 on common drivers", Kind::REFUSED, 1},
    {"debug", "there is no debug output", Kind::REFUSED, 1},
    {"pack_2half", NO_PACKING, Kind::REFUSED, 1},
    {"pack_2ushort", NO_PACKING, Kind::REFUSED, 1},
    {"pack_4byte", NO_PACKING, Kind::REFUSED, 1},
    {"pack_4ubyte", NO_PACKING, Kind::REFUSED, 1},
    {"unpack_2half", NO_PACKING, Kind::REFUSED, 1},
    {"unpack_2ushort", NO_PACKING, Kind::REFUSED, 1},
    {"unpack_4byte", NO_PACKING, Kind::REFUSED, 1},
    {"unpack_4ubyte", NO_PACKING, Kind::REFUSED, 1},
};

const Intrinsic* findIntrinsic(const std::string& name) {
  for (const Intrinsic& i : INTRINSICS)
    if (name == i.cg) return &i;
  return nullptr;
}

bool isPlainNumber(const CgType& t) { return t.isNumeric() && !t.isMatrix(); }

}  // namespace

std::string Translator::helper(const std::string& name, const std::string& definition) {
  if (std::find(helperNames.begin(), helperNames.end(), name) == helperNames.end()) {
    helperNames.push_back(name);
    helperLines.push_back({definition, 0});
  }
  return name;
}

bool Translator::callIntrinsic(const std::string& name, const std::vector<Value>& args, int line,
                               Value* result) {
  const Intrinsic* in = findIntrinsic(name);
  if (!in) return false;
  *result = Value{errorType(), "0.0", false};
  const auto bad = [&](const std::string& why) { error(line, "'" + name + "': " + why); };
  if (in->kind == Kind::REFUSED) {
    bad(std::string("not supported: ") + in->glsl);
    return true;
  }
  for (const Value& a : args)
    if (a.type.isError()) return true;
  const bool texture = in->kind == Kind::TEXTURE || in->kind == Kind::TEXTURE_HELPER;
  if (texture && args.size() == 4) {
    bad("explicit derivatives are not available in GLSL 1.20");
    return true;
  }
  if (static_cast<int>(args.size()) != in->args) {
    error(line, "'" + name + "' takes " + std::to_string(in->args) + " argument" +
                    (in->args == 1 ? "" : "s") + ", not " + std::to_string(args.size()));
    return true;
  }
  const auto notInProfile = [&]() {
    bad(std::string("not available in profile ") + profileName(profile));
  };
  // Every argument as a float vector of the common size (scalars spread).
  const auto floats = [&](int size) {
    std::vector<std::string> codes;
    for (const Value& a : args) codes.push_back(convert(a, vectorType(Base::FLOAT, size), line));
    return codes;
  };
  const auto commonSize = [&](int* size) {
    *size = 1;
    for (const Value& a : args) {
      if (!isPlainNumber(a.type)) {
        bad("arguments must be scalars or vectors, not " + cgTypeName(a.type));
        return false;
      }
      if (a.type.size > 1 && *size > 1 && a.type.size != *size) {
        bad("arguments have different sizes");
        return false;
      }
      *size = std::max(*size, a.type.size);
    }
    return true;
  };
  const auto call = [&](const std::string& fn, const std::vector<std::string>& codes) {
    std::string code = fn + "(";
    for (size_t i = 0; i < codes.size(); ++i) code += (i ? ", " : "") + codes[i];
    return code + ")";
  };
  // The out arguments of sincos and modf: assignable, of the input's type.
  const auto outputs = [&](size_t first, const CgType& t) {
    for (size_t i = first; i < args.size(); ++i) {
      if (!args[i].assignable || args[i].type != t) {
        bad("argument " + std::to_string(i + 1) + " must be an assignable " + cgTypeName(t));
        return false;
      }
    }
    return true;
  };
  int size = 1;
  switch (in->kind) {
    case Kind::DERIVATIVE:
      if (profile != Profile::FP30) {
        notInProfile();
        return true;
      }
      [[fallthrough]];
    case Kind::COMPONENTWISE:
      if (commonSize(&size))
        *result = Value{vectorType(Base::FLOAT, size), call(in->glsl, floats(size)), false};
      return true;
    case Kind::INLINE: {
      if (!commonSize(&size)) return true;
      const std::vector<std::string> codes = floats(size);
      std::string code = in->glsl;
      for (size_t i = 0; i < codes.size(); ++i) {
        const std::string mark = "$" + std::to_string(i);
        code.replace(code.find(mark), mark.size(), codes[i]);
      }
      *result = Value{vectorType(Base::FLOAT, size), code, false};
      return true;
    }
    case Kind::HELPER: {
      if (!commonSize(&size)) return true;
      const std::string t = typeName(vectorType(Base::FLOAT, size));
      const std::string fn = "lib_" + name + std::to_string(size);
      helper(fn, t + " " + fn + "(" + t + " x" + (in->args == 2 ? ", " + t + " y" : "") +
                     ") { return " + in->glsl + "; }");
      *result = Value{vectorType(Base::FLOAT, size), call(fn, floats(size)), false};
      return true;
    }
    case Kind::SINCOS:
    case Kind::MODF: {
      if (!isPlainNumber(args[0].type) || args[0].type.base == Base::BOOL) {
        bad("the first argument must be a scalar or vector");
        return true;
      }
      const CgType t = vectorType(Base::FLOAT, args[0].type.size);
      if (!outputs(1, t)) return true;
      const std::string tn = typeName(t);
      const std::string fn = "lib_" + name + std::to_string(t.size);
      std::vector<std::string> codes = {convert(args[0], t, line)};
      for (size_t i = 1; i < args.size(); ++i) codes.push_back(args[i].code);
      if (in->kind == Kind::SINCOS) {
        helper(fn, "void " + fn + "(" + tn + " x, out " + tn + " s, out " + tn +
                       " c) { s = sin(x); c = cos(x); }");
        *result = Value{voidType(), call(fn, codes), false};
      } else {
        helper(fn, tn + " " + fn + "(" + tn + " x, out " + tn +
                       " i) { i = sign(x) * floor(abs(x)); return x - i; }");
        *result = Value{t, call(fn, codes), false};
      }
      return true;
    }
    case Kind::LIT: {
      for (const Value& a : args) {
        if (!a.type.isScalar() || a.type.base == Base::BOOL) {
          bad("takes three scalars");
          return true;
        }
      }
      helper("lib_lit",
             "vec4 lib_lit(float n, float h, float m) { return vec4(1.0, max(n, 0.0), "
             "(n < 0.0 || h < 0.0) ? 0.0 : pow(h, m), 1.0); }");
      *result = Value{vectorType(Base::FLOAT, 4), call("lib_lit", floats(1)), false};
      return true;
    }
    case Kind::SATURATE:
      if (commonSize(&size))
        *result =
            Value{vectorType(Base::FLOAT, size), "clamp(" + floats(size)[0] + ", 0.0, 1.0)", false};
      return true;
    case Kind::DOT:
    case Kind::DISTANCE:
      if (commonSize(&size))
        *result = Value{scalarType(Base::FLOAT), call(in->glsl, floats(size)), false};
      return true;
    case Kind::LENGTH:
    case Kind::NORMALIZE:
      if (commonSize(&size))
        *result = Value{vectorType(Base::FLOAT, in->kind == Kind::LENGTH ? 1 : size),
                        call(in->glsl, floats(size)), false};
      return true;
    case Kind::CROSS:
      if (!commonSize(&size)) return true;
      if (args[0].type.size != 3 || args[1].type.size != 3) {
        bad("needs two 3-component vectors");
        return true;
      }
      *result = Value{vectorType(Base::FLOAT, 3), call(in->glsl, floats(3)), false};
      return true;
    case Kind::REFLECT:
    case Kind::REFRACT: {
      if (!commonSize(&size)) return true;
      if (in->kind == Kind::REFRACT && !args[2].type.isScalar()) {
        bad("the ratio of indices must be a scalar");
        return true;
      }
      std::vector<std::string> codes = floats(size);
      if (in->kind == Kind::REFRACT) codes[2] = convert(args[2], scalarType(Base::FLOAT), line);
      *result = Value{vectorType(Base::FLOAT, size), call(in->glsl, codes), false};
      return true;
    }
    case Kind::MUL: {
      const CgType& a = args[0].type;
      const CgType& b = args[1].type;
      // GLSL holds each Cg matrix transposed, so the operands swap.
      if (a.isMatrix() && b.isMatrix()) {
        if (a.cols != b.rows) {
          bad("cannot multiply " + cgTypeName(a) + " by " + cgTypeName(b));
          return true;
        }
        *result = Value{matrixType(Base::FLOAT, a.rows, b.cols),
                        "(" + args[1].code + " * " + args[0].code + ")", false};
      } else if (a.isMatrix() && isPlainNumber(b) && b.size == a.cols) {
        *result = Value{vectorType(Base::FLOAT, a.rows),
                        "(" + convert(args[1], vectorType(Base::FLOAT, b.size), line) + " * " +
                            args[0].code + ")",
                        false};
      } else if (b.isMatrix() && isPlainNumber(a) && a.size == b.rows) {
        *result = Value{vectorType(Base::FLOAT, b.cols),
                        "(" + args[1].code + " * " +
                            convert(args[0], vectorType(Base::FLOAT, a.size), line) + ")",
                        false};
      } else {
        bad("cannot multiply " + cgTypeName(a) + " by " + cgTypeName(b));
      }
      return true;
    }
    case Kind::TRANSPOSE:
      if (!args[0].type.isMatrix()) {
        bad("needs a matrix");
        return true;
      }
      *result = Value{matrixType(Base::FLOAT, args[0].type.cols, args[0].type.rows),
                      "transpose(" + args[0].code + ")", false};
      return true;
    case Kind::TEXTURE:
    case Kind::TEXTURE_HELPER: {
      if (stage != Stage::FRAGMENT) {
        bad(std::string("texture fetches are not available in profile ") + profileName(profile));
        return true;
      }
      const CgType& s = args[0].type;
      const CgType& c = args[1].type;
      if (s.base != in->sampler || !s.isSampler()) {
        bad("the first argument must be a " + cgTypeName(scalarType(in->sampler)));
        return true;
      }
      const std::string sizes = in->coords == in->maxCoords ? std::to_string(in->coords)
                                                            : std::to_string(in->coords) + " or " +
                                                                  std::to_string(in->maxCoords);
      if (!isPlainNumber(c) || c.base == Base::BOOL || c.size < in->coords) {
        bad("coordinates must have " + sizes + " components");
        return true;
      }
      if (c.size > in->maxCoords) {
        bad("takes " + sizes + " coordinates, not " + std::to_string(c.size) +
            " (shadow-compare forms are not supported)");
        return true;
      }
      const CgType ct = vectorType(Base::FLOAT, c.size);
      const std::vector<std::string> codes = {args[0].code, convert(args[1], ct, line)};
      std::string body = in->glsl;
      if (in->kind == Kind::TEXTURE) {
        // The pattern names its arguments s and c, each once.
        body.replace(body.find("(s, c)"), 6, "(" + codes[0] + ", " + codes[1] + ")");
        *result = Value{vectorType(Base::FLOAT, 4), body, false};
        return true;
      }
      const std::string fn = "lib_" + name;
      helper(fn, "vec4 " + fn + "(" + typeName(s) + " s, " + typeName(ct) + " c) { return " + body +
                     "; }");
      *result = Value{vectorType(Base::FLOAT, 4), call(fn, codes), false};
      return true;
    }
    case Kind::ANY_ALL: {
      const CgType& t = args[0].type;
      if (!isPlainNumber(t)) {
        bad("needs a scalar or vector");
        return true;
      }
      const std::string b = convert(args[0], withBase(t, Base::BOOL), line);
      *result = Value{scalarType(Base::BOOL), t.isScalar() ? b : call(in->glsl, {b}), false};
      return true;
    }
    case Kind::CLIP: bad("can only be used as a statement"); return true;
    case Kind::REFUSED: return true;
  }
  return true;
}

void Translator::clipStatement(int line) {
  next();
  const std::vector<Value> args = parseArguments();
  expect(";");
  if (failed()) return;
  if (stage != Stage::FRAGMENT) {
    error(line, "'clip' is only allowed in fragment programs");
    return;
  }
  if (args.size() != 1 || !isPlainNumber(args[0].type) || args[0].type.base == Base::BOOL) {
    if (args.size() != 1 || !args[0].type.isError())
      error(line, "'clip' takes one scalar or vector");
    return;
  }
  const CgType t = withBase(args[0].type, Base::FLOAT);
  const std::string x = convert(args[0], t, line);
  if (t.isScalar()) {
    emit("if (" + x + " < 0.0) discard;", line);
  } else {
    emit("if (any(lessThan(" + x + ", " + typeName(t) + "(0.0)))) discard;", line);
  }
}

}  // namespace platform::cg

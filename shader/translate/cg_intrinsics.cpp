// The standard functions of Cg and their GLSL 1.20 equivalents.
#include <algorithm>
#include <cstring>

#include "shader/translate/cg_translator.h"

namespace platform::cg {

namespace {

enum class Kind {
  COMPONENTWISE,  // float in, float out, per component; scalars spread
  SATURATE,
  DERIVATIVE,  // componentwise, fragment programs only
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
  TEXTURE_BIAS,  // (s, t, unused, level bias): fragment programs only
  ANY_ALL,
  CLIP,
};

struct Intrinsic {
  const char* cg;
  const char* glsl;
  Kind kind;
  int args;
  Base sampler = Base::ERROR;  // TEXTURE: the sampler it takes
  int coords = 0;              // TEXTURE: coordinate size (smallest accepted)
  int maxCoords = 0;
};

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
    {"tex1D", "texture1D", Kind::TEXTURE, 2, Base::SAMPLER1D, 1, 1},
    {"tex2D", "texture2D", Kind::TEXTURE, 2, Base::SAMPLER2D, 2, 2},
    {"tex2Dproj", "texture2DProj", Kind::TEXTURE, 2, Base::SAMPLER2D, 3, 4},
    {"tex2Dbias", "texture2D", Kind::TEXTURE_BIAS, 2, Base::SAMPLER2D, 4, 4},
    {"tex3D", "texture3D", Kind::TEXTURE, 2, Base::SAMPLER3D, 3, 3},
    {"texCUBE", "textureCube", Kind::TEXTURE, 2, Base::SAMPLERCUBE, 3, 3},
    {"any", "any", Kind::ANY_ALL, 1},
    {"all", "all", Kind::ANY_ALL, 1},
    {"clip", "", Kind::CLIP, 1},
};

const Intrinsic* findIntrinsic(const std::string& name) {
  for (const Intrinsic& i : INTRINSICS)
    if (name == i.cg) return &i;
  return nullptr;
}

bool isPlainNumber(const CgType& t) { return t.isNumeric() && !t.isMatrix(); }

}  // namespace

bool Translator::callIntrinsic(const std::string& name, const std::vector<Value>& args, int line,
                               Value* result) {
  const Intrinsic* in = findIntrinsic(name);
  if (!in) return false;
  *result = Value{errorType(), "0.0", false};
  for (const Value& a : args)
    if (a.type.isError()) return true;
  if (static_cast<int>(args.size()) != in->args) {
    error(line, "'" + name + "' takes " + std::to_string(in->args) + " argument" +
                    (in->args == 1 ? "" : "s") + ", not " + std::to_string(args.size()));
    return true;
  }
  const auto bad = [&](const std::string& why) { error(line, "'" + name + "': " + why); };
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
  int size = 1;
  switch (in->kind) {
    case Kind::DERIVATIVE:
      if (stage != Stage::FRAGMENT) {
        bad("only fragment programs have derivatives");
        return true;
      }
      [[fallthrough]];
    case Kind::COMPONENTWISE:
      if (commonSize(&size))
        *result = Value{vectorType(Base::FLOAT, size), call(in->glsl, floats(size)), false};
      return true;
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
    case Kind::TEXTURE_BIAS:
      if (stage != Stage::FRAGMENT) {
        bad("only fragment programs can bias the level of detail");
        return true;
      }
      [[fallthrough]];
    case Kind::TEXTURE: {
      const CgType& s = args[0].type;
      const CgType& c = args[1].type;
      if (s.base != in->sampler) {
        bad("the first argument must be a " + cgTypeName(scalarType(in->sampler)));
        return true;
      }
      if (!isPlainNumber(c) || c.base == Base::BOOL || c.size < in->coords) {
        bad("coordinates must have at least " + std::to_string(in->coords) + " components");
        return true;
      }
      const int n = std::min(c.size, in->maxCoords);
      const std::string coords = convert(args[1], vectorType(Base::FLOAT, n), line);
      std::vector<std::string> codes = {args[0].code, coords};
      if (in->kind == Kind::TEXTURE_BIAS) codes = {args[0].code, coords + ".xy", coords + ".w"};
      *result = Value{vectorType(Base::FLOAT, 4), call(in->glsl, codes), false};
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

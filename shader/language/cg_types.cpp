#include "shader/language/cg_types.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace platform::cg {

CgType errorType() { return CgType{}; }

CgType voidType() {
  CgType t;
  t.base = Base::VOID;
  return t;
}

CgType scalarType(Base base) {
  CgType t;
  t.base = base;
  return t;
}

CgType vectorType(Base base, int size) {
  CgType t = scalarType(base);
  t.size = size;
  return t;
}

CgType matrixType(Base base, int rows, int cols) {
  CgType t = scalarType(base);
  t.rows = rows;
  t.cols = cols;
  return t;
}

CgType structType(int index) {
  CgType t;
  t.base = Base::STRUCT;
  t.structIndex = index;
  return t;
}

CgType withBase(const CgType& t, Base base) {
  CgType r = t;
  r.base = base;
  return r;
}

CgType elementType(const CgType& t) {
  CgType r = t;
  r.arraySize = 0;
  return r;
}

namespace {

// Reads the "N" or "NxM" after a numeric type name; false when malformed.
bool readDimensions(const char* s, int* size, int* rows, int* cols) {
  *size = 1;
  *rows = *cols = 0;
  if (*s == '\0') return true;
  if (s[0] < '1' || s[0] > '4') return false;
  if (s[1] == '\0') {
    *size = s[0] - '0';
    return true;
  }
  if (s[1] != 'x' || s[2] < '1' || s[2] > '4' || s[3] != '\0') return false;
  *rows = s[0] - '0';
  *cols = s[2] - '0';
  return true;
}

}  // namespace

bool builtinType(const std::string& word, CgType* type, bool* supported) {
  *supported = true;
  const char* w = word.c_str();
  // Every type name starts with one of these (void, sampler..., float...).
  if (w[0] == '\0' || !std::strchr("vsfhdib", w[0])) return false;
  if (word == "void") {
    *type = voidType();
    return true;
  }
  struct Sampler {
    const char* name;
    Base base;
  };
  static const Sampler samplers[] = {{"sampler1D", Base::SAMPLER1D},
                                     {"sampler2D", Base::SAMPLER2D},
                                     {"sampler3D", Base::SAMPLER3D},
                                     {"samplerCUBE", Base::SAMPLERCUBE}};
  for (const Sampler& s : samplers) {
    if (word == s.name) {
      *type = scalarType(s.base);
      return true;
    }
  }
  if (word == "samplerRECT" || word == "sampler") {
    *supported = false;
    *type = errorType();
    return true;
  }
  struct Numeric {
    const char* prefix;
    Base base;
  };
  static const Numeric numerics[] = {{"float", Base::FLOAT}, {"half", Base::FLOAT},
                                     {"fixed", Base::FLOAT}, {"double", Base::FLOAT},
                                     {"int", Base::INT},     {"bool", Base::BOOL}};
  for (const Numeric& n : numerics) {
    const size_t len = std::strlen(n.prefix);
    if (word.compare(0, len, n.prefix) != 0) continue;
    int size, rows, cols;
    if (!readDimensions(w + len, &size, &rows, &cols)) return false;
    if (rows == 0) {
      *type = vectorType(n.base, size);
      return true;
    }
    // GLSL 1.20 has float matrices of 2 to 4 rows and columns only.
    if (n.base != Base::FLOAT || rows < 2 || cols < 2) {
      *supported = false;
      *type = errorType();
      return true;
    }
    *type = matrixType(n.base, rows, cols);
    return true;
  }
  return false;
}

std::string glslName(const CgType& t, const std::vector<StructInfo>& structs) {
  if (t.isArray())
    return glslName(elementType(t), structs) + "[" + std::to_string(t.arraySize) + "]";
  switch (t.base) {
    case Base::ERROR: return "float";
    case Base::VOID: return "void";
    case Base::SAMPLER1D: return "sampler1D";
    case Base::SAMPLER2D: return "sampler2D";
    case Base::SAMPLER3D: return "sampler3D";
    case Base::SAMPLERCUBE: return "samplerCube";
    case Base::STRUCT:
      return t.structIndex >= 0 && t.structIndex < static_cast<int>(structs.size())
                 ? "cg" + structs[t.structIndex].name
                 : "float";
    default: break;
  }
  if (t.isMatrix()) {
    const std::string r = std::to_string(t.rows), c = std::to_string(t.cols);
    return t.rows == t.cols ? "mat" + r : "mat" + r + "x" + c;
  }
  if (t.size == 1) return t.base == Base::BOOL ? "bool" : t.base == Base::INT ? "int" : "float";
  const char* prefix = t.base == Base::BOOL ? "bvec" : t.base == Base::INT ? "ivec" : "vec";
  return prefix + std::to_string(t.size);
}

std::string glslDeclaration(const CgType& t, const std::string& name,
                            const std::vector<StructInfo>& structs) {
  if (!t.isArray()) return glslName(t, structs) + " " + name;
  return glslName(elementType(t), structs) + " " + name + "[" + std::to_string(t.arraySize) + "]";
}

std::string cgName(const CgType& t, const std::vector<StructInfo>& structs) {
  if (t.isArray()) return cgName(elementType(t), structs) + "[" + std::to_string(t.arraySize) + "]";
  switch (t.base) {
    case Base::ERROR: return "<error>";
    case Base::VOID: return "void";
    case Base::SAMPLER1D: return "sampler1D";
    case Base::SAMPLER2D: return "sampler2D";
    case Base::SAMPLER3D: return "sampler3D";
    case Base::SAMPLERCUBE: return "samplerCUBE";
    case Base::STRUCT:
      return t.structIndex >= 0 && t.structIndex < static_cast<int>(structs.size())
                 ? structs[t.structIndex].name
                 : "<struct>";
    default: break;
  }
  std::string name = t.base == Base::BOOL ? "bool" : t.base == Base::INT ? "int" : "float";
  if (t.isMatrix()) return name + std::to_string(t.rows) + "x" + std::to_string(t.cols);
  return t.size == 1 ? name : name + std::to_string(t.size);
}

std::string floatLiteral(double value) {
  char buf[64];
  if (std::fabs(value) < 1e15 && value == std::floor(value)) {
    std::snprintf(buf, sizeof buf, "%.1f", value);
  } else {
    std::snprintf(buf, sizeof buf, "%.9g", value);
    if (!std::strpbrk(buf, ".e")) std::strncat(buf, ".0", sizeof buf - std::strlen(buf) - 1);
  }
  return buf;
}

}  // namespace platform::cg

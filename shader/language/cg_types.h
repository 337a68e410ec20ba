// The Cg type system as the translator sees it, and each type's GLSL name.
//
// half and fixed are read as float (GLSL 1.20 computes everything in float),
// float1 is float. A matrix floatRxC has R rows and C columns and is held in
// GLSL as its transpose, mat{R}x{C}: GLSL's column i is then Cg's row i.
// An array has one dimension and a size known at compile time; its element
// is the same type with arraySize 0. The shape tests (isNumeric, isMatrix,
// ...) are false for an array, so only indexing and whole assignment reach it.
#pragma once

#include <string>
#include <vector>

namespace platform::cg {

enum class Base {
  ERROR,
  VOID,
  BOOL,
  INT,
  FLOAT,
  SAMPLER1D,
  SAMPLER2D,
  SAMPLER3D,
  SAMPLERCUBE,
  STRUCT
};

struct CgType {
  Base base = Base::ERROR;
  int size = 1;          // vector size; 1 for scalars
  int rows = 0;          // matrix rows; 0 when not a matrix
  int cols = 0;          // matrix columns
  int structIndex = -1;  // into the translator's struct table
  int arraySize = 0;     // elements; 0 when not an array

  bool isError() const { return base == Base::ERROR; }
  bool isArray() const { return arraySize > 0; }
  bool isStruct() const { return base == Base::STRUCT && arraySize == 0; }
  bool isNumeric() const {
    return arraySize == 0 && (base == Base::BOOL || base == Base::INT || base == Base::FLOAT);
  }
  bool isSampler() const {
    return arraySize == 0 && base >= Base::SAMPLER1D && base <= Base::SAMPLERCUBE;
  }
  bool isMatrix() const { return isNumeric() && rows > 0; }
  bool isVector() const { return isNumeric() && rows == 0 && size > 1; }
  bool isScalar() const { return isNumeric() && rows == 0 && size == 1; }
  int components() const { return isMatrix() ? rows * cols : size; }
  bool operator==(const CgType& o) const {
    return base == o.base && size == o.size && rows == o.rows && cols == o.cols &&
           structIndex == o.structIndex && arraySize == o.arraySize;
  }
  bool operator!=(const CgType& o) const { return !(*this == o); }
};

CgType errorType();
CgType voidType();
CgType scalarType(Base base);
CgType vectorType(Base base, int size);  // size 1 gives the scalar
CgType matrixType(Base base, int rows, int cols);
CgType structType(int index);
// The same shape with another base (bool, int or float).
CgType withBase(const CgType& t, Base base);
// The element type of an array.
CgType elementType(const CgType& t);

struct StructField {
  std::string name;
  CgType type;
  std::string semantic;  // upper case, empty when none
  int line = 0;
};

struct StructInfo {
  std::string name;
  std::vector<StructField> fields;
};

// Reads a built-in type name (float3, half4x4, int, sampler2D, void, ...).
// False when the word names no type; *supported is false for a type Cg has
// but this translator does not (integer matrices, samplerRECT, ...).
bool builtinType(const std::string& word, CgType* type, bool* supported);

// The GLSL spelling of a type ("vec4[3]" for an array).
std::string glslName(const CgType& type, const std::vector<StructInfo>& structs);

// A GLSL declaration of a variable of a type: "vec4 name[3]".
std::string glslDeclaration(const CgType& type, const std::string& name,
                            const std::vector<StructInfo>& structs);

// The Cg spelling of a type, for messages.
std::string cgName(const CgType& type, const std::vector<StructInfo>& structs);

// A GLSL float literal for a value: always with a point or an exponent.
std::string floatLiteral(double value);

}  // namespace platform::cg

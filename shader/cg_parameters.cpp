// Numeric parameter values of the shader runtime: vectors, matrices and
// arrays of either, kept per parameter and sent at once when their program
// is in use.
#include <algorithm>

#include "shader/cg_runtime.h"

namespace platform::cgrt {

namespace {

Id toId(CGparameter handle) { return reinterpret_cast<Id>(handle); }

bool isNumber(const Parameter& p) {
  return p.info.kind == cg::ParameterInfo::UNIFORM && p.info.valueType == cg::ParameterInfo::NUMBER;
}

// Stores the first n components of v into a scalar or vector element.
void storeVector(Id id, int n, const float* v) {
  Parameter& p = runtime().parameters[id];
  for (int i = 0; i < std::min(n, p.info.cols); ++i) p.value[i] = v[i];
  p.hasValue = true;
  uploadIfCurrent(id);
}

// Stores a matrix given column by column (or row by row) into an element.
void storeMatrix(Id id, const float* m, bool rowMajor) {
  Parameter& p = runtime().parameters[id];
  const int rows = p.info.rows, cols = p.info.cols;
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c)
      p.value[r * cols + c] = rowMajor ? m[r * cols + c] : m[c * rows + r];
  p.hasValue = true;
  uploadIfCurrent(id);
}

void setVector(CGparameter param, int n, const float* v) {
  Parameter* p = findParameter(param);
  if (!p) return;
  if (!v || !isNumber(*p) || p->info.arraySize > 0 || p->info.rows > 1) {
    raise(CG_INVALID_PARAMETER_ERROR);
    return;
  }
  storeVector(toId(param), n, v);
}

void setMatrix(CGparameter param, const float* m, bool rowMajor) {
  Parameter* p = findParameter(param);
  if (!p) return;
  if (!m) {
    raise(CG_INVALID_PARAMETER_ERROR);
    return;
  }
  if (!isNumber(*p) || !p->info.isFloat || p->info.arraySize > 0 || p->info.rows < 2) {
    raise(CG_NOT_MATRIX_PARAM_ERROR);
    return;
  }
  storeMatrix(toId(param), m, rowMajor);
}

// The elements [offset, offset + count) of an array parameter whose
// elements are vectors (components > 0) or matrices (components 0);
// count 0 means up to the end. Null after raising the error.
const std::vector<Id>* arrayRange(CGparameter param, long offset, long* count, int components,
                                  const float* values) {
  Parameter* p = findParameter(param);
  if (!p) return nullptr;
  if (!values || !isNumber(*p)) {
    raise(CG_INVALID_PARAMETER_ERROR);
    return nullptr;
  }
  if (p->info.arraySize == 0) {
    raise(CG_ARRAY_PARAM_ERROR);
    return nullptr;
  }
  const bool matrices = p->info.rows > 1;
  if (components == 0 ? !matrices || !p->info.isFloat : matrices) {
    raise(components == 0 ? CG_NOT_MATRIX_PARAM_ERROR : CG_INVALID_PARAMETER_ERROR);
    return nullptr;
  }
  const long size = static_cast<long>(p->elements.size());
  if (*count == 0) *count = size - offset;
  if (offset < 0 || *count <= 0 || offset > size || *count > size - offset) {
    raise(CG_OUT_OF_ARRAY_BOUNDS_ERROR);
    return nullptr;
  }
  return &p->elements;
}

void setVectorArray(CGparameter param, int n, long offset, long count, const float* v) {
  const std::vector<Id>* elements = arrayRange(param, offset, &count, n, v);
  if (!elements) return;
  const std::vector<Id> ids(elements->begin() + offset, elements->begin() + offset + count);
  for (size_t i = 0; i < ids.size(); ++i) storeVector(ids[i], n, v + i * n);
}

void setMatrixArray(CGparameter param, long offset, long count, const float* m, bool rowMajor) {
  const std::vector<Id>* elements = arrayRange(param, offset, &count, 0, m);
  if (!elements) return;
  const std::vector<Id> ids(elements->begin() + offset, elements->begin() + offset + count);
  for (size_t i = 0; i < ids.size(); ++i) {
    const Parameter& e = runtime().parameters[ids[i]];
    storeMatrix(ids[i], m + i * e.info.rows * e.info.cols, rowMajor);
  }
}

}  // namespace

}  // namespace platform::cgrt

using namespace platform::cgrt;

void cgGLSetParameter1f(CGparameter param, float x) { setVector(param, 1, &x); }

void cgGLSetParameter2f(CGparameter param, float x, float y) {
  const float v[] = {x, y};
  setVector(param, 2, v);
}

void cgGLSetParameter3f(CGparameter param, float x, float y, float z) {
  const float v[] = {x, y, z};
  setVector(param, 3, v);
}

void cgGLSetParameter4f(CGparameter param, float x, float y, float z, float w) {
  const float v[] = {x, y, z, w};
  setVector(param, 4, v);
}

void cgGLSetParameter1fv(CGparameter param, const float* v) { setVector(param, 1, v); }
void cgGLSetParameter2fv(CGparameter param, const float* v) { setVector(param, 2, v); }
void cgGLSetParameter3fv(CGparameter param, const float* v) { setVector(param, 3, v); }
void cgGLSetParameter4fv(CGparameter param, const float* v) { setVector(param, 4, v); }

void cgGLSetParameterArray1f(CGparameter param, long offset, long count, const float* v) {
  setVectorArray(param, 1, offset, count, v);
}
void cgGLSetParameterArray2f(CGparameter param, long offset, long count, const float* v) {
  setVectorArray(param, 2, offset, count, v);
}
void cgGLSetParameterArray3f(CGparameter param, long offset, long count, const float* v) {
  setVectorArray(param, 3, offset, count, v);
}
void cgGLSetParameterArray4f(CGparameter param, long offset, long count, const float* v) {
  setVectorArray(param, 4, offset, count, v);
}

void cgGLSetMatrixParameterfc(CGparameter param, const float* m) { setMatrix(param, m, false); }
void cgGLSetMatrixParameterfr(CGparameter param, const float* m) { setMatrix(param, m, true); }

void cgGLSetMatrixParameterArrayfc(CGparameter param, long offset, long count, const float* m) {
  setMatrixArray(param, offset, count, m, false);
}
void cgGLSetMatrixParameterArrayfr(CGparameter param, long offset, long count, const float* m) {
  setMatrixArray(param, offset, count, m, true);
}

#include "geometry/vector_math.h"

#include <cmath>
#include <utility>

Vector3 crossProduct(float ax, float ay, float az, float bx, float by, float bz) {
  return Vector3(ay * bz - az * by, az * bx - ax * bz, ax * by - ay * bx);
}

Vector3 normalize(float x, float y, float z) {
  float k = 1.0f / std::sqrt(x * x + y * y + z * z);
  return Vector3(x * k, y * k, z * k);
}

Vector3 rangeCompress(const Vector3& v) {
  return Vector3(v.x * 0.5f + 0.5f, v.y * 0.5f + 0.5f, v.z * 0.5f + 0.5f);
}

Vector3 Quaternion::forward() const {
  return Vector3(2.0f * (x * z - w * y), 2.0f * (y * z + w * x), 1.0f - 2.0f * (x * x + y * y));
}

void Matrix4::set(float m0, float m1, float m2, float m3, float m4, float m5, float m6, float m7,
                  float m8, float m9, float m10, float m11, float m12, float m13, float m14,
                  float m15) {
  const float v[16] = {m0, m1, m2, m3, m4, m5, m6, m7, m8, m9, m10, m11, m12, m13, m14, m15};
  for (int i = 0; i < 16; ++i) m[i] = v[i];
}

Matrix4& Matrix4::loadIdentity() {
  for (int i = 0; i < 16; ++i) m[i] = (i % 5 == 0) ? 1.0f : 0.0f;
  return *this;
}

Vector3 Matrix4::rotateVector(float x, float y, float z) const {
  return Vector3(m[0] * x + m[4] * y + m[8] * z, m[1] * x + m[5] * y + m[9] * z,
                 m[2] * x + m[6] * y + m[10] * z);
}

Vector3 Matrix4::transformPoint(float x, float y, float z) const {
  Vector3 r = rotateVector(x, y, z);
  return Vector3(r.x + m[12], r.y + m[13], r.z + m[14]);
}

void Matrix4::invertRigid() {
  std::swap(m[1], m[4]);
  std::swap(m[2], m[8]);
  std::swap(m[6], m[9]);
  m[12] = -m[12];
  m[13] = -m[13];
  m[14] = -m[14];
}

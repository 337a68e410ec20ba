// Small single-precision value types shared by models, lights, particles and
// scenes. None owns memory; all are copied freely. Matrix4 is column-major, as
// OpenGL stores matrices.
#pragma once

struct Vector3 {
  float x = 0.0f, y = 0.0f, z = 0.0f;

  Vector3() = default;
  Vector3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}

  // x*this.x + y*this.y + z*this.z.
  float dot(float ox, float oy, float oz) const { return ox * x + oy * y + oz * z; }

  Vector3 operator+(const Vector3& b) const { return Vector3(x + b.x, y + b.y, z + b.z); }
  Vector3 operator-(const Vector3& b) const { return Vector3(x - b.x, y - b.y, z - b.z); }
  Vector3 operator-() const { return Vector3(-x, -y, -z); }
  Vector3 operator*(float s) const { return Vector3(x * s, y * s, z * s); }
};

inline Vector3 operator*(float s, const Vector3& v) { return v * s; }

// a x b with both operands given as components.
Vector3 crossProduct(float ax, float ay, float az, float bx, float by, float bz);

// (x, y, z) / length; no guard: a zero vector gives non-finite components.
Vector3 normalize(float x, float y, float z);

// Maps a unit vector into the [0, 1] colour range: v * 0.5 + 0.5.
Vector3 rangeCompress(const Vector3& v);

struct Quaternion {
  float x = 0.0f, y = 0.0f, z = 0.0f, w = 1.0f;

  Quaternion() = default;
  Quaternion(float x_, float y_, float z_, float w_) : x(x_), y(y_), z(z_), w(w_) {}

  // The +Z axis rotated by this quaternion.
  Vector3 forward() const;
};

// A placement: orientation first, then position.
struct Transform {
  Quaternion orientation;
  Vector3 position;
};

struct Matrix4 {
  float m[16];

  Matrix4() { loadIdentity(); }

  // Stores the sixteen values in storage (column-major) order.
  void set(float m0, float m1, float m2, float m3, float m4, float m5, float m6, float m7, float m8,
           float m9, float m10, float m11, float m12, float m13, float m14, float m15);

  // Makes this the identity and returns it.
  Matrix4& loadIdentity();

  // The upper-left 3x3 block applied to a column vector; no translation.
  Vector3 rotateVector(float x, float y, float z) const;

  // rotateVector plus the translation column (m[12], m[13], m[14]).
  Vector3 transformPoint(float x, float y, float z) const;

  // Transposes the 3x3 block and negates the translation in place. This is
  // not a full inverse: transformPoint afterwards gives R^T p - t, which is
  // what the bump-mapping renderer expects.
  void invertRigid();
};

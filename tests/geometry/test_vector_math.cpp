#include <gtest/gtest.h>

#include <cmath>

#include "geometry/vector_math.h"

TEST(VectorMath, InvertRigidNegatesTranslationWithoutRotatingIt) {
  // Rotation of 90 degrees about z, translation (1, 2, 3).
  Matrix4 m;
  m.set(0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 1, 2, 3, 1);
  Vector3 p = m.transformPoint(1, 0, 0);
  EXPECT_FLOAT_EQ(p.x, 1.0f);
  EXPECT_FLOAT_EQ(p.y, 3.0f);
  EXPECT_FLOAT_EQ(p.z, 3.0f);

  m.invertRigid();
  // R^T p - t, not the true inverse R^T (p - t).
  Vector3 q = m.transformPoint(1, 3, 3);
  EXPECT_FLOAT_EQ(q.x, 3.0f - 1.0f);
  EXPECT_FLOAT_EQ(q.y, -1.0f - 2.0f);
  EXPECT_FLOAT_EQ(q.z, 3.0f - 3.0f);
  EXPECT_FLOAT_EQ(m.m[15], 1.0f);
}

TEST(VectorMath, InvertRigidWithIdentityRotationSubtractsTranslation) {
  Matrix4 m;
  m.m[12] = 4;
  m.m[13] = -5;
  m.m[14] = 6;
  m.invertRigid();
  Vector3 p = m.transformPoint(1, 1, 1);
  EXPECT_FLOAT_EQ(p.x, -3.0f);
  EXPECT_FLOAT_EQ(p.y, 6.0f);
  EXPECT_FLOAT_EQ(p.z, -5.0f);
}

TEST(VectorMath, TangentSpaceSetProjectsOntoTheFrame) {
  Vector3 t(0, 0, -1), b(0, 1, 0), n(1, 0, 0);
  Matrix4 m;
  m.set(t.x, b.x, n.x, 0, t.y, b.y, n.y, 0, t.z, b.z, n.z, 0, 0, 0, 0, 1);
  Vector3 v = m.rotateVector(2, 3, 4);
  EXPECT_FLOAT_EQ(v.x, t.dot(2, 3, 4));
  EXPECT_FLOAT_EQ(v.y, b.dot(2, 3, 4));
  EXPECT_FLOAT_EQ(v.z, n.dot(2, 3, 4));
}

TEST(VectorMath, QuaternionForward) {
  Vector3 f = Quaternion().forward();
  EXPECT_FLOAT_EQ(f.x, 0.0f);
  EXPECT_FLOAT_EQ(f.y, 0.0f);
  EXPECT_FLOAT_EQ(f.z, 1.0f);
  // (0, s, 0, s) with s = sqrt(1/2): the formula's x term is 2(xz - wy),
  // so +z turns to -x (the conjugate of the usual active rotation).
  const float s = std::sqrt(0.5f);
  Vector3 g = Quaternion(0, s, 0, s).forward();
  EXPECT_NEAR(g.x, -1.0f, 1e-6f);
  EXPECT_NEAR(g.y, 0.0f, 1e-6f);
  EXPECT_NEAR(g.z, 0.0f, 1e-6f);
}

TEST(VectorMath, NormalizeCrossAndRangeCompress) {
  Vector3 n = normalize(3, 0, 4);
  EXPECT_FLOAT_EQ(n.x, 0.6f);
  EXPECT_FLOAT_EQ(n.z, 0.8f);
  Vector3 zero = normalize(0, 0, 0);
  EXPECT_FALSE(std::isfinite(zero.x));
  Vector3 c = crossProduct(1, 0, 0, 0, 1, 0);
  EXPECT_FLOAT_EQ(c.z, 1.0f);
  Vector3 r = rangeCompress(Vector3(-1, 0, 1));
  EXPECT_FLOAT_EQ(r.x, 0.0f);
  EXPECT_FLOAT_EQ(r.y, 0.5f);
  EXPECT_FLOAT_EQ(r.z, 1.0f);
}

#include <gtest/gtest.h>

#include <cmath>

#include "geometry/vector_math.h"
#include "support/shapes.h"

namespace {}  // namespace

TEST(VectorMath, InvertRigidNegatesTranslationWithoutRotatingIt) {
  // Rotation of 90 degrees about z, translation (1, 2, 3).
  Matrix4 m;
  m.set(0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 1, 2, 3, 1);
  EXPECT_TRUE(same(m.transformPoint(1, 0, 0), {1, 3, 3}));
  m.invertRigid();
  // R^T p - t, not the true inverse R^T (p - t).
  EXPECT_TRUE(same(m.transformPoint(1, 3, 3), {3 - 1, -1 - 2, 3 - 3}));
  EXPECT_FLOAT_EQ(m.m[15], 1.0f);

  // A quarter turn about y, translation (4, -5, 6): R^T (1, 1, 1) = (-1, 1, 1).
  Matrix4 y;
  y.set(0, 0, -1, 0, 0, 1, 0, 0, 1, 0, 0, 0, 4, -5, 6, 1);
  y.invertRigid();
  EXPECT_TRUE(same(y.transformPoint(1, 1, 1), {-1 - 4, 1 + 5, 1 - 6}));
}

TEST(VectorMath, TangentSpaceSetProjectsOntoTheFrame) {
  Vector3 t(0, 0, -1), b(0, 1, 0), n(1, 0, 0);
  Matrix4 m;
  m.set(t.x, b.x, n.x, 0, t.y, b.y, n.y, 0, t.z, b.z, n.z, 0, 0, 0, 0, 1);
  EXPECT_TRUE(same(m.rotateVector(2, 3, 4), {t.dot(2, 3, 4), b.dot(2, 3, 4), n.dot(2, 3, 4)}));
}

TEST(VectorMath, QuaternionForward) {
  EXPECT_TRUE(same(Quaternion().forward(), {0, 0, 1}));
  // (0, s, 0, s) with s = sqrt(1/2): the formula's x term is 2(xz - wy),
  // so +z turns to -x (the conjugate of the usual active rotation).
  const float s = std::sqrt(0.5f);
  EXPECT_TRUE(same(Quaternion(0, s, 0, s).forward(), {-1, 0, 0}));
}

TEST(VectorMath, NormalizeCrossAndRangeCompress) {
  EXPECT_TRUE(same(normalize(3, 0, 4), {0.6f, 0, 0.8f}));
  EXPECT_FALSE(std::isfinite(normalize(0, 0, 0).x));
  EXPECT_TRUE(same(crossProduct(1, 0, 0, 0, 1, 0), {0, 0, 1}));
  EXPECT_TRUE(same(rangeCompress(Vector3(-1, 0, 1)), {0, 0.5f, 1}));
}

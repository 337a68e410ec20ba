// The generated models as the show loads them: sizes, closed surfaces facing
// outwards, and shapes that fit their scenes' cameras.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

#include "geometry/model_3ds.h"

namespace {

struct Bounds {
  Vector3 lo{1e9f, 1e9f, 1e9f}, hi{-1e9f, -1e9f, -1e9f};
  float maxRadius = 0.0f;   // from the origin
  float maxOrbital = 0.0f;  // from the y axis
};

Bounds bounds(const MeshObject& o) {
  Bounds b;
  for (const Vector3& p : o.vertices) {
    b.lo = Vector3(std::min(b.lo.x, p.x), std::min(b.lo.y, p.y), std::min(b.lo.z, p.z));
    b.hi = Vector3(std::max(b.hi.x, p.x), std::max(b.hi.y, p.y), std::max(b.hi.z, p.z));
    b.maxRadius = std::max(b.maxRadius, std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z));
    b.maxOrbital = std::max(b.maxOrbital, std::sqrt(p.x * p.x + p.z * p.z));
  }
  return b;
}

// Every edge is shared by exactly two faces that run it in opposite
// directions: a closed, consistently wound surface with no holes.
void expectClosed(const MeshObject& o) {
  std::map<std::pair<int, int>, int> directed;
  for (const MeshFace& f : o.faces) {
    const int v[3] = {f.a, f.b, f.c};
    for (int e = 0; e < 3; ++e) directed[{v[e], v[(e + 1) % 3]}] += 1;
  }
  int bad = 0;
  for (const auto& [edge, count] : directed) {
    const auto back = directed.find({edge.second, edge.first});
    if (count != 1 || back == directed.end() || back->second != 1) ++bad;
  }
  EXPECT_EQ(bad, 0) << "edges not shared by exactly two opposite faces";
}

// Six times the enclosed volume: positive when the faces wind counter-
// clockwise seen from outside, so the loader's normals point outwards.
double signedVolume6(const MeshObject& o) {
  double sum = 0.0;
  for (const MeshFace& f : o.faces) {
    const Vector3 &a = o.vertices[f.a], &b = o.vertices[f.b], &c = o.vertices[f.c];
    const Vector3 bc = crossProduct(b.x, b.y, b.z, c.x, c.y, c.z);
    sum += a.dot(bc.x, bc.y, bc.z);
  }
  return sum;
}

Model3DS loadModel(const char* path) {
  Model3DS model;
  model.loader.import(model, path, false);
  return model;
}

}  // namespace

TEST(Models, TorusKnotIsASmoothClosedTubeInAWarmColour) {
  const Model3DS model = loadModel("models/torusknot.3ds");
  ASSERT_EQ(model.objectCount, 1);
  ASSERT_EQ(model.materialCount, 1);
  const MeshObject& o = model.objects[0];
  EXPECT_GE(o.faceCount, 4000);
  EXPECT_LE(o.faceCount, 20000);
  expectClosed(o);
  EXPECT_GT(signedVolume6(o), 0.0);
  const unsigned char* c = model.materials[0].colour;
  EXPECT_TRUE(c[0] > c[1] && c[1] > c[2]) << "not a warm colour";
  EXPECT_EQ(o.materialIndex, 0);
  // At distance 80 a 45-degree view shows 33 units either side of the
  // middle: the tumbling knot fills most of it without leaving it.
  const Bounds b = bounds(o);
  EXPECT_GT(b.maxRadius, 22.0f);
  EXPECT_LT(b.maxRadius, 31.0f);
}

TEST(Models, SkullIsClosedFacesTheCameraAndFitsInsideTheOrbits) {
  const Model3DS model = loadModel("models/skull.3ds");
  ASSERT_EQ(model.objectCount, 1);
  const MeshObject& o = model.objects[0];
  EXPECT_GE(o.faceCount, 10000);
  EXPECT_LE(o.faceCount, 40000);
  expectClosed(o);
  EXPECT_GT(signedVolume6(o), 0.0);

  const Bounds b = bounds(o);
  // Tall enough to fill the view from 4.9 (40 degrees: 1.78 either side of
  // the middle), and clear of the inner earth (orbit 1.75, radius 0.25).
  EXPECT_GT(b.hi.y - b.lo.y, 2.6f);
  EXPECT_LT(b.hi.y, 1.6f);
  EXPECT_GT(b.lo.y, -1.6f);
  EXPECT_LT(b.maxOrbital, 1.5f);
  // Symmetric about x = 0, the face towards +z: the lowest point, the chin,
  // is in front.
  EXPECT_NEAR(b.lo.x, -b.hi.x, 0.05f);
  const Vector3* chin = &o.vertices[0];
  for (const Vector3& p : o.vertices) {
    if (p.y < chin->y) chin = &p;
  }
  EXPECT_GT(chin->z, 0.4f);
}

// models/torusknot.3ds: a trefoil torus knot as a smooth closed tube with one
// warm orange material, sized for the torus-knot scene's camera (distance 80,
// 45-degree view): about 56 units across.
#include <cmath>
#include <cstdio>

#include "mesh_tools.h"
#include "registry.h"
#include "writer_3ds.h"

namespace {

using datagen::V3;

constexpr int TURNS_AROUND_AXIS = 2;    // p
constexpr int TURNS_THROUGH_HOLE = 3;   // q
constexpr float RING_RADIUS = 16.0f;    // torus centre circle
constexpr float WINDING_RADIUS = 7.5f;  // the knot's distance from that circle
constexpr float TUBE_RADIUS = 4.5f;
constexpr int SEGMENTS = 192;  // rings along the knot
constexpr int SIDES = 20;      // vertices around each ring
constexpr float TWO_PI = 6.2831853f;

V3 knotPoint(float t) {
  const float radial = RING_RADIUS + WINDING_RADIUS * std::cos(TURNS_THROUGH_HOLE * t);
  return V3(radial * std::cos(TURNS_AROUND_AXIS * t), radial * std::sin(TURNS_AROUND_AXIS * t),
            -WINDING_RADIUS * std::sin(TURNS_THROUGH_HOLE * t));
}

// v turned about the unit axis by angle (Rodrigues).
V3 rotateAbout(const V3& v, const V3& axis, float angle) {
  const float c = std::cos(angle), s = std::sin(angle);
  return v * c + datagen::cross(axis, v) * s + axis * (datagen::dot(axis, v) * (1.0f - c));
}

// The tube around the knot. Ring frames are carried along the curve by
// parallel transport (no twisting), and the small mismatch where the curve
// closes is spread evenly over all rings so the seam cannot be seen.
datagen::Mesh buildTube() {
  std::vector<V3> centre(SEGMENTS), tangent(SEGMENTS);
  for (int i = 0; i < SEGMENTS; ++i) {
    const float t = TWO_PI * i / SEGMENTS;
    centre[i] = knotPoint(t);
    tangent[i] = datagen::normalized(knotPoint(t + 1e-3f) - knotPoint(t - 1e-3f));
  }
  std::vector<V3> normal(SEGMENTS + 1);
  normal[0] = datagen::normalized(datagen::cross(tangent[0], V3(0, 0, 1)));
  for (int i = 1; i <= SEGMENTS; ++i) {
    const V3& a = tangent[i - 1];
    const V3& b = tangent[i % SEGMENTS];
    const V3 axis = datagen::cross(a, b);
    const float s = datagen::length(axis);
    V3 n = normal[i - 1];
    if (s > 1e-7f) n = rotateAbout(n, axis * (1.0f / s), std::atan2(s, datagen::dot(a, b)));
    normal[i] = datagen::normalized(n - b * datagen::dot(n, b));
  }
  // Angle from the transported frame back to the start frame at the seam.
  const V3 b0 = datagen::cross(tangent[0], normal[0]);
  const float mismatch =
      std::atan2(datagen::dot(normal[SEGMENTS], b0), datagen::dot(normal[SEGMENTS], normal[0]));

  datagen::Mesh mesh;
  for (int i = 0; i < SEGMENTS; ++i) {
    const V3 n = rotateAbout(normal[i], tangent[i], -mismatch * i / SEGMENTS);
    const V3 b = datagen::cross(tangent[i], n);
    for (int j = 0; j < SIDES; ++j) {
      const float a = TWO_PI * j / SIDES;
      mesh.vertices.push_back(centre[i] + (n * std::cos(a) + b * std::sin(a)) * TUBE_RADIUS);
    }
  }
  for (int i = 0; i < SEGMENTS; ++i) {
    for (int j = 0; j < SIDES; ++j) {
      const uint32_t v00 = i * SIDES + j;
      const uint32_t v01 = i * SIDES + (j + 1) % SIDES;
      const uint32_t v10 = (i + 1) % SEGMENTS * SIDES + j;
      const uint32_t v11 = (i + 1) % SEGMENTS * SIDES + (j + 1) % SIDES;
      mesh.triangles.insert(mesh.triangles.end(), {v00, v01, v11, v00, v11, v10});
    }
  }
  return mesh;
}

bool makeTorusKnot(const std::string& root) {
  if (!datagen::makeDirs(root + "/models")) {
    std::fprintf(stderr, "torusknot: cannot create %s/models\n", root.c_str());
    return false;
  }
  writer3ds::Material orange;
  orange.name = "knot orange";
  orange.colour[0] = 255;
  orange.colour[1] = 140;
  orange.colour[2] = 30;
  const writer3ds::Object tube = datagen::toObject(buildTube(), "torusknot", orange.name);
  return writer3ds::writeFile(root + "/models/torusknot.3ds",
                              writer3ds::encodeModel({orange}, {tube}));
}

}  // namespace

REGISTER_PRODUCT("torusknot", makeTorusKnot);

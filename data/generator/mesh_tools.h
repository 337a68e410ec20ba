// Triangle meshes for the generated models: a surface-net polygoniser for
// signed distance functions, relaxation onto the surface, and the step to a
// 3DS object.
//
// Call order: polygonize (or build a Mesh by hand) -> relax -> toObject. Every
// function is a pure computation on its arguments; none fails. Triangles are
// counter-clockwise seen from outside (negative distance is inside), so the
// loader's face normals point outwards.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "writer_3ds.h"

namespace datagen {

struct V3 {
  float x = 0.0f, y = 0.0f, z = 0.0f;
  V3() = default;
  V3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}
  V3 operator+(const V3& b) const { return V3(x + b.x, y + b.y, z + b.z); }
  V3 operator-(const V3& b) const { return V3(x - b.x, y - b.y, z - b.z); }
  V3 operator*(float s) const { return V3(x * s, y * s, z * s); }
};

float dot(const V3& a, const V3& b);
V3 cross(const V3& a, const V3& b);
float length(const V3& a);
V3 normalized(const V3& a);

struct Mesh {
  std::vector<V3> vertices;
  std::vector<uint32_t> triangles;  // three vertex indices each
};

using DistanceFn = std::function<float(const V3&)>;

// The zero set of f inside the box [lo, hi], sampled every cell units: one
// vertex per cell the surface crosses, one quad (two triangles) per crossed
// grid edge. The surface must not touch the box.
Mesh polygonize(const DistanceFn& f, const V3& lo, const V3& hi, float cell);

// Evens out the triangles: each round moves every vertex halfway to the mean
// of its neighbours, then back onto the zero set of f along its gradient.
void relax(Mesh& mesh, const DistanceFn& f, int rounds);

// The mesh as a 3DS object (at most 65535 vertices and triangles).
writer3ds::Object toObject(const Mesh& mesh, const std::string& name, const std::string& material);

}  // namespace datagen

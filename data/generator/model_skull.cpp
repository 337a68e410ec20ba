// models/skull.3ds: a human skull facing +z, built as a signed distance
// function (smoothly blended ellipsoids and capsules, sockets and the nose
// opening carved out), polygonised with a surface net and relaxed onto the
// surface. It is shown as chrome through a cube map, so the shape is kept to
// clean curvature and a readable silhouette rather than fine detail. Sized to
// fill the skull scene's view (camera at distance 4.9, 40 degrees) and to stay
// inside the inner earth's orbit (radius 1.75).
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "mesh_tools.h"
#include "registry.h"
#include "writer_3ds.h"

namespace {

using datagen::V3;

// Skull units are about 10 cm; the model is scaled into the scene at the end.
constexpr float SCALE = 1.35f;
constexpr float CELL = 0.032f;  // polygoniser cell, in skull units
constexpr float DEG = 0.017453292f;

float ellipsoid(const V3& p, const V3& centre, const V3& radii) {
  const V3 d = p - centre;
  const V3 a(d.x / radii.x, d.y / radii.y, d.z / radii.z);
  const V3 b(a.x / radii.x, a.y / radii.y, a.z / radii.z);
  const float k0 = datagen::length(a), k1 = datagen::length(b);
  return k1 > 0.0f ? k0 * (k0 - 1.0f) / k1 : -std::min(radii.x, std::min(radii.y, radii.z));
}

float capsule(const V3& p, const V3& a, const V3& b, float radius) {
  const V3 pa = p - a, ba = b - a;
  const float h = std::clamp(datagen::dot(pa, ba) / datagen::dot(ba, ba), 0.0f, 1.0f);
  return datagen::length(pa - ba * h) - radius;
}

// Smooth union and smooth subtraction (polynomial blend over width k).
float blend(float a, float b, float k) {
  const float h = std::max(k - std::fabs(a - b), 0.0f) / k;
  return std::min(a, b) - h * h * k * 0.25f;
}
float carve(float a, float b, float k) { return -blend(-a, b, k); }

// A point on a dental or jaw arch: half-width w, depth d behind its front at z0 + d.
V3 arch(float angle, float w, float z0, float d, float y) {
  return V3(w * std::sin(angle), y, z0 + d * std::cos(angle));
}

// A chain of capsules along an arch from -maxAngle to +maxAngle.
float archChain(const V3& p, float w, float z0, float d, float y, float maxAngle, float radius) {
  float dist = 1e9f;
  const int links = 8;
  for (int i = 0; i < links; ++i) {
    const float a0 = -maxAngle + 2 * maxAngle * i / links;
    const float a1 = -maxAngle + 2 * maxAngle * (i + 1) / links;
    dist = std::min(dist, capsule(p, arch(a0, w, z0, d, y), arch(a1, w, z0, d, y), radius));
  }
  return dist;
}

// One row of teeth: thirteen crowns along an arch, larger towards the back.
float teeth(const V3& p, float w, float z0, float d, float y, float height) {
  float dist = 1e9f;
  for (int k = -6; k <= 6; ++k) {
    const float back = std::abs(k) >= 4 ? 1.0f : 0.0f;
    const V3 c = arch(k * 13.5f * DEG, w, z0, d, y);
    const V3 r(0.042f + 0.01f * back, height - 0.012f * back, 0.04f + 0.016f * back);
    dist = std::min(dist, ellipsoid(p, c, r));
  }
  return dist;
}

// Distance to the box [lo, hi]: a lower bound for anything inside it.
float boxDistance(const V3& p, const V3& lo, const V3& hi) {
  const V3 o(std::max({lo.x - p.x, 0.0f, p.x - hi.x}), std::max({lo.y - p.y, 0.0f, p.y - hi.y}),
             std::max({lo.z - p.z, 0.0f, p.z - hi.z}));
  return datagen::length(o);
}

// The lower jaw with its teeth.
float mandible(const V3& p, const V3& q) {
  float jaw = archChain(p, 0.47f, 0.13f, 0.5f, -0.95f, 110 * DEG, 0.06f);
  jaw = blend(jaw, archChain(p, 0.46f, 0.14f, 0.49f, -0.87f, 108 * DEG, 0.06f), 0.06f);
  jaw = blend(jaw, archChain(p, 0.45f, 0.15f, 0.48f, -0.79f, 105 * DEG, 0.055f), 0.06f);
  jaw = blend(jaw, ellipsoid(p, V3(0, -0.97f, 0.58f), V3(0.15f, 0.09f, 0.08f)), 0.06f);
  jaw = blend(jaw, ellipsoid(q, V3(0.48f, -0.64f, -0.08f), V3(0.065f, 0.34f, 0.15f)), 0.1f);
  jaw = blend(jaw, ellipsoid(q, V3(0.51f, -0.3f, -0.17f), V3(0.07f, 0.08f, 0.08f)), 0.05f);
  return blend(jaw, teeth(p, 0.28f, 0.42f, 0.28f, -0.785f, 0.07f), 0.02f);
}

float skull(const V3& p) {
  const V3 q(std::fabs(p.x), p.y, p.z);  // features that come in pairs

  // Vault and the fuller back of the head.
  float d = ellipsoid(p, V3(0, 0.28f, -0.12f), V3(0.70f, 0.70f, 0.92f));
  d = blend(d, ellipsoid(p, V3(0, 0.12f, -0.52f), V3(0.56f, 0.52f, 0.55f)), 0.2f);
  // Face: upper jaw and the cheeks, cheekbones, arches back to the ears.
  d = blend(d, ellipsoid(p, V3(0, -0.3f, 0.36f), V3(0.47f, 0.4f, 0.44f)), 0.18f);
  d = blend(d, ellipsoid(q, V3(0.43f, -0.2f, 0.42f), V3(0.15f, 0.12f, 0.18f)), 0.1f);
  d = blend(d, capsule(q, V3(0.47f, -0.2f, 0.3f), V3(0.56f, -0.2f, -0.18f), 0.05f), 0.08f);
  // Brow ridge, meeting above the nose.
  d = blend(d, capsule(q, V3(0.0f, 0.11f, 0.76f), V3(0.46f, 0.13f, 0.6f), 0.085f), 0.16f);

  // Skull base behind the jaw, with the bumps behind the ears.
  d = blend(d, ellipsoid(p, V3(0, -0.22f, -0.32f), V3(0.46f, 0.3f, 0.42f)), 0.15f);
  d = blend(d, ellipsoid(q, V3(0.45f, -0.4f, -0.36f), V3(0.07f, 0.1f, 0.08f)), 0.08f);

  // Upper gum and teeth, then the lower jaw. Both lie in boxes: a point far
  // from a box cannot be changed by what is inside (the blend is narrower).
  if (boxDistance(p, V3(-0.42f, -0.8f, 0.05f), V3(0.42f, -0.45f, 0.85f)) < d + 0.1f) {
    d = blend(d, archChain(p, 0.31f, 0.42f, 0.3f, -0.56f, 80 * DEG, 0.075f), 0.08f);
    d = blend(d, teeth(p, 0.3f, 0.44f, 0.29f, -0.67f, 0.075f), 0.02f);
  }
  if (boxDistance(p, V3(-0.6f, -1.1f, -0.3f), V3(0.6f, -0.25f, 0.7f)) < d + 0.1f) {
    d = blend(d, mandible(p, q), 0.07f);
  }

  // Eye sockets and the pear-shaped nose opening.
  d = carve(d, ellipsoid(q, V3(0.27f, -0.03f, 0.95f), V3(0.21f, 0.19f, 0.62f)), 0.06f);
  const float nose = std::min(ellipsoid(p, V3(0, -0.3f, 0.8f), V3(0.125f, 0.17f, 0.3f)),
                              ellipsoid(p, V3(0, -0.18f, 0.84f), V3(0.05f, 0.1f, 0.2f)));
  d = carve(d, nose, 0.04f);
  // Temples: a shallow hollow above each arch.
  d = carve(d, ellipsoid(q, V3(0.86f, -0.02f, 0.02f), V3(0.22f, 0.24f, 0.36f)), 0.12f);
  return d;
}

bool makeSkull(const std::string& root) {
  if (!datagen::makeDirs(root + "/models")) {
    std::fprintf(stderr, "skull: cannot create %s/models\n", root.c_str());
    return false;
  }
  datagen::Mesh mesh =
      datagen::polygonize(skull, V3(-0.9f, -1.15f, -1.2f), V3(0.9f, 1.1f, 1.0f), CELL);
  datagen::relax(mesh, skull, 3);
  if (mesh.vertices.size() > 65535 || mesh.triangles.size() / 3 > 65535) {
    std::fprintf(stderr, "skull: %zu vertices, %zu triangles: too many for one object\n",
                 mesh.vertices.size(), mesh.triangles.size() / 3);
    return false;
  }
  // Into the scene: scaled, and centred front to back on the orbit centre.
  for (V3& v : mesh.vertices) v = V3(v.x, v.y + 0.035f, v.z + 0.1f) * SCALE;

  writer3ds::Material bone;
  bone.name = "bone";
  bone.colour[0] = 226;
  bone.colour[1] = 218;
  bone.colour[2] = 196;
  return writer3ds::writeFile(
      root + "/models/skull.3ds",
      writer3ds::encodeModel({bone}, {datagen::toObject(mesh, "skull", bone.name)}));
}

}  // namespace

REGISTER_PRODUCT("skull", makeSkull);

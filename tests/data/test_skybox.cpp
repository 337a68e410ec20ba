#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "data/gl_picture.h"
#include "support/gl_test.h"

namespace {

struct P3 {
  double x, y, z;
};
P3 minus(P3 a, P3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
double dot(P3 a, P3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// The skull scene's skybox quads: corners with texture coordinates (0,0),
// (1,0), (1,1), (0,1).
struct Quad {
  const char* file;
  P3 corner[4];
};
const double S = 3.0;
const Quad QUADS[6] = {
    {"textures/up.jpg", {{-S, S, S}, {S, S, S}, {S, S, -S}, {-S, S, -S}}},
    {"textures/bk.jpg", {{S, S, S}, {-S, S, S}, {-S, -S, S}, {S, -S, S}}},
    {"textures/rt.jpg", {{S, S, -S}, {S, S, S}, {S, -S, S}, {S, -S, -S}}},
    {"textures/lt.jpg", {{-S, S, S}, {-S, S, -S}, {-S, -S, -S}, {-S, -S, S}}},
    {"textures/dn.jpg", {{S, -S, S}, {-S, -S, S}, {-S, -S, -S}, {S, -S, -S}}},
    {"textures/ft.jpg", {{-S, S, -S}, {S, S, -S}, {S, -S, -S}, {-S, -S, -S}}},
};

P3 pointOn(const Quad& q, double s, double t) {
  const P3 e1 = minus(q.corner[1], q.corner[0]), e3 = minus(q.corner[3], q.corner[0]);
  return {q.corner[0].x + e1.x * s + e3.x * t, q.corner[0].y + e1.y * s + e3.y * t,
          q.corner[0].z + e1.z * s + e3.z * t};
}

// Face coordinates of a point of the cube's surface; false when it is not on the quad.
bool coordsOn(const Quad& q, P3 p, double* s, double* t) {
  const P3 e1 = minus(q.corner[1], q.corner[0]), e3 = minus(q.corner[3], q.corner[0]);
  const P3 d = minus(p, q.corner[0]);
  *s = dot(d, e1) / dot(e1, e1);
  *t = dot(d, e3) / dot(e3, e3);
  const P3 back = pointOn(q, *s, *t);
  const P3 off = minus(back, p);
  return dot(off, off) < 1e-9 && *s > -1e-6 && *s < 1 + 1e-6 && *t > -1e-6 && *t < 1 + 1e-6;
}

// Mean difference per channel between the texels that touch across the
// cube's edges. With `reversed`, each neighbour is read back to front along
// the edge, as a wrongly oriented face would be.
double edgeMismatch(const std::vector<GlPicture>& faces, bool reversed, int* pairs) {
  double total = 0;
  *pairs = 0;
  for (int a = 0; a < 6; ++a) {
    const int n = faces[a].width;
    for (int i = 0; i < n; ++i) {
      const double c = (i + 0.5) / n;
      const double edges[4][2] = {{0, c}, {1, c}, {c, 0}, {c, 1}};
      for (const auto& e : edges) {
        const P3 p = pointOn(QUADS[a], e[0], e[1]);
        for (int b = 0; b < 6; ++b) {
          double s, t;
          if (b == a || !coordsOn(QUADS[b], p, &s, &t)) continue;
          if (reversed) {
            // Mirror along the shared edge.
            if (s < 1e-6 || s > 1 - 1e-6)
              t = 1 - t;
            else
              s = 1 - s;
          }
          const int bx = std::min(n - 1, static_cast<int>(s * n));
          const int by = std::min(n - 1, static_cast<int>(t * n));
          const int ax = std::min(n - 1, static_cast<int>(e[0] * n));
          const int ay = std::min(n - 1, static_cast<int>(e[1] * n));
          for (int k = 0; k < 3; ++k) {
            total += std::abs(faces[a].at(ax, ay)[k] - faces[b].at(bx, by)[k]);
          }
          ++*pairs;
        }
      }
    }
  }
  return *pairs ? total / (3.0 * *pairs) : 0;
}

}  // namespace

TEST(Skybox, TouchingEdgesOfNeighbouringFacesMatch) {
  ASSERT_TRUE(openTestWindow(64, 64));
  std::vector<GlPicture> faces;
  for (const Quad& q : QUADS) {
    faces.push_back(loadGlPicture(q.file));
    ASSERT_EQ(faces.back().width, 512) << q.file;
    ASSERT_EQ(faces.back().height, 512) << q.file;
  }
  int pairs = 0;
  const double matched = edgeMismatch(faces, false, &pairs);
  // Every texel on the rim has a neighbour: 12 edges, both ways, 512 texels.
  EXPECT_EQ(pairs, 12 * 2 * 512);
  int reversedPairs = 0;
  const double wrong = edgeMismatch(faces, true, &reversedPairs);
  EXPECT_LT(matched, 4.0) << "reversed: " << wrong;
  // A face turned the wrong way along an edge would show: the rims differ.
  EXPECT_GT(wrong, 2.5 * matched);
}

TEST(Skybox, EveryFaceIsABrightSkyWithDarkGapsAndVividColour) {
  // The chrome skull shows nothing but this sky, so every face is bright on
  // average; yet it stays space, not fog: dark gaps between the clouds, and
  // strongly coloured gas over a part of the sky.
  ASSERT_TRUE(openTestWindow(64, 64));
  double texels = 0, vivid = 0;
  for (const Quad& q : QUADS) {
    const GlPicture face = loadGlPicture(q.file);
    ASSERT_EQ(face.width, 512) << q.file;
    ASSERT_EQ(face.height, 512) << q.file;
    double sum = 0, dark = 0;
    for (int y = 0; y < face.height; ++y)
      for (int x = 0; x < face.width; ++x) {
        const unsigned char* p = face.at(x, y);
        const int hi = std::max({p[0], p[1], p[2]}), lo = std::min({p[0], p[1], p[2]});
        sum += p[0] + p[1] + p[2];
        dark += hi < 40;
        vivid += hi - lo >= 80;
      }
    const double count = double(face.width) * face.height;
    texels += count;
    EXPECT_GE(sum / (3 * count), 45.0) << q.file;
    EXPECT_GE(dark / count, 0.02) << q.file;
  }
  EXPECT_GE(vivid / texels, 0.015);
}

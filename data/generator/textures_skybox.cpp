// The skybox: six 512 x 512 JPEG faces of a bright, busy space sky (dense
// stars, a galactic band across every face, four vivid nebulae), bright
// enough that the chrome skull, which shows only what it reflects, shines.
// Every texel is one function of its 3D direction, so the faces join without
// seams whichever side the cube is seen from.
//
// Each face is laid out for the quad the skull scene draws it on: the quad's
// four corners carry the texture coordinates (0,0), (1,0), (1,1), (0,1), and
// DevIL hands a JPEG's top row to GL first, so file row y sits at
// t = (y + 0.5) / 512 and column x at s = (x + 0.5) / 512.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "image_io.h"
#include "noise.h"
#include "registry.h"

namespace {

struct Vec3 {
  float x, y, z;
};
Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 operator*(Vec3 a, float k) { return {a.x * k, a.y * k, a.z * k}; }
float dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3 normalize(Vec3 a) { return a * (1.0f / std::sqrt(dot(a, a))); }

const int SIZE = 512;
const int GRID = 256;  // the smooth layers are computed every 2 texels
const float HALF = 3.0f;

// A face: its file and the quad's corners with texture coordinates (0,0),
// (1,0), (1,1), (0,1).
struct Face {
  const char* file;
  Vec3 corner[4];
};

const Face FACES[6] = {
    {"up.jpg",
     {{-HALF, HALF, HALF}, {HALF, HALF, HALF}, {HALF, HALF, -HALF}, {-HALF, HALF, -HALF}}},
    {"bk.jpg",
     {{HALF, HALF, HALF}, {-HALF, HALF, HALF}, {-HALF, -HALF, HALF}, {HALF, -HALF, HALF}}},
    {"rt.jpg",
     {{HALF, HALF, -HALF}, {HALF, HALF, HALF}, {HALF, -HALF, HALF}, {HALF, -HALF, -HALF}}},
    {"lt.jpg",
     {{-HALF, HALF, HALF}, {-HALF, HALF, -HALF}, {-HALF, -HALF, -HALF}, {-HALF, -HALF, HALF}}},
    {"dn.jpg",
     {{HALF, -HALF, HALF}, {-HALF, -HALF, HALF}, {-HALF, -HALF, -HALF}, {HALF, -HALF, -HALF}}},
    {"ft.jpg",
     {{-HALF, HALF, -HALF}, {HALF, HALF, -HALF}, {HALF, -HALF, -HALF}, {-HALF, -HALF, -HALF}}},
};

// The unit direction of face coordinates (s, t).
Vec3 directionAt(const Face& face, float s, float t) {
  const Vec3 p = face.corner[0] + (face.corner[1] - face.corner[0]) * s +
                 (face.corner[3] - face.corner[0]) * t;
  return normalize(p);
}

// A float RGB picture of one face, rows in file order.
struct Layer {
  std::vector<float> rgb = std::vector<float>(SIZE * SIZE * 3, 0.0f);
  float* at(int x, int y) { return &rgb[(static_cast<size_t>(y) * SIZE + x) * 3]; }
};

// The galaxy's plane: its great circle crosses every face of the cube.
const Vec3 BAND_NORMAL = normalize({0.52f, 0.66f, 0.54f});

// A nebula: where it lies, how wide, and its two colours.
struct Nebula {
  Vec3 centre;
  float radius;  // angular, as a chord length
  Vec3 colourA, colourB;
  float brightness;
  uint32_t seed;
};

// Four large clouds, one in each quarter of the sky, each in its own hues.
const Nebula NEBULAE[4] = {
    // Teal and magenta, between the right and back faces.
    {normalize({0.55f, 0.22f, 0.80f}),
     1.15f,
     {0.08f, 0.78f, 0.80f},
     {0.95f, 0.16f, 0.62f},
     1.9f,
     101},
    // Gold and crimson, between the front and left faces.
    {normalize({-0.75f, -0.12f, -0.62f}),
     1.05f,
     {1.00f, 0.66f, 0.18f},
     {0.90f, 0.14f, 0.22f},
     1.7f,
     202},
    // Blue and violet, high over the front and right faces.
    {normalize({0.35f, 0.85f, -0.40f}),
     1.0f,
     {0.22f, 0.45f, 1.00f},
     {0.62f, 0.22f, 0.95f},
     1.7f,
     303},
    // Rose and orange, low under the back and left faces.
    {normalize({-0.40f, -0.82f, 0.42f}),
     1.0f,
     {1.00f, 0.30f, 0.45f},
     {1.00f, 0.58f, 0.22f},
     1.6f,
     404},
};

// Glowing gas around one nebula's centre; black elsewhere.
Vec3 nebulaLight(const Nebula& n, Vec3 d) {
  const Vec3 off = d - n.centre;
  const float r2 = dot(off, off) / (n.radius * n.radius);
  if (r2 >= 1.0f) return {0, 0, 0};
  const float falloff = (1.0f - r2) * (1.0f - r2);
  using datagen::fbm;
  const uint32_t s = n.seed;
  // Domain warping turns the clouds into wisps.
  const Vec3 p = d * 2.6f;
  const Vec3 warp = {fbm(p.x, p.y, p.z, 4, s + 1), fbm(p.x + 5.2f, p.y, p.z, 4, s + 2),
                     fbm(p.x, p.y + 1.3f, p.z, 4, s + 3)};
  const Vec3 q = p + warp * 1.1f;
  const float body = datagen::smoothstep(-0.25f, 0.40f, fbm(q.x, q.y, q.z, 6, s + 4));
  const float filaments = datagen::ridged(q.x * 1.6f, q.y * 1.6f, q.z * 1.6f, 5, s + 5);
  const float dust =
      datagen::smoothstep(0.10f, 0.50f, fbm(q.x * 2.3f, q.y * 2.3f, q.z * 2.3f, 5, s + 6));
  const float hue =
      datagen::smoothstep(-0.35f, 0.35f, fbm(q.x * 0.8f, q.y * 0.8f, q.z * 0.8f, 3, s + 7));
  const float density =
      falloff * body * (0.45f + 1.0f * filaments * filaments * filaments) * (1.0f - 0.6f * dust);
  const Vec3 colour = n.colourA * (1.0f - hue) + n.colourB * hue;
  // A hot core near the centre.
  const float core = std::exp(-r2 * 10.0f) * body * 0.6f;
  // A haze carries the colour well beyond the bright clouds.
  const float haze = falloff * (0.5f + 0.5f * fbm(p.x, p.y, p.z, 3, s + 8)) * 0.22f;
  return colour * (density * n.brightness + haze) + Vec3{1.0f, 0.92f, 0.86f} * core;
}

// The milky band along one great circle: a wide bluish glow, a bright warm
// spine and dark dust lanes along it.
Vec3 bandLight(Vec3 d) {
  const float b = dot(d, BAND_NORMAL);
  const float glow = std::exp(-(b * b) / (0.34f * 0.34f));
  if (glow < 0.01f) return {0, 0, 0};
  const float spine = std::exp(-(b * b) / (0.11f * 0.11f));
  const Vec3 p = d * 3.5f;
  const float clumps = 0.5f + 0.5f * datagen::fbm(p.x, p.y, p.z, 5, 503);
  // The rift meanders along the band just off its centre line and thins out
  // here and there.
  const float meander = 0.05f * datagen::fbm(p.x * 0.7f, p.y * 0.7f, p.z * 0.7f, 3, 505);
  const float rift = (b - 0.02f - meander) / 0.045f;
  const float lane =
      datagen::smoothstep(-0.6f, 0.3f, datagen::fbm(p.x * 1.5f, p.y * 1.5f, p.z * 1.5f, 5, 504)) *
      std::exp(-rift * rift);
  const float dark = 1.0f - 0.85f * lane;
  const Vec3 outer = Vec3{0.50f, 0.62f, 1.0f} * (glow * (0.10f + 0.32f * clumps));
  const Vec3 inner = Vec3{1.0f, 0.80f, 0.52f} * (spine * (0.30f + 0.85f * clumps * clumps));
  return (outer + inner) * dark;
}

// The space between: deep indigo with slow drifts of violet and blue gas.
Vec3 backgroundLight(Vec3 d) {
  const Vec3 p = d * 1.7f;
  const float gas = datagen::smoothstep(-0.25f, 0.55f, datagen::fbm(p.x, p.y, p.z, 4, 605));
  const float tint = datagen::smoothstep(-0.4f, 0.4f, datagen::fbm(p.x, p.y, p.z, 3, 606));
  const Vec3 gasColour =
      Vec3{0.16f, 0.06f, 0.26f} * (1.0f - tint) + Vec3{0.04f, 0.12f, 0.26f} * tint;
  return Vec3{0.012f, 0.016f, 0.045f} + gasColour * (gas * 0.45f);
}

// Everything but the stars, for one direction.
Vec3 skyLight(Vec3 d) {
  Vec3 c = backgroundLight(d) + bandLight(d);
  for (const Nebula& n : NEBULAE) c = c + nebulaLight(n, d);
  return c;
}

// The smooth layers of a face, computed on a coarse grid whose outermost
// points lie exactly on the face's edges and bilinearly filled in.
void paintSky(const Face& face, Layer* layer) {
  std::vector<Vec3> grid((GRID + 1) * (GRID + 1));
  for (int j = 0; j <= GRID; ++j) {
    for (int i = 0; i <= GRID; ++i) {
      grid[j * (GRID + 1) + i] =
          skyLight(directionAt(face, static_cast<float>(i) / GRID, static_cast<float>(j) / GRID));
    }
  }
  for (int y = 0; y < SIZE; ++y) {
    const float gy = (y + 0.5f) / SIZE * GRID;
    const int j = std::min(GRID - 1, static_cast<int>(gy));
    const float fy = gy - j;
    for (int x = 0; x < SIZE; ++x) {
      const float gx = (x + 0.5f) / SIZE * GRID;
      const int i = std::min(GRID - 1, static_cast<int>(gx));
      const float fx = gx - i;
      const Vec3 a = grid[j * (GRID + 1) + i], b = grid[j * (GRID + 1) + i + 1];
      const Vec3 c = grid[(j + 1) * (GRID + 1) + i], e = grid[(j + 1) * (GRID + 1) + i + 1];
      const Vec3 v = (a * (1 - fx) + b * fx) * (1 - fy) + (c * (1 - fx) + e * fx) * fy;
      float* out = layer->at(x, y);
      out[0] += v.x;
      out[1] += v.y;
      out[2] += v.z;
    }
  }
}

struct Star {
  Vec3 direction;
  Vec3 colour;
  float brightness;
  float sigma;  // core width in texels (at the face centre)
  float halo;   // strength of the wide glow
};

// Star colours from hot to cool; the last two are the rare vivid ones.
const Vec3 STAR_COLOURS[] = {{0.72f, 0.82f, 1.0f}, {1.0f, 1.0f, 1.0f},   {1.0f, 0.95f, 0.82f},
                             {1.0f, 0.80f, 0.58f}, {1.0f, 0.58f, 0.45f}, {0.45f, 0.65f, 1.0f},
                             {1.0f, 0.45f, 0.30f}};

Vec3 randomDirection(datagen::Rng& rng) {
  for (;;) {
    const Vec3 v = {rng.range(-1, 1), rng.range(-1, 1), rng.range(-1, 1)};
    const float l = dot(v, v);
    if (l > 0.01f && l <= 1.0f) return v * (1.0f / std::sqrt(l));
  }
}

std::vector<Star> makeStars() {
  datagen::Rng rng(2024);
  std::vector<Star> stars;
  auto add = [&](Vec3 d, float brightness, float sigma, float halo) {
    const float pick = rng.uniform();
    int colour = pick < 0.22f ? 0 : pick < 0.62f ? 1 : pick < 0.82f ? 2 : pick < 0.93f ? 3 : 4;
    if (rng.uniform() < 0.03f) colour = rng.uniform() < 0.5f ? 5 : 6;
    stars.push_back({d, STAR_COLOURS[colour], brightness, sigma, halo});
  };
  // Many faint stars everywhere, far more of them along the band.
  for (int i = 0; i < 10000; ++i) add(randomDirection(rng), rng.range(0.10f, 0.40f), 0.55f, 0.0f);
  for (int placed = 0; placed < 15000;) {
    const Vec3 d = randomDirection(rng);
    const float b = dot(d, BAND_NORMAL);
    if (rng.uniform() > std::exp(-(b * b) / (0.16f * 0.16f))) continue;
    add(d, rng.range(0.08f, 0.35f), 0.5f, 0.0f);
    ++placed;
  }
  for (int i = 0; i < 2400; ++i) add(randomDirection(rng), rng.range(0.5f, 1.1f), 0.65f, 0.0f);
  for (int i = 0; i < 320; ++i) add(randomDirection(rng), rng.range(1.0f, 1.8f), 0.8f, 0.06f);
  for (int i = 0; i < 30; ++i) add(randomDirection(rng), rng.range(2.0f, 3.0f), 1.0f, 0.15f);
  return stars;
}

// Adds the stars near a face; each texel's light depends only on the angle
// between its direction and the star's.
void paintStars(const Face& face, const std::vector<Vec3>& directions,
                const std::vector<Star>& stars, Layer* layer) {
  const Vec3 origin = face.corner[0];
  const Vec3 edgeS = face.corner[1] - face.corner[0], edgeT = face.corner[3] - face.corner[0];
  const Vec3 axis = normalize(origin + edgeS * 0.5f + edgeT * 0.5f);
  const float texelAngle = 2.0f / SIZE;  // at the face centre
  for (const Star& star : stars) {
    const float facing = dot(star.direction, axis);
    if (facing < 0.5f) continue;
    const Vec3 onPlane = star.direction * (HALF / facing);
    const float s = dot(onPlane - origin, edgeS) / dot(edgeS, edgeS);
    const float t = dot(onPlane - origin, edgeT) / dot(edgeT, edgeT);
    const float radius = star.halo > 0 ? 18.0f : 4.0f * star.sigma + 1.0f;
    const int x0 = std::max(0, static_cast<int>(std::floor(s * SIZE - 0.5f - radius)));
    const int x1 = std::min(SIZE - 1, static_cast<int>(std::ceil(s * SIZE - 0.5f + radius)));
    const int y0 = std::max(0, static_cast<int>(std::floor(t * SIZE - 0.5f - radius)));
    const int y1 = std::min(SIZE - 1, static_cast<int>(std::ceil(t * SIZE - 0.5f + radius)));
    for (int y = y0; y <= y1; ++y) {
      for (int x = x0; x <= x1; ++x) {
        const Vec3 off = directions[y * SIZE + x] - star.direction;
        const float r = std::sqrt(dot(off, off)) / texelAngle;
        float light = star.brightness * std::exp(-0.5f * r * r / (star.sigma * star.sigma));
        if (star.halo > 0)
          light += star.halo * star.brightness / (1.0f + r * r * 0.08f) *
                   datagen::smoothstep(18.0f, 8.0f, r);
        if (light < 1e-4f) continue;
        float* out = layer->at(x, y);
        out[0] += star.colour.x * light;
        out[1] += star.colour.y * light;
        out[2] += star.colour.z * light;
      }
    }
  }
}

// Soft shoulder: linear in the dark, bright light saturates without clipping hard.
float tone(float v) { return 1.0f - std::exp(-1.25f * v); }

bool makeSkybox(const std::string& root) {
  const std::string dir = root + "/textures";
  if (!datagen::makeDirs(dir)) return false;
  const std::vector<Star> stars = makeStars();
  for (const Face& face : FACES) {
    std::vector<Vec3> directions(SIZE * SIZE);
    for (int y = 0; y < SIZE; ++y) {
      for (int x = 0; x < SIZE; ++x) {
        directions[y * SIZE + x] = directionAt(face, (x + 0.5f) / SIZE, (y + 0.5f) / SIZE);
      }
    }
    Layer layer;
    paintSky(face, &layer);
    paintStars(face, directions, stars, &layer);
    datagen::Image image(SIZE, SIZE);
    for (int y = 0; y < SIZE; ++y) {
      for (int x = 0; x < SIZE; ++x) {
        const float* v = layer.at(x, y);
        // A little dither keeps the faint gradients from banding.
        const float dither = (datagen::hash01(x, y, 0, 77) - 0.5f) / 255.0f;
        image.set(x, y, tone(v[0]) + dither, tone(v[1]) + dither, tone(v[2]) + dither);
      }
    }
    if (!datagen::writeJpeg(dir + "/" + face.file, image, 95)) return false;
  }
  return true;
}

}  // namespace

REGISTER_PRODUCT("skybox", makeSkybox);

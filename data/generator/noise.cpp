#include "noise.h"

#include <cmath>

namespace datagen {

Rng::Rng(uint64_t seed) : state(0), increment((seed << 1u) | 1u) {
  next();
  state += 0x853c49e6748fea9bULL ^ seed;
  next();
}

uint32_t Rng::next() {
  const uint64_t old = state;
  state = old * 6364136223846793005ULL + increment;
  const uint32_t shifted = static_cast<uint32_t>(((old >> 18u) ^ old) >> 27u);
  const uint32_t rot = static_cast<uint32_t>(old >> 59u);
  return (shifted >> rot) | (shifted << ((32u - rot) & 31u));
}

float Rng::uniform() { return static_cast<float>(next() >> 8) * (1.0f / 16777216.0f); }

float Rng::range(float lo, float hi) { return lo + (hi - lo) * uniform(); }

int Rng::below(int n) {
  if (n <= 0) return 0;
  return static_cast<int>((static_cast<uint64_t>(next()) * static_cast<uint64_t>(n)) >> 32);
}

float Rng::gaussian() {
  const float u1 = 1.0f - uniform();  // (0, 1]
  const float u2 = uniform();
  return std::sqrt(-2.0f * std::log(u1)) * std::cos(6.28318530718f * u2);
}

uint32_t hash3(int x, int y, int z, uint32_t seed) {
  // Each coordinate is spread by its own odd constant, then the bits are
  // mixed thoroughly (the 32-bit finaliser of MurmurHash3).
  uint32_t h = seed * 0x9E3779B1u ^ static_cast<uint32_t>(x) * 0x85EBCA77u ^
               static_cast<uint32_t>(y) * 0xC2B2AE3Du ^ static_cast<uint32_t>(z) * 0x27D4EB2Fu;
  h ^= h >> 16;
  h *= 0x85EBCA6Bu;
  h ^= h >> 13;
  h *= 0xC2B2AE35u;
  h ^= h >> 16;
  return h;
}

float hash01(int x, int y, int z, uint32_t seed) {
  return static_cast<float>(hash3(x, y, z, seed) >> 8) * (1.0f / 16777216.0f);
}

// The lattice cell below v (floor without a library call).
static int cellOf(float v) {
  const int i = static_cast<int>(v);
  return v < static_cast<float>(i) ? i - 1 : i;
}

// Quintic fade: zero first and second derivatives at the lattice points.
static float fade(float t) { return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f); }

float valueNoise(float x, float y, uint32_t seed) { return valueNoise(x, y, 0.0f, seed); }

float valueNoise(float x, float y, float z, uint32_t seed) {
  const int ix = cellOf(x), iy = cellOf(y), iz = cellOf(z);
  const float u = fade(x - static_cast<float>(ix)), v = fade(y - static_cast<float>(iy)),
              w = fade(z - static_cast<float>(iz));
  float layer[2];
  for (int k = 0; k < 2; ++k) {
    const float a = mix(hash01(ix, iy, iz + k, seed), hash01(ix + 1, iy, iz + k, seed), u);
    const float b = mix(hash01(ix, iy + 1, iz + k, seed), hash01(ix + 1, iy + 1, iz + k, seed), u);
    layer[k] = mix(a, b, v);
  }
  return mix(layer[0], layer[1], w);
}

// Lattice gradients, picked by the top four bits of a hash: 16 unit
// directions in 2D; in 3D the 12 cube-edge directions of improved Perlin
// noise, four of them twice. Tables keep the inner loops free of branches.
const float GRAD2[16][2] = {
    {1.0f, 0.0f},  {0.9239f, 0.3827f},   {0.7071f, 0.7071f},   {0.3827f, 0.9239f},
    {0.0f, 1.0f},  {-0.3827f, 0.9239f},  {-0.7071f, 0.7071f},  {-0.9239f, 0.3827f},
    {-1.0f, 0.0f}, {-0.9239f, -0.3827f}, {-0.7071f, -0.7071f}, {-0.3827f, -0.9239f},
    {0.0f, -1.0f}, {0.3827f, -0.9239f},  {0.7071f, -0.7071f},  {0.9239f, -0.3827f}};
const float GRAD3[16][3] = {
    {1, 1, 0}, {-1, 1, 0}, {1, -1, 0}, {-1, -1, 0}, {1, 0, 1}, {-1, 0, 1}, {1, 0, -1}, {-1, 0, -1},
    {0, 1, 1}, {0, -1, 1}, {0, 1, -1}, {0, -1, -1}, {1, 1, 0}, {-1, 1, 0}, {0, -1, 1}, {0, -1, -1}};

// Dot product of a hashed gradient with the offset from its lattice point.
static float grad2(int ix, int iy, uint32_t seed, float dx, float dy) {
  const float* g = GRAD2[hash3(ix, iy, 0, seed) >> 28];
  return g[0] * dx + g[1] * dy;
}

static float grad3(int ix, int iy, int iz, uint32_t seed, float dx, float dy, float dz) {
  const float* g = GRAD3[hash3(ix, iy, iz, seed) >> 28];
  return g[0] * dx + g[1] * dy + g[2] * dz;
}

// Gradient noise on a lattice whose coordinates wrap at the periods (0 = no wrap).
static float gradient2(float x, float y, int periodX, int periodY, uint32_t seed) {
  int ix = cellOf(x), iy = cellOf(y);
  const float dx = x - static_cast<float>(ix), dy = y - static_cast<float>(iy);
  int ix1 = ix + 1, iy1 = iy + 1;
  if (periodX > 0) {
    ix = ((ix % periodX) + periodX) % periodX;
    ix1 = (ix + 1) % periodX;
  }
  if (periodY > 0) {
    iy = ((iy % periodY) + periodY) % periodY;
    iy1 = (iy + 1) % periodY;
  }
  const float u = fade(dx), v = fade(dy);
  const float a = mix(grad2(ix, iy, seed, dx, dy), grad2(ix1, iy, seed, dx - 1, dy), u);
  const float b = mix(grad2(ix, iy1, seed, dx, dy - 1), grad2(ix1, iy1, seed, dx - 1, dy - 1), u);
  return mix(a, b, v) * 1.41421356f;
}

float gradientNoise(float x, float y, uint32_t seed) { return gradient2(x, y, 0, 0, seed); }

float gradientNoiseTiled(float x, float y, int periodX, int periodY, uint32_t seed) {
  return gradient2(x, y, periodX < 1 ? 1 : periodX, periodY < 1 ? 1 : periodY, seed);
}

float gradientNoise(float x, float y, float z, uint32_t seed) {
  const int ix = cellOf(x), iy = cellOf(y), iz = cellOf(z);
  const float dx = x - static_cast<float>(ix), dy = y - static_cast<float>(iy),
              dz = z - static_cast<float>(iz);
  const float u = fade(dx), v = fade(dy), w = fade(dz);
  float layer[2];
  for (int k = 0; k < 2; ++k) {
    const float ez = dz - k;
    const float a = mix(grad3(ix, iy, iz + k, seed, dx, dy, ez),
                        grad3(ix + 1, iy, iz + k, seed, dx - 1, dy, ez), u);
    const float b = mix(grad3(ix, iy + 1, iz + k, seed, dx, dy - 1, ez),
                        grad3(ix + 1, iy + 1, iz + k, seed, dx - 1, dy - 1, ez), u);
    layer[k] = mix(a, b, v);
  }
  return mix(layer[0], layer[1], w);
}

float fbm(float x, float y, int octaves, uint32_t seed, float lacunarity, float gain) {
  float sum = 0.0f, amplitude = 1.0f, total = 0.0f;
  for (int i = 0; i < octaves; ++i) {
    sum += amplitude * gradientNoise(x, y, seed + static_cast<uint32_t>(i) * 1013u);
    total += amplitude;
    x *= lacunarity;
    y *= lacunarity;
    amplitude *= gain;
  }
  return total > 0.0f ? sum / total : 0.0f;
}

float fbm(float x, float y, float z, int octaves, uint32_t seed, float lacunarity, float gain) {
  float sum = 0.0f, amplitude = 1.0f, total = 0.0f;
  for (int i = 0; i < octaves; ++i) {
    sum += amplitude * gradientNoise(x, y, z, seed + static_cast<uint32_t>(i) * 1013u);
    total += amplitude;
    x *= lacunarity;
    y *= lacunarity;
    z *= lacunarity;
    amplitude *= gain;
  }
  return total > 0.0f ? sum / total : 0.0f;
}

float fbmTiled(float x, float y, int periodX, int periodY, int octaves, uint32_t seed, float gain) {
  float sum = 0.0f, amplitude = 1.0f, total = 0.0f;
  for (int i = 0; i < octaves; ++i) {
    sum += amplitude *
           gradientNoiseTiled(x, y, periodX, periodY, seed + static_cast<uint32_t>(i) * 1013u);
    total += amplitude;
    x *= 2.0f;
    y *= 2.0f;
    periodX *= 2;
    periodY *= 2;
    amplitude *= gain;
  }
  return total > 0.0f ? sum / total : 0.0f;
}

float ridged(float x, float y, float z, int octaves, uint32_t seed) {
  float sum = 0.0f, amplitude = 1.0f, total = 0.0f;
  for (int i = 0; i < octaves; ++i) {
    const float n =
        1.0f - std::fabs(gradientNoise(x, y, z, seed + static_cast<uint32_t>(i) * 1013u));
    sum += amplitude * n * n;
    total += amplitude;
    x *= 2.0f;
    y *= 2.0f;
    z *= 2.0f;
    amplitude *= 0.5f;
  }
  return total > 0.0f ? sum / total : 0.0f;
}

float clamp01(float v) { return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v); }

float smoothstep(float edge0, float edge1, float v) {
  const float t = clamp01((v - edge0) / (edge1 - edge0));
  return t * t * (3.0f - 2.0f * t);
}

float mix(float a, float b, float t) { return a + (b - a) * t; }

}  // namespace datagen

// Deterministic randomness for the data generator: a small random number
// generator, lattice hashes, value and gradient noise in 2D and 3D, fractal
// sums (fbm) and a few shaping helpers.
//
// Everything is a pure function of its arguments and seed (no global state, no
// tables built at start-up), so every run of the generator writes the same
// bytes and products cannot disturb one another. Use a different seed per
// layer of a picture. Noise has a feature size of one lattice cell: scale the
// coordinates to choose how large the shapes are.
#pragma once

#include <cstdint>

namespace datagen {

// A small, fast generator (PCG32). The same seed gives the same sequence.
class Rng {
 public:
  explicit Rng(uint64_t seed);

  // The next 32 random bits.
  uint32_t next();

  // Uniform in [0, 1).
  float uniform();

  // Uniform in [lo, hi).
  float range(float lo, float hi);

  // Uniform integer in [0, n); 0 when n <= 0.
  int below(int n);

  // Normal distribution, mean 0, deviation 1 (Box-Muller).
  float gaussian();

 private:
  uint64_t state;
  uint64_t increment;
};

// A well-mixed 32-bit hash of lattice coordinates and a seed.
uint32_t hash3(int x, int y, int z, uint32_t seed);

// The same hash as a float in [0, 1).
float hash01(int x, int y, int z, uint32_t seed);

// Value noise: smooth interpolation of random lattice values, in [0, 1].
float valueNoise(float x, float y, uint32_t seed);
float valueNoise(float x, float y, float z, uint32_t seed);

// Gradient (Perlin-style) noise, in about [-1, 1], 0 on lattice points.
float gradientNoise(float x, float y, uint32_t seed);
float gradientNoise(float x, float y, float z, uint32_t seed);

// 2D gradient noise that repeats every periodX x periodY lattice cells, for
// pictures that tile (periods >= 1).
float gradientNoiseTiled(float x, float y, int periodX, int periodY, uint32_t seed);

// Fractal sum of gradient noise: octaves at doubling frequency (lacunarity)
// and halving amplitude (gain), normalised to about [-1, 1].
float fbm(float x, float y, int octaves, uint32_t seed, float lacunarity = 2.0f, float gain = 0.5f);
float fbm(float x, float y, float z, int octaves, uint32_t seed, float lacunarity = 2.0f,
          float gain = 0.5f);

// Tiling fbm: the base period doubles with each octave, so the sum repeats
// every periodX x periodY units of the first octave.
float fbmTiled(float x, float y, int periodX, int periodY, int octaves, uint32_t seed,
               float gain = 0.5f);

// Ridged fractal sum (sharp crests where the noise crosses 0), in [0, 1].
float ridged(float x, float y, float z, int octaves, uint32_t seed);

// Clamps to [0, 1].
float clamp01(float v);

// Hermite step from 0 at edge0 to 1 at edge1.
float smoothstep(float edge0, float edge1, float v);

// Linear blend from a (t = 0) to b (t = 1).
float mix(float a, float b, float t);

}  // namespace datagen

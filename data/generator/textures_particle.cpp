// The particle: a 128 x 128 24-bit BMP of a round glow, white in the middle,
// falling off smoothly to exactly black at the rim and beyond. The fountains
// draw it additively and tint it, so black means invisible.
#include <cmath>

#include "image_io.h"
#include "registry.h"

namespace {

const int SIZE = 128;

// Brightness at distance r from the centre (1 = the rim): a bright core in a
// wider halo, faded by a window that reaches 0 at the rim with a flat tangent.
float glow(float r) {
  if (r >= 1.0f) return 0.0f;
  const float core = std::exp(-(r * r) / (0.16f * 0.16f));
  const float halo = std::exp(-(r * r) / (0.42f * 0.42f));
  const float window = (1.0f - r * r) * (1.0f - r * r);
  return (0.55f * core + 0.45f * halo) * window;
}

bool makeParticle(const std::string& root) {
  const std::string dir = root + "/textures";
  if (!datagen::makeDirs(dir)) return false;
  datagen::Image image(SIZE, SIZE);
  const float centre = SIZE * 0.5f;
  for (int y = 0; y < SIZE; ++y) {
    for (int x = 0; x < SIZE; ++x) {
      // Average 4 x 4 samples per pixel, so the small core stays round.
      float sum = 0.0f;
      for (int sy = 0; sy < 4; ++sy) {
        for (int sx = 0; sx < 4; ++sx) {
          const float dx = x + (sx + 0.5f) / 4.0f - centre, dy = y + (sy + 0.5f) / 4.0f - centre;
          sum += glow(std::sqrt(dx * dx + dy * dy) / centre);
        }
      }
      const float v = sum / 16.0f;
      image.set(x, y, v, v, v);
    }
  }
  return datagen::writeBmp(dir + "/particle3.bmp", image);
}

}  // namespace

REGISTER_PRODUCT("particle3", makeParticle);

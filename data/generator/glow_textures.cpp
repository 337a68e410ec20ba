// The glow atlases of the volume lines: textures/blue_glow.jpg and
// textures/red_laser.jpg, 512 x 512, a 4 x 4 grid of 128-pixel cells.
//
// Cell i (row i / 4 from the top of the picture, column i % 4) is the glow
// of a line seen at view term i / 15: cell 0 a side-on streak (u along the
// line, v across it), cell 15 the round blob of a line seen end-on, the
// cells between rounding off the streak's ends step by step. Each cell has
// a white-hot core, a coloured halo and falls to black before its border,
// so that neighbouring cells never bleed into each other. The program reads
// JPEG rows top first at t = 0, which is the order the atlas lookups assume.
#include <algorithm>
#include <cmath>

#include "image_io.h"
#include "registry.h"

namespace {

constexpr int CELL = 128;
constexpr int SIZE = 4 * CELL;

struct Colour {
  float r, g, b;
};

// The brightness of core and halo at normalised distance r from the line
// (0 on the line, 1 at the band's edge).
// The core is flat-topped, white across its middle and quickly gone, so that
// even a band a few pixels wide shows a white-hot line.
void glowAt(float r, float* core, float* halo) {
  const float q = (r / 0.19f) * (r / 0.19f);
  *core = std::exp(-q * q);
  const float h = std::max(0.0f, 1.0f - r / 0.92f);
  *halo = h * h * (0.35f + 0.65f * h);
}

datagen::Image glowAtlas(const Colour& tint) {
  datagen::Image image(SIZE, SIZE);
  for (int i = 0; i < 16; ++i) {
    const float k = static_cast<float>(i) / 15.0f;
    // How far from each end the glow fades along the line: short for a
    // streak, half the cell for the blob.
    const float fade = 0.07f + (0.5f - 0.07f) * k * k;
    const float boost = 1.0f + 0.5f * k;  // a line seen end-on looks denser
    const int x0 = (i % 4) * CELL, y0 = (i / 4) * CELL;
    for (int y = 0; y < CELL; ++y) {
      for (int x = 0; x < CELL; ++x) {
        const float u = (x + 0.5f) / CELL, v = (y + 0.5f) / CELL;
        const float du = std::max(0.0f, std::fabs(u - 0.5f) - (0.5f - fade)) / fade;
        const float dv = std::fabs(v - 0.5f) / 0.5f;
        float core, halo;
        glowAt(std::sqrt(du * du + dv * dv), &core, &halo);
        const float white = core * boost;
        image.set(x0 + x, y0 + y, white + halo * tint.r * boost, white + halo * tint.g * boost,
                  white + halo * tint.b * boost);
      }
    }
  }
  return image;
}

bool makeGlowTextures(const std::string& root) {
  const std::string dir = root + "/textures";
  if (!datagen::makeDirs(dir)) return false;
  return datagen::writeJpeg(dir + "/blue_glow.jpg", glowAtlas({0.12f, 0.42f, 1.0f}), 95) &&
         datagen::writeJpeg(dir + "/red_laser.jpg", glowAtlas({1.0f, 0.14f, 0.06f}), 95);
}

}  // namespace

REGISTER_PRODUCT("glow", makeGlowTextures);

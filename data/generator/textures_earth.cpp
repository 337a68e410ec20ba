// The earth: a 1024 x 512 equirectangular JPEG (north at the top of the
// file) of an invented planet: deep and shallow oceans, continents covering
// about 30 % of the surface, biomes by latitude and moisture, mountains,
// ice caps and a soft cloud layer. Every field is noise on the unit sphere,
// so the map wraps east-west and has no seam at the date line or the poles.
// The scenes use it as an environment lookup on small spheres, so the
// shapes are kept bold.
#include <algorithm>
#include <cmath>
#include <vector>

#include "image_io.h"
#include "noise.h"
#include "registry.h"

namespace {

const int WIDTH = 1024;
const int HEIGHT = 512;
const float LAND_SHARE = 0.30f;
const float PI = 3.14159265f;

struct Rgb {
  float r, g, b;
};
Rgb blend(Rgb a, Rgb b, float t) {
  return {datagen::mix(a.r, b.r, t), datagen::mix(a.g, b.g, t), datagen::mix(a.b, b.b, t)};
}
Rgb scale(Rgb a, float k) { return {a.r * k, a.g * k, a.b * k}; }

const Rgb DEEP_SEA = {0.012f, 0.045f, 0.16f};
const Rgb SHALLOW_SEA = {0.05f, 0.30f, 0.44f};
const Rgb SAND = {0.82f, 0.69f, 0.45f};
const Rgb SAVANNA = {0.56f, 0.55f, 0.28f};
const Rgb JUNGLE = {0.07f, 0.27f, 0.07f};
const Rgb FOREST = {0.15f, 0.34f, 0.12f};
const Rgb CONIFER = {0.10f, 0.22f, 0.12f};
const Rgb TUNDRA = {0.47f, 0.45f, 0.38f};
const Rgb ROCK = {0.42f, 0.36f, 0.30f};
const Rgb ICE = {0.90f, 0.94f, 0.98f};
const Rgb CLOUD = {0.97f, 0.97f, 0.97f};

// The per-pixel fields before colouring.
struct Fields {
  std::vector<float> height, moisture, clouds, iceEdge, ranges;
};

// Latitude of row y (radians, north positive) and the unit-sphere point of
// the (possibly fractional) pixel position (x, y).
float latitudeOf(float y) { return PI * 0.5f - (y + 0.5f) / HEIGHT * PI; }
void spherePoint(float x, float y, float p[3]) {
  const float lon = (x + 0.5f) / WIDTH * 2.0f * PI;
  const float lat = latitudeOf(y);
  p[0] = std::cos(lat) * std::cos(lon);
  p[1] = std::sin(lat);
  p[2] = std::cos(lat) * std::sin(lon);
}

// A smooth field sampled on every other pixel and read back bilinearly
// (wrapping east-west): the slow, broad layers need no more.
class CoarseField {
 public:
  template <typename Fn>
  explicit CoarseField(Fn fn) : values(static_cast<size_t>(CW) * CH) {
    for (int j = 0; j < CH; ++j) {
      for (int i = 0; i < CW; ++i) {
        float p[3];
        spherePoint(i * 2.0f + 0.5f, j * 2.0f + 0.5f, p);
        values[static_cast<size_t>(j) * CW + i] = fn(p, latitudeOf(j * 2.0f + 0.5f));
      }
    }
  }
  float at(int x, int y) const {
    const float gx = (x - 0.5f) * 0.5f, gy = std::max(0.0f, (y - 0.5f) * 0.5f);
    const int i0 = static_cast<int>(std::floor(gx)), j0 = std::min(CH - 2, static_cast<int>(gy));
    const float fx = gx - i0, fy = std::min(1.0f, gy - j0);
    const int ia = (i0 + CW) % CW, ib = (i0 + 1) % CW;
    const float top = datagen::mix(values[j0 * CW + ia], values[j0 * CW + ib], fx);
    const float bottom = datagen::mix(values[(j0 + 1) * CW + ia], values[(j0 + 1) * CW + ib], fx);
    return datagen::mix(top, bottom, fy);
  }

 private:
  static const int CW = WIDTH / 2, CH = HEIGHT / 2;
  std::vector<float> values;
};

Fields computeFields() {
  using datagen::fbm;
  // Continents: fractal noise on a warped sphere, low frequencies dominant.
  const CoarseField warp[3] = {CoarseField([](const float* p, float) {
                                 return fbm(p[0] * 1.2f, p[1] * 1.2f, p[2] * 1.2f, 3, 11);
                               }),
                               CoarseField([](const float* p, float) {
                                 return fbm(p[0] * 1.2f + 4.1f, p[1] * 1.2f, p[2] * 1.2f, 3, 12);
                               }),
                               CoarseField([](const float* p, float) {
                                 return fbm(p[0] * 1.2f, p[1] * 1.2f + 2.7f, p[2] * 1.2f, 3, 13);
                               })};
  const CoarseField moisture([](const float* p, float) {
    return fbm(p[0] * 2.2f + 9.0f, p[1] * 2.2f, p[2] * 2.2f, 4, 15);
  });
  // Mountain ranges: the crests of ridged noise.
  const CoarseField ranges([](const float* p, float) {
    const float r = datagen::ridged(p[0] * 3.5f, p[1] * 3.5f, p[2] * 3.5f, 5, 20);
    return r * r;
  });
  const CoarseField iceEdge(
      [](const float* p, float) { return fbm(p[0] * 3.0f, p[1] * 3.0f, p[2] * 3.0f, 4, 16); });
  // Clouds: swirled noise, thicker at the equator and the middle latitudes,
  // thin over the subtropical deserts.
  const CoarseField clouds([](const float* p, float lat) {
    const float cx = fbm(p[0] * 2.0f, p[1] * 2.0f, p[2] * 2.0f, 3, 17);
    const float cy = fbm(p[0] * 2.0f + 3.3f, p[1] * 2.0f, p[2] * 2.0f, 3, 18);
    const float cloud = fbm(p[0] * 3.0f + cx * 1.4f, p[1] * 4.5f + cy * 1.4f, p[2] * 3.0f, 6, 19);
    const float belt = 0.55f + 0.45f * std::cos(std::fabs(lat) * 6.0f);  // peaks at 0 and 60 deg
    return datagen::smoothstep(0.1f, 0.48f, cloud + 0.2f * (belt - 0.5f)) * 0.85f;
  });

  Fields f;
  const size_t n = static_cast<size_t>(WIDTH) * HEIGHT;
  f.height.resize(n);
  f.moisture.resize(n);
  f.clouds.resize(n);
  f.iceEdge.resize(n);
  f.ranges.resize(n);
  for (int y = 0; y < HEIGHT; ++y) {
    for (int x = 0; x < WIDTH; ++x) {
      const size_t i = static_cast<size_t>(y) * WIDTH + x;
      float p[3];
      spherePoint(static_cast<float>(x), static_cast<float>(y), p);
      const float qx = p[0] * 1.5f + warp[0].at(x, y) * 0.55f;
      const float qy = p[1] * 1.5f + warp[1].at(x, y) * 0.55f;
      const float qz = p[2] * 1.5f + warp[2].at(x, y) * 0.55f;
      f.height[i] = fbm(qx, qy, qz, 7, 14, 2.0f, 0.52f);
      f.moisture[i] = moisture.at(x, y);
      f.iceEdge[i] = iceEdge.at(x, y);
      f.ranges[i] = ranges.at(x, y);
      f.clouds[i] = clouds.at(x, y);
    }
  }
  return f;
}

// The height below which a pixel is sea, so that LAND_SHARE of the surface
// (weighted by area, cos latitude) is land.
float seaLevel(const std::vector<float>& height) {
  const int BINS = 4096;
  std::vector<double> weight(BINS, 0.0);
  double total = 0.0;
  for (int y = 0; y < HEIGHT; ++y) {
    const double area = std::cos(latitudeOf(static_cast<float>(y)));
    for (int x = 0; x < WIDTH; ++x) {
      const float h = datagen::clamp01(height[static_cast<size_t>(y) * WIDTH + x] * 0.5f + 0.5f);
      weight[std::min(BINS - 1, static_cast<int>(h * BINS))] += area;
      total += area;
    }
  }
  double below = 0.0;
  for (int b = 0; b < BINS; ++b) {
    below += weight[b];
    if (below >= total * (1.0 - LAND_SHARE)) return (static_cast<float>(b + 1) / BINS) * 2 - 1;
  }
  return 1.0f;
}

// Land colour from temperature (1 at the equator, 0 at the poles, lower on
// mountains), moisture (about -0.5 to 0.5) and elevation (0 to 1). The belts
// blend into each other from the cold end to the hot end.
Rgb landColour(float temperature, float moisture, float elevation) {
  using datagen::smoothstep;
  const float t = temperature, m = moisture;
  Rgb c = blend(TUNDRA, CONIFER, smoothstep(0.18f, 0.28f, t));
  const Rgb temperate = blend(SAVANNA, FOREST, smoothstep(-0.3f, 0.0f, m));
  c = blend(c, temperate, smoothstep(0.36f, 0.46f, t));
  // The subtropical desert belt, green where the rain reaches.
  Rgb subtropical = blend(SAND, SAVANNA, smoothstep(-0.15f, 0.1f, m));
  subtropical = blend(subtropical, FOREST, smoothstep(0.2f, 0.4f, m));
  c = blend(c, subtropical, smoothstep(0.58f, 0.66f, t));
  const Rgb tropical = blend(SAVANNA, JUNGLE, smoothstep(-0.3f, 0.0f, m));
  c = blend(c, tropical, smoothstep(0.78f, 0.86f, t));
  // Mountains turn to rock, their peaks to snow.
  c = blend(c, ROCK, smoothstep(0.5f, 0.75f, elevation));
  return blend(c, ICE, smoothstep(0.86f, 0.95f, elevation + (0.5f - t) * 0.2f));
}

bool makeEarth(const std::string& root) {
  const std::string dir = root + "/textures";
  if (!datagen::makeDirs(dir)) return false;
  const Fields f = computeFields();
  const float sea = seaLevel(f.height);
  datagen::Image image(WIDTH, HEIGHT);
  for (int y = 0; y < HEIGHT; ++y) {
    const float lat = latitudeOf(static_cast<float>(y));
    const float latDeg = std::fabs(lat) * 180.0f / PI;
    for (int x = 0; x < WIDTH; ++x) {
      const size_t i = static_cast<size_t>(y) * WIDTH + x;
      const float h = f.height[i] - sea;
      // Ice reaches further over land than over the sea.
      const float iceLine = (h < 0.0f ? 79.0f : 73.0f) + 12.0f * f.iceEdge[i];
      Rgb c;
      if (h < 0.0f) {
        c = blend(DEEP_SEA, SHALLOW_SEA, std::exp(h * 22.0f));
      } else {
        // Ranges rise inland, away from the coasts.
        const float elevation =
            datagen::clamp01(h * 1.6f + f.ranges[i] * datagen::smoothstep(0.02f, 0.25f, h) * 0.8f);
        const float temperature = 1.0f - latDeg / 90.0f - elevation * 0.3f + 0.1f * f.iceEdge[i];
        c = landColour(temperature, f.moisture[i], elevation);
        // Light from the north-west over the relief.
        const size_t east = static_cast<size_t>(y) * WIDTH + (x + 1) % WIDTH;
        const size_t south = static_cast<size_t>(std::min(HEIGHT - 1, y + 1)) * WIDTH + x;
        const float slope = (f.height[i] - f.height[east]) + (f.height[i] - f.height[south]);
        c = scale(c, datagen::clamp01(1.0f + slope * 18.0f) * 0.35f + 0.75f);
      }
      // Ice caps over land and sea towards the poles.
      const Rgb ice = scale(ICE, 0.9f + 0.1f * datagen::clamp01(f.iceEdge[i] * 3.0f + 0.5f));
      c = blend(c, ice, datagen::smoothstep(iceLine - 1.5f, iceLine + 1.5f, latDeg));
      c = blend(c, CLOUD, f.clouds[i]);
      image.set(x, y, c.r, c.g, c.b);
    }
  }
  return datagen::writeJpeg(dir + "/earth.jpg", image, 90);
}

}  // namespace

REGISTER_PRODUCT("earth", makeEarth);

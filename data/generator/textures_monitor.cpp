// The monitor's inside: a 512 x 512 JPEG of a CRT monitor seen from within.
// The tube's funnel with its copper deflection yoke reaches in from the top
// left (the screen side), a red anode lead runs from it to the flyback
// transformer, and the rest is a dark green circuit board with traces, chips,
// capacitors, a heat sink and a bundle of cables. Warm light from the screen
// side fades into shadow towards the bottom right.
//
// The picture is modelled as a small relief (colour, height, gloss per pixel),
// lit with shadows, at twice the size and filtered down. The screen scene puts
// texture row t = 1 at the top of each wall and DevIL hands a JPEG's top row to
// GL first, so the file is written upside down to stand upright in the box.
#include <algorithm>
#include <cmath>
#include <vector>

#include "image_io.h"
#include "noise.h"
#include "registry.h"

namespace {

const int SIZE = 512;
const int SCALE = 2;  // supersampling
const int N = SIZE * SCALE;

struct Rgb {
  float r, g, b;
};
Rgb operator*(Rgb a, float k) { return {a.r * k, a.g * k, a.b * k}; }
Rgb operator+(Rgb a, Rgb b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
Rgb mixRgb(Rgb a, Rgb b, float t) { return a * (1.0f - t) + b * t; }

const Rgb BOARD = {0.035f, 0.17f, 0.075f};
const Rgb TRACE = {0.09f, 0.38f, 0.15f};
const Rgb SOLDER = {0.62f, 0.63f, 0.62f};
const Rgb COPPER = {0.78f, 0.42f, 0.18f};
const Rgb EPOXY = {0.035f, 0.035f, 0.04f};
const Rgb GLASS = {0.045f, 0.048f, 0.05f};
const Rgb ALUMINIUM = {0.55f, 0.56f, 0.58f};

// The relief: colour, height (in picture pixels) and gloss per sample.
struct Relief {
  std::vector<Rgb> colour = std::vector<Rgb>(N * N, BOARD);
  std::vector<float> height = std::vector<float>(N * N, 0.0f);
  std::vector<float> gloss = std::vector<float>(N * N, 0.15f);

  // Calls fn(index, x, y) for the samples inside a box given in picture
  // pixels; x and y are the sample's position in picture pixels.
  template <typename Fn>
  void forBox(float x0, float y0, float x1, float y1, Fn fn) {
    const int i0 = std::max(0, static_cast<int>(std::floor(x0 * SCALE)));
    const int i1 = std::min(N - 1, static_cast<int>(std::ceil(x1 * SCALE)));
    const int j0 = std::max(0, static_cast<int>(std::floor(y0 * SCALE)));
    const int j1 = std::min(N - 1, static_cast<int>(std::ceil(y1 * SCALE)));
    for (int j = j0; j <= j1; ++j) {
      for (int i = i0; i <= i1; ++i) {
        fn(static_cast<size_t>(j) * N + i, (i + 0.5f) / SCALE, (j + 0.5f) / SCALE);
      }
    }
  }

  // Paints with coverage a (0..1): colour and gloss blend, height blends too.
  void paint(size_t k, float a, Rgb c, float h, float g) {
    if (a <= 0.0f) return;
    colour[k] = mixRgb(colour[k], c, a);
    height[k] = datagen::mix(height[k], h, a);
    gloss[k] = datagen::mix(gloss[k], g, a);
  }
};

// Coverage of a shape from its signed distance (negative inside), with a
// one-sample soft edge.
float coverage(float distance) { return datagen::clamp01(0.5f - distance * SCALE); }

float roundedBoxDistance(float x, float y, float cx, float cy, float hw, float hh, float r) {
  const float qx = std::fabs(x - cx) - hw + r, qy = std::fabs(y - cy) - hh + r;
  const float ox = std::max(qx, 0.0f), oy = std::max(qy, 0.0f);
  return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0f) - r;
}

float segmentDistance(float x, float y, float ax, float ay, float bx, float by) {
  const float dx = bx - ax, dy = by - ay, len2 = dx * dx + dy * dy;
  const float t = len2 > 0.0f ? datagen::clamp01(((x - ax) * dx + (y - ay) * dy) / len2) : 0.0f;
  const float ex = x - ax - dx * t, ey = y - ay - dy * t;
  return std::sqrt(ex * ex + ey * ey);
}

// A box with bevelled top edges (chips, transformer bodies, heat sink fins).
void block(Relief& board, float cx, float cy, float hw, float hh, float height, Rgb c, float gloss,
           float bevel = 1.5f) {
  board.forBox(cx - hw - 1, cy - hh - 1, cx + hw + 1, cy + hh + 1, [&](size_t k, float x, float y) {
    const float d = roundedBoxDistance(x, y, cx, cy, hw, hh, 1.0f);
    const float h = height * datagen::smoothstep(0.0f, bevel, -d);
    board.paint(k, coverage(d), c, h, gloss);
  });
}

// A flat strip or dot lying on the board: traces, pads, markings.
void strip(Relief& board, float ax, float ay, float bx, float by, float width, Rgb c, float height,
           float gloss) {
  const float r = width * 0.5f;
  board.forBox(std::min(ax, bx) - r - 1, std::min(ay, by) - r - 1, std::max(ax, bx) + r + 1,
               std::max(ay, by) + r + 1, [&](size_t k, float x, float y) {
                 const float d = segmentDistance(x, y, ax, ay, bx, by) - r;
                 board.paint(k, coverage(d), c, board.height[k] + height, gloss);
               });
}

// A round tube along a polyline (cables, wires), merged with what is below by
// height, so crossing cables pass over each other.
void tube(Relief& board, const std::vector<float>& pts, float radius, float lift, Rgb c,
          float gloss) {
  // Segment by segment: the highest surface wins, which is the one of the
  // nearest segment, so the joints come out round.
  for (size_t i = 0; i + 3 < pts.size(); i += 2) {
    const float ax = pts[i], ay = pts[i + 1], bx = pts[i + 2], by = pts[i + 3];
    board.forBox(std::min(ax, bx) - radius - 1, std::min(ay, by) - radius - 1,
                 std::max(ax, bx) + radius + 1, std::max(ay, by) + radius + 1,
                 [&](size_t k, float x, float y) {
                   const float d = segmentDistance(x, y, ax, ay, bx, by);
                   if (d > radius + 0.5f) return;
                   const float u = std::min(d / radius, 1.0f);
                   const float h = lift + radius * std::sqrt(1.0f - u * u);
                   if (h < board.height[k]) return;
                   board.paint(k, coverage(d - radius), c, h, gloss);
                 });
  }
}

// A smooth curve through control points (Catmull-Rom), as a polyline.
std::vector<float> curve(const std::vector<float>& ctrl, int stepsPerSpan = 16) {
  std::vector<float> out;
  const int n = static_cast<int>(ctrl.size() / 2);
  for (int s = 0; s + 1 < n; ++s) {
    for (int i = 0; i < stepsPerSpan; ++i) {
      const float t = static_cast<float>(i) / stepsPerSpan;
      for (int c = 0; c < 2; ++c) {
        const float p0 = ctrl[std::max(0, s - 1) * 2 + c], p1 = ctrl[s * 2 + c];
        const float p2 = ctrl[(s + 1) * 2 + c], p3 = ctrl[std::min(n - 1, s + 2) * 2 + c];
        out.push_back(0.5f * (2 * p1 + (-p0 + p2) * t + (2 * p0 - 5 * p1 + 4 * p2 - p3) * t * t +
                              (-p0 + 3 * p1 - 3 * p2 + p3) * t * t * t));
      }
    }
  }
  out.push_back(ctrl[ctrl.size() - 2]);
  out.push_back(ctrl[ctrl.size() - 1]);
  return out;
}

// An upright capacitor seen from above: the rolled edge of its coloured
// sleeve with a printed stripe, and a silver top with the pressed vent cross.
void capacitor(Relief& board, float cx, float cy, float r, float height, Rgb sleeve) {
  const float top = r * 0.64f;
  board.forBox(cx - r - 1, cy - r - 1, cx + r + 1, cy + r + 1, [&](size_t k, float x, float y) {
    const float dx = x - cx, dy = y - cy, d = std::sqrt(dx * dx + dy * dy);
    Rgb c;
    float h, gloss;
    if (d < top) {
      const bool vent = std::min(std::fabs(dx), std::fabs(dy)) < r * 0.05f && d < top * 0.8f;
      c = SOLDER * (vent ? 0.5f : 1.0f);
      h = height - 1.5f - (vent ? 0.8f : 0.0f);
      gloss = 0.6f;
    } else {
      // The rolled edge: a half-round bead from the top's rim to the side.
      const float u = (d - top) / (r - top) * 2.0f - 1.0f;
      h = height - 2.0f + 2.5f * std::sqrt(std::max(0.0f, 1.0f - u * u)) - 4.0f * std::max(0.0f, u);
      const bool stripe = dx > 0.0f && std::fabs(dy) < r * 0.3f;
      c = stripe ? Rgb{0.7f, 0.72f, 0.72f} : sleeve;
      gloss = 0.35f;
    }
    board.paint(k, coverage(d - r), c, h, gloss);
  });
}

// A chip with pins along its long sides and a faint printed label.
void chip(Relief& board, float cx, float cy, float hw, float hh, int pins) {
  const float pitch = (2 * hw - 4) / std::max(1, pins - 1);
  for (int i = 0; i < pins; ++i) {
    const float px = cx - hw + 2 + pitch * i;
    strip(board, px, cy - hh - 3.5f, px, cy + hh + 3.5f, 1.6f, SOLDER, 1.0f, 0.6f);
  }
  block(board, cx, cy, hw, hh, 5.0f, EPOXY, 0.25f);
  const Rgb ink = {0.32f, 0.32f, 0.3f};
  strip(board, cx - hw * 0.6f, cy - hh * 0.25f, cx + hw * 0.4f, cy - hh * 0.25f, 1.2f, ink, 0.0f,
        0.1f);
  strip(board, cx - hw * 0.6f, cy + hh * 0.2f, cx + hw * 0.1f, cy + hh * 0.2f, 1.0f, ink, 0.0f,
        0.1f);
  strip(board, cx - hw + 3, cy - hh + 3, cx - hw + 3, cy - hh + 3, 1.6f, ink, -0.3f, 0.1f);
}

// A resistor lying on the board, with colour bands.
void resistor(Relief& board, float x, float y, bool vertical, uint32_t seed) {
  const float dx = vertical ? 0.0f : 1.0f, dy = vertical ? 1.0f : 0.0f;
  strip(board, x - dx * 11, y - dy * 11, x + dx * 11, y + dy * 11, 1.2f, SOLDER, 0.8f, 0.6f);
  tube(board, {x - dx * 6, y - dy * 6, x + dx * 6, y + dy * 6}, 2.6f, 0.0f, {0.70f, 0.60f, 0.42f},
       0.3f);
  const Rgb bands[] = {{0.35f, 0.18f, 0.08f}, {0.75f, 0.1f, 0.08f}, {0.9f, 0.45f, 0.05f},
                       {0.85f, 0.75f, 0.1f},  {0.1f, 0.1f, 0.1f},   {0.7f, 0.58f, 0.2f}};
  for (int b = 0; b < 3; ++b) {
    const Rgb c = bands[datagen::hash3(b, 0, 0, seed) % 6];
    const float o = -3.5f + b * 2.6f;
    tube(board, {x + dx * o, y + dy * o, x + dx * (o + 1.1f), y + dy * (o + 1.1f)}, 2.75f, 0.0f, c,
         0.3f);
  }
}

// The tube: funnel glass from the top left corner, its neck towards the
// board, the copper deflection yoke where they meet.
void tubeAndYoke(Relief& board) {
  // Along the tube's axis, from the neck (0) towards the screen (1).
  const float ax = -0.7071f, ay = -0.7071f, neckX = 175.0f, neckY = 175.0f, length = 330.0f;
  // The funnel: round in section, flaring from the neck to the screen.
  board.forBox(0, 0, 240, 240, [&](size_t k, float x, float y) {
    const float t = ((x - neckX) * ax + (y - neckY) * ay) / length;
    const float across = std::fabs(-(x - neckX) * ay + (y - neckY) * ax);
    if (t < -0.05f) return;
    const float radius = 30.0f + 250.0f * std::pow(datagen::clamp01(t), 1.3f);
    const float d = std::max(across - radius, -t * length);
    if (d > 1.0f) return;
    const float u = datagen::clamp01(across / radius);
    const float h = 40.0f + radius * 0.45f * std::sqrt(1.0f - u * u);
    // The graphite coating, a little mottled.
    const float mottle = 0.85f + 0.3f * datagen::valueNoise(x * 0.08f, y * 0.08f, 31);
    board.paint(k, coverage(d), GLASS * mottle, h, 0.9f);
  });
  // The anode cap: a rubber cup on the funnel where the red lead ends.
  board.forBox(138, 40, 182, 84, [&](size_t k, float x, float y) {
    const float d = std::hypot(x - 160.0f, y - 62.0f);
    const float u = datagen::clamp01(d / 20.0f);
    board.paint(k, coverage(d - 20.0f), {0.09f, 0.09f, 0.1f},
                board.height[k] + 9.0f * (1.0f - u * u), 0.5f);
  });
  // The neck runs down and to the right into its socket board.
  tube(board, {150.0f, 150.0f, 262.0f, 262.0f}, 17.0f, 32.0f, {0.12f, 0.13f, 0.14f}, 0.95f);
  board.forBox(238, 238, 298, 298, [&](size_t k, float x, float y) {
    const float d = std::hypot(x - 268.0f, y - 268.0f);
    const float a = std::atan2(y - 268.0f, x - 268.0f);
    const bool pad = std::fabs(d - 21.0f) < 2.2f && std::fabs(std::sin(a * 6.0f)) < 0.3f;
    board.paint(k, coverage(d - 28.0f), pad ? SOLDER : BOARD * 1.6f, 50.0f + (pad ? 0.8f : 0.0f),
                pad ? 0.6f : 0.2f);
  });
  for (int w = 0; w < 3; ++w) {
    const Rgb c = w == 1 ? Rgb{0.8f, 0.78f, 0.7f} : Rgb{0.1f, 0.1f, 0.1f};
    tube(board,
         curve({268.0f + w * 6, 280.0f, 275.0f + w * 8, 310.0f, 300.0f + w * 10, 330.0f,
                330.0f + w * 8, 340.0f}),
         2.2f, 8.0f, c, 0.5f);
  }
  // The yoke: many turns of copper wire around the neck.
  board.forBox(118, 118, 222, 222, [&](size_t k, float x, float y) {
    const float along = (x - 170.0f) * -ax + (y - 170.0f) * -ay;
    const float across = (x - 170.0f) * ay - (y - 170.0f) * ax;
    const float halfWidth = 48.0f - along * 0.35f;
    const float d = std::max(std::fabs(along) - 20.0f, std::fabs(across) - halfWidth);
    if (d > 1.0f) return;
    const float u = datagen::clamp01(std::fabs(across) / halfWidth);
    const float turns = 0.75f + 0.25f * std::sin(along * 2.4f);
    const float h = 70.0f + 40.0f * std::sqrt(1.0f - u * u) + turns;
    board.paint(k, coverage(d), COPPER * turns, h, 0.8f);
  });
  // A plastic clamp ring at the yoke's back.
  const float bx = 170.0f - 24 * ax, by = 170.0f - 24 * ay;
  tube(board, {bx - 44 * ay, by + 44 * ax, bx + 44 * ay, by - 44 * ax}, 4.0f, 98.0f,
       {0.12f, 0.12f, 0.12f}, 0.4f);
}

// Traces: straight runs with 45-degree bends between random board points,
// each ending in a pad.
void traces(Relief& board) {
  datagen::Rng rng(77);
  for (int i = 0; i < 90; ++i) {
    float x = rng.range(20, 500), y = rng.range(20, 500);
    if (x + y < 330) continue;  // under the tube
    const float width = rng.uniform() < 0.2f ? 3.5f : 1.8f;
    int dir = rng.below(8);
    const int legs = 2 + rng.below(3);
    strip(board, x, y, x, y, width + 3.0f, SOLDER, 0.6f, 0.6f);
    for (int l = 0; l < legs; ++l) {
      const float len = rng.range(20, 90);
      const float ang = dir * 0.785398f;
      const float nx = x + std::cos(ang) * len, ny = y + std::sin(ang) * len;
      strip(board, x, y, nx, ny, width, TRACE, 0.35f, 0.3f);
      x = nx, y = ny;
      dir = (dir + (rng.uniform() < 0.5f ? 1 : 7)) % 8;
    }
    strip(board, x, y, x, y, width + 3.0f, SOLDER, 0.6f, 0.6f);
  }
}

void components(Relief& board) {
  // The flyback transformer with its red anode lead up to the funnel.
  block(board, 420, 150, 46, 40, 34.0f, {0.06f, 0.06f, 0.065f}, 0.45f, 6.0f);
  capacitor(board, 420, 150, 26, 44.0f, {0.05f, 0.05f, 0.06f});
  tube(board, curve({420, 150, 380, 80, 300, 40, 220, 45, 165, 60}), 5.5f, 44.0f,
       {0.72f, 0.06f, 0.05f}, 0.6f);
  // Heat sink with a power transistor.
  for (int f = 0; f < 7; ++f)
    block(board, 470, 262 + f * 11.0f, 30, 3.2f, 26.0f, ALUMINIUM, 0.7f, 1.0f);
  block(board, 426, 295, 9, 12, 9.0f, EPOXY, 0.3f);
  // Electrolytic capacitors.
  capacitor(board, 330, 120, 20, 36, {0.08f, 0.16f, 0.45f});
  capacitor(board, 300, 170, 14, 28, {0.08f, 0.16f, 0.45f});
  capacitor(board, 360, 330, 17, 30, {0.05f, 0.05f, 0.06f});
  capacitor(board, 120, 420, 22, 38, {0.08f, 0.16f, 0.45f});
  capacitor(board, 165, 455, 13, 24, {0.3f, 0.12f, 0.05f});
  capacitor(board, 470, 420, 15, 26, {0.05f, 0.05f, 0.06f});
  // Chips.
  chip(board, 300, 400, 30, 12, 9);
  chip(board, 420, 470, 22, 10, 7);
  chip(board, 230, 330, 18, 9, 5);
  // Resistors in small rows.
  for (int i = 0; i < 5; ++i) resistor(board, 222 + i * 9.0f, 420, true, 10 + i);
  for (int i = 0; i < 4; ++i) resistor(board, 380, 380 + i * 10.0f, false, 20 + i);
  for (int i = 0; i < 3; ++i) resistor(board, 60 + i * 9.0f, 330, true, 30 + i);
}

// A bundle of wires along the bottom, tied with cable ties, and a ribbon cable.
void cables(Relief& board) {
  const Rgb wires[] = {{0.75f, 0.08f, 0.06f},
                       {0.08f, 0.08f, 0.09f},
                       {0.85f, 0.72f, 0.12f},
                       {0.1f, 0.2f, 0.6f},
                       {0.8f, 0.8f, 0.78f}};
  for (int w = 0; w < 5; ++w) {
    const float o = (w - 2) * 7.5f;
    tube(board,
         curve({-10, 360 + o, 70, 375 + o * 0.8f, 160, 500 + o * 0.7f, 260, 505 + o * 0.6f, 360,
                440 + o, 520, 410 + o * 1.2f}),
         3.8f, 6.0f + (w % 2) * 2.0f, wires[w], 0.55f);
  }
  for (float t : {0.16f, 0.44f, 0.78f}) {
    const std::vector<float> path =
        curve({-10, 360, 70, 375, 160, 500, 260, 505, 360, 440, 520, 410});
    const size_t i = static_cast<size_t>(t * (path.size() / 2 - 2)) * 2;
    const float dx = path[i + 2] - path[i], dy = path[i + 3] - path[i + 1];
    const float l = std::hypot(dx, dy);
    const float nx = -dy / l * 22, ny = dx / l * 22;
    tube(board, {path[i] - nx, path[i + 1] - ny, path[i] + nx, path[i + 1] + ny}, 2.2f, 14.0f,
         {0.85f, 0.85f, 0.82f}, 0.5f);
  }
  // The ribbon: grey with a red first wire.
  for (int w = 0; w < 14; ++w) {
    const Rgb c = w == 0 ? Rgb{0.6f, 0.1f, 0.08f} : Rgb{0.52f, 0.52f, 0.5f};
    const float o = w * 2.2f;
    tube(board, curve({330 + o, 520, 335 + o, 470, 360 + o, 430, 400 + o, 395}), 1.25f, 2.0f, c,
         0.3f);
  }
}

// Lights the relief: warm light from the top left, fading with distance,
// soft shadows cast along the light, a little cool fill from above.
datagen::Image light(const Relief& board) {
  const float lx = -0.45f, ly = -0.45f, lz = 0.77f;  // towards the light
  const float hx = lx, hy = ly, hz = lz + 1.0f, hl = std::sqrt(hx * hx + hy * hy + hz * hz);
  const float rise = lz / std::sqrt(lx * lx + ly * ly);
  const Rgb warm = {1.0f, 0.76f, 0.50f}, fill = {0.16f, 0.19f, 0.22f};
  std::vector<Rgb> lit(N * N);
  for (int j = 0; j < N; ++j) {
    for (int i = 0; i < N; ++i) {
      const size_t k = static_cast<size_t>(j) * N + i;
      const float h = board.height[k];
      const float hxp =
          board.height[j * N + std::min(N - 1, i + 1)] - board.height[j * N + std::max(0, i - 1)];
      const float hyp =
          board.height[std::min(N - 1, j + 1) * N + i] - board.height[std::max(0, j - 1) * N + i];
      // Normal from the height slope (heights are in picture pixels).
      float nx = -hxp * SCALE * 0.5f, ny = -hyp * SCALE * 0.5f, nz = 1.0f;
      const float nl = std::sqrt(nx * nx + ny * ny + nz * nz);
      nx /= nl, ny /= nl, nz /= nl;
      // Soft shadow: march towards the light over the relief.
      float shadow = 1.0f;
      for (int s = 1; s <= 40 && shadow > 0.0f; ++s) {
        const float dist = s * 3.0f;  // picture pixels
        const int si = i + static_cast<int>(lx / 0.6364f * dist * SCALE);
        const int sj = j + static_cast<int>(ly / 0.6364f * dist * SCALE);
        if (si < 0 || sj < 0) break;
        const float above = h + dist * rise - board.height[static_cast<size_t>(sj) * N + si];
        shadow = std::min(shadow, datagen::clamp01(0.5f + above / (dist * 0.25f + 1.0f)));
      }
      const float x = (i + 0.5f) / SCALE, y = (j + 0.5f) / SCALE;
      const float reach = std::exp(-std::hypot(x + 40.0f, y + 40.0f) / 360.0f) * 2.9f;
      const float diffuse = std::max(0.0f, nx * lx + ny * ly + nz * lz);
      const float spec = std::pow(std::max(0.0f, (nx * hx + ny * hy + nz * hz) / hl), 40.0f);
      const Rgb c = board.colour[k];
      const Rgb direct = Rgb{c.r * warm.r, c.g * warm.g, c.b * warm.b} * (diffuse * reach * shadow);
      const Rgb ambient = Rgb{c.r * fill.r, c.g * fill.g, c.b * fill.b} * (0.6f + 0.4f * nz);
      // Glossy surfaces catch the warm light at their grazing edges too.
      const float rim = (1.0f - nz) * (1.0f - nz) * board.gloss[k] * reach * 0.5f;
      lit[k] = direct + ambient + warm * (spec * board.gloss[k] * reach * shadow * 0.9f + rim);
    }
  }
  datagen::Image image(SIZE, SIZE);
  for (int y = 0; y < SIZE; ++y) {
    for (int x = 0; x < SIZE; ++x) {
      Rgb sum = {0, 0, 0};
      for (int sy = 0; sy < SCALE; ++sy) {
        for (int sx = 0; sx < SCALE; ++sx) sum = sum + lit[(y * SCALE + sy) * N + x * SCALE + sx];
      }
      sum = sum * (1.0f / (SCALE * SCALE));
      // Soft shoulder for the highlights.
      image.set(x, y, 1.0f - std::exp(-1.3f * sum.r), 1.0f - std::exp(-1.3f * sum.g),
                1.0f - std::exp(-1.3f * sum.b));
    }
  }
  return image;
}

bool makeMonitorInside(const std::string& root) {
  const std::string dir = root + "/textures";
  if (!datagen::makeDirs(dir)) return false;
  Relief board;
  // The board's weave shows faintly through the solder mask.
  for (int j = 0; j < N; ++j) {
    for (int i = 0; i < N; ++i) {
      const float n = datagen::fbm(i * 0.01f, j * 0.01f, 4, 5);
      board.colour[static_cast<size_t>(j) * N + i] = BOARD * (1.0f + 0.35f * n);
    }
  }
  traces(board);
  components(board);
  cables(board);
  tubeAndYoke(board);
  datagen::Image image = light(board);
  image.flipRows();  // upright on the walls
  return datagen::writeJpeg(dir + "/monitor-inside.jpg", image, 90);
}

}  // namespace

REGISTER_PRODUCT("monitor-inside", makeMonitorInside);

// The settings dialog's banner (bitmap 113): "Parallaxis" in grey chrome
// lettering with a dark outline and a highlight line, and a dark standing
// figure, on a white ground; 300 x 75, 24-bit BMP.
//
// The product "icon" crops the figure and the first letter out of the same
// picture, painted with that letter alone, into the desktop icons,
// icons/hicolor/NxN/apps/parallaxis.png.
//
// The picture is compiled into the program: besides generated/banner.bmp the
// product writes generated/banner_bmp.h, the same bytes as a C++ array. Both
// are written only when their content changes (through a rename, so two
// generator runs at once cannot tear them), so an unchanged banner rebuilds
// nothing.
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "image_io.h"
#include "registry.h"

namespace {

constexpr int WIDTH = 300;
constexpr int HEIGHT = 75;
constexpr int SS = 4;  // supersampling per axis
constexpr int HI_W = WIDTH * SS;
constexpr int HI_H = HEIGHT * SS;

// Where the lettering sits (output pixels).
constexpr float TEXT_LEFT = 52.0f;
constexpr float TEXT_RIGHT = 294.0f;
constexpr float BASELINE = 53.0f;
constexpr int OUTLINE_RADIUS = 2 * SS;  // dark edge around the letters
constexpr float ICON_LEFT = 3.0f;       // the icon's square: the figure and the "P"
constexpr float ICON_SIDE = 90.0f;

// A coverage mask at SS times the output resolution.
using Mask = std::vector<unsigned char>;

std::string findFont(const char* pattern) {
  std::string path;
  FcConfig* config = FcInitLoadConfigAndFonts();
  FcPattern* pat = FcNameParse(reinterpret_cast<const FcChar8*>(pattern));
  FcConfigSubstitute(config, pat, FcMatchPattern);
  FcDefaultSubstitute(pat);
  FcResult result;
  FcPattern* match = FcFontMatch(config, pat, &result);
  FcChar8* file = nullptr;
  if (match && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch)
    path = reinterpret_cast<const char*>(file);
  if (match) FcPatternDestroy(match);
  FcPatternDestroy(pat);
  FcConfigDestroy(config);
  return path;
}

// Renders the title into a high-resolution mask, scaled so that it fills the
// space right of the figure. False when no font can be loaded.
// Only the first `shown` letters are drawn, where they lie in the whole title.
bool renderTitle(const char* text, size_t shown, Mask* mask, int* capTop) {
  const std::string fontPath = findFont("Liberation Sans:style=Bold Italic");
  FT_Library library;
  if (FT_Init_FreeType(&library)) return false;
  FT_Face face;
  if (fontPath.empty() || FT_New_Face(library, fontPath.c_str(), 0, &face)) {
    std::fprintf(stderr, "banner: no bold sans font (%s)\n", fontPath.c_str());
    FT_Done_FreeType(library);
    return false;
  }
  // Measure at a trial size, then scale to the width available.
  auto advanceOf = [&](int pixels) {
    FT_Set_Pixel_Sizes(face, 0, pixels);
    long pen = 0;
    FT_UInt previous = 0;
    for (const char* c = text; *c; ++c) {
      const FT_UInt glyph = FT_Get_Char_Index(face, static_cast<unsigned char>(*c));
      FT_Vector kern = {0, 0};
      if (previous) FT_Get_Kerning(face, previous, glyph, FT_KERNING_DEFAULT, &kern);
      FT_Load_Glyph(face, glyph, FT_LOAD_DEFAULT);
      pen += kern.x + face->glyph->advance.x;
      previous = glyph;
    }
    return pen / 64.0;
  };
  const int trial = 100 * SS;
  const double width = (TEXT_RIGHT - TEXT_LEFT) * SS;
  const int pixels = static_cast<int>(trial * width / advanceOf(trial));
  const double used = advanceOf(pixels);

  mask->assign(static_cast<size_t>(HI_W) * HI_H, 0);
  long pen = std::lround((TEXT_LEFT * SS + (width - used) / 2) * 64);
  const int baseline = static_cast<int>(BASELINE * SS);
  FT_UInt previous = 0;
  const char* end = text + std::min(shown, std::strlen(text));
  for (const char* c = text; c < end; ++c) {
    const FT_UInt glyph = FT_Get_Char_Index(face, static_cast<unsigned char>(*c));
    FT_Vector kern = {0, 0};
    if (previous) FT_Get_Kerning(face, previous, glyph, FT_KERNING_DEFAULT, &kern);
    pen += kern.x;
    if (FT_Load_Glyph(face, glyph, FT_LOAD_RENDER)) continue;
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bm = slot->bitmap;
    const int left = static_cast<int>(pen / 64) + slot->bitmap_left;
    const int top = baseline - slot->bitmap_top;
    for (unsigned row = 0; row < bm.rows; ++row) {
      for (unsigned col = 0; col < bm.width; ++col) {
        const int x = left + static_cast<int>(col), y = top + static_cast<int>(row);
        if (x < 0 || y < 0 || x >= HI_W || y >= HI_H) continue;
        unsigned char& m = (*mask)[static_cast<size_t>(y) * HI_W + x];
        m = std::max(m, bm.buffer[row * bm.pitch + col]);
      }
    }
    pen += slot->advance.x;
    previous = glyph;
  }
  // The cap height of "P" sets the chrome's gradient.
  FT_Load_Char(face, 'P', FT_LOAD_DEFAULT);
  *capTop = baseline - static_cast<int>(face->glyph->metrics.horiBearingY / 64);
  FT_Done_Face(face);
  FT_Done_FreeType(library);
  return true;
}

// Every mask pixel within radius of a set one.
Mask dilate(const Mask& mask, int radius) {
  Mask out(mask.size(), 0);
  for (int y = 0; y < HI_H; ++y) {
    for (int x = 0; x < HI_W; ++x) {
      if (mask[static_cast<size_t>(y) * HI_W + x] < 128) continue;
      for (int dy = -radius; dy <= radius; ++dy) {
        for (int dx = -radius; dx <= radius; ++dx) {
          if (dx * dx + dy * dy > radius * radius) continue;
          const int u = x + dx, v = y + dy;
          if (u >= 0 && v >= 0 && u < HI_W && v < HI_H)
            out[static_cast<size_t>(v) * HI_W + u] = 255;
        }
      }
    }
  }
  return out;
}

// The share of an output pixel's samples that the mask covers.
float coverage(const Mask& mask, int x, int y) {
  int sum = 0;
  for (int j = 0; j < SS; ++j)
    for (int i = 0; i < SS; ++i) sum += mask[static_cast<size_t>(y * SS + j) * HI_W + x * SS + i];
  return sum / (255.0f * SS * SS);
}

// Chrome: a bright sky fading down to a dark horizon with a white highlight
// line on it, then the ground reflection brightening again; u is 0 at the
// cap line and 1 at the baseline.
float chrome(float u) {
  if (u < 0.48f) return 0.93f - 0.40f * (u / 0.48f);
  if (u < 0.53f) return 1.0f;
  if (u < 0.58f) return 0.30f;
  return 0.30f + 0.50f * std::min(1.0f, (u - 0.58f) / 0.42f);
}

float segmentDistance(float px, float py, float ax, float ay, float bx, float by, float* t) {
  const float vx = bx - ax, vy = by - ay;
  *t = std::clamp(((px - ax) * vx + (py - ay) * vy) / (vx * vx + vy * vy), 0.0f, 1.0f);
  return std::hypot(px - ax - vx * *t, py - ay - vy * *t);
}

// A limb from a to b whose thickness goes from ra to rb; negative inside.
float limb(float px, float py, float ax, float ay, float ra, float bx, float by, float rb) {
  float t;
  const float d = segmentDistance(px, py, ax, ay, bx, by, &t);
  return d - (ra + (rb - ra) * t);
}

// A person standing at ease, about 66 pixels tall, feet at y = 71.
float figure(float x, float y) {
  const float cx = 26.0f;
  float d = std::hypot(x - cx, y - 11.5f) - 5.6f;                               // head
  d = std::min(d, limb(x, y, cx, 15.0f, 2.2f, cx, 20.0f, 2.6f));                // neck
  d = std::min(d, limb(x, y, cx, 23.5f, 7.6f, cx, 37.0f, 5.6f));                // chest
  d = std::min(d, limb(x, y, cx, 36.0f, 5.4f, cx, 42.0f, 6.2f));                // hips
  d = std::min(d, limb(x, y, cx - 7.6f, 22.5f, 2.8f, cx - 9.6f, 35.0f, 2.3f));  // upper arms
  d = std::min(d, limb(x, y, cx + 7.6f, 22.5f, 2.8f, cx + 9.6f, 35.0f, 2.3f));
  d = std::min(d, limb(x, y, cx - 9.6f, 35.0f, 2.3f, cx - 10.2f, 45.5f, 1.9f));  // forearms
  d = std::min(d, limb(x, y, cx + 9.6f, 35.0f, 2.3f, cx + 10.2f, 45.5f, 1.9f));
  d = std::min(d, limb(x, y, cx - 3.0f, 42.0f, 3.6f, cx - 3.6f, 56.0f, 2.8f));  // thighs
  d = std::min(d, limb(x, y, cx + 3.0f, 42.0f, 3.6f, cx + 3.6f, 56.0f, 2.8f));
  d = std::min(d, limb(x, y, cx - 3.6f, 56.0f, 2.6f, cx - 3.8f, 68.5f, 2.0f));  // shins
  d = std::min(d, limb(x, y, cx + 3.6f, 56.0f, 2.6f, cx + 3.8f, 68.5f, 2.0f));
  d = std::min(d, limb(x, y, cx - 4.6f, 69.8f, 1.6f, cx - 8.2f, 70.0f, 1.4f));  // feet
  d = std::min(d, limb(x, y, cx + 4.6f, 69.8f, 1.6f, cx + 8.2f, 70.0f, 1.4f));
  return d;
}

float figureCoverage(int x, int y) {
  int inside = 0;
  for (int j = 0; j < SS; ++j)
    for (int i = 0; i < SS; ++i) inside += figure(x + (i + 0.5f) / SS, y + (j + 0.5f) / SS) < 0.0f;
  return inside / float(SS * SS);
}

// A soft grey ellipse the figure stands on.
float groundShadow(int x, int y) {
  const float u = (x + 0.5f - 26.0f) / 15.0f, v = (y + 0.5f - 71.0f) / 2.2f;
  return std::max(0.0f, 1.0f - (u * u + v * v));
}

float mix(float a, float b, float t) { return a + (b - a) * t; }

std::vector<char> readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

// Writes the bytes unless the file already holds them; the file is replaced
// whole (temporary file, then rename).
bool writeIfChanged(const std::string& path, const std::string& bytes) {
  const std::vector<char> old = readFile(path);
  if (old.size() == bytes.size() && std::equal(old.begin(), old.end(), bytes.begin())) return true;
  const std::string temp = path + "." + std::to_string(getpid()) + ".tmp";
  {
    std::ofstream out(temp, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
      std::fprintf(stderr, "banner: cannot write %s\n", temp.c_str());
      return false;
    }
  }
  if (std::rename(temp.c_str(), path.c_str()) != 0) {
    std::perror(("banner: cannot replace " + path).c_str());
    std::remove(temp.c_str());
    return false;
  }
  return true;
}

std::string headerFor(const std::vector<char>& bmp) {
  std::string out =
      "// Generated by datagen (product \"banner\", data/generator/banner.cpp): the\n"
      "// settings dialog's banner as a 24-bit BMP file. Do not edit.\n"
      "#pragma once\n\n"
      "constexpr unsigned char BANNER_BMP[] = {\n";
  char hex[8];
  for (size_t i = 0; i < bmp.size(); ++i) {
    std::snprintf(hex, sizeof hex, "0x%02x,", static_cast<unsigned char>(bmp[i]));
    out += hex;
    out += (i % 16 == 15) ? "\n" : "";
  }
  out += "\n};\n";
  return out;
}

datagen::Image paintBanner(const Mask& letters, int capTop) {
  const Mask outline = dilate(letters, OUTLINE_RADIUS);
  datagen::Image image(WIDTH, HEIGHT, 3);
  const float capTopPx = capTop / float(SS), baselinePx = BASELINE;
  for (int y = 0; y < HEIGHT; ++y) {
    for (int x = 0; x < WIDTH; ++x) {
      float grey = 1.0f;
      grey = mix(grey, 0.78f, groundShadow(x, y));
      // The lettering's shadow: the outlined letters moved down and right.
      const float shadow = (x >= 3 && y >= 3) ? coverage(outline, x - 3, y - 3) : 0.0f;
      grey = mix(grey, 0.82f, shadow);
      grey = mix(grey, 0.09f, coverage(outline, x, y));
      const float u = (y + 0.5f - capTopPx) / (baselinePx - capTopPx);
      float r = grey, g = grey, b = grey;
      const float fill = coverage(letters, x, y);
      const float c = chrome(std::clamp(u, 0.0f, 1.0f));
      // A faint cool tint keeps the metal from looking like paper.
      r = mix(r, c * 0.97f, fill);
      g = mix(g, c * 0.98f, fill);
      b = mix(b, std::min(1.0f, c * 1.03f), fill);
      const float person = figureCoverage(x, y);
      r = mix(r, 0.10f, person);
      g = mix(g, 0.10f, person);
      b = mix(b, 0.13f, person);
      image.set(x, y, r, g, b);
    }
  }
  return image;
}

bool makeBanner(const std::string& root) {
  const std::string dir = root + "/generated";
  if (!datagen::makeDirs(dir)) {
    std::fprintf(stderr, "banner: cannot create %s\n", dir.c_str());
    return false;
  }
  Mask letters;
  int capTop = 0;
  if (!renderTitle("Parallaxis", std::string::npos, &letters, &capTop)) return false;
  const datagen::Image image = paintBanner(letters, capTop);

  const std::string temp = dir + "/banner." + std::to_string(getpid()) + ".bmp";
  if (!datagen::writeBmp(temp, image)) return false;
  const std::vector<char> bmp = readFile(temp);
  std::remove(temp.c_str());
  return writeIfChanged(dir + "/banner.bmp", std::string(bmp.begin(), bmp.end())) &&
         writeIfChanged(dir + "/banner_bmp.h", headerFor(bmp));
}

// The banner's square of the given side from column `left`, centred on it
// vertically (white beyond its edges), resampled to size x size: each output
// pixel averages a 4 x 4 grid of bilinear samples.
datagen::Image squareCrop(const datagen::Image& banner, float left, float side, int size) {
  datagen::Image icon(size, size, 3);
  const float above = (banner.height - side) / 2;
  auto texel = [&](float x, float y, int c) {
    if (y < -0.5f || y > banner.height - 0.5f) return 1.0f;
    const int x0 = std::clamp(static_cast<int>(std::floor(x)), 0, banner.width - 1);
    const int y0 = std::clamp(static_cast<int>(std::floor(y)), 0, banner.height - 1);
    const int x1 = std::min(x0 + 1, banner.width - 1), y1 = std::min(y0 + 1, banner.height - 1);
    const float fx = std::clamp(x - x0, 0.0f, 1.0f), fy = std::clamp(y - y0, 0.0f, 1.0f);
    const float top = mix(banner.at(x0, y0)[c], banner.at(x1, y0)[c], fx);
    const float bottom = mix(banner.at(x0, y1)[c], banner.at(x1, y1)[c], fx);
    return mix(top, bottom, fy) / 255.0f;
  };
  const float scale = side / size;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      float rgb[3] = {0, 0, 0};
      for (int j = 0; j < 4; ++j)
        for (int i = 0; i < 4; ++i)
          for (int c = 0; c < 3; ++c)
            rgb[c] += texel(left + (x + (i + 0.5f) / 4) * scale - 0.5f,
                            above + (y + (j + 0.5f) / 4) * scale - 0.5f, c) /
                      16.0f;
      icon.set(x, y, rgb[0], rgb[1], rgb[2]);
    }
  }
  return icon;
}

bool makeIcons(const std::string& root) {
  Mask letters;
  int capTop = 0;
  if (!renderTitle("Parallaxis", 1, &letters, &capTop)) return false;
  const datagen::Image banner = paintBanner(letters, capTop);
  for (int size : {16, 32, 48, 64, 128, 256}) {
    const std::string name = std::to_string(size) + "x" + std::to_string(size);
    const std::string dir = root + "/icons/hicolor/" + name + "/apps";
    if (!datagen::makeDirs(dir)) {
      std::fprintf(stderr, "icon: cannot create %s\n", dir.c_str());
      return false;
    }
    if (!datagen::writePng(dir + "/parallaxis.png", squareCrop(banner, ICON_LEFT, ICON_SIDE, size)))
      return false;
  }
  return true;
}

}  // namespace

REGISTER_PRODUCT("banner", makeBanner);
REGISTER_PRODUCT("icon", makeIcons);

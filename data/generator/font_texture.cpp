// textures/font.bmp: the textured font, a 16 x 16 grid of 32-pixel cells,
// white glyphs on black. Cell k holds code k + 32 of set 0 (k < 128) or code
// k - 96 of set 1: set 0 a bold sans with rounded corners, set 1 the regular
// weight drawn as an outline. The program advances the pen by 10/16 of a
// cell, so every glyph is centred in its cell and kept within the middle
// 20 pixels; glyphs share one baseline. Codes 127 and up are left empty.
//
// Glyphs are rendered by FreeType at four times the final size, shaped with
// a distance transform and averaged down, which gives clean antialiased edges.
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "image_io.h"
#include "registry.h"

namespace datagen {
namespace {

constexpr int GRID = 16;
constexpr int CELL = 32;               // pixels per cell side
constexpr int SS = 4;                  // supersampling per pixel side
constexpr int BIG = CELL * SS;         // supersampled cell side
constexpr float BASELINE = 23.5f;      // pixels from the cell top
constexpr float MARGIN = 1.5f;         // clear rows at the cell's top and bottom
constexpr float EM = 28.0f;            // pixels per em
constexpr float ROUNDING = 1.0f;       // corner radius of set 0, pixels
constexpr float BOLD_INK = 19.0f;      // widest ink of set 0, pixels
constexpr float OUTLINE_INK = 16.0f;   // widest glyph of set 1 before its outline
constexpr float OUTLINE_WIDTH = 1.4f;  // set 1 outline, pixels outside the glyph
constexpr float OUTLINE_FILL = 0.22f;  // brightness of set 1's glyph body
constexpr float FAR = 1e9f;

// A supersampled cell: one value per sub-pixel, row 0 at the top.
using Field = std::vector<float>;

// Exact squared Euclidean distance transform along one line (Felzenszwalb
// and Huttenlocher): f holds 0 at sites, FAR elsewhere.
void distance1d(const float* f, float* d, int n, int stride) {
  std::vector<int> v(n);
  std::vector<float> z(n + 1);
  int k = 0;
  v[0] = 0;
  z[0] = -FAR;
  z[1] = FAR;
  auto meet = [&](int q, int p) {
    return ((f[q * stride] + q * q) - (f[p * stride] + p * p)) / (2.0f * (q - p));
  };
  for (int q = 1; q < n; ++q) {
    float s = meet(q, v[k]);
    while (s <= z[k] && k > 0) s = meet(q, v[--k]);
    ++k;
    v[k] = q;
    z[k] = s;
    z[k + 1] = FAR;
  }
  k = 0;
  for (int q = 0; q < n; ++q) {
    while (z[k + 1] < q) ++k;
    const int p = v[k];
    d[q * stride] = (q - p) * (q - p) + f[p * stride];
  }
}

// Distance in sub-pixels from each sub-pixel to the nearest one where
// inside(value) holds.
template <typename Pred>
Field distanceTo(const Field& field, Pred inside) {
  Field f(BIG * BIG), tmp(BIG * BIG);
  for (int i = 0; i < BIG * BIG; ++i) f[i] = inside(field[i]) ? 0.0f : FAR;
  for (int x = 0; x < BIG; ++x) distance1d(&f[x], &tmp[x], BIG, BIG);
  for (int y = 0; y < BIG; ++y) distance1d(&tmp[y * BIG], &f[y * BIG], BIG, 1);
  for (float& v : f) v = std::sqrt(v);
  return f;
}

// Renders one glyph's coverage into a supersampled cell, centred, on the
// baseline, squeezed sideways when its ink is wider than maxInk pixels and
// kept margin pixels clear of the cell's top and bottom (tall marks are
// squeezed, low or high ones moved). False when the font has no such glyph.
bool renderGlyph(FT_Face face, unsigned long code, float maxInk, float margin, Field* cell) {
  if (FT_Get_Char_Index(face, code) == 0) return false;
  if (FT_Load_Char(face, code, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING) != 0) return false;
  FT_BBox box;
  FT_Outline_Get_CBox(&face->glyph->outline, &box);
  const float pixelsPerUnit = EM / face->units_per_EM;
  const float inkWidth = (box.xMax - box.xMin) * pixelsPerUnit;
  const float inkHeight = (box.yMax - box.yMin) * pixelsPerUnit;
  const float roomHeight = CELL - 2.0f * margin - 1.0f;
  const float sx = inkWidth > maxInk ? maxInk / inkWidth : 1.0f;
  const float sy = inkHeight > roomHeight ? roomHeight / inkHeight : 1.0f;
  FT_Matrix m = {static_cast<FT_Fixed>(sx * 65536.0f), 0, 0, static_cast<FT_Fixed>(sy * 65536.0f)};
  FT_Set_Transform(face, &m, nullptr);
  FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(EM * SS));
  const bool rendered = FT_Load_Char(face, code, FT_LOAD_RENDER | FT_LOAD_NO_HINTING) == 0;
  FT_Set_Transform(face, nullptr, nullptr);
  if (!rendered) return false;

  const FT_Bitmap& bm = face->glyph->bitmap;
  const int rows = static_cast<int>(bm.rows);
  const int left = BIG / 2 - static_cast<int>(bm.width) / 2;
  const int lowest = static_cast<int>(std::ceil(margin * SS));
  const int highest = BIG - lowest - rows;
  const int top = std::clamp(static_cast<int>(BASELINE * SS) - face->glyph->bitmap_top, lowest,
                             std::max(lowest, highest));
  cell->assign(BIG * BIG, 0.0f);
  for (int r = 0; r < rows; ++r)
    for (unsigned c = 0; c < bm.width; ++c) {
      const int x = left + static_cast<int>(c), y = top + r;
      if (x < 0 || y < 0 || x >= BIG || y >= BIG) continue;
      (*cell)[y * BIG + x] = bm.buffer[r * bm.pitch + c] / 255.0f;
    }
  return true;
}

// Set 0: the glyph opened by a disc, so its convex corners come out round.
// Strokes too thin to hold the disc are kept as they are.
Field roundedGlyph(const Field& coverage) {
  const float r = ROUNDING * SS;
  const Field toOutside = distanceTo(coverage, [](float v) { return v < 0.5f; });
  Field core(BIG * BIG);
  for (int i = 0; i < BIG * BIG; ++i) core[i] = toOutside[i] >= r ? 1.0f : 0.0f;
  const Field toCore = distanceTo(core, [](float v) { return v > 0.5f; });
  Field out(BIG * BIG);
  for (int i = 0; i < BIG * BIG; ++i)
    out[i] = toCore[i] <= r || (toCore[i] > 2.0f * r && coverage[i] >= 0.5f) ? 1.0f : 0.0f;
  return out;
}

// Set 1: a bright line around the glyph and a dim body.
Field outlinedGlyph(const Field& coverage) {
  const Field toInside = distanceTo(coverage, [](float v) { return v >= 0.5f; });
  Field out(BIG * BIG);
  for (int i = 0; i < BIG * BIG; ++i) {
    if (coverage[i] >= 0.5f)
      out[i] = OUTLINE_FILL;
    else if (toInside[i] <= OUTLINE_WIDTH * SS)
      out[i] = 1.0f;
  }
  return out;
}

// Averages the supersampled cell into cell k of the picture.
void putCell(Image* image, int k, const Field& cell) {
  const int x0 = (k % GRID) * CELL, y0 = (k / GRID) * CELL;
  for (int y = 0; y < CELL; ++y)
    for (int x = 0; x < CELL; ++x) {
      float sum = 0.0f;
      for (int j = 0; j < SS; ++j)
        for (int i = 0; i < SS; ++i) sum += cell[(y * SS + j) * BIG + x * SS + i];
      const float v = sum / (SS * SS);
      image->set(x0 + x, y0 + y, v, v, v);
    }
}

// The font file fontconfig picks for a pattern such as "DejaVu Sans:bold".
std::string fontFile(FcConfig* config, const char* pattern) {
  FcPattern* p = FcNameParse(reinterpret_cast<const FcChar8*>(pattern));
  if (!p) return "";
  FcConfigSubstitute(config, p, FcMatchPattern);
  FcDefaultSubstitute(p);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(config, p, &result);
  FcPatternDestroy(p);
  std::string file;
  FcChar8* path = nullptr;
  if (match && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch)
    file = reinterpret_cast<const char*>(path);
  if (match) FcPatternDestroy(match);
  return file;
}

bool makeFontTexture(const std::string& outRoot) {
  // A configuration of our own, released here, leaves fontconfig's global
  // state alone.
  FcConfig* config = FcInitLoadConfigAndFonts();
  const std::string boldFile = fontFile(config, "DejaVu Sans:bold");
  const std::string regularFile = fontFile(config, "DejaVu Sans");
  FcConfigDestroy(config);
  FT_Library library = nullptr;
  if (FT_Init_FreeType(&library) != 0) {
    std::fprintf(stderr, "font: FreeType does not start\n");
    return false;
  }
  FT_Face bold = nullptr, regular = nullptr;
  if (FT_New_Face(library, boldFile.c_str(), 0, &bold) != 0 ||
      FT_New_Face(library, regularFile.c_str(), 0, &regular) != 0) {
    std::fprintf(stderr, "font: cannot open '%s' or '%s'\n", boldFile.c_str(), regularFile.c_str());
    FT_Done_FreeType(library);
    return false;
  }

  Image image(GRID * CELL, GRID * CELL, 3);
  Field coverage;
  for (unsigned long code = 33; code < 127; ++code) {
    const int k = static_cast<int>(code) - 32;
    if (renderGlyph(bold, code, BOLD_INK, MARGIN, &coverage))
      putCell(&image, k, roundedGlyph(coverage));
    if (renderGlyph(regular, code, OUTLINE_INK, MARGIN + OUTLINE_WIDTH, &coverage))
      putCell(&image, k + 128, outlinedGlyph(coverage));
  }
  FT_Done_Face(bold);
  FT_Done_Face(regular);
  FT_Done_FreeType(library);

  const std::string dir = outRoot + "/textures";
  return makeDirs(dir) && writeBmp(dir + "/font.bmp", image);
}

}  // namespace

REGISTER_PRODUCT("font", makeFontTexture);

}  // namespace datagen

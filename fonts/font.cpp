#include "fonts/font.h"

#include <GL/gl.h>
#include <fontconfig/fontconfig.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <vector>

#include "fonts/font_face.h"
#include FT_TRUETYPE_TABLES_H

namespace platform {

// Created with the first font and kept for the life of the process.
static FT_Library library = nullptr;
static std::map<HDC, HFONT> selection;

// Windows-1252 codes 0x80 to 0x9F; 0 where the code page assigns nothing.
static const uint16_t ANSI_HIGH_CONTROL[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

uint32_t ansiToUnicode(DWORD code) {
  if (code < 32 || code == 127) return 0;
  if (code >= 0x80 && code <= 0x9F) return ANSI_HIGH_CONTROL[code - 0x80];
  return static_cast<uint32_t>(code);
}

PlatformFont* selectedFont(HDC dc) {
  auto it = selection.find(dc);
  return it == selection.end() ? nullptr : it->second;
}

// Asks fontconfig for the installed font closest to the request; false when
// there is none it can name.
static bool mapFace(const char* faceName, int weight, bool italic, std::string* file, int* index) {
  FcPattern* pattern = FcPatternCreate();
  if (!pattern) return false;
  FcPatternAddString(pattern, FC_FAMILY,
                     reinterpret_cast<const FcChar8*>(faceName ? faceName : ""));
  FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(weight > 0 ? weight : FW_NORMAL));
  FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (!match) return false;
  FcChar8* path = nullptr;
  bool found = FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path;
  if (found) {
    *file = reinterpret_cast<const char*>(path);
    if (FcPatternGetInteger(match, FC_INDEX, 0, index) != FcResultMatch) *index = 0;
  }
  FcPatternDestroy(match);
  return found;
}

// Pixels per em for a Windows height: a positive height is the cell height,
// the ascent plus descent the font declares for Windows.
static int emPixelsFor(FT_Face face, int height) {
  if (height < 0) return -height;
  if (height == 0) height = 16;
  long cell = face->ascender - face->descender;
  auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0)
    cell = os2->usWinAscent + os2->usWinDescent;
  if (cell <= 0) cell = face->units_per_EM;
  long em = std::lround(static_cast<double>(height) * face->units_per_EM / cell);
  return em < 1 ? 1 : static_cast<int>(em);
}

HFONT createFont(int height, int, int, int, int weight, DWORD italic, DWORD, DWORD, DWORD, DWORD,
                 DWORD, DWORD, DWORD, const char* faceName) {
  if (!library && FT_Init_FreeType(&library) != 0) {
    library = nullptr;
    return nullptr;
  }
  std::string file;
  int index = 0;
  if (!mapFace(faceName, weight, italic != 0, &file, &index)) return nullptr;
  FT_Face face = nullptr;
  if (FT_New_Face(library, file.c_str(), index, &face) != 0) {
    std::fprintf(stderr, "font: cannot open %s\n", file.c_str());
    return nullptr;
  }
  if (!FT_IS_SCALABLE(face)) {
    FT_Done_Face(face);
    return nullptr;
  }
  HFONT font = new PlatformFont;
  font->face = face;
  font->file = file;
  font->emPixels = emPixelsFor(face, height);
  return font;
}

HFONT selectObject(HDC dc, HFONT font) {
  HFONT previous = selectedFont(dc);
  if (font)
    selection[dc] = font;
  else
    selection.erase(dc);
  return previous;
}

bool deleteObject(HFONT font) {
  if (!font) return false;
  for (const auto& entry : selection)
    if (entry.second == font) return false;
  FT_Done_Face(font->face);
  delete font;
  return true;
}

const char* fontFileName(HFONT font) { return font ? font->file.c_str() : ""; }

bool useFontBitmaps(HDC dc, DWORD first, DWORD count, DWORD listBase) {
  PlatformFont* font = selectedFont(dc);
  if (!font || listBase == 0) return false;
  FT_Face face = font->face;
  if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(font->emPixels)) != 0) return false;

  // Bitmaps are unpacked when the list is compiled: tight rows, MSB first.
  glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
  glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);

  std::vector<GLubyte> rows;
  for (DWORD i = 0; i < count; ++i) {
    glNewList(static_cast<GLuint>(listBase + i), GL_COMPILE);
    uint32_t ch = ansiToUnicode(first + i);
    const FT_Int32 flags = FT_LOAD_RENDER | FT_LOAD_TARGET_MONO | FT_LOAD_NO_BITMAP;
    if (ch && FT_Load_Char(face, ch, flags) == 0 &&
        face->glyph->bitmap.pixel_mode == FT_PIXEL_MODE_MONO) {
      const FT_GlyphSlot glyph = face->glyph;
      const FT_Bitmap& bitmap = glyph->bitmap;
      const size_t stride = (bitmap.width + 7) / 8;
      rows.assign(stride * bitmap.rows, 0);
      // FreeType's rows run top down, glBitmap's bottom up.
      for (unsigned r = 0; r < bitmap.rows; ++r)
        std::memcpy(&rows[(bitmap.rows - 1 - r) * stride], bitmap.buffer + r * bitmap.pitch,
                    stride);
      const float advance = std::round(glyph->advance.x / 64.0f);
      glBitmap(bitmap.width, bitmap.rows, static_cast<float>(-glyph->bitmap_left),
               static_cast<float>(static_cast<int>(bitmap.rows) - glyph->bitmap_top), advance, 0.0f,
               rows.empty() ? nullptr : rows.data());
    }
    glEndList();
  }
  glPopClientAttrib();
  return true;
}

}  // namespace platform

// What the font layer's two sources share: the FreeType face behind an
// HFONT, the font selected into a device context and the ANSI code mapping.
// Only fonts/font*.cpp include this.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>
#include <string>

#include "fonts/font.h"

struct PlatformFont {
  FT_Face face = nullptr;
  std::string file;   // what the font mapper chose
  int emPixels = 16;  // pixels per em for bitmap glyphs
};

namespace platform {

// The font selected into dc, or null.
PlatformFont* selectedFont(HDC dc);

// The Unicode character of an ANSI (Windows-1252) code; 0 for control codes
// and unassigned codes. Codes above 255 are taken as Unicode already.
uint32_t ansiToUnicode(DWORD code);

}  // namespace platform

// Fonts by face name and their OpenGL glyph lists (fontconfig + FreeType +
// the GLU tessellator).
//
// Call order: createFont -> selectObject(dc, font) -> useFontBitmaps and/or
// useFontOutlines (with a current GL context; they compile display lists) ->
// selectObject(dc, previous) -> deleteObject(font). fontconfig plays the font
// mapper: any face name yields the closest installed font ("Times New Roman"
// becomes Liberation Serif). The layer owns the font behind an HFONT until
// deleteObject; display lists belong to the GL context. Failures return null
// or false: a font that cannot be opened, a device context with no font
// selected, a list base of 0.
//
// Character codes are ANSI (Windows-1252). Control codes (0-31 and 127) get
// lists that draw nothing and do not advance.
#pragma once

#include "platform/win32.h"

typedef struct PlatformFont* HFONT;
typedef unsigned long DWORD;

// CreateFont arguments. Only the height, weight, italic flag and face name
// change which font and size come out; the rest are accepted as Windows does.
enum : int { FW_NORMAL = 400, FW_BOLD = 700 };
enum : DWORD {
  ANSI_CHARSET = 0,
  OUT_TT_PRECIS = 4,
  CLIP_DEFAULT_PRECIS = 0,
  ANTIALIASED_QUALITY = 4,
  DEFAULT_PITCH = 0,
  FF_DONTCARE = 0,
};

// Outline list format: filled, extruded glyphs (the only one built).
enum : int { WGL_FONT_POLYGONS = 1 };

struct POINTFLOAT {
  float x, y;
};

// Glyph measures in em units (the em square is 1.0): the ink box, its
// upper-left corner relative to the pen, and the pen's advance.
struct GLYPHMETRICSFLOAT {
  float gmfBlackBoxX;
  float gmfBlackBoxY;
  POINTFLOAT gmfptGlyphOrigin;
  float gmfCellIncX;
  float gmfCellIncY;
};

namespace platform {

// A font of the face closest to faceName. A positive height is the cell
// height in pixels (ascent + descent), a negative one the em height, 0 a
// default of 16. Null when no font file can be opened.
HFONT createFont(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                 DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision,
                 DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily, const char* faceName);

// Makes font the one the glyph-list builds on dc use; returns the font that
// was selected before (null at first). Selecting null deselects.
HFONT selectObject(HDC dc, HFONT font);

// Releases the font; false for null or a font still selected into a DC.
bool deleteObject(HFONT font);

// The file the font mapper chose for the font ("" for null).
const char* fontFileName(HFONT font);

// Lists listBase + i for codes first + i (i < count): each a glBitmap of the
// glyph's one-bit coverage with its origin and advance, so calling the lists
// writes text at the raster position. False when nothing could be built.
bool useFontBitmaps(HDC dc, DWORD first, DWORD count, DWORD listBase);

// Lists listBase + i for codes first + i: the glyph in em units, its front
// face at z = 0 facing +z, its back face at z = -extrusion facing -z and its
// side walls with outward normals, ending with a translation by the advance.
// Curves are flattened to within deviation em units; 0 means one design unit
// of the font. metrics (count records, or null) receives each glyph's
// measures. False when nothing could be built (no font selected, format not
// WGL_FONT_POLYGONS) or a glyph could not be filled (its list keeps what
// could be built).
bool useFontOutlines(HDC dc, DWORD first, DWORD count, DWORD listBase, float deviation,
                     float extrusion, int format, GLYPHMETRICSFLOAT* metrics);

}  // namespace platform

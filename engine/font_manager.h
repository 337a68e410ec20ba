// FontManager: display-list fonts and formatted printing with them.
//
// Call order: FontManager::instance() (created on first use, never freed)
// -> buildBitmapFont / buildOutlineFont / loadTextureFont during set-up and
// the scenes' load -> the print operations while drawing -> releaseFonts()
// at shutdown, before the GL window closes. Every call needs the current GL
// context; the builds select their face into the window's device context.
//
// Ownership: the manager owns its display lists; the textured font's texture
// belongs to the TextureManager. Bitmap and outline fonts share one index
// count of at most MAX_FONTS fonts; an index is valid only for the kind that
// produced it.
//
// Failures: a build beyond MAX_FONTS is refused and returns -1; printing with
// an unbuilt index, a null format or no textured font prints nothing. A face
// name that is not installed yields the font mapper's substitute; a font
// image that fails to load leaves the textured glyphs untextured.
#pragma once

#include "fonts/font.h"

class FontManager {
 public:
  static constexpr int MAX_FONTS = 10;
  // Marks a font that has not been built.
  static constexpr unsigned int NO_FONT = 0xFFFFFFFFu;
  // Formatted text is cut to this many bytes, terminator included.
  static constexpr int TEXT_BUFFER_SIZE = 512;

  // The singleton, created on first use.
  static FontManager* instance();

  // Bitmap glyph lists for codes 32 to 127 of the face at a cell height in
  // pixels, made through dc; the new font index, or -1 when all indices are
  // used.
  int buildBitmapFont(HDC dc, const char* faceName, int height);

  // Extruded glyph lists (em square 1.0, depth 0.2) for codes 0 to 254, made
  // through dc; the new font index, or -1 when all indices are used.
  int buildOutlineFont(HDC dc, const char* faceName, int height);

  // (Re)builds the one textured font from a 16 x 16 grid of glyphs.
  void loadTextureFont(const char* path);

  // Prints at (x, y) of a virtual 1024 x 768 screen in the current colour;
  // glyphs keep their pixel size. Leaves the modelview matrix selected.
  void printBitmap(int fontIndex, int x, int y, const char* format, ...)
      __attribute__((format(printf, 5, 6)));

  // Draws 3D glyphs at the current modelview transformation, moving it along
  // by each glyph's advance.
  void printOutline(int fontIndex, const char* format, ...) __attribute__((format(printf, 3, 4)));

  // Prints textured glyphs (set 0 or 1) scaled on the virtual 1024 x 768
  // screen with the depth test off. Texturing, blending and colour are the
  // caller's; the list base is left changed and the depth test on.
  void printTextured(int x, int y, int set, float scale, const char* format, ...)
      __attribute__((format(printf, 6, 7)));

  // Deletes every font's display lists.
  void deleteFonts();

  int fontCount = 0;
  unsigned int bitmapBases[MAX_FONTS];
  unsigned int outlineBases[MAX_FONTS];
  unsigned int textureFontBase = NO_FONT;
  unsigned int textureFontTexture = 0;
  // Filled by every outline build: the last build wins.
  GLYPHMETRICSFLOAT glyphMetrics[256];

 private:
  FontManager();
};

// Deletes the fonts if the manager exists; nothing otherwise.
void releaseFonts();

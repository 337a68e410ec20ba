#include "engine/font_manager.h"

#include <GL/gl.h>

#include <cstdarg>
#include <cstdio>

#include "resources/texture_manager.h"

static FontManager* theFontManager = nullptr;

// Glyph lists per font kind.
static constexpr int BITMAP_LISTS = 96;
static constexpr int OUTLINE_LISTS = 256;
static constexpr int TEXTURE_LISTS = 256;

FontManager::FontManager() {
  for (int i = 0; i < MAX_FONTS; ++i) bitmapBases[i] = outlineBases[i] = NO_FONT;
}

FontManager* FontManager::instance() {
  if (!theFontManager) theFontManager = new FontManager;
  return theFontManager;
}

// The show's fonts: normal weight, upright, ANSI, antialiased where the
// rasteriser can.
static HFONT createShowFont(const char* faceName, int height) {
  return platform::createFont(height, 0, 0, 0, FW_NORMAL, false, false, false, ANSI_CHARSET,
                              OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                              FF_DONTCARE | DEFAULT_PITCH, faceName);
}

// Generates count lists; NO_FONT when the GL has none to give.
static unsigned int generateLists(int count) {
  GLuint base = glGenLists(count);
  return base ? base : FontManager::NO_FONT;
}

int FontManager::buildBitmapFont(HDC dc, const char* faceName, int height) {
  if (fontCount >= MAX_FONTS) return -1;
  const unsigned int base = generateLists(BITMAP_LISTS);
  bitmapBases[fontCount] = base;
  HFONT font = createShowFont(faceName, height);
  HFONT previous = platform::selectObject(dc, font);
  if (base != NO_FONT) platform::useFontBitmaps(dc, 32, BITMAP_LISTS, base);
  platform::selectObject(dc, previous);
  platform::deleteObject(font);
  return fontCount++;
}

int FontManager::buildOutlineFont(HDC dc, const char* faceName, int height) {
  if (fontCount >= MAX_FONTS) return -1;
  const unsigned int base = generateLists(OUTLINE_LISTS);
  outlineBases[fontCount] = base;
  HFONT font = createShowFont(faceName, height);
  HFONT previous = platform::selectObject(dc, font);
  if (base != NO_FONT)
    platform::useFontOutlines(dc, 0, 255, base, 0.0f, 0.2f, WGL_FONT_POLYGONS, glyphMetrics);
  platform::selectObject(dc, previous);
  platform::deleteObject(font);
  return fontCount++;
}

void FontManager::loadTextureFont(const char* path) {
  if (textureFontBase != NO_FONT) glDeleteLists(textureFontBase, TEXTURE_LISTS);
  textureFontTexture = TextureManager::instance()->loadTexture(path, 1, NO_TEXTURE);
  textureFontBase = generateLists(TEXTURE_LISTS);
  if (textureFontBase == NO_FONT) return;
  glBindTexture(GL_TEXTURE_2D, textureFontTexture);
  for (int k = 0; k < TEXTURE_LISTS; ++k) {
    const float left = static_cast<float>(k % 16) / 16.0f;
    const float right = left + 1.0f / 16.0f;
    const float top = 1.0f - static_cast<float>(k / 16) / 16.0f;
    const float bottom = top - 1.0f / 16.0f;
    glNewList(textureFontBase + k, GL_COMPILE);
    glBegin(GL_QUADS);
    glTexCoord2f(left, bottom);
    glVertex2i(0, 0);
    glTexCoord2f(right, bottom);
    glVertex2i(16, 0);
    glTexCoord2f(right, top);
    glVertex2i(16, 16);
    glTexCoord2f(left, top);
    glVertex2i(0, 16);
    glEnd();
    glTranslated(10.0, 0.0, 0.0);
    glEndList();
  }
}

// Formats into text (bounded); the formatted length, cut to the buffer.
static int formatText(char (&text)[FontManager::TEXT_BUFFER_SIZE], const char* format,
                      va_list args) {
  int n = std::vsnprintf(text, sizeof text, format, args);
  if (n < 0) return 0;
  return n < FontManager::TEXT_BUFFER_SIZE ? n : FontManager::TEXT_BUFFER_SIZE - 1;
}

// Keeps only the bytes whose code maps into the font's lists (list offset =
// code - firstCode within 0 .. listCount - 1), so no byte reaches a list
// that belongs to something else. Returns the new length.
static int keepListedCodes(char* text, int length, int firstCode, int listCount) {
  int kept = 0;
  for (int i = 0; i < length; ++i) {
    const int offset = static_cast<unsigned char>(text[i]) - firstCode;
    if (offset >= 0 && offset < listCount) text[kept++] = text[i];
  }
  return kept;
}

// The base of font index i in a table, NO_FONT when out of range or unbuilt.
static unsigned int baseOf(const unsigned int* bases, int i) {
  return i >= 0 && i < FontManager::MAX_FONTS ? bases[i] : FontManager::NO_FONT;
}

void FontManager::printBitmap(int fontIndex, int x, int y, const char* format, ...) {
  const unsigned int base = baseOf(bitmapBases, fontIndex);
  if (!format || base == NO_FONT) return;
  char text[TEXT_BUFFER_SIZE];
  va_list args;
  va_start(args, format);
  int length = formatText(text, format, args);
  va_end(args);
  length = keepListedCodes(text, length, 32, BITMAP_LISTS);

  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0, 1024, 0, 768, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glRasterPos3i(x, y, 0);
  glPushAttrib(GL_LIST_BIT);
  glListBase(base - 32);
  glCallLists(length, GL_UNSIGNED_BYTE, text);
  glPopAttrib();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
}

void FontManager::printOutline(int fontIndex, const char* format, ...) {
  const unsigned int base = baseOf(outlineBases, fontIndex);
  if (!format || base == NO_FONT) return;
  char text[TEXT_BUFFER_SIZE];
  va_list args;
  va_start(args, format);
  const int length = formatText(text, format, args);
  va_end(args);

  glPushAttrib(GL_LIST_BIT);
  glListBase(base);
  glCallLists(length, GL_UNSIGNED_BYTE, text);
  glPopAttrib();
}

void FontManager::printTextured(int x, int y, int set, float scale, const char* format, ...) {
  if (!format || textureFontBase == NO_FONT) return;
  char text[TEXT_BUFFER_SIZE];
  va_list args;
  va_start(args, format);
  int length = formatText(text, format, args);
  va_end(args);
  if (set > 1) set = 1;
  length = keepListedCodes(text, length, 32 - 128 * set, TEXTURE_LISTS);

  glBindTexture(GL_TEXTURE_2D, textureFontTexture);
  glDisable(GL_DEPTH_TEST);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0, 1024, 0, 768, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glTranslated(x, y, 0);
  glScalef(scale, scale, scale);
  glListBase(textureFontBase + 128 * set - 32);
  glCallLists(length, GL_UNSIGNED_BYTE, text);
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glEnable(GL_DEPTH_TEST);
}

void FontManager::deleteFonts() {
  for (int i = 0; i < MAX_FONTS; ++i) {
    if (bitmapBases[i] != NO_FONT) glDeleteLists(bitmapBases[i], BITMAP_LISTS);
    if (outlineBases[i] != NO_FONT) glDeleteLists(outlineBases[i], OUTLINE_LISTS);
    bitmapBases[i] = outlineBases[i] = NO_FONT;
  }
  if (textureFontBase != NO_FONT) glDeleteLists(textureFontBase, TEXTURE_LISTS);
  textureFontBase = NO_FONT;
}

void releaseFonts() {
  if (theFontManager) theFontManager->deleteFonts();
}

#include <gtest/gtest.h>

#include <GL/gl.h>

#include "engine/font_manager.h"
#include "resources/texture_manager.h"
#include "support/frame_scan.h"
#include "support/gl_test.h"

namespace {

// Every test starts with no fonts, a black 640 x 480 frame, white colour,
// lighting, depth test and texturing off, and the modelview selected.
class Fonts : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(openTestWindow(640, 480));
    fonts = FontManager::instance();
    fonts->deleteFonts();
    fonts->fontCount = 0;
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glColor3f(1, 1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
  }
  void TearDown() override { glPopAttrib(); }

  FontManager* fonts = nullptr;
};

// A list that fills the whole 1024 x 768 virtual screen.
void compileFullScreenQuad(GLuint list) {
  glNewList(list, GL_COMPILE);
  glRecti(-2000, -2000, 2000, 2000);
  glEndList();
}

TEST_F(Fonts, KindsShareTenIndicesAndAnEleventhIsRefused) {
  EXPECT_EQ(fonts->buildBitmapFont(testWindow().hDC, "Courier New", 18), 0);
  EXPECT_EQ(fonts->buildOutlineFont(testWindow().hDC, "Comic Sans MS", 24), 1);
  EXPECT_EQ(fonts->bitmapBases[1], FontManager::NO_FONT);
  EXPECT_EQ(fonts->outlineBases[0], FontManager::NO_FONT);
  EXPECT_GT(fonts->glyphMetrics['A'].gmfCellIncX, 0.3f);

  for (int i = 2; i < FontManager::MAX_FONTS; ++i)
    EXPECT_EQ(fonts->buildBitmapFont(testWindow().hDC, "Courier New", 18), i);
  const GLuint next = glGenLists(1);
  EXPECT_EQ(fonts->buildBitmapFont(testWindow().hDC, "Courier New", 18), -1);
  EXPECT_EQ(fonts->buildOutlineFont(testWindow().hDC, "Courier New", 18), -1);
  EXPECT_EQ(fonts->fontCount, FontManager::MAX_FONTS);
  EXPECT_EQ(glGenLists(1), next + 1) << "a refused build takes no lists";
  glDeleteLists(next, 2);

  // Indices of the wrong kind, refused or out of range print nothing.
  for (int index : {-1, 1, 10, 11}) fonts->printBitmap(index, 100, 100, "Hello");
  for (int index : {-1, 0, 10}) fonts->printOutline(index, "Hello");
  EXPECT_EQ(countPixels(readFrame(), isLit), 0);

  releaseFonts();
  for (int i = 0; i < FontManager::MAX_FONTS; ++i) {
    EXPECT_EQ(fonts->bitmapBases[i], FontManager::NO_FONT);
    EXPECT_EQ(fonts->outlineBases[i], FontManager::NO_FONT);
  }
}

TEST_F(Fonts, NullFormatPrintsNothingAndTouchesNothing) {
  const int font = fonts->buildBitmapFont(testWindow().hDC, "Times New Roman", 32);
  glMatrixMode(GL_PROJECTION);
  GLint depthBefore = 0;
  glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &depthBefore);
  float before[16], after[16];
  glGetFloatv(GL_PROJECTION_MATRIX, before);

  fonts->printBitmap(font, 100, 100, nullptr);
  fonts->printOutline(font, nullptr);
  fonts->printTextured(100, 100, 0, 3.0f, nullptr);

  GLint mode = 0, depthAfter = 0;
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &depthAfter);
  glGetFloatv(GL_PROJECTION_MATRIX, after);
  EXPECT_EQ(mode, GL_PROJECTION);
  EXPECT_EQ(depthAfter, depthBefore);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(after[i], before[i]);
  EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
  glMatrixMode(GL_MODELVIEW);
  EXPECT_EQ(countPixels(readFrame(), isLit), 0);
}

// Lists that belong to something else lie right below and above the font's
// 96 lists; codes outside 32-127 must not reach them.
TEST_F(Fonts, BitmapCodesOutside32To127PrintNothing) {
  const GLuint below = glGenLists(32);
  for (int i = 0; i < 32; ++i) compileFullScreenQuad(below + i);
  const int font = fonts->buildBitmapFont(testWindow().hDC, "Times New Roman", 32);
  ASSERT_EQ(fonts->bitmapBases[font], below + 32);
  const GLuint above = glGenLists(128);
  ASSERT_EQ(above, below + 32 + 96);
  for (int i = 0; i < 128; ++i) compileFullScreenQuad(above + i);

  fonts->printBitmap(font, 100, 100, "\x01\x1f\x80\xff");
  EXPECT_EQ(countPixels(readFrame(), isLit), 0);

  fonts->printBitmap(font, 100, 100,
                     "A\x05"
                     "B\xe9");
  const Frame mixed = readFrame();
  glClear(GL_COLOR_BUFFER_BIT);
  fonts->printBitmap(font, 100, 100, "AB");
  const Frame plain = readFrame();
  EXPECT_EQ(mixed.rgb, plain.rgb);
  EXPECT_GT(countPixels(plain, isWhite), 50);

  GLint mode = 0, listBase = 0;
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  glGetIntegerv(GL_LIST_BASE, &listBase);
  EXPECT_EQ(mode, GL_MODELVIEW);
  EXPECT_EQ(listBase, 0);
  glDeleteLists(below, 32);
  glDeleteLists(above, 128);
}

// The textured glyphs: 16 x 16 units, 10 apart, scaled about the pen at
// (x, y) of the virtual screen (here 640 / 1024 pixels per unit).
TEST_F(Fonts, TexturedGlyphsAreScaledQuadsOnTheVirtualScreen) {
  fonts->loadTextureFont("textures/font.bmp");
  ASSERT_NE(fonts->textureFontBase, FontManager::NO_FONT);
  ASSERT_NE(fonts->textureFontTexture, NO_TEXTURE);

  // Untextured, a glyph is its quad.
  fonts->printTextured(160, 320, 0, 3.0f, "  ");
  Box quads = boundingBox(readFrame(), isWhite);
  EXPECT_NEAR(quads.x0, 160 * 0.625, 1);
  EXPECT_NEAR(quads.y0, 320 * 0.625, 1);
  EXPECT_NEAR(quads.width(), (10 + 16) * 3 * 0.625, 1.5);
  EXPECT_NEAR(quads.height(), 16 * 3 * 0.625, 1.5);
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST)) << "printTextured leaves the depth test on";
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  glDisable(GL_DEPTH_TEST);

  // Textured: the space of set 0 is cell 0, which is empty; a set above 1
  // prints from set 1, which differs from set 0.
  glEnable(GL_TEXTURE_2D);
  auto print = [&](int set, const char* text) {
    glClear(GL_COLOR_BUFFER_BIT);
    fonts->printTextured(160, 320, set, 3.0f, "%s", text);
    glDisable(GL_DEPTH_TEST);
    return readFrame();
  };
  EXPECT_EQ(countPixels(print(0, " "), isLit), 0);
  const Frame set0 = print(0, "A"), set1 = print(1, "A"), set5 = print(5, "A");
  EXPECT_GT(countPixels(set0, isWhite), 50);
  EXPECT_EQ(set5.rgb, set1.rgb);
  EXPECT_NE(set1.rgb, set0.rgb);
  const Box a = boundingBox(set0, isLit);
  EXPECT_GE(a.x0, 100);  // inside the 30-pixel cell at x = 100
  EXPECT_LE(a.x1, 130);
}

}  // namespace

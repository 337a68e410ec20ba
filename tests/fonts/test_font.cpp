#include <gtest/gtest.h>

#include <GL/gl.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fonts/font.h"
#include "support/frame_scan.h"
#include "support/gl_test.h"

namespace {

HFONT makeFont(const char* face, int height) {
  return platform::createFont(height, 0, 0, 0, FW_NORMAL, false, false, false, ANSI_CHARSET,
                              OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                              DEFAULT_PITCH, face);
}

// Lists built from a font selected into the window's device context,
// released afterwards.
class GlyphLists {
 public:
  GlyphLists(const char* face, int height, bool outlines, DWORD first = 0, DWORD count = 128,
             float deviation = 0.0f)
      : count_(count) {
    base_ = glGenLists(count);
    HFONT font = makeFont(face, height);
    HFONT previous = platform::selectObject(testWindow().hDC, font);
    built_ = outlines ? platform::useFontOutlines(testWindow().hDC, first, count, base_, deviation,
                                                  0.2f, WGL_FONT_POLYGONS, metrics_.data())
                      : platform::useFontBitmaps(testWindow().hDC, first, count, base_);
    platform::selectObject(testWindow().hDC, previous);
    platform::deleteObject(font);
    first_ = first;
  }
  ~GlyphLists() { glDeleteLists(base_, count_); }
  bool built() const { return built_; }
  GLuint list(int code) const { return base_ + code - first_; }
  const GLYPHMETRICSFLOAT& metrics(int code) const { return metrics_[code - first_]; }

 private:
  GLuint base_ = 0;
  DWORD first_ = 0, count_ = 0;
  bool built_ = false;
  std::vector<GLYPHMETRICSFLOAT> metrics_ = std::vector<GLYPHMETRICSFLOAT>(256);
};

class Font : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(openTestWindow(640, 480));
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glColor3f(1, 1, 1);
  }
  void TearDown() override {
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
  }
  // Projection of 200 pixels per em, the em square's origin at (100, 120).
  static void emView() { project(-0.5, 2.7, -0.6, 1.8); }
  // Projection of one unit per pixel.
  static void pixelView() { project(0, 640, 0, 480); }
  static void project(double l, double r, double b, double t) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(l, r, b, t, -5, 5);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
  }
};

TEST_F(Font, ShowFaceNamesResolveToInstalledFonts) {
  struct Case {
    const char* face;
    const char* file;
  } cases[] = {{"Times New Roman", "LiberationSerif-Regular"},
               {"Courier New", "LiberationMono-Regular"},
               {"Comic Sans MS", "ComicNeue-Regular"},
               {"Husky Stash", ""}};
  for (const Case& c : cases) {
    HFONT font = makeFont(c.face, 32);
    ASSERT_NE(font, nullptr) << c.face;
    const std::string file = platform::fontFileName(font);
    EXPECT_EQ(access(file.c_str(), R_OK), 0) << c.face << " -> " << file;
    EXPECT_NE(file.find(c.file), std::string::npos) << c.face << " -> " << file;
    EXPECT_TRUE(platform::deleteObject(font));
  }
}

TEST_F(Font, SelectedFontCannotBeDeleted) {
  HFONT font = makeFont("Courier New", 18);
  EXPECT_EQ(platform::selectObject(testWindow().hDC, font), nullptr);
  EXPECT_FALSE(platform::deleteObject(font));
  EXPECT_EQ(platform::selectObject(testWindow().hDC, nullptr), font);
  EXPECT_TRUE(platform::deleteObject(font));
  // Nothing selected: nothing to build from.
  EXPECT_FALSE(platform::useFontBitmaps(testWindow().hDC, 32, 96, glGenLists(96)));
}

// Liberation Serif's capital H is 1341 units of 2048 high; its Windows cell
// (ascent + descent) is 2268 units. A cell of 32 pixels makes H 19 pixels
// high, an em of 32 pixels 21.
TEST_F(Font, PositiveHeightIsTheCellHeight) {
  auto inkHeightOfH = [](int height) {
    GlyphLists lists("Times New Roman", height, false, 32, 96);
    EXPECT_TRUE(lists.built());
    glClear(GL_COLOR_BUFFER_BIT);
    pixelView();
    glRasterPos2i(100, 100);
    glCallList(lists.list('H'));
    return boundingBox(readFrame(), isWhite).height();
  };
  const int cell = inkHeightOfH(32), em = inkHeightOfH(-32);
  EXPECT_NEAR(cell, 19, 1);
  EXPECT_NEAR(em, 21, 1);
}

TEST_F(Font, BitmapGlyphsSitAtTheRasterPositionAndAdvanceIt) {
  GlyphLists lists("Courier New", 18, false, 0, 128);
  ASSERT_TRUE(lists.built());
  pixelView();
  glRasterPos2i(200, 100);
  float before[4], after[4];
  glGetFloatv(GL_CURRENT_RASTER_POSITION, before);
  for (int code : {1, 10, 31, 127}) glCallList(lists.list(code));
  glGetFloatv(GL_CURRENT_RASTER_POSITION, after);
  EXPECT_FLOAT_EQ(after[0], before[0]) << "control codes advance nothing";
  EXPECT_EQ(countPixels(readFrame(), isLit), 0) << "control codes draw nothing";

  glCallList(lists.list('M'));
  glGetFloatv(GL_CURRENT_RASTER_POSITION, after);
  // Courier New: every advance is 0.6 em (about 10 pixels at this size).
  EXPECT_NEAR(after[0] - before[0], 10.0f, 1.0f);
  const Box m = boundingBox(readFrame(), isWhite);
  ASSERT_FALSE(m.empty());
  EXPECT_GE(m.x0, 199);
  EXPECT_LE(m.x1, 211);
  EXPECT_EQ(m.y0, 100) << "M stands on the baseline";
}

// Views the extruded I of a font from the side: its depth is 0.2 em.
// Then "II": the second glyph starts one advance to the right.
void checkDepthAndAdvance(const char* face) {
  GlyphLists lists(face, 24, true);
  ASSERT_TRUE(lists.built()) << face;
  const GLYPHMETRICSFLOAT& m = lists.metrics('I');

  glRotatef(90, 0, 1, 0);
  glCallList(lists.list('I'));
  const Box side = boundingBox(readFrame(), isLit);
  EXPECT_NEAR(side.width(), 0.2 * 200, 1.5) << face;

  glClear(GL_COLOR_BUFFER_BIT);
  glLoadIdentity();
  glCallList(lists.list('I'));
  const Box one = boundingBox(readFrame(), isLit);
  EXPECT_NEAR(one.width(), m.gmfBlackBoxX * 200, 1.5) << face;
  EXPECT_NEAR(one.height(), m.gmfBlackBoxY * 200, 1.5) << face;
  EXPECT_NEAR(one.x0, 100 + m.gmfptGlyphOrigin.x * 200, 1.5) << face;
  EXPECT_NEAR(one.y1, 120 + m.gmfptGlyphOrigin.y * 200, 1.5) << face;
  EXPECT_GT(m.gmfCellIncX, m.gmfBlackBoxX) << face;

  glCallList(lists.list('I'));
  const Box two = boundingBox(readFrame(), isLit);
  EXPECT_NEAR(two.width() - one.width(), m.gmfCellIncX * 200, 1.5) << face;
  glLoadIdentity();
}

TEST_F(Font, OutlineGlyphIsOneFifthEmDeepAndAdvances) {
  emView();
  checkDepthAndAdvance("Times New Roman");  // quadratic outlines, clockwise
  glClear(GL_COLOR_BUFFER_BIT);
  checkDepthAndAdvance("Comic Sans MS");  // cubic outlines, counter-clockwise
}

// With back faces culled and a light behind the viewer, the front, the back
// and a side wall each show lit: every face winds and faces outwards.
void checkFacesLit(const char* face) {
  GlyphLists lists(face, 24, true);
  ASSERT_TRUE(lists.built()) << face;
  const float angles[] = {0.0f, 180.0f, -90.0f, 90.0f};  // front, back, right, left side
  for (float angle : angles) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glTranslatef(0.5f, 0.5f, 0.0f);
    glRotatef(angle, 0, 1, 0);
    glTranslatef(-0.15f, -0.3f, 0.1f);
    glCallList(lists.list('I'));
    const Frame frame = readFrame();
    int brightest = 0;
    for (int y = 0; y < frame.height; ++y)
      for (int x = 0; x < frame.width; ++x) brightest = std::max(brightest, frame.at(x, y).g);
    EXPECT_GT(brightest, 240) << face << " seen at " << angle << " degrees";
    EXPECT_GT(countPixels(frame, [](const Rgb& c) { return c.g > 150; }), 200)
        << face << " seen at " << angle << " degrees";
  }
}

TEST_F(Font, OutlineFacesAndWallsFaceOutwards) {
  emView();
  const float towardsViewer[4] = {0, 0, 1, 0}, white[4] = {1, 1, 1, 1}, none[4] = {0, 0, 0, 1};
  glLightfv(GL_LIGHT0, GL_POSITION, towardsViewer);
  glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
  glLightfv(GL_LIGHT0, GL_AMBIENT, none);
  glLightModelfv(GL_LIGHT_MODEL_AMBIENT, none);
  glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_FALSE);
  glDisable(GL_LIGHT1);
  glEnable(GL_LIGHT0);
  glEnable(GL_LIGHTING);
  glDisable(GL_COLOR_MATERIAL);
  glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, white);
  glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, none);
  glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, none);
  glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, none);
  glEnable(GL_CULL_FACE);
  glCullFace(GL_BACK);
  glFrontFace(GL_CCW);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LESS);
  checkFacesLit("Times New Roman");
  checkFacesLit("Comic Sans MS");
}

// The front of an O filling the window, as a frame.
Frame filledO(float deviation) {
  GlyphLists lists("Times New Roman", 24, true, 'O', 1, deviation);
  glClear(GL_COLOR_BUFFER_BIT);
  glLoadIdentity();
  glCallList(lists.list('O'));
  return readFrame();
}

int differingPixels(const Frame& a, const Frame& b) {
  int n = 0;
  for (size_t i = 0; i < a.rgb.size(); i += 3) n += a.rgb[i] != b.rgb[i] ? 1 : 0;
  return n;
}

// Deviation 0 flattens to within one design unit (1/2048 em here): as fine
// as a tenth of a unit to within a few edge pixels, far finer than 1/50 em.
TEST_F(Font, DeviationZeroFlattensCurvesFinest) {
  project(0.0, 0.8, -0.05, 0.75);  // about 800 pixels per em
  const Frame zero = filledO(0.0f), tiny = filledO(0.00005f), coarse = filledO(0.02f);
  const int fine = differingPixels(zero, tiny), rough = differingPixels(zero, coarse);
  EXPECT_LT(fine * 10, rough);
  EXPECT_GT(rough, 500);
}

}  // namespace

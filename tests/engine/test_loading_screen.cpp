#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>
#include <vector>

#include "engine/font_manager.h"
#include "engine/gl_window.h"
#include "engine/loading_screen.h"
#include "support/frame_scan.h"
#include "support/gl_test.h"

namespace {

bool isBlue(const Rgb& c) { return c.b > 180 && c.r < 30 && c.g < 80; }
bool isGreen(const Rgb& c) { return c.g > 200 && c.r < 30 && c.b < 30; }
bool isYellow(const Rgb& c) { return c.r > 200 && c.g > 200 && c.b < 60; }

class Loading : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(openTestWindow(640, 480));
    FontManager* fonts = FontManager::instance();
    fonts->deleteFonts();
    fonts->fontCount = 0;
    loadingFont = fonts->buildBitmapFont(testWindow().hDC, "Times New Roman", 32);
    fpsFont = fonts->buildBitmapFont(testWindow().hDC, "Courier New", 18);
  }
  void TearDown() override {
    resizeGLScene(testWindow(), 640, 480);
    glColor4f(1, 1, 1, 1);
  }
  // The loading screen as drawn, read back before it would be shown.
  // No swap: the back buffer keeps the frame.
  Frame loadingFrame(int sceneIndex) const {
    drawLoadingScreen(nullptr, loadingFont, sceneIndex);
    return readFrame();
  }
  int loadingFont = -1;
  int fpsFont = -1;
};

// A real window of each size: "Loading..." starts at (420, 220) of 1024 x 768
// and keeps its pixel size; the blue line runs from 10 to 630 of 640 at 440
// of 480.
TEST_F(Loading, TextAndLineFollowTheWindowSize) {
  const int sizes[][2] = {{640, 480}, {800, 600}, {1024, 768}};
  int firstWidth = 0;
  for (const auto& s : sizes) {
    const int w = s[0], h = s[1];
    ASSERT_TRUE(setGLWindowMode(testWindow(), w, h, 32, false));
    const Frame frame = loadingFrame(0);
    ASSERT_EQ(frame.width, w);
    const Box text = boundingBox(frame, isWhite);
    const double x = 420.0 * w / 1024, baseline = 220.0 * h / 768;
    EXPECT_NEAR(text.x0, x, 2.0) << w;
    EXPECT_NEAR(text.y1 - baseline, 20, 2) << w << ": cap height above the baseline";
    EXPECT_NEAR(baseline - text.y0, 7, 2) << w << ": the g's descender below it";
    if (!firstWidth) firstWidth = text.width();
    EXPECT_EQ(text.width(), firstWidth) << w << ": glyphs keep their pixel size";

    const Box line = boundingBox(frame, isBlue);
    EXPECT_NEAR(line.x0, 10.0 * w / 640, 1.5) << w;
    EXPECT_NEAR(line.x1, 630.0 * w / 640, 1.5) << w;
    EXPECT_NEAR(line.y0, 440.0 * h / 480, 1.5) << w;
    EXPECT_LE(line.height(), 2) << w;
    EXPECT_EQ(countPixels(frame, isGreen), 0) << w << ": no bump before the first scene";
  }
  ASSERT_TRUE(setGLWindowMode(testWindow(), 640, 480, 32, false));
}

TEST_F(Loading, EachLevelHangsBumpsBelowTheLine) {
  const Frame level0 = loadingFrame(0), level1 = loadingFrame(1);
  const int row = boundingBox(level0, isBlue).y0;
  ASSERT_NEAR(row, 440, 1);
  // The middle third is blotted out under the first bump, which hangs below.
  EXPECT_TRUE(isBlue(level0.at(320, row)));
  EXPECT_FALSE(isBlue(level1.at(320, row)));
  EXPECT_TRUE(isBlue(level1.at(100, row)));
  const Box bump = boundingBox(level1, isGreen);
  EXPECT_LE(bump.y1, row + 1);
  EXPECT_NEAR(bump.y0, 440 - 620 / 3.0, 2);
  EXPECT_NEAR(bump.x0, 10 + 620 / 3.0, 2);
  EXPECT_NEAR(bump.x1, 10 + 2 * 620 / 3.0, 2);
  // Later levels only add green below the line.
  const Frame level5 = loadingFrame(5);
  EXPECT_GT(countPixels(level5, isGreen), countPixels(level1, isGreen));
  EXPECT_LE(boundingBox(level5, isGreen).y1, row + 1);
}

// Line segments drawn by drawFractalLine, by colour, caught in feedback mode.
struct Segments {
  int green = 0, black = 0;
};

Segments segmentsAtDepth(int depth) {
  std::vector<GLfloat> buffer(1 << 20);
  glPushAttrib(GL_ENABLE_BIT);
  glDisable(GL_LIGHTING);  // as on the loading screen: the colours are the glColor ones
  glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR, buffer.data());
  glRenderMode(GL_FEEDBACK);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0, 640, 0, 480, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  drawFractalLine(Vector3(10, 440, 0), Vector3(630, 440, 0), depth);
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  const int used = glRenderMode(GL_RENDER);
  glPopAttrib();
  Segments s;
  const int vertexSize = 3 + 4;  // x, y, z, rgba
  for (int i = 0; i < used;) {
    const int token = static_cast<int>(buffer[i]);
    if (token != GL_LINE_TOKEN && token != GL_LINE_RESET_TOKEN) {
      ADD_FAILURE() << "unexpected token " << token;
      break;
    }
    const GLfloat* first = &buffer[i + 1];
    if (first[4] > 0.5f)  // green
      ++s.green;
    else
      ++s.black;
    i += 1 + 2 * vertexSize;
  }
  return s;
}

TEST_F(Loading, BumpCountPerLevelIsPowersOfThree) {
  int total = 0;
  for (int depth = 0; depth <= 5; ++depth) {
    const Segments s = segmentsAtDepth(depth);
    const int bumps = depth == 0 ? 0 : total + static_cast<int>(std::pow(3, depth - 1));
    EXPECT_EQ(s.black, bumps) << "depth " << depth;
    EXPECT_EQ(s.green, 3 * bumps) << "depth " << depth;
    total = bumps;
  }
}

TEST_F(Loading, FpsOverlayLeavesBlendAndLightingOnAndColourAsFound) {
  glPushAttrib(GL_ALL_ATTRIB_BITS);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  // What a scene may leave behind: no blending or lighting, texturing on
  // with an empty texture, depth written close to the eye everywhere.
  glDisable(GL_BLEND);
  glDisable(GL_LIGHTING);
  GLuint black = 0;
  glGenTextures(1, &black);
  glBindTexture(GL_TEXTURE_2D, black);
  const unsigned char texel[3] = {0, 0, 0};
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 1, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, texel);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glEnable(GL_TEXTURE_2D);
  glClearDepth(0.0);
  glClear(GL_DEPTH_BUFFER_BIT);
  glEnable(GL_DEPTH_TEST);
  glColor4f(0.25f, 0.5f, 0.75f, 1.0f);

  drawFpsOverlay(fpsFont, 60);

  EXPECT_TRUE(glIsEnabled(GL_BLEND));
  EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  float colour[4];
  glGetFloatv(GL_CURRENT_COLOR, colour);
  EXPECT_FLOAT_EQ(colour[0], 0.25f);
  EXPECT_FLOAT_EQ(colour[2], 0.75f);
  const Box text = boundingBox(readFrame(), isYellow);
  ASSERT_FALSE(text.empty()) << "the overlay shows over what the scene left";
  EXPECT_NEAR(text.x0, 10 * 0.625, 2);
  EXPECT_NEAR(text.y0, 10 * 0.625, 2);
  EXPECT_NEAR(text.width(), 7 * 11, 12) << "\"FPS: 60\": seven cells of Courier New 18";
  glDeleteTextures(1, &black);
  glPopAttrib();
}

}  // namespace

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <algorithm>

#include "engine/gl_window.h"
#include "scenes/words_scene.h"
#include "support/frame_scan.h"
#include "support/gl_test.h"

namespace {

bool isRed(const Rgb& c) { return c.r - std::max(c.g, c.b) > 80; }
bool isBlue(const Rgb& c) { return c.b - std::max(c.r, c.g) > 80; }
bool isGreen(const Rgb& c) { return c.g - std::max(c.r, c.b) > 80; }

// The scene in a 640 x 480 window with the window's own projection.
class Words : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(openTestWindow(640, 480));
    resizeGLScene(testWindow(), 640, 480);
    scene.load();
    scene.init();
  }
  // Draws frames up to and including frame n (counted from 1).
  void drawUpTo(int n) {
    while (drawn < n) {
      scene.draw();
      ++drawn;
    }
  }
  WordsScene scene;
  int drawn = 0;
};

TEST_F(Words, FirstFrameVeilCoversTheView) {
  drawUpTo(1);
  const Frame frame = readFrame();
  for (auto [x, y] : {std::pair{0, 0}, {639, 0}, {0, 479}, {639, 479}, {320, 240}})
    EXPECT_TRUE(isWhite(frame.at(x, y))) << x << "," << y;
  EXPECT_EQ(scene.wordX(), 204.0f);
  EXPECT_EQ(scene.wordY(), 504.0f);
}

// Frame 165: the veil is at 0.18 and the words print at (552, 252) (red),
// (148, 448) (blue) and (148, 252) (green), clear of each other. Each word's
// ink starts inside its first 48-unit glyph cell: 0.625 pixels per unit.
// The colours hold even when the previous frame's overlay left lighting on.
TEST_F(Words, WordsPrintAtTheirMirroredPositions) {
  drawUpTo(164);
  const float x = scene.wordX(), y = scene.wordY();
  ASSERT_EQ(x, 552.0f);
  ASSERT_EQ(y, 252.0f);
  glEnable(GL_LIGHTING);  // as the frame-rate overlay leaves it
  drawUpTo(165);
  const Frame frame = readFrame();
  auto expectWordAt = [&](const PixelTest& colour, float wx, float wy, const char* name) {
    const Box ink = boundingBox(frame, colour);
    ASSERT_FALSE(ink.empty()) << name;
    EXPECT_GE(ink.x0, wx * 0.625) << name;
    EXPECT_LE(ink.x0, (wx + 20) * 0.625) << name;
    EXPECT_GE(ink.y0, wy * 0.625) << name;
    EXPECT_LE(ink.y0, (wy + 16) * 0.625) << name;
    EXPECT_GT(ink.width(), std::min(300 * 0.625, 639 - wx * 0.625 - 20)) << name;
  };
  expectWordAt(isRed, x, y, "Evolution...");
  expectWordAt(isBlue, 700 - x, 700 - y, "Substance...");
  expectWordAt(isGreen, 700 - x, y, "Knowledge...");
  // Behind the words the veil adds its grey.
  EXPECT_TRUE(near(frame.at(635, 475), Rgb{46, 46, 46}, 4));
  EXPECT_TRUE(near(frame.at(5, 5), Rgb{46, 46, 46}, 4));
}

TEST_F(Words, WordsBounceOffTheEdgesAndTheVeilPulses) {
  float minX = 1e9f, maxX = -1e9f, minY = 1e9f, maxY = -1e9f;
  float minVeil = 1.0f, maxVeilPulsing = 0.0f;
  for (int n = 1; n <= 420; ++n) {
    drawUpTo(n);
    minX = std::min(minX, scene.wordX());
    maxX = std::max(maxX, scene.wordX());
    minY = std::min(minY, scene.wordY());
    maxY = std::max(maxY, scene.wordY());
    minVeil = std::min(minVeil, scene.veil());
    if (n > 200) maxVeilPulsing = std::max(maxVeilPulsing, scene.veil());
  }
  // At 700 a word still moves on once; at 20 it turns at once.
  EXPECT_EQ(maxX, 704.0f);
  EXPECT_EQ(maxY, 704.0f);
  EXPECT_EQ(minX, 20.0f);
  EXPECT_EQ(minY, 20.0f);
  EXPECT_NEAR(minVeil, 0.095f, 0.002f);
  EXPECT_NEAR(maxVeilPulsing, 0.705f, 0.011f);
}

}  // namespace

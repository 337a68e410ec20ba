// VolumeLine on Mesa with the generated glow atlas and the real Cg programs:
// the state it leaves, the band's width from several angles, the end-on
// glow, and the failed setup without multitexturing.
#include <gtest/gtest.h>

#include <GL/glew.h>
#include <GL/glu.h>

#include <cmath>
#include <string>

#include "effects/volume_line.h"
#include "support/gl_test.h"

namespace {

constexpr int W = 640, H = 480;

// The scene's camera: 45-degree perspective, eye at (0, 0, 10).
void camera() {
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(45.0, static_cast<double>(W) / H, 0.1, 100.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  gluLookAt(0, 0, 10, 0, 0, 0, 0, 1, 0);
}

bool lit(const Rgb& c) { return c.b > 40; }

// The lit run of pixels through (x, y) along a row (or a column).
int litRun(int x, int y, bool alongRow) {
  int n = 0;
  for (int i = 0; i < (alongRow ? W : H); ++i)
    if (lit(alongRow ? readPixel(i, y) : readPixel(x, i))) ++n;
  return n;
}

// Pixels per world unit at distance 10 with the camera above.
double pixelsPerUnit() {
  return (W / 2.0) * (1.0 / std::tan(22.5 * 3.14159265358979 / 180.0)) / (W / double(H)) / 10.0;
}

class VolumeLineTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(openTestWindow(W, H));
    line = new VolumeLine();
  }
  void TearDown() override {
    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);
  }
  static VolumeLine* line;
};
VolumeLine* VolumeLineTest::line = nullptr;

}  // namespace

TEST_F(VolumeLineTest, LeavesTheStateItDocuments) {
  camera();
  line->draw(-1, 0, 0, 1, 0, 0, 0.7f);
  EXPECT_TRUE(glIsEnabled(GL_BLEND));
  GLint src = 0, dst = 0;
  glGetIntegerv(GL_BLEND_SRC, &src);
  glGetIntegerv(GL_BLEND_DST, &dst);
  EXPECT_EQ(src, GL_ONE);
  EXPECT_EQ(dst, GL_ONE);
  GLboolean depthMask = GL_TRUE;
  glGetBooleanv(GL_DEPTH_WRITEMASK, &depthMask);
  EXPECT_EQ(depthMask, GL_FALSE);
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
  EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
  GLint program = -1;
  glGetIntegerv(GL_CURRENT_PROGRAM, &program);
  EXPECT_EQ(program, 0);
}

TEST_F(VolumeLineTest, TheBandKeepsItsWidthFromAnyAngle) {
  // A vertical line through the centre, width 0.5: the quad reaches 0.5 to
  // either side and its glow fades out half way, so it glows 0.5 wide.
  camera();
  line->draw(0, -3, 0, 0, 3, 0, 0.5f);
  const int straight = litRun(0, H / 2, true);
  const Rgb core = readPixel(W / 2, H / 2);
  EXPECT_NEAR(straight, 0.5 * pixelsPerUnit(), 0.1 * pixelsPerUnit());
  EXPECT_GT(core.b, 200);
  EXPECT_FALSE(lit(readPixel(W / 2, H / 2 + int(3.3 * pixelsPerUnit()))));  // past its end

  // Turned about its own axis or tilted towards the viewer, a flat ribbon
  // would narrow; the band does not.
  for (float angle : {60.0f, 85.0f}) {
    camera();
    glRotatef(angle, 0, 1, 0);
    line->draw(0, -3, 0, 0, 3, 0, 0.5f);
    EXPECT_NEAR(litRun(0, H / 2, true), straight, 2) << angle;
    camera();
    glRotatef(angle * 0.5f, 1, 0, 0);
    line->draw(0, -3, 0, 0, 3, 0, 0.5f);
    EXPECT_NEAR(litRun(0, H / 2, true), straight, 2) << angle;
  }
  // Lying in the picture, a horizontal line is as wide as a vertical one.
  camera();
  line->draw(-3, 0, 0, 3, 0, 0, 0.5f);
  EXPECT_NEAR(litRun(W / 2, 0, false), straight, 2);
}

TEST_F(VolumeLineTest, SeenEndOnItIsARoundGlow) {
  camera();
  line->draw(0, 0, -1, 0, 0, 1, 0.5f);
  const int across = litRun(0, H / 2, true);
  const int up = litRun(W / 2, 0, false);
  EXPECT_GT(across, 0.4 * pixelsPerUnit());
  EXPECT_NEAR(across, up, 0.15 * across);
  EXPECT_GT(readPixel(W / 2, H / 2).b, 200);
}

TEST_F(VolumeLineTest, WithoutMultitexturingSetupSaysSoAndFails) {
  EXPECT_TRUE(line->ready());
  const GLboolean had = __GLEW_ARB_multitexture;
  __GLEW_ARB_multitexture = GL_FALSE;
  testing::internal::CaptureStderr();
  VolumeLine without;
  const std::string said = testing::internal::GetCapturedStderr();
  __GLEW_ARB_multitexture = had;
  EXPECT_FALSE(without.ready());
  EXPECT_EQ(said, "Error loading ARG_multitexture extension");
}

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "effects/particle_system.h"
#include "engine/desktop_capture.h"
#include "resources/texture_manager.h"
#include "scenes/screen_scene.h"
#include "support/fake_sound.h"
#include "support/frame_scan.h"
#include "support/gl_test.h"

namespace {

const Rgb TOP_LEFT{200, 200, 200}, TOP_RIGHT{0, 255, 0}, BOTTOM_LEFT{255, 255, 0},
    BOTTOM_RIGHT{0, 255, 255}, MONITOR{255, 0, 255}, BLUE{0, 0, 255}, BLACK{0, 0, 0};

// How often the typewriter sound went to a call ("createSound", "playSound -1").
size_t typewriter(const char* call) {
  return fakeSoundCallsOf(std::string(call) + " sounds/typewriter.wav").size();
}

// A desktop in four quadrants as texture 666, first row at the bottom as the
// capture delivers it.
void uploadDesktop() {
  std::vector<unsigned char> pixels(512 * 512 * 3);
  for (int row = 0; row < 512; ++row)
    for (int x = 0; x < 512; ++x) {
      const Rgb& c =
          row < 256 ? (x < 256 ? BOTTOM_LEFT : BOTTOM_RIGHT) : (x < 256 ? TOP_LEFT : TOP_RIGHT);
      unsigned char* p = &pixels[(row * 512 + x) * 3];
      p[0] = static_cast<unsigned char>(c.r);
      p[1] = static_cast<unsigned char>(c.g);
      p[2] = static_cast<unsigned char>(c.b);
    }
  TextureManager::instance()->loadTextureFromMemory(pixels.data(), 512, 512, 3, DESKTOP_TEXTURE_ID);
}

// Pixels of colour c (within tolerance) in [x0, x1) x [y0, y1).
int countIn(const Frame& f, int x0, int y0, int x1, int y1, const Rgb& c, int tolerance) {
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) n += near(f.at(x, y), c, tolerance);
  return n;
}

// The scene at 640 x 480 with the fake sound system, loaded once per
// process (fonts are few) and initialised afresh by every test.
class ScreenSceneTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!openTestWindow(640, 480)) return;
    uploadDesktop();
    installFakeSound();
    scene = new ScreenScene;
    scene->setWindow(&testWindow());
    scene->load();
  }
  static void TearDownTestSuite() {
    delete scene;
    scene = nullptr;
  }
  void SetUp() override {
    if (!scene) GTEST_SKIP() << "no display";
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    scene->init();
  }
  // Draws every frame of a steady frame rate from `from` to `to`, both
  // included. Only the last one is rasterised in full: the others are cut
  // to one pixel, which leaves what the scene steps per frame unchanged.
  void run(double from, double to, double fps) {
    const long first = static_cast<long>(from * fps + 0.5);
    const long last = static_cast<long>(to * fps + 0.5);
    glScissor(0, 0, 1, 1);
    for (long k = first; k <= last; ++k) {
      if (k == last)
        glDisable(GL_SCISSOR_TEST);
      else
        glEnable(GL_SCISSOR_TEST);
      scene->setLocalTime(k / fps);
      scene->draw();
    }
    glDisable(GL_SCISSOR_TEST);
  }
  static ScreenScene* scene;
};

ScreenScene* ScreenSceneTest::scene = nullptr;

}  // namespace

TEST_F(ScreenSceneTest, DesktopFillsTheWindowAtFirst) {
  run(0.0, 1.0, 60);
  Frame f = readFrame();
  EXPECT_TRUE(near(f.at(2, 477), TOP_LEFT, 0));
  EXPECT_TRUE(near(f.at(637, 477), TOP_RIGHT, 0));
  EXPECT_TRUE(near(f.at(2, 2), BOTTOM_LEFT, 0));
  EXPECT_TRUE(near(f.at(637, 2), BOTTOM_RIGHT, 0));
  // The quadrants meet at the window's centre.
  EXPECT_TRUE(near(f.at(316, 244), TOP_LEFT, 0));
  EXPECT_TRUE(near(f.at(324, 236), BOTTOM_RIGHT, 0));
}

TEST_F(ScreenSceneTest, LinesTypeWithOneClickPerCharacter) {
  ASSERT_EQ(typewriter("createSound"), 1u) << "the sound manager was started before the fake";
  const size_t before = typewriter("playSound -1");
  run(0.0, 2.0 - 1 / 60.0, 60);
  EXPECT_EQ(scene->typedCount, 0u);
  run(2.0, 2.0, 60);
  EXPECT_EQ(scene->typedCount, 1u);  // the first step comes at t = 2

  run(2.0 + 1 / 60.0, 5.0, 60);
  EXPECT_GE(scene->typedCount, 13u);
  EXPECT_LE(scene->typedCount, 16u);
  Frame f = readFrame();
  // The line starts at (50, 600) of 1024 x 768: x 31, y 375 in this window.
  EXPECT_GT(countIn(f, 28, 365, 330, 405, BLUE, 10), 100);
  EXPECT_GT(countIn(f, 28, 365, 330, 405, BLACK, 10), 30);  // the shadow
  EXPECT_EQ(countIn(f, 520, 360, 640, 410, BLUE, 10), 0);   // not typed yet

  run(5.0 + 1 / 60.0, 12.0, 60);
  EXPECT_GE(scene->typedCount, 40u);
  EXPECT_EQ(typewriter("playSound -1") - before, 40u);
  run(12.0 + 1 / 60.0, 12.0 + 1 / 60.0, 60);
  EXPECT_FALSE(scene->resetTypedCount);
  EXPECT_LE(scene->typedCount, 1u);  // the second line starts from nothing

  run(12.0 + 2 / 60.0, 18.0, 60);
  EXPECT_GE(scene->typedCount, 34u);
  EXPECT_EQ(typewriter("playSound -1") - before, 40u + 34u);
  f = readFrame();
  EXPECT_GT(countIn(f, 90, 240, 640, 270, Rgb{255, 0, 0}, 10), 100);  // the red second line
  EXPECT_GT(countIn(f, 28, 365, 640, 405, BLUE, 10), 300);            // over the whole first
}

TEST_F(ScreenSceneTest, TurnAndApproachStepPerFrame) {
  run(18.0 + 1 / 60.0, 23.0, 60);  // 300 frames
  EXPECT_NEAR(scene->boxAngle, -63.0, 1e-9);
  EXPECT_NEAR(scene->boxOffset, 4.5, 1e-9);
  run(23.0 + 1 / 60.0, 25.0, 60);  // 120 frames
  EXPECT_NEAR(scene->boxOffset, 9.3, 1e-9);
  run(25.0 + 1 / 60.0, 26.0, 60);  // held still
  EXPECT_NEAR(scene->boxOffset, 9.3, 1e-9);

  glLoadIdentity();
  scene->init();
  run(18.0 + 1 / 100.0, 25.0, 100);
  EXPECT_NEAR(scene->boxAngle, -439 * 0.21, 1e-9);  // stops past -92
  EXPECT_GT(scene->boxOffset, 10.0);
  EXPECT_LE(scene->boxOffset, 10.04 + 1e-9);
}

TEST_F(ScreenSceneTest, BoxShowsTheMonitorWhereTheScreenSwungAway) {
  const unsigned char magenta[2 * 2 * 3] = {255, 0, 255, 255, 0, 255, 255, 0, 255, 255, 0, 255};
  scene->monitorTexture =
      TextureManager::instance()->loadTextureFromMemory(magenta, 2, 2, 3, NO_TEXTURE);
  // Where 60 frames per second have brought it by 22 s.
  scene->boxAngle = -240 * 0.21;
  scene->boxOffset = 240 * 0.015;
  run(22.0, 22.0, 60);
  Frame f = readFrame();
  // The screen has swung to the left; the box's inside shows on the right.
  int monitorRight = countIn(f, 400, 100, 640, 380, MONITOR, 4);
  int desktopLeft =
      countIn(f, 0, 100, 240, 380, TOP_LEFT, 4) + countIn(f, 0, 100, 240, 380, BOTTOM_LEFT, 4);
  EXPECT_GT(monitorRight, 240 * 280 / 2);
  EXPECT_GT(desktopLeft, 240 * 280 / 4);
  EXPECT_EQ(countIn(f, 400, 100, 640, 380, TOP_RIGHT, 4), 0);
}

TEST_F(ScreenSceneTest, FountainsStartAtTheirTimesAndGrow) {
  // Inside a dark box, where 60 frames per second have brought it by 25 s.
  const unsigned char dark[2 * 2 * 3] = {30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30};
  scene->monitorTexture =
      TextureManager::instance()->loadTextureFromMemory(dark, 2, 2, 3, NO_TEXTURE);
  scene->boxAngle = -63.0;
  scene->boxOffset = 9.3;
  const double fps = 30;
  ParticleSystem* systems[4] = {scene->blueFountain, scene->greenFountain, scene->redFountain,
                                scene->whiteGlow};
  const double starts[4] = {27, 30, 33, 35};
  run(25.0 + 1 / fps, 26.0, fps);
  Frame boxOnly = readFrame();
  double t = 26.0;
  for (int i = 0; i < 4; ++i) {
    run(t + 1 / fps, starts[i] - 1 / fps, fps);
    EXPECT_EQ(systems[i]->currentTime, 0.0f);
    run(starts[i], starts[i], fps);
    EXPECT_NEAR(systems[i]->currentTime, 1 / fps, 1e-6) << "the first update gets one frame";
    t = starts[i];
  }
  run(t + 1 / fps, 38.0, fps);
  EXPECT_NEAR(scene->blueRate, 5.0 + 331 * 0.05, 1e-6);  // frames at 27..38 s
  EXPECT_NEAR(scene->greenRate, 5.0 + 241 * 0.05, 1e-6);
  float white = scene->whiteGlow->size;  // 30 grown by 0.1 for 91 frames, whole numbers
  EXPECT_EQ(white, static_cast<float>(static_cast<int>(white)));
  EXPECT_GE(white, 38.0f);
  EXPECT_LE(white, 39.0f);
  for (ParticleSystem* ps : systems) EXPECT_GT(ps->activeCount, 100u);

  // Added light: brighter than the box alone in all three colours, and
  // nowhere darker.
  Frame f = readFrame();
  int brighter[3] = {0, 0, 0}, darker = 0;
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x) {
      Rgb a = boxOnly.at(x, y), b = f.at(x, y);
      brighter[0] += b.r > a.r + 60;
      brighter[1] += b.g > a.g + 60;
      brighter[2] += b.b > a.b + 60;
      darker += b.r < a.r - 1 || b.g < a.g - 1 || b.b < a.b - 1;
    }
  for (int c = 0; c < 3; ++c) EXPECT_GT(brighter[c], 2000) << "channel " << c;
  EXPECT_EQ(darker, 0);
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  GLboolean depthWrites = GL_FALSE;
  glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
  EXPECT_TRUE(depthWrites);
}

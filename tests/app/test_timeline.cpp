#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/demo_timeline.h"
#include "app/font_manager.h"
#include "app/globals.h"
#include "platform/clock.h"
#include "platform/window.h"
#include "resources/texture_manager.h"
#include "scenes/evolution_text_scene.h"
#include "scenes/laser_scene.h"
#include "scenes/screen_scene.h"
#include "scenes/skull_skybox_scene.h"
#include "scenes/torus_knot_scene.h"
#include "scenes/words_scene.h"
#include "support/gl_test.h"

namespace {

// Ticks set by hand, one tick per millisecond of show time.
class ManualTicks : public platform::TickSource {
 public:
  int64_t now = 1000000;
  bool frequency(int64_t* f) override {
    *f = 1000;
    return true;
  }
  int64_t counter() override { return now; }
  uint32_t milliseconds() override { return static_cast<uint32_t>(now); }
};

std::vector<std::string> calls;

class RecordingScene : public Scene {
 public:
  explicit RecordingScene(std::string name) : name_(std::move(name)) {}
  void load() override { calls.push_back(name_ + ".load"); }
  void init() override { calls.push_back(name_ + ".init"); }
  void draw() override { calls.push_back(name_ + ".draw@" + std::to_string(m_localTime)); }
  void present() override { calls.push_back(name_ + ".present"); }

 private:
  std::string name_;
};

class Timeline : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::setTickSource(&ticks);
    calls.clear();
    loopDemo = false;
    showFps = false;
    tl.clearTable();
    tl.placeScene(0, new RecordingScene("a"), 0.0, 40.0);
    tl.placeScene(1, new RecordingScene("b"), 40.0, 10.0);
    tl.showEndTime = tl.sceneWindows[1][1];
    tl.startClock(0.0);
  }
  void TearDown() override {
    tl.destroyScenes();
    platform::setTickSource(nullptr);
  }
  // Advances the clock to t seconds and runs one frame.
  bool frameAt(double t) {
    ticks.now = tl.startTicks + static_cast<int64_t>(t * 1000.0 + 0.5);
    calls.clear();
    return tl.frame();
  }
  ManualTicks ticks;
  DemoTimeline tl;
};

}  // namespace

TEST_F(Timeline, BoundaryDrawsBothScenesEarlierFirst) {
  ASSERT_TRUE(frameAt(40.0));
  std::vector<std::string> want = {"a.init", "a.draw@40.000000", "a.present",
                                   "b.init", "b.draw@0.000000",  "b.present"};
  EXPECT_EQ(calls, want);
}

TEST_F(Timeline, InitRunsOnlyOnTheFirstActiveFrame) {
  frameAt(1.0);
  frameAt(2.0);
  std::vector<std::string> want = {"a.draw@2.000000", "a.present"};
  EXPECT_EQ(calls, want);
}

TEST_F(Timeline, EndWithoutLoopDrawsNothing) {
  frameAt(49.0);
  EXPECT_FALSE(frameAt(50.001));
  EXPECT_TRUE(calls.empty());
}

TEST_F(Timeline, EndWithLoopRestartsWithoutInit) {
  loopDemo = true;
  frameAt(1.0);
  ASSERT_TRUE(frameAt(50.5));
  std::vector<std::string> want = {"a.draw@0.000000", "a.present"};
  EXPECT_EQ(calls, want);
  EXPECT_EQ(tl.startTicks, ticks.now);
  EXPECT_DOUBLE_EQ(tl.demoTime, 0.0);
  EXPECT_TRUE(frameAt(0.25));  // the clock now counts from the restart
  EXPECT_EQ(calls.front(), "a.draw@0.250000");
}

TEST_F(Timeline, FpsStaysZeroUntilMoreThanOneSecond) {
  for (int i = 1; i <= 10; ++i) frameAt(0.1 * i);  // exactly 1.0 s accumulated
  EXPECT_DOUBLE_EQ(tl.fps, 0.0);
  frameAt(1.05);
  EXPECT_DOUBLE_EQ(tl.fps, 11.0);
  EXPECT_DOUBLE_EQ(tl.fpsAccumulator, 0.0);  // reset, not reduced by a second
  EXPECT_DOUBLE_EQ(tl.frameCount, 0.0);
}

TEST_F(Timeline, WindowsAreSinglePrecisionAndInclusive) {
  DemoTimeline t;
  t.clearTable();
  t.placeScene(0, new RecordingScene("c"), 0.1, 0.2);
  EXPECT_EQ(t.sceneWindows[0][0], 0.1f);
  EXPECT_EQ(t.sceneWindows[0][1], static_cast<float>(0.2 + 0.1f));
  t.destroyScenes();

  frameAt(0.0);
  EXPECT_EQ(calls.size(), 3u);  // start bound included
}

TEST_F(Timeline, StartOptionSkipsEarlierScenes) {
  tl.startClock(45.0);
  calls.clear();
  ticks.now = tl.lastTicks;
  ASSERT_TRUE(tl.frame());
  std::vector<std::string> want = {"b.init", "b.draw@5.000000", "b.present"};
  EXPECT_EQ(calls, want);
}

TEST_F(Timeline, MillisecondFallbackWhenNoCounter) {
  class NoCounter : public ManualTicks {
    bool frequency(int64_t*) override { return false; }
  } ms;
  platform::setTickSource(&ms);
  tl.startClock(0.0);
  EXPECT_FALSE(tl.usePerformanceCounter);
  EXPECT_DOUBLE_EQ(tl.secondsPerTick, 0.001);
  ms.now += 1500;
  tl.frame();
  EXPECT_DOUBLE_EQ(tl.demoTime, 1.5);
  platform::setTickSource(&ticks);
}

TEST(SceneInterface, WordsSceneDurationIsItsLength) {
  DemoTimeline t;
  t.clearTable();
  t.placeScene(1, new WordsScene, 40.0, 10.0);
  EXPECT_DOUBLE_EQ(t.scenes[1]->duration(), 10.0);
  EXPECT_EQ(t.sceneWindows[1][1], 50.0f);
  t.destroyScenes();
}

namespace {

// What had been built when a loading screen was presented.
struct Built {
  int fonts, textures;
};
std::vector<Built> atLoadingScreens;

void noteLoadingScreen(int, int) {
  atLoadingScreens.push_back(
      {FontManager::instance()->fontCount, TextureManager::instance()->textureCount()});
}

}  // namespace

// The show's own table, loaded for real: six scenes of their kinds in their
// windows, one loading screen presented before each load (seen by what the
// loads before it had built), the end at 185 s, and the frame-rate font only
// with "Show FPS".
TEST(ShowTimeline, SetupBuildsTheSixScenesBehindTheirLoadingScreens) {
  ASSERT_TRUE(openTestWindow(640, 480));
  for (bool withFps : {false, true}) {
    SCOPED_TRACE(withFps ? "with Show FPS" : "without Show FPS");
    showFps = withFps;
    fpsFont = -1;
    const Built before = {FontManager::instance()->fontCount,
                          TextureManager::instance()->textureCount()};
    atLoadingScreens.clear();
    platform::setSwapHook(noteLoadingScreen);
    DemoTimeline tl;
    tl.setup();
    platform::setSwapHook(nullptr);

    EXPECT_NE(dynamic_cast<ScreenScene*>(tl.scenes[0]), nullptr);
    EXPECT_NE(dynamic_cast<WordsScene*>(tl.scenes[1]), nullptr);
    EXPECT_NE(dynamic_cast<TorusKnotScene*>(tl.scenes[2]), nullptr);
    EXPECT_NE(dynamic_cast<LaserScene*>(tl.scenes[3]), nullptr);
    EXPECT_NE(dynamic_cast<EvolutionTextScene*>(tl.scenes[4]), nullptr);
    EXPECT_NE(dynamic_cast<SkullSkyboxScene*>(tl.scenes[5]), nullptr);
    EXPECT_EQ(tl.scenes[6], nullptr);
    const float windows[6][2] = {{0, 40}, {40, 50}, {50, 85}, {85, 115}, {115, 150}, {150, 185}};
    for (int i = 0; i < 6; ++i) {
      EXPECT_EQ(tl.sceneWindows[i][0], windows[i][0]) << "entry " << i;
      EXPECT_EQ(tl.sceneWindows[i][1], windows[i][1]) << "entry " << i;
      EXPECT_EQ(tl.scenes[i]->duration(), windows[i][1] - windows[i][0]) << "entry " << i;
      EXPECT_EQ(tl.sceneFirstFrame[i], 1) << "entry " << i;
    }
    EXPECT_EQ(tl.showEndTime, 185.0);

    // The screen, words, laser and evolution scenes build fonts or textures
    // through the managers in their load; the knot and the skull load models.
    const bool buildsThroughManagers[6] = {true, true, false, true, true, false};
    ASSERT_EQ(atLoadingScreens.size(), 6u);
    EXPECT_EQ(atLoadingScreens[0].fonts, before.fonts + 1);  // the loading font alone
    EXPECT_EQ(atLoadingScreens[0].textures, before.textures);
    for (int i = 1; i < 6; ++i) {
      const int seen = atLoadingScreens[i].fonts + atLoadingScreens[i].textures;
      const int seenBefore = atLoadingScreens[i - 1].fonts + atLoadingScreens[i - 1].textures;
      if (buildsThroughManagers[i - 1])
        EXPECT_GT(seen, seenBefore) << "loading screen " << i;
      else
        EXPECT_EQ(seen, seenBefore) << "loading screen " << i;
    }
    const int fonts = FontManager::instance()->fontCount;
    if (withFps) {
      EXPECT_EQ(fpsFont, fonts - 1);  // built last, after every scene's fonts
    } else {
      EXPECT_EQ(fpsFont, -1);
    }
    tl.destroyScenes();
  }
  showFps = false;
}

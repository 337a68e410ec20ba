#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/demo_timeline.h"
#include "platform/clock.h"
#include "resources/sound_manager.h"
#include "support/fake_sound.h"

namespace {

// Every test of this program gets the fake, so that none ever opens the audio
// device, whichever happens to start the sound manager first.
const bool fakeSoundInstalled = (installFakeSound(), true);

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
  bool load() override {
    calls.push_back(name_ + ".load");
    return true;
  }
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
    restart(0.0);
  }
  void TearDown() override {
    tl.destroyScenes();
    platform::setTickSource(nullptr);
  }
  // Scene a from 0 to 40 s and b from 40 to 50 s, none drawn yet, the clock
  // started at `start`.
  void restart(double start) {
    tl.destroyScenes();
    tl.clearTable();
    tl.placeScene(0, new RecordingScene("a"), 0.0, 40.0);
    tl.placeScene(1, new RecordingScene("b"), 40.0, 10.0);
    tl.showEndTime = tl.sceneWindows[1][1];
    tl.startClock(start);
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

// Frames at the given times of a clock started at `start`; the last one
// returns `running` and makes `calls`.
TEST_F(Timeline, FramesDrawTheScenesWhoseWindowsHoldTheTime) {
  struct Case {
    const char* what;
    double start;
    std::vector<double> times;
    bool running;
    std::vector<std::string> calls;
  } cases[] = {
      {"the start bound is inside", 0, {0}, true, {"a.init", "a.draw@0.000000", "a.present"}},
      {"init on the first active frame only", 0, {1, 2}, true, {"a.draw@2.000000", "a.present"}},
      {"a boundary draws both scenes, the earlier first",
       0,
       {40},
       true,
       {"a.init", "a.draw@40.000000", "a.present", "b.init", "b.draw@0.000000", "b.present"}},
      {"past the end without a loop nothing", 0, {49, 50.001}, false, {}},
      {"a later start skips the earlier scenes",
       45,
       {45},
       true,
       {"b.init", "b.draw@5.000000", "b.present"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    restart(c.start);
    bool running = false;
    for (double t : c.times) running = frameAt(t);
    EXPECT_EQ(running, c.running);
    EXPECT_EQ(calls, c.calls);
  }
}

TEST_F(Timeline, EndWithLoopRestartsWithoutInit) {
  tl.loop = true;
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

TEST_F(Timeline, WindowsAreSinglePrecision) {
  DemoTimeline t;
  t.clearTable();
  t.placeScene(0, new RecordingScene("c"), 0.1, 0.2);
  EXPECT_EQ(t.sceneWindows[0][0], 0.1f);
  EXPECT_EQ(t.sceneWindows[0][1], static_cast<float>(0.2 + 0.1f));
  t.destroyScenes();
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

// The music named for an entry ("background1" and "background2" on entries 0
// and 1, as the show places them) starts on the entry's first frame, once per
// process: the loop starts none again.
TEST_F(Timeline, MusicStartsOnTheFirstFramesOfItsEntriesOnly) {
  ASSERT_TRUE(fakeSoundInstalled);
  SoundManager::instance()->releaseAll();
  SoundManager::instance()->loadStream("sounds/back1.mp3", "background1");
  SoundManager::instance()->loadStream("sounds/back2.mp3", "background2");
  tl.destroyScenes();
  tl.clearTable();
  tl.loop = true;
  tl.placeScene(0, new RecordingScene("a"), 0.0, 40.0, "background1");
  tl.placeScene(1, new RecordingScene("b"), 40.0, 10.0, "background2");
  tl.placeScene(2, new RecordingScene("c"), 50.0, 35.0);
  tl.showEndTime = tl.sceneWindows[2][1];
  tl.startClock(0.0);
  fakeSoundCalls.clear();
  for (double t : {0.0, 20.0, 40.0, 45.0, 60.0, 85.0, 86.0, 126.0}) frameAt(t);
  EXPECT_EQ(
      fakeSoundCallsOf("playSound"),
      (std::vector<std::string>{"playSound -1 sounds/back1.mp3", "playSound -1 sounds/back2.mp3"}));
}

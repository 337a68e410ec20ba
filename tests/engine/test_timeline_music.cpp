// The timeline starts an entry's music ("background1" and "background2" on
// entries 0 and 1, as the show places them) on its first frame, once per
// process.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/demo_timeline.h"
#include "platform/clock.h"
#include "resources/sound_manager.h"
#include "sound/sound_system.h"

namespace snd = platform::sound;

namespace {

std::vector<std::string> played;

class NamedSound : public snd::Sound {
 public:
  explicit NamedSound(const char* path) : path(path) {}
  snd::Result release() override {
    delete this;
    return snd::OK;
  }
  std::string path;
};

// A sound system that only notes what is played.
class PlayLog : public snd::System {
 public:
  snd::Result getVersion(unsigned int* v) override {
    *v = snd::VERSION;
    return snd::OK;
  }
  snd::Result init(int, unsigned int, void*) override { return snd::OK; }
  snd::Result createSound(const char* path, unsigned int, void*, snd::Sound** s) override {
    *s = new NamedSound(path);
    return snd::OK;
  }
  snd::Result createStream(const char* path, unsigned int, void*, snd::Sound** s) override {
    *s = new NamedSound(path);
    return snd::OK;
  }
  snd::Result playSound(int, snd::Sound* s, bool, snd::Channel** ch) override {
    played.push_back(static_cast<NamedSound*>(s)->path);
    *ch = nullptr;
    return snd::OK;
  }
  snd::Result close() override { return snd::OK; }
  snd::Result release() override {
    delete this;
    return snd::OK;
  }
};

snd::Result createPlayLog(snd::System** system) {
  *system = new PlayLog;
  return snd::OK;
}

// Every test of this program gets the logging system, so no test here ever
// opens the audio device, whichever test happens to create the manager first.
const bool playLogInstalled = (snd::setSystemFactory(createPlayLog), true);

class QuietScene : public Scene {
 public:
  bool load() override { return true; }
  void init() override {}
  void draw() override {}
  void present() override {}
};

class Ticks : public platform::TickSource {
 public:
  int64_t now = 0;
  bool frequency(int64_t* f) override {
    *f = 1000;
    return true;
  }
  int64_t counter() override { return now; }
  uint32_t milliseconds() override { return static_cast<uint32_t>(now); }
};

}  // namespace

TEST(TimelineMusic, StartsOnTheFirstFramesOfTheFirstTwoEntriesOnly) {
  ASSERT_TRUE(playLogInstalled);
  Ticks ticks;
  platform::setTickSource(&ticks);
  SoundManager::instance()->releaseAll();
  SoundManager::instance()->loadStream("sounds/back1.mp3", "background1");
  SoundManager::instance()->loadStream("sounds/back2.mp3", "background2");

  DemoTimeline tl;
  tl.loop = true;
  tl.clearTable();
  tl.placeScene(0, new QuietScene, 0.0, 40.0, "background1");
  tl.placeScene(1, new QuietScene, 40.0, 10.0, "background2");
  tl.placeScene(2, new QuietScene, 50.0, 35.0);
  tl.showEndTime = tl.sceneWindows[2][1];
  tl.startClock(0.0);
  played.clear();
  // Frames at 0, 20, 40 (both entries), 45, 60, then past the end: the loop
  // starts no music again.
  for (int64_t ms : {0, 20000, 40000, 45000, 60000, 85000, 86000, 126000}) {
    ticks.now = tl.startTicks + ms;
    tl.frame();
  }
  EXPECT_EQ(played, (std::vector<std::string>{"sounds/back1.mp3", "sounds/back2.mp3"}));

  tl.destroyScenes();
  platform::setTickSource(nullptr);
}

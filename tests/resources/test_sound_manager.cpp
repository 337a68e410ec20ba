#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/sound_manager.h"
#include "support/fake_sound.h"

namespace snd = platform::sound;

namespace {

std::vector<std::string>& calls = fakeSoundCalls;
FakeSoundSetup& setup = fakeSoundSetup;

// What the manager printed while f ran.
template <typename F>
std::string printed(F f) {
  testing::internal::CaptureStdout();
  f();
  return testing::internal::GetCapturedStdout();
}

class SoundManagerTest : public ::testing::Test {
 protected:
  void SetUp() override { installFakeSound(); }
  void TearDown() override {
    printed([&] { manager.close(); });  // frees the fakes
    snd::setSystemFactory(nullptr);
  }

  // A started manager with the start-up calls forgotten.
  void start() {
    manager.init();
    calls.clear();
  }
  SoundManager manager;
};

}  // namespace

TEST_F(SoundManagerTest, StartsTheSystemWith32ChannelsAndReportsFailures) {
  EXPECT_EQ(printed([&] { manager.init(); }), "");
  EXPECT_EQ(calls, (std::vector<std::string>{"create", "getVersion", "init 32 0 null"}));

  SoundManager old;
  setup.version = 0x00040200;
  setup.initResult = snd::ERR_OUTPUT_INIT;
  EXPECT_EQ(printed([&] { old.init(); }),
            "Error!  You are using an old version of FMOD 00040200.  This program requires "
            "00040201\n"
            "FMOD error! (48) Error initializing output device.\n");
  EXPECT_EQ(old.lastResult(), snd::ERR_OUTPUT_INIT);
  old.close();
}

TEST_F(SoundManagerTest, LoadsIntoSlotsAndPlaysByName) {
  start();
  manager.loadStream("sounds/spring.mp3", "SPRING");
  manager.loadSound("sounds/typewriter.wav", "type");
  EXPECT_EQ(manager.count(), 2);
  EXPECT_EQ(manager.findIndex("type"), 1);
  EXPECT_EQ(manager.findIndex("Type"), -1);
  EXPECT_EQ(manager.findIndex(nullptr), -1);

  manager.play("type");
  manager.play("SPRING");
  EXPECT_EQ(calls, (std::vector<std::string>{
                       "createStream sounds/spring.mp3 33", "createSound sounds/typewriter.wav 33",
                       "playSound -1 sounds/typewriter.wav", "playSound -1 sounds/spring.mp3"}));
}

TEST_F(SoundManagerTest, DuplicateNamesPlayTheFirst) {
  start();
  manager.loadSound("first.wav", "type");
  manager.loadSound("second.wav", "type");
  EXPECT_EQ(manager.findIndex("type"), 0);
  calls.clear();
  manager.play("type");
  manager.play("type");
  EXPECT_EQ(calls, (std::vector<std::string>{"playSound -1 first.wav", "playSound -1 first.wav"}));
}

TEST_F(SoundManagerTest, ReleaseAllEmptiesTheTableAndTheNextLoadTakesSlotZero) {
  start();
  manager.loadStream("sounds/spring.mp3", "SPRING");
  manager.loadStream("b.mp3", "b");
  manager.releaseAll();
  EXPECT_EQ(manager.count(), 0);
  EXPECT_EQ(manager.findIndex("SPRING"), -1);
  EXPECT_EQ(calls,
            (std::vector<std::string>{"createStream sounds/spring.mp3 33", "createStream b.mp3 33",
                                      "release sounds/spring.mp3", "release b.mp3"}));

  manager.loadStream("sounds/back1.mp3", "background1");
  EXPECT_EQ(manager.findIndex("background1"), 0);
  calls.clear();
  manager.play("background1");
  EXPECT_EQ(calls, (std::vector<std::string>{"playSound -1 sounds/back1.mp3"}));
}

TEST_F(SoundManagerTest, AnEleventhLoadEmptiesTheTableAndLoadsNothing) {
  start();
  const char* names[10] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
  for (const char* n : names) manager.loadSound((std::string(n) + ".wav").c_str(), n);
  EXPECT_EQ(manager.count(), SoundManager::MAX_SOUNDS);
  calls.clear();

  manager.loadSound("eleventh.wav", "eleventh");
  EXPECT_EQ(manager.count(), 0);
  EXPECT_EQ(manager.findIndex("eleventh"), -1);
  ASSERT_EQ(calls.size(), 10u);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(calls[i], "release " + std::to_string(i) + ".wav");
}

TEST_F(SoundManagerTest, AFailedLoadKeepsItsSlotAndEveryFailureIsPrinted) {
  start();
  setup.missingFiles = {"gone.mp3"};
  EXPECT_EQ(printed([&] { manager.loadStream("gone.mp3", "gone"); }),
            "FMOD error! (22) File not found.\n");
  EXPECT_EQ(manager.lastResult(), snd::ERR_FILE_NOTFOUND);
  manager.loadSound("here.wav", "here");
  EXPECT_EQ(manager.findIndex("gone"), 0);
  EXPECT_EQ(manager.findIndex("here"), 1);

  // The failed slot hands its empty handle on; the system says what is wrong.
  EXPECT_EQ(printed([&] { manager.play("gone"); }),
            "FMOD error! (33) An invalid parameter was passed to this function.\n");
  setup.playResult = 99;
  EXPECT_EQ(printed([&] { manager.play("here"); }), "FMOD error! (99) Unknown error.\n");
  EXPECT_EQ(printed([&] { manager.releaseAll(); }),
            "FMOD error! (32) An invalid object handle was used.\n");
}

TEST_F(SoundManagerTest, UnknownNamesAndIndicesPlayNothing) {
  start();
  manager.loadSound("a.wav", "a");
  calls.clear();
  EXPECT_EQ(printed([&] { manager.play("b"); }), "");
  EXPECT_EQ(printed([&] { manager.playIndex(1); }), "Sorry index has no sound associated.");
  EXPECT_EQ(printed([&] { manager.playIndex(-1); }), "Sorry index has no sound associated.");
  EXPECT_TRUE(calls.empty());
}

TEST_F(SoundManagerTest, TheSingletonStartsOnceAndShutsDownInOrder) {
  SoundManager::shutdown();  // no manager yet: nothing happens
  EXPECT_TRUE(calls.empty());

  SoundManager* m = SoundManager::instance();
  EXPECT_EQ(SoundManager::instance(), m);
  m->loadStream("sounds/back1.mp3", "background1");
  m->loadStream("sounds/back2.mp3", "background2");
  calls.clear();
  SoundManager::shutdown();
  EXPECT_EQ(calls, (std::vector<std::string>{"release sounds/back1.mp3", "release sounds/back2.mp3",
                                             "close", "release system"}));
  // The object stays; nothing is created again.
  calls.clear();
  EXPECT_EQ(SoundManager::instance(), m);
  EXPECT_TRUE(calls.empty());
}

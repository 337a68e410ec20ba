// The sound system: mixing, streaming, channels and bad input, pulled offline;
// and the live output on SDL's audio thread.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "sound/sound_system.h"

namespace snd = platform::sound;

namespace {

// Writes a 16-bit PCM WAV whose samples are sample(frame, channel) / 32768.
std::string writeWav(const std::string& name, int frames, int channels, int rate,
                     const std::function<int16_t(int, int)>& sample) {
  const std::string path = testing::TempDir() + name;
  FILE* f = std::fopen(path.c_str(), "wb");
  auto u32 = [&](uint32_t v) { std::fwrite(&v, 4, 1, f); };
  auto u16 = [&](uint16_t v) { std::fwrite(&v, 2, 1, f); };
  const uint32_t bytes = static_cast<uint32_t>(frames * channels * 2);
  std::fwrite("RIFF", 1, 4, f);
  u32(36 + bytes);
  std::fwrite("WAVEfmt ", 1, 8, f);
  u32(16);
  u16(1);
  u16(static_cast<uint16_t>(channels));
  u32(static_cast<uint32_t>(rate));
  u32(static_cast<uint32_t>(rate * channels * 2));
  u16(static_cast<uint16_t>(channels * 2));
  u16(16);
  std::fwrite("data", 1, 4, f);
  u32(bytes);
  for (int i = 0; i < frames; ++i)
    for (int c = 0; c < channels; ++c) u16(static_cast<uint16_t>(sample(i, c)));
  std::fclose(f);
  return path;
}

float value(int16_t s) { return static_cast<float>(s) / 32768.0f; }

// Three distinct signals, small enough that their sum never clips.
int16_t signalA(int i, int c) { return static_cast<int16_t>((i * 37 + c * 1000) % 6000 - 3000); }
int16_t signalB(int i, int c) { return static_cast<int16_t>((i * 11 + c * 77) % 5000 - 2500); }
int16_t signalC(int i, int c) { return static_cast<int16_t>(((i / 3) * 5 + c) % 7000 - 3500); }

class SoundSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    snd::setOfflineOutput(true);
    ASSERT_EQ(snd::systemCreate(&system), snd::OK);
    ASSERT_EQ(system->init(32, snd::INIT_NORMAL, nullptr), snd::OK);
  }
  void TearDown() override {
    system->release();
    snd::setOfflineOutput(false);
  }
  snd::Sound* load(const std::string& path, bool stream) {
    snd::Sound* s = nullptr;
    const unsigned int mode = snd::LOOP_OFF | snd::HARDWARE;
    EXPECT_EQ(stream ? system->createStream(path.c_str(), mode, nullptr, &s)
                     : system->createSound(path.c_str(), mode, nullptr, &s),
              snd::OK)
        << path;
    return s;
  }
  snd::Channel* play(snd::Sound* s, snd::Result expect = snd::OK) {
    snd::Channel* ch = nullptr;
    EXPECT_EQ(system->playSound(snd::CHANNEL_FREE, s, false, &ch), expect);
    return ch;
  }
  std::vector<float> render(int frames) {
    std::vector<float> out(2 * static_cast<size_t>(frames));
    EXPECT_TRUE(snd::renderOffline(out.data(), frames));
    return out;
  }
  snd::System* system = nullptr;
};

}  // namespace

TEST_F(SoundSystemTest, ASoundAndTwoOverlappingStreamsSum) {
  // The streams are longer than the stream ring, so they are refilled on the way.
  const int lenA = 3000, lenB = 150000, lenC = 90000;
  snd::Sound* a = load(writeWav("a.wav", lenA, 2, 44100, signalA), false);
  snd::Sound* b = load(writeWav("b.wav", lenB, 2, 44100, signalB), true);
  snd::Sound* c = load(writeWav("c.wav", lenC, 1, 44100, signalC), true);

  play(a);
  std::vector<float> out = render(500);
  play(b);
  std::vector<float> more = render(700);
  out.insert(out.end(), more.begin(), more.end());
  play(c);
  more = render(200000);
  out.insert(out.end(), more.begin(), more.end());

  int wrong = 0;
  for (int i = 0; i < static_cast<int>(out.size() / 2); ++i) {
    for (int ch = 0; ch < 2; ++ch) {
      float want = 0.0f;
      if (i < lenA) want += value(signalA(i, ch));
      if (i >= 500 && i - 500 < lenB) want += value(signalB(i - 500, ch));
      if (i >= 1200 && i - 1200 < lenC) want += value(signalC(i - 1200, 0));  // mono: both sides
      if (std::fabs(out[2 * i + ch] - want) > 1e-6f && wrong++ < 5)
        ADD_FAILURE() << "frame " << i << " channel " << ch << ": " << out[2 * i + ch]
                      << " != " << want;
    }
  }
  EXPECT_EQ(wrong, 0);
}

TEST_F(SoundSystemTest, AStreamGivesTheSameSamplesAsTheWholeFile) {
  // The generated start-up tune: MPEG decoding, in pieces and whole.
  snd::Sound* whole = load("sounds/spring.mp3", false);
  snd::Sound* stream = load("sounds/spring.mp3", true);
  ASSERT_TRUE(whole && stream);
  const int frames = 16 * 44100 + 4410;  // the tune and a little silence after it

  play(whole);
  const std::vector<float> fromSound = render(frames);
  play(stream);
  const std::vector<float> fromStream = render(frames);

  EXPECT_TRUE(fromSound == fromStream);
  double energy = 0.0;
  for (float s : fromSound) energy += s * s;
  EXPECT_GT(energy / fromSound.size(), 1e-4) << "the tune is silent";
  // Both have ended: nothing after the last decoded frame.
  EXPECT_EQ(fromSound.back(), 0.0f);
}

TEST_F(SoundSystemTest, WithEveryChannelBusyAFurtherPlayIsRefused) {
  // 32 channels of a sound of constant 1/1024; the 33rd play reports the
  // channel-allocation code and the 32 keep playing.
  snd::Sound* s = load(writeWav("dc.wav", 1000, 2, 44100, [](int, int) { return 32; }), false);
  for (int i = 0; i < 32; ++i) EXPECT_NE(play(s), nullptr);
  EXPECT_EQ(play(s, snd::ERR_CHANNEL_ALLOC), nullptr);
  std::vector<float> out = render(1000);
  EXPECT_FLOAT_EQ(out[0], 32.0f / 1024.0f);
  EXPECT_FLOAT_EQ(out[1999], 32.0f / 1024.0f);
  // Once they have finished, channels are free again.
  render(10);
  EXPECT_NE(play(s), nullptr);
}

TEST_F(SoundSystemTest, TheChannelFreeLongestIsReusedFirst) {
  system->release();
  ASSERT_EQ(snd::systemCreate(&system), snd::OK);
  ASSERT_EQ(system->init(2, snd::INIT_NORMAL, nullptr), snd::OK);
  snd::Sound* shorter = load(writeWav("s100.wav", 100, 2, 44100, signalA), false);
  snd::Sound* longer = load(writeWav("s3000.wav", 3000, 2, 44100, signalA), false);
  snd::Channel* first = play(shorter);
  snd::Channel* second = play(longer);
  render(4000);  // the short one ends first
  EXPECT_EQ(play(longer), first);
  EXPECT_EQ(play(longer), second);
}

TEST_F(SoundSystemTest, PlayingAStreamAgainRestartsIt) {
  snd::Sound* s = load(writeWav("restart.wav", 5000, 2, 44100, signalB), true);
  play(s);
  render(1234);
  play(s);
  const std::vector<float> out = render(100);
  // Only one channel plays it, from the start.
  for (int i = 0; i < 100; ++i) ASSERT_EQ(out[2 * i], value(signalB(i, 0))) << i;
}

TEST_F(SoundSystemTest, OtherRatesAndMonoBecome44100Stereo) {
  // A mono ramp at 22050 Hz: twice as many frames, halfway values between.
  snd::Sound* s =
      load(writeWav("ramp.wav", 100, 1, 22050, [](int i, int) { return int16_t(i * 100); }), false);
  play(s);
  const std::vector<float> out = render(210);
  EXPECT_FLOAT_EQ(out[2 * 10], value(500));
  EXPECT_FLOAT_EQ(out[2 * 11], value(550));
  EXPECT_EQ(out[2 * 11], out[2 * 11 + 1]);
  EXPECT_FLOAT_EQ(out[2 * 199], value(9900));
  EXPECT_EQ(out[2 * 200], 0.0f);
}

TEST_F(SoundSystemTest, BadFilesAndHandlesGiveCodesNotCrashes) {
  const unsigned int mode = snd::LOOP_OFF;
  snd::Sound* s = reinterpret_cast<snd::Sound*>(1);
  EXPECT_EQ(system->createSound("no/such/file.wav", mode, nullptr, &s), snd::ERR_FILE_NOTFOUND);
  EXPECT_EQ(s, nullptr);

  const std::string text = testing::TempDir() + "not_audio.mp3";
  FILE* f = std::fopen(text.c_str(), "w");
  std::fputs("This is a plain text file, not audio.\n", f);
  std::fclose(f);
  EXPECT_EQ(system->createStream(text.c_str(), mode, nullptr, &s), snd::ERR_FORMAT);
  EXPECT_EQ(system->createSound(testing::TempDir().c_str(), mode, nullptr, &s), snd::ERR_FILE_BAD);

  EXPECT_EQ(system->playSound(snd::CHANNEL_FREE, nullptr, false, nullptr), snd::ERR_INVALID_PARAM);
  snd::Sound* good = load(writeWav("good.wav", 10, 2, 44100, signalA), false);
  EXPECT_EQ(system->playSound(snd::CHANNEL_FREE, good, true, nullptr), snd::ERR_INVALID_PARAM);
  EXPECT_EQ(good->release(), snd::OK);
  EXPECT_EQ(system->playSound(snd::CHANNEL_FREE, good, false, nullptr), snd::ERR_INVALID_HANDLE);
  EXPECT_EQ(system->init(32, 0, nullptr), snd::ERR_INITIALIZED);
}

TEST(SoundSystem, ErrorTextsCoverTheCodesAndNothingElse) {
  EXPECT_STREQ(snd::errorString(0), "No errors.");
  EXPECT_STREQ(snd::errorString(snd::ERR_CHANNEL_ALLOC), "Error trying to allocate a channel.");
  EXPECT_STREQ(snd::errorString(64), "The version number of this file format is not supported.");
  EXPECT_STREQ(snd::errorString(65), "Unknown error.");
  EXPECT_STREQ(snd::errorString(-1), "Unknown error.");
}

TEST(SoundSystem, WithoutAnOfflineSystemTheOfflinePullIsSilent) {
  float out[8] = {1, 1, 1, 1, 1, 1, 1, 1};
  EXPECT_FALSE(snd::renderOffline(out, 4));
  for (float s : out) EXPECT_EQ(s, 0.0f);

  // A system created before init without a device never starts the mix.
  snd::System* system = nullptr;
  ASSERT_EQ(snd::systemCreate(&system), snd::OK);
  snd::Sound* s = nullptr;
  EXPECT_EQ(system->createSound("sounds/typewriter.wav", 0, nullptr, &s), snd::ERR_UNINITIALIZED);
  system->release();
}

TEST(SoundSystem, TheLiveOutputMixesOnItsOwnThread) {
  // SDL's dummy driver pulls the mix in real time: short sounds on every
  // channel finish without anyone else pulling, and free their channels.
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  snd::System* system = nullptr;
  ASSERT_EQ(snd::systemCreate(&system), snd::OK);
  ASSERT_EQ(system->init(4, snd::INIT_NORMAL, nullptr), snd::OK);
  snd::Sound* click = nullptr;
  snd::Sound* music = nullptr;
  ASSERT_EQ(system->createSound("sounds/typewriter.wav", 0, nullptr, &click), snd::OK);
  ASSERT_EQ(system->createStream("sounds/back1.mp3", 0, nullptr, &music), snd::OK);
  EXPECT_EQ(system->playSound(snd::CHANNEL_FREE, music, false, nullptr), snd::OK);
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(system->playSound(snd::CHANNEL_FREE, click, false, nullptr), snd::OK);
  EXPECT_EQ(system->playSound(snd::CHANNEL_FREE, click, false, nullptr), snd::ERR_CHANNEL_ALLOC);
  bool freed = false;
  for (int tries = 0; tries < 100 && !freed; ++tries) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    freed = system->playSound(snd::CHANNEL_FREE, click, false, nullptr) == snd::OK;
  }
  EXPECT_TRUE(freed);
  EXPECT_EQ(music->release(), snd::OK);
  EXPECT_EQ(system->close(), snd::OK);
  EXPECT_EQ(system->release(), snd::OK);
}

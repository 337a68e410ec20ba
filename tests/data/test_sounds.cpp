// The generated music and click, decoded as the show decodes them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "sound/sound_decoder.h"

namespace snd = platform::sound;

namespace {

constexpr double RATE = 44100.0;

// The whole file as interleaved stereo frames; empty when it cannot be read.
std::vector<float> decode(const std::string& path) {
  snd::Decoder d;
  std::vector<float> all;
  if (d.open(path.c_str()) != snd::OK) return all;
  std::vector<float> block(2 * 4096);
  int got;
  while ((got = d.read(block.data(), 4096)) > 0)
    all.insert(all.end(), block.begin(), block.begin() + 2 * got);
  return all;
}

double seconds(const std::vector<float>& s) { return s.size() / 2 / RATE; }

double peakDb(const std::vector<float>& s) {
  float peak = 0.0f;
  for (float x : s) peak = std::max(peak, std::fabs(x));
  return 20.0 * std::log10(std::max(peak, 1e-9f));
}

// RMS in dBFS of the frames from t0 to t1 seconds.
double rmsDb(const std::vector<float>& s, double t0, double t1) {
  const size_t a = 2 * static_cast<size_t>(t0 * RATE);
  const size_t b = std::min(s.size(), 2 * static_cast<size_t>(t1 * RATE));
  double sum = 0.0;
  for (size_t i = a; i < b; ++i) sum += double(s[i]) * s[i];
  return 10.0 * std::log10(std::max(sum / std::max<size_t>(1, b - a), 1e-18));
}

// Checks what every piece of music must be: its length, headroom, level,
// and no half second of silence before its last two seconds.
void checkMusic(const std::string& path, double minSeconds, double maxSeconds) {
  SCOPED_TRACE(path);
  const std::vector<float> s = decode(path);
  ASSERT_FALSE(s.empty());
  EXPECT_GE(seconds(s), minSeconds);
  EXPECT_LE(seconds(s), maxSeconds);
  EXPECT_LE(peakDb(s), -1.0);
  EXPECT_GT(rmsDb(s, 0.0, seconds(s)), -24.0);
  for (double t = 0.0; t + 0.5 < seconds(s) - 2.0; t += 0.5)
    EXPECT_GT(rmsDb(s, t, t + 0.5), -45.0) << "silence at " << t << " s";
}

}  // namespace

TEST(Sounds, MusicHasItsLengthHeadroomAndNoSilence) {
  checkMusic("sounds/spring.mp3", 10.0, 20.0);
  checkMusic("sounds/back1.mp3", 39.0, 41.0);
  checkMusic("sounds/back2.mp3", 143.0, 147.0);
}

TEST(Sounds, TheMainTrackFollowsTheScenes) {
  const std::vector<float> s = decode("sounds/back2.mp3");
  ASSERT_FALSE(s.empty());
  // The laser game (45-75 s) drives; the evolution text (75-110 s) breaks
  // down; the skull finale (110-140 s) is the fullest; it rings out by 145 s.
  const double laser = rmsDb(s, 50, 70), breakdown = rmsDb(s, 78, 98), finale = rmsDb(s, 112, 138);
  EXPECT_GT(laser - breakdown, 3.0);
  EXPECT_GT(finale - breakdown, 3.0);
  EXPECT_LT(rmsDb(s, 144.5, 145.0), finale - 20.0);
}

TEST(Sounds, TheFirstTrackBuildsUp) {
  const std::vector<float> s = decode("sounds/back1.mp3");
  ASSERT_FALSE(s.empty());
  EXPECT_GT(rmsDb(s, 30, 40) - rmsDb(s, 0, 10), 3.0);
}

TEST(Sounds, TheTypewriterIsOneShortDryClick) {
  const std::vector<float> s = decode("sounds/typewriter.wav");
  ASSERT_FALSE(s.empty());
  EXPECT_GE(seconds(s), 0.01);
  EXPECT_LE(seconds(s), 0.1);
  EXPECT_LE(peakDb(s), -1.0);
  // Its energy is in the strike, and it ends in silence without a hum.
  EXPECT_GT(rmsDb(s, 0.0, 0.015) - rmsDb(s, 0.025, seconds(s)), 15.0);
  EXPECT_LT(std::fabs(s[s.size() - 2]), 1e-3f);
  double mean = 0.0;
  for (size_t i = 0; i < s.size(); i += 2) mean += s[i];
  EXPECT_LT(std::fabs(mean / (s.size() / 2)), 0.01);
}

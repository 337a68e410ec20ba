// The "sounds" product: sounds/spring.mp3, back1.mp3, back2.mp3 and
// typewriter.wav. The long track renders and encodes on a thread of its own
// while the others are made in turn; each file's length, peak (before and
// after encoding) and RMS are printed.
#include <cstdio>
#include <thread>

#include "music.h"
#include "registry.h"

namespace datagen {

namespace {

// No decoded sample of a piece may come closer to full scale than this.
constexpr double MAX_PEAK_DB = -1.1;

struct Piece {
  const char* file;
  audio::Stereo (*compose)();
  bool mp3;
  bool ok = false;
  audio::Stats stats = {};
  double encodedPeakDb = 0.0;
};

void make(const std::string& dir, Piece& p) {
  audio::Stereo s = p.compose();
  const std::string path = dir + "/" + p.file;
  p.ok = p.mp3 ? audio::writeMp3(path, s, MAX_PEAK_DB, &p.encodedPeakDb) : audio::writeWav(path, s);
  p.stats = audio::measure(s);
  if (!p.mp3) p.encodedPeakDb = p.stats.peakDb;
}

bool makeSounds(const std::string& root) {
  const std::string dir = root + "/sounds";
  if (!makeDirs(dir)) {
    std::fprintf(stderr, "datagen: cannot create %s\n", dir.c_str());
    return false;
  }
  Piece pieces[] = {{"back2.mp3", music::composeBack2, true},
                    {"back1.mp3", music::composeBack1, true},
                    {"spring.mp3", music::composeSpring, true},
                    {"typewriter.wav", music::composeTypewriter, false}};
  std::thread longest([&] { make(dir, pieces[0]); });
  for (size_t i = 1; i < sizeof pieces / sizeof pieces[0]; ++i) make(dir, pieces[i]);
  longest.join();

  bool ok = true;
  for (const Piece& p : pieces) {
    std::printf("datagen:   sounds/%-14s %6.2f s  peak %5.1f dBFS (file %5.1f)  RMS %5.1f dBFS\n",
                p.file, p.stats.seconds, p.stats.peakDb, p.encodedPeakDb, p.stats.rmsDb);
    ok = ok && p.ok;
  }
  return ok;
}

}  // namespace

REGISTER_PRODUCT("sounds", makeSounds);

}  // namespace datagen

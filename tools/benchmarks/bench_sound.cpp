// bench_sound [SECONDS] [--json FILE]: how much of one core the mixer takes while the two
// music streams play. Run it in the build folder (it reads sounds/).
//
//   offline, streams: back1 and back2 streamed and mixed by the offline pull
//                     in 735-frame steps (one 60 fps frame each);
//   offline, decoded: the same with both files decoded beforehand (mixing
//                     only);
//   live:             both streams on the real output (set SDL_AUDIODRIVER,
//                     e.g. dummy); the process's CPU time while the main
//                     thread sleeps, so the audio and feeder threads' cost.
// Each figure is the median of five runs, in per cent of one core.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "sound/sound_system.h"
#include "tools/benchmarks/bench_json.h"

namespace snd = platform::sound;

static double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

static double cpuSeconds() {
  rusage u;
  getrusage(RUSAGE_SELF, &u);
  return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-6;
}

// Loads both tracks and starts them; false when they cannot be loaded.
static bool startMusic(snd::System* system, bool streamed) {
  for (const char* path : {"sounds/back1.mp3", "sounds/back2.mp3"}) {
    snd::Sound* s = nullptr;
    snd::Result r = streamed ? system->createStream(path, snd::LOOP_OFF, nullptr, &s)
                             : system->createSound(path, snd::LOOP_OFF, nullptr, &s);
    if (r != snd::OK) {
      std::fprintf(stderr, "bench_sound: %s: %s\n", path, snd::errorString(r));
      return false;
    }
    system->playSound(snd::CHANNEL_FREE, s, false, nullptr);
  }
  return true;
}

// Share of one core the offline pull takes for `seconds` of music.
static double offlineShare(double seconds, bool streamed) {
  snd::setOfflineOutput(true);
  snd::System* system = nullptr;
  snd::systemCreate(&system);
  system->init(32, snd::INIT_NORMAL, nullptr);
  if (!startMusic(system, streamed)) std::exit(1);
  std::vector<float> frame(2 * 735);
  const int steps = static_cast<int>(seconds * 60.0);
  const auto t0 = std::chrono::steady_clock::now();
  for (int i = 0; i < steps; ++i) snd::renderOffline(frame.data(), 735);
  const double spent = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  system->release();
  snd::setOfflineOutput(false);
  return 100.0 * spent / seconds;
}

// Share of one core the live output's threads take for `seconds` of music.
static double liveShare(double seconds) {
  snd::System* system = nullptr;
  snd::systemCreate(&system);
  if (system->init(32, snd::INIT_NORMAL, nullptr) != snd::OK) {
    std::fprintf(stderr, "bench_sound: no audio device\n");
    std::exit(1);
  }
  if (!startMusic(system, true)) std::exit(1);
  const double c0 = cpuSeconds();
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
  const double spent = cpuSeconds() - c0;
  system->release();
  return 100.0 * spent / seconds;
}

int main(int argc, char** argv) {
  BenchJson json("bench_sound");
  if (!json.takeOption(&argc, argv)) return 2;
  const double seconds = argc > 1 ? std::atof(argv[1]) : 30.0;
  std::vector<double> streams, decoded, live;
  for (int run = 0; run < 5; ++run) {
    streams.push_back(offlineShare(seconds, true));
    decoded.push_back(offlineShare(seconds, false));
    live.push_back(liveShare(std::min(seconds, 5.0)));
  }
  std::printf("offline, streams: %6.2f %% of a core\n", median(streams));
  std::printf("offline, decoded: %6.2f %% of a core\n", median(decoded));
  std::printf("live:             %6.2f %% of a core\n", median(live));
  json.add("offline, streams", median(streams), "% of a core");
  json.add("offline, decoded", median(decoded), "% of a core");
  json.add("live", median(live), "% of a core");
  return json.write() ? 0 : 1;
}

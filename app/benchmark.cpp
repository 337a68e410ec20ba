#include "app/benchmark.h"

#include <GL/glew.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

#include "engine/demo_timeline.h"
#include "engine/globals.h"
#include "platform/clock.h"
#include "platform/signals.h"
#include "platform/window.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int FRAMES_PER_SCENE = 150;
constexpr int64_t TICKS_PER_SECOND = 1000000;

const char* const SCENE_NAMES[DemoTimeline::MAX_SCENES] = {
    "screen", "words", "torus knot", "laser", "evolution text", "skull skybox"};

// A show clock set by hand to the time each benchmark frame is drawn at.
class SetClock : public platform::TickSource {
 public:
  int64_t now = 0;
  bool frequency(int64_t* ticksPerSecond) override {
    *ticksPerSecond = TICKS_PER_SECOND;
    return true;
  }
  int64_t counter() override { return now; }
  uint32_t milliseconds() override { return static_cast<uint32_t>(now / 1000); }
};

struct SceneFigures {
  std::string name;
  double loadSeconds = 0.0;
  std::vector<double> cpuMs;    // issuing the frame, swap included
  std::vector<double> frameMs;  // until the GL work has finished
  std::vector<double> gpuMs;    // GL timer query; empty without timer queries
  long peakKb = 0;
};

double seconds(Clock::time_point a, Clock::time_point b) {
  return std::chrono::duration<double>(b - a).count();
}

long peakMemoryKb() {
  struct rusage usage = {};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// Handles waiting window messages; false when the run is to end (ESC, a
// closed window, a stop signal).
bool pumpMessages() {
  if (platform::stopSignal()) return false;
  MSG msg;
  while (platform::peekMessage(&msg)) {
    if (msg.message == WM_QUIT) return false;
    platform::dispatchMessage(msg);
  }
  return !keys[VK_ESCAPE];
}

bool measureScene(DemoTimeline& timeline, SetClock& clock, int i, SceneFigures* out) {
  const bool timerQueries = GLEW_ARB_timer_query || GLEW_VERSION_3_3;
  GLuint query = 0;
  if (timerQueries) glGenQueries(1, &query);
  const double start = timeline.sceneWindows[i][0];
  const double length = timeline.sceneWindows[i][1] - start;
  for (int k = 0; k < FRAMES_PER_SCENE; ++k) {
    if (!pumpMessages()) return false;
    double t = start + (k + 0.5) * length / FRAMES_PER_SCENE;
    clock.now = timeline.startTicks + static_cast<int64_t>(t * TICKS_PER_SECOND);
    Clock::time_point t0 = Clock::now();
    if (timerQueries) glBeginQuery(GL_TIME_ELAPSED, query);
    timeline.frame();
    if (timerQueries) glEndQuery(GL_TIME_ELAPSED);
    Clock::time_point t1 = Clock::now();
    glFinish();
    Clock::time_point t2 = Clock::now();
    out->cpuMs.push_back(seconds(t0, t1) * 1000.0);
    out->frameMs.push_back(seconds(t0, t2) * 1000.0);
    if (timerQueries) {
      GLuint64 ns = 0;
      glGetQueryObjectui64v(query, GL_QUERY_RESULT, &ns);
      out->gpuMs.push_back(static_cast<double>(ns) / 1e6);
    }
  }
  if (timerQueries) glDeleteQueries(1, &query);
  out->peakKb = peakMemoryKb();
  return true;
}

void printTable(const StartupTimes& startup, const std::vector<SceneFigures>& scenes) {
  std::printf("Parallaxis benchmark: %dx%d, %d frames per scene\n", screenWidth, screenHeight,
              FRAMES_PER_SCENE);
  std::printf("start-up: window %.3f s, set-up and loading %.3f s\n", startup.windowSeconds,
              startup.setupSeconds);
  std::printf("%-15s %8s | %8s %8s | %8s %8s | %8s %8s | %7s\n", "scene", "load s", "cpu med",
              "cpu p95", "frame med", "p95", "gpu med", "gpu p95", "peak MB");
  for (const SceneFigures& s : scenes) {
    std::printf("%-15s %8.3f | %8.2f %8.2f | %8.2f %8.2f | %8.2f %8.2f | %7.1f\n", s.name.c_str(),
                s.loadSeconds, quantile(s.cpuMs, 0.5), quantile(s.cpuMs, 0.95),
                quantile(s.frameMs, 0.5), quantile(s.frameMs, 0.95), quantile(s.gpuMs, 0.5),
                quantile(s.gpuMs, 0.95), s.peakKb / 1024.0);
  }
  std::printf("(milliseconds per frame; peak memory of the process so far)\n");
}

bool writeJson(const std::string& path, const StartupTimes& startup,
               const std::vector<SceneFigures>& scenes) {
  FILE* f = std::fopen(path.c_str(), "w");
  if (!f) return false;
  std::fprintf(f, "{\n  \"width\": %d, \"height\": %d, \"framesPerScene\": %d,\n", screenWidth,
               screenHeight, FRAMES_PER_SCENE);
  std::fprintf(f, "  \"windowSeconds\": %.6f, \"setupSeconds\": %.6f,\n  \"scenes\": [\n",
               startup.windowSeconds, startup.setupSeconds);
  for (size_t i = 0; i < scenes.size(); ++i) {
    const SceneFigures& s = scenes[i];
    std::fprintf(f,
                 "    {\"name\": \"%s\", \"loadSeconds\": %.6f, \"cpuMsMedian\": %.4f, "
                 "\"cpuMsP95\": %.4f, \"frameMsMedian\": %.4f, \"frameMsP95\": %.4f, "
                 "\"gpuMsMedian\": %.4f, \"gpuMsP95\": %.4f, \"peakMemoryMB\": %.1f}%s\n",
                 s.name.c_str(), s.loadSeconds, quantile(s.cpuMs, 0.5), quantile(s.cpuMs, 0.95),
                 quantile(s.frameMs, 0.5), quantile(s.frameMs, 0.95), quantile(s.gpuMs, 0.5),
                 quantile(s.gpuMs, 0.95), s.peakKb / 1024.0, i + 1 < scenes.size() ? "," : "");
  }
  std::fprintf(f, "  ]\n}\n");
  return std::fclose(f) == 0;
}

}  // namespace

double quantile(std::vector<double> values, double q) {
  if (values.empty()) return 0.0;
  std::sort(values.begin(), values.end());
  size_t rank = static_cast<size_t>(std::ceil(q * values.size()));
  return values[rank == 0 ? 0 : rank - 1];
}

int runBenchmark(DemoTimeline& timeline, const StartupTimes& startup, const std::string& jsonPath) {
  platform::setSwapInterval(0);
  SetClock clock;
  platform::setTickSource(&clock);
  timeline.startClock(0.0);

  std::vector<SceneFigures> figures;
  for (int i = 0; i < DemoTimeline::MAX_SCENES && timeline.scenes[i]; ++i) {
    SceneFigures s;
    s.name = SCENE_NAMES[i];
    s.loadSeconds = timeline.loadSeconds[i];
    if (!measureScene(timeline, clock, i, &s)) break;
    figures.push_back(s);
  }
  platform::setTickSource(nullptr);

  printTable(startup, figures);
  if (!jsonPath.empty() && !writeJson(jsonPath, startup, figures)) {
    std::perror(("parallaxis: cannot write " + jsonPath).c_str());
    return 2;
  }
  return 0;
}

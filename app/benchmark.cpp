#include "app/benchmark.h"

#include <GL/glew.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>

#include "engine/demo_timeline.h"
#include "engine/gl_window.h"
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

// The machine the figures come from.
struct Machine {
  std::string cpu;                // the model name of the first processor
  long cores = 0;                 // processors online
  std::string renderer, version;  // GL_RENDERER, GL_VERSION
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
bool pumpMessages(const GLWindow& window) {
  if (platform::stopSignal()) return false;
  MSG msg;
  while (platform::peekMessage(&msg)) {
    if (msg.message == WM_QUIT) return false;
    platform::dispatchMessage(msg);
  }
  return !window.keys[VK_ESCAPE];
}

}  // namespace

double secondsSinceProcessStart() {
  std::ifstream stat("/proc/self/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  // The fields after the command name (in parentheses, which may hold spaces);
  // the start time is field 22, in clock ticks after boot.
  size_t close = text.rfind(')');
  if (close == std::string::npos) return 0.0;
  const char* p = text.c_str() + close + 1;
  unsigned long long startTicks = 0;
  for (int field = 3; field <= 22 && *p; ++field) {
    while (*p == ' ') ++p;
    if (field == 22) startTicks = std::strtoull(p, nullptr, 10);
    while (*p && *p != ' ') ++p;
  }
  struct timespec now = {};
  if (startTicks == 0 || clock_gettime(CLOCK_BOOTTIME, &now) != 0) return 0.0;
  return now.tv_sec + now.tv_nsec / 1e9 - static_cast<double>(startTicks) / sysconf(_SC_CLK_TCK);
}

namespace {

Machine describeMachine() {
  Machine m;
  std::ifstream cpuinfo("/proc/cpuinfo");
  for (std::string line; m.cpu.empty() && std::getline(cpuinfo, line);) {
    if (line.compare(0, 10, "model name") != 0) continue;
    size_t colon = line.find(':');
    if (colon != std::string::npos) m.cpu = line.substr(line.find_first_not_of(' ', colon + 1));
  }
  m.cores = sysconf(_SC_NPROCESSORS_ONLN);
  const GLubyte* renderer = glGetString(GL_RENDERER);
  const GLubyte* version = glGetString(GL_VERSION);
  if (renderer) m.renderer = reinterpret_cast<const char*>(renderer);
  if (version) m.version = reinterpret_cast<const char*>(version);
  return m;
}

// The text with JSON's special characters escaped.
std::string jsonText(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    if (static_cast<unsigned char>(c) >= 0x20) out += c;
  }
  return out;
}

// Times FRAMES_PER_SCENE frames of draw (frame k at clock ticksAt(k)) as one
// scene of the table. False when the run is to end.
bool measureFrames(const GLWindow& window, SetClock& clock, const std::function<void()>& draw,
                   const std::function<int64_t(int)>& ticksAt, SceneFigures* out) {
  const bool timerQueries = GLEW_ARB_timer_query || GLEW_VERSION_3_3;
  GLuint query = 0;
  if (timerQueries) glGenQueries(1, &query);
  for (int k = 0; k < FRAMES_PER_SCENE; ++k) {
    if (!pumpMessages(window)) return false;
    clock.now = ticksAt(k);
    Clock::time_point t0 = Clock::now();
    if (timerQueries) glBeginQuery(GL_TIME_ELAPSED, query);
    draw();
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

bool measureScene(DemoTimeline& timeline, SetClock& clock, int i, SceneFigures* out) {
  const double start = timeline.sceneWindows[i][0];
  const double length = timeline.sceneWindows[i][1] - start;
  return measureFrames(
      *timeline.window, clock, [&timeline] { timeline.frame(); },
      [&](int k) {
        double t = start + (k + 0.5) * length / FRAMES_PER_SCENE;
        return timeline.startTicks + static_cast<int64_t>(t * TICKS_PER_SECOND);
      },
      out);
}

// The least a frame costs here: a clear and a swap.
bool measureFloor(const GLWindow& window, SetClock& clock, SceneFigures* out) {
  out->name = "floor";
  return measureFrames(
      window, clock,
      [&window] {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        platform::swapBuffers(window.hDC);
      },
      [](int) { return int64_t{0}; }, out);
}

// A scene's frame median as a multiple of the floor's; 0 without a floor.
double ratioToFloor(const SceneFigures& scene, const SceneFigures& floor) {
  const double f = quantile(floor.frameMs, 0.5);
  return f > 0.0 ? quantile(scene.frameMs, 0.5) / f : 0.0;
}

void printTable(const GLWindow& window, const StartupTimes& startup, const Machine& machine,
                const SceneFigures& floor, const std::vector<SceneFigures>& scenes) {
  std::printf("Parallaxis benchmark: %dx%d, %d frames per scene\n", window.screenWidth,
              window.screenHeight, FRAMES_PER_SCENE);
  std::printf("machine: %s, %ld cores; %s, OpenGL %s\n", machine.cpu.c_str(), machine.cores,
              machine.renderer.c_str(), machine.version.c_str());
  std::printf(
      "start-up: before the window %.3f s, window %.3f s, set-up and loading %.3f s; "
      "first frame %.3f s after the process started\n",
      startup.beforeWindowSeconds, startup.windowSeconds, startup.setupSeconds,
      startup.firstFrameSeconds);
  std::printf("%-15s %8s | %8s %8s | %8s %8s | %8s %8s | %7s | %7s\n", "scene", "load s", "cpu med",
              "cpu p95", "frame med", "p95", "gpu med", "gpu p95", "x floor", "peak MB");
  std::vector<const SceneFigures*> rows = {&floor};
  for (const SceneFigures& s : scenes) rows.push_back(&s);
  for (const SceneFigures* s : rows) {
    std::printf("%-15s %8.3f | %8.2f %8.2f | %8.2f %8.2f | %8.2f %8.2f | %7.1f | %7.1f\n",
                s->name.c_str(), s->loadSeconds, quantile(s->cpuMs, 0.5), quantile(s->cpuMs, 0.95),
                quantile(s->frameMs, 0.5), quantile(s->frameMs, 0.95), quantile(s->gpuMs, 0.5),
                quantile(s->gpuMs, 0.95), ratioToFloor(*s, floor), s->peakKb / 1024.0);
  }
  std::printf(
      "(milliseconds per frame; x floor: the frame median over the floor's, a clear and a "
      "swap; peak memory of the process so far)\n");
}

// One scene's figures as the members of a JSON object.
void writeFigures(FILE* f, const SceneFigures& s) {
  std::fprintf(f,
               "\"name\": \"%s\", \"loadSeconds\": %.6f, \"cpuMsMedian\": %.4f, "
               "\"cpuMsP95\": %.4f, \"frameMsMedian\": %.4f, \"frameMsP95\": %.4f, "
               "\"gpuMsMedian\": %.4f, \"gpuMsP95\": %.4f, \"peakMemoryMB\": %.1f",
               jsonText(s.name).c_str(), s.loadSeconds, quantile(s.cpuMs, 0.5),
               quantile(s.cpuMs, 0.95), quantile(s.frameMs, 0.5), quantile(s.frameMs, 0.95),
               quantile(s.gpuMs, 0.5), quantile(s.gpuMs, 0.95), s.peakKb / 1024.0);
}

bool writeJson(const std::string& path, const GLWindow& window, const StartupTimes& startup,
               const Machine& machine, const SceneFigures& floor,
               const std::vector<SceneFigures>& scenes) {
  FILE* f = std::fopen(path.c_str(), "w");
  if (!f) return false;
  std::fprintf(f, "{\n  \"width\": %d, \"height\": %d, \"framesPerScene\": %d,\n",
               window.screenWidth, window.screenHeight, FRAMES_PER_SCENE);
  std::fprintf(f,
               "  \"machine\": {\"cpu\": \"%s\", \"cores\": %ld, \"glRenderer\": \"%s\", "
               "\"glVersion\": \"%s\"},\n",
               jsonText(machine.cpu).c_str(), machine.cores, jsonText(machine.renderer).c_str(),
               jsonText(machine.version).c_str());
  std::fprintf(f,
               "  \"beforeWindowSeconds\": %.6f, \"windowSeconds\": %.6f, "
               "\"setupSeconds\": %.6f, \"firstFrameSeconds\": %.6f,\n",
               startup.beforeWindowSeconds, startup.windowSeconds, startup.setupSeconds,
               startup.firstFrameSeconds);
  std::fprintf(f, "  \"floor\": {");
  writeFigures(f, floor);
  std::fprintf(f, "},\n  \"scenes\": [\n");
  for (size_t i = 0; i < scenes.size(); ++i) {
    std::fprintf(f, "    {");
    writeFigures(f, scenes[i]);
    std::fprintf(f, ", \"ratioToFloor\": %.4f}%s\n", ratioToFloor(scenes[i], floor),
                 i + 1 < scenes.size() ? "," : "");
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

int runBenchmark(DemoTimeline& timeline, StartupTimes startup, const std::string& jsonPath) {
  startup.firstFrameSeconds = secondsSinceProcessStart();
  platform::setSwapInterval(0);
  SetClock clock;
  platform::setTickSource(&clock);
  timeline.startClock(0.0);

  const Machine machine = describeMachine();
  SceneFigures floor;
  std::vector<SceneFigures> figures;
  const GLWindow& window = *timeline.window;
  const bool floorMeasured = measureFloor(window, clock, &floor);
  for (int i = 0; floorMeasured && i < DemoTimeline::MAX_SCENES && timeline.scenes[i]; ++i) {
    SceneFigures s;
    s.name = SCENE_NAMES[i];
    s.loadSeconds = timeline.loadSeconds[i];
    if (!measureScene(timeline, clock, i, &s)) break;
    figures.push_back(s);
  }
  platform::setTickSource(nullptr);

  printTable(window, startup, machine, floor, figures);
  if (!jsonPath.empty() && !writeJson(jsonPath, window, startup, machine, floor, figures)) {
    std::perror(("parallaxis: cannot write " + jsonPath).c_str());
    return 2;
  }
  return 0;
}

// Times the evolution-text scene in a real window: building its outline font,
// and a frame with 17 letters on their way, without and with the zoom blur.
// Prints medians in milliseconds. Usage: bench_evolution_text [WxH] [--json FILE]
#include <GL/glew.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "engine/gl_window.h"
#include "platform/glut_init.h"
#include "platform/window.h"
#include "scenes/evolution_text_scene.h"
#include "tools/benchmarks/bench_json.h"

namespace {

using Clock = std::chrono::steady_clock;

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double millisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Draws and presents frames at local time t; the time of each until the GL
// work has finished.
std::vector<double> timeFrames(EvolutionTextScene& scene, double t, int frames) {
  std::vector<double> ms;
  scene.setLocalTime(t);
  for (int i = 0; i < frames; ++i) {
    const Clock::time_point start = Clock::now();
    scene.draw();
    scene.present();
    glFinish();
    ms.push_back(millisecondsSince(start));
  }
  return ms;
}

}  // namespace

int main(int argc, char** argv) {
  platform::initGlut(&argc, argv);
  BenchJson json("bench_evolution_text");
  if (!json.takeOption(&argc, argv)) return 2;
  int width = 1024, height = 768;
  if (!BenchJson::takeSize(argc, argv, &width, &height)) return 2;
  GLWindow window;
  if (!createGLWindow(window, "bench_evolution_text", width, height, 32, false)) return 1;
  platform::setSwapInterval(0);

  // The scene's load is the outline font build; five builds, each a new font.
  std::vector<double> buildMs;
  for (int i = 0; i < 5; ++i) {
    EvolutionTextScene scratch;
    scratch.setWindow(&window);
    const Clock::time_point start = Clock::now();
    scratch.load();
    glFinish();
    buildMs.push_back(millisecondsSince(start));
  }

  EvolutionTextScene scene;
  scene.setWindow(&window);
  scene.load();
  scene.init();
  timeFrames(scene, 25.0, 400);  // the ellipse fills up with letters
  const std::vector<double> plain = timeFrames(scene, 25.0, 200);
  const std::vector<double> blurred = timeFrames(scene, 31.0, 200);

  std::printf("evolution text at %dx%d (medians)\n", width, height);
  std::printf("outline font build: %.1f ms\n", median(buildMs));
  std::printf("frame without blur: %.2f ms\n", median(plain));
  std::printf("frame with blur:    %.2f ms\n", median(blurred));
  json.add("outline font build", median(buildMs), "ms");
  json.add("frame without blur", median(plain), "ms");
  json.add("frame with blur", median(blurred), "ms");
  killGLWindow(window);
  return json.write() ? 0 : 1;
}

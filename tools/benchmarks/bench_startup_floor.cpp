// Benchmark: the least a start-up costs with the program's own libraries and
// window, the floor under `parallaxis --benchmark`'s "first frame" figure.
//
// bench_startup_floor [WxH] [--json FILE]: starts as the show does (huge pages
// where the kernel gives them on request, GLUT, the window at WxH, default
// 640x480), clears and swaps once, and prints the seconds from the process's
// start to the end of that first frame. One run is one start; run it several
// times (tools/benchmarks/compare_runs.py does, beside the show's start-ups).
#include <GL/gl.h>

#include <cstdio>

#include "app/benchmark.h"
#include "engine/gl_window.h"
#include "platform/glut_init.h"
#include "platform/process.h"
#include "platform/window.h"
#include "tools/benchmarks/bench_json.h"

int main(int argc, char** argv) {
  platform::restartWithHugePages(argv);
  platform::initGlut(&argc, argv);
  BenchJson json("bench_startup_floor");
  if (!json.takeOption(&argc, argv)) return 2;
  int width = 640, height = 480;
  if (!BenchJson::takeSize(argc, argv, &width, &height)) return 2;
  GLWindow window;
  if (!createGLWindow(window, "bench_startup_floor", width, height, 32, false)) return 1;
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  platform::swapBuffers(window.hDC);
  glFinish();
  const double seconds = secondsSinceProcessStart();
  killGLWindow(window);
  std::printf("start-up floor at %dx%d: first frame %.3f s after the process started\n", width,
              height, seconds);
  json.add("first frame", seconds, "s");
  return json.write() ? 0 : 1;
}

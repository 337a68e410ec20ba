// Benchmark: how long the two volume-line programs take to become usable.
//
// bench_cg_programs [RUNS] [--json FILE], run from the build folder (beside cg_programs/):
// opens the program's GL window, then RUNS times creates both programs from
// their files (read + translation to GLSL), loads them (the GL driver's
// GLSL compile), and binds them together (the link), destroying them after
// each run. Prints the first run and the median of each step in ms. Mesa
// keeps compiled shaders in a disk cache: MESA_SHADER_CACHE_DISABLE=true
// measures cold compiles.
#include <GL/glew.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "engine/gl_window.h"
#include "shader/cg.h"
#include "tools/benchmarks/bench_json.h"

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The first run pays for everything; drivers may cache what later runs
// repeat, so both are shown.
void report(BenchJson& json, const char* step, std::vector<double> ms) {
  const double first = ms.front();
  std::sort(ms.begin(), ms.end());
  std::printf("%-28s first %7.2f ms   median %7.2f ms\n", step, first, ms[ms.size() / 2]);
  json.add(std::string(step) + ": first", first, "ms");
  json.add(std::string(step) + ": median", ms[ms.size() / 2], "ms");
}

}  // namespace

int main(int argc, char** argv) {
  BenchJson json("bench_cg_programs");
  if (!json.takeOption(&argc, argv)) return 2;
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
  GLWindow window;
  if (!createGLWindow(window, "bench_cg_programs", 640, 480, 32, false)) return 1;
  CGcontext context = cgCreateContext();
  std::vector<double> translateV, translateF, compileV, compileF, link;
  for (int i = 0; i < runs; ++i) {
    Clock::time_point t = Clock::now();
    CGprogram vp = cgCreateProgramFromFile(context, CG_SOURCE, "cg_programs/volLine_vertex.cg",
                                           CG_PROFILE_ARBVP1, nullptr, nullptr);
    translateV.push_back(msSince(t));
    t = Clock::now();
    CGprogram fp = cgCreateProgramFromFile(context, CG_SOURCE, "cg_programs/volLine_fragment.cg",
                                           CG_PROFILE_ARBFP1, nullptr, nullptr);
    translateF.push_back(msSince(t));
    t = Clock::now();
    cgGLLoadProgram(vp);
    glFinish();
    compileV.push_back(msSince(t));
    t = Clock::now();
    cgGLLoadProgram(fp);
    glFinish();
    compileF.push_back(msSince(t));
    t = Clock::now();
    cgGLEnableProfile(CG_PROFILE_ARBVP1);
    cgGLEnableProfile(CG_PROFILE_ARBFP1);
    cgGLBindProgram(vp);
    cgGLBindProgram(fp);
    glFinish();
    link.push_back(msSince(t));
    if (cgGetError() != CG_NO_ERROR) {
      std::fprintf(stderr, "bench_cg_programs: %s\n", cgGetLastListing(context));
      return 1;
    }
    cgGLDisableProfile(CG_PROFILE_ARBVP1);
    cgGLDisableProfile(CG_PROFILE_ARBFP1);
    cgDestroyProgram(vp);
    cgDestroyProgram(fp);
  }
  std::printf("volume-line programs, %d runs (%s)\n", runs, glGetString(GL_RENDERER));
  report(json, "read + translate vertex", translateV);
  report(json, "read + translate fragment", translateF);
  report(json, "GLSL compile vertex", compileV);
  report(json, "GLSL compile fragment", compileF);
  report(json, "link + first bind", link);
  killGLWindow(window);
  return json.write() ? 0 : 1;
}

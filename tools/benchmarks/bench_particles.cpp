// Times the screen scene's four fountains: update plus render per frame, at
// the counts the scene reaches by 39-40 s at 60 frames per second and at their
// full counts (3 x 10000 + 2048), against the frame the scene draws around
// them. Prints medians in milliseconds. GL work is finished (glFinish) inside
// each timed span; nothing is swapped.
//
//   bench_particles [WIDTHxHEIGHT] [--json FILE]   (default 640x480; run beside the data)
#include <GL/glew.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <string>
#include <vector>

#include "effects/particle_system.h"
#include "engine/gl_window.h"
#include "platform/glut_init.h"
#include "scenes/screen_scene.h"
#include "tools/benchmarks/bench_json.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr double FPS = 60.0;

double msSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0.0 : v[v.size() / 2];
}

// Draws the scene's frames from `from` to `to` at 60 per second without
// timing them, rasterising one pixel of each: the scene's per-frame steps are
// the same as in full frames.
void runUp(ScreenScene& scene, double from, double to) {
  glEnable(GL_SCISSOR_TEST);
  glScissor(0, 0, 1, 1);
  for (long k = static_cast<long>(from * FPS + 0.5); k / FPS <= to + 1e-9; ++k) {
    scene.setLocalTime(k / FPS);
    scene.draw();
  }
  glDisable(GL_SCISSOR_TEST);
}

// Draws the scene's frames from `from` to `to` at 60 per second; returns the
// time of each (draw plus glFinish).
std::vector<double> drawFrames(ScreenScene& scene, double from, double to) {
  std::vector<double> times;
  glFinish();
  for (long k = static_cast<long>(from * FPS + 0.5); k / FPS <= to + 1e-9; ++k) {
    Clock::time_point start = Clock::now();
    scene.setLocalTime(k / FPS);
    scene.draw();
    glFinish();
    times.push_back(msSince(start));
  }
  return times;
}

struct FountainTimes {
  std::vector<double> update, render;
  std::vector<double> renderEach[4];
};

// Update and render of the four systems with the scene's blending, as the
// fountain phase does them, for `frames` frames of 1/60 s.
FountainTimes timeFountains(ParticleSystem* const systems[4], int frames) {
  FountainTimes out;
  for (int i = 0; i < frames; ++i) {
    Clock::time_point start = Clock::now();
    for (int s = 0; s < 4; ++s) systems[s]->update(static_cast<float>(1.0 / FPS));
    out.update.push_back(msSince(start));

    start = Clock::now();
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_DST_ALPHA, GL_ONE);
    for (int s = 0; s < 4; ++s) {
      Clock::time_point one = Clock::now();
      systems[s]->render();
      glFinish();
      out.renderEach[s].push_back(msSince(one));
    }
    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);
    out.render.push_back(msSince(start));
  }
  return out;
}

void report(BenchJson& json, const char* title, ParticleSystem* const systems[4],
            const FountainTimes& t, double boxMs) {
  double u = median(t.update), r = median(t.render);
  std::printf("%s: %u + %u + %u + %u particles\n", title, systems[0]->activeCount,
              systems[1]->activeCount, systems[2]->activeCount, systems[3]->activeCount);
  std::printf("  update %.2f ms, render %.2f ms, together %.2f ms (median of %zu)\n", u, r, u + r,
              t.update.size());
  std::printf("  render blue %.2f, green %.2f, red %.2f, white %.2f ms\n", median(t.renderEach[0]),
              median(t.renderEach[1]), median(t.renderEach[2]), median(t.renderEach[3]));
  std::printf("  share of the frame with the box (%.2f ms): %.0f %%; of a 60 Hz frame: %.0f %%\n",
              boxMs, 100.0 * (u + r) / (u + r + boxMs), 100.0 * (u + r) * FPS / 1000.0);
  const std::string name = title;
  json.add(name + ": update", u, "ms");
  json.add(name + ": render", r, "ms");
  const char* const colours[4] = {"blue", "green", "red", "white"};
  for (int s = 0; s < 4; ++s)
    json.add(name + ": render " + colours[s], median(t.renderEach[s]), "ms");
}

void enterProgramFolder() {
  char path[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return;
  path[n] = '\0';
  std::string dir(path);
  dir = dir.substr(0, dir.find_last_of('/') + 1);
  if (chdir(dir.c_str()) != 0) std::perror("bench_particles: cannot enter the program folder");
}

}  // namespace

int main(int argc, char** argv) {
  BenchJson json("bench_particles");
  if (!json.takeOption(&argc, argv)) return 2;
  int width = 640, height = 480;
  if (!BenchJson::takeSize(argc, argv, &width, &height)) return 2;
  platform::initGlut(&argc, argv);
  enterProgramFolder();
  GLWindow window;
  if (!createGLWindow(window, "bench_particles", width, height, 32, false)) return 1;

  ScreenScene scene;
  scene.setWindow(&window);
  glLoadIdentity();
  scene.init();
  ParticleSystem* const systems[4] = {scene.blueFountain, scene.greenFountain, scene.redFountain,
                                      scene.whiteGlow};

  // The box alone, before the first fountain starts.
  runUp(scene, 18.0, 25.5);
  double boxMs = median(drawFrames(scene, 25.5 + 1.0 / FPS, 26.5));

  // The scene's own counts: run it to 39 s, then time the last second.
  runUp(scene, 26.5 + 1.0 / FPS, 39.0);
  double sceneMs = median(drawFrames(scene, 39.0 + 1.0 / FPS, 40.0));
  std::printf("%dx%d, screen scene frame at 39-40 s: %.2f ms (box alone %.2f ms)\n", width, height,
              sceneMs, boxMs);
  json.add("screen scene frame at 39-40 s", sceneMs, "ms");
  json.add("box alone", boxMs, "ms");
  report(json, "scene counts at 39-40 s", systems, timeFountains(systems, 60), boxMs);

  // Full counts: one batch fills every system to its cap.
  for (ParticleSystem* ps : systems) {
    uint32_t count = ps->releaseCount;
    ps->releaseCount = ps->maxParticles;
    ps->lastReleaseTime = ps->currentTime - 1.0f;
    ps->update(0.0f);
    ps->releaseCount = count;
  }
  report(json, "full counts", systems, timeFountains(systems, 120), boxMs);

  killGLWindow(window);
  return json.write() ? 0 : 1;
}

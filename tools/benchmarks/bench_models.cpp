// Times the two model scenes in a real window: reading each model file, and
// a frame of the torus-knot and the skull-skybox scene (draw, present and the
// finished GL work). Prints triangle counts and medians in milliseconds.
// Run from the build folder (models/, textures/). Usage: bench_models [WxH] [--json FILE]
#include <GL/glew.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "engine/gl_window.h"
#include "geometry/model_3ds.h"
#include "platform/glut_init.h"
#include "platform/window.h"
#include "scenes/skull_skybox_scene.h"
#include "scenes/torus_knot_scene.h"
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

// Reads the file 21 times; prints its size and the median read.
void timeImport(BenchJson& json, const char* path) {
  std::vector<double> ms;
  int triangles = 0, vertices = 0;
  for (int i = 0; i < 21; ++i) {
    Model3DS model;
    const Clock::time_point start = Clock::now();
    model.loader.import(model, path, false);
    ms.push_back(millisecondsSince(start));
    triangles = vertices = 0;
    for (const MeshObject& o : model.objects) {
      triangles += o.faceCount;
      vertices += o.vertexCount;
    }
  }
  std::printf("%-22s %6d triangles %6d vertices   read %.2f ms\n", path, triangles, vertices,
              median(ms));
  json.add(std::string(path) + ": read", median(ms), "ms");
}

// Loads, initialises and draws the scene; prints load time and frame median.
void timeScene(BenchJson& json, const char* name, Scene& scene, int frames) {
  const Clock::time_point loadStart = Clock::now();
  scene.load();
  const double loadMs = millisecondsSince(loadStart);
  scene.init();
  std::vector<double> ms;
  for (int i = 0; i < frames; ++i) {
    const Clock::time_point start = Clock::now();
    scene.draw();
    scene.present();
    glFinish();
    ms.push_back(millisecondsSince(start));
  }
  std::printf("%-22s load %.2f ms   frame median %.1f ms (%d frames)\n", name, loadMs, median(ms),
              frames);
  json.add(std::string(name) + ": load", loadMs, "ms");
  json.add(std::string(name) + ": frame median", median(ms), "ms");
}

}  // namespace

int main(int argc, char** argv) {
  platform::initGlut(&argc, argv);
  BenchJson json("bench_models");
  if (!json.takeOption(&argc, argv)) return 2;
  int width = 640, height = 480;
  if (!BenchJson::takeSize(argc, argv, &width, &height)) return 2;
  timeImport(json, "models/torusknot.3ds");
  timeImport(json, "models/skull.3ds");

  GLWindow window;
  if (!createGLWindow(window, "bench_models", width, height, 32, false)) return 1;
  platform::setSwapInterval(0);
  std::printf("window %dx%d\n", width, height);
  // In show order: the knot uses the projection it finds, the skull sets its own.
  TorusKnotScene knot;
  knot.setWindow(&window);
  timeScene(json, "torus knot scene", knot, 120);
  SkullSkyboxScene skull;
  skull.setWindow(&window);
  timeScene(json, "skull skybox scene", skull, 60);
  killGLWindow(window);
  return json.write() ? 0 : 1;
}

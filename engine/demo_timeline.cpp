#include "engine/demo_timeline.h"

#include <chrono>

#include "engine/font_manager.h"
#include "engine/loading_screen.h"
#include "platform/clock.h"
#include "platform/signals.h"
#include "resources/sound_manager.h"

void DemoTimeline::clearTable() {
  for (int i = 0; i < MAX_SCENES; ++i) {
    scenes[i] = nullptr;
    sceneMusic[i] = nullptr;
    sceneWindows[i][0] = sceneWindows[i][1] = 0.0f;
    sceneFirstFrame[i] = 1;
  }
}

void DemoTimeline::placeScene(int i, Scene* scene, double start, double duration,
                              const char* music) {
  scenes[i] = scene;
  sceneMusic[i] = music;
  scene->setStartTime(start);
  scene->setDuration(duration);
  sceneWindows[i][0] = static_cast<float>(scene->startTime());
  sceneWindows[i][1] = static_cast<float>(scene->duration() + sceneWindows[i][0]);
}

bool DemoTimeline::setup() {
  loadingFont = FontManager::instance()->buildBitmapFont(window->hDC, "Times New Roman", 32);

  int last = 0;
  // After a stop signal the scenes not yet loaded stay unloaded.
  for (int i = 0; i < MAX_SCENES && scenes[i] && !platform::stopSignal(); ++i) {
    drawLoadingScreen(window->hDC, loadingFont, i);
    scenes[i]->setWindow(window);
    auto loadStart = std::chrono::steady_clock::now();
    if (!scenes[i]->load()) return false;
    loadSeconds[i] =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - loadStart).count();
    last = i;
  }
  showEndTime = sceneWindows[last][1];
  if (showFps) fpsFont = FontManager::instance()->buildBitmapFont(window->hDC, "Courier New", 18);
  frameCount = 0;
  return true;
}

int64_t DemoTimeline::readTicks() const {
  int64_t now = 0;
  if (usePerformanceCounter)
    platform::queryPerformanceCounter(&now);
  else
    now = static_cast<int64_t>(platform::timeGetTime());
  return now;
}

void DemoTimeline::startClock(double startAt) {
  int64_t frequency = 0;
  if (platform::queryPerformanceFrequency(&frequency) && frequency > 0) {
    usePerformanceCounter = true;
    secondsPerTick = 1.0 / static_cast<double>(frequency);
  } else {
    usePerformanceCounter = false;
    secondsPerTick = 0.001;
  }
  lastTicks = readTicks();
  // A later start is an earlier origin: the clock reads startAt at once.
  startTicks = lastTicks - static_cast<int64_t>(startAt / secondsPerTick);
}

bool DemoTimeline::frame() {
  int64_t now = readTicks();
  frameTime = static_cast<double>(now - lastTicks) * secondsPerTick;
  demoTime = static_cast<double>(now - startTicks) * secondsPerTick;
  lastTicks = now;

  frameCount += 1;
  fpsAccumulator += frameTime;
  if (fpsAccumulator > 1.0) {
    fpsAccumulator = 0;
    fps = frameCount;
    frameCount = 0;
  }

  if (demoTime >= showEndTime) {
    if (!loop) return false;
    lastTicks = startTicks = now;
    demoTime = 0;
    frameTime = 0;
  }

  for (int i = 0; i < MAX_SCENES && scenes[i]; ++i) {
    if (!(sceneWindows[i][0] <= demoTime && demoTime <= sceneWindows[i][1])) continue;
    Scene* scene = scenes[i];
    scene->setLocalTime(demoTime - sceneWindows[i][0]);
    scene->setFps(fps);
    if (sceneFirstFrame[i]) {
      scene->init();
      sceneFirstFrame[i] = 0;
      if (sceneMusic[i]) SoundManager::instance()->play(sceneMusic[i]);
    }
    scene->draw();
    if (showFps) drawFpsOverlay(fpsFont, static_cast<int>(fps));
    scene->present();
  }
  return true;
}

void DemoTimeline::destroyScenes() {
  for (int i = 0; i < MAX_SCENES; ++i) {
    delete scenes[i];
    scenes[i] = nullptr;
  }
}

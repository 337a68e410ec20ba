#include "app/win_main.h"

#include <chrono>
#include <vector>

#include "app/benchmark.h"
#include "app/capture.h"
#include "app/settings_dialog.h"
#include "app/show.h"
#include "engine/demo_timeline.h"
#include "engine/desktop_capture.h"
#include "engine/font_manager.h"
#include "engine/gl_window.h"
#include "geometry/light.h"
#include "platform/signals.h"
#include "platform/window.h"
#include "resources/sound_manager.h"
#include "resources/texture_manager.h"

static const char* const WINDOW_TITLE = "Parallaxis - Quenvar";
// The exit code of a show that could not load (a scene has said why).
static const int LOAD_FAILED_EXIT_CODE = -1;

static bool capturing(const RunOptions& options) { return !options.captureDir.empty(); }

// The shutdown of a stop signal that came before the GL window opened: the
// start-up tune is closed and a capture's (empty) soundtrack finished.
static int stoppedBeforeTheWindow(const RunOptions& options) {
  SoundManager::shutdown();
  if (capturing(options)) endCapture();
  return platform::stopExitCode();
}

// Takes messages and draws frames until ESC, the end of the show, a quit
// message or a stop signal. Returns false when F1 could not re-create the
// window.
static bool runMessageLoop(GLWindow& window, DemoTimeline& timeline, const Settings& settings,
                           int* exitCode) {
  MSG msg = {};
  bool done = false;
  for (;;) {
    if (platform::stopSignal()) return true;
    if (platform::peekMessage(&msg)) {
      if (msg.message == WM_QUIT) {
        *exitCode = static_cast<int>(msg.wParam);
        return true;
      }
      platform::dispatchMessage(msg);
      continue;
    }
    // A minimised window draws nothing, but the clock runs on.
    if (window.active && !timeline.frame()) done = true;
    if (capturing(settings.runOptions) && !captureFrameDone()) done = true;
    if (window.keys[VK_ESCAPE]) done = true;
    if (window.keys[VK_F1]) {
      window.keys[VK_F1] = false;
      const Resolution& r = resolutions[settings.resolutionIndex];
      if (!setGLWindowMode(window, r.width, r.height, 32, !window.fullscreen)) return false;
    }
    if (done) {
      *exitCode = 0;
      return true;
    }
  }
}

int WinMain(HINSTANCE, HINSTANCE, char*, int, Settings& settings) {
  const RunOptions& runOptions = settings.runOptions;
  if (capturing(runOptions) &&
      !beginCapture(runOptions.captureDir, runOptions.captureFps, runOptions.startAt,
                    runOptions.captureTo, runOptions.capturePng))
    return 2;

  // The settings dialog decides, unless the command line did; the start-up
  // tune plays while it is open.
  if (!runOptions.settingsGiven) {
    SoundManager::instance()->loadStream("sounds/spring.mp3", "SPRING");
    SoundManager::instance()->play("SPRING");
    const INT_PTR choice = runSettingsDialog(&settings);
    if (platform::stopSignal()) return stoppedBeforeTheWindow(runOptions);
    if (choice == IDCANCEL) return 18;
    SoundManager::instance()->releaseAll();
  }

  using Clock = std::chrono::steady_clock;
  StartupTimes startup;
  // Before the window exists, so that it is not in the picture.
  std::vector<unsigned char> desktopPixels = captureDesktop();
  Clock::time_point t0 = Clock::now();
  startup.beforeWindowSeconds = secondsSinceProcessStart();
  const Resolution& r = resolutions[settings.resolutionIndex];
  GLWindow window;
  if (!createGLWindow(window, WINDOW_TITLE, r.width, r.height, 32, settings.fullscreen)) return 0;
  TextureManager::instance()->loadTextureFromMemory(desktopPixels.data(), DESKTOP_CAPTURE_SIZE,
                                                    DESKTOP_CAPTURE_SIZE, 3, DESKTOP_TEXTURE_ID);
  desktopPixels = std::vector<unsigned char>();
  Clock::time_point t1 = Clock::now();
  startup.windowSeconds = std::chrono::duration<double>(t1 - t0).count();

  DemoTimeline timeline;
  timeline.window = &window;
  timeline.loop = settings.loopDemo;
  timeline.showFps = settings.showFps;
  placeShow(timeline);
  const bool loadFailed = !timeline.setup();
  startup.setupSeconds = std::chrono::duration<double>(Clock::now() - t1).count();

  // A scene that cannot load, or a stop signal during the loading, ends the
  // run here; a stop signal during the show, capture or benchmark ends their
  // loop. Either way what a capture wrote is finished and the exit code tells
  // why the run ended.
  int exitCode = 0;
  const bool loaded = !loadFailed && !platform::stopSignal();
  if (loaded && runOptions.benchmark) {
    exitCode = runBenchmark(timeline, startup, runOptions.benchmarkJson);
  } else if (loaded) {
    if (capturing(runOptions)) captureShowStarts(timeline.showEndTime);
    timeline.startClock(runOptions.startAt);
    if (!runMessageLoop(window, timeline, settings, &exitCode)) return 0;
  }
  if (capturing(runOptions) && !runOptions.benchmark && !endCapture() && exitCode == 0)
    exitCode = 1;
  if (loadFailed)
    exitCode = LOAD_FAILED_EXIT_CODE;
  else if (platform::stopSignal())
    exitCode = platform::stopExitCode();

  timeline.destroyScenes();
  deleteGlobalLights();
  SoundManager::shutdown();
  TextureManager::destroy();
  releaseFonts();
  killGLWindow(window);
  return exitCode;
}

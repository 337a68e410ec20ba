// The timeline of timed scenes and the show clock.
//
// The program fills the table (clearTable, then placeScene for each entry)
// and sets window; setup gives every scene the window and loads it behind the
// loading screen; startClock starts the
// show clock; frame, called whenever no window message is waiting, advances
// the clock and draws every scene whose window holds it, starting an entry's
// music on its first frame; destroyScenes deletes the scene objects at
// shutdown. The timeline owns the scenes it holds. A scene whose load fails
// ends the loading: setup returns false and the program shuts down.
#pragma once

#include <cstdint>

#include "engine/scene.h"

class DemoTimeline {
 public:
  static constexpr int MAX_SCENES = 10;

  // Builds the loading font and loads each scene of the table after showing
  // its loading screen; once a stop signal has arrived (platform/signals.h)
  // it loads no further scene. False, at once, when a scene's load fails.
  bool setup();

  // Starts the show clock at startAt seconds.
  void startClock(double startAt);

  // Advances the clock and draws one frame; false when the show is over.
  bool frame();

  // Deletes every scene in the table.
  void destroyScenes();

  // Empties the table and sets every first-frame flag.
  void clearTable();

  // Puts a scene (ownership passes to the table) at entry i with its window;
  // music, when given, names the sound stream its first frame starts.
  void placeScene(int i, Scene* scene, double start, double duration, const char* music = nullptr);

  // The settings the timeline runs by: start again at the end, and draw the
  // frame rate over every scene.
  bool loop = false;
  bool showFps = false;

  // The window every scene and loading screen draws into; the program owns it.
  const GLWindow* window = nullptr;
  // The shell's fonts (FontManager indices), built by setup.
  int loadingFont = -1;
  int fpsFont = -1;

  Scene* scenes[MAX_SCENES] = {};
  const char* sceneMusic[MAX_SCENES] = {};
  float sceneWindows[MAX_SCENES][2] = {};
  unsigned char sceneFirstFrame[MAX_SCENES] = {};

  // The show clock; every time is in seconds.
  bool usePerformanceCounter = false;
  double secondsPerTick = 0.001;
  int64_t startTicks = 0;
  int64_t lastTicks = 0;
  double frameTime = 0.0;
  double demoTime = 0.0;
  double frameCount = 0.0;
  double fpsAccumulator = 0.0;
  double fps = 0.0;
  double showEndTime = 0.0;

  // Seconds each scene's load took during setup.
  double loadSeconds[MAX_SCENES] = {};

 private:
  int64_t readTicks() const;
};

// The command line. No argument keeps every default: the settings dialog
// decides. Any setting given here skips the dialog.
#pragma once

#include <string>

struct CommandLine {
  enum Action { RUN, HELP, VERSION, ERROR };
  Action action = RUN;
  std::string error;  // for ERROR: what was wrong

  bool settingsGiven = false;
  int resolutionIndex = 0;
  bool fullscreen = false;
  bool showFps = false;
  bool loopDemo = false;
  double startAt = 0.0;

  // Offline capture: every frame to a video in DIR (and as PNG with
  // capturePng) on a clock of captureFps frames per second, up to captureTo
  // seconds (negative: the show's end).
  std::string captureDir;
  int captureFps = 60;
  double captureTo = -1.0;
  bool capturePng = false;

  // Benchmark: each scene for a fixed number of frames, timings printed.
  bool benchmark = false;
  std::string benchmarkJson;  // --json FILE: the figures as JSON too

  std::string dataDir;  // --data DIR: the data set's folder (empty: searched for)
};

// Parses argv[1..argc-1]. Never exits; bad input gives action ERROR.
CommandLine parseCommandLine(int argc, char** argv);

// The --help text.
const char* usageText();

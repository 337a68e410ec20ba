// The settings of one run: the resolution table, what the dialog or the
// command line chose, and the options beyond them.
//
// main owns the one Settings of the process: it fills it from the command
// line, the settings dialog overwrites the four dialog settings on OK, and
// WinMain reads it. Plain values; nothing here fails.
#pragma once

#include <string>

// The resolution table the dialog and the command line choose from.
struct Resolution {
  const char* name;
  int width;
  int height;
};
constexpr int RESOLUTION_COUNT = 4;
extern const Resolution resolutions[RESOLUTION_COUNT];

// Options of the command line that go beyond the settings; all off by default.
struct RunOptions {
  bool settingsGiven = false;  // a setting came from the command line: no dialog
  double startAt = 0.0;        // show clock at the first frame
  std::string captureDir;      // offline capture into this folder (absolute)
  int captureFps = 60;
  double captureTo = -1.0;  // end of the capture; negative: the show's end
  bool capturePng = false;  // the capture's frames as PNG files too
  bool benchmark = false;
  std::string benchmarkJson;  // also write the benchmark figures here (absolute)
};

struct Settings {
  int resolutionIndex = 0;
  bool fullscreen = false;  // open the window full screen
  bool showFps = false;
  bool loopDemo = false;
  RunOptions runOptions;
};

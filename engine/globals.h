// Process-wide state: the chosen settings, the window globals and the fonts
// of the shell. Written by the settings step, the GL window and the runtime;
// read by the scenes. Single-threaded: everything runs on the window thread.
#pragma once

#include <string>

#include "platform/win32.h"

// The resolution table the dialog and the command line choose from.
struct Resolution {
  const char* name;
  int width;
  int height;
};
constexpr int RESOLUTION_COUNT = 4;
extern const Resolution resolutions[RESOLUTION_COUNT];

// Settings.
extern int resolutionIndex;
extern bool fullscreen;
extern bool showFps;
extern bool loopDemo;

// Window globals. screenWidth x screenHeight is the size GL draws into, kept
// by the GL window (resizeGLScene).
extern int screenWidth;
extern int screenHeight;
extern float aspectRatio;
extern bool keys[256];
extern bool active;
extern HWND hWnd;
extern HDC hDC;
extern HGLRC hRC;
extern HINSTANCE hInstance;

// The 512 x 512 RGB desktop capture, owned by the runtime until uploaded.
extern unsigned char* desktopPixels;
constexpr unsigned int DESKTOP_TEXTURE_ID = 666;

// Fonts of the shell (FontManager indices).
extern int loadingFont;
extern int fpsFont;

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
extern RunOptions runOptions;

// Process-wide state: the window globals and the fonts of the shell. Written
// by the GL window and the runtime; read by the scenes. Single-threaded:
// everything runs on the window thread.
#pragma once

#include "platform/win32.h"

// Window globals. fullscreen is whether the window is full screen now (F1
// and a refused mode change it); screenWidth x screenHeight is the size GL
// draws into (resizeGLScene). The GL window keeps both.
extern bool fullscreen;
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

// The one OpenGL window: creation and teardown, its message procedure, the
// projection on every resize and the default GL state. A GLWindow holds the
// window's state; it keeps screenWidth and screenHeight equal to the size GL
// draws into: the requested one, the display's own when full screen cannot
// switch modes, or whatever a resize made of the window.
//
// Full screen switches the display to the exact requested mode and asks
// whether to go windowed when the display has modes but not that one; a
// display that cannot switch (a single mode) shows a full-screen window at
// its own size.
//
// createGLWindow at start-up; setGLWindowMode when F1 switches display mode;
// killGLWindow at shutdown. The caller owns the GLWindow and keeps it alive
// from createGLWindow to killGLWindow: the message procedure writes keys,
// active and the size into it. There is one window at a time. Every failure
// shows its own message box (caption "ERROR") and returns false;
// killGLWindow reports each failed release ("SHUTDOWN ERROR") and carries on.
#pragma once

#include "platform/win32.h"

struct GLWindow {
  HINSTANCE hInstance = nullptr;
  HWND hWnd = nullptr;
  HDC hDC = nullptr;
  HGLRC hRC = nullptr;
  // Whether the window is full screen now (F1 and a refused mode change it).
  bool fullscreen = false;
  // The size GL draws into and its width / height.
  int screenWidth = 640;
  int screenHeight = 480;
  float aspectRatio = 1.0f;
  // Which keys are down, by virtual key code.
  bool keys[256] = {};
  // False while the window is minimised or in the background.
  bool active = true;
};

// Opens the window, its GL context and the default GL state into window.
// False on failure (already reported to the user; everything built so far is
// released).
bool createGLWindow(GLWindow& window, const char* title, int width, int height, int bits,
                    bool fullscreenRequest);

// Releases context, device context, window and class, each step regardless of
// the previous ones.
void killGLWindow(GLWindow& window);

// Switches the open window to or from full screen at the same resolution.
// The GL context and all its state carry over (textures, lists, programs, the
// running scene's camera and lights); the viewport and projection follow the
// new window. False (reported) when the display refuses and the user chooses
// to quit.
bool setGLWindowMode(GLWindow& window, int width, int height, int bits, bool fullscreenRequest);

// Keeps the open GLWindow's keys, active and projection up to date from
// window messages.
LRESULT windowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

// Viewport and a 45-degree perspective for the new client size, which
// becomes screenWidth x screenHeight: every viewport follows the real size.
void resizeGLScene(GLWindow& window, int width, int height);

// Default GL state, the two global lights and the GL extension entry points.
bool initGL();

// The one OpenGL window: creation and teardown, its message procedure, the
// projection on every resize and the default GL state. It keeps
// screenWidth and screenHeight equal to the size GL draws into: the
// requested one, the display's own when full screen cannot switch modes, or
// whatever a resize made of the window.
//
// Full screen switches the display to the exact requested mode and asks
// whether to go windowed when the display has modes but not that one; a
// display that cannot switch (a single mode) shows a full-screen window at
// its own size.
//
// createGLWindow at start-up; setGLWindowMode when F1 switches display mode;
// killGLWindow at shutdown. Every failure shows its own message box (caption
// "ERROR") and returns false; killGLWindow reports each failed release
// ("SHUTDOWN ERROR") and carries on.
#pragma once

#include "platform/win32.h"

// Opens the window, its GL context and the default GL state. False on failure
// (already reported to the user; everything built so far is released).
bool createGLWindow(const char* title, int width, int height, int bits, bool fullscreenRequest);

// Releases context, device context, window and class, each step regardless of
// the previous ones.
void killGLWindow();

// Switches the open window to or from full screen at the same resolution.
// The GL context and all its state carry over (textures, lists, programs, the
// running scene's camera and lights); the viewport and projection follow the
// new window. False (reported) when the display refuses and the user chooses
// to quit.
bool setGLWindowMode(int width, int height, int bits, bool fullscreenRequest);

// Keeps keys, active and the projection up to date from window messages.
LRESULT windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Viewport and a 45-degree perspective for the new client size, which
// becomes screenWidth x screenHeight: every viewport follows the real size.
void resizeGLScene(int width, int height);

// Default GL state, the two global lights and the GL extension entry points.
bool initGL();

// A real GL window for rendering tests, and pixel read-back.
//
// openTestWindow creates the program's own window (createGLWindow) once per
// test process and keeps it; a later call with another size switches it to
// that size as F1 would (setGLWindowMode: same context, window defaults
// applied again), with the same size it only resets the viewport and
// projection. Tests read the back buffer before any swap.
#pragma once

#include "engine/gl_window.h"

struct Rgb {
  int r, g, b;
};

// Opens (or resizes) the window; false when there is no display.
bool openTestWindow(int width, int height);

// The window openTestWindow opened, for the scenes and fonts under test.
GLWindow& testWindow();

// The colour at window pixel (x, y), y counted from the bottom, back buffer.
Rgb readPixel(int x, int y);

// True when every channel differs by at most tolerance.
bool near(const Rgb& a, const Rgb& b, int tolerance);

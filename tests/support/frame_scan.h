// Whole-frame read-back for rendering tests: the back buffer of the current
// viewport in one call, and the regions where pixels of a kind lie.
#pragma once

#include <functional>
#include <vector>

#include "support/gl_test.h"

struct Frame {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> rgb;  // rows bottom first

  // The colour at (x, y), y counted from the bottom.
  Rgb at(int x, int y) const;
};

// Axis-aligned pixel box, both ends inclusive; empty when x0 > x1.
struct Box {
  int x0 = 1, y0 = 1, x1 = 0, y1 = 0;
  bool empty() const { return x0 > x1; }
  int width() const { return x1 - x0 + 1; }
  int height() const { return y1 - y0 + 1; }
};

using PixelTest = std::function<bool(const Rgb&)>;

// The back buffer over the current viewport.
Frame readFrame();

// The smallest box holding every pixel that passes the test.
Box boundingBox(const Frame& frame, const PixelTest& test);

// How many pixels pass the test.
int countPixels(const Frame& frame, const PixelTest& test);

// Near white: every channel above 200.
bool isWhite(const Rgb& c);
// Anything but black.
bool isLit(const Rgb& c);

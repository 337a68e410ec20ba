// The desktop as a picture (Xlib, XRandR): the primary screen of the default
// X screen.
//
// Call order: getDesktopRect, then readDesktop of that rectangle. Each call
// opens and closes its own display connection; nothing is kept. Without an X
// display, or when the server refuses, the calls return false and leave their
// outputs as they were. X errors are caught; they never end the process.
#pragma once

#include <vector>

namespace platform {

// The primary screen's rectangle in the root window: the RandR monitor
// marked primary, else the first one listed, clipped to the root; the whole
// root when the server lists no monitors. False (outputs untouched) when
// there is no display.
bool getDesktopRect(int* x, int* y, int* width, int* height);

// The desktop region (x, y, width, height) as R, G, B bytes, top row first;
// what lies outside the root window is black. False (rgb untouched) when the
// desktop cannot be read.
bool readDesktop(int x, int y, int width, int height, std::vector<unsigned char>* rgb);

}  // namespace platform

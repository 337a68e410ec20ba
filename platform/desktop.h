// The desktop as a picture (Xlib): the root window of the default screen.
//
// Call order: getDesktopSize, then stretchCopyDesktop with that size as the
// source. Each call opens and closes its own display connection; nothing is
// kept. Without an X display, or when the server refuses, the calls return
// false and leave their outputs as they were (a caller's zeroed bitmap stays
// black). X errors are caught; they never end the process.
#pragma once

namespace platform {

// The desktop's width and height in pixels; false (outputs untouched) when
// there is no display.
bool getDesktopSize(int* width, int* height);

// Copies the desktop region (0, 0, srcWidth, srcHeight) into a width x height
// bitmap of 4-byte pixels B, G, R, 0 whose first row is the BOTTOM of the
// picture (a bottom-up device-independent bitmap). The region is stretched to
// fill the bitmap without keeping its aspect ratio; each bitmap pixel is the
// average of the desktop pixels it covers. False (bitmap untouched) when the
// desktop cannot be read.
bool stretchCopyDesktop(unsigned char* bgrx, int width, int height, int srcWidth, int srcHeight);

}  // namespace platform

// The desktop as a picture (Xlib, XRandR): the primary screen of the default
// X screen.
//
// Call order: getDesktopRect, then stretchCopyDesktop with that rectangle as
// the source. Each call opens and closes its own display connection; nothing
// is kept. Without an X display, or when the server refuses, the calls return
// false and leave their outputs as they were (a caller's zeroed bitmap stays
// black). X errors are caught; they never end the process.
#pragma once

namespace platform {

// The primary screen's rectangle in the root window: the RandR monitor
// marked primary, else the first one listed, clipped to the root; the whole
// root when the server lists no monitors. False (outputs untouched) when
// there is no display.
bool getDesktopRect(int* x, int* y, int* width, int* height);

// Copies the desktop region (srcX, srcY, srcWidth, srcHeight) into a width x
// height bitmap of 4-byte pixels B, G, R, 0 whose first row is the BOTTOM of
// the picture (a bottom-up device-independent bitmap). The region is
// stretched to fill the bitmap without keeping its aspect ratio; each bitmap
// pixel is the average of the desktop pixels it covers, and what lies outside
// the root window counts as black. False (bitmap untouched) when the desktop
// cannot be read.
bool stretchCopyDesktop(unsigned char* bgrx, int width, int height, int srcX, int srcY,
                        int srcWidth, int srcHeight);

}  // namespace platform

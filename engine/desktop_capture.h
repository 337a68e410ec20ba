// Desktop capture: the user's screen as a 512 x 512 picture for the first
// scene.
//
// Call order: captureDesktop() once, after the settings dialog and before the
// GL window exists (the window must not be part of the picture). The runtime
// then owns desktopPixels: it uploads them as texture DESKTOP_TEXTURE_ID and
// frees them with delete[]. A failed capture (no X display, an X error) still
// fills desktopPixels, with black; the show goes on with that picture.
#pragma once

// Side of the square capture in pixels.
constexpr int DESKTOP_CAPTURE_SIZE = 512;

#include <vector>

// Stretches an RGB picture of srcWidth x srcHeight (top row first) over a
// width x height bitmap of B, G, R, 0 pixels, bottom row first: each pixel
// the rounded average of the picture pixels it covers, aspect not kept.
void stretchIntoBitmap(const std::vector<unsigned char>& rgb, int srcWidth, int srcHeight,
                       unsigned char* bgrx, int width, int height);

// Fills desktopPixels with a new 512 x 512 x 3 buffer: R, G, B bytes, first
// row the screen's bottom, the primary screen (of several monitors) stretched
// without keeping aspect.
void captureDesktop();

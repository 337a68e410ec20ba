// Desktop capture: the user's screen as a 512 x 512 picture for the first
// scene.
//
// Call order: captureDesktop() once, after the settings dialog and before the
// GL window exists (the window must not be part of the picture). The caller
// owns the picture: it uploads it as texture DESKTOP_TEXTURE_ID and lets it
// go. A failed capture (no X display, an X error) still gives a picture, a
// black one; the show goes on with that.
#pragma once

#include <vector>

// Side of the square capture in pixels.
constexpr int DESKTOP_CAPTURE_SIZE = 512;
// The texture name the first scene finds the picture under.
constexpr unsigned int DESKTOP_TEXTURE_ID = 666;

// Stretches an RGB picture of srcWidth x srcHeight (top row first) over a
// width x height bitmap of B, G, R, 0 pixels, bottom row first: each pixel
// the rounded average of the picture pixels it covers, aspect not kept.
void stretchIntoBitmap(const std::vector<unsigned char>& rgb, int srcWidth, int srcHeight,
                       unsigned char* bgrx, int width, int height);

// A 512 x 512 x 3 picture of the desktop: R, G, B bytes, first row the
// screen's bottom, the primary screen (of several monitors) stretched without
// keeping aspect.
std::vector<unsigned char> captureDesktop();

// Pictures of the data generator and the files they are written to.
//
// An Image holds 8-bit RGB or RGBA pixels with row 0 at the TOP of the picture
// (as an image viewer shows the file). The writers put that top row where each
// format keeps it, so the file looks like the Image in any viewer.
//
// Where the rows land in GL: the program loads files through DevIL with its
// default origins, so
//   - JPEG: the Image's top row (y = 0) becomes texture row t = 0 (the GL
//     bottom); a JPEG looks upside down on a quad with t = 1 at the top.
//   - BMP:  the Image's bottom row becomes t = 0; the picture stands upright
//     on a quad with t = 1 at the top.
// Author a JPEG for an upright quad by drawing the picture with y = 0 at the
// bottom (or call flipRows() before writing).
//
// Writers are deterministic (same pixels, same bytes), overwrite existing
// files, create no directories, and return false after printing the reason on
// stderr. Single-threaded: the JPEG and PNG writers share DevIL's state.
#pragma once

#include <string>
#include <vector>

namespace datagen {

struct Image {
  int width = 0;
  int height = 0;
  int channels = 3;                   // 3 = RGB, 4 = RGBA
  std::vector<unsigned char> pixels;  // rows top first, tightly packed

  Image() = default;
  // A black (and transparent) picture of the given size.
  Image(int width, int height, int channels = 3);

  // The first byte of pixel (x, y); no bounds check.
  unsigned char* at(int x, int y) {
    return &pixels[(static_cast<size_t>(y) * width + x) * channels];
  }
  const unsigned char* at(int x, int y) const {
    return &pixels[(static_cast<size_t>(y) * width + x) * channels];
  }

  // Sets pixel (x, y) from colour components in 0..1 (clamped, rounded).
  void set(int x, int y, float r, float g, float b, float a = 1.0f);

  // Turns the picture upside down.
  void flipRows();
};

// 0..1 to 0..255, clamped and rounded.
unsigned char toByte(float value);

// 24-bit uncompressed BMP, rows stored bottom up; the alpha of RGBA is dropped.
bool writeBmp(const std::string& path, const Image& image);

// Baseline JPEG at quality 1..100 (RGB; the alpha of RGBA is dropped).
bool writeJpeg(const std::string& path, const Image& image, int quality);

// PNG with all channels, for looking at pictures and contact sheets.
bool writePng(const std::string& path, const Image& image);

}  // namespace datagen

// Decoding PNG files held in memory (libpng).
//
// decodePng is pure: libpng reads through our reader, which refuses to go
// past the bytes it was given, and every error ends the decode through
// libpng's own jump out of the library. The caller owns the result.
//
// Failure: false, with the outputs unspecified, for a damaged or truncated
// file or a side outside 1..maxSide.
#pragma once

#include <cstddef>
#include <vector>

namespace platform {

// Decodes to width * height pixels of 3 (RGB) or 4 (RGBA) bytes, rows top
// first: palettes and grey are spread to RGB, transparency becomes alpha,
// 16-bit samples keep their high byte.
bool decodePng(const unsigned char* bytes, size_t size, int maxSide, int* width, int* height,
               int* bytesPerPixel, std::vector<unsigned char>* pixels);

}  // namespace platform

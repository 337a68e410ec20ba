// Reading the pixels of a 24-bit BMP file held in memory (bitmap resources).
//
// decodeBmp24 is pure: it checks every header field and size against the
// bytes it was given and never reads outside them. The caller owns the result.
// A file it cannot read (truncated, compressed, not 24 bits, absurd size)
// returns false and leaves the outputs unchanged.
#pragma once

#include <cstddef>
#include <vector>

namespace platform {

// Decodes an uncompressed 24-bit BMP (bottom-up or top-down rows) into rows of
// RGB bytes, top row first, width * 3 bytes each without padding.
bool decodeBmp24(const unsigned char* bytes, size_t size, int* width, int* height,
                 std::vector<unsigned char>* rgb);

}  // namespace platform

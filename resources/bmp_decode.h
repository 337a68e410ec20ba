// Reading BMP files held in memory for textures.
//
// decodeBmp is pure: every header field and size is checked against the
// bytes it was given before a pixel is read, with 64-bit arithmetic, so no
// file makes it read outside them. The caller owns the result.
//
// Accepted: the 12-byte core header and the 40-byte info header with its
// later extensions (52, 56, 108, 124 bytes); uncompressed 1-, 4- and 8-bit
// palette pictures (every index inside the palette), 24-bit and 32-bit
// pictures; bottom-up and top-down rows. Anything else (run-length or
// bit-field coding, 16 bits, a truncated file, a side outside 1..maxSide)
// returns false with the outputs unspecified.
#pragma once

#include <cstddef>
#include <vector>

// Decodes to width * height RGB pixels (the fourth byte of a 32-bit pixel is
// not alpha in these files and is dropped). Rows come in file order: the
// bottom row first unless the file stores its rows top down.
bool decodeBmp(const unsigned char* bytes, size_t size, int maxSide, int* width, int* height,
               std::vector<unsigned char>* rgb);

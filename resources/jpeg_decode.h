// Decoding JPEG files held in memory (libjpeg-turbo).
//
// decodeJpeg is pure: the decoder reads only the bytes it is given, and every
// error or warning the library raises (a damaged or truncated stream, an
// unsupported encoding, too little memory) ends the decode through our own
// error handler, so no file can leave the library looping or reading past
// the buffer. The caller owns the result.
//
// Failure: false, with the outputs unspecified, for anything but a complete,
// clean 8-bit grey or colour JPEG whose sides lie within 1..maxSide and whose
// scans number at most MAX_JPEG_SCANS.
#pragma once

#include <cstddef>
#include <vector>

namespace platform {

// A progressive file may repeat its scans at will, each pass costing a
// decode of the whole picture; real encoders write about ten.
constexpr int MAX_JPEG_SCANS = 64;

// Decodes to width * height RGB pixels (grey pictures are spread over the
// three channels), rows in file order: the top row first.
bool decodeJpeg(const unsigned char* bytes, size_t size, int maxSide, int* width, int* height,
                std::vector<unsigned char>* rgb);

}  // namespace platform

// Decoding image files for textures: JPEG through libjpeg-turbo
// (resources/jpeg_decode.h), PNG through libpng (resources/png_decode.h), BMP
// through our own reader (bmp_decode.h). Any other format is refused.
//
// Why not DevIL, which the rest of the program still uses to write pictures:
// its 1.7.8 readers hang and overrun on small crafted files. Its JPEG reader
// returns from libjpeg's fatal-error handler instead of leaving the decode,
// and at the end of a damaged stream its data source hands libjpeg nothing,
// again and again, for ever; its BMP reader loops on a 50-byte 16-bit file;
// its size arithmetic overflowed on others. Header checks in front of it
// stayed one finding behind: with them, fuzzing still found a hang after
// 0.5 and 1.7 million runs (about a minute each). libjpeg-turbo and libpng
// are fuzzed continuously by their maintainers and are called here with error
// handlers that leave and readers that stay inside the buffer; the BMP
// format is small enough to read in a hundred lines that check every size
// against the file.
//
// Call order: readImageFile (or the bytes from elsewhere) -> decodeImage.
// The LoadedImage owns its pixels. Rows come in the order the file stores
// them, as the show's pictures are authored: JPEG and PNG rows top row
// first, BMP rows bottom row first (unless a BMP stores them top down).
//
// Failure: decodeImage returns false when the type is unknown, the file is
// damaged or truncated, uses an encoding we do not read, or gives a side
// outside 1..MAX_IMAGE_SIDE. Nothing is then to be uploaded.
#pragma once

#include <cstddef>
#include <vector>

// Largest side accepted; larger pictures are refused rather than scaled.
// The show's largest is 1024 wide. A damaged file may look whole until its
// last row, so this bounds the time to refuse one: a full decode of 2048 x
// 2048 pixels.
constexpr int MAX_IMAGE_SIDE = 2048;

// The formats read: the show's pictures are JPEG and BMP files; PNG is the
// one that carries alpha.
enum class ImageType { UNKNOWN, BMP, JPEG, PNG };

struct LoadedImage {
  int width = 0;
  int height = 0;
  int bytesPerPixel = 0;              // 3 (RGB) or 4 (RGBA), 8 bits each
  std::vector<unsigned char> pixels;  // width * height * bytesPerPixel bytes, tightly packed
};

// The whole file; false when it cannot be read, is empty or is larger than
// any picture we accept could be.
bool readImageFile(const char* path, std::vector<unsigned char>* bytes);

// The type a file name stands for: .bmp, .png, or .jpg, .jpeg, .jpe (any
// case); UNKNOWN for other names, whose type decodeImage reads from the
// content.
ImageType imageTypeOfName(const char* path);

// Decodes the bytes as `type` (UNKNOWN: as the signature at their start says)
// into 8-bit RGB or RGBA pixels.
bool decodeImage(const unsigned char* bytes, size_t size, ImageType type, LoadedImage* image);

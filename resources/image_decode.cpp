#include "resources/image_decode.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

bool readImageFile(const char* path, std::vector<unsigned char>* bytes) {
  FILE* file = std::fopen(path, "rb");
  if (!file) return false;
  bytes->clear();
  unsigned char block[65536];
  size_t got;
  while ((got = std::fread(block, 1, sizeof block, file)) > 0)
    bytes->insert(bytes->end(), block, block + got);
  const bool ok = !std::ferror(file) && !bytes->empty();
  std::fclose(file);
  return ok;
}

ILenum imageTypeOfName(const char* path) {
  const char* dot = std::strrchr(path, '.');
  if (!dot) return IL_TYPE_UNKNOWN;
  if (strcasecmp(dot, ".bmp") == 0) return IL_BMP;
  if (strcasecmp(dot, ".jpg") == 0 || strcasecmp(dot, ".jpeg") == 0 || strcasecmp(dot, ".jpe") == 0)
    return IL_JPG;
  return ilTypeFromExt(path);
}

static bool sideFits(int64_t side) { return side >= 1 && side <= MAX_IMAGE_SIDE; }

static uint32_t le16(const unsigned char* p) { return p[0] | p[1] << 8; }
static uint32_t le32(const unsigned char* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}
static uint32_t be16(const unsigned char* p) { return p[0] << 8 | p[1]; }

// The file header (14 bytes), then the core (12-byte) or a later info header.
static bool bmpFits(const unsigned char* b, size_t size) {
  if (size < 26 || b[0] != 'B' || b[1] != 'M') return false;
  if (le32(b + 14) == 12) return sideFits(le16(b + 18)) && sideFits(le16(b + 20));
  if (size < 50) return false;
  const int64_t width = static_cast<int32_t>(le32(b + 18));
  const int64_t height = static_cast<int32_t>(le32(b + 22));
  if (!sideFits(width) || !sideFits(height < 0 ? -height : height)) return false;
  const uint32_t bits = le16(b + 28);
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
  // The palette and run-length data are read into buffers of the sizes the
  // header gives.
  if (le32(b + 46) > 256) return false;
  // Run-length coding only at its own depth (8 bits for 1, 4 bits for 2):
  // DevIL decodes any other depth as palette indices into a palette it never
  // read, and reads outside it.
  const uint32_t compression = le32(b + 30), dataSize = le32(b + 34);
  if ((compression == 1 && bits != 8) || (compression == 2 && bits != 4)) return false;
  if (compression == 3 && bits != 16 && bits != 32) return false;
  if (compression > 3) return false;
  return (compression != 1 && compression != 2) || dataSize <= size;
}

// The frame header: 8-bit samples, a side within the limit, and one to four
// components whose sampling factors (1 to 4) and table numbers (0 to 3) are
// ones the decoder accepts. (DevIL's handler for the decoder's fatal errors
// returns instead of leaving the decoder, which then never finishes.)
static bool jpegFrameFits(const unsigned char* f, size_t length) {
  if (length < 8 || f[0] != 8) return false;
  if (!sideFits(be16(f + 1)) || !sideFits(be16(f + 3))) return false;
  const unsigned components = f[5];
  if (components < 1 || components > 4 || length != 6 + 3 * components) return false;
  for (unsigned i = 0; i < components; ++i) {
    const unsigned sampling = f[7 + 3 * i], table = f[8 + 3 * i];
    const unsigned h = sampling >> 4, v = sampling & 15;
    if (h < 1 || h > 4 || v < 1 || v > 4 || table > 3) return false;
  }
  return true;
}

// Walks the marker segments to the first scan: a Huffman-coded frame header
// (sequential or progressive) must come first and be one the decoder takes.
static bool jpegFits(const unsigned char* b, size_t size) {
  if (size < 4 || b[0] != 0xFF || b[1] != 0xD8) return false;
  size_t at = 2;
  bool frame = false;
  while (at + 4 <= size) {
    if (b[at] != 0xFF) return false;
    const unsigned marker = b[at + 1];
    if (marker == 0xFF) {  // fill byte
      ++at;
      continue;
    }
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {  // no length
      at += 2;
      continue;
    }
    if (marker == 0xD9) return false;  // the end before any scan
    const size_t length = be16(b + at + 2);
    if (length < 2 || at + 2 + length > size) return false;
    if (marker == 0xDA) return frame;
    if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xCC) {
      if (frame || marker > 0xC2 || !jpegFrameFits(b + at + 4, length - 2)) return false;
      frame = true;
    }
    at += 2 + length;
  }
  return false;
}

bool imageHeaderFits(const unsigned char* bytes, size_t size, ILenum type) {
  if (type == IL_BMP) return bmpFits(bytes, size);
  if (type == IL_JPG) return jpegFits(bytes, size);
  return true;
}

// Leaves the bound DevIL image as 8-bit RGB or RGBA, the two layouts the
// upload describes. Grey, grey-alpha, palette, BGR(A) and 16-bit images are
// converted; an alpha channel is kept. False when DevIL cannot convert.
static bool convertToRgbOrRgba() {
  const ILint format = ilGetInteger(IL_IMAGE_FORMAT);
  const ILint type = ilGetInteger(IL_IMAGE_TYPE);
  if ((format == IL_RGB || format == IL_RGBA) && type == IL_UNSIGNED_BYTE) return true;
  bool alpha = format == IL_RGBA || format == IL_BGRA || format == IL_LUMINANCE_ALPHA;
  if (format == IL_COLOUR_INDEX) {
    const ILint palette = ilGetInteger(IL_PALETTE_TYPE);
    alpha = palette == IL_PAL_RGBA32 || palette == IL_PAL_BGRA32;
  }
  return ilConvertImage(alpha ? IL_RGBA : IL_RGB, IL_UNSIGNED_BYTE) == IL_TRUE;
}

bool decodeImage(const unsigned char* bytes, size_t size, ILenum type, LoadedImage* image) {
  // Errors left over from earlier DevIL calls must not fail this load.
  while (ilGetError() != IL_NO_ERROR) {
  }
  ilGenImages(1, &image->image);
  ilBindImage(image->image);
  if (!bytes || size == 0 || !imageHeaderFits(bytes, size, type)) return false;
  // Through a stream, as from a file: DevIL's decoders of memory lumps do
  // not check their reads against the lump's end.
  FILE* stream = fmemopen(const_cast<unsigned char*>(bytes), size, "rb");
  if (!stream) return false;
  const bool loaded = ilLoadF(type, stream) == IL_TRUE;
  std::fclose(stream);
  const int width = ilGetInteger(IL_IMAGE_WIDTH);
  const int height = ilGetInteger(IL_IMAGE_HEIGHT);
  if (!loaded || ilGetError() != IL_NO_ERROR) return false;
  if (!sideFits(width) || !sideFits(height) || ilGetInteger(IL_IMAGE_DEPTH) != 1) return false;
  if (!convertToRgbOrRgba()) return false;
  const int bytesPerPixel = ilGetInteger(IL_IMAGE_BYTES_PER_PIXEL);
  if (bytesPerPixel != 3 && bytesPerPixel != 4) return false;
  // The upload reads width x height pixels; a short buffer must not reach it.
  const int64_t needed = static_cast<int64_t>(width) * height * bytesPerPixel;
  if (ilGetInteger(IL_IMAGE_WIDTH) != width || ilGetInteger(IL_IMAGE_HEIGHT) != height ||
      ilGetInteger(IL_IMAGE_SIZE_OF_DATA) < needed || !ilGetData())
    return false;
  image->width = width;
  image->height = height;
  image->bytesPerPixel = bytesPerPixel;
  image->pixels = ilGetData();
  return true;
}

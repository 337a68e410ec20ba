#include "resources/bmp_decode.h"

#include <cstdint>

namespace {

uint32_t le16(const unsigned char* p) { return p[0] | p[1] << 8; }
uint32_t le32(const unsigned char* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

const size_t FILE_HEADER = 14;
const uint32_t CORE_HEADER = 12;

// What the headers say, once checked against the file.
struct Layout {
  int64_t width = 0;
  int64_t height = 0;  // always positive; topDown says the row order
  bool topDown = false;
  uint32_t bits = 0;
  size_t paletteAt = 0;     // offset of the palette
  size_t paletteEntry = 0;  // 3 bytes (core header) or 4 (info header)
  uint32_t colours = 0;     // palette entries, for 1, 4 and 8 bits
  size_t pixelsAt = 0;      // offset of the first stored row
  size_t stride = 0;        // bytes per stored row, padded to 4
};

bool readLayout(const unsigned char* b, size_t size, int64_t maxSide, Layout* l) {
  if (size < FILE_HEADER + 4 || b[0] != 'B' || b[1] != 'M') return false;
  const uint32_t header = le32(b + FILE_HEADER);
  if (header == CORE_HEADER) {
    if (size < FILE_HEADER + CORE_HEADER) return false;
    l->width = le16(b + 18);
    l->height = le16(b + 20);
    l->bits = le16(b + 24);
    l->paletteEntry = 3;
  } else {
    if (header != 40 && header != 52 && header != 56 && header != 108 && header != 124)
      return false;
    if (size < FILE_HEADER + header) return false;
    l->width = static_cast<int32_t>(le32(b + 18));
    l->height = static_cast<int32_t>(le32(b + 22));
    l->bits = le16(b + 28);
    if (le32(b + 30) != 0) return false;  // coded: run lengths or bit fields
    l->colours = le32(b + 46);
    l->paletteEntry = 4;
  }
  l->topDown = l->height < 0;
  if (l->topDown) l->height = -l->height;
  if (l->width < 1 || l->width > maxSide || l->height < 1 || l->height > maxSide) return false;
  const uint32_t bits = l->bits;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return false;
  l->paletteAt = FILE_HEADER + header;
  if (bits <= 8) {
    const uint32_t most = 1u << bits;
    if (l->colours == 0) l->colours = most;
    if (l->colours > most) return false;
    if (l->paletteAt + l->colours * l->paletteEntry > size) return false;
  } else {
    l->colours = 0;
  }
  l->pixelsAt = le32(b + 10);
  l->stride = static_cast<size_t>((l->width * bits + 31) / 32 * 4);
  const uint64_t end = static_cast<uint64_t>(l->pixelsAt) + l->stride * l->height;
  return l->pixelsAt >= l->paletteAt && end <= size;
}

// One stored row as RGB bytes (a 32-bit pixel's fourth byte is unused);
// false when an index is outside the
// palette.
bool readRow(const unsigned char* b, const Layout& l, const unsigned char* row,
             unsigned char* out) {
  const int64_t width = l.width;
  if (l.bits == 24 || l.bits == 32) {
    const int step = l.bits / 8;
    for (int64_t x = 0; x < width; ++x, row += step) {
      *out++ = row[2];
      *out++ = row[1];
      *out++ = row[0];
    }
    return true;
  }
  const uint32_t perByte = 8 / l.bits, mask = (1u << l.bits) - 1;
  for (int64_t x = 0; x < width; ++x) {
    const uint32_t shift = 8 - l.bits * (1 + x % perByte);
    const uint32_t index = row[x / perByte] >> shift & mask;
    if (index >= l.colours) return false;
    const unsigned char* colour = b + l.paletteAt + index * l.paletteEntry;
    *out++ = colour[2];
    *out++ = colour[1];
    *out++ = colour[0];
  }
  return true;
}

}  // namespace

bool decodeBmp(const unsigned char* bytes, size_t size, int maxSide, int* width, int* height,
               std::vector<unsigned char>* rgb) {
  Layout layout;
  if (!bytes || !readLayout(bytes, size, maxSide, &layout)) return false;
  const size_t rowBytes = static_cast<size_t>(layout.width) * 3;
  rgb->assign(rowBytes * layout.height, 0);
  for (int64_t y = 0; y < layout.height; ++y) {
    const unsigned char* row = bytes + layout.pixelsAt + layout.stride * y;
    if (!readRow(bytes, layout, row, rgb->data() + rowBytes * y)) return false;
  }
  *width = static_cast<int>(layout.width);
  *height = static_cast<int>(layout.height);
  return true;
}

#include "platform/dib.h"

#include <cstdint>
#include <cstdlib>

namespace platform {

namespace {

constexpr size_t FILE_HEADER_SIZE = 14;
constexpr size_t INFO_HEADER_MIN_SIZE = 40;
constexpr int64_t MAX_SIDE = 16384;

uint32_t u32(const unsigned char* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
uint16_t u16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

}  // namespace

bool decodeBmp24(const unsigned char* bytes, size_t size, int* width, int* height,
                 std::vector<unsigned char>* rgb) {
  if (!bytes || size < FILE_HEADER_SIZE + INFO_HEADER_MIN_SIZE) return false;
  if (bytes[0] != 'B' || bytes[1] != 'M') return false;
  const uint32_t pixelOffset = u32(bytes + 10);
  const unsigned char* info = bytes + FILE_HEADER_SIZE;
  const uint32_t infoSize = u32(info);
  if (infoSize < INFO_HEADER_MIN_SIZE || infoSize > size - FILE_HEADER_SIZE) return false;
  const int64_t w = static_cast<int32_t>(u32(info + 4));
  const int64_t h = static_cast<int32_t>(u32(info + 8));
  if (u16(info + 12) != 1 || u16(info + 14) != 24 || u32(info + 16) != 0) return false;
  if (w <= 0 || h == 0 || w > MAX_SIDE || std::llabs(h) > MAX_SIDE) return false;

  const bool bottomUp = h > 0;
  const int64_t rows = std::llabs(h);
  const int64_t stride = (w * 3 + 3) & ~int64_t{3};
  if (pixelOffset < FILE_HEADER_SIZE + infoSize) return false;
  if (static_cast<uint64_t>(pixelOffset) + static_cast<uint64_t>(stride * rows) > size)
    return false;

  rgb->assign(static_cast<size_t>(w * rows * 3), 0);
  for (int64_t row = 0; row < rows; ++row) {
    const unsigned char* src = bytes + pixelOffset + (bottomUp ? rows - 1 - row : row) * stride;
    unsigned char* dst = rgb->data() + row * w * 3;
    for (int64_t x = 0; x < w; ++x) {
      dst[x * 3 + 0] = src[x * 3 + 2];
      dst[x * 3 + 1] = src[x * 3 + 1];
      dst[x * 3 + 2] = src[x * 3 + 0];
    }
  }
  *width = static_cast<int>(w);
  *height = static_cast<int>(rows);
  return true;
}

}  // namespace platform

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/dib.h"

namespace {

void put(std::vector<unsigned char>& b, size_t at, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) b[at + i] = static_cast<unsigned char>(v >> (8 * i));
}

// A 24-bit BMP whose pixel (x, row) in file order is (x, row, 200) in RGB.
std::vector<unsigned char> bmp(int width, int height, int bits = 24, uint32_t compression = 0) {
  const int rows = height < 0 ? -height : height;
  const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
  std::vector<unsigned char> b(54 + stride * rows, 0xEE);  // padding bytes are junk
  b[0] = 'B';
  b[1] = 'M';
  put(b, 2, static_cast<uint32_t>(b.size()), 4);
  put(b, 10, 54, 4);
  put(b, 14, 40, 4);
  put(b, 18, static_cast<uint32_t>(width), 4);
  put(b, 22, static_cast<uint32_t>(height), 4);
  put(b, 26, 1, 2);
  put(b, 28, static_cast<uint32_t>(bits), 2);
  put(b, 30, compression, 4);
  for (int row = 0; row < rows; ++row)
    for (int x = 0; x < width; ++x) {
      unsigned char* p = &b[54 + row * stride + x * 3];
      p[0] = 200;                              // blue
      p[1] = static_cast<unsigned char>(row);  // green
      p[2] = static_cast<unsigned char>(x);    // red
    }
  return b;
}

}  // namespace

TEST(Dib, BottomUpAndTopDownRowsWithPadding) {
  // Width 3: 9 bytes of pixels and 3 of padding per row.
  int w = 0, h = 0;
  std::vector<unsigned char> rgb;
  const std::vector<unsigned char> up = bmp(3, 2);
  ASSERT_TRUE(platform::decodeBmp24(up.data(), up.size(), &w, &h, &rgb));
  EXPECT_EQ(w, 3);
  EXPECT_EQ(h, 2);
  ASSERT_EQ(rgb.size(), 18u);
  // Bottom-up: the last row of the file is the top row of the picture.
  EXPECT_EQ(rgb[0], 0);    // red = x
  EXPECT_EQ(rgb[1], 1);    // green = file row 1
  EXPECT_EQ(rgb[2], 200);  // blue
  EXPECT_EQ(rgb[9 + 6], 2);
  EXPECT_EQ(rgb[9 + 7], 0);

  const std::vector<unsigned char> down = bmp(3, -2);
  ASSERT_TRUE(platform::decodeBmp24(down.data(), down.size(), &w, &h, &rgb));
  EXPECT_EQ(h, 2);
  EXPECT_EQ(rgb[1], 0);
  EXPECT_EQ(rgb[9 + 1], 1);
}

TEST(Dib, RefusesWhatItCannotReadWithoutTouchingTheOutputs) {
  std::vector<unsigned char> rgb = {7};
  int w = -5, h = -5;
  auto refused = [&](const std::vector<unsigned char>& b) {
    return !platform::decodeBmp24(b.data(), b.size(), &w, &h, &rgb) && w == -5 && h == -5 &&
           rgb.size() == 1;
  };
  std::vector<unsigned char> truncated = bmp(4, 4);
  truncated.resize(truncated.size() - 1);
  EXPECT_TRUE(refused(truncated));
  EXPECT_TRUE(refused(bmp(4, 4, 32)));
  EXPECT_TRUE(refused(bmp(4, 4, 24, 1)));
  std::vector<unsigned char> headerOnly = bmp(4, 4);
  headerOnly.resize(40);
  EXPECT_TRUE(refused(headerOnly));

  std::vector<unsigned char> huge = bmp(4, 4);
  put(huge, 18, 0x40000000, 4);  // a width whose rows could never fit
  EXPECT_TRUE(refused(huge));
  std::vector<unsigned char> farPixels = bmp(4, 4);
  put(farPixels, 10, 0xFFFFFFF0u, 4);  // pixels beyond the end (and an overflow)
  EXPECT_TRUE(refused(farPixels));
  std::vector<unsigned char> bigInfo = bmp(4, 4);
  put(bigInfo, 14, 0xFFFFFFFFu, 4);
  EXPECT_TRUE(refused(bigInfo));
  std::vector<unsigned char> notBmp = bmp(4, 4);
  notBmp[0] = 'P';
  EXPECT_TRUE(refused(notBmp));
  EXPECT_FALSE(platform::decodeBmp24(nullptr, 100, &w, &h, &rgb));
}

#include <gtest/gtest.h>

#include <IL/il.h>

#include <vector>

#include "resources/image_decode.h"

namespace {

void put32(std::vector<unsigned char>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<unsigned char>(v >> (8 * i));
}

// A 24-bit BMP of width x height whose pixel bytes are all `fill`.
std::vector<unsigned char> bmp(int32_t width, int32_t height, unsigned char fill = 0x80) {
  const size_t row = (static_cast<size_t>(width > 0 ? width : 1) * 3 + 3) & ~size_t(3);
  const size_t pixels = width > 0 && width <= 64 && height > 0 && height <= 64 ? row * height : 16;
  std::vector<unsigned char> b(54 + pixels, fill);
  std::fill(b.begin(), b.begin() + 54, 0);
  b[0] = 'B';
  b[1] = 'M';
  put32(b, 2, static_cast<uint32_t>(b.size()));
  put32(b, 10, 54);
  put32(b, 14, 40);
  put32(b, 18, static_cast<uint32_t>(width));
  put32(b, 22, static_cast<uint32_t>(height));
  b[26] = 1;
  b[28] = 24;
  return b;
}

// The segments of a JPEG up to its first scan: an application segment, a
// frame header of the given size with three components sampled 1x1 (the
// first `sampling`), and the scan header.
std::vector<unsigned char> jpegHead(int width, int height, unsigned char sampling = 0x11) {
  return {0xFF,
          0xD8,
          0xFF,
          0xE0,
          0x00,
          0x04,
          'J',
          'F',
          0xFF,
          0xC0,
          0x00,
          0x11,
          0x08,
          static_cast<unsigned char>(height >> 8),
          static_cast<unsigned char>(height),
          static_cast<unsigned char>(width >> 8),
          static_cast<unsigned char>(width),
          0x03,
          1,
          sampling,
          0,
          2,
          0x11,
          1,
          3,
          0x11,
          1,
          0xFF,
          0xDA,
          0x00,
          0x0C,
          3,
          1,
          0,
          2,
          0x11,
          3,
          0x11,
          0,
          63,
          0};
}

bool decodes(const std::vector<unsigned char>& bytes, ILenum type, LoadedImage* out) {
  ilInit();
  const bool ok = decodeImage(bytes.data(), bytes.size(), type, out);
  return ok;
}

}  // namespace

// Headers whose sizes overflow DevIL's arithmetic never reach it; sane ones do.
TEST(ImageDecode, HeadersOutsideTheSideLimitAreRefused) {
  EXPECT_TRUE(imageHeaderFits(bmp(4, 2).data(), 54, IL_BMP));
  EXPECT_TRUE(imageHeaderFits(bmp(4, -2).data(), 54, IL_BMP));  // rows top down
  EXPECT_FALSE(imageHeaderFits(bmp(0x0B130001, 0x3B00).data(), 54, IL_BMP));
  EXPECT_FALSE(imageHeaderFits(bmp(4, INT32_MIN).data(), 54, IL_BMP));
  EXPECT_FALSE(imageHeaderFits(bmp(4, 2).data(), 40, IL_BMP));  // cut inside the header
  std::vector<unsigned char> rle = bmp(7, 5);
  rle[28] = 8;
  put32(rle, 30, 1);  // run-length coded, with a data size far beyond the file
  put32(rle, 34, 0x1A000000);
  EXPECT_FALSE(imageHeaderFits(rle.data(), rle.size(), IL_BMP));
  put32(rle, 34, 16);
  EXPECT_TRUE(imageHeaderFits(rle.data(), rle.size(), IL_BMP));
  // 4-bit run-length coding in a 24-bit file: DevIL read outside its palette.
  std::vector<unsigned char> mismatch = bmp(7, 1);
  put32(mismatch, 30, 2);
  put32(mismatch, 34, 0);
  EXPECT_FALSE(imageHeaderFits(mismatch.data(), mismatch.size(), IL_BMP));
  std::vector<unsigned char> palette = bmp(7, 37);
  palette[28] = 8;
  put32(palette, 46, 0x4F020047);  // colours used: a palette of 5 GB
  EXPECT_FALSE(imageHeaderFits(palette.data(), palette.size(), IL_BMP));
  const std::vector<unsigned char> fine = jpegHead(640, 480), huge = jpegHead(40000, 40000);
  EXPECT_TRUE(imageHeaderFits(fine.data(), fine.size(), IL_JPG));
  EXPECT_FALSE(imageHeaderFits(huge.data(), huge.size(), IL_JPG));
  // Sampled 8 x 12: the decoder's error would leave DevIL's load looping.
  const std::vector<unsigned char> badSampling = jpegHead(16, 16, 0x8C);
  EXPECT_FALSE(imageHeaderFits(badSampling.data(), badSampling.size(), IL_JPG));
  EXPECT_FALSE(imageHeaderFits(fine.data(), 12, IL_JPG));  // no frame header
  const std::vector<unsigned char> scanFirst = {0xFF, 0xD8, 0xFF, 0xDA, 0x00, 0x02, 0, 0};
  EXPECT_FALSE(imageHeaderFits(scanFirst.data(), scanFirst.size(), IL_JPG));
}

TEST(ImageDecode, GoodTruncatedAndOverflowingFiles) {
  LoadedImage good;
  ASSERT_TRUE(decodes(bmp(4, 2, 0x40), IL_BMP, &good));
  EXPECT_EQ(good.width, 4);
  EXPECT_EQ(good.height, 2);
  EXPECT_EQ(good.bytesPerPixel, 3);
  EXPECT_EQ(good.pixels[0], 0x40);
  ilDeleteImages(1, &good.image);

  // The file that made DevIL write 557 MB into a 587 MB buffer.
  LoadedImage overflow;
  EXPECT_FALSE(decodes(bmp(0x0B130001, 0x3B00), IL_BMP, &overflow));
  ilDeleteImages(1, &overflow.image);

  LoadedImage random;
  const std::vector<unsigned char> noise = {0x13, 0x77, 0x00, 0xFE, 0x42, 0x42, 0x42};
  EXPECT_FALSE(decodes(noise, IL_JPG, &random));
  ilDeleteImages(1, &random.image);
}

#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "data/gl_picture.h"
#include "image_io.h"
#include "noise.h"
#include "support/gl_test.h"

namespace {

// A file name of this test process, so parallel runs do not collide.
std::string tmpPath(const std::string& name) {
  return "/tmp/parallaxis_io_" + std::to_string(getpid()) + "_" + name;
}

std::vector<char> fileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

// The header's promise about where rows land in GL, checked through DevIL.
TEST(ImageIo, RowsReachGlAsDocumentedForJpegAndBmp) {
  ASSERT_TRUE(openTestWindow(64, 64));
  datagen::Image picture(16, 16);
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      if (y < 8)
        picture.set(x, y, 1, 0, 0);  // top half red
      else
        picture.set(x, y, 0, 0, 1);  // bottom half blue
    }
  }
  ASSERT_TRUE(datagen::writeJpeg(tmpPath("pic.jpg"), picture, 95));
  ASSERT_TRUE(datagen::writeBmp(tmpPath("pic.bmp"), picture));

  const GlPicture jpeg = loadGlPicture(tmpPath("pic.jpg").c_str());
  ASSERT_EQ(jpeg.height, 16);
  EXPECT_GT(jpeg.at(0, 0)[0], 200);  // JPEG: the top row is t = 0
  EXPECT_LT(jpeg.at(0, 0)[2], 60);
  EXPECT_GT(jpeg.at(0, 15)[2], 200);

  const GlPicture bmp = loadGlPicture(tmpPath("pic.bmp").c_str());
  ASSERT_EQ(bmp.height, 16);
  EXPECT_EQ(bmp.at(0, 0)[0], 0);  // BMP: the bottom row is t = 0
  EXPECT_EQ(bmp.at(0, 0)[2], 255);
  EXPECT_EQ(bmp.at(0, 15)[0], 255);
  EXPECT_EQ(bmp.at(0, 15)[2], 0);
  std::remove(tmpPath("pic.jpg").c_str());
  std::remove(tmpPath("pic.bmp").c_str());
}

TEST(ImageIo, WritersAreDeterministicAndBmpRowsArePadded) {
  datagen::Image picture(5, 3);
  datagen::Rng rng(7);
  for (unsigned char& b : picture.pixels) b = static_cast<unsigned char>(rng.below(256));
  ASSERT_TRUE(datagen::writeJpeg(tmpPath("a.jpg"), picture, 80));
  ASSERT_TRUE(datagen::writeJpeg(tmpPath("b.jpg"), picture, 80));
  EXPECT_EQ(fileBytes(tmpPath("a.jpg")), fileBytes(tmpPath("b.jpg")));
  ASSERT_TRUE(datagen::writeBmp(tmpPath("a.bmp"), picture));
  const std::vector<char> bmp = fileBytes(tmpPath("a.bmp"));
  ASSERT_EQ(bmp.size(), 54u + 3 * 16);  // 15 bytes a row, padded to 16
  // The last stored row is the top row, in B G R order.
  EXPECT_EQ(static_cast<unsigned char>(bmp[54 + 2 * 16]), picture.at(0, 0)[2]);
  EXPECT_EQ(static_cast<unsigned char>(bmp[54 + 2 * 16 + 2]), picture.at(0, 0)[0]);
  EXPECT_FALSE(datagen::writeBmp("/no-such-dir/x.bmp", picture));
  for (const char* name : {"a.jpg", "b.jpg", "a.bmp"}) std::remove(tmpPath(name).c_str());
}

TEST(Noise, SeededAndTiling) {
  datagen::Rng a(42), b(42), c(43);
  bool differs = false;
  for (int i = 0; i < 100; ++i) {
    const uint32_t va = a.next();
    EXPECT_EQ(va, b.next());
    differs = differs || va != c.next();
    const int n = a.below(10);
    EXPECT_GE(n, 0);
    EXPECT_LT(n, 10);
    b.below(10);
  }
  EXPECT_TRUE(differs);

  float lo = 1, hi = -1;
  for (int i = 0; i < 2000; ++i) {
    const float x = i * 0.173f, y = i * 0.071f;
    const float n = datagen::fbm(x, y, 0.3f * i, 5, 9);
    lo = std::min(lo, n);
    hi = std::max(hi, n);
    // A tiled pattern repeats with its period in both directions.
    EXPECT_NEAR(datagen::fbmTiled(x, y, 4, 3, 4, 5), datagen::fbmTiled(x + 4, y - 3, 4, 3, 4, 5),
                1e-4f);
    const float v = datagen::valueNoise(x, y, 3);
    EXPECT_GE(v, 0.0f);
    EXPECT_LE(v, 1.0f);
  }
  EXPECT_GT(lo, -1.01f);
  EXPECT_LT(hi, 1.01f);
  EXPECT_GT(hi - lo, 0.5f);  // it does vary
  EXPECT_NE(datagen::gradientNoise(0.5f, 0.5f, 0.5f, 1),
            datagen::gradientNoise(0.5f, 0.5f, 0.5f, 2));
}

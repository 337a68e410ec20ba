#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

// textures/font.bmp as written: 512 x 512, 24-bit, rows bottom up.
class FontPicture : public ::testing::Test {
 protected:
  void SetUp() override {
    std::ifstream in("textures/font.bmp", std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), {});
    ASSERT_EQ(bytes.size(), 54u + 512 * 512 * 3);
  }
  // Brightness of pixel (x, y), y counted from the top of the picture.
  int at(int x, int y) const {
    const size_t row = 511 - y;
    return static_cast<unsigned char>(bytes[54 + (row * 512 + x) * 3]);
  }
  // Brightness of pixel (x, y) of cell k.
  int cellAt(int k, int x, int y) const { return at((k % 16) * 32 + x, (k / 16) * 32 + y); }
  // The rows and columns (within the cell) that hold ink in cell k.
  struct Ink {
    int left = 32, right = -1, top = 32, bottom = -1;
  };
  Ink inkOf(int k) const {
    Ink ink;
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x)
        if (cellAt(k, x, y) > 24) {
          ink.left = std::min(ink.left, x);
          ink.right = std::max(ink.right, x);
          ink.top = std::min(ink.top, y);
          ink.bottom = std::max(ink.bottom, y);
        }
    return ink;
  }
  std::vector<char> bytes;
};

TEST_F(FontPicture, GlyphsFitTheirAdvanceAndShareABaseline) {
  EXPECT_EQ(bytes[0], 'B');
  EXPECT_EQ(bytes[28], 24) << "bits per pixel";
  EXPECT_EQ(inkOf(0).right, -1) << "the space of set 0 is empty";
  EXPECT_EQ(inkOf(128).right, -1) << "the space of set 1 is empty";
  for (int code = 33; code < 127; ++code) {
    for (int set = 0; set < 2; ++set) {
      const Ink ink = inkOf(code - 32 + 128 * set);
      ASSERT_GE(ink.right, 0) << "code " << code << " set " << set;
      // The pen advances 20 of the 32 pixels: ink stays in the middle 20.
      EXPECT_GE(ink.left, 6) << "code " << code << " set " << set;
      EXPECT_LE(ink.right, 25) << "code " << code << " set " << set;
      EXPECT_GE(ink.top, 1) << "code " << code << " set " << set;
      EXPECT_LE(ink.bottom, 30) << "code " << code << " set " << set;
    }
  }
  for (char c : {'E', 'H', 'x', 'n', '1'}) EXPECT_EQ(inkOf(c - 32).bottom, inkOf('E' - 32).bottom);
  // Set 1 is a different style of the same letters.
  int differing = 0;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) differing += cellAt('A' - 32, x, y) != cellAt('A' + 96, x, y);
  EXPECT_GT(differing, 40);
}

}  // namespace

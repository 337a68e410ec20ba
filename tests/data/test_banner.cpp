#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "app/resource.h"
#include "app/resource_script.h"
#include "platform/dib.h"
#include "platform/resources.h"

namespace {

struct Picture {
  int width = 0, height = 0;
  std::vector<unsigned char> rgb;
  const unsigned char* at(int x, int y) const { return &rgb[(y * width + x) * 3]; }
  int grey(int x, int y) const { return (at(x, y)[0] + at(x, y)[1] + at(x, y)[2]) / 3; }
};

uint32_t u32(const unsigned char* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24;
}

}  // namespace

TEST(Banner, BuiltInAs300x75UncompressedBottomUp24BitBmp) {
  const platform::BitmapResource* banner = platform::findBitmap(programResources, IDB_BANNER);
  ASSERT_NE(banner, nullptr);
  ASSERT_GE(banner->size, 54u);
  const unsigned char* b = banner->bytes;
  EXPECT_EQ(b[0], 'B');
  EXPECT_EQ(b[1], 'M');
  EXPECT_EQ(u32(b + 18), 300u);
  EXPECT_EQ(u32(b + 22), 75u);  // positive: bottom-up rows
  EXPECT_EQ(b[28], 24);
  EXPECT_EQ(u32(b + 30), 0u);  // BI_RGB
  EXPECT_EQ(banner->size, 54u + 900u * 75u);

  // The program carries what the generator wrote last.
  std::ifstream in("generated/banner.bmp", std::ios::binary);
  const std::vector<unsigned char> file(std::istreambuf_iterator<char>(in), {});
  EXPECT_TRUE(file == std::vector<unsigned char>(b, b + banner->size));
}

TEST(Banner, ChromeTitleAndDarkFigureOnWhite) {
  const platform::BitmapResource* banner = platform::findBitmap(programResources, IDB_BANNER);
  ASSERT_NE(banner, nullptr);
  Picture p;
  ASSERT_TRUE(platform::decodeBmp24(banner->bytes, banner->size, &p.width, &p.height, &p.rgb));

  // White ground in the corners and above the title.
  for (auto [x, y] : {std::pair{0, 0}, {299, 0}, {0, 74}, {299, 74}, {150, 2}})
    EXPECT_GE(p.grey(x, y), 250) << x << "," << y;
  // The figure stands on the left: dark head, chest and legs, ground beside.
  for (auto [x, y] : {std::pair{26, 11}, {26, 28}, {23, 60}, {29, 60}})
    EXPECT_LE(p.grey(x, y), 40) << x << "," << y;
  EXPECT_GE(p.grey(26, 60), 150);  // between the legs
  EXPECT_GE(p.grey(45, 40), 250);  // beside the figure

  // The title: dark outline, and grey metal that shades from light at the top
  // of the letters to dark at the horizon.
  int outline = 0, metal = 0, lightMetal = 0, darkMetal = 0;
  for (int y = 0; y < p.height; ++y) {
    for (int x = 50; x < p.width; ++x) {
      const unsigned char* c = p.at(x, y);
      const int g = p.grey(x, y);
      const bool neutral = std::abs(c[0] - c[2]) < 24 && std::abs(c[1] - c[2]) < 24;
      if (g < 40) ++outline;
      if (neutral && g >= 60 && g <= 240) {
        ++metal;
        if (y < 30 && g > 190) ++lightMetal;
        if (y >= 30 && y < 45 && g < 110) ++darkMetal;
      }
    }
  }
  EXPECT_GT(outline, 800);
  EXPECT_GT(metal, 2000);
  EXPECT_GT(lightMetal, 200);
  EXPECT_GT(darkMetal, 200);
}

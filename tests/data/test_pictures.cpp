#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "data/gl_picture.h"
#include "support/gl_test.h"

namespace fs = std::filesystem;

namespace {

std::vector<char> bytesOf(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

TEST(Pictures, ParticleIsARoundGlowBlackAtTheRim) {
  ASSERT_TRUE(openTestWindow(64, 64));
  const std::vector<char> file = bytesOf("textures/particle3.bmp");
  ASSERT_GT(file.size(), 54u);
  EXPECT_EQ(file[28], 24);  // 24 bits per pixel
  const GlPicture p = loadGlPicture("textures/particle3.bmp");
  ASSERT_EQ(p.width, 128);
  ASSERT_EQ(p.height, 128);
  EXPECT_GE(p.luminance(64, 64), 250.0f);  // white core
  for (int i = 0; i < 128; ++i) {
    EXPECT_EQ(p.luminance(i, 0) + p.luminance(0, i) + p.luminance(i, 127) + p.luminance(127, i),
              0.0f);
  }
  // Smooth falloff, the same in every direction.
  float previous = 256.0f;
  for (int r = 8; r < 64; r += 8) {
    const float v = p.luminance(64 + r, 64);
    EXPECT_LT(v, previous);
    EXPECT_NEAR(v, p.luminance(63 - r, 64), 2.0f);
    EXPECT_NEAR(v, p.luminance(64, 63 - r), 2.0f);
    previous = v;
  }
}

TEST(Pictures, EarthHasOceansLandAndIceAndWrapsAround) {
  ASSERT_TRUE(openTestWindow(64, 64));
  const GlPicture p = loadGlPicture("textures/earth.jpg");
  ASSERT_EQ(p.width, 1024);
  ASSERT_EQ(p.height, 512);
  double sea = 0, area = 0, wrap = 0, shifted = 0;
  const double pi = 3.14159265358979;
  for (int y = 0; y < p.height; ++y) {
    const double weight = std::cos((y + 0.5) / p.height * pi - pi / 2);
    for (int x = 0; x < p.width; ++x) {
      const unsigned char* c = p.at(x, y);
      // Open water: blue above red and green; clouds and ice are grey.
      if (c[2] > c[0] + 20 && c[2] >= c[1]) sea += weight;
      area += weight;
    }
    wrap += std::abs(p.luminance(0, y) - p.luminance(p.width - 1, y));
    shifted += std::abs(p.luminance(0, y) - p.luminance(p.width / 2, y));
  }
  EXPECT_GT(sea / area, 0.45);  // about 70 % ocean, part of it under clouds
  EXPECT_LT(sea / area, 0.8);
  EXPECT_LT(wrap, 0.25 * shifted);  // no seam at the date line
  // Ice at both poles (the first rows GL gets are the north).
  double polar = 0;
  for (int x = 0; x < p.width; ++x) polar += p.luminance(x, 2) + p.luminance(x, p.height - 3);
  EXPECT_GT(polar / (2 * p.width), 190.0);
}

TEST(Pictures, MonitorInsideIsAGreenBoardLitFromTheScreenSide) {
  ASSERT_TRUE(openTestWindow(64, 64));
  const GlPicture p = loadGlPicture("textures/monitor-inside.jpg");
  ASSERT_EQ(p.width, 512);
  ASSERT_EQ(p.height, 512);
  double sum[3] = {0, 0, 0};
  for (size_t i = 0; i < p.rgb.size(); ++i) sum[i % 3] += p.rgb[i];
  const double n = 512.0 * 512.0;
  EXPECT_GT(sum[1] / n, 25.0);  // readable, not black
  EXPECT_LT(sum[1] / n, 160.0);
  EXPECT_GT(sum[1], sum[0] * 1.1);  // a green board
  EXPECT_GT(sum[1], sum[2] * 1.1);
  // Upright on the walls (t = 1 at the top): the tube's dark funnel lies in
  // the upper left, the cable bundle crosses the lower left.
  auto mean = [&](int x0, int y0) {
    double sum = 0;
    for (int y = y0; y < y0 + 50; ++y) {
      for (int x = x0; x < x0 + 50; ++x) sum += p.luminance(x, y);
    }
    return sum / 2500;
  };
  const double funnel = mean(50, 380), cables = mean(0, 120);
  EXPECT_LT(funnel * 2, cables) << funnel << " " << cables;
}

// Same sources, same bytes: a fresh run of the generator writes exactly the
// files the build wrote.
TEST(Pictures, GeneratorWritesIdenticalBytesOnEveryRun) {
  const fs::path out = fs::temp_directory_path() / ("parallaxis_data_" + std::to_string(getpid()));
  fs::remove_all(out);
  const std::string command = std::string(DATAGEN_PATH) + " " + out.string() + " > /dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  int files = 0;
  for (const auto& entry : fs::recursive_directory_iterator(out)) {
    if (!entry.is_regular_file()) continue;
    const fs::path relative = fs::relative(entry.path(), out);
    EXPECT_EQ(bytesOf(entry.path()), bytesOf(relative)) << relative;
    ++files;
  }
  EXPECT_GE(files, 9);  // at least the nine pictures
  fs::remove_all(out);
}

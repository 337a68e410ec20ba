#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
// clang-format off
#include <jpeglib.h>
// clang-format on

#include <string>
#include <vector>

#include "resources/image_decode.h"
#include "resources/jpeg_decode.h"
#include "resources/texture_manager.h"
#include "support/gl_test.h"

namespace {

using Bytes = std::vector<unsigned char>;

void put32(Bytes& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<unsigned char>(v >> (8 * i));
}

// A 24-bit BMP of width x height whose pixel bytes are all `fill`.
Bytes bmp(int32_t width, int32_t height, unsigned char fill = 0x80) {
  const size_t row = (static_cast<size_t>(width > 0 ? width : 1) * 3 + 3) & ~size_t(3);
  const size_t pixels = width > 0 && width <= 64 && height > 0 && height <= 64 ? row * height : 16;
  Bytes b(54 + pixels, fill);
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

// An 8-bit BMP of 4 x 1 pixels with a two-colour palette and the given indices.
Bytes paletteBmp(unsigned char i0, unsigned char i1) {
  Bytes b = bmp(4, 1);
  b[28] = 8;
  put32(b, 46, 2);
  put32(b, 10, 54 + 8);
  const unsigned char palette[8] = {0, 0, 255, 0, 255, 0, 0, 0};  // red, blue (B G R x)
  b.insert(b.begin() + 54, palette, palette + 8);
  b.resize(54 + 8 + 4);
  b[62] = i0, b[63] = i1, b[64] = 0, b[65] = 1;
  return b;
}

Bytes fileBytes(const std::string& path) {
  Bytes bytes;
  EXPECT_TRUE(readImageFile(path.c_str(), &bytes)) << path;
  return bytes;
}

// A 64 x 64 progressive JPEG: one DC scan, then each AC coefficient of each
// component in a scan of its own, up to `acScans` of them.
Bytes progressiveJpeg(int acScans) {
  jpeg_compress_struct c;
  jpeg_error_mgr errors;
  c.err = jpeg_std_error(&errors);
  jpeg_create_compress(&c);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &out, &size);
  c.image_width = c.image_height = 64;
  c.input_components = 3;
  c.in_color_space = JCS_RGB;
  jpeg_set_defaults(&c);
  std::vector<jpeg_scan_info> scans = {{3, {0, 1, 2, 0}, 0, 0, 0, 0}};
  for (int k = 1; k <= 63; ++k)
    for (int component = 0; component < 3; ++component)
      if (static_cast<int>(scans.size()) <= acScans) scans.push_back({1, {component}, k, k, 0, 0});
  c.scan_info = scans.data();
  c.num_scans = static_cast<int>(scans.size());
  jpeg_start_compress(&c, TRUE);
  std::vector<unsigned char> row(64 * 3);
  while (c.next_scanline < 64) {
    for (size_t i = 0; i < row.size(); ++i)
      row[i] = static_cast<unsigned char>(i * 7 + c.next_scanline);
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&c, rows, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  Bytes bytes(out, out + size);
  free(out);
  return bytes;
}

// The offset of a JPEG's frame header (the FF C0 or FF C2 marker).
size_t frameAt(const Bytes& jpeg) {
  for (size_t i = 0; i + 1 < jpeg.size(); ++i)
    if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC2)) return i;
  return 0;
}

// The JPEG with its frame header saying width x height.
Bytes withSides(Bytes jpeg, int width, int height) {
  const size_t at = frameAt(jpeg);
  jpeg[at + 5] = static_cast<unsigned char>(height >> 8), jpeg[at + 6] = height & 255;
  jpeg[at + 7] = static_cast<unsigned char>(width >> 8), jpeg[at + 8] = width & 255;
  return jpeg;
}

// A kept fuzz finding, without its leading option byte.
Bytes finding(const char* name) {
  Bytes bytes = fileBytes(std::string(FUZZ_REGRESSIONS_DIR) + "/image/" + name);
  if (!bytes.empty()) bytes.erase(bytes.begin());
  return bytes;
}

Bytes firstBytes(Bytes bytes, size_t count) {
  bytes.resize(std::min(count, bytes.size()));
  return bytes;
}

}  // namespace

TEST(ImageDecode, FilesDecodeToRgbRowsInFileOrder) {
  LoadedImage good;
  ASSERT_TRUE(decodeImage(bmp(4, 2, 0x40).data(), bmp(4, 2).size(), ImageType::BMP, &good));
  EXPECT_EQ(good.width, 4);
  EXPECT_EQ(good.height, 2);
  EXPECT_EQ(good.bytesPerPixel, 3);
  EXPECT_EQ(good.pixels, Bytes(4 * 2 * 3, 0x40));

  // Palette entries are B G R; indices pick them per pixel.
  LoadedImage palette;
  const Bytes indexed = paletteBmp(1, 0);
  ASSERT_TRUE(decodeImage(indexed.data(), indexed.size(), ImageType::UNKNOWN, &palette));
  EXPECT_EQ(palette.pixels, (Bytes{0, 0, 255, 255, 0, 0, 255, 0, 0, 0, 0, 255}));

  // A top-down BMP keeps its stored order: the first stored row comes first.
  Bytes topDown = bmp(1, -2, 0);
  topDown.resize(54 + 8);
  topDown[54] = 9, topDown[58] = 7;
  LoadedImage rows;
  ASSERT_TRUE(decodeImage(topDown.data(), topDown.size(), ImageType::BMP, &rows));
  EXPECT_EQ(rows.pixels, (Bytes{0, 0, 9, 0, 0, 7}));

  // A progressive JPEG as encoders write it (ten scans) is read; a grey
  // one arrives as RGB.
  const Bytes sky = fileBytes("textures/blue_glow.jpg");
  LoadedImage jpeg;
  ASSERT_TRUE(decodeImage(sky.data(), sky.size(), ImageType::JPEG, &jpeg));
  EXPECT_EQ(jpeg.bytesPerPixel, 3);
  EXPECT_EQ(jpeg.pixels.size(), static_cast<size_t>(jpeg.width) * jpeg.height * 3);
  const Bytes progressive = progressiveJpeg(9);
  ASSERT_TRUE(decodeImage(progressive.data(), progressive.size(), ImageType::JPEG, &jpeg));
  EXPECT_EQ(jpeg.width, 64);
}

// Files that hung, overran or would have taken DevIL's decoders for ever are
// refused, and the texture manager is left as a failed load leaves it.
TEST(ImageDecode, HostileFilesAreRefusedAndLeaveTheManagerAsItWas) {
  ASSERT_TRUE(openTestWindow(64, 64));
  const Bytes sky = fileBytes("textures/blue_glow.jpg");
  const Bytes particle = fileBytes("textures/particle3.bmp");
  Bytes rle = bmp(7, 5);
  rle[28] = 8;
  put32(rle, 30, 1);  // run-length coded
  Bytes farPixels = bmp(4, 2);
  put32(farPixels, 10, 4096);  // the pixels start past the end
  Bytes bigPalette = bmp(7, 37);
  bigPalette[28] = 8;
  put32(bigPalette, 46, 0x4F020047);  // colours used: a palette of 5 GB
  const Bytes notPng = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H'};
  const struct {
    const char* name;
    Bytes bytes;
  } table[] = {
      {"crafted.jpg", finding("crafted-jpeg-devil-hang.bin")},
      {"truncated.jpg", firstBytes(sky, sky.size() / 2)},
      {"huge.jpg", withSides(sky, 65535, 65535)},
      {"largest-side-with-no-data.jpg", withSides(sky, MAX_IMAGE_SIDE, MAX_IMAGE_SIDE)},
      {"many-scans.jpg", progressiveJpeg(platform::MAX_JPEG_SCANS + 10)},
      {"noise.jpg", {0x13, 0x77, 0x00, 0xFE, 0x42, 0x42, 0x42}},
      {"16-bit-loop.bmp", finding("crafted-bmp16-devil-hang.bin")},
      {"overflowing-sides.bmp", bmp(0x0B130001, 0x3B00)},
      {"lowest-height.bmp", bmp(4, INT32_MIN)},
      {"cut-in-header.bmp", firstBytes(bmp(4, 2), 40)},
      {"truncated.bmp", firstBytes(particle, particle.size() - 100)},
      {"run-length.bmp", rle},
      {"pixels-past-the-end.bmp", farPixels},
      {"5-GB-palette.bmp", bigPalette},
      {"index-outside-palette.bmp", paletteBmp(0, 5)},
      {"empty.bmp", {}},
      {"cut-header.png", notPng},
      {"picture.tga", {'T', 'R', 'U', 'E', 'V', 'I', 'S', 'I', 'O', 'N'}},
      {"no-extension", firstBytes(sky, sky.size() - 1)},  // read by content: no end marker
  };
  TextureManager::destroy();
  TextureManager* tm = TextureManager::instance();
  const unsigned int before = tm->createEmptyTexture(2, 2, 3, NO_TEXTURE);
  for (const auto& entry : table) {
    SCOPED_TRACE(entry.name);
    const std::string path =
        "/tmp/parallaxis_hostile_" + std::to_string(getpid()) + "_" + entry.name;
    LoadedImage image;
    const Bytes& bytes = entry.bytes;
    EXPECT_FALSE(decodeImage(bytes.data(), bytes.size(), imageTypeOfName(path.c_str()), &image));
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    EXPECT_EQ(tm->loadTexture(path.c_str(), 1, NO_TEXTURE), NO_TEXTURE);
    EXPECT_EQ(std::string(tm->lastMessage()),
              ("ERROR : Unable to load file [" + path + "]").substr(0, 79));
    EXPECT_EQ(tm->textureCount(), 1);
    EXPECT_EQ(tm->slot(0), before);
    EXPECT_EQ(tm->slot(1), NO_TEXTURE);
    std::remove(path.c_str());
  }
  // A FIFO would block a plain open for ever, a folder reads as nothing:
  // both are refused at once.
  const std::string fifo = "/tmp/parallaxis_hostile_" + std::to_string(getpid()) + "_fifo.jpg";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& path : {fifo, std::string("/tmp")}) {
    SCOPED_TRACE(path);
    EXPECT_EQ(tm->loadTexture(path.c_str(), 1, NO_TEXTURE), NO_TEXTURE);
    EXPECT_EQ(tm->textureCount(), 1);
  }
  std::remove(fifo.c_str());
  // A BMP under a name without extension is read by its content, and loads
  // after all the failures.
  const std::string plain = "/tmp/parallaxis_hostile_" + std::to_string(getpid()) + "_plain";
  FILE* f = std::fopen(plain.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fwrite(particle.data(), 1, particle.size(), f);
  std::fclose(f);
  EXPECT_NE(tm->loadTexture(plain.c_str(), 1, NO_TEXTURE), NO_TEXTURE);
  EXPECT_EQ(tm->textureCount(), 2);
  std::remove(plain.c_str());
}

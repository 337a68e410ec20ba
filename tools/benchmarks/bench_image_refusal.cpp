// Benchmark: how long the image path takes to refuse hostile files of up to a
// few MB, beside good files of the largest accepted size for comparison.
//
// bench_image_refusal [RUNS] [FINDING...] [--json FILE]: decodes each file RUNS times
// (default 5) as the texture manager does and prints whether it was refused
// and the median and slowest time in ms. FINDING files are kept fuzz inputs
// (tools/fuzz/regressions/image/*): their first byte chooses the type as in
// the fuzz target. The other files are made here: pictures at the largest
// side, whole, cut short, with noise for data, or with more scans than any
// encoder writes.
#include <png.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
// jpeglib.h needs size_t and FILE declared before it.
// clang-format off
#include <jpeglib.h>
// clang-format on
#include <string>
#include <vector>

#include "resources/image_decode.h"
#include "resources/jpeg_decode.h"
#include "tools/benchmarks/bench_json.h"

namespace {

using Bytes = std::vector<unsigned char>;
using Clock = std::chrono::steady_clock;

struct Case {
  std::string name;
  Bytes bytes;
  ImageType type;
};

// A side x side picture with detail everywhere, so the files are large.
Bytes picture(int side) {
  Bytes rgb(static_cast<size_t>(side) * side * 3);
  unsigned seed = 7;
  for (size_t i = 0; i < rgb.size(); ++i) {
    seed = seed * 1103515245u + 12345u;
    rgb[i] = static_cast<unsigned char>((i / 3 % side) ^ (seed >> 24 & 31));
  }
  return rgb;
}

// The picture as a JPEG; acScans > 0 writes it progressive with one DC scan
// and then that many single-coefficient AC scans.
Bytes jpeg(const Bytes& rgb, int side, int acScans) {
  jpeg_compress_struct c;
  jpeg_error_mgr errors;
  c.err = jpeg_std_error(&errors);
  jpeg_create_compress(&c);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &out, &size);
  c.image_width = c.image_height = static_cast<JDIMENSION>(side);
  c.input_components = 3;
  c.in_color_space = JCS_RGB;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, 95, TRUE);
  std::vector<jpeg_scan_info> scans = {{3, {0, 1, 2, 0}, 0, 0, 0, 0}};
  for (int k = 1; k <= 63 && acScans > 0; ++k)
    for (int component = 0; component < 3; ++component)
      if (static_cast<int>(scans.size()) <= acScans) scans.push_back({1, {component}, k, k, 0, 0});
  if (acScans > 0) {
    c.scan_info = scans.data();
    c.num_scans = static_cast<int>(scans.size());
  }
  jpeg_start_compress(&c, TRUE);
  while (c.next_scanline < c.image_height) {
    JSAMPROW row = const_cast<unsigned char*>(rgb.data()) + c.next_scanline * side * 3;
    jpeg_write_scanlines(&c, &row, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  Bytes bytes(out, out + size);
  std::free(out);
  return bytes;
}

Bytes png(const Bytes& rgb, int side) {
  png_image image = {};
  image.version = PNG_IMAGE_VERSION;
  image.width = image.height = static_cast<png_uint_32>(side);
  image.format = PNG_FORMAT_RGB;
  png_alloc_size_t size = 0;
  png_image_write_to_memory(&image, nullptr, &size, 0, rgb.data(), 0, nullptr);
  Bytes bytes(size);
  png_image_write_to_memory(&image, bytes.data(), &size, 0, rgb.data(), 0, nullptr);
  bytes.resize(size);
  return bytes;
}

// A 24-bit BMP header for side x side pixels followed by `body` bytes.
Bytes bmp(int side, size_t body) {
  Bytes b(54 + body, 0x5A);
  const unsigned values[][2] = {{2, 54 + static_cast<unsigned>(body)},
                                {10, 54},
                                {14, 40},
                                {18, static_cast<unsigned>(side)},
                                {22, static_cast<unsigned>(side)}};
  std::fill(b.begin(), b.begin() + 54, 0);
  b[0] = 'B', b[1] = 'M', b[26] = 1, b[28] = 24;
  for (const auto& v : values)
    for (int i = 0; i < 4; ++i) b[v[0] + i] = static_cast<unsigned char>(v[1] >> (8 * i));
  return b;
}

Bytes cut(Bytes bytes, double share) {
  bytes.resize(static_cast<size_t>(bytes.size() * share));
  return bytes;
}

// The entropy-coded data after the first scan header replaced by noise
// without markers, up to `size` bytes, then the end marker.
Bytes noiseData(Bytes bytes, size_t size) {
  size_t at = 0;
  while (at + 1 < bytes.size() && !(bytes[at] == 0xFF && bytes[at + 1] == 0xDA)) ++at;
  at += 2 + (bytes[at + 2] << 8 | bytes[at + 3]);
  bytes.resize(size);
  unsigned seed = 3;
  for (size_t i = at; i + 2 < size; ++i) {
    seed = seed * 1103515245u + 12345u;
    bytes[i] = static_cast<unsigned char>(std::min(0xFEu, seed >> 24));
  }
  bytes[size - 2] = 0xFF, bytes[size - 1] = 0xD9;
  return bytes;
}

Bytes fileBytes(const char* path) {
  Bytes bytes;
  readImageFile(path, &bytes);
  return bytes;
}

}  // namespace

int main(int argc, char** argv) {
  BenchJson json("bench_image_refusal");
  if (!json.takeOption(&argc, argv)) return 2;
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  const int side = MAX_IMAGE_SIDE;
  const Bytes rgb = picture(side);
  const Bytes baseline = jpeg(rgb, side, 0), flat = png(rgb, side);
  std::vector<Case> cases = {
      {"JPEG, largest side (good)", baseline, ImageType::JPEG},
      {"JPEG, cut at half", cut(baseline, 0.5), ImageType::JPEG},
      {"JPEG, noise for data (4 MB)", noiseData(baseline, 4 << 20), ImageType::JPEG},
      {"JPEG, progressive, 10 scans (good)", jpeg(rgb, side, 9), ImageType::JPEG},
      {"JPEG, progressive, 190 scans", jpeg(rgb, side, 189), ImageType::JPEG},
      {"PNG, largest side (good)", flat, ImageType::PNG},
      {"PNG, cut at half", cut(flat, 0.5), ImageType::PNG},
      {"BMP, largest side (good)", bmp(side, static_cast<size_t>(side) * side * 3), ImageType::BMP},
      {"BMP, header of it, 4 MB of data", bmp(side, 4 << 20), ImageType::BMP},
  };
  for (int i = 2; i < argc; ++i) {
    Bytes bytes = fileBytes(argv[i]);
    if (bytes.size() < 2) continue;
    static const ImageType TYPES[] = {ImageType::BMP, ImageType::JPEG, ImageType::PNG,
                                      ImageType::UNKNOWN};
    const ImageType type = TYPES[bytes[0] % 4];
    bytes.erase(bytes.begin());
    const std::string name = argv[i];
    cases.push_back({name.substr(name.rfind('/') + 1), bytes, type});
  }
  std::printf("%-38s %9s  %-8s %9s %9s\n", "file", "bytes", "result", "median", "slowest");
  for (const Case& c : cases) {
    std::vector<double> ms;
    bool loaded = false;
    for (int r = 0; r < runs; ++r) {
      LoadedImage image;
      const Clock::time_point start = Clock::now();
      loaded = decodeImage(c.bytes.data(), c.bytes.size(), c.type, &image);
      ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%-38s %9zu  %-8s %6.1f ms %6.1f ms\n", c.name.c_str(), c.bytes.size(),
                loaded ? "loaded" : "refused", ms[ms.size() / 2], ms.back());
    const std::string name = c.name + (loaded ? " (loaded)" : " (refused)");
    json.add(name + ": median", ms[ms.size() / 2], "ms");
    json.add(name + ": slowest", ms.back(), "ms");
  }
  return json.write() ? 0 : 1;
}

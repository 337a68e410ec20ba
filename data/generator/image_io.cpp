#include "image_io.h"

#include <IL/il.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace datagen {

Image::Image(int w, int h, int c)
    : width(w), height(h), channels(c), pixels(static_cast<size_t>(w) * h * c, 0) {}

unsigned char toByte(float value) {
  const float v = std::min(1.0f, std::max(0.0f, value));
  return static_cast<unsigned char>(std::lround(v * 255.0f));
}

void Image::set(int x, int y, float r, float g, float b, float a) {
  unsigned char* p = at(x, y);
  p[0] = toByte(r);
  p[1] = toByte(g);
  p[2] = toByte(b);
  if (channels == 4) p[3] = toByte(a);
}

void Image::flipRows() {
  const size_t row = static_cast<size_t>(width) * channels;
  for (int y = 0; y < height / 2; ++y) {
    std::swap_ranges(pixels.begin() + y * row, pixels.begin() + (y + 1) * row,
                     pixels.begin() + (height - 1 - y) * row);
  }
}

static void putLE(std::vector<unsigned char>& out, unsigned value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

bool writeBmp(const std::string& path, const Image& image) {
  const unsigned rowBytes = (static_cast<unsigned>(image.width) * 3 + 3) & ~3u;
  const unsigned dataBytes = rowBytes * static_cast<unsigned>(image.height);
  std::vector<unsigned char> out;
  out.reserve(54 + dataBytes);
  out.push_back('B');
  out.push_back('M');
  putLE(out, 54 + dataBytes, 4);  // file size
  putLE(out, 0, 4);               // reserved
  putLE(out, 54, 4);              // offset of the pixels
  putLE(out, 40, 4);              // info header size
  putLE(out, static_cast<unsigned>(image.width), 4);
  putLE(out, static_cast<unsigned>(image.height), 4);  // positive: bottom-up rows
  putLE(out, 1, 2);                                    // planes
  putLE(out, 24, 2);                                   // bits per pixel
  putLE(out, 0, 4);                                    // BI_RGB
  putLE(out, dataBytes, 4);
  putLE(out, 2835, 4);  // 72 dpi
  putLE(out, 2835, 4);
  putLE(out, 0, 4);
  putLE(out, 0, 4);
  for (int y = image.height - 1; y >= 0; --y) {
    for (int x = 0; x < image.width; ++x) {
      const unsigned char* p = image.at(x, y);
      out.push_back(p[2]);
      out.push_back(p[1]);
      out.push_back(p[0]);
    }
    for (unsigned pad = static_cast<unsigned>(image.width) * 3; pad < rowBytes; ++pad) {
      out.push_back(0);
    }
  }
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) {
    std::perror(path.c_str());
    return false;
  }
  const bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
  if (std::fclose(f) != 0 || !ok) {
    std::fprintf(stderr, "datagen: cannot write %s\n", path.c_str());
    return false;
  }
  return true;
}

static void startDevil() {
  static bool started = false;
  if (!started) {
    ilInit();
    ilEnable(IL_FILE_OVERWRITE);
    started = true;
  }
}

// Hands the picture to DevIL as a top-row-first image and saves it.
static bool saveWithDevil(const std::string& path, const Image& image, ILenum type, int channels) {
  startDevil();
  std::vector<unsigned char> data;
  if (channels == image.channels) {
    data = image.pixels;
  } else {
    data.reserve(static_cast<size_t>(image.width) * image.height * 3);
    for (size_t i = 0; i < image.pixels.size(); i += image.channels) {
      data.insert(data.end(), image.pixels.begin() + i, image.pixels.begin() + i + 3);
    }
  }
  ILuint id = 0;
  ilGenImages(1, &id);
  ilBindImage(id);
  bool ok = ilTexImage(image.width, image.height, 1, static_cast<ILubyte>(channels),
                       channels == 4 ? IL_RGBA : IL_RGB, IL_UNSIGNED_BYTE, data.data());
  // Our rows run from the top; the savers flip lower-left images.
  ilRegisterOrigin(IL_ORIGIN_UPPER_LEFT);
  ok = ok && ilSave(type, path.c_str());
  ilDeleteImages(1, &id);
  if (!ok)
    std::fprintf(stderr, "datagen: cannot write %s (DevIL error %#x)\n", path.c_str(),
                 static_cast<unsigned>(ilGetError()));
  return ok;
}

bool writeJpeg(const std::string& path, const Image& image, int quality) {
  startDevil();
  ilSetInteger(IL_JPG_QUALITY, std::min(100, std::max(1, quality)));
  return saveWithDevil(path, image, IL_JPG, 3);
}

bool writePng(const std::string& path, const Image& image) {
  return saveWithDevil(path, image, IL_PNG, image.channels);
}

}  // namespace datagen

// make_seeds_media IMAGE_DIR SOUND_DIR: writes the seed corpora of the image
// and sound fuzz targets with the data generator's own writers: small BMP and
// JPEG pictures, and short WAV and MP3 pieces. Each file starts with its
// target's option byte (images: 0 BMP, 1 JPEG; sounds: 0 whole load, 1 stream).
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "data/generator/audio_dsp.h"
#include "data/generator/image_io.h"

namespace {

// Rewrites the file with the option byte in front.
bool prefix(const std::string& from, const std::string& to, unsigned char option) {
  std::ifstream in(from, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::remove(from.c_str());
  if (bytes.empty()) return false;
  std::ofstream out(to, std::ios::binary);
  out.put(static_cast<char>(option));
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

datagen::Image picture(int width, int height) {
  datagen::Image image(width, height, 3);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      image.set(x, y, float(x) / width, float(y) / height, float((x ^ y) & 1));
  return image;
}

datagen::audio::Stereo tone(double seconds) {
  datagen::audio::Stereo s;
  const int64_t n = datagen::audio::framesOf(seconds);
  for (int64_t i = 0; i < n; ++i) {
    const double t = double(i) / datagen::audio::RATE;
    s.l.push_back(static_cast<float>(0.5 * std::sin(2 * M_PI * 440 * t)));
    s.r.push_back(static_cast<float>(0.3 * std::sin(2 * M_PI * 660 * t)));
  }
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_seeds_media IMAGE_DIR SOUND_DIR\n");
    return 2;
  }
  const std::string images = argv[1], sounds = argv[2];
  bool ok = true;
  const int sizes[][2] = {{1, 1}, {7, 5}, {16, 16}, {64, 32}};
  for (const auto& size : sizes) {
    const datagen::Image image = picture(size[0], size[1]);
    const std::string name = std::to_string(size[0]) + "x" + std::to_string(size[1]);
    const std::string tmp = images + "/tmp";
    ok = ok && datagen::writeBmp(tmp, image) && prefix(tmp, images + "/" + name + ".bmp", 0);
    for (int quality : {20, 90}) {
      ok = ok && datagen::writeJpeg(tmp, image, quality) &&
           prefix(tmp, images + "/" + name + "_q" + std::to_string(quality) + ".jpg", 1);
    }
  }
  for (double seconds : {0.01, 0.2}) {
    datagen::audio::Stereo s = tone(seconds);
    const std::string name = std::to_string(static_cast<int>(seconds * 1000)) + "ms";
    double peak = 0.0;
    for (unsigned char option : {0, 1}) {
      const std::string tag = option ? "_stream" : "_load";
      const std::string tmpWav = sounds + "/tmp.wav", tmpMp3 = sounds + "/tmp.mp3";
      ok = ok && datagen::audio::writeWav(tmpWav, s) &&
           prefix(tmpWav, sounds + "/" + name + tag + ".wav", option);
      ok = ok && datagen::audio::writeMp3(tmpMp3, s, -1.1, &peak) &&
           prefix(tmpMp3, sounds + "/" + name + tag + ".mp3", option);
    }
  }
  if (!ok) std::fprintf(stderr, "make_seeds_media: writing the seeds failed\n");
  return ok ? 0 : 1;
}

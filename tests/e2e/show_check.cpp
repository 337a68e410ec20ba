// show_check DIR FPS DESKTOP: checks a capture of the whole show at 640x480
// (DIR/frame_NNNNNN.png at FPS frames per second from 0 s, the loading
// screens DIR/loading_N.png and DIR/soundtrack.wav) against what each second
// must show. DESKTOP is the colour of the desktop the show captured, as
// RRGGBB. Prints a table of figures per second and a line per failed check;
// exits 0 when everything holds, 1 when a check failed, 2 on bad arguments.
//
// The checks hold at any capture rate up to a few frames per second: motions
// that advance per frame (the screen's turn, the knot, the letters, the
// skull's world) lag the clock there, so nothing here depends on how far they
// have gone.
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr double SHOW_END = 185.0;
constexpr int WIDTH = 640, HEIGHT = 480;

int failures = 0;

void fail(const char* format, ...) __attribute__((format(printf, 1, 2)));
void fail(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::printf("FAIL: ");
  std::vprintf(format, args);
  std::printf("\n");
  va_end(args);
  ++failures;
}

struct Image {
  int width = 0, height = 0;
  std::vector<unsigned char> rgb;  // rows top first
};

bool readPng(const std::string& path, Image* image) {
  png_image png;
  std::memset(&png, 0, sizeof png);
  png.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&png, path.c_str())) return false;
  png.format = PNG_FORMAT_RGB;
  image->width = static_cast<int>(png.width);
  image->height = static_cast<int>(png.height);
  image->rgb.resize(PNG_IMAGE_SIZE(png));
  if (!png_image_finish_read(&png, nullptr, image->rgb.data(), 0, nullptr)) {
    png_image_free(&png);
    return false;
  }
  return true;
}

constexpr int RINGS = 6;  // rings of 40 pixels round the middle, inside out

// What a viewer notices in one frame; shares are of all pixels.
struct Figures {
  double mean = 0;           // of all channels, 0 to 255
  double lit = 0;            // a channel of 24 or more
  double bright = 0;         // every channel 160 or more
  double desktop = 0;        // within 24 of the desktop's colour
  double green = 0;          // clearly green: the knot's outline, the letters
  double grey = 0;           // lit with channels within 12 of each other: the veil
  int blueText = 0;          // pixels of the first typed line's blue
  int redText = 0;           // pixels of the second typed line's red
  double rings[RINGS] = {};  // mean brightness per ring
  double detail = 0;         // mean step between neighbouring pixels over the mean
};

Figures measure(const Image& image, const int desktop[3]) {
  Figures f;
  double ringSum[RINGS] = {}, ringCount[RINGS] = {};
  const double cx = image.width / 2.0, cy = image.height / 2.0;
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      const unsigned char* p = &image.rgb[(static_cast<size_t>(y) * image.width + x) * 3];
      const int r = p[0], g = p[1], b = p[2];
      const int hi = std::max(r, std::max(g, b)), lo = std::min(r, std::min(g, b));
      f.mean += r + g + b;
      if (hi >= 24) f.lit += 1;
      if (lo >= 160) f.bright += 1;
      if (std::abs(r - desktop[0]) <= 24 && std::abs(g - desktop[1]) <= 24 &&
          std::abs(b - desktop[2]) <= 24)
        f.desktop += 1;
      if (g >= 64 && g > 2 * r && g > 2 * b) f.green += 1;
      if (hi >= 24 && hi - lo <= 12) f.grey += 1;
      if (b >= 200 && r < 40 && g < 40) f.blueText += 1;
      if (r >= 200 && g < 40 && b < 40) f.redText += 1;
      if (x + 1 < image.width && y + 1 < image.height) {
        const unsigned char* right = p + 3;
        const unsigned char* below = p + 3 * image.width;
        for (int k = 0; k < 3; ++k)
          f.detail += std::abs(p[k] - right[k]) + std::abs(p[k] - below[k]);
      }
      const int ring = static_cast<int>(std::hypot(x + 0.5 - cx, y + 0.5 - cy) / 40.0);
      if (ring < RINGS) {
        ringSum[ring] += (r + g + b) / 3.0;
        ringCount[ring] += 1;
      }
    }
  }
  const double n = static_cast<double>(image.width) * image.height;
  f.detail /= 3 * n * std::max(f.mean / (3 * n), 1.0);
  f.mean /= 3 * n;
  f.lit /= n;
  f.bright /= n;
  f.desktop /= n;
  f.green /= n;
  f.grey /= n;
  for (int i = 0; i < RINGS; ++i) f.rings[i] = ringSum[i] / ringCount[i];
  return f;
}

// What each stretch of the show looks like, whatever its per-frame motions
// have reached.
enum Look { SCREEN, WORDS, KNOT, LASER, EVOLUTION, BLUR, SKULL, LOOKS };
const char* const LOOK_NAMES[LOOKS] = {"screen",    "words", "knot", "laser",
                                       "evolution", "blur",  "skull"};

bool looksLike(Look look, const Figures& f) {
  switch (look) {
    // The desktop, turned or not, fills the window.
    case SCREEN: return f.desktop >= 0.5 && f.lit >= 0.9;
    // A grey veil over all of it, the words bouncing on it.
    case WORDS: return f.grey >= 0.8 && f.lit >= 0.95;
    // The knot on black with its green outline.
    case KNOT: return f.green >= 0.004 && f.lit >= 0.1 && f.lit <= 0.6;
    // Two paddles and a ball on black: little lit, nothing green, no big white.
    case LASER: return f.lit >= 0.002 && f.lit <= 0.4 && f.green < 0.001 && f.bright < 0.06;
    // The sphere in the middle, in every style, and black round it.
    case EVOLUTION:
      return f.rings[0] >= 40 && f.lit >= 0.05 && f.lit <= 0.3 && f.rings[3] < 5 &&
             f.rings[RINGS - 1] < 10;
    // The picture smeared out of the middle: light far beyond the sphere's
    // rim, fading outward, and smooth, as no sharp frame is.
    case BLUR:
      return f.mean >= 20 && f.lit >= 0.3 && f.rings[3] >= 20 && f.rings[3] > f.rings[4] &&
             f.rings[4] > f.rings[5] && f.rings[5] > 0.5 && f.detail < 0.05;
    // The sky all round the skull, and not the blur that ends the scene before.
    case SKULL: return f.lit >= 0.2 && f.grey < 0.8 && f.desktop < 0.5 && !looksLike(BLUR, f);
    default: return false;
  }
}

// The stretch of the show a time belongs to; a boundary belongs to the later
// scene, whose frame is the one presented last.
Look lookAt(double t) {
  if (t < 40) return SCREEN;
  if (t < 50) return WORDS;
  if (t < 85) return KNOT;
  if (t < 115) return LASER;
  if (t <= 145) return EVOLUTION;  // the blur covers the scene's local times above 30
  if (t < 150) return BLUR;
  return SKULL;
}

// The checks that follow a scene's own clock rather than its frame count; a
// frame lasts step seconds.
void checkTimed(double t, double step, const Figures& f) {
  if (t <= 18 && f.desktop < 0.95)
    fail("%.2f s: the desktop covers %.3f of the window, not nearly all", t, f.desktop);
  // The first line types from 2 s and stands from 12 s. The second starts
  // empty on the first frame after 12 s and shows its first letter a frame on.
  const bool firstLine = t > 2 && t <= 18, secondLine = t > 12 + 1.5 * step && t <= 18;
  if (firstLine != (f.blueText >= 40)) fail("%.2f s: %d pixels of the blue line", t, f.blueText);
  if (secondLine != (f.redText >= 40)) fail("%.2f s: %d pixels of the red line", t, f.redText);
  // The white glow bursts from 35 s.
  if (t > 35 && t < 40 && f.bright < 0.003)
    fail("%.2f s: no white glow (%.4f bright)", t, f.bright);
}

void checkFrames(const std::string& dir, int fps, const int desktop[3]) {
  const int expected = static_cast<int>(SHOW_END * fps);
  std::printf(
      "   t s  look       mean   lit  bright  desk  green  grey   rings of 40 px, inside out"
      "       detail\n");
  int n = 0;
  for (;; ++n) {
    char name[32];
    std::snprintf(name, sizeof name, "/frame_%06d.png", n);
    Image image;
    if (!readPng(dir + name, &image)) break;
    const double t = static_cast<double>(n) / fps;
    if (image.width != WIDTH || image.height != HEIGHT) {
      fail("%s is %dx%d", name + 1, image.width, image.height);
      continue;
    }
    const Figures f = measure(image, desktop);
    const Look look = lookAt(t);
    if (n % fps == 0 || !looksLike(look, f)) {
      std::printf("%6.2f  %-9s %5.1f %5.3f  %5.3f %5.3f %6.4f %5.3f ", t, LOOK_NAMES[look], f.mean,
                  f.lit, f.bright, f.desktop, f.green, f.grey);
      for (double r : f.rings) std::printf(" %5.1f", r);
      std::printf("  %5.3f\n", f.detail);
    }
    if (f.lit < 0.002) fail("%.2f s: the frame is black (%.4f lit)", t, f.lit);
    if (!looksLike(look, f)) fail("%.2f s: does not look like the %s", t, LOOK_NAMES[look]);
    // Each scene change: the frame before it looks like the old scene and
    // not the new one, the frame at it the other way round.
    const Look before = lookAt(t - 0.5 / fps), after = lookAt(t + 0.5 / fps);
    if (before != look && looksLike(before, f))
      fail("%.2f s: still looks like the %s", t, LOOK_NAMES[before]);
    if (after != look && looksLike(after, f))
      fail("%.2f s: already looks like the %s", t, LOOK_NAMES[after]);
    checkTimed(t, 1.0 / fps, f);
  }
  if (n != expected)
    fail("%d frames, not %d for %.0f s at %d frames/s", n, expected, SHOW_END, fps);
}

// One loading screen before each scene's load, its curve a level deeper each
// time: every screen differs from the one before it where the curve runs.
void checkLoadingScreens(const std::string& dir) {
  Image last;
  for (int i = 0; i < 6; ++i) {
    Image image;
    const std::string path = dir + "/loading_" + std::to_string(i) + ".png";
    if (!readPng(path, &image)) {
      fail("no loading screen %d", i);
      return;
    }
    int lit = 0, changed = 0;
    for (size_t p = 0; p < image.rgb.size(); p += 3) {
      lit += std::max(image.rgb[p], std::max(image.rgb[p + 1], image.rgb[p + 2])) >= 24;
      if (i > 0 && p + 2 < last.rgb.size())
        changed += image.rgb[p] != last.rgb[p] || image.rgb[p + 1] != last.rgb[p + 1] ||
                   image.rgb[p + 2] != last.rgb[p + 2];
    }
    std::printf("loading screen %d: %d pixels lit, %d changed\n", i, lit, changed);
    if (lit < 500) fail("loading screen %d is nearly black", i);
    if (i > 0 && changed < 20) fail("loading screen %d shows what the one before it did", i);
    last = std::move(image);
  }
}

uint32_t le32(const unsigned char* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24;
}

// The soundtrack: 16-bit stereo at 44100 Hz, exactly the show's length, never
// silent for a second, never clipping.
void checkSoundtrack(const std::string& path) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) {
    fail("no soundtrack");
    return;
  }
  std::vector<unsigned char> bytes;
  unsigned char block[65536];
  for (size_t got; (got = std::fread(block, 1, sizeof block, file)) > 0;)
    bytes.insert(bytes.end(), block, block + got);
  std::fclose(file);

  size_t at = 12, dataAt = 0, dataSize = 0;
  int channels = 0, rate = 0, bits = 0;
  if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) ||
      std::memcmp(&bytes[8], "WAVE", 4)) {
    fail("the soundtrack is not a WAV file");
    return;
  }
  while (at + 8 <= bytes.size()) {
    const uint32_t size = le32(&bytes[at + 4]);
    if (!std::memcmp(&bytes[at], "fmt ", 4) && size >= 16 && at + 24 <= bytes.size()) {
      channels = bytes[at + 10] | bytes[at + 11] << 8;
      rate = static_cast<int>(le32(&bytes[at + 12]));
      bits = bytes[at + 22] | bytes[at + 23] << 8;
    } else if (!std::memcmp(&bytes[at], "data", 4)) {
      dataAt = at + 8;
      dataSize = std::min<size_t>(size, bytes.size() - dataAt);
      break;
    }
    at += 8 + size + (size & 1);
  }
  if (channels != 2 || rate != 44100 || bits != 16 || !dataAt) {
    fail("soundtrack format: %d channels, %d Hz, %d bits", channels, rate, bits);
    return;
  }
  const size_t frames = dataSize / 4;
  const size_t want = static_cast<size_t>(SHOW_END * rate);
  std::printf("soundtrack: %zu frames, %.3f s\n", frames, static_cast<double>(frames) / rate);
  if (frames != want) fail("the soundtrack holds %zu frames, not %zu", frames, want);

  const int16_t* pcm = reinterpret_cast<const int16_t*>(&bytes[dataAt]);
  double quietest = 0, loudest = -200;
  int quietestAt = 0, loudestAt = 0, peak = 0;
  size_t clipped = 0;
  for (size_t second = 0; (second + 1) * rate <= frames; ++second) {
    double sum = 0;
    for (size_t i = second * rate * 2; i < (second + 1) * rate * 2; ++i) {
      const int v = pcm[i];
      sum += static_cast<double>(v) * v;
      peak = std::max(peak, std::abs(v));
      if (v >= 32767 || v <= -32767) ++clipped;
    }
    const double rms = std::sqrt(sum / (2.0 * rate));
    const double db = 20 * std::log10(std::max(rms, 1.0) / 32768.0);
    if (second == 0 || db < quietest) quietest = db, quietestAt = static_cast<int>(second);
    if (db > loudest) loudest = db, loudestAt = static_cast<int>(second);
    if (db < -40) fail("the soundtrack is silent from %zu s (%.1f dBFS)", second, db);
  }
  std::printf(
      "soundtrack RMS per second: quietest %.1f dBFS at %d s, loudest %.1f dBFS at %d s;"
      " peak %d, %zu samples at full scale\n",
      quietest, quietestAt, loudest, loudestAt, peak, clipped);
  if (loudest > -3) fail("the soundtrack is %.1f dBFS loud at %d s", loudest, loudestAt);
  if (clipped) fail("the soundtrack clips in %zu samples", clipped);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: show_check DIR FPS RRGGBB\n");
    return 2;
  }
  const std::string dir = argv[1];
  const int fps = std::atoi(argv[2]);
  const unsigned long rgb = std::strtoul(argv[3], nullptr, 16);
  const int desktop[3] = {static_cast<int>(rgb >> 16 & 255), static_cast<int>(rgb >> 8 & 255),
                          static_cast<int>(rgb & 255)};
  if (fps <= 0) return 2;
  checkFrames(dir, fps, desktop);
  checkLoadingScreens(dir);
  checkSoundtrack(dir + "/soundtrack.wav");
  std::printf("%d failed check(s)\n", failures);
  return failures ? 1 : 0;
}

#include "audio_dsp.h"

#include <sndfile.h>

#include <algorithm>
#include <cstdio>
#include <deque>

namespace datagen {
namespace audio {

const std::vector<float> SINE_TABLE = [] {
  std::vector<float> t(SINE_SIZE + 1);
  for (int i = 0; i <= SINE_SIZE; ++i)
    t[i] = static_cast<float>(std::sin(2.0 * PI * i / SINE_SIZE));
  return t;
}();

double Curve::at(double t) const {
  if (points.empty()) return 0.0;
  if (t <= points.front().first) return points.front().second;
  for (size_t i = 1; i < points.size(); ++i) {
    if (t <= points[i].first) {
      const auto& [t0, v0] = points[i - 1];
      const auto& [t1, v1] = points[i];
      return t1 > t0 ? v0 + (v1 - v0) * (t - t0) / (t1 - t0) : v1;
    }
  }
  return points.back().second;
}

Adsr::Adsr(double attack, double decay, double sustainLevel, double release, double gateSeconds)
    : attackFrames(std::max<int64_t>(1, framesOf(attack))),
      decayMul(decayPerSample(decay)),
      releaseMul(decayPerSample(release)),
      sustain(static_cast<float>(sustainLevel)),
      gateFrames(std::max<int64_t>(1, framesOf(gateSeconds))),
      releaseFrames(framesOf(release * 5.8)) {}

float Adsr::next() {
  if (n < gateFrames) {
    if (n < attackFrames)
      value = static_cast<float>(n + 1) / static_cast<float>(attackFrames);
    else
      value = sustain + (value - sustain) * decayMul;
  } else {
    value *= releaseMul;
  }
  ++n;
  return value;
}

void pingPongDelay(const Stereo& in, Stereo& out, double delaySeconds, float feedback,
                   double toneHz) {
  const size_t d = static_cast<size_t>(framesOf(delaySeconds));
  std::vector<float> bl(d, 0.0f), br(d, 0.0f);
  OnePole tl, tr;
  tl.set(toneHz);
  tr.set(toneHz);
  size_t at = 0;
  const size_t n = std::min(in.frames(), out.frames());
  for (size_t i = 0; i < n; ++i) {
    const float dl = bl[at], dr = br[at];
    // The input enters on the left; each repeat crosses to the other side.
    bl[at] = 0.5f * (in.l[i] + in.r[i]) + tl.lp(dr) * feedback;
    br[at] = tr.lp(dl) * feedback;
    out.l[i] += dl;
    out.r[i] += dr;
    if (++at == d) at = 0;
  }
}

namespace {

struct Comb {
  std::vector<float> buf;
  size_t at = 0;
  float store = 0;
  float step(float x, float feedback, float damp) {
    const float y = buf[at];
    store = y * (1.0f - damp) + store * damp;
    buf[at] = x + store * feedback;
    if (++at == buf.size()) at = 0;
    return y;
  }
};

struct AllPass {
  std::vector<float> buf;
  size_t at = 0;
  float step(float x) {
    const float b = buf[at];
    buf[at] = x + b * 0.5f;
    if (++at == buf.size()) at = 0;
    return b - x;
  }
};

// Runs one channel's network over the whole buffer.
void reverbChannel(const std::vector<float>& in, std::vector<float>& out, int spread, float room,
                   float damp, float gain) {
  static const int COMBS[8] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
  static const int ALLPASSES[4] = {556, 441, 341, 225};
  Comb combs[8];
  AllPass passes[4];
  for (int c = 0; c < 8; ++c) combs[c].buf.assign(COMBS[c] + spread, 0.0f);
  for (int a = 0; a < 4; ++a) passes[a].buf.assign(ALLPASSES[a] + spread, 0.0f);
  const float feedback = 0.7f + 0.28f * room;
  const float dampAmount = 0.4f * damp;
  const float inGain = 0.015f;
  const size_t n = std::min(in.size(), out.size());
  for (size_t i = 0; i < n; ++i) {
    const float x = in[i] * inGain;
    float acc = 0.0f;
    for (Comb& c : combs) acc += c.step(x, feedback, dampAmount);
    for (AllPass& a : passes) acc = a.step(acc);
    out[i] += acc * gain;
  }
}

}  // namespace

void reverb(const Stereo& in, Stereo& out, float room, float damp, float gain) {
  // The right channel's lines are slightly longer: a wide, uncorrelated tail.
  reverbChannel(in.l, out.l, 0, room, damp, gain);
  reverbChannel(in.r, out.r, 23, room, damp, gain);
}

void limit(Stereo& s, double ceilingDb, double releaseSeconds) {
  const float ceiling = static_cast<float>(std::pow(10.0, ceilingDb / 20.0));
  const size_t n = s.frames();
  const size_t w = static_cast<size_t>(framesOf(0.004));  // look-ahead
  // Gain each frame needs on its own.
  std::vector<float> need(n);
  for (size_t i = 0; i < n; ++i) {
    const float peak = std::max(std::fabs(s.l[i]), std::fabs(s.r[i]));
    need[i] = peak > ceiling ? ceiling / peak : 1.0f;
  }
  // Minimum over the next w frames, then a slow release that never rises
  // above it, then a w-frame average: every frame gets at most its own need.
  std::vector<float> held(n);
  std::deque<size_t> window;
  const float release = decayPerSample(releaseSeconds);
  float g = 1.0f;
  for (size_t i = n; i-- > 0;) {
    while (!window.empty() && need[window.back()] >= need[i]) window.pop_back();
    window.push_back(i);
    if (window.front() >= i + w) window.pop_front();
    held[i] = need[window.front()];
  }
  for (size_t i = 0; i < n; ++i) {
    g = std::min(held[i], 1.0f - (1.0f - g) * release);
    held[i] = g;
  }
  double sum = 0.0;
  for (size_t i = 0; i < n; ++i) {
    sum += held[i];
    if (i >= w) sum -= held[i - w];
    const double count = static_cast<double>(std::min(i + 1, w));
    const float gain = static_cast<float>(sum / count);
    s.l[i] *= gain;
    s.r[i] *= gain;
  }
}

void fadeEdges(Stereo& s, double inSeconds, double outSeconds) {
  const size_t n = s.frames();
  const size_t a = std::min(n, static_cast<size_t>(framesOf(inSeconds)));
  const size_t b = std::min(n, static_cast<size_t>(framesOf(outSeconds)));
  for (size_t i = 0; i < a; ++i) {
    const float g = static_cast<float>(i) / a;
    s.l[i] *= g;
    s.r[i] *= g;
  }
  for (size_t i = 0; i < b; ++i) {
    const float g = static_cast<float>(i) / b;
    s.l[n - 1 - i] *= g;
    s.r[n - 1 - i] *= g;
  }
}

Stats measure(const Stereo& s) {
  double peak = 0.0, sum = 0.0;
  for (size_t i = 0; i < s.frames(); ++i) {
    peak = std::max({peak, std::fabs(double(s.l[i])), std::fabs(double(s.r[i]))});
    sum += double(s.l[i]) * s.l[i] + double(s.r[i]) * s.r[i];
  }
  const double rms = std::sqrt(sum / std::max<size_t>(1, 2 * s.frames()));
  return {static_cast<double>(s.frames()) / RATE, 20.0 * std::log10(std::max(peak, 1e-9)),
          20.0 * std::log10(std::max(rms, 1e-9))};
}

static bool writeFile(const std::string& path, const Stereo& s, int format, bool mp3) {
  SF_INFO info = {};
  info.samplerate = RATE;
  info.channels = 2;
  info.format = format;
  SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!f) {
    std::fprintf(stderr, "datagen: cannot write %s: %s\n", path.c_str(), sf_strerror(nullptr));
    return false;
  }
  if (mp3) {
    int mode = SF_BITRATE_MODE_VARIABLE;
    sf_command(f, SFC_SET_BITRATE_MODE, &mode, sizeof mode);
    double level = 0.25;  // 0 is the best quality, 1 the smallest file
    sf_command(f, SFC_SET_COMPRESSION_LEVEL, &level, sizeof level);
  }
  const size_t frames = s.frames();
  std::vector<float> block(2 * 8192);
  bool ok = true;
  for (size_t at = 0; at < frames && ok; at += 8192) {
    const size_t n = std::min<size_t>(8192, frames - at);
    for (size_t i = 0; i < n; ++i) {
      block[2 * i] = s.l[at + i];
      block[2 * i + 1] = s.r[at + i];
    }
    ok = sf_writef_float(f, block.data(), static_cast<sf_count_t>(n)) == static_cast<sf_count_t>(n);
  }
  if (!ok) std::fprintf(stderr, "datagen: writing %s failed: %s\n", path.c_str(), sf_strerror(f));
  sf_close(f);
  return ok;
}

// The largest sample magnitude of a file, or -1 when it cannot be read.
static double decodedPeak(const std::string& path) {
  SF_INFO info = {};
  SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
  if (!f) return -1.0;
  std::vector<float> block(static_cast<size_t>(8192) * info.channels);
  double peak = 0.0;
  sf_count_t n;
  while ((n = sf_readf_float(f, block.data(), 8192)) > 0)
    for (sf_count_t i = 0; i < n * info.channels; ++i)
      peak = std::max(peak, double(std::fabs(block[i])));
  sf_close(f);
  return peak;
}

bool writeMp3(const std::string& path, Stereo& s, double maxPeakDb, double* encodedPeakDb) {
  for (int attempt = 0; attempt < 4; ++attempt) {
    if (!writeFile(path, s, SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, true)) return false;
    const double peak = decodedPeak(path);
    if (peak < 0.0) {
      std::fprintf(stderr, "datagen: cannot read back %s\n", path.c_str());
      return false;
    }
    *encodedPeakDb = 20.0 * std::log10(std::max(peak, 1e-9));
    if (*encodedPeakDb <= maxPeakDb) return true;
    const float gain =
        static_cast<float>(std::pow(10.0, (maxPeakDb - 0.2 - *encodedPeakDb) / 20.0));
    for (size_t i = 0; i < s.frames(); ++i) {
      s.l[i] *= gain;
      s.r[i] *= gain;
    }
  }
  std::fprintf(stderr, "datagen: %s: the encoded peak stays above %.1f dBFS\n", path.c_str(),
               maxPeakDb);
  return false;
}

bool writeWav(const std::string& path, const Stereo& s) {
  return writeFile(path, s, SF_FORMAT_WAV | SF_FORMAT_PCM_16, false);
}

}  // namespace audio
}  // namespace datagen

// Signal building blocks for the synthesised music: stereo buffers,
// band-limited oscillators, noise, filters, envelopes, delay, reverb, a
// look-ahead limiter, measurements and file writing.
//
// Everything is plain structs with inline per-sample steps (no virtual calls
// in sample loops) and runs at 44.1 kHz. Random sources are seeded, so the
// same calls give the same samples. The file writers return false (after
// saying why on stderr) when libsndfile cannot write the file.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace datagen {
namespace audio {

constexpr int RATE = 44100;
constexpr double PI = 3.14159265358979323846;

// Two channels of samples.
struct Stereo {
  std::vector<float> l, r;
  explicit Stereo(size_t frames = 0) : l(frames, 0.0f), r(frames, 0.0f) {}
  size_t frames() const { return l.size(); }
};

// Frames in t seconds (rounded).
inline int64_t framesOf(double seconds) {
  return static_cast<int64_t>(std::lround(seconds * RATE));
}

// Frequency of a MIDI note number (A4 = 69 = 440 Hz).
inline double noteHz(double midi) { return 440.0 * std::pow(2.0, (midi - 69.0) / 12.0); }

// Constant-power pan: -1 left, 0 centre, +1 right.
inline std::pair<float, float> panGains(double pan) {
  const double a = (pan + 1.0) * PI / 4.0;
  return {static_cast<float>(std::cos(a)), static_cast<float>(std::sin(a))};
}

// Per-sample multiplier for an exponential fall to 1/e in `seconds`.
inline float decayPerSample(double seconds) {
  return static_cast<float>(std::exp(-1.0 / (seconds * RATE)));
}

// Band-limiting correction at a waveform's jump (polynomial BLEP).
inline float polyBlep(double t, double dt) {
  if (t < dt) {
    t /= dt;
    return static_cast<float>(t + t - t * t - 1.0);
  }
  if (t > 1.0 - dt) {
    t = (t - 1.0) / dt;
    return static_cast<float>(t * t + t + t + 1.0);
  }
  return 0.0f;
}

// Phase accumulator with band-limited saw, square and plain sine outputs.
struct Osc {
  double phase = 0.0;
  double inc = 0.0;
  void setHz(double hz) { inc = hz / RATE; }
  void advance() {
    phase += inc;
    if (phase >= 1.0) phase -= 1.0;
  }
  float saw() const { return static_cast<float>(2.0 * phase - 1.0) - polyBlep(phase, inc); }
  float square() const {
    double p2 = phase + 0.5;
    if (p2 >= 1.0) p2 -= 1.0;
    return (phase < 0.5 ? 1.0f : -1.0f) + polyBlep(phase, inc) - polyBlep(p2, inc);
  }
};

// One period of a sine in SINE_SIZE steps, plus the first value again.
constexpr int SINE_SIZE = 4096;
extern const std::vector<float> SINE_TABLE;

// sin(2 pi x) for any x, from the table with linear interpolation.
inline float sine01(double x) {
  const double f = (x - std::floor(x)) * SINE_SIZE;
  // f can round up to SINE_SIZE itself for a tiny negative x.
  const int i = std::min(static_cast<int>(f), SINE_SIZE - 1);
  const float a = static_cast<float>(f - i);
  return SINE_TABLE[i] + (SINE_TABLE[i + 1] - SINE_TABLE[i]) * a;
}

// Sine by rotation: cheap and exact enough for long tones at a fixed pitch.
struct SineRotor {
  double c = 1.0, s = 0.0, cs = 1.0, sn = 0.0;
  void setHz(double hz) {
    cs = std::cos(2.0 * PI * hz / RATE);
    sn = std::sin(2.0 * PI * hz / RATE);
  }
  float next() {
    const double nc = c * cs - s * sn;
    s = s * cs + c * sn;
    c = nc;
    return static_cast<float>(s);
  }
};

// White noise in [-1, 1] from a 32-bit xorshift.
struct Noise {
  uint32_t state;
  explicit Noise(uint32_t seed) : state(seed * 2654435761u + 1u) {}
  float next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return static_cast<float>(state) * (2.0f / 4294967295.0f) - 1.0f;
  }
};

// Two-pole state-variable filter (trapezoidal integration): low, band and
// high outputs of one step.
struct Svf {
  float ic1 = 0, ic2 = 0;
  float a1 = 0, a2 = 0, a3 = 0, k = 1;
  float low = 0, band = 0, high = 0;
  void set(double hz, double q) {
    hz = std::fmin(std::fmax(hz, 10.0), RATE * 0.45);
    const double g = std::tan(PI * hz / RATE);
    k = static_cast<float>(1.0 / q);
    a1 = static_cast<float>(1.0 / (1.0 + g * (g + k)));
    a2 = static_cast<float>(g) * a1;
    a3 = static_cast<float>(g) * a2;
  }
  void step(float x) {
    const float v3 = x - ic2;
    const float v1 = a1 * ic1 + a2 * v3;
    const float v2 = ic2 + a2 * ic1 + a3 * v3;
    ic1 = 2 * v1 - ic1;
    ic2 = 2 * v2 - ic2;
    low = v2;
    band = v1;
    high = x - k * v1 - v2;
  }
};

// One-pole low-pass.
struct OnePole {
  float z = 0, a = 0;
  void set(double hz) { a = static_cast<float>(std::exp(-2.0 * PI * hz / RATE)); }
  float lp(float x) { return z = x + a * (z - x); }
};

// A piecewise-linear curve over time in seconds, held flat past its ends.
struct Curve {
  std::vector<std::pair<double, double>> points;  // (time, value), time ascending
  double at(double t) const;
};

// Attack-decay-sustain-release envelope stepped per sample. Attack is
// linear; decay and release fall exponentially.
struct Adsr {
  Adsr(double attack, double decay, double sustain, double release, double gateSeconds);
  float next();
  // Frames until the release has faded below -50 dB.
  int64_t length() const { return gateFrames + releaseFrames; }

  int64_t attackFrames;
  float decayMul, releaseMul, sustain;
  int64_t gateFrames, releaseFrames, n = 0;
  float value = 0.0f;
};

// Ping-pong echo of `in` added to `out`: the first repeat on the left, the
// next on the right, each one darker.
void pingPongDelay(const Stereo& in, Stereo& out, double delaySeconds, float feedback,
                   double toneHz);

// Stereo room reverb of `in` (parallel combs into series all-passes) added to
// `out`. room 0..1 sets the decay, damp 0..1 the darkening.
void reverb(const Stereo& in, Stereo& out, float room, float damp, float gain);

// Look-ahead limiter: no sample's magnitude stays above the ceiling (in dBFS);
// gain falls ahead of peaks and recovers over `releaseSeconds`.
void limit(Stereo& s, double ceilingDb, double releaseSeconds);

// Fades the first and last `seconds` in and out linearly.
void fadeEdges(Stereo& s, double inSeconds, double outSeconds);

// Length, peak and RMS of a piece.
struct Stats {
  double seconds, peakDb, rmsDb;
};
Stats measure(const Stereo& s);

// Writes MPEG layer III at a variable bit rate of high quality, then decodes
// the file: while its peak is above maxPeakDb (the encoder overshoots the
// samples it is given), scales s down and writes again. Returns the decoded
// peak in *encodedPeakDb.
bool writeMp3(const std::string& path, Stereo& s, double maxPeakDb, double* encodedPeakDb);

// Writes 16-bit PCM WAV.
bool writeWav(const std::string& path, const Stereo& s);

}  // namespace audio
}  // namespace datagen

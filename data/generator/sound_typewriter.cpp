// typewriter: one key strike, about 45 ms and dry: the sharp clack of the
// type bar, a short metallic ring, the thud of the key, and the small click
// of the key landing 9 ms later.
#include "audio_dsp.h"
#include "music.h"

namespace datagen {
namespace music {

using namespace audio;

Stereo composeTypewriter() {
  const int64_t n = framesOf(0.045);
  Stereo out(static_cast<size_t>(n));
  Noise rnd(17);
  Svf clack, land, dc;
  clack.set(3400.0, 1.6);
  land.set(5200.0, 2.0);
  dc.set(80.0, 0.7);
  const double rings[3][2] = {{2270.0, 0.006}, {3710.0, 0.004}, {5130.0, 0.003}};
  const double landAt = 0.009;
  for (int64_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / RATE;
    const float noise = rnd.next();
    clack.step(noise);
    land.step(noise);
    double s = clack.band * std::exp(-t / 0.0022) * 2.2;
    for (const auto& [hz, decay] : rings)
      s += std::sin(2.0 * PI * hz * t) * std::exp(-t / decay) * 0.22;
    s += std::sin(2.0 * PI * 170.0 * t) * std::exp(-t / 0.011) * 0.45;
    if (t >= landAt) s += land.band * std::exp(-(t - landAt) / 0.0012) * 1.2;
    // No hum: everything below 80 Hz goes.
    dc.step(static_cast<float>(s));
    out.l[i] = out.r[i] = dc.high;
  }
  fadeEdges(out, 0.0003, 0.006);
  // Peak at -12 dBFS: the mixer adds it to the music at full volume, and the
  // music under the typing peaks at about -4 dBFS, so the sum stays below
  // -1 dBFS. A short transient still cuts through at that level.
  const float peak = static_cast<float>(std::pow(10.0, measure(out).peakDb / 20.0));
  const float gain = 0.2512f / peak;
  for (int64_t i = 0; i < n; ++i) {
    out.l[i] *= gain;
    out.r[i] *= gain;
  }
  return out;
}

}  // namespace music
}  // namespace datagen

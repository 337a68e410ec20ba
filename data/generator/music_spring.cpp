// spring: the start-up tune, played while the settings dialog is open. Four
// bars in C major (C Am F G) with a bell melody over bouncing chords and a
// light beat, a sparkle up into the fifth bar, and a C major chord that rings
// out for five seconds: 16 s in all.
#include "audio_instruments.h"
#include "music.h"

namespace datagen {
namespace music {

using namespace audio;

namespace {

const Chord CHORDS[5] = {
    {36, {60, 64, 67, 72}}, {33, {57, 60, 64, 69}}, {29, {57, 60, 65, 69}},
    {31, {59, 62, 67, 71}}, {36, {60, 64, 67, 72}},
};

const Note HOOK[] = {
    {0, 0, 2, 72},  {0, 2, 2, 76},  {0, 4, 2, 79},  {0, 6, 4, 84},  {0, 10, 2, 83}, {0, 12, 2, 81},
    {0, 14, 2, 79}, {1, 0, 4, 81},  {1, 4, 2, 76},  {1, 6, 2, 81},  {1, 8, 4, 84},  {1, 12, 4, 83},
    {2, 0, 2, 81},  {2, 2, 2, 79},  {2, 4, 2, 77},  {2, 6, 2, 81},  {2, 8, 4, 84},  {2, 12, 4, 81},
    {3, 0, 2, 79},  {3, 2, 2, 77},  {3, 4, 2, 76},  {3, 6, 2, 74},  {3, 8, 2, 71},  {3, 10, 2, 74},
    {3, 12, 1, 79}, {3, 13, 1, 83}, {3, 14, 1, 86}, {3, 15, 1, 91}, {4, 0, 16, 84},
};

}  // namespace

Stereo composeSpring() {
  Mix mix(16.0, BPM);
  const Stereo kick = kickVoice(0.8);
  const Stereo hats[2] = {hatVoice(false, 31), hatVoice(false, 32)};
  const Stereo crash = crashVoice(33);
  Curve padCutoff{{{0.0, 1800.0}, {16.0, 1800.0}}};

  for (int bar = 0; bar < 4; ++bar) {
    const Chord& c = CHORDS[bar];
    for (int p = 0; p < 16; p += 8) {
      mix.add(kick, mix.at(bar, p), {0.4f, 0.0f, 0.0f, 0.02f, false});
      mix.kickAt(mix.at(bar, p), 0.35f);
    }
    for (int p = 0; p < 16; ++p)
      mix.add(hats[p % 2], mix.at(bar, p), {p % 2 ? 0.08f : 0.13f, 0.3f, 0.0f, 0.05f, false});
    // Bouncing chords on the off-beats, root and fifth in the bass.
    for (int p = 2; p < 16; p += 4)
      for (int tone : c.tones) {
        const Stereo& v = mix.bank.pluck(tone, mix.sixteenths(1.5), 5000, 900, 0.14);
        mix.add(v, mix.at(bar, p), {0.12f, -0.2f, 0.25f, 0.3f, true});
      }
    for (int p = 0; p < 16; p += 2) {
      const Stereo& v =
          mix.bank.bass(c.root + (p % 4 ? 19 : 12), mix.sixteenths(1.5), 400, 1200, 1.0);
      mix.add(v, mix.at(bar, p), {0.28f, 0.0f, 0.0f, 0.0f, true});
    }
    Stereo pad = padVoice(c.tones, mix.at(1) - 0.05, mix.at(bar), padCutoff, 7 * bar);
    mix.add(pad, mix.at(bar), {0.08f, 0.0f, 0.0f, 0.4f, true});
  }
  // The melody on a bell doubled by a softer electric piano.
  for (const Note& n : HOOK) {
    const double ring = n.bar == 4 ? 1.6 : 0.45;
    mix.add(mix.bank.bell(n.pitch, ring, 3.5, 1.5), mix.at(n.bar, n.pos),
            {0.26f, 0.15f, 0.3f, 0.3f, false});
    mix.add(mix.bank.bell(n.pitch - 12, ring, 1.0, 1.0), mix.at(n.bar, n.pos),
            {0.16f, -0.15f, 0.1f, 0.3f, false});
  }
  // The last chord: bells, pad and bass, ringing out.
  const Chord& last = CHORDS[4];
  const double end = mix.at(4);
  for (int tone : last.tones) {
    mix.add(mix.bank.bell(tone, 1.5, 1.0, 1.2), end, {0.12f, (tone % 3 - 1) * 0.5f, 0.2f, 0.5f});
  }
  mix.add(padVoice(last.tones, 2.5, end, padCutoff, 5), end, {0.1f, 0.0f, 0.0f, 0.5f});
  mix.add(mix.bank.bass(last.root, 2.0, 200, 300, 0.7), end, {0.45f, 0.0f, 0.0f, 0.0f});
  mix.add(kick, end, {0.6f, 0.0f, 0.0f, 0.05f});
  mix.add(crash, end, {0.3f, 0.0f, 0.0f, 0.4f});

  Stereo out = mix.finish({3.0, 0.35f, 0.8f, 0.5f, 1.0f}, -15.5, CEILING_DB);
  fadeEdges(out, 0.002, 2.0);
  return out;
}

}  // namespace music
}  // namespace datagen

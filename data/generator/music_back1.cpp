// back1: the first 40 s of the show (desktop, typing, the opening box, the
// fountains). Sixteen bars in A minor: a pad and a muffled arpeggio from the
// start with glassy bells over the typing, the filters opening as the screen
// turns (bars 7-10, 17.5-25 s), a bass pulse, drums from bar 11 (27.5 s) as
// the fountains start, and a snare roll and riser peaking at 40 s.
#include "audio_instruments.h"
#include "music.h"

namespace datagen {
namespace music {

using namespace audio;

namespace {

constexpr int BARS = 16;

// Two bars per chord: Am9, Fmaj9, Dm9, Em7; the last pair turns to E7sus.
const Chord CHORDS[8] = {
    {45, {57, 60, 64, 67, 71}}, {41, {53, 57, 60, 64, 67}}, {38, {50, 53, 57, 60, 64}},
    {40, {52, 55, 59, 62, 67}}, {45, {57, 60, 64, 67, 71}}, {41, {53, 57, 60, 64, 67}},
    {38, {50, 53, 57, 60, 64}}, {40, {52, 56, 59, 62, 69}},
};

const Chord& chordAt(int bar) { return CHORDS[bar / 2]; }

// Cutoffs in steps of 25 Hz, so that notes of one stretch share their voice.
double quantise(double hz) { return std::round(hz / 25.0) * 25.0; }

// Arpeggio tones (two octaves of each chord) and the winding order they go in.
const int ARP_ORDER[16] = {0, 2, 1, 3, 2, 4, 3, 5, 4, 2, 3, 1, 2, 0, 1, 3};

// Glass bells over the typing: sparse, echoing.
const Note BELLS[] = {
    {2, 0, 4, 76},  {2, 6, 4, 71},  {2, 10, 6, 72},  {4, 0, 6, 81},   {4, 6, 8, 76},
    {6, 0, 4, 79},  {6, 6, 4, 74},  {6, 10, 6, 71},  {8, 0, 4, 76},   {8, 6, 4, 71},
    {8, 10, 6, 72}, {10, 0, 6, 81}, {10, 6, 4, 76},  {10, 10, 6, 77}, {12, 0, 4, 79},
    {12, 4, 4, 76}, {12, 8, 4, 74}, {12, 12, 4, 71},
};

void pads(Mix& mix) {
  Curve cutoff{{{0.0, 450.0}, {17.5, 650.0}, {25.0, 2600.0}, {35.0, 3200.0}, {40.0, 4500.0}}};
  for (int bar = 0; bar < BARS; bar += 2) {
    const Chord& c = chordAt(bar);
    const double t = mix.at(bar);
    const bool pumping = bar >= 11;
    Stereo voice = padVoice(c.tones, mix.at(2) - 0.05, t, cutoff, 11 * bar);
    mix.add(voice, t, {0.24f, 0.0f, 0.0f, 0.55f, pumping});
  }
}

void arpeggio(Mix& mix) {
  // Muffled until the screen turns, then opening wide.
  Curve peak{{{0.0, 700.0}, {17.5, 900.0}, {25.0, 5200.0}, {40.0, 7000.0}}};
  Curve base{{{0.0, 260.0}, {17.5, 300.0}, {25.0, 900.0}, {40.0, 1400.0}}};
  Curve level{{{0.0, 0.0}, {2.5, 0.3}, {25.0, 0.36}, {40.0, 0.4}}};
  for (int bar = 0; bar < BARS; ++bar) {
    const Chord& c = chordAt(bar);
    for (int s = 0; s < 16; ++s) {
      const double t = mix.at(bar, s);
      const int i = ARP_ORDER[s];
      const int pitch = c.tones[i % 3 + 1] + 12 * (i / 3);
      const float accent = s % 4 == 0 ? 1.0f : 0.75f;
      const Stereo& v = mix.bank.pluck(pitch, mix.sixteenths(0.8), quantise(peak.at(t)),
                                       quantise(base.at(t)), 0.22);
      mix.add(v, t,
              {static_cast<float>(level.at(t)) * accent, s % 2 ? 0.35f : -0.35f, 0.4f, 0.3f,
               bar >= 11});
    }
  }
}

void bells(Mix& mix) {
  for (const Note& n : BELLS) {
    const Stereo& v = mix.bank.bell(n.pitch, 0.9, 3.5, 1.6);
    mix.add(v, mix.at(n.bar, n.pos), {0.22f, (n.pitch % 5) * 0.3f - 0.6f, 0.5f, 0.6f, false});
  }
}

void bass(Mix& mix) {
  // Held roots from bar 4, a syncopated pulse from bar 11.
  for (int bar = 4; bar < 11; bar += 2) {
    const Stereo& v = mix.bank.bass(chordAt(bar).root - 12, mix.at(2) - 0.1, 180.0, 160.0, 0.8);
    mix.add(v, mix.at(bar), {0.35f, 0.0f, 0.0f, 0.0f, false});
  }
  const int PULSE[6] = {0, 3, 6, 8, 11, 14};
  for (int bar = 11; bar < BARS; ++bar) {
    for (int p : PULSE) {
      const int pitch = chordAt(bar).root - 12 + (p == 14 ? 12 : 0);
      const Stereo& v = mix.bank.bass(pitch, mix.sixteenths(1.6), 220.0, 900.0 + 60.0 * bar, 1.1);
      mix.add(v, mix.at(bar, p), {0.38f, 0.0f, 0.0f, 0.0f, true});
    }
  }
}

void drums(Mix& mix) {
  const Stereo kick = kickVoice(1.0);
  const Stereo clap = clapVoice(3);
  const Stereo snare = snareVoice(5);
  const Stereo hats[3] = {hatVoice(false, 21), hatVoice(false, 22), hatVoice(false, 23)};
  const Stereo openHat = hatVoice(true, 24);
  for (int bar = 11; bar < BARS; ++bar) {
    for (int beat = 0; beat < 4; ++beat) {
      mix.add(kick, mix.at(bar, 4 * beat), {0.55f, 0.0f, 0.0f, 0.02f, false});
      mix.kickAt(mix.at(bar, 4 * beat), 0.55f);
    }
    if (bar >= 12) {
      mix.add(clap, mix.at(bar, 4), {0.45f, 0.1f, 0.0f, 0.25f, false});
      mix.add(clap, mix.at(bar, 12), {0.45f, 0.1f, 0.0f, 0.25f, false});
    }
    for (int s = 0; s < 16; ++s) {
      const bool offbeat = s % 4 == 2;
      if (!offbeat && bar < 13) continue;
      if (offbeat && bar >= 13 && s == 14) {
        mix.add(openHat, mix.at(bar, s), {0.22f, 0.3f, 0.0f, 0.1f, false});
        continue;
      }
      const float g = offbeat ? 0.32f : 0.16f;
      mix.add(hats[s % 3], mix.at(bar, s), {g, 0.3f, 0.0f, 0.05f, false});
    }
  }
  // The last two bars: a snare roll in eighths, sixteenths, then
  // thirty-seconds, growing.
  std::vector<double> roll;
  for (int k = 0; k < 8; ++k) roll.push_back(2.0 * k);
  for (int k = 0; k < 12; ++k) roll.push_back(16.0 + k);
  for (int k = 0; k < 8; ++k) roll.push_back(28.0 + 0.5 * k);
  for (size_t k = 0; k < roll.size(); ++k) {
    const float g = 0.12f + 0.45f * static_cast<float>(k) / roll.size();
    mix.add(snare, mix.at(14, roll[k]), {g, -0.1f, 0.0f, 0.2f, false});
  }
  mix.add(riserVoice(mix.at(3), 41), mix.at(13), {0.5f, 0.0f, 0.15f, 0.3f, false});
}

}  // namespace

Stereo composeBack1() {
  Mix mix(40.0, BPM);
  pads(mix);
  arpeggio(mix);
  bells(mix);
  bass(mix);
  drums(mix);
  Stereo out = mix.finish({3.0, 0.45f, 0.85f, 0.45f, 1.0f}, -15.0, CEILING_DB);
  // Cut at 40 s where back2's hit takes over; only a click-free edge.
  fadeEdges(out, 0.002, 0.01);
  return out;
}

}  // namespace music
}  // namespace datagen

// back2: the main track, from the words scene (show time 40 s) to the end
// (185 s): 58 bars in A minor whose sections turn on the scene changes.
//   bars  0-3  ( 0-10 s) words: a bright hit, a bouncing octave bass, off-beat
//                        stabs and a bell hook, ending on E7;
//   bars  4-17 (10-45 s) torus knot: a steady four-to-the-floor groove with a
//                        rolling bass; the theme from bar 8;
//   bars 18-29 (45-75 s) laser game: busier drums, an acid bass and a pluck
//                        that bounces left-right like the ball;
//   bars 30-43 (75-110 s) evolution text: a breakdown of pads, electric piano
//                        and a slow melody, building again from bar 40;
//   bars 44-57 (110-145 s) skull: everything together, the theme and its
//                        climax, resolving to a ringing A major at 140 s.
#include "audio_instruments.h"
#include "music.h"

namespace datagen {
namespace music {

using namespace audio;

namespace {

constexpr int BARS = 58;

enum Section { WORDS, GROOVE, LASER, BREAKDOWN, FINALE };

Section sectionOf(int bar) {
  if (bar < 4) return WORDS;
  if (bar < 18) return GROOVE;
  if (bar < 30) return LASER;
  if (bar < 44) return BREAKDOWN;
  return FINALE;
}

// Bass root (MIDI) and upper voices of the chords used.
const Chord AM{33, {57, 60, 64, 71}}, F{29, {53, 57, 60, 64}}, C{36, {55, 60, 64, 67}},
    G{31, {55, 59, 62, 67}}, DM{38, {53, 57, 62, 65}}, EM{40, {55, 59, 64, 67}},
    E{40, {56, 59, 64, 68}}, E7{40, {56, 59, 62, 64}}, A{33, {57, 61, 64, 69}};

const Chord* const PROGRESSION[BARS] = {
    &F,  &G,  &C, &E7,                                                 // words
    &AM, &F,  &C, &G,  &AM, &F,  &C,  &G, &AM, &F,  &C,  &G, &DM, &E,  // groove
    &AM, &AM, &F, &G,  &AM, &AM, &F,  &G, &AM, &AM, &F,  &G,           // laser
    &F,  &G,  &F, &G,  &EM, &AM, &DM, &G, &C,  &E,  &F,  &G, &DM, &E,  // breakdown
    &AM, &F,  &C, &G,  &AM, &F,  &C,  &G, &F,  &G,  &DM, &E, &A,  &A,  // finale
};

// The theme, eight bars over Am F C G twice.
const Note THEME[] = {
    {0, 0, 4, 76},  {0, 4, 2, 72},  {0, 6, 2, 74},  {0, 8, 6, 76}, {0, 14, 2, 79}, {1, 0, 6, 81},
    {1, 6, 2, 79},  {1, 8, 4, 77},  {1, 12, 4, 76}, {2, 0, 4, 76}, {2, 4, 2, 74},  {2, 6, 2, 72},
    {2, 8, 4, 74},  {2, 12, 2, 76}, {2, 14, 2, 79}, {3, 0, 8, 74}, {3, 8, 4, 71},  {3, 12, 4, 67},
    {4, 0, 4, 76},  {4, 4, 2, 72},  {4, 6, 2, 74},  {4, 8, 6, 76}, {4, 14, 2, 81}, {5, 0, 6, 84},
    {5, 6, 2, 83},  {5, 8, 4, 81},  {5, 12, 4, 77}, {6, 0, 4, 79}, {6, 4, 4, 76},  {6, 8, 4, 72},
    {6, 12, 4, 74}, {7, 0, 6, 71},  {7, 6, 2, 74},  {7, 8, 8, 76},
};

// The climax over F G Dm E, landing on the final A.
const Note CLIMAX[] = {
    {52, 0, 4, 81}, {52, 4, 4, 84},  {52, 8, 2, 81},  {52, 10, 2, 79}, {52, 12, 4, 77},
    {53, 0, 4, 79}, {53, 4, 4, 83},  {53, 8, 6, 86},  {53, 14, 2, 84}, {54, 0, 4, 81},
    {54, 4, 4, 77}, {54, 8, 4, 74},  {54, 12, 4, 77}, {55, 0, 4, 76},  {55, 4, 4, 80},
    {55, 8, 4, 83}, {55, 12, 4, 86}, {56, 0, 28, 81},
};

// The breakdown's slow melody over F G Em Am Dm G C E.
const Note SLOW[] = {
    {32, 0, 6, 72},  {32, 6, 2, 69},  {32, 8, 4, 72},  {32, 12, 4, 77}, {33, 0, 8, 74},
    {33, 8, 4, 71},  {33, 12, 4, 67}, {34, 0, 6, 76},  {34, 6, 2, 79},  {34, 8, 4, 83},
    {34, 12, 2, 81}, {34, 14, 2, 79}, {35, 0, 8, 81},  {35, 8, 8, 76},  {36, 0, 6, 77},
    {36, 6, 2, 76},  {36, 8, 4, 74},  {36, 12, 4, 69}, {37, 0, 4, 71},  {37, 4, 4, 74},
    {37, 8, 8, 79},  {38, 0, 6, 76},  {38, 6, 2, 74},  {38, 8, 4, 72},  {38, 12, 4, 67},
    {39, 0, 8, 68},  {39, 8, 4, 71},  {39, 12, 4, 76},
};

const int ARP_ORDER[16] = {0, 2, 1, 3, 2, 4, 3, 5, 4, 2, 3, 1, 2, 0, 1, 3};

// The drum sounds, rendered once and placed many times.
struct Kit {
  Stereo kick = kickVoice(1.0), bigKick = kickVoice(1.3);
  Stereo snare = snareVoice(5), clap = clapVoice(3), crash = crashVoice(9);
  Stereo hats[4] = {hatVoice(false, 21), hatVoice(false, 22), hatVoice(false, 23),
                    hatVoice(false, 25)};
  Stereo openHat = hatVoice(true, 24);
  Stereo subDrop = subDropVoice();
};

void kick(Mix& mix, const Stereo& k, double t, float gain) {
  mix.add(k, t, {gain, 0.0f, 0.0f, 0.02f, false});
  mix.kickAt(t, 0.6f);
}

// A hit on a section's first beat: big kick, crash and the sub drop.
void hit(Mix& mix, const Kit& kit, int bar, float size) {
  const double t = mix.at(bar);
  kick(mix, kit.bigKick, t, 0.65f * size);
  mix.add(kit.crash, t, {0.5f * size, 0.0f, 0.0f, 0.3f, false});
  mix.add(kit.subDrop, t, {0.4f * size, 0.0f, 0.0f, 0.0f, false});
}

void snareFill(Mix& mix, const Kit& kit, int bar, double from) {
  for (double p = from; p < 16.0; p += 1.0) {
    const float g = 0.25f + 0.3f * static_cast<float>((p - from) / (16.0 - from));
    mix.add(kit.snare, mix.at(bar, p), {g, -0.1f, 0.0f, 0.2f, false});
  }
}

void drums(Mix& mix, const Kit& kit) {
  for (int bar = 0; bar < 56; ++bar) {
    const Section s = sectionOf(bar);
    const bool fourFloor = s == WORDS || s == GROOVE || s == FINALE;
    if (fourFloor) {
      for (int b = 0; b < 4; ++b)
        if (!(bar == 17 && b == 3)) kick(mix, kit.kick, mix.at(bar, 4 * b), 0.55f);
    } else if (s == LASER) {
      for (double p : {0.0, 3.0, 8.0, 10.0}) kick(mix, kit.kick, mix.at(bar, p), 0.55f);
    } else if (bar >= 42) {
      for (int b = 0; b < 4; ++b)
        kick(mix, kit.kick, mix.at(bar, 4 * b), 0.35f + 0.1f * (bar - 42));
    }

    const bool backbeat = s != BREAKDOWN || bar >= 42;
    if (backbeat) {
      for (double p : {4.0, 12.0}) {
        mix.add(kit.clap, mix.at(bar, p), {0.4f, 0.12f, 0.0f, 0.22f, false});
        if (s != WORDS) mix.add(kit.snare, mix.at(bar, p), {0.35f, -0.05f, 0.0f, 0.15f, false});
      }
    }
    if (s == LASER)
      for (double p : {7.0, 14.0}) mix.add(kit.snare, mix.at(bar, p), {0.12f, -0.2f, 0.0f, 0.1f});

    // Hats: sixteenths with off-beat accents; in the breakdown only from bar 40.
    if (s == BREAKDOWN && bar < 40) continue;
    for (int p = 0; p < 16; ++p) {
      if (s == BREAKDOWN && p % 2) continue;
      const bool off = p % 4 == 2;
      if (off && s != LASER && s != BREAKDOWN) {
        mix.add(kit.openHat, mix.at(bar, p), {0.2f, 0.3f, 0.0f, 0.08f, false});
        continue;
      }
      const float g = off ? 0.3f : (s == LASER ? 0.22f : 0.14f);
      mix.add(kit.hats[(p + bar) % 4], mix.at(bar, p), {g, 0.35f, 0.0f, 0.04f, false});
    }
  }
  hit(mix, kit, 0, 1.0f);
  hit(mix, kit, 4, 0.7f);
  hit(mix, kit, 18, 0.9f);
  mix.add(kit.crash, mix.at(30), {0.35f, 0.0f, 0.0f, 0.5f, false});
  mix.add(kit.subDrop, mix.at(30), {0.35f, 0.0f, 0.0f, 0.0f, false});
  hit(mix, kit, 44, 1.0f);
  hit(mix, kit, 56, 1.0f);
  snareFill(mix, kit, 3, 12.0);
  snareFill(mix, kit, 17, 0.0);
  snareFill(mix, kit, 29, 8.0);
  snareFill(mix, kit, 43, 0.0);
  snareFill(mix, kit, 55, 8.0);
  mix.add(riserVoice(mix.at(2), 41), mix.at(16), {0.4f, 0.0f, 0.1f, 0.3f, false});
  mix.add(riserVoice(mix.at(4), 43), mix.at(40), {0.45f, 0.0f, 0.1f, 0.3f, false});
}

void pads(Mix& mix) {
  Curve cutoff{{{0.0, 2600.0},
                {mix.at(18), 2000.0},
                {mix.at(30), 1200.0},
                {mix.at(40), 1400.0},
                {mix.at(44), 3200.0},
                {mix.at(58), 2200.0}}};
  for (int bar = 0; bar < 57; ++bar) {
    const Chord& c = *PROGRESSION[bar];
    // A chord held over several bars is one long note.
    if (bar > 0 && PROGRESSION[bar - 1] == &c && bar != 56) continue;
    int bars = 1;
    while (bar + bars < 56 && PROGRESSION[bar + bars] == &c) ++bars;
    const double gate = bar == 56 ? 2.6 : mix.at(bars) - 0.05;
    const bool pumping = sectionOf(bar) != BREAKDOWN && bar < 56;
    const float level = sectionOf(bar) == BREAKDOWN ? 0.16f : 0.2f;
    Stereo voice = padVoice(c.tones, gate, mix.at(bar), cutoff, 97 * bar);
    mix.add(voice, mix.at(bar), {level, 0.0f, 0.0f, 0.5f, pumping});
  }
}

void bass(Mix& mix) {
  for (int bar = 0; bar < 56; ++bar) {
    const int root = PROGRESSION[bar]->root;
    switch (sectionOf(bar)) {
      case WORDS:  // octave bounce in eighths
        for (int p = 0; p < 16; p += 2) {
          const Stereo& v =
              mix.bank.bass(root + (p % 4 ? 12 : 0), mix.sixteenths(1.5), 300, 1400, 1.2);
          mix.add(v, mix.at(bar, p), {0.38f, 0.0f, 0.0f, 0.0f, true});
        }
        break;
      case GROOVE:
      case FINALE:  // rolling sixteenths between the kicks
        for (int p = 0; p < 16; ++p) {
          if (p % 4 == 0) continue;
          const Stereo& v =
              mix.bank.bass(root + (p == 14 ? 12 : 0), mix.sixteenths(0.8), 260, 900, 1.0);
          mix.add(v, mix.at(bar, p), {0.38f, 0.0f, 0.0f, 0.0f, true});
        }
        break;
      case LASER: {  // acid sixteenths, the filter opening through the section
        static const int STEPS[16] = {0, 0, 12, 0, 0, 7, 0, 12, 0, 0, 12, 0, 7, 0, 12, 7};
        const double open = 600.0 + 250.0 * (bar - 18);
        for (int p = 0; p < 16; ++p) {
          const Stereo& v = mix.bank.bass(root + STEPS[p], mix.sixteenths(0.7), 240, open, 3.5);
          mix.add(v, mix.at(bar, p), {p % 4 == 0 ? 0.36f : 0.28f, 0.0f, 0.05f, 0.0f, true});
        }
        break;
      }
      case BREAKDOWN: {  // one held note a bar
        const Stereo& v = mix.bank.bass(root, mix.at(1) - 0.1, 160, 120, 0.7);
        mix.add(v, mix.at(bar), {0.24f, 0.0f, 0.0f, 0.0f, false});
        break;
      }
    }
  }
  const Stereo& last = mix.bank.bass(A.root, 2.8, 150, 200, 0.7);
  mix.add(last, mix.at(56), {0.35f, 0.0f, 0.0f, 0.0f, false});
}

void melody(Mix& mix, const Note* notes, size_t count, int barOffset, float gain) {
  for (size_t i = 0; i < count; ++i) {
    const Note& n = notes[i];
    const Stereo& v = mix.bank.lead(n.pitch, mix.sixteenths(n.len) * 0.92, 4200.0);
    mix.add(v, mix.at(n.bar + barOffset, n.pos), {gain, 0.0f, 0.3f, 0.35f, false});
  }
}

void leads(Mix& mix) {
  const size_t themeCount = sizeof THEME / sizeof THEME[0];
  melody(mix, THEME, themeCount, 8, 0.42f);
  melody(mix, SLOW, sizeof SLOW / sizeof SLOW[0], 0, 0.3f);
  melody(mix, THEME, themeCount, 44, 0.46f);
  melody(mix, CLIMAX, sizeof CLIMAX / sizeof CLIMAX[0], 0, 0.46f);
}

void plucks(Mix& mix) {
  for (int bar = 0; bar < 56; ++bar) {
    const Chord& c = *PROGRESSION[bar];
    const Section s = sectionOf(bar);
    if (s == WORDS) {
      // Off-beat stabs: the bounce.
      for (int p = 2; p < 16; p += 4)
        for (int tone : c.tones) {
          const Stereo& v = mix.bank.pluck(tone + 12, mix.sixteenths(1.2), 6000, 900, 0.12);
          mix.add(v, mix.at(bar, p), {0.14f, 0.0f, 0.3f, 0.25f, true});
        }
    } else if (s == LASER) {
      // The ball: eighths, hard left, hard right.
      for (int p = 0; p < 16; p += 2) {
        const bool right = (p / 2) % 2;
        const Stereo& v =
            mix.bank.pluck(c.root + 36 + (right ? 7 : 0), mix.sixteenths(0.6), 7000, 1500, 0.06);
        mix.add(v, mix.at(bar, p), {0.36f, right ? 0.85f : -0.85f, 0.0f, 0.12f, false});
      }
    }
    // Sixteenth arpeggio in the groove's second half, the late laser game and
    // the finale.
    const bool arp = (s == GROOVE && bar >= 8) || (s == LASER && bar >= 24) || s == FINALE;
    if (!arp) continue;
    for (int p = 0; p < 16; ++p) {
      const int i = ARP_ORDER[p];
      const int pitch = c.tones[i % 3 + 1] + 12 * (i / 3) + 12;
      const Stereo& v =
          mix.bank.pluck(pitch, mix.sixteenths(0.7), s == LASER ? 7500 : 4500, 700, 0.12);
      mix.add(v, mix.at(bar, p),
              {p % 4 == 0 ? 0.18f : 0.13f, p % 2 ? 0.4f : -0.4f, 0.3f, 0.2f, true});
    }
  }
}

void keys(Mix& mix) {
  // Electric piano in the breakdown, eighths up and down the chord.
  const int ORDER[8] = {0, 1, 2, 3, 2, 1, 2, 3};
  for (int bar = 30; bar < 44; ++bar) {
    const Chord& c = *PROGRESSION[bar];
    for (int k = 0; k < 8; ++k) {
      const Stereo& v = mix.bank.bell(c.tones[ORDER[k]] + 12, 0.6, 1.0, 1.4);
      mix.add(v, mix.at(bar, 2 * k), {k == 0 ? 0.19f : 0.14f, k % 2 ? 0.3f : -0.3f, 0.25f, 0.4f});
    }
  }
  // The bell hook over the words, in a bouncing 3-3-2 rhythm.
  const int HOOK[6] = {0, 3, 6, 8, 11, 14};
  const int PICK[6] = {1, 2, 3, 2, 3, 1};
  for (int bar = 0; bar < 4; ++bar)
    for (int k = 0; k < 6; ++k) {
      const Stereo& v = mix.bank.bell(PROGRESSION[bar]->tones[PICK[k]] + 24, 0.5, 3.5, 1.8);
      mix.add(v, mix.at(bar, HOOK[k]), {0.22f, 0.2f, 0.35f, 0.3f});
    }
  // The final chord rings on bells.
  for (int tone : A.tones) {
    const Stereo& v = mix.bank.bell(tone + 12, 1.3, 3.5, 1.2);
    mix.add(v, mix.at(56), {0.14f, (tone % 3 - 1) * 0.4f, 0.2f, 0.5f});
  }
}

}  // namespace

Stereo composeBack2() {
  Mix mix(145.0, BPM);
  const Kit kit;
  drums(mix, kit);
  pads(mix);
  bass(mix);
  leads(mix);
  plucks(mix);
  keys(mix);
  Stereo out = mix.finish({3.0, 0.42f, 0.85f, 0.45f, 1.0f}, -13.5, CEILING_DB);
  fadeEdges(out, 0.002, 1.5);
  return out;
}

}  // namespace music
}  // namespace datagen

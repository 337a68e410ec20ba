// The pieces of music and the sound effect, and the note lists they are
// written in.
//
// Both background tracks share one tempo (96 beats per minute: a bar is
// exactly 2.5 s, so the show's scene changes at 40, 50, 85, 115 and 150 s fall
// on bar lines) and one key (A minor, with its relative C major for the
// start-up tune). Each compose function returns the finished piece, limited
// to its ceiling; it is deterministic.
#pragma once

#include <vector>

#include "audio_dsp.h"

namespace datagen {
namespace music {

constexpr double BPM = 96.0;
// Peaks stay this far below full scale, with room for the encoder's overshoot.
constexpr double CEILING_DB = -2.3;

// A note of a melody: bar, start and length in sixteenths, MIDI pitch.
struct Note {
  int bar;
  double pos, len;
  int pitch;
};

// A chord held for one bar: the bass root and the upper voices.
struct Chord {
  int root;
  std::vector<int> tones;
};

audio::Stereo composeSpring();
audio::Stereo composeBack1();
audio::Stereo composeBack2();
audio::Stereo composeTypewriter();

}  // namespace music
}  // namespace datagen

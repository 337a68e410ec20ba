// The instruments of the music and the mix they play into.
//
// A voice function renders one note (or one drum hit) into its own buffer,
// from its start to the end of its release; Mix::add places it on the time
// line with a gain, a pan and its sends to the shared echo and reverb. Voices
// on the pumped bus are ducked after every kick registered with Mix::kickAt.
// Mix::finish sums the buses, applies the effects and the limiter, and
// returns the piece. Seeds make every noise source repeatable.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <vector>

#include "audio_dsp.h"

namespace datagen {
namespace audio {

// How one voice enters the mix.
struct Send {
  float gain = 1.0f;
  float pan = 0.0f;   // -1 left .. +1 right
  float echo = 0.0f;  // to the ping-pong delay
  float verb = 0.0f;  // to the reverb
  bool pumped = false;
};

// Voices rendered once for each distinct set of parameters and then reused:
// a repeated note costs only its placing. References stay valid while the
// bank lives.
class VoiceBank {
 public:
  const Stereo& pluck(double midi, double gate, double peakHz, double baseHz, double decay);
  const Stereo& bass(double midi, double gate, double cutoffHz, double envHz, double q);
  const Stereo& lead(double midi, double gate, double cutoffHz);
  const Stereo& bell(double midi, double decay, double ratio, double index);

 private:
  using Key = std::array<double, 6>;  // instrument, then its parameters
  template <typename Make>
  const Stereo& get(const Key& key, Make make);
  std::map<Key, Stereo> voices;
};

class Mix {
 public:
  // A piece of `seconds` at `bpm` beats per minute, four beats to the bar.
  Mix(double seconds, double bpm);

  // Seconds at bar + sixteenth (both may be fractional).
  double at(double bar, double sixteenth = 0.0) const {
    return (bar * 16.0 + sixteenth) * beat / 4.0;
  }
  // Length of n sixteenths in seconds.
  double sixteenths(double n) const { return n * beat / 4.0; }

  // Adds a voice that starts at `seconds`; what runs past the end is dropped.
  void add(const Stereo& voice, double seconds, const Send& send);
  // A kick at `seconds` ducks the pumped bus by `depth` (0..1).
  void kickAt(double seconds, float depth);

  // Echo time in sixteenths, feedback, and reverb room, damping and level.
  struct Effects {
    double echoSixteenths = 3.0;
    float echoFeedback = 0.45f;
    float room = 0.8f, damp = 0.5f, verbGain = 1.0f;
  };
  // Sums everything, scales the sum to an RMS of loudnessDb, limits its
  // peaks to ceilingDb (both dBFS) and returns the piece.
  Stereo finish(const Effects& fx, double loudnessDb, double ceilingDb);

  const double beat;  // seconds per beat
  VoiceBank bank;

 private:
  Stereo dry, pumped, echo, verb;
  std::vector<std::pair<double, float>> kicks;
};

// A chord of three detuned saws per tone through a low-pass whose cutoff
// follows `cutoff` over the piece's time (t0 is the chord's start); slow
// attack, long release.
Stereo padVoice(const std::vector<int>& tones, double gate, double t0, const Curve& cutoff,
                uint32_t seed);

// A plucked saw: bright attack closing to baseHz with time constant decay.
Stereo pluckVoice(double midi, double gate, double peakHz, double baseHz, double decay);

// Saw and sine bass; the filter opens by envHz at each note; q is resonance.
Stereo bassVoice(double midi, double gate, double cutoffHz, double envHz, double q);

// Two detuned saws with delayed vibrato: the melody voice.
Stereo leadVoice(double midi, double gate, double cutoffHz);

// Two-operator FM tone: ratio sets the partials (1 warm keys, 3.5 a bell),
// index the brightness of the attack, decay its ring.
Stereo bellVoice(double midi, double decay, double ratio, double index);

// Drums.
Stereo kickVoice(double punch);
Stereo snareVoice(uint32_t seed);
Stereo clapVoice(uint32_t seed);
Stereo hatVoice(bool open, uint32_t seed);
Stereo crashVoice(uint32_t seed);

// Filtered noise rising in pitch and level over `seconds`.
Stereo riserVoice(double seconds, uint32_t seed);

// A sine falling from 110 Hz to 35 Hz: the weight under a hit.
Stereo subDropVoice();

}  // namespace audio
}  // namespace datagen

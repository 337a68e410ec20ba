#include "audio_instruments.h"

#include <algorithm>

namespace datagen {
namespace audio {

// Filter coefficients are recomputed every this many frames.
static constexpr int CONTROL_FRAMES = 32;

template <typename Make>
const Stereo& VoiceBank::get(const Key& key, Make make) {
  auto found = voices.find(key);
  if (found == voices.end()) found = voices.emplace(key, make()).first;
  return found->second;
}

const Stereo& VoiceBank::pluck(double midi, double gate, double peakHz, double baseHz,
                               double decay) {
  return get({0, midi, gate, peakHz, baseHz, decay},
             [&] { return pluckVoice(midi, gate, peakHz, baseHz, decay); });
}

const Stereo& VoiceBank::bass(double midi, double gate, double cutoffHz, double envHz, double q) {
  return get({1, midi, gate, cutoffHz, envHz, q},
             [&] { return bassVoice(midi, gate, cutoffHz, envHz, q); });
}

const Stereo& VoiceBank::lead(double midi, double gate, double cutoffHz) {
  return get({2, midi, gate, cutoffHz, 0, 0}, [&] { return leadVoice(midi, gate, cutoffHz); });
}

const Stereo& VoiceBank::bell(double midi, double decay, double ratio, double index) {
  return get({3, midi, decay, ratio, index, 0},
             [&] { return bellVoice(midi, decay, ratio, index); });
}

Mix::Mix(double seconds, double bpm)
    : beat(60.0 / bpm),
      dry(static_cast<size_t>(framesOf(seconds))),
      pumped(dry.frames()),
      echo(dry.frames()),
      verb(dry.frames()) {}

void Mix::add(const Stereo& voice, double seconds, const Send& send) {
  const int64_t start = framesOf(seconds);
  const int64_t total = static_cast<int64_t>(dry.frames());
  const int64_t from = std::max<int64_t>(0, -start);
  const int64_t to = std::min<int64_t>(static_cast<int64_t>(voice.frames()), total - start);
  const auto [pl, pr] = panGains(send.pan);
  const float gl = send.gain * pl * 1.41421356f, gr = send.gain * pr * 1.41421356f;
  Stereo& bus = send.pumped ? pumped : dry;
  for (int64_t i = from; i < to; ++i) {
    const size_t k = static_cast<size_t>(start + i);
    bus.l[k] += voice.l[i] * gl;
    bus.r[k] += voice.r[i] * gr;
  }
  // The sends, only where they are used.
  for (auto [target, amount] : {std::pair<Stereo*, float>{&echo, send.echo}, {&verb, send.verb}}) {
    if (amount == 0.0f) continue;
    const float sl = gl * amount, sr = gr * amount;
    for (int64_t i = from; i < to; ++i) {
      const size_t k = static_cast<size_t>(start + i);
      target->l[k] += voice.l[i] * sl;
      target->r[k] += voice.r[i] * sr;
    }
  }
}

void Mix::kickAt(double seconds, float depth) { kicks.emplace_back(seconds, depth); }

Stereo Mix::finish(const Effects& fx, double loudnessDb, double ceilingDb) {
  const size_t n = dry.frames();
  // Duck the pumped bus after each kick: 5 ms down, then back over ~0.15 s.
  std::vector<float> gain(n, 1.0f);
  const float recover = decayPerSample(0.11);
  const int64_t attack = framesOf(0.005), span = framesOf(0.6);
  for (const auto& [t, depth] : kicks) {
    const int64_t k0 = framesOf(t);
    float duck = depth;
    for (int64_t i = 0; i < span; ++i) {
      const int64_t k = k0 + i;
      if (k < 0) continue;
      if (k >= static_cast<int64_t>(n)) break;
      const float d = i < attack ? depth * static_cast<float>(i) / attack : (duck *= recover);
      gain[k] = std::min(gain[k], 1.0f - d);
    }
  }
  for (size_t i = 0; i < n; ++i) {
    dry.l[i] += pumped.l[i] * gain[i];
    dry.r[i] += pumped.r[i] * gain[i];
  }
  pingPongDelay(echo, dry, sixteenths(fx.echoSixteenths), fx.echoFeedback, 3500.0);
  reverb(verb, dry, fx.room, fx.damp, fx.verbGain);
  // Bring the sum to the loudness asked for, then hold the peaks down.
  const float level = static_cast<float>(std::pow(10.0, (loudnessDb - measure(dry).rmsDb) / 20.0));
  for (size_t i = 0; i < n; ++i) {
    dry.l[i] *= level;
    dry.r[i] *= level;
  }
  limit(dry, ceilingDb, 0.2);
  return std::move(dry);
}

Stereo padVoice(const std::vector<int>& tones, double gate, double t0, const Curve& cutoff,
                uint32_t seed) {
  Adsr env(0.7, 1.5, 0.8, 0.45, gate);
  Stereo out(static_cast<size_t>(env.length()));
  Noise rnd(seed);
  // Per tone: one saw a little flat on the left, one a little sharp on the
  // right, one in tune on both.
  std::vector<Osc> left(tones.size()), mid(tones.size()), right(tones.size());
  for (size_t v = 0; v < tones.size(); ++v) {
    left[v].setHz(noteHz(tones[v] - 0.11));
    mid[v].setHz(noteHz(tones[v]));
    right[v].setHz(noteHz(tones[v] + 0.12));
    left[v].phase = 0.5 + 0.5 * rnd.next();
    mid[v].phase = 0.5 + 0.5 * rnd.next();
    right[v].phase = 0.5 + 0.5 * rnd.next();
  }
  Svf fl, fr;
  for (size_t i = 0; i < out.frames(); ++i) {
    if (i % CONTROL_FRAMES == 0) {
      const double hz = cutoff.at(t0 + static_cast<double>(i) / RATE);
      fl.set(hz, 0.8);
      fr.set(hz * 1.03, 0.8);
    }
    float a = 0.0f, b = 0.0f, c = 0.0f;
    for (size_t v = 0; v < tones.size(); ++v) {
      a += left[v].saw();
      b += mid[v].saw();
      c += right[v].saw();
      left[v].advance();
      mid[v].advance();
      right[v].advance();
    }
    const float e = env.next() * (1.0f / 2.2f);
    fl.step(a + 0.6f * b);
    fr.step(c + 0.6f * b);
    out.l[i] = fl.low * e;
    out.r[i] = fr.low * e;
  }
  return out;
}

Stereo pluckVoice(double midi, double gate, double peakHz, double baseHz, double decay) {
  Adsr env(0.002, decay, 0.0, 0.05, gate);
  Stereo out(static_cast<size_t>(env.length()));
  Osc saw, sq;
  saw.setHz(noteHz(midi));
  sq.setHz(noteHz(midi + 0.07));
  Svf f;
  const float fall = decayPerSample(0.09);
  float sweep = 1.0f;
  for (size_t i = 0; i < out.frames(); ++i) {
    if (i % CONTROL_FRAMES == 0) f.set(baseHz + (peakHz - baseHz) * sweep, 1.3);
    sweep *= fall;
    f.step(saw.saw() + 0.5f * sq.square());
    saw.advance();
    sq.advance();
    out.l[i] = out.r[i] = f.low * env.next() * 0.6f;
  }
  return out;
}

Stereo bassVoice(double midi, double gate, double cutoffHz, double envHz, double q) {
  Adsr env(0.003, 0.4, 0.85, 0.04, gate);
  Stereo out(static_cast<size_t>(env.length()));
  Osc saw;
  saw.setHz(noteHz(midi));
  SineRotor sub;
  sub.setHz(noteHz(midi));
  Svf f;
  const float fall = decayPerSample(0.1);
  float sweep = 1.0f;
  for (size_t i = 0; i < out.frames(); ++i) {
    if (i % CONTROL_FRAMES == 0) f.set(cutoffHz + envHz * sweep, q);
    sweep *= fall;
    f.step(saw.saw());
    saw.advance();
    out.l[i] = out.r[i] = (0.6f * f.low + 0.35f * sub.next()) * env.next();
  }
  return out;
}

Stereo leadVoice(double midi, double gate, double cutoffHz) {
  Adsr env(0.012, 0.5, 0.7, 0.22, gate);
  Stereo out(static_cast<size_t>(env.length()));
  Osc a, b;
  const double hz = noteHz(midi);
  SineRotor lfo;
  lfo.setHz(5.4);
  Svf f;
  f.set(cutoffHz, 0.9);
  const int64_t vibratoStart = framesOf(0.22), vibratoRamp = framesOf(0.3);
  for (size_t i = 0; i < out.frames(); ++i) {
    // Up to a sixth of a semitone of vibrato once the note has settled.
    const int64_t k = static_cast<int64_t>(i) - vibratoStart;
    const double depth = k <= 0 ? 0.0 : 0.16 * std::min(1.0, double(k) / vibratoRamp);
    const double bend = 1.0 + depth * lfo.next() * 0.0577622650;  // ln 2 / 12
    if (i % 4 == 0) {
      a.setHz(hz * bend * 0.9954);
      b.setHz(hz * bend * 1.0046);
    }
    f.step(a.saw() + b.saw());
    a.advance();
    b.advance();
    out.l[i] = out.r[i] = f.low * env.next() * 0.45f;
  }
  return out;
}

Stereo bellVoice(double midi, double decay, double ratio, double index) {
  const int64_t n = framesOf(decay * 5.0);
  Stereo out(static_cast<size_t>(n));
  const double hz = noteHz(midi);
  double phase = 0.0, modPhase = 0.0;
  const double inc = hz / RATE, modInc = hz * ratio / RATE;
  const float ampFall = decayPerSample(decay), modFall = decayPerSample(decay * 0.35);
  float amp = 1.0f, depth = static_cast<float>(index / (2.0 * PI));
  const int64_t attack = framesOf(0.002);
  for (int64_t i = 0; i < n; ++i) {
    const float s = sine01(phase + depth * sine01(modPhase));
    phase += inc;
    modPhase += modInc;
    if (phase >= 1.0) phase -= 1.0;
    if (modPhase >= 1.0) modPhase -= 1.0;
    const float a = i < attack ? amp * static_cast<float>(i) / attack : amp;
    out.l[i] = out.r[i] = s * a * 0.5f;
    amp *= ampFall;
    depth *= modFall;
  }
  return out;
}

Stereo kickVoice(double punch) {
  const int64_t n = framesOf(0.55);
  Stereo out(static_cast<size_t>(n));
  Noise click(7);
  double phase = 0.0;
  for (int64_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / RATE;
    const double hz = 50.0 + 125.0 * punch * std::exp(-t / 0.03);
    phase += hz / RATE;
    const double body = std::sin(2.0 * PI * phase) * std::exp(-t / 0.19) * std::min(1.0, t / 0.001);
    const double tick = click.next() * std::exp(-t / 0.0018) * 0.35 * punch;
    out.l[i] = out.r[i] = static_cast<float>(std::tanh(1.6 * (body + tick)) * 0.9);
  }
  fadeEdges(out, 0.0, 0.1);
  return out;
}

Stereo snareVoice(uint32_t seed) {
  const int64_t n = framesOf(0.45);
  Stereo out(static_cast<size_t>(n));
  Noise rnd(seed);
  Svf hp;
  hp.set(1900.0, 0.7);
  double phase = 0.0;
  for (int64_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / RATE;
    phase += (182.0 + 60.0 * std::exp(-t / 0.015)) / RATE;
    const double tone = std::sin(2.0 * PI * phase) * std::exp(-t / 0.06);
    hp.step(rnd.next());
    const double rattle = hp.high * std::exp(-t / 0.13) + hp.band * std::exp(-t / 0.05) * 0.5;
    out.l[i] = out.r[i] = static_cast<float>(0.55 * tone + 0.75 * rattle);
  }
  fadeEdges(out, 0.0, 0.1);
  return out;
}

Stereo clapVoice(uint32_t seed) {
  const int64_t n = framesOf(0.4);
  Stereo out(static_cast<size_t>(n));
  Noise rnd(seed);
  Svf bp;
  bp.set(1250.0, 1.4);
  const double bursts[4] = {0.0, 0.011, 0.022, 0.031};
  for (int64_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / RATE;
    double e = 0.0;
    for (int b = 0; b < 3; ++b)
      if (t >= bursts[b]) e = std::max(e, std::exp(-(t - bursts[b]) / 0.004));
    if (t >= bursts[3]) e = std::max(e, std::exp(-(t - bursts[3]) / 0.11));
    bp.step(rnd.next());
    out.l[i] = out.r[i] = static_cast<float>(bp.band * e * 1.6);
  }
  fadeEdges(out, 0.0, 0.1);
  return out;
}

Stereo hatVoice(bool open, uint32_t seed) {
  const double decay = open ? 0.2 : 0.03;
  const int64_t n = framesOf(decay * 5.0);
  Stereo out(static_cast<size_t>(n));
  Noise rnd(seed);
  Svf hp;
  hp.set(7500.0, 0.9);
  const float fall = decayPerSample(decay);
  float e = 1.0f;
  for (int64_t i = 0; i < n; ++i) {
    hp.step(rnd.next());
    out.l[i] = out.r[i] = hp.high * e * 0.5f;
    e *= fall;
  }
  return out;
}

Stereo crashVoice(uint32_t seed) {
  const int64_t n = framesOf(3.5);
  Stereo out(static_cast<size_t>(n));
  Noise nl(seed), nr(seed + 1);
  Svf fl, fr;
  fl.set(4200.0, 0.6);
  fr.set(4600.0, 0.6);
  const float fall = decayPerSample(0.75);
  float e = 1.0f;
  for (int64_t i = 0; i < n; ++i) {
    fl.step(nl.next());
    fr.step(nr.next());
    const float a = i < 90 ? static_cast<float>(i) / 90.0f : 1.0f;
    out.l[i] = fl.high * e * a * 0.45f;
    out.r[i] = fr.high * e * a * 0.45f;
    e *= fall;
  }
  fadeEdges(out, 0.0, 0.8);
  return out;
}

Stereo riserVoice(double seconds, uint32_t seed) {
  const int64_t n = framesOf(seconds);
  Stereo out(static_cast<size_t>(n));
  Noise nl(seed), nr(seed + 1);
  Svf fl, fr;
  for (int64_t i = 0; i < n; ++i) {
    const double x = static_cast<double>(i) / n;
    if (i % CONTROL_FRAMES == 0) {
      const double hz = 300.0 * std::pow(8000.0 / 300.0, x);
      fl.set(hz, 2.2);
      fr.set(hz * 1.07, 2.2);
    }
    fl.step(nl.next());
    fr.step(nr.next());
    const float g = static_cast<float>(x * x * 0.8);
    out.l[i] = fl.band * g;
    out.r[i] = fr.band * g;
  }
  return out;
}

Stereo subDropVoice() {
  const int64_t n = framesOf(1.6);
  Stereo out(static_cast<size_t>(n));
  double phase = 0.0;
  for (int64_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / RATE;
    phase += (35.0 + 75.0 * std::exp(-t / 0.25)) / RATE;
    const double a = std::exp(-t / 0.5) * std::min(1.0, t / 0.003);
    out.l[i] = out.r[i] = static_cast<float>(std::sin(2.0 * PI * phase) * a * 0.8);
  }
  fadeEdges(out, 0.0, 0.4);
  return out;
}

}  // namespace audio
}  // namespace datagen

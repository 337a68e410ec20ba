#include "sound/sound_mixer.h"

#include <algorithm>

namespace platform {
namespace sound {

Mixer::Mixer(int channelCount) : voices(static_cast<size_t>(channelCount)) {}

int Mixer::play(Source* source) {
  std::lock_guard<std::mutex> hold(lock);
  int best = -1;
  for (int i = 0; i < static_cast<int>(voices.size()); ++i) {
    const Voice& v = voices[i];
    if (v.source) continue;
    if (best < 0 || v.freeSince < voices[best].freeSince) best = i;
  }
  if (best >= 0) {
    voices[best].source = source;
    voices[best].position = 0;
  }
  return best;
}

void Mixer::stop(Source* source) {
  std::lock_guard<std::mutex> hold(lock);
  for (Voice& v : voices) {
    if (v.source != source) continue;
    v.source = nullptr;
    v.freeSince = clock;
  }
}

void Mixer::render(float* out, int frames) {
  std::lock_guard<std::mutex> hold(lock);
  std::fill(out, out + 2 * static_cast<size_t>(frames), 0.0f);
  for (Voice& v : voices) {
    if (!v.source) continue;
    if (!v.source->addTo(out, frames, &v.position)) {
      v.source = nullptr;
      v.freeSince = clock;
    }
  }
  for (int i = 0; i < 2 * frames; ++i) out[i] = std::clamp(out[i], -1.0f, 1.0f);
  clock += frames;
}

}  // namespace sound
}  // namespace platform

#include "sound/sound_sources.h"

#include <algorithm>
#include <new>

namespace platform {
namespace sound {

// Frames decoded per step when loading or refilling.
static constexpr int DECODE_FRAMES = 4096;

Result SampleSource::load(const char* path) {
  Decoder decoder;
  Result r = decoder.open(path);
  if (r != OK) return r;
  try {
    std::vector<float> block(2 * DECODE_FRAMES);
    for (;;) {
      int got = decoder.read(block.data(), DECODE_FRAMES);
      samples.insert(samples.end(), block.begin(), block.begin() + 2 * got);
      if (got < DECODE_FRAMES) break;
    }
  } catch (const std::bad_alloc&) {
    std::vector<float>().swap(samples);
    return ERR_MEMORY;
  }
  samples.shrink_to_fit();
  return OK;
}

bool SampleSource::addTo(float* out, int frames, int64_t* position) {
  const int64_t total = static_cast<int64_t>(samples.size() / 2);
  const int64_t n = std::min<int64_t>(frames, total - *position);
  const float* in = samples.data() + 2 * *position;
  for (int64_t i = 0; i < 2 * n; ++i) out[i] += in[i];
  *position += n;
  return n == frames;
}

StreamSource::StreamSource()
    : ring(2 * static_cast<size_t>(RING_FRAMES)), scratch(2 * DECODE_FRAMES) {}

Result StreamSource::open(const char* path) { return decoder.open(path); }

void StreamSource::refill() {
  std::lock_guard<std::mutex> hold(decodeLock);
  fill();
}

void StreamSource::fill() {
  while (!decodedAll.load(std::memory_order_relaxed)) {
    const int64_t w = written.load(std::memory_order_relaxed);
    const int64_t space = RING_FRAMES - (w - taken.load(std::memory_order_acquire));
    const int want = static_cast<int>(std::min<int64_t>(space, DECODE_FRAMES));
    if (want <= 0) return;
    const int got = decoder.read(scratch.data(), want);
    for (int i = 0; i < got; ++i) {
      const size_t at = 2 * static_cast<size_t>((w + i) % RING_FRAMES);
      ring[at] = scratch[2 * i];
      ring[at + 1] = scratch[2 * i + 1];
    }
    written.store(w + got, std::memory_order_release);
    if (got < want) decodedAll.store(true, std::memory_order_release);
  }
}

void StreamSource::restart() {
  // Untouched, the ring still holds the stream from its first frame on.
  if (taken.load() != 0) {
    decoder.rewind();
    written.store(0);
    taken.store(0);
    decodedAll.store(false);
  }
  fill();
}

bool StreamSource::addTo(float* out, int frames, int64_t* position) {
  // Read the end flag first: once it is set, `written` is final.
  const bool ended = decodedAll.load(std::memory_order_acquire);
  const int64_t t = taken.load(std::memory_order_relaxed);
  const int64_t n = std::min<int64_t>(frames, written.load(std::memory_order_acquire) - t);
  for (int64_t i = 0; i < n; ++i) {
    const size_t at = 2 * static_cast<size_t>((t + i) % RING_FRAMES);
    out[2 * i] += ring[at];
    out[2 * i + 1] += ring[at + 1];
  }
  taken.store(t + n, std::memory_order_release);
  *position += n;
  return !(ended && n < frames);
}

}  // namespace sound
}  // namespace platform

// What the mixer's channels play: a whole decoded sound, or a stream decoded
// ahead into a ring buffer.
//
// SampleSource: decode once (load), then any number of channels read it.
// StreamSource: open only opens the file; refill, called by the feeder thread
// (or by the offline puller before each block), tops the ring up; addTo, on
// the output thread, takes from it; restart goes back to the first frame.
// The ring has one writer (refill, under the stream's own lock) and one
// reader (addTo, under the mixer's lock); restart runs with both held and
// the stream stopped in the mixer. Both sources own their samples and
// decoder.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

#include "sound/sound_decoder.h"
#include "sound/sound_mixer.h"
#include "sound/sound_system.h"

namespace platform {
namespace sound {

class SampleSource : public Source {
 public:
  // Decodes the whole file: OK, or the decoder's code (ERR_MEMORY when it
  // does not fit in memory).
  Result load(const char* path);
  bool addTo(float* out, int frames, int64_t* position) override;

 private:
  std::vector<float> samples;  // interleaved stereo
};

class StreamSource : public Source {
 public:
  // Frames the ring holds: about 1.5 s.
  static constexpr int RING_FRAMES = 65536;

  StreamSource();
  // Opens the file; nothing is decoded until the first refill or restart.
  Result open(const char* path);
  // Decodes until the ring is full or the file has ended.
  void refill();
  // Back to the first frame with a full ring; a stream nothing has been taken
  // from since it was opened or restarted is there already and is only
  // topped up. The caller holds decodeLock and has stopped the stream in the
  // mixer.
  void restart();
  bool addTo(float* out, int frames, int64_t* position) override;

  // Held by whoever decodes into the ring.
  std::mutex decodeLock;

 private:
  // Decodes until the ring is full or the file has ended; decodeLock held.
  void fill();

  Decoder decoder;
  std::vector<float> ring;  // RING_FRAMES stereo frames
  std::vector<float> scratch;
  std::atomic<int64_t> written{0};  // frames ever written
  std::atomic<int64_t> taken{0};    // frames ever read
  std::atomic<bool> decodedAll{false};
};

}  // namespace sound
}  // namespace platform

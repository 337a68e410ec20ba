// The mixer: a fixed set of virtual channels summed into stereo frames.
//
// Call order: construct with the channel count -> play / stop from the
// control thread, render from the output thread (SDL's audio callback, or the
// offline puller) -> destroy after the output has stopped. The mixer only
// points at the sources it plays; their owner stops them (stop) before freeing
// them. render never allocates; it holds the mixer's lock while it mixes one
// call's frames (a device buffer: microseconds), and play / stop hold it just
// as briefly, so a source passed to stop is no longer touched once stop
// returns.
#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

namespace platform {
namespace sound {

// Something a channel plays: samples at 44.1 kHz, stereo.
class Source {
 public:
  virtual ~Source() = default;
  // Adds the next `frames` frames at *position to out (interleaved stereo) and
  // advances *position by the frames added. Returns false once the source has
  // nothing more to give; a stream that is only behind adds what it has.
  virtual bool addTo(float* out, int frames, int64_t* position) = 0;
};

class Mixer {
 public:
  explicit Mixer(int channelCount);

  // Starts source from its beginning on the free channel that has been free
  // the longest (never-used channels first, then the lowest index). Returns
  // the channel index, or -1 when every channel is busy.
  int play(Source* source);

  // Stops every channel playing source.
  void stop(Source* source);

  // Overwrites out with the next `frames` frames of the sum, clipped to
  // [-1, 1], and advances every channel.
  void render(float* out, int frames);

 private:
  struct Voice {
    Source* source = nullptr;  // null: free
    int64_t position = 0;
    int64_t freeSince = -1;  // frame at which it became free; -1 never used
  };
  std::mutex lock;
  std::vector<Voice> voices;
  int64_t clock = 0;
};

}  // namespace sound
}  // namespace platform

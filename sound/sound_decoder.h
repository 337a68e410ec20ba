// Reading audio files as the mix's sample frames (libsndfile).
//
// Call order: open -> read ... [-> rewind -> read ...]; the destructor closes
// the file. A Decoder owns its file handle and buffers. open returns OK or the
// code that says why the file cannot be played; read returns fewer frames than
// asked only at the end of the file (or where a damaged file stops decoding).
// Whatever the file holds, frames come out as 44.1 kHz stereo floats, so a
// whole-file decode and a decode in pieces give exactly the same samples.
#pragma once

#include <vector>

#include "sound/sound_system.h"

// libsndfile's file handle (SNDFILE); only the decoder's source sees sndfile.h.
struct sf_private_tag;

namespace platform {
namespace sound {

class Decoder {
 public:
  Decoder() = default;
  ~Decoder();
  Decoder(const Decoder&) = delete;
  Decoder& operator=(const Decoder&) = delete;

  // Opens the file: ERR_FILE_NOTFOUND, ERR_FILE_BAD (a directory, or
  // unreadable), ERR_FORMAT (not audio, damaged, or an encoding libsndfile
  // cannot decode).
  Result open(const char* path);

  // Writes up to `frames` stereo frames to out; returns how many.
  int read(float* out, int frames);

  // Goes back to the first frame; false when the file cannot seek.
  bool rewind();

 private:
  // The next frame of the file as a stereo pair; false at the end.
  bool fetch(float* frame);
  // Starts the interpolation over at the current file position.
  void restartConversion();

  sf_private_tag* file = nullptr;
  int fileChannels = 0;
  double step = 1.0;  // file frames per output frame
  std::vector<float> chunk;
  int chunkFrames = 0;
  int chunkPos = 0;
  bool fileEnded = false;
  // Linear interpolation between two neighbouring file frames.
  float prev[2] = {0, 0};
  float next[2] = {0, 0};
  double phase = 0.0;  // position between prev (0) and next (1)
  bool primed = false;
  bool lastFrame = false;  // next is a copy of the file's last frame
  bool finished = false;
};

}  // namespace sound
}  // namespace platform

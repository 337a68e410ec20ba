#include "sound/sound_decoder.h"

#include <sndfile.h>
#include <sys/stat.h>

#include <cerrno>
#include <cmath>

namespace platform {
namespace sound {

// File frames decoded per libsndfile call.
static constexpr int CHUNK_FRAMES = 4096;

Decoder::~Decoder() {
  if (file) sf_close(file);
}

Result Decoder::open(const char* path) {
  if (!path) return ERR_INVALID_PARAM;
  struct stat st;
  if (stat(path, &st) != 0)
    return errno == ENOENT || errno == ENOTDIR ? ERR_FILE_NOTFOUND : ERR_FILE_BAD;
  if (!S_ISREG(st.st_mode)) return ERR_FILE_BAD;

  SF_INFO info = {};
  file = sf_open(path, SFM_READ, &info);
  if (!file) {
    // The file is there: it is unreadable, or its content is not audio that
    // libsndfile can decode (its other codes vary with the format it tried).
    return sf_error(nullptr) == SF_ERR_SYSTEM ? ERR_FILE_BAD : ERR_FORMAT;
  }
  if (info.channels <= 0 || info.samplerate <= 0) {
    sf_close(file);
    file = nullptr;
    return ERR_FORMAT;
  }
  fileChannels = info.channels;
  step = static_cast<double>(info.samplerate) / OUTPUT_RATE;
  chunk.assign(static_cast<size_t>(CHUNK_FRAMES) * fileChannels, 0.0f);
  restartConversion();
  return OK;
}

void Decoder::restartConversion() {
  chunkFrames = chunkPos = 0;
  fileEnded = false;
  phase = 0.0;
  primed = lastFrame = finished = false;
}

bool Decoder::rewind() {
  if (!file || sf_seek(file, 0, SEEK_SET) != 0) return false;
  restartConversion();
  return true;
}

bool Decoder::fetch(float* frame) {
  if (chunkPos == chunkFrames) {
    if (fileEnded) return false;
    sf_count_t got = sf_readf_float(file, chunk.data(), CHUNK_FRAMES);
    // A short read is the end; so is a read error in a damaged file.
    if (got < CHUNK_FRAMES) fileEnded = true;
    chunkFrames = got > 0 ? static_cast<int>(got) : 0;
    chunkPos = 0;
    if (chunkFrames == 0) return false;
  }
  const float* f = &chunk[static_cast<size_t>(chunkPos++) * fileChannels];
  // A damaged file can hold NaN or infinity; the mix must never see them.
  frame[0] = std::isfinite(f[0]) ? f[0] : 0.0f;
  const float right = fileChannels > 1 ? f[1] : f[0];
  frame[1] = std::isfinite(right) ? right : 0.0f;
  return true;
}

int Decoder::read(float* out, int frames) {
  if (!file || finished) return 0;
  if (!primed) {
    primed = true;
    if (!fetch(prev)) {
      finished = true;
      return 0;
    }
    if (!fetch(next)) {
      next[0] = prev[0];
      next[1] = prev[1];
      lastFrame = true;
    }
  }
  int n = 0;
  while (n < frames) {
    while (phase >= 1.0) {
      if (lastFrame) {
        finished = true;
        return n;
      }
      prev[0] = next[0];
      prev[1] = next[1];
      if (!fetch(next)) {
        next[0] = prev[0];
        next[1] = prev[1];
        lastFrame = true;
      }
      phase -= 1.0;
    }
    // At 44.1 kHz the phase stays 0 and the file's samples pass unchanged.
    const float t = static_cast<float>(phase);
    out[2 * n] = prev[0] + (next[0] - prev[0]) * t;
    out[2 * n + 1] = prev[1] + (next[1] - prev[1]) * t;
    phase += step;
    ++n;
  }
  return n;
}

}  // namespace sound
}  // namespace platform

#include "sound/wav_writer.h"

#include <sndfile.h>

namespace platform {

WavWriter::~WavWriter() { close(); }

bool WavWriter::open(const std::string& path, int sampleRate, int channels) {
  close();
  SF_INFO info = {};
  info.samplerate = sampleRate;
  info.channels = channels;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!file) return false;
  // Floats beyond full scale clip instead of wrapping around.
  sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
  file_ = file;
  return true;
}

bool WavWriter::write(const float* interleaved, int frames) {
  if (!file_) return false;
  return sf_writef_float(static_cast<SNDFILE*>(file_), interleaved, frames) == frames;
}

void WavWriter::close() {
  if (file_) sf_close(static_cast<SNDFILE*>(file_));
  file_ = nullptr;
}

}  // namespace platform

// Writing a 16-bit PCM WAV file block by block (the capture's soundtrack).
//
// open -> write ... -> close; the destructor closes too. Failures return false
// and leave the file as far as it got.
#pragma once

#include <string>

namespace platform {

class WavWriter {
 public:
  WavWriter() = default;
  ~WavWriter();
  WavWriter(const WavWriter&) = delete;
  WavWriter& operator=(const WavWriter&) = delete;

  // Creates the file for interleaved float frames of the given layout.
  bool open(const std::string& path, int sampleRate, int channels);

  // Appends frames (channels floats each, nominally -1 to 1; clipped).
  bool write(const float* interleaved, int frames);

  // Finishes the header and closes the file.
  void close();

  bool isOpen() const { return file_ != nullptr; }

 private:
  void* file_ = nullptr;
};

}  // namespace platform

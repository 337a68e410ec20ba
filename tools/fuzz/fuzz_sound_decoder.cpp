// libFuzzer target for the sound decoding path. The input (after its first
// byte) becomes an in-memory file that is opened by name, as the sound
// manager does. First byte even: a whole-file load (a sound); odd: a stream
// read to the end, rewound and read again (music that restarts). Besides the
// sanitizers' checks, every sample must be finite: the mix must never see NaN.
#include <sys/mman.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "sound/sound_decoder.h"
#include "sound/sound_sources.h"

namespace snd = platform::sound;

namespace {

void requireFinite(const float* samples, size_t count) {
  for (size_t i = 0; i < count; ++i)
    if (!std::isfinite(samples[i])) std::abort();
}

void loadWhole(const char* path) {
  snd::SampleSource sample;
  if (sample.load(path) != snd::OK) return;
  std::vector<float> out(2 * 4096, 0.0f);
  int64_t position = 0;
  while (sample.addTo(out.data(), 4096, &position)) {
  }
  requireFinite(out.data(), out.size());
}

void streamTwice(const char* path) {
  snd::Decoder decoder;
  if (decoder.open(path) != snd::OK) return;
  std::vector<float> block(2 * 4096);
  for (int pass = 0; pass < 2; ++pass) {
    int got;
    do {
      got = decoder.read(block.data(), 4096);
      requireFinite(block.data(), 2 * static_cast<size_t>(got));
    } while (got == 4096);
    if (!decoder.rewind()) return;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const int fd = memfd_create("fuzz-sound", 0);
  if (fd < 0) return 0;
  const ssize_t body = static_cast<ssize_t>(size - 1);
  if (write(fd, data + 1, size - 1) == body) {
    char path[64];
    std::snprintf(path, sizeof path, "/proc/self/fd/%d", fd);
    if (data[0] & 1)
      streamTwice(path);
    else
      loadWhole(path);
  }
  close(fd);
  return 0;
}

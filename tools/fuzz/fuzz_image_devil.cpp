// libFuzzer target for the image path of the texture manager: the bytes of a
// file are decoded as the type its name gives (the first input byte chooses
// BMP or JPEG, the two the show reads), through the header checks and DevIL,
// and every pixel the upload would read is read.
#include <IL/il.h>

#include <cstdint>

#include "resources/image_decode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool started = (ilInit(), true);
  (void)started;
  if (size < 2) return 0;
  const ILenum type = data[0] & 1 ? IL_JPG : IL_BMP;
  LoadedImage loaded;
  if (decodeImage(data + 1, size - 1, type, &loaded)) {
    const size_t n = static_cast<size_t>(loaded.width) * loaded.height * loaded.bytesPerPixel;
    unsigned sum = 0;
    for (size_t i = 0; i < n; ++i) sum += loaded.pixels[i];
    volatile unsigned sink = sum;
    (void)sink;
  }
  ilDeleteImages(1, &loaded.image);
  return 0;
}

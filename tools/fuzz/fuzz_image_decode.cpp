// libFuzzer target for the image path of the texture manager: the bytes of a
// file are decoded as the type its name gives (the first input byte chooses
// BMP, JPEG, PNG or a name without a known extension, decided by content), and
// every pixel the upload would read is read.
#include <cstdint>
#include <cstdlib>

#include "resources/image_decode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  static const ImageType TYPES[] = {ImageType::BMP, ImageType::JPEG, ImageType::PNG,
                                    ImageType::UNKNOWN};
  LoadedImage loaded;
  if (decodeImage(data + 1, size - 1, TYPES[data[0] % 4], &loaded)) {
    const size_t n = static_cast<size_t>(loaded.width) * loaded.height * loaded.bytesPerPixel;
    if (loaded.width < 1 || loaded.width > MAX_IMAGE_SIDE || loaded.height < 1 ||
        loaded.height > MAX_IMAGE_SIDE || loaded.pixels.size() != n)
      std::abort();
    unsigned sum = 0;
    for (size_t i = 0; i < n; ++i) sum += loaded.pixels[i];
    volatile unsigned sink = sum;
    (void)sink;
  }
  return 0;
}

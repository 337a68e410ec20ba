#include "resources/png_decode.h"

#include <png.h>

#include <cstring>

namespace platform {

namespace {

struct Source {
  const unsigned char* bytes;
  size_t size;
  size_t at;
};

// libpng's reads, kept inside the buffer: a file that ends early is an error.
void readSource(png_structp png, png_bytep out, png_size_t count) {
  Source* source = static_cast<Source*>(png_get_io_ptr(png));
  if (count > source->size - source->at) png_error(png, "truncated");
  std::memcpy(out, source->bytes + source->at, count);
  source->at += count;
}

// Errors leave the library silently for the setjmp in decodePng.
[[noreturn]] void onError(png_structp png, png_const_charp) { png_longjmp(png, 1); }

// Warnings (damaged ancillary chunks) leave the picture usable.
void onWarning(png_structp, png_const_charp) {}

}  // namespace

bool decodePng(const unsigned char* bytes, size_t size, int maxSide, int* width, int* height,
               int* bytesPerPixel, std::vector<unsigned char>* pixels) {
  if (!bytes || size < 8 || png_sig_cmp(bytes, 0, 8) != 0) return false;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, onError, onWarning);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  Source source = {bytes, size, 0};
  png_set_read_fn(png, &source, readSource);
  png_set_user_limits(png, static_cast<png_uint_32>(maxSide), static_cast<png_uint_32>(maxSide));
  png_read_info(png, info);
  const png_byte colour = png_get_color_type(png, info);
  if (colour == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colour == PNG_COLOR_TYPE_GRAY && png_get_bit_depth(png, info) < 8)
    png_set_expand_gray_1_2_4_to_8(png);
  if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
  if (png_get_bit_depth(png, info) == 16) png_set_strip_16(png);
  if (colour == PNG_COLOR_TYPE_GRAY || colour == PNG_COLOR_TYPE_GRAY_ALPHA)
    png_set_gray_to_rgb(png);
  const int passes = png_set_interlace_handling(png);
  png_read_update_info(png, info);
  const png_uint_32 w = png_get_image_width(png, info), h = png_get_image_height(png, info);
  const int channels = png_get_channels(png, info);
  const size_t rowBytes = static_cast<size_t>(w) * channels;
  if ((channels != 3 && channels != 4) || png_get_rowbytes(png, info) != rowBytes)
    png_error(png, "layout");
  // Rows of a plain file grow with the decode, so that a damaged one is
  // refused before the memory its header promises is taken; interlaced
  // passes revisit every row.
  pixels->assign(passes > 1 ? rowBytes * h : 0, 0);
  for (int pass = 0; pass < passes; ++pass) {
    for (png_uint_32 y = 0; y < h; ++y) {
      if (passes == 1) pixels->resize(rowBytes * (y + 1));
      png_read_row(png, pixels->data() + rowBytes * y, nullptr);
    }
  }
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  *width = static_cast<int>(w);
  *height = static_cast<int>(h);
  *bytesPerPixel = channels;
  return true;
}

}  // namespace platform

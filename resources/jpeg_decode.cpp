#include "resources/jpeg_decode.h"

// jpeglib.h needs size_t and FILE declared before it.
#include <cstdio>
// clang-format off
#include <jpeglib.h>
// clang-format on

#include <csetjmp>

namespace platform {

namespace {

// The library's error manager with the way out of a failed decode.
struct Escape {
  jpeg_error_mgr manager;
  std::jmp_buf out;
};

// Fatal errors leave the library for the setjmp in decodeJpeg.
[[noreturn]] void leave(j_common_ptr common) {
  std::longjmp(reinterpret_cast<Escape*>(common->err)->out, 1);
}

// A warning (level -1: damaged data, a stream that ends early) is an error
// here; trace messages (level 0 and up) are ignored.
void onMessage(j_common_ptr common, int level) {
  if (level < 0) leave(common);
}

// Called while the scans are read: a file with more scans than any encoder
// writes is refused before its passes add up.
void countScans(j_common_ptr common) {
  const auto* info = reinterpret_cast<j_decompress_ptr>(common);
  if (info->input_scan_number > MAX_JPEG_SCANS) leave(common);
}

}  // namespace

bool decodeJpeg(const unsigned char* bytes, size_t size, int maxSide, int* width, int* height,
                std::vector<unsigned char>* rgb) {
  if (!bytes || size == 0) return false;
  jpeg_decompress_struct info;
  Escape escape;
  jpeg_progress_mgr progress = {};
  info.err = jpeg_std_error(&escape.manager);
  escape.manager.error_exit = leave;
  escape.manager.emit_message = onMessage;
  if (setjmp(escape.out)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  progress.progress_monitor = countScans;
  info.progress = &progress;
  jpeg_mem_src(&info, bytes, static_cast<unsigned long>(size));
  jpeg_read_header(&info, TRUE);
  const bool sidesFit = info.image_width >= 1 && info.image_height >= 1 &&
                        info.image_width <= static_cast<JDIMENSION>(maxSide) &&
                        info.image_height <= static_cast<JDIMENSION>(maxSide);
  const bool coloursKnown = info.jpeg_color_space == JCS_GRAYSCALE ||
                            info.jpeg_color_space == JCS_YCbCr || info.jpeg_color_space == JCS_RGB;
  if (!sidesFit || !coloursKnown) leave(reinterpret_cast<j_common_ptr>(&info));
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  if (info.output_components != 3) leave(reinterpret_cast<j_common_ptr>(&info));
  // The rows grow with the decode: a damaged file is refused before the
  // memory its header promises is ever taken.
  const size_t rowBytes = static_cast<size_t>(info.output_width) * 3;
  rgb->clear();
  while (info.output_scanline < info.output_height) {
    rgb->resize(rowBytes * (info.output_scanline + 1));
    JSAMPROW row = rgb->data() + rowBytes * info.output_scanline;
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  *width = static_cast<int>(info.output_width);
  *height = static_cast<int>(info.output_height);
  jpeg_destroy_decompress(&info);
  return true;
}

}  // namespace platform

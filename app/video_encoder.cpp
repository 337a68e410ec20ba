#include "app/video_encoder.h"

#include <cstring>

namespace {

// ffmpeg's arguments before the caller's: quiet but for errors, and
// overwriting what a previous capture left.
std::vector<std::string> ffmpegArgs(std::vector<std::string> args) {
  args.insert(args.begin(), {"-hide_banner", "-loglevel", "error", "-y"});
  return args;
}

}  // namespace

bool haveFfmpeg() { return platform::programOnPath("ffmpeg"); }

bool VideoEncoder::start(const std::string& path, int width, int height, int fps) {
  const std::string size = std::to_string(width) + "x" + std::to_string(height);
  // A frame or more fits into the pipe, so that ffmpeg encodes one while
  // the next is drawn. The encoder shares the processor with the show: at
  // crf 18 "ultrafast" needs about a third of the time "veryfast" does, for
  // a file about twice the size and the same picture quality.
  const size_t frameBytes = static_cast<size_t>(width) * height * 3;
  if (!ffmpeg_.start(
          "ffmpeg",
          ffmpegArgs({"-f",   "rawvideo",   "-pix_fmt",          "rgb24",     "-video_size",
                      size,   "-framerate", std::to_string(fps), "-i",        "pipe:0",
                      "-c:v", "libx264",    "-preset",           "ultrafast", "-crf",
                      "18",   "-pix_fmt",   "yuv420p",           "-f",        "matroska",
                      path}),
          frameBytes))
    return false;
  width_ = width;
  height_ = height;
  rows_.resize(frameBytes);
  return true;
}

bool VideoEncoder::writeFrame(const unsigned char* bottomUpRgb) {
  const size_t stride = static_cast<size_t>(width_) * 3;
  for (int y = 0; y < height_; ++y)
    std::memcpy(&rows_[y * stride], bottomUpRgb + (height_ - 1 - y) * stride, stride);
  return ffmpeg_.write(rows_.data(), rows_.size());
}

// The AAC encoder's "fast" coder: at 192 kb/s it sounds as good as the
// default one and takes less than half its time, which is most of the wait
// after the last frame.
bool muxSoundtrack(const std::string& video, const std::string& wav, const std::string& out) {
  return platform::runProgram(
      "ffmpeg",
      ffmpegArgs({"-i", video, "-i", wav, "-map", "0:v", "-map", "1:a", "-c:v", "copy", "-c:a",
                  "aac", "-aac_coder", "fast", "-b:a", "192k", "-movflags", "+faststart", out}));
}

bool remuxVideo(const std::string& video, const std::string& out) {
  return platform::runProgram("ffmpeg", ffmpegArgs({"-i", video, "-map", "0:v", "-c:v", "copy",
                                                    "-movflags", "+faststart", out}));
}

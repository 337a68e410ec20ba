// Encoding captured frames into a video with the ffmpeg program.
//
// haveFfmpeg first. VideoEncoder: start -> writeFrame ... -> finish; it owns
// the ffmpeg process and the write end of its standard input, a pipe that
// carries raw RGB frames (rgb24, top row first) while the caller goes on
// rendering. Starting one makes the process ignore SIGPIPE, so that a pipe
// whose reader is gone fails the write (writeFrame returns false) instead of
// ending the program. ffmpeg runs in a process group of its own, so a Ctrl+C
// at the terminal reaches only this program, which then closes the pipe and
// lets ffmpeg finish the file. Its own messages go to stderr. muxSoundtrack
// after finish puts the video and a WAV into one MP4; false when ffmpeg fails.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace platform {

// True when an ffmpeg program is on the PATH.
bool haveFfmpeg();

class VideoEncoder {
 public:
  VideoEncoder() = default;
  ~VideoEncoder();
  VideoEncoder(const VideoEncoder&) = delete;
  VideoEncoder& operator=(const VideoEncoder&) = delete;

  // Starts ffmpeg encoding width x height frames at fps into path (H.264 in
  // Matroska, which stays readable up to its last frame if ffmpeg is cut
  // off). False when the pipe or the process cannot be made.
  bool start(const std::string& path, int width, int height, int fps);

  // Sends a frame of width x height RGB pixels, bottom row first as GL reads
  // them. False once ffmpeg no longer takes frames (it ended or failed).
  bool writeFrame(const unsigned char* bottomUpRgb);

  // Closes the pipe and waits for ffmpeg; true when it finished the file.
  bool finish();

  bool isRunning() const { return pid_ > 0; }
  int width() const { return width_; }
  int height() const { return height_; }

 private:
  pid_t pid_ = -1;
  int pipe_ = -1;
  int width_ = 0, height_ = 0;
  std::vector<unsigned char> rows_;  // one frame, top row first
};

// Copies the video stream of video and encodes wav (AAC) beside it into out.
// False when ffmpeg fails.
bool muxSoundtrack(const std::string& video, const std::string& wav, const std::string& out);

// Copies the video stream of video into out (an MP4 without sound).
bool remuxVideo(const std::string& video, const std::string& out);

}  // namespace platform

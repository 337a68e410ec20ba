// Encoding captured frames into a video with the ffmpeg program.
//
// haveFfmpeg first. VideoEncoder: start -> writeFrame ... -> finish; it owns
// the ffmpeg process (a platform::ChildProcess: its own process group,
// SIGPIPE ignored) and feeds it raw RGB frames (rgb24, top row first) while
// the caller goes on rendering. ffmpeg's own messages go to stderr.
// muxSoundtrack after finish puts the video and a WAV into one MP4; false
// when ffmpeg fails.
#pragma once

#include <string>
#include <vector>

#include "platform/process.h"

// True when an ffmpeg program is on the PATH.
bool haveFfmpeg();

class VideoEncoder {
 public:
  // Starts ffmpeg encoding width x height frames at fps into path (H.264 in
  // Matroska, which stays readable up to its last frame if ffmpeg is cut
  // off). False when the pipe or the process cannot be made.
  bool start(const std::string& path, int width, int height, int fps);

  // Sends a frame of width x height RGB pixels, bottom row first as GL reads
  // them. False once ffmpeg no longer takes frames (it ended or failed).
  bool writeFrame(const unsigned char* bottomUpRgb);

  // Closes the pipe and waits for ffmpeg; true when it finished the file.
  bool finish() { return ffmpeg_.finish(); }

  bool isRunning() const { return ffmpeg_.isRunning(); }
  int width() const { return width_; }
  int height() const { return height_; }

 private:
  platform::ChildProcess ffmpeg_;
  int width_ = 0, height_ = 0;
  std::vector<unsigned char> rows_;  // one frame, top row first
};

// Copies the video stream of video and encodes wav (AAC) beside it into out.
// False when ffmpeg fails.
bool muxSoundtrack(const std::string& video, const std::string& wav, const std::string& out);

// Copies the video stream of video into out (an MP4 without sound).
bool remuxVideo(const std::string& video, const std::string& out);

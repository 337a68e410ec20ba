// Muxing captured frames and soundtrack into a video with the ffmpeg program.
#pragma once

#include <string>

namespace platform {

// True when an ffmpeg program is on the PATH.
bool haveFfmpeg();

// Encodes dir/frame_%06d.png at fps (H.264) with dir/soundtrack.wav when
// withAudio (AAC) into dir/parallaxis.mp4. False (ffmpeg's own message on
// stderr) when ffmpeg fails.
bool muxVideo(const std::string& dir, int fps, bool withAudio);

}  // namespace platform

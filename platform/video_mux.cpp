#include "platform/video_mux.h"

#include <cstdlib>
#include <string>

namespace platform {

// The text in single quotes for /bin/sh.
static std::string shellQuote(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

bool haveFfmpeg() { return std::system("command -v ffmpeg >/dev/null 2>&1") == 0; }

bool muxVideo(const std::string& dir, int fps, bool withAudio) {
  std::string cmd = "ffmpeg -y -loglevel error -framerate " + std::to_string(fps) + " -i " +
                    shellQuote(dir + "/frame_%06d.png");
  if (withAudio) cmd += " -i " + shellQuote(dir + "/soundtrack.wav");
  cmd += " -c:v libx264 -pix_fmt yuv420p -crf 18";
  if (withAudio) cmd += " -c:a aac -b:a 192k";
  cmd += " " + shellQuote(dir + "/parallaxis.mp4");
  return std::system(cmd.c_str()) == 0;
}

}  // namespace platform

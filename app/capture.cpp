#include "app/capture.h"

#include <GL/glew.h>
#include <IL/il.h>
#include <sys/stat.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

#include "platform/clock.h"
#include "platform/video_mux.h"
#include "platform/window.h"
#include "sound/sound_system.h"
#include "sound/wav_writer.h"

namespace {

using Clock = std::chrono::steady_clock;

// The show clock of a capture: one tick per frame.
class FrameClock : public platform::TickSource {
 public:
  int fps = 60;
  int64_t frame = 0;
  bool frequency(int64_t* ticksPerSecond) override {
    *ticksPerSecond = fps;
    return true;
  }
  int64_t counter() override { return frame; }
  uint32_t milliseconds() override { return static_cast<uint32_t>(frame * 1000 / fps); }
};

constexpr int SAMPLE_RATE = 44100;

struct Capture {
  std::string dir;
  FrameClock clock;
  double startAt = 0.0;
  double to = 0.0;
  int64_t totalFrames = 0;
  int64_t written = 0;
  platform::WavWriter soundtrack;
  std::vector<float> samples;
  std::vector<unsigned char> pixels;  // the last presented frame, bottom row first
  int width = 0, height = 0;
  bool presented = false;
  bool showStarted = false;  // before it, presented frames are loading screens
  int loadingScreens = 0;
  Clock::time_point began, lastReport;
};

Capture capture;

bool writePng(const std::string& path);

void readPresentedFrame(int width, int height) {
  capture.width = width;
  capture.height = height;
  capture.pixels.resize(static_cast<size_t>(width) * height * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, capture.pixels.data());
  capture.presented = true;
  if (!capture.showStarted) {
    char name[32];
    std::snprintf(name, sizeof name, "/loading_%d.png", capture.loadingScreens++);
    writePng(capture.dir + name);
  }
}

bool writePng(const std::string& path) {
  ILuint image = 0;
  ilGenImages(1, &image);
  ilBindImage(image);
  bool ok = ilTexImage(capture.width, capture.height, 1, 3, IL_RGB, IL_UNSIGNED_BYTE,
                       capture.pixels.data());
  ilRegisterOrigin(IL_ORIGIN_LOWER_LEFT);
  ilEnable(IL_FILE_OVERWRITE);
  ok = ok && ilSave(IL_PNG, path.c_str());
  ilDeleteImages(1, &image);
  return ok;
}

// Appends the sound of the frame just drawn: the samples from its show time
// to the next frame's, so that over any run of frames the counts add up
// exactly to the elapsed time.
void mixFrameOfSound() {
  if (!capture.soundtrack.isOpen()) return;
  const int64_t k = capture.clock.frame, fps = capture.clock.fps;
  const int frames = static_cast<int>((k + 1) * SAMPLE_RATE / fps - k * SAMPLE_RATE / fps);
  capture.samples.resize(static_cast<size_t>(frames) * 2);
  platform::sound::renderOffline(capture.samples.data(), frames);
  capture.soundtrack.write(capture.samples.data(), frames);
}

void reportProgress(bool last) {
  Clock::time_point now = Clock::now();
  if (!last && now - capture.lastReport < std::chrono::milliseconds(500)) return;
  capture.lastReport = now;
  double seconds = std::chrono::duration<double>(now - capture.began).count();
  double rate = seconds > 0.0 ? capture.written / seconds : 0.0;
  double left = rate > 0.0 ? (capture.totalFrames - capture.written) / rate : 0.0;
  if (left < 0.0) left = 0.0;
  std::fprintf(stderr, "\rcapture: frame %lld of %lld, %.1f frames/s, %d:%02d left   %s",
               static_cast<long long>(capture.written), static_cast<long long>(capture.totalFrames),
               rate, static_cast<int>(left) / 60, static_cast<int>(left) % 60, last ? "\n" : "");
}

}  // namespace

bool beginCapture(const std::string& dir, int fps, double startAt, double to) {
  if (mkdir(dir.c_str(), 0755) != 0 && errno != EEXIST) {
    std::perror(("parallaxis: cannot create " + dir).c_str());
    return false;
  }
  std::string probe = dir + "/.parallaxis-probe";
  FILE* f = std::fopen(probe.c_str(), "wb");
  if (!f) {
    std::perror(("parallaxis: cannot write into " + dir).c_str());
    return false;
  }
  std::fclose(f);
  std::remove(probe.c_str());

  capture.dir = dir;
  capture.clock.fps = fps;
  capture.clock.frame = 0;
  capture.startAt = startAt;
  capture.to = to;
  platform::setTickSource(&capture.clock);
  platform::setUnattended(true);
  // The mix is pulled in step with the frames instead of played.
  platform::sound::setOfflineOutput(true);
  if (!capture.soundtrack.open(dir + "/soundtrack.wav", SAMPLE_RATE, 2))
    std::fprintf(stderr, "parallaxis: cannot write %s/soundtrack.wav; capturing without it\n",
                 dir.c_str());
  ilInit();
  platform::setSwapHook(readPresentedFrame);
  return true;
}

void captureShowStarts(double endTime) {
  if (capture.to < 0.0) capture.to = endTime;
  const int fps = capture.clock.fps;
  capture.totalFrames =
      static_cast<int64_t>(std::ceil((capture.to - capture.startAt) * fps - 1e-9));
  platform::setSwapInterval(0);
  capture.showStarted = true;
  capture.presented = false;
  capture.began = capture.lastReport = Clock::now();
}

bool captureFrameDone() {
  if (capture.presented) {
    char name[32];
    std::snprintf(name, sizeof name, "/frame_%06lld.png", static_cast<long long>(capture.written));
    if (!writePng(capture.dir + name))
      std::fprintf(stderr, "\nparallaxis: cannot write %s%s\n", capture.dir.c_str(), name);
    ++capture.written;
    capture.presented = false;
    reportProgress(false);
  }
  mixFrameOfSound();
  ++capture.clock.frame;
  return capture.written < capture.totalFrames;
}

void endCapture() {
  platform::setSwapHook(nullptr);
  reportProgress(true);
  capture.soundtrack.close();
  if (capture.written == 0) return;
  if (!platform::haveFfmpeg()) {
    std::fprintf(stderr, "capture: ffmpeg is not on the PATH; frames are in %s\n",
                 capture.dir.c_str());
    return;
  }
  std::string wav = capture.dir + "/soundtrack.wav";
  struct stat st;
  bool withAudio = stat(wav.c_str(), &st) == 0 && st.st_size > 44;
  if (platform::muxVideo(capture.dir, capture.clock.fps, withAudio))
    std::fprintf(stderr, "capture: %s/parallaxis.mp4\n", capture.dir.c_str());
  else
    std::fprintf(stderr, "capture: ffmpeg could not make the video\n");
}

#include "app/capture.h"

#include <GL/glew.h>
#include <IL/il.h>
#include <sys/stat.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

#include "app/video_encoder.h"
#include "platform/clock.h"
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
// The encoded frames before the soundtrack joins them in parallaxis.mp4.
const char* const VIDEO_STREAM = "/parallaxis-video.mkv";
const char* const VIDEO = "/parallaxis.mp4";

// Wall-clock seconds of each part of a capture's frames.
struct Timings {
  double readback = 0.0;  // glReadPixels of a finished frame
  double pipe = 0.0;      // writing frames to ffmpeg (waiting for it included)
  double png = 0.0;       // encoding and writing PNG files
  double sound = 0.0;     // mixing and writing the soundtrack
};

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
  bool png = false;          // every frame as PNG too
  bool video = false;        // frames go to ffmpeg
  bool videoFailed = false;  // ffmpeg stopped taking frames
  VideoEncoder encoder;
  Timings timings;
  Clock::time_point began, lastReport, lastFrame;
};

Capture capture;

bool writePng(const std::string& path);

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

void readPresentedFrame(int width, int height) {
  // The frame is finished first, so that the readback's time is the copy's
  // alone and the rendering's wait shows under rendering.
  glFinish();
  Clock::time_point start = Clock::now();
  capture.width = width;
  capture.height = height;
  capture.pixels.resize(static_cast<size_t>(width) * height * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, capture.pixels.data());
  capture.presented = true;
  capture.timings.readback += secondsSince(start);
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

// Sends the presented frame to ffmpeg, which starts with the first one;
// false (said on stderr) when the video cannot take it.
bool sendFrame() {
  const long long n = capture.written;
  if (!capture.encoder.isRunning()) {
    if (!capture.encoder.start(capture.dir + VIDEO_STREAM, capture.width, capture.height,
                               capture.clock.fps)) {
      std::fprintf(stderr, "\nparallaxis: cannot start ffmpeg; the capture ends\n");
      return false;
    }
  }
  if (capture.width != capture.encoder.width() || capture.height != capture.encoder.height()) {
    std::fprintf(stderr, "\nparallaxis: the window changed size at frame %lld; the capture ends\n",
                 n);
    return false;
  }
  if (!capture.encoder.writeFrame(capture.pixels.data())) {
    std::fprintf(stderr,
                 "\nparallaxis: ffmpeg stopped taking frames at frame %lld; the capture ends "
                 "there\n",
                 n);
    return false;
  }
  return true;
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

// How long each part of the frames took, and the wait for ffmpeg after them.
void reportTimings(double tail) {
  const Timings& t = capture.timings;
  const double frames = std::chrono::duration<double>(capture.lastFrame - capture.began).count();
  const double rendering = frames - t.readback - t.pipe - t.png - t.sound;
  std::fprintf(stderr,
               "capture: %lld frames in %.1f s: rendering %.1f s, readback %.1f s, pipe %.1f s, "
               "PNG %.1f s, sound %.1f s; ffmpeg after the last frame %.1f s\n",
               static_cast<long long>(capture.written), frames, rendering, t.readback, t.pipe,
               t.png, t.sound, tail);
}

}  // namespace

bool beginCapture(const std::string& dir, int fps, double startAt, double to, bool png) {
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
  capture.video = haveFfmpeg();
  capture.png = png || !capture.video;
  if (!capture.video)
    std::fprintf(stderr, "capture: ffmpeg is not on the PATH; writing PNG frames, no video\n");
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
  capture.began = capture.lastReport = capture.lastFrame = Clock::now();
}

bool captureFrameDone() {
  if (capture.presented) {
    capture.presented = false;
    Clock::time_point start = Clock::now();
    if (capture.video && !sendFrame()) {
      capture.videoFailed = true;
      return false;
    }
    capture.timings.pipe += secondsSince(start);
    if (capture.png) {
      start = Clock::now();
      char name[32];
      std::snprintf(name, sizeof name, "/frame_%06lld.png",
                    static_cast<long long>(capture.written));
      if (!writePng(capture.dir + name))
        std::fprintf(stderr, "\nparallaxis: cannot write %s%s\n", capture.dir.c_str(), name);
      capture.timings.png += secondsSince(start);
    }
    ++capture.written;
    reportProgress(false);
  }
  Clock::time_point start = Clock::now();
  mixFrameOfSound();
  capture.timings.sound += secondsSince(start);
  ++capture.clock.frame;
  capture.lastFrame = Clock::now();
  return capture.written < capture.totalFrames;
}

bool endCapture() {
  platform::setSwapHook(nullptr);
  reportProgress(true);
  capture.soundtrack.close();
  if (!capture.encoder.isRunning()) {
    if (capture.written > 0 && !capture.video)
      std::fprintf(stderr, "capture: ffmpeg is not on the PATH; frames are in %s\n",
                   capture.dir.c_str());
    return !capture.videoFailed;
  }
  Clock::time_point start = Clock::now();
  const bool encoded = capture.encoder.finish();
  const std::string stream = capture.dir + VIDEO_STREAM, wav = capture.dir + "/soundtrack.wav";
  struct stat st;
  const bool withAudio = stat(wav.c_str(), &st) == 0 && st.st_size > 44;
  const bool made = withAudio ? muxSoundtrack(stream, wav, capture.dir + VIDEO)
                              : remuxVideo(stream, capture.dir + VIDEO);
  if (made) std::remove(stream.c_str());
  reportTimings(secondsSince(start));
  if (made)
    std::fprintf(stderr, "capture: %s%s%s\n", capture.dir.c_str(), VIDEO,
                 encoded && !capture.videoFailed ? "" : " (up to where ffmpeg stopped)");
  else
    std::fprintf(stderr, "capture: ffmpeg could not make the video\n");
  return made && encoded && !capture.videoFailed;
}

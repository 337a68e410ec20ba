#include "platform/video_mux.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

extern char** environ;

namespace platform {

namespace {

// Starts ffmpeg with args (after the program name) in a process group of its
// own; stdinFd, when not negative, becomes its standard input. -1 on failure.
pid_t spawnFfmpeg(std::vector<std::string> args, int stdinFd) {
  args.insert(args.begin(), {"ffmpeg", "-hide_banner", "-loglevel", "error", "-y"});
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(&a[0]);
  argv.push_back(nullptr);

  posix_spawn_file_actions_t files;
  posix_spawnattr_t attr;
  posix_spawn_file_actions_init(&files);
  posix_spawnattr_init(&attr);
  if (stdinFd >= 0)
    posix_spawn_file_actions_adddup2(&files, stdinFd, STDIN_FILENO);
  else
    posix_spawn_file_actions_addopen(&files, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  // The child starts with the default actions and no blocked signals, in
  // its own process group.
  sigset_t none, all;
  sigemptyset(&none);
  sigfillset(&all);
  posix_spawnattr_setsigmask(&attr, &none);
  posix_spawnattr_setsigdefault(&attr, &all);
  posix_spawnattr_setpgroup(&attr, 0);
  posix_spawnattr_setflags(&attr,
                           POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);
  pid_t pid = -1;
  if (posix_spawnp(&pid, "ffmpeg", &files, &attr, argv.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&files);
  posix_spawnattr_destroy(&attr);
  return pid;
}

// Waits for the process; true when it exited with 0.
bool succeeded(pid_t pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0)
    if (errno != EINTR) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool runFfmpeg(const std::vector<std::string>& args) {
  pid_t pid = spawnFfmpeg(args, -1);
  return pid > 0 && succeeded(pid);
}

}  // namespace

bool haveFfmpeg() { return std::system("command -v ffmpeg >/dev/null 2>&1") == 0; }

VideoEncoder::~VideoEncoder() { finish(); }

bool VideoEncoder::start(const std::string& path, int width, int height, int fps) {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return false;
  // A frame or more fits into the pipe, so that ffmpeg encodes one while
  // the next is drawn.
  fcntl(fds[1], F_SETPIPE_SZ, width * height * 3);
  signal(SIGPIPE, SIG_IGN);
  const std::string size = std::to_string(width) + "x" + std::to_string(height);
  pid_ = spawnFfmpeg(
      {"-f",         "rawvideo",          "-pix_fmt", "rgb24",  "-video_size", size,
       "-framerate", std::to_string(fps), "-i",       "pipe:0", "-c:v",        "libx264",
       "-preset",    "veryfast",          "-crf",     "18",     "-pix_fmt",    "yuv420p",
       "-f",         "matroska",          path},
      fds[0]);
  close(fds[0]);
  if (pid_ <= 0) {
    close(fds[1]);
    pid_ = -1;
    return false;
  }
  pipe_ = fds[1];
  width_ = width;
  height_ = height;
  rows_.resize(static_cast<size_t>(width) * height * 3);
  return true;
}

bool VideoEncoder::writeFrame(const unsigned char* bottomUpRgb) {
  if (pipe_ < 0) return false;
  const size_t stride = static_cast<size_t>(width_) * 3;
  for (int y = 0; y < height_; ++y)
    std::memcpy(&rows_[y * stride], bottomUpRgb + (height_ - 1 - y) * stride, stride);
  const unsigned char* p = rows_.data();
  size_t left = rows_.size();
  while (left > 0) {
    ssize_t n = write(pipe_, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      close(pipe_);
      pipe_ = -1;
      return false;
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  return true;
}

bool VideoEncoder::finish() {
  if (pid_ <= 0) return false;
  if (pipe_ >= 0) close(pipe_);
  pipe_ = -1;
  const bool ok = succeeded(pid_);
  pid_ = -1;
  return ok;
}

bool muxSoundtrack(const std::string& video, const std::string& wav, const std::string& out) {
  return runFfmpeg({"-i", video, "-i", wav, "-map", "0:v", "-map", "1:a", "-c:v", "copy", "-c:a",
                    "aac", "-b:a", "192k", "-movflags", "+faststart", out});
}

bool remuxVideo(const std::string& video, const std::string& out) {
  return runFfmpeg({"-i", video, "-map", "0:v", "-c:v", "copy", "-movflags", "+faststart", out});
}

}  // namespace platform

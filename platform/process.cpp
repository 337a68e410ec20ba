#include "platform/process.h"

#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>

extern char** environ;

namespace platform {

bool programOnPath(const char* program) {
  const std::string command = std::string("command -v '") + program + "' >/dev/null 2>&1";
  return std::system(command.c_str()) == 0;
}

ChildProcess::~ChildProcess() { finish(); }

bool ChildProcess::start(const char* program, const std::vector<std::string>& args,
                         size_t pipeCapacity) {
  if (pid_ > 0) return false;
  int fds[2] = {-1, -1};
  if (pipeCapacity > 0) {
    if (pipe2(fds, O_CLOEXEC) != 0) return false;
    fcntl(fds[1], F_SETPIPE_SZ, static_cast<int>(pipeCapacity));
    signal(SIGPIPE, SIG_IGN);
  }
  std::vector<std::string> words = args;
  words.insert(words.begin(), program);
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(&w[0]);
  argv.push_back(nullptr);

  posix_spawn_file_actions_t files;
  posix_spawnattr_t attr;
  posix_spawn_file_actions_init(&files);
  posix_spawnattr_init(&attr);
  if (fds[0] >= 0)
    posix_spawn_file_actions_adddup2(&files, fds[0], STDIN_FILENO);
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
  if (posix_spawnp(&pid, program, &files, &attr, argv.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&files);
  posix_spawnattr_destroy(&attr);
  if (fds[0] >= 0) close(fds[0]);
  if (pid <= 0) {
    if (fds[1] >= 0) close(fds[1]);
    return false;
  }
  pid_ = pid;
  pipe_ = fds[1];
  return true;
}

bool ChildProcess::write(const unsigned char* data, size_t size) {
  if (pipe_ < 0) return false;
  while (size > 0) {
    const ssize_t n = ::write(pipe_, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      close(pipe_);
      pipe_ = -1;
      return false;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool ChildProcess::finish() {
  if (pid_ <= 0) return false;
  if (pipe_ >= 0) close(pipe_);
  pipe_ = -1;
  int status = 0;
  pid_t waited;
  while ((waited = waitpid(pid_, &status, 0)) < 0 && errno == EINTR) {
  }
  pid_ = -1;
  return waited > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool runProgram(const char* program, const std::vector<std::string>& args) {
  ChildProcess child;
  return child.start(program, args, 0) && child.finish();
}

static const char* const HUGE_PAGES_TUNABLE = "glibc.malloc.hugetlb";

// Start-up touches about 130 MB of fresh memory (the desktop picture, decoded
// pictures, the driver's textures and buffers). On a virtual machine each 4 KB
// page fault is dear: with malloc's memory on 2 MB pages the first frame came
// up to a quarter sooner, depending on how the host backs the guest's memory.
// glibc reads its tunables only when a process starts, hence the exec (which
// keeps the process, its ID and start time).
void restartWithHugePages(char** argv) {
  const char* set = std::getenv("GLIBC_TUNABLES");
  const std::string before = set ? set : "";
  if (before.find(HUGE_PAGES_TUNABLE) != std::string::npos) return;
  std::ifstream mode("/sys/kernel/mm/transparent_hugepage/enabled");
  std::string line;
  if (!std::getline(mode, line) || line.find("[madvise]") == std::string::npos) return;
  char exe[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
  if (n <= 0) return;
  exe[n] = '\0';
  const std::string value = (before.empty() ? "" : before + ":") + HUGE_PAGES_TUNABLE + "=1";
  if (setenv("GLIBC_TUNABLES", value.c_str(), 1) != 0) return;
  execv(exe, argv);
  // Still here: carry on as started, with the environment as it was.
  if (set)
    setenv("GLIBC_TUNABLES", before.c_str(), 1);
  else
    unsetenv("GLIBC_TUNABLES");
}

}  // namespace platform

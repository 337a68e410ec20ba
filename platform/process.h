// Other programs run as child processes, optionally fed through a pipe.
//
// ChildProcess: start -> write ... -> finish. It owns the process and the
// write end of the pipe to its standard input (or gives it /dev/null). The
// child runs in a process group of its own, so a Ctrl+C at the terminal
// reaches only this program, which then closes the pipe and lets the child
// finish. A process started with a pipe makes this one ignore SIGPIPE, so a
// pipe whose reader is gone fails write (false) instead of ending the
// program. The child's own messages go to our stderr.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>
#include <vector>

namespace platform {

// True when program is found on the PATH.
bool programOnPath(const char* program);

class ChildProcess {
 public:
  ChildProcess() = default;
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Starts program (looked up on the PATH) with args after its name. With
  // pipeCapacity > 0 its standard input is a pipe of about that many bytes;
  // otherwise /dev/null. False when the pipe or the process cannot be made.
  bool start(const char* program, const std::vector<std::string>& args, size_t pipeCapacity);

  // Writes all of data to the pipe; false once the child no longer reads
  // (the pipe is closed then).
  bool write(const unsigned char* data, size_t size);

  // Closes the pipe and waits for the child; true when it exited with 0.
  bool finish();

  bool isRunning() const { return pid_ > 0; }

 private:
  pid_t pid_ = -1;
  int pipe_ = -1;
};

// Runs program with args (no input) and waits; true when it exited with 0.
bool runProgram(const char* program, const std::vector<std::string>& args);

// Call first thing in main, before any thread or file exists. Where the
// kernel gives transparent huge pages only to memory that asks for them,
// starts this program again (same process, same arguments) with the C
// library's malloc asking for them; returns only when it does not (asked
// already, or told not to with glibc.malloc.hugetlb=0 in GLIBC_TUNABLES; the
// kernel has none or gives them to all memory; no /proc/self/exe; the exec
// failed). Under valgrind, set glibc.malloc.hugetlb=0 (or trace children):
// the restarted program would run outside it.
void restartWithHugePages(char** argv);

}  // namespace platform

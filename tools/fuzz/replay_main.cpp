// Replays a fuzz target's corpus without libFuzzer: replay_NAME PATH...
// Every file under each PATH (folders walked in name order) goes once through
// LLVMFuzzerTestOneInput, its name printed first, so that the last name
// printed is the input that failed. A sanitizer report, a failed check
// (abort, trap) or an input that runs longer than INPUT_SECONDS ends the run
// with a failure; so does a PATH that is missing or holds no file, so a
// corpus that went astray cannot pass unnoticed.
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

// A bound far above any input's decode, even under the sanitizers on a
// loaded machine, and far below ctest's limit for the whole run.
const unsigned INPUT_SECONDS = 10;

// Signal handlers may only write.
void onSignal(int signal) {
  const char* text = signal == SIGALRM ? "replay: the input above took too long\n"
                                       : "replay: the input above ended the target\n";
  ssize_t ignored = write(STDERR_FILENO, text, std::strlen(text));
  (void)ignored;
  _exit(1);
}

// The files under a path, in name order.
std::vector<std::string> filesUnder(const std::filesystem::path& path) {
  std::vector<std::string> files;
  std::error_code error;
  if (std::filesystem::is_regular_file(path, error)) return {path.string()};
  for (auto it = std::filesystem::recursive_directory_iterator(path, error);
       !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
    if (it->is_regular_file(error)) files.push_back(it->path().string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace

int main(int argc, char** argv) {
  for (int s : {SIGALRM, SIGABRT, SIGILL, SIGFPE}) signal(s, onSignal);
  int total = 0;
  for (int i = 1; i < argc; ++i) {
    const std::vector<std::string> files = filesUnder(argv[i]);
    if (files.empty()) {
      std::fprintf(stderr, "replay: no input under %s\n", argv[i]);
      return 1;
    }
    for (const std::string& file : files) {
      std::ifstream in(file, std::ios::binary);
      const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                       std::istreambuf_iterator<char>());
      std::fprintf(stderr, "replay: %s\n", file.c_str());
      alarm(INPUT_SECONDS);
      LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
      alarm(0);
    }
    std::printf("replay: %zu inputs from %s\n", files.size(), argv[i]);
    total += static_cast<int>(files.size());
  }
  std::printf("replay: %d inputs, no failure\n", total);
  return argc > 1 ? 0 : 1;
}

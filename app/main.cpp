// Process entry: the stop signals, GLUT start-up, the command line, the data folder, WinMain.
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/data_folder.h"
#include "app/options.h"
#include "app/win_main.h"
#include "platform/glut_init.h"
#include "platform/process.h"
#include "platform/signals.h"

// The path made absolute against the starting folder (empty stays empty).
static std::string absolutePath(const std::string& path) {
  if (path.empty() || path[0] == '/') return path;
  char cwd[PATH_MAX];
  if (!getcwd(cwd, sizeof cwd)) return path;
  return std::string(cwd) + "/" + path;
}

int main(int argc, char** argv) {
  platform::restartWithHugePages(argv);
  if (!platform::installStopSignals()) std::perror("parallaxis: cannot handle SIGINT and SIGTERM");
  platform::initGlut(&argc, argv);

  CommandLine cl = parseCommandLine(argc, argv);
  switch (cl.action) {
    case CommandLine::HELP: std::fputs(usageText(), stdout); return 0;
    case CommandLine::VERSION: std::printf("parallaxis %s\n", PARALLAXIS_VERSION); return 0;
    case CommandLine::ERROR:
      std::fprintf(stderr, "parallaxis: %s\n\n%s", cl.error.c_str(), usageText());
      return 2;
    case CommandLine::RUN: break;
  }
  Settings settings;
  settings.resolutionIndex = cl.resolutionIndex;
  settings.fullscreen = cl.fullscreen;
  settings.showFps = cl.showFps;
  settings.loopDemo = cl.loopDemo;
  RunOptions& runOptions = settings.runOptions;
  runOptions.settingsGiven = cl.settingsGiven;
  runOptions.startAt = cl.startAt;
  runOptions.captureDir = absolutePath(cl.captureDir);
  runOptions.captureFps = cl.captureFps;
  runOptions.captureTo = cl.captureTo;
  runOptions.capturePng = cl.capturePng;
  runOptions.benchmark = cl.benchmark;
  runOptions.benchmarkJson = absolutePath(cl.benchmarkJson);

  // Every loader reads paths relative to the data folder.
  const DataSearch data =
      findDataFolder(absolutePath(cl.dataDir), std::getenv("PARALLAXIS_DATA"), executableFolder());
  if (data.folder.empty()) {
    std::fprintf(stderr, "parallaxis: %s\n", dataSearchFailure(data).c_str());
    return 2;
  }
  if (chdir(data.folder.c_str()) != 0) {
    std::perror(("parallaxis: cannot enter " + data.folder).c_str());
    return 2;
  }
  const int exitCode = WinMain(nullptr, nullptr, nullptr, 0, settings);
  if (platform::stopSignal())
    std::fprintf(stderr, "parallaxis: ended by %s\n", platform::stopSignalName());
  return exitCode;
}

#include "app/options.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "app/settings.h"

const char* usageText() {
  return "usage: parallaxis [options]\n"
         "\n"
         "Without options the settings dialog chooses resolution and options.\n"
         "Any setting below skips the dialog.\n"
         "\n"
         "  --resolution WxH   640x480, 800x600, 1024x768 or 1600x1200\n"
         "  --fullscreen       full screen instead of a window\n"
         "  --show-fps         print the frame rate over every frame\n"
         "  --loop             start again at the end of the show\n"
         "  --start SECONDS    start the show clock there (0 to 185)\n"
         "  --capture DIR      render offline into DIR: parallaxis.mp4 and soundtrack.wav\n"
         "                     (without ffmpeg on the PATH: frame_000000.png ... instead)\n"
         "  --capture-png      with --capture: every frame as frame_000000.png ... too\n"
         "  --capture-fps N    frames per second of show time for --capture (default 60)\n"
         "  --to SECONDS       end the capture there (default: the end of the show)\n"
         "  --benchmark        time every scene and print a table (vsync off)\n"
         "  --json FILE        with --benchmark: write the figures as JSON too\n"
         "  --data DIR         read the data set from DIR (default: PARALLAXIS_DATA, else\n"
         "                     beside the program, else ../share/parallaxis from it)\n"
         "  --help             this text\n"
         "  --version          the program's version\n"
         "\n"
         "Keys during the show: ESC ends it, F1 switches between window and full screen.\n";
}

static CommandLine fail(CommandLine cl, const std::string& why) {
  cl.action = CommandLine::ERROR;
  cl.error = why;
  return cl;
}

// A finite number filling the whole text.
static bool parseNumber(const char* text, double* value) {
  char* end = nullptr;
  *value = std::strtod(text, &end);
  return end != text && *end == '\0' && std::isfinite(*value);
}

CommandLine parseCommandLine(int argc, char** argv) {
  CommandLine cl;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
      cl.action = CommandLine::HELP;
      return cl;
    } else if (std::strcmp(arg, "--version") == 0) {
      cl.action = CommandLine::VERSION;
      return cl;
    } else if (std::strcmp(arg, "--resolution") == 0) {
      if (!hasValue) return fail(cl, "--resolution needs a value such as 800x600");
      const char* value = argv[++i];
      int row = -1;
      for (int r = 0; r < RESOLUTION_COUNT; ++r)
        if (std::strcmp(value, resolutions[r].name) == 0) row = r;
      if (row < 0)
        return fail(cl, std::string("unsupported resolution '") + value +
                            "' (choose 640x480, 800x600, 1024x768 or 1600x1200)");
      cl.resolutionIndex = row;
      cl.settingsGiven = true;
    } else if (std::strcmp(arg, "--fullscreen") == 0) {
      cl.fullscreen = true;
      cl.settingsGiven = true;
    } else if (std::strcmp(arg, "--show-fps") == 0) {
      cl.showFps = true;
      cl.settingsGiven = true;
    } else if (std::strcmp(arg, "--loop") == 0) {
      cl.loopDemo = true;
      cl.settingsGiven = true;
    } else if (std::strcmp(arg, "--start") == 0) {
      if (!hasValue) return fail(cl, "--start needs a time in seconds");
      const char* value = argv[++i];
      if (!parseNumber(value, &cl.startAt) || cl.startAt < 0.0 || cl.startAt > 185.0)
        return fail(cl,
                    std::string("--start: '") + value + "' is not a time from 0 to 185 seconds");
      cl.settingsGiven = true;
    } else if (std::strcmp(arg, "--capture") == 0) {
      if (!hasValue || !*argv[i + 1]) return fail(cl, "--capture needs a directory");
      cl.captureDir = argv[++i];
      cl.settingsGiven = true;
    } else if (std::strcmp(arg, "--capture-png") == 0) {
      cl.capturePng = true;
    } else if (std::strcmp(arg, "--capture-fps") == 0) {
      if (!hasValue) return fail(cl, "--capture-fps needs a number of frames per second");
      const char* value = argv[++i];
      double fps = 0.0;
      if (!parseNumber(value, &fps) || fps < 1.0 || fps > 1000.0 || fps != std::floor(fps))
        return fail(
            cl, std::string("--capture-fps: '") + value + "' is not a whole number from 1 to 1000");
      cl.captureFps = static_cast<int>(fps);
    } else if (std::strcmp(arg, "--to") == 0) {
      if (!hasValue) return fail(cl, "--to needs a time in seconds");
      const char* value = argv[++i];
      if (!parseNumber(value, &cl.captureTo) || cl.captureTo < 0.0)
        return fail(cl, std::string("--to: '") + value + "' is not a time in seconds");
    } else if (std::strcmp(arg, "--json") == 0) {
      if (!hasValue || !*argv[i + 1]) return fail(cl, "--json needs a file name");
      cl.benchmarkJson = argv[++i];
    } else if (std::strcmp(arg, "--data") == 0) {
      if (!hasValue || !*argv[i + 1]) return fail(cl, "--data needs a directory");
      cl.dataDir = argv[++i];
    } else if (std::strcmp(arg, "--benchmark") == 0) {
      cl.benchmark = true;
      cl.settingsGiven = true;
    } else {
      return fail(cl, std::string("unknown option '") + arg + "'");
    }
  }
  if (!cl.benchmark && !cl.benchmarkJson.empty())
    return fail(cl, "--json only goes with --benchmark");
  if (cl.captureDir.empty() && cl.captureTo >= 0.0)
    return fail(cl, "--to only goes with --capture");
  if (cl.captureDir.empty() && cl.capturePng)
    return fail(cl, "--capture-png only goes with --capture");
  if (!cl.captureDir.empty() && cl.benchmark)
    return fail(cl, "--capture and --benchmark exclude each other");
  if (cl.captureTo >= 0.0 && cl.captureTo <= cl.startAt)
    return fail(cl, "--to must lie after --start");
  return cl;
}

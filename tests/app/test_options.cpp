#include <gtest/gtest.h>

#include <vector>

#include "app/options.h"

static CommandLine parse(std::vector<const char*> args) {
  args.insert(args.begin(), "parallaxis");
  return parseCommandLine(static_cast<int>(args.size()), const_cast<char**>(args.data()));
}

TEST(CommandLine, NoArgumentsKeepsTheDefaultsAndTheDialog) {
  CommandLine cl = parse({});
  EXPECT_EQ(cl.action, CommandLine::RUN);
  EXPECT_FALSE(cl.settingsGiven);
  EXPECT_EQ(cl.resolutionIndex, 0);
}

TEST(CommandLine, SettingsSkipTheDialog) {
  CommandLine cl = parse(
      {"--resolution", "1024x768", "--fullscreen", "--show-fps", "--loop", "--start", "40.5"});
  EXPECT_EQ(cl.action, CommandLine::RUN);
  EXPECT_TRUE(cl.settingsGiven);
  EXPECT_EQ(cl.resolutionIndex, 2);
  EXPECT_TRUE(cl.fullscreen && cl.showFps && cl.loopDemo);
  EXPECT_DOUBLE_EQ(cl.startAt, 40.5);
}

TEST(CommandLine, BadInputIsAnErrorWithAReason) {
  for (auto args : std::vector<std::vector<const char*>>{{"--resolution", "1280x720"},
                                                         {"--resolution"},
                                                         {"--start", "abc"},
                                                         {"--start", "-1"},
                                                         {"--start", "nan"},
                                                         {"--start", "200"},
                                                         {"--bogus"}}) {
    CommandLine cl = parse(args);
    EXPECT_EQ(cl.action, CommandLine::ERROR) << args[0];
    EXPECT_FALSE(cl.error.empty());
  }
}

TEST(CommandLine, CaptureOptions) {
  CommandLine cl =
      parse({"--capture", "out", "--capture-fps", "30", "--start", "10", "--to", "12"});
  EXPECT_EQ(cl.action, CommandLine::RUN);
  EXPECT_TRUE(cl.settingsGiven);
  EXPECT_EQ(cl.captureDir, "out");
  EXPECT_EQ(cl.captureFps, 30);
  EXPECT_DOUBLE_EQ(cl.captureTo, 12.0);
  EXPECT_EQ(parse({"--capture", "out"}).captureFps, 60);

  for (auto args :
       std::vector<std::vector<const char*>>{{"--capture", "o", "--capture-fps", "0"},
                                             {"--capture", "o", "--capture-fps", "2.5"},
                                             {"--capture", "o", "--to", "5", "--start", "6"},
                                             {"--to", "5"},
                                             {"--capture", "o", "--benchmark"},
                                             {"--capture", ""}}) {
    EXPECT_EQ(parse(args).action, CommandLine::ERROR) << args[0] << " " << args[1];
  }
}

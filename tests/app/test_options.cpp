#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/data_folder.h"
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
  for (auto args :
       std::vector<std::vector<const char*>>{{"--resolution", "1280x720"},
                                             {"--resolution"},
                                             {"--start", "abc"},
                                             {"--start", "-1"},
                                             {"--start", "nan"},
                                             {"--start", "200"},
                                             {"--data"},
                                             {"--data", ""},
                                             {"--bogus"},
                                             {"--capture", "o", "--capture-fps", "0"},
                                             {"--capture", "o", "--capture-fps", "2.5"},
                                             {"--capture", "o", "--to", "5", "--start", "6"},
                                             {"--to", "5"},
                                             {"--capture-png", "--start", "5"},
                                             {"--capture", "o", "--benchmark"},
                                             {"--capture", ""}}) {
    CommandLine cl = parse(args);
    EXPECT_EQ(cl.action, CommandLine::ERROR) << args[0] << " " << (args.size() > 1 ? args[1] : "");
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
  EXPECT_FALSE(cl.capturePng);
  EXPECT_EQ(parse({"--capture", "out"}).captureFps, 60);
  EXPECT_TRUE(parse({"--capture-png", "--capture", "out"}).capturePng);
}

TEST(CommandLine, DataFolderKeepsTheDialog) {
  CommandLine cl = parse({"--data", "/opt/show"});
  EXPECT_EQ(cl.action, CommandLine::RUN);
  EXPECT_EQ(cl.dataDir, "/opt/show");
  EXPECT_FALSE(cl.settingsGiven);
}

// A temporary tree: a build folder with the data beside its program, a
// prefix with the data in share/, and a folder that lacks one subfolder.
class DataFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/parallaxis-data-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root = pattern;
    for (const char* sub : {"textures", "models", "sounds", "cg_programs"}) {
      makeDirs(root + "/build/" + sub);
      makeDirs(root + "/prefix/share/parallaxis/" + sub);
      if (std::string(sub) != "cg_programs") makeDirs(root + "/partial/" + sub);
    }
    makeDirs(root + "/prefix/bin");
  }
  void TearDown() override { ASSERT_EQ(system(("rm -rf " + root).c_str()), 0); }
  static void makeDirs(const std::string& path) {
    ASSERT_EQ(system(("mkdir -p " + path).c_str()), 0);
  }
  std::string root;
};

TEST_F(DataFolder, SearchOrder) {
  const std::string build = root + "/build", prefixBin = root + "/prefix/bin/";
  const std::string share = prefixBin + "../share/parallaxis", partial = root + "/partial";
  struct Case {
    std::string option;
    const char* env;
    std::string exeDir;
    std::string found;
    size_t placesTried;
  } cases[] = {
      {"", nullptr, build + "/", build + "/", 1},     // a build tree
      {"", nullptr, prefixBin, share, 2},             // an installed or moved prefix
      {"", "", prefixBin, share, 2},                  // an empty variable is not given
      {"", build.c_str(), prefixBin, build, 1},       // the variable before the folders
      {build, partial.c_str(), prefixBin, build, 1},  // the option before the variable
      {partial, nullptr, build + "/", "", 1},         // a named folder is the only one
      {"", partial.c_str(), build + "/", "", 1},
      {"", nullptr, partial + "/", "", 2},  // a subfolder missing: no data
      {"", nullptr, "", "", 0},             // the program's folder unknown
  };
  for (const Case& c : cases) {
    const DataSearch search = findDataFolder(c.option, c.env, c.exeDir);
    EXPECT_EQ(search.folder, c.found)
        << c.option << " | " << (c.env ? c.env : "-") << " | " << c.exeDir;
    EXPECT_EQ(search.tried.size(), c.placesTried) << c.exeDir;
    if (c.found.empty()) {
      const std::string message = dataSearchFailure(search);
      for (const std::string& place : search.tried)
        EXPECT_NE(message.find(place), std::string::npos) << message;
    }
  }
}

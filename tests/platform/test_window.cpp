// The choice of a full-screen mode from what the display offers.
#include <gtest/gtest.h>

#include <vector>

#include "platform/window.h"

using platform::ModeSize;

TEST(FullscreenMode, ExactModeOrTheDisplaysOwnSizeWhenItCannotSwitch) {
  const ModeSize desktop{1280, 1024};
  struct Case {
    const char* what;
    std::vector<ModeSize> modes;
    int width, height;
    bool possible;
    ModeSize chosen;
  };
  const Case cases[] = {
      {"one mode, smaller asked", {{1280, 1024}}, 640, 480, true, {1280, 1024}},
      {"one mode, larger asked", {{1280, 1024}}, 1600, 1200, true, {1280, 1024}},
      {"no modes listed", {}, 800, 600, true, {1280, 1024}},
      {"the exact mode", {{1280, 1024}, {1024, 768}, {640, 480}}, 640, 480, true, {640, 480}},
      {"only larger modes", {{1280, 1024}, {1024, 768}}, 640, 480, false, {0, 0}},
      {"same width, other height", {{1280, 1024}, {640, 400}}, 640, 480, false, {0, 0}},
  };
  for (const Case& c : cases) {
    ModeSize chosen{0, 0};
    const bool possible = platform::chooseFullscreenSize(
        c.modes.data(), static_cast<int>(c.modes.size()), desktop, c.width, c.height, &chosen);
    EXPECT_EQ(possible, c.possible) << c.what;
    EXPECT_EQ(chosen.width, c.chosen.width) << c.what;
    EXPECT_EQ(chosen.height, c.chosen.height) << c.what;
  }
}

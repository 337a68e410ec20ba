#include <gtest/gtest.h>

#include <vector>

#include "app/show.h"
#include "engine/demo_timeline.h"
#include "engine/font_manager.h"
#include "platform/window.h"
#include "resources/texture_manager.h"
#include "scenes/evolution_text_scene.h"
#include "scenes/laser_scene.h"
#include "scenes/screen_scene.h"
#include "scenes/skull_skybox_scene.h"
#include "scenes/torus_knot_scene.h"
#include "scenes/words_scene.h"
#include "support/gl_test.h"

namespace {

// What had been built when a loading screen was presented.
struct Built {
  int fonts, textures;
};
std::vector<Built> atLoadingScreens;

void noteLoadingScreen(int, int) {
  atLoadingScreens.push_back(
      {FontManager::instance()->fontCount, TextureManager::instance()->textureCount()});
}

}  // namespace

// The show's own table, loaded for real: six scenes of their kinds in their
// windows, one loading screen presented before each load (seen by what the
// loads before it had built), the end at 185 s, and the frame-rate font only
// with "Show FPS".
TEST(ShowTimeline, SetupBuildsTheSixScenesBehindTheirLoadingScreens) {
  ASSERT_TRUE(openTestWindow(640, 480));
  for (bool withFps : {false, true}) {
    SCOPED_TRACE(withFps ? "with Show FPS" : "without Show FPS");
    const Built before = {FontManager::instance()->fontCount,
                          TextureManager::instance()->textureCount()};
    atLoadingScreens.clear();
    platform::setSwapHook(noteLoadingScreen);
    DemoTimeline tl;
    tl.window = &testWindow();
    tl.showFps = withFps;
    placeShow(tl);
    tl.setup();
    platform::setSwapHook(nullptr);

    EXPECT_NE(dynamic_cast<ScreenScene*>(tl.scenes[0]), nullptr);
    EXPECT_NE(dynamic_cast<WordsScene*>(tl.scenes[1]), nullptr);
    EXPECT_NE(dynamic_cast<TorusKnotScene*>(tl.scenes[2]), nullptr);
    EXPECT_NE(dynamic_cast<LaserScene*>(tl.scenes[3]), nullptr);
    EXPECT_NE(dynamic_cast<EvolutionTextScene*>(tl.scenes[4]), nullptr);
    EXPECT_NE(dynamic_cast<SkullSkyboxScene*>(tl.scenes[5]), nullptr);
    EXPECT_EQ(tl.scenes[6], nullptr);
    const float windows[6][2] = {{0, 40}, {40, 50}, {50, 85}, {85, 115}, {115, 150}, {150, 185}};
    for (int i = 0; i < 6; ++i) {
      EXPECT_EQ(tl.sceneWindows[i][0], windows[i][0]) << "entry " << i;
      EXPECT_EQ(tl.sceneWindows[i][1], windows[i][1]) << "entry " << i;
      EXPECT_EQ(tl.scenes[i]->duration(), windows[i][1] - windows[i][0]) << "entry " << i;
      EXPECT_EQ(tl.sceneFirstFrame[i], 1) << "entry " << i;
    }
    EXPECT_EQ(tl.showEndTime, 185.0);

    // The screen, words, laser and evolution scenes build fonts or textures
    // through the managers in their load; the knot and the skull load models.
    const bool buildsThroughManagers[6] = {true, true, false, true, true, false};
    ASSERT_EQ(atLoadingScreens.size(), 6u);
    EXPECT_EQ(atLoadingScreens[0].fonts, before.fonts + 1);  // the loading font alone
    EXPECT_EQ(atLoadingScreens[0].textures, before.textures);
    for (int i = 1; i < 6; ++i) {
      const int seen = atLoadingScreens[i].fonts + atLoadingScreens[i].textures;
      const int seenBefore = atLoadingScreens[i - 1].fonts + atLoadingScreens[i - 1].textures;
      if (buildsThroughManagers[i - 1])
        EXPECT_GT(seen, seenBefore) << "loading screen " << i;
      else
        EXPECT_EQ(seen, seenBefore) << "loading screen " << i;
    }
    const int fonts = FontManager::instance()->fontCount;
    if (withFps) {
      EXPECT_EQ(tl.fpsFont, fonts - 1);  // built last, after every scene's fonts
    } else {
      EXPECT_EQ(tl.fpsFont, -1);
    }
    tl.destroyScenes();
  }
}

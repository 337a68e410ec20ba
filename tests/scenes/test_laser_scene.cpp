// The laser scene: its game, phases, spin and zoom as numbers, and its
// frames on Mesa.
#include <gtest/gtest.h>

#include <GL/glew.h>

#include <algorithm>
#include <cmath>
#include <utility>

#include "platform/glut_init.h"
#include "scenes/laser_scene.h"
#include "support/gl_test.h"

namespace {

const double STEP = static_cast<double>(0.03f);
const double PADDLE = static_cast<double>(0.1f);

// The scene with its state in reach.
struct LaserProbe : LaserScene {
  using LaserScene::gameStep;
  using LaserScene::m_angleX;
  using LaserScene::m_angleY;
  using LaserScene::m_ballVX;
  using LaserScene::m_ballVY;
  using LaserScene::m_ballX;
  using LaserScene::m_ballY;
  using LaserScene::m_cameraDistance;
  using LaserScene::m_leftY;
  using LaserScene::m_rightY;
  using LaserScene::m_thinWidth;
  using LaserScene::resetGame;

  // Draws one frame at local time t.
  void frameAt(double t) {
    setLocalTime(t);
    draw();
  }
};

}  // namespace

TEST(LaserGame, PhaseBoundariesBelongToTheEarlierPhase) {
  const std::pair<double, int> cases[] = {{0.0, 1},       {7.0, 1},       {7.000001, 2},
                                          {13.0, 2},      {13.000001, 3}, {20.0, 3},
                                          {20.000001, 4}, {30.0, 4},      {30.000001, 0}};
  for (const auto& [t, phase] : cases) EXPECT_EQ(LaserScene::phaseAt(t), phase) << "t = " << t;
}

TEST(LaserGame, TheBallMovesAndThePaddleItHeadsForChasesIt) {
  LaserProbe game;
  game.resetGame();
  game.gameStep(1);
  EXPECT_EQ(game.m_ballX, STEP);
  EXPECT_EQ(game.m_ballY, STEP);
  EXPECT_EQ(game.m_rightY, PADDLE);  // below the ball: up by 0.1
  EXPECT_EQ(game.m_leftY, 0.0);
  game.gameStep(1);
  EXPECT_EQ(game.m_rightY, PADDLE - PADDLE);  // now above: back down

  // Heading left, the left paddle chases; at equal height it stays.
  game.m_ballVX = -STEP;
  game.m_ballY = 1.0 - STEP;
  game.m_leftY = 1.0;
  game.gameStep(1);
  EXPECT_EQ(game.m_leftY, 1.0);
  game.gameStep(1);
  EXPECT_EQ(game.m_leftY, 1.0 + PADDLE);

  // Factor 2 doubles the ball's step, not the paddle's.
  game.resetGame();
  game.gameStep(2);
  EXPECT_EQ(game.m_ballX, 2 * STEP);
  EXPECT_EQ(game.m_rightY, PADDLE);
}

TEST(LaserGame, TheBallTurnsAtTheWallsWhereverThePaddlesAre) {
  LaserProbe game;
  game.resetGame();
  game.m_rightY = -3;  // far from the ball: no collision test
  game.m_ballX = 3.8 - STEP;
  game.gameStep(1);
  EXPECT_EQ(game.m_ballVX, -STEP);  // at 3.8: turned
  game.m_ballX = -3.79;
  game.gameStep(1);
  EXPECT_EQ(game.m_ballVX, STEP);  // past -3.8: turned back
  game.m_ballX = 0;
  game.m_ballY = 3.49;
  game.gameStep(1);
  EXPECT_EQ(game.m_ballVY, -STEP);
  game.m_ballY = -3.47;
  game.gameStep(1);
  EXPECT_EQ(game.m_ballVY, -STEP);  // -3.5 not yet reached
  game.gameStep(1);
  EXPECT_EQ(game.m_ballVY, STEP);
}

TEST(LaserGame, TheSpinRunsToThreeSixtyAndStartsAgainAtAHalf) {
  double angle = 0;
  std::vector<double> used;
  for (int i = 0; i < 723; ++i) {
    used.push_back(angle);
    angle = LaserScene::nextAngle(angle);
  }
  EXPECT_EQ(used[1], 0.5);
  EXPECT_EQ(used[719], 359.5);
  EXPECT_EQ(used[720], 360.0);
  EXPECT_EQ(used[721], 0.5);
  EXPECT_EQ(used[722], 1.0);
}

class LaserSceneFrames : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    int argc = 1;
    char name[] = "test";
    char* argv[] = {name, nullptr};
    platform::initGlut(&argc, argv);
    ASSERT_TRUE(openTestWindow(640, 480));
    scene = new LaserProbe();
    ASSERT_TRUE(scene->load());
  }
  static LaserProbe* scene;
};
LaserProbe* LaserSceneFrames::scene = nullptr;

TEST_F(LaserSceneFrames, EachPhaseStepsTheGameAsItShould) {
  scene->init();
  scene->frameAt(7.0);
  EXPECT_EQ(scene->m_ballX, STEP);
  EXPECT_FALSE(glIsEnabled(GL_BLEND));  // phase 1 turns blending off for the ball
  scene->frameAt(10.0);
  EXPECT_EQ(scene->m_ballX, 2 * STEP);
  EXPECT_TRUE(glIsEnabled(GL_BLEND));  // later phases keep the lines' blending

  scene->frameAt(15.0);
  EXPECT_DOUBLE_EQ(scene->m_ballX, 4 * STEP);
  EXPECT_EQ(scene->m_angleY, 0.5);

  // Phase 4: the game stands, the camera closes in and stops at 0.8.
  const double x = scene->m_ballX, y = scene->m_ballY, left = scene->m_leftY;
  for (int i = 0; i < 45; ++i) scene->frameAt(25.0);
  EXPECT_GT(scene->m_cameraDistance, 0.9);
  scene->frameAt(25.0);
  EXPECT_DOUBLE_EQ(scene->m_cameraDistance, 0.800000000000002);
  for (int i = 0; i < 5; ++i) scene->frameAt(25.0);
  EXPECT_DOUBLE_EQ(scene->m_cameraDistance, 0.800000000000002);
  EXPECT_EQ(scene->m_ballX, x);
  EXPECT_EQ(scene->m_ballY, y);
  EXPECT_EQ(scene->m_leftY, left);
  EXPECT_EQ(scene->m_angleX, 26.0);  // the spin goes on
}

TEST_F(LaserSceneFrames, ThickPaddlesGlowAtTheSidesAroundTheBall) {
  scene->init();
  scene->frameAt(10.0);
  // x = -4 and +4 at distance 10 lie at 640 / 2 -+ 4 * 58 pixels.
  const int left = 320 - 232, right = 320 + 232;
  int leftRun = 0, rightRun = 0, elsewhere = 0;
  for (int x = 0; x < 640; ++x) {
    const bool glow = readPixel(x, 240).b > 40;
    if (glow && std::abs(x - left) < 40) ++leftRun;
    if (glow && std::abs(x - right) < 40) ++rightRun;
    if (glow && std::abs(x - left) >= 40 && std::abs(x - right) >= 40 && std::abs(x - 320) > 20)
      ++elsewhere;
  }
  // Width 0.7 glows about 0.7 * 58 = 41 pixels wide.
  EXPECT_NEAR(leftRun, 41, 8);
  EXPECT_NEAR(rightRun, 41, 8);
  EXPECT_EQ(elsewhere, 0);
  EXPECT_GT(readPixel(left, 240).b, 200);
  // The ball, lit, just off the centre.
  const Rgb ball = readPixel(320 + int(STEP * 58), 240);
  EXPECT_GT(ball.r, 60);
  EXPECT_NEAR(ball.r, ball.b, 10);
  glDepthMask(GL_TRUE);
}

TEST_F(LaserSceneFrames, AfterThirtySecondsOnlyTheClearedScreenRemains) {
  scene->init();
  scene->frameAt(10.0);
  scene->frameAt(30.5);
  EXPECT_TRUE(near(readPixel(88, 240), Rgb{0, 0, 0}, 0));
  EXPECT_TRUE(near(readPixel(320, 240), Rgb{0, 0, 0}, 0));
}

TEST_F(LaserSceneFrames, ThinPaddlesAreGlowingLasersWithAWhiteCore) {
  // Phase 1 at each size: a white core at least 3 pixels wide all along both
  // paddles, inside a coloured glow narrower than the thick paddles' 41 at
  // 640 x 480 (the glow keeps its share of the picture at any size).
  struct Size {
    int w, h;
  };
  for (const Size size : {Size{640, 480}, Size{1600, 1200}}) {
    ASSERT_TRUE(openTestWindow(size.w, size.h));
    scene->init();
    scene->frameAt(5.0);
    const double pixelsPerUnit = size.h / 2.0 / (10.0 * std::tan(22.5 * M_PI / 180.0));
    const int reach = 20 * size.h / 480, along = static_cast<int>(1.2 * pixelsPerUnit);
    for (const double paddleX : {-4.0, 4.0}) {
      const int column = static_cast<int>(size.w / 2 + paddleX * pixelsPerUnit);
      int narrowest = size.w, widest = 0;
      for (int y = size.h / 2 - along; y <= size.h / 2 + along; y += size.h / 48) {
        int core = 0, run = 0, glow = 0;
        for (int x = column - reach; x <= column + reach; ++x) {
          const Rgb p = readPixel(x, y);
          run = std::min({p.r, p.g, p.b}) >= 200 ? run + 1 : 0;
          core = std::max(core, run);
          glow += p.b > 40;
        }
        narrowest = std::min(narrowest, core);
        widest = std::max(widest, glow);
      }
      EXPECT_GE(narrowest, 3) << size.w << " x " << size.h << ", paddle at " << paddleX;
      EXPECT_LT(widest, 25 * size.h / 480)
          << size.w << " x " << size.h << ", paddle at " << paddleX;
    }
    glDepthMask(GL_TRUE);
  }
  ASSERT_TRUE(openTestWindow(640, 480));
}

// The torus-knot and skull-skybox scenes, drawn on Mesa and read back at the
// buffer swap (what the viewer is shown).
#include <gtest/gtest.h>

#include <GL/glew.h>
#include <GL/glu.h>
#include <IL/il.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "data/generator/writer_3ds.h"
#include "engine/gl_window.h"
#include "platform/glut_init.h"
#include "platform/window.h"
#include "scenes/skull_skybox_scene.h"
#include "scenes/torus_knot_scene.h"
#include "support/gl_test.h"
#include "support/shapes.h"

namespace {

// The frame in the back buffer at the last swap, bottom row first.
struct Presented {
  int swaps = 0;
  int width = 0, height = 0;
  std::vector<unsigned char> rgb;
  Rgb at(int x, int y) const {
    const unsigned char* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
    return Rgb{p[0], p[1], p[2]};
  }
};
Presented presented;

void grabFrame(int width, int height) {
  presented.swaps += 1;
  presented.width = width;
  presented.height = height;
  presented.rgb.resize(static_cast<size_t>(width) * height * 3);
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, presented.rgb.data());
}

// Makes the real window width x height (not only the viewport), as the
// scenes see it at that resolution.
bool windowOfSize(int width, int height) {
  if (!openTestWindow(width, height)) return false;
  GLWindow& window = testWindow();
  if (!platform::setWindowMode(window.hWnd, false, width, height)) return false;
  resizeGLScene(window, width, height);
  int w = 0, h = 0;
  platform::getClientSize(window.hWnd, &w, &h);
  return w == width && h == height;
}

void startGlut() {
  int argc = 1;
  char name[] = "test_scenes";
  char* argv[] = {name, nullptr};
  platform::initGlut(&argc, argv);
}

// A solid 64 x 64 JPEG.
void writeJpeg(const std::string& path, unsigned char r, unsigned char g, unsigned char b) {
  std::vector<unsigned char> rgb(64 * 64 * 3);
  for (size_t i = 0; i < rgb.size(); i += 3) {
    rgb[i] = r;
    rgb[i + 1] = g;
    rgb[i + 2] = b;
  }
  ILuint image = 0;
  ilGenImages(1, &image);
  ilBindImage(image);
  ASSERT_TRUE(ilTexImage(64, 64, 1, 3, IL_RGB, IL_UNSIGNED_BYTE, rgb.data()));
  ilEnable(IL_FILE_OVERWRITE);
  ASSERT_TRUE(ilSave(IL_JPG, path.c_str()));
  ilDeleteImages(1, &image);
}

// The sky's colours as drawn: lighting may dim them, the hue stays.
bool cyan(const Rgb& p) { return p.r < 30 && p.g > 150 && std::abs(p.g - p.b) < 12; }
bool magenta(const Rgb& p) { return p.g < 30 && p.r > 150 && std::abs(p.r - p.b) < 12; }
bool blue(const Rgb& p) { return p.r < 30 && p.g < 30 && p.b > 150; }

}  // namespace

TEST(TorusKnotScene, TurnsOneDegreePerFrameAndShows360Once) {
  ASSERT_TRUE(openTestWindow(640, 480));
  TorusKnotScene scene;  // not loaded: the empty model keeps this quick
  scene.init();
  for (int frame = 0; frame <= 361; ++frame) {
    const double expected = frame <= 360 ? frame : frame - 360;
    ASSERT_EQ(scene.shownAngleX(), expected) << "frame " << frame;
    ASSERT_EQ(scene.shownAngleY(), expected) << "frame " << frame;
    scene.draw();
  }
}

// Where an object point of the knot lands in the window under the modelview
// matrix m (the window's own projection and viewport).
struct WindowPoint {
  double x, y;
};
WindowPoint project(const double m[16], double x, double y, double z) {
  double projection[16];
  int viewport[4];
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  glGetIntegerv(GL_VIEWPORT, viewport);
  WindowPoint p{0, 0};
  double depth = 0;
  gluProject(x, y, z, m, projection, viewport, &p.x, &p.y, &depth);
  return p;
}

// The camera on +z 80 looks at (0, 3, 0): that point is the middle of the
// picture and the knot's centre lies 240 x (3 / 80) / tan 22.5 = 21.73 lines
// below it. The knot turns about the (1, 0, 1) diagonal, then about x.
TEST(TorusKnotScene, LooksAtItsTargetAndTurnsAboutTheDiagonal) {
  ASSERT_TRUE(windowOfSize(640, 480));
  TorusKnotScene scene;
  scene.init();
  scene.draw();  // shows 0 degrees
  double first[16], turned[16];
  glGetDoublev(GL_MODELVIEW_MATRIX, first);
  for (int frame = 1; frame <= 90; ++frame) scene.draw();  // the last shows 90
  glGetDoublev(GL_MODELVIEW_MATRIX, turned);

  const WindowPoint target = project(first, 0, 3, 0), centre = project(first, 0, 0, 0);
  EXPECT_NEAR(target.x, 320.0, 0.01);
  EXPECT_NEAR(target.y, 240.0, 0.01);
  EXPECT_NEAR(centre.x, 320.0, 0.01);
  EXPECT_NEAR(centre.y, 240.0 - 21.73, 0.05);

  // (s, t) of a turned point against where the unturned knot shows (u, v, w).
  struct Case {
    double x, y, z, u, v, w;
  };
  const double h = std::sqrt(0.5);
  const Case cases[] = {
      {1, 0, 1, 1, -1, 0},          // on the diagonal: only the x turn moves it
      {0, 1, 0, -h, -h, 0},         // diagonal to (-h, 0, h), then x to (-h, -h, 0)
      {0, 0, 2, 1, -1, -1.414214},  // diagonal to (1, -1.414, 1), then x
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << " " << c.y << " " << c.z);
    const WindowPoint got = project(turned, c.x, c.y, c.z);
    const WindowPoint want = project(first, c.u, c.v, c.w);
    EXPECT_NEAR(got.x, want.x, 0.05);
    EXPECT_NEAR(got.y, want.y, 0.05);
  }
}

TEST(TorusKnotScene, FirstFrameShowsTheOutlinedKnotInTheMiddle) {
  ASSERT_TRUE(windowOfSize(640, 480));
  TorusKnotScene scene;
  scene.setWindow(&testWindow());
  scene.load();
  scene.init();
  presented = Presented();
  platform::setSwapHook(grabFrame);
  scene.draw();
  scene.present();
  platform::setSwapHook(nullptr);
  ASSERT_EQ(presented.swaps, 1);

  int minX = 640, maxX = -1, minY = 480, maxY = -1, green = 0, orange = 0, other = 0;
  for (int y = 0; y < 480; ++y) {
    for (int x = 0; x < 640; ++x) {
      const Rgb p = presented.at(x, y);
      if (p.r + p.g + p.b < 30) continue;
      minX = std::min(minX, x);
      maxX = std::max(maxX, x);
      minY = std::min(minY, y);
      maxY = std::max(maxY, y);
      if (p.g > 2 * p.r && p.g > 2 * p.b)
        ++green;
      else if (p.r >= p.g && p.g >= p.b)
        ++orange;
      else
        ++other;
    }
  }
  // The knot fills much of the height without touching the edges.
  EXPECT_GT(maxY - minY, 480 / 2);
  EXPECT_GT(minY, 0);
  EXPECT_LT(maxY, 479);
  EXPECT_NEAR((minX + maxX) / 2.0, 320.0, 20.0);
  EXPECT_GT(orange, 40000);
  EXPECT_GT(green, 1000);
  EXPECT_LT(other, green / 4);  // only anti-aliased rim pixels mix the two
}

class SkullScene : public testing::Test {
 protected:
  // A world of known colours: each sky side its own colour, a grey earth,
  // and a red ball as the skull.
  void SetUp() override {
    getcwd(home, sizeof home);
    dir = testing::TempDir() + "skull_scene";
    ASSERT_EQ(system(("mkdir -p " + dir + "/textures " + dir + "/models").c_str()), 0);
    ASSERT_EQ(chdir(dir.c_str()), 0);
    ilInit();
    writeJpeg("textures/dn.jpg", 255, 0, 0);
    writeJpeg("textures/up.jpg", 0, 0, 255);
    writeJpeg("textures/lt.jpg", 0, 255, 0);
    writeJpeg("textures/rt.jpg", 255, 255, 0);
    writeJpeg("textures/bk.jpg", 255, 0, 255);
    writeJpeg("textures/ft.jpg", 0, 255, 255);
    writeJpeg("textures/earth.jpg", 128, 128, 128);
    writer3ds::Material red;
    red.name = "red";
    red.colour[1] = red.colour[2] = 0;
    ASSERT_TRUE(writer3ds::writeFile(
        "models/skull.3ds", writer3ds::encodeModel({red}, {sphereObject(0, 0, 1, "red", 32, 48)})));
    startGlut();
  }
  void TearDown() override {
    platform::setSwapHook(nullptr);
    ASSERT_EQ(chdir(home), 0);
  }

  // Three frames at width x height; returns the six cube-map faces after them.
  std::vector<std::vector<unsigned char>> run(int width, int height) {
    EXPECT_TRUE(windowOfSize(width, height));
    SkullSkyboxScene scene;
    scene.setWindow(&testWindow());
    scene.load();
    scene.init();
    presented = Presented();
    platform::setSwapHook(grabFrame);
    glPolygonMode(GL_BACK, GL_LINE);  // as the cel style of the scene before leaves it
    for (int frame = 0; frame < 3; ++frame) {
      scene.draw();
      scene.present();
    }
    platform::setSwapHook(nullptr);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    std::vector<std::vector<unsigned char>> faces(6, std::vector<unsigned char>(512 * 512 * 3));
    glBindTexture(GL_TEXTURE_CUBE_MAP, scene.cubeMapTexture());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    for (int i = 0; i < 6; ++i) {
      glGetTexImage(GL_TEXTURE_CUBE_MAP_POSITIVE_X + i, 0, GL_RGB, GL_UNSIGNED_BYTE,
                    faces[i].data());
    }
    framebuffer = scene.offScreenFramebuffer();
    return faces;
  }

  char home[4096] = {};
  std::string dir;
  unsigned int framebuffer = 0;  // the last run's off-screen buffer
};

TEST_F(SkullScene, TheSkullReflectsTheSkySeenFromWithinAtBothResolutions) {
  std::vector<std::vector<unsigned char>> large = run(1024, 768);
  // One swap per frame: draw presents, present does nothing.
  EXPECT_EQ(presented.swaps, 3);
  // Behind the skull: the far side of the sky (front), not the near side.
  EXPECT_TRUE(cyan(presented.at(100, 100)));
  EXPECT_TRUE(cyan(presented.at(924, 668)));
  // The ball's middle looks along +z at the back side of the sky; its top
  // looks up. Its own red material never shows.
  EXPECT_TRUE(magenta(presented.at(512, 384)));
  EXPECT_TRUE(blue(presented.at(512, 384 + 185)));
  // The texture state is back after the draw.
  GLint mode = 0;
  glGetTexGeniv(GL_S, GL_TEXTURE_GEN_MODE, &mode);
  EXPECT_EQ(mode, GL_REFLECTION_MAP);
  glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
  EXPECT_NE(mode, GL_REPLACE);

  std::vector<std::vector<unsigned char>> small = run(640, 480);
  // The off-screen buffer went with the scene.
  EXPECT_NE(framebuffer, 0u);
  EXPECT_FALSE(glIsFramebuffer(framebuffer));
  EXPECT_TRUE(cyan(presented.at(60, 60)));
  EXPECT_TRUE(magenta(presented.at(320, 240)));
  // The faces made in a window too small for them match the large window's,
  // also in the rows above 480.
  for (int face = 0; face < 6; ++face) {
    long difference = 0, top = 0;
    for (size_t i = 0; i < large[face].size(); ++i) {
      const int d = std::abs(large[face][i] - small[face][i]);
      difference += d;
      if (i >= static_cast<size_t>(480 * 512 * 3)) top += d;
    }
    EXPECT_LT(difference / static_cast<double>(large[face].size()), 1.0) << "face " << face;
    EXPECT_LT(top / static_cast<double>(32 * 512 * 3), 1.0) << "face " << face;
  }
}

// The sky goes in after the skull only where the depth test hides it there:
// a first frame that finds the depth test off, as a scene before may leave
// it, still shows the skull over the sky.
TEST_F(SkullScene, TheSkullStaysInFrontOfTheSkyWithoutADepthTest) {
  ASSERT_TRUE(windowOfSize(640, 480));
  SkullSkyboxScene scene;
  scene.setWindow(&testWindow());
  scene.load();
  scene.init();
  presented = Presented();
  platform::setSwapHook(grabFrame);
  for (int frame = 0; frame < 3; ++frame) scene.draw();
  EXPECT_TRUE(magenta(presented.at(320, 240)));
  EXPECT_TRUE(cyan(presented.at(60, 60)));
  glDisable(GL_DEPTH_TEST);
  scene.draw();
  EXPECT_TRUE(magenta(presented.at(320, 240)));
  EXPECT_TRUE(cyan(presented.at(60, 60)));
  platform::setSwapHook(nullptr);
}

// The faces are redrawn only where the earths are or were; frame by frame
// they must equal faces rendered whole, in both render targets.
TEST_F(SkullScene, FacesRedrawnAroundTheEarthsEqualWholeRenderings) {
  for (const int width : {640, 1024}) {
    ASSERT_TRUE(windowOfSize(width, width * 3 / 4));
    SkullSkyboxScene partial, whole;
    for (SkullSkyboxScene* s : {&partial, &whole}) {
      s->setWindow(&testWindow());
      s->load();
      s->init();
    }
    std::vector<unsigned char> a(512 * 512 * 3), b(a.size());
    std::vector<std::vector<unsigned char>> before(6);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    long moved = 0;  // pixels that changed from one frame to the next
    // 100 frames take the inner earth once round and the outer one half.
    for (int frame = 0; frame < 100; ++frame) {
      partial.draw();
      whole.invalidateCubeMap();
      whole.draw();
      for (int face = 0; face < 6; ++face) {
        glBindTexture(GL_TEXTURE_CUBE_MAP, partial.cubeMapTexture());
        glGetTexImage(GL_TEXTURE_CUBE_MAP_POSITIVE_X + face, 0, GL_RGB, GL_UNSIGNED_BYTE, a.data());
        glBindTexture(GL_TEXTURE_CUBE_MAP, whole.cubeMapTexture());
        glGetTexImage(GL_TEXTURE_CUBE_MAP_POSITIVE_X + face, 0, GL_RGB, GL_UNSIGNED_BYTE, b.data());
        ASSERT_EQ(a, b) << "frame " << frame << ", face " << face << ", width " << width;
        if (!before[face].empty())
          for (size_t i = 0; i < a.size(); ++i) moved += a[i] != before[face][i];
        before[face] = a;
      }
    }
    EXPECT_GT(moved, 100000);  // the earths went through the faces
  }
}

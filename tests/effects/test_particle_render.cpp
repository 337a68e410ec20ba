#include <GL/glew.h>
#include <gtest/gtest.h>

#include "effects/particle_system.h"
#include "support/gl_test.h"

namespace {

const Rgb BLACK{0, 0, 0};
const Rgb RED{255, 0, 0};
const Rgb GREEN{0, 255, 0};

// A 200 x 200 window looking at -2..2 in x and y (50 pixels per unit), with
// a 2 x 1 texture, red on the left and green on the right, bound for drawing.
class ParticleRender : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!openTestWindow(200, 200)) GTEST_SKIP() << "no display";
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-2, 2, -2, 2, -10, 10);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);

    const unsigned char texels[] = {255, 0, 0, 0, 255, 0};
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 2, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, texels);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnable(GL_TEXTURE_2D);

    ps.textureId = texture;
    ps.velocityVariation = 0.0f;
    ps.lifetime = 100.0f;
    ps.update(1.5f);  // one particle at the emitter, the origin
  }
  void TearDown() override {
    glDisable(GL_TEXTURE_2D);
    glDeleteTextures(1, &texture);
  }
  GLuint texture = 0;
  ParticleSystem ps;
};

}  // namespace

TEST_F(ParticleRender, QuadFacesTheViewerWhateverTheModelview) {
  // Turned a quarter about y: a quad in the object's xy plane would be a line.
  glRotatef(90.0f, 0.0f, 1.0f, 0.0f);
  ps.size = 150.0f;  // a side of 1 unit: 50 pixels
  ps.render();

  EXPECT_TRUE(near(readPixel(80, 100), RED, 8));  // texture s = 0 on the viewer's left
  EXPECT_TRUE(near(readPixel(119, 100), GREEN, 8));
  EXPECT_TRUE(near(readPixel(90, 120), RED, 8));
  EXPECT_TRUE(near(readPixel(110, 80), GREEN, 8));
  EXPECT_TRUE(near(readPixel(100, 130), BLACK, 0));
  EXPECT_TRUE(near(readPixel(70, 100), BLACK, 0));
  EXPECT_TRUE(near(readPixel(130, 100), BLACK, 0));
  EXPECT_FALSE(glIsEnabled(GL_BLEND));

  // The colour tints the picture.
  ps.color = Vector3(0.5f, 0.0f, 1.0f);
  ps.render();
  EXPECT_TRUE(near(readPixel(85, 100), Rgb{128, 0, 0}, 2));
  EXPECT_TRUE(near(readPixel(115, 100), BLACK, 0));  // green times no green
}

TEST_F(ParticleRender, PointSpriteIsClampedToAQuarterOfItsSize) {
  ps.renderMode = RENDER_POINT_SPRITES;
  ps.size = 40.0f;  // at most 10 pixels across
  ps.render();

  EXPECT_TRUE(near(readPixel(97, 100), RED, 8));  // coordinates replaced across the sprite
  EXPECT_TRUE(near(readPixel(102, 100), GREEN, 8));
  EXPECT_TRUE(near(readPixel(100, 103), GREEN, 8));
  EXPECT_TRUE(near(readPixel(92, 100), BLACK, 0));
  EXPECT_TRUE(near(readPixel(108, 100), BLACK, 0));
  EXPECT_TRUE(near(readPixel(100, 108), BLACK, 0));
  EXPECT_FALSE(glIsEnabled(GL_POINT_SPRITE_ARB));

  glClear(GL_COLOR_BUFFER_BIT);
  ps.renderMode = 2;  // no such mode: nothing drawn
  ps.render();
  EXPECT_TRUE(near(readPixel(100, 100), BLACK, 0));
}

TEST_F(ParticleRender, InitSucceedsWithoutItsImageAndSetsTheLargestPointSize) {
  ParticleSystem fresh;
  fresh.setTextureFile("textures/no-such-particle.bmp");
  EXPECT_TRUE(fresh.init());
  EXPECT_EQ(fresh.textureId, NO_TEXTURE);
  GLfloat largest = 0.0f, current = 0.0f;
  glGetFloatv(GL_POINT_SIZE_MAX_ARB, &largest);
  glGetFloatv(GL_POINT_SIZE, &current);
  EXPECT_GT(fresh.maxPointSize, 1.0f);
  EXPECT_EQ(fresh.maxPointSize, largest);
  EXPECT_EQ(current, largest);
}

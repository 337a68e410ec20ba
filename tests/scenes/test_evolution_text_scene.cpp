#include <gtest/gtest.h>

#include <GL/glew.h>

#include <GL/freeglut.h>
#include <GL/glu.h>

#include <cmath>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "engine/loading_screen.h"
#include "platform/glut_init.h"
#include "resources/texture_manager.h"
#include "scenes/evolution_text_scene.h"
#include "support/gl_test.h"

// One frame of the letter stream as the scene runs it: a possible new letter,
// then every travelling letter one step on.
static void streamFrame(LetterStream& stream) {
  stream.emitLetter();
  for (int i = LETTER_SLOTS - 1; i >= 0; --i)
    if (stream.slots[i].position > 0) stream.advance(i);
}

static int travelling(const LetterStream& stream) {
  int count = 0;
  for (const LetterSlot& slot : stream.slots) count += slot.position > 0;
  return count;
}

TEST(EvolutionTextPath, TableEntriesAroundTheEllipse) {
  LetterStream stream;
  stream.reset();
  const int expected[][3] = {
      {0, 0, 30}, {3, 15, 29}, {90, 299, -70}, {180, 0, -169}, {270, -299, -70}};
  for (const auto& e : expected) {
    EXPECT_EQ(stream.pathX[e[0]], e[1]) << "v = " << e[0];
    EXPECT_EQ(stream.pathY[e[0]], e[2]) << "v = " << e[0];
  }
  // Clockwise on screen: from the top (v = 0) to the right (v = 90).
  EXPECT_GT(stream.pathX[45], 0);
  EXPECT_LT(stream.pathY[45], stream.pathY[0]);
}

TEST(EvolutionTextStream, FirstLetterIsIOnFrame22AtPosition3) {
  LetterStream stream;
  stream.reset();
  for (int frame = 1; frame <= 21; ++frame) {
    streamFrame(stream);
    ASSERT_EQ(travelling(stream), 0) << "frame " << frame;
  }
  stream.emitLetter();  // frame 22
  EXPECT_EQ(stream.slots[0].position, 3);
  EXPECT_EQ(stream.slots[0].letter, 'I');
  EXPECT_EQ(travelling(stream), 1);
}

TEST(EvolutionTextStream, ClosingQuoteIsSkippedAfterThe73Dots) {
  const std::string text = EVOLUTION_TEXT;
  ASSERT_EQ(text.back(), '"');
  const std::string body = text.substr(0, text.size() - 1);
  const size_t words = body.find_last_not_of('.') + 1;
  EXPECT_EQ(body.substr(0, words).substr(words - 9), "even more");
  EXPECT_EQ(body.size() - words, 73u);

  LetterStream stream;
  stream.reset();
  std::string shown;
  while (shown.size() < body.size() + 2) {
    const int before = travelling(stream);
    stream.emitLetter();
    for (const LetterSlot& slot : stream.slots)
      if (slot.position == 3 && travelling(stream) > before) shown += slot.letter;
    for (int i = LETTER_SLOTS - 1; i >= 0; --i)
      if (stream.slots[i].position > 0) stream.advance(i);
  }
  EXPECT_EQ(shown.substr(0, body.size()), body);
  EXPECT_EQ(shown.substr(body.size()), "In");
  EXPECT_EQ(shown.find('"'), std::string::npos);
}

TEST(EvolutionTextStream, SlotFreesAfter357FramesAndAtMost17Travel) {
  LetterStream stream;
  stream.reset();
  int mostTravelling = 0;
  int slot0Frames = 0;
  std::set<int> slotsUsed;
  for (int frame = 1; frame <= 22 + 357; ++frame) {
    stream.emitLetter();
    for (int i = 0; i < LETTER_SLOTS; ++i)
      if (stream.slots[i].position > 0) slotsUsed.insert(i);
    if (frame <= 22 + 356) slot0Frames += stream.slots[0].position > 0;
    mostTravelling = std::max(mostTravelling, travelling(stream));
    for (int i = LETTER_SLOTS - 1; i >= 0; --i)
      if (stream.slots[i].position > 0) stream.advance(i);
  }
  // The first letter was drawn on frames 22 to 378 and its slot is free again,
  // and on frame 379 the 18th letter takes it.
  EXPECT_EQ(slot0Frames, 357);
  EXPECT_EQ(stream.slots[0].position, 4);
  EXPECT_EQ(mostTravelling, 17);
  EXPECT_EQ(slotsUsed.size(), 17u);
  for (int frame = 0; frame < 2000; ++frame) {
    streamFrame(stream);
    ASSERT_LE(travelling(stream), 17);
  }
}

TEST(EvolutionTextSphere, StyleChangesJustAfterEachBoundary) {
  EXPECT_EQ(sphereStyle(0.0), SphereStyle::LIT);
  EXPECT_EQ(sphereStyle(5.0), SphereStyle::LIT);
  EXPECT_EQ(sphereStyle(std::nextafter(5.0, 6.0)), SphereStyle::FLAT_DISC);
  EXPECT_EQ(sphereStyle(10.0), SphereStyle::FLAT_DISC);
  EXPECT_EQ(sphereStyle(std::nextafter(10.0, 11.0)), SphereStyle::WIRE_FRAME);
  EXPECT_EQ(sphereStyle(15.0), SphereStyle::WIRE_FRAME);
  EXPECT_EQ(sphereStyle(15.01), SphereStyle::FACETS);
  EXPECT_EQ(sphereStyle(20.0), SphereStyle::FACETS);
  EXPECT_EQ(sphereStyle(20.01), SphereStyle::LIT);
  EXPECT_EQ(sphereStyle(34.9), SphereStyle::LIT);
}

TEST(EvolutionTextBlur, CopyRectangleAtEachResolution) {
  struct Case {
    int w, h, x, y, bottom, top;
  };
  const Case cases[] = {{640, 480, 64, -16, 16, 496},
                        {800, 600, 144, 44, 0, 512},
                        {1024, 768, 256, 128, 0, 512},
                        {1600, 1200, 544, 344, 0, 512}};
  for (const Case& c : cases) {
    const BlurCopyRect r = blurCopyRect(c.w, c.h, c.w, c.h);
    EXPECT_EQ(std::make_tuple(r.x, r.y, r.left, r.right, r.bottom, r.top),
              std::make_tuple(c.x, c.y, 0, 512, c.bottom, c.top))
        << c.w;
  }
  // A frame buffer smaller than the chosen screen covers less of the copy;
  // one beside the copy covers nothing.
  const BlurCopyRect small = blurCopyRect(1024, 768, 500, 300);
  EXPECT_EQ(small.right, 500 - 256);
  EXPECT_EQ(small.top, 300 - 128);
  const BlurCopyRect none = blurCopyRect(1024, 768, 100, 100);
  EXPECT_EQ(none.right, none.left);
  EXPECT_EQ(none.top, none.bottom);
}

// Rendering: the real scene in the real window, pixels read back.
class EvolutionTextRender : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!openTestWindow(640, 480)) GTEST_SKIP() << "no display";
    if (!glutGet(GLUT_INIT_STATE)) {
      int argc = 1;
      char name[] = "test_scenes";
      char* argv[] = {name, nullptr};
      platform::initGlut(&argc, argv);
    }
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const std::set<unsigned int> before = textureNames();
    scene.setWindow(&testWindow());
    scene.init();
    for (unsigned int name : textureNames())
      if (!before.count(name)) blurTexture = name;
  }

  static std::set<unsigned int> textureNames() {
    std::set<unsigned int> names;
    TextureManager* manager = TextureManager::instance();
    for (int i = 0; i < manager->capacity(); ++i)
      if (manager->slot(i) != NO_TEXTURE) names.insert(manager->slot(i));
    return names;
  }

  void drawAt(double t) {
    scene.setLocalTime(t);
    scene.draw();
  }

  EvolutionTextScene scene;
  unsigned int blurTexture = NO_TEXTURE;
};

TEST_F(EvolutionTextRender, SphereIsAFlatDiscAtTenThenAWireFrame) {
  // The sphere (radius 0.2, one unit in front of the eye) covers about 118
  // pixels around the centre of the 640 x 480 window.
  const int cx = 320, cy = 240;
  drawAt(10.0);
  for (int d = -100; d <= 100; d += 10) {
    EXPECT_TRUE(near(readPixel(cx + d, cy), Rgb{255, 255, 255}, 0)) << "x offset " << d;
    EXPECT_TRUE(near(readPixel(cx, cy + d), Rgb{255, 255, 255}, 0)) << "y offset " << d;
  }
  EXPECT_TRUE(near(readPixel(cx + 140, cy), Rgb{0, 0, 0}, 0));

  drawAt(10.01);
  int white = 0, black = 0;
  for (int y = cy - 98; y <= cy + 98; y += 7)
    for (int x = cx - 98; x <= cx + 98; x += 7) {
      if ((x - cx) * (x - cx) + (y - cy) * (y - cy) > 100 * 100) continue;
      const Rgb p = readPixel(x, y);
      white += p.r > 200;
      black += p.r < 50;
    }
  // Lines with black between them all over the disc.
  EXPECT_GT(white, 20);
  EXPECT_GT(black, 200);
}

TEST_F(EvolutionTextRender, FirstLetterIsAGreenGlyphBesideTheSphere) {
  scene.load();
  // Frame 22 starts the "I" at path position 3, behind the sphere; on frame
  // 64 it is drawn at position 45, to the right of it.
  // Each frame is followed by the frame-rate overlay, which leaves lighting on
  // (its state, not its text, matters here: no font is built).
  for (int frame = 1; frame <= 64; ++frame) {
    drawAt(1.0);
    drawFpsOverlay(-1, 60);
  }
  LetterStream path;
  path.reset();
  GLdouble model[16], projection[16];
  GLint viewport[4];
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glGetDoublev(GL_MODELVIEW_MATRIX, model);
  glPopMatrix();
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  glGetIntegerv(GL_VIEWPORT, viewport);
  GLdouble x = 0, y = 0, z = 0;
  gluProject(path.pathX[45] / 36.0, path.pathY[45] / 36.0, -20.0, model, projection, viewport, &x,
             &y, &z);
  // The glyph stands on its origin: about 20 pixels tall and a few wide.
  int green = 0, other = 0;
  for (int py = static_cast<int>(y) - 4; py <= static_cast<int>(y) + 30; ++py)
    for (int px = static_cast<int>(x) - 4; px <= static_cast<int>(x) + 20; ++px) {
      const Rgb p = readPixel(px, py);
      if (near(p, Rgb{0, 255, 0}, 8))
        ++green;
      else if (!near(p, Rgb{0, 0, 0}, 8))
        ++other;
    }
  EXPECT_GT(green, 60);
  EXPECT_LT(other, green / 4);
  // Nothing green far from the glyph, above the ellipse.
  EXPECT_TRUE(near(readPixel(static_cast<int>(x), static_cast<int>(y) + 120), Rgb{0, 0, 0}, 0));
}

TEST_F(EvolutionTextRender, BlurCopyOutsideTheFrameBufferIsBlack) {
  ASSERT_NE(blurTexture, NO_TEXTURE);
  drawAt(31.0);
  // Leave something that is not black in the whole copy, as an earlier frame
  // at another size could have.
  std::vector<unsigned char> red(512 * 512 * 3);
  for (size_t i = 0; i < red.size(); i += 3) red[i] = 255;
  glBindTexture(GL_TEXTURE_2D, blurTexture);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 512, 512, GL_RGB, GL_UNSIGNED_BYTE, red.data());
  glBindTexture(GL_TEXTURE_2D, 0);

  drawAt(31.0);
  // At 640 x 480 the copy starts at (64, -16): its 16 rows below and above
  // the window have no pixels and must be black.
  std::vector<unsigned char> copy(512 * 512 * 3);
  glBindTexture(GL_TEXTURE_2D, blurTexture);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, copy.data());
  glBindTexture(GL_TEXTURE_2D, 0);
  auto texel = [&](int x, int y) {
    const unsigned char* p = &copy[(static_cast<size_t>(y) * 512 + x) * 3];
    return Rgb{p[0], p[1], p[2]};
  };
  for (int y : {0, 8, 15, 496, 503, 511})
    for (int x : {0, 100, 256, 511})
      EXPECT_TRUE(near(texel(x, y), Rgb{0, 0, 0}, 0)) << x << "," << y;
  // Inside the window the copy holds the frame: the sphere in the middle,
  // black sky around it.
  EXPECT_GT(texel(256, 256).r, 60);
  EXPECT_TRUE(near(texel(256, 16), Rgb{0, 0, 0}, 0));
}

TEST_F(EvolutionTextRender, BlurShowsWithFaceCullingLeftOn) {
  // The scene before this one leaves face culling on; the blur must show
  // whatever the winding of its layers.
  glEnable(GL_CULL_FACE);
  drawAt(29.0);
  // Unblurred, the lit sphere ends about 118 pixels right of the centre.
  const int cx = 320, cy = 240, past = 170;
  EXPECT_TRUE(near(readPixel(cx + past, cy), Rgb{0, 0, 0}, 0));

  drawAt(31.0);
  // The copy fills the window (stretched to 147 pixels across the sphere),
  // and the enlarged layers smear it outwards: still bright at the centre, a
  // fading glow past the sphere's edge where the sharp frame was black.
  const Rgb centre = readPixel(cx, cy);
  EXPECT_GT(centre.r + centre.g + centre.b, 3 * 100);
  int previous = 3 * 255;
  for (int d = past; d <= 260; d += 30) {
    const Rgb p = readPixel(cx + d, cy);
    const int level = p.r + p.g + p.b;
    EXPECT_GT(level, 3 * 8) << "x offset " << d;
    EXPECT_LE(level, previous) << "x offset " << d;
    previous = level;
  }
  EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
  glDisable(GL_CULL_FACE);
}

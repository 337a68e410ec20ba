// The three drawing styles of Model3DS, drawn on Mesa and read back.
#include <gtest/gtest.h>

#include <GL/glew.h>
#include <GL/glu.h>

#include <cmath>
#include <string>
#include <vector>

#include "data/generator/writer_3ds.h"
#include "geometry/model_3ds.h"
#include "platform/glut_init.h"
#include "support/gl_test.h"
#include "support/shapes.h"

namespace {

constexpr int W = 320, H = 240;

// Pixels map to units: x right, y up, the eye looking down -z.
void pixelCamera() {
  glViewport(0, 0, W, H);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, W, 0, H, -200, 200);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glClearColor(0, 0, 0, 0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

std::string writeModel(const std::string& name, const std::vector<writer3ds::Material>& materials,
                       const std::vector<writer3ds::Object>& objects) {
  const std::string path = testing::TempDir() + name;
  EXPECT_TRUE(writer3ds::writeFile(path, writer3ds::encodeModel(materials, objects)));
  return path;
}

writer3ds::Material colour(const std::string& name, uint8_t r, uint8_t g, uint8_t b) {
  writer3ds::Material m;
  m.name = name;
  m.colour[0] = r;
  m.colour[1] = g;
  m.colour[2] = b;
  return m;
}

Light celLight() {
  Light light;
  light.position = Vector3(0.3f, 0.1f, 0.8f);
  return light;
}

bool isGreen(const Rgb& p) { return p.g > 150 && p.r < 60 && p.b < 60; }

// The cel style call by call in immediate mode, every outline drawn.
void drawCelWhole(const Model3DS& model) {
  glEnable(GL_BLEND);
  glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
  glEnable(GL_LINE_SMOOTH);
  glPolygonMode(GL_FRONT, GL_FILL);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LESS);
  glEnable(GL_CULL_FACE);
  glDisable(GL_TEXTURE_2D);
  glEnable(GL_TEXTURE_1D);
  glBindTexture(GL_TEXTURE_1D, model.shadeTexture);
  glDisable(GL_LIGHTING);
  Matrix4 modelview;
  glGetFloatv(GL_MODELVIEW_MATRIX, modelview.m);
  for (const MeshObject& object : model.objects) {
    const unsigned char* c = model.materials[object.materialIndex].colour;
    glBegin(GL_TRIANGLES);
    for (const MeshFace& f : object.faces) {
      for (int v : {f.a, f.b, f.c}) {
        glColor3ub(c[0], c[1], c[2]);
        glTexCoord1f(celIntensity(object.normals[v], model.light.position, modelview));
        glVertex3f(object.vertices[v].x, object.vertices[v].y, object.vertices[v].z);
      }
    }
    glEnd();
    glDisable(GL_TEXTURE_1D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor3f(model.outlineColour.x, model.outlineColour.y, model.outlineColour.z);
    glLineWidth(model.outlineWidth);
    glDepthFunc(GL_LEQUAL);
    glPolygonMode(GL_BACK, GL_LINE);
    glCullFace(GL_FRONT);
    glBegin(GL_TRIANGLES);
    for (const MeshFace& f : object.faces) {
      for (int v : {f.a, f.b, f.c}) {
        glNormal3f(object.normals[v].x, object.normals[v].y, object.normals[v].z);
        glVertex3f(object.vertices[v].x, object.vertices[v].y, object.vertices[v].z);
      }
    }
    glEnd();
    glDepthFunc(GL_LESS);
    glColor3f(1.0f, 1.0f, 1.0f);
    glCullFace(GL_BACK);
    glEnable(GL_TEXTURE_1D);
  }
}

}  // namespace

TEST(CelIntensity, FacingAwayIsPositiveZeroAndTheNormalIsTurned) {
  Matrix4 identity;
  const float away = celIntensity(Vector3(0, 0, -1), Vector3(0, 0, 2), identity);
  EXPECT_EQ(away, 0.0f);
  EXPECT_FALSE(std::signbit(away));
  // The light is normalised: a normal along it gives 1.
  EXPECT_FLOAT_EQ(celIntensity(Vector3(0, 0, 1), Vector3(0, 0, 5), identity), 1.0f);
  // The normal is turned by m: a quarter turn taking +x to +z faces it to
  // the light, and -x away from it.
  Matrix4 turn;
  turn.set(0, 0, 1, 0, 0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 0, 1);
  EXPECT_FLOAT_EQ(celIntensity(Vector3(1, 0, 0), Vector3(0, 0, 1), turn), 1.0f);
  EXPECT_EQ(celIntensity(Vector3(-1, 0, 0), Vector3(0, 0, 1), turn), 0.0f);
}

TEST(ModelRenderer, BumpEncodesALightAlongTheNormalAsHalfHalfOne) {
  writer3ds::Object quad;
  quad.name = "tile";
  quad.vertices = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
  quad.faces = {0, 1, 2, 0, 2, 3};
  quad.texCoords = {0, 0, 1, 0, 1, 1, 0, 1};
  Model3DS model;
  model.loader.import(model, writeModel("tile.3ds", {}, {quad}).c_str(), true);
  ASSERT_EQ(model.objectCount, 1);
  for (int v = 0; v < 4; ++v) {
    const Vector3& p = model.objects[0].vertices[v];
    const Vector3 c = tangentSpaceLightColour(model.objects[0], v, p + Vector3(0, 0, 7));
    EXPECT_NEAR(c.x, 0.5f, 1e-6);
    EXPECT_NEAR(c.y, 0.5f, 1e-6);
    EXPECT_NEAR(c.z, 1.0f, 1e-6);
  }
  // A light along the tangent encodes as (1, 0.5, 0.5).
  const Vector3 t = tangentSpaceLightColour(model.objects[0], 0, Vector3(3, 0, 0));
  EXPECT_NEAR(t.x, 1.0f, 1e-6);
  EXPECT_NEAR(t.y, 0.5f, 1e-6);
}

TEST(ModelRenderer, ShadeTexelsAtTheBoundariesAndTheWrapAtOne) {
  ASSERT_TRUE(openTestWindow(W, H));
  Model3DS model;
  model.loadCelShaded(writeModel("shade.3ds", {}, {sphereObject(0, 0, 1, "", 24, 32)}).c_str(),
                      celLight(), 0, 1, 0, 3);
  ASSERT_EQ(model.renderMode, RENDER_CEL);
  ASSERT_NE(model.shadeTexture, 0xFFFFFFFFu);

  pixelCamera();
  glDisable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_BLEND);
  glDisable(GL_TEXTURE_2D);
  glEnable(GL_TEXTURE_1D);
  glBindTexture(GL_TEXTURE_1D, model.shadeTexture);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  const float coords[] = {0.0f, 0.2499f, 0.25f, 0.8749f, 0.875f, 0.999f, 1.0f};
  const int expected[] = {102, 102, 230, 230, 255, 255, 102};
  for (int i = 0; i < 7; ++i) {
    glColor3f(1, 1, 1);
    glBegin(GL_QUADS);
    glTexCoord1f(coords[i]);
    glVertex2f(i * 40.0f, 0);
    glVertex2f(i * 40.0f + 40, 0);
    glVertex2f(i * 40.0f + 40, 40);
    glVertex2f(i * 40.0f, 40);
    glEnd();
  }
  glDisable(GL_TEXTURE_1D);
  for (int i = 0; i < 7; ++i) {
    const Rgb p = readPixel(i * 40 + 20, 20);
    EXPECT_TRUE(near(p, Rgb{expected[i], expected[i], expected[i]}, 2))
        << "coordinate " << coords[i] << " gave " << p.r;
  }
}

TEST(ModelRenderer, CelOutlineIsGreenAndThreePixelsWide) {
  ASSERT_TRUE(openTestWindow(W, H));
  // One triangle facing away from the eye: the fill culls it and only the
  // outline pass draws its edges. Its lower edge runs along y = 100.
  writer3ds::Object back;
  back.name = "back";
  back.vertices = {60, 100, 0, 160, 200, 0, 260, 100, 0};
  back.faces = {0, 1, 2};
  Model3DS edge;
  edge.loadCelShaded(writeModel("edge.3ds", {colour("pink", 255, 0, 255)}, {back}).c_str(),
                     celLight(), 0, 1, 0, 3);
  pixelCamera();
  edge.draw();
  // A smoothed line: partly covered pixels on both sides add up to its width.
  double coverage = 0.0;
  for (int y = 90; y < 110; ++y) {
    const Rgb p = readPixel(160, y);
    coverage += p.g / 255.0;
    EXPECT_TRUE(p.r < 30 && p.b < 30) << "not green at y " << y;
  }
  EXPECT_NEAR(coverage, 3.0, 0.2);

  // A magenta ball: its fill is magenta in three shades, ringed by green.
  Model3DS ball;
  ball.loadCelShaded(writeModel("ball.3ds", {colour("magenta", 200, 0, 200)},
                                {sphereObject(160, 120, 80, "magenta", 24, 32)})
                         .c_str(),
                     celLight(), 0, 1, 0, 3);
  pixelCamera();
  ball.draw();
  for (int y : {80, 120, 160}) {
    // The fill runs from first to last; the pixels just outside it are green.
    int first = -1, last = -1;
    for (int x = 0; x < W; ++x) {
      if (readPixel(x, y).r > 50) {
        if (first < 0) first = x;
        last = x;
      }
    }
    ASSERT_GT(first, 0);
    EXPECT_TRUE(isGreen(readPixel(first - 1, y))) << "left rim at y " << y;
    EXPECT_TRUE(isGreen(readPixel(last + 1, y))) << "right rim at y " << y;
    const Rgb inside = readPixel(160, y);
    EXPECT_EQ(inside.g, 0);
    const int shade = inside.r;
    EXPECT_TRUE(std::abs(shade - 80) <= 2 || std::abs(shade - 180) <= 2 ||
                std::abs(shade - 200) <= 2)
        << "fill red " << shade;
  }
  // What the cel style leaves behind.
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_1D));
  EXPECT_TRUE(glIsEnabled(GL_BLEND));
  EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
  GLint modes[2];
  glGetIntegerv(GL_POLYGON_MODE, modes);
  EXPECT_EQ(modes[1], GL_LINE);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  glDisable(GL_TEXTURE_1D);
  glDisable(GL_BLEND);
}

// The outline pass leaves out faces that lie wholly behind what the fill
// drew; the frame must be the one with every outline drawn, also for a
// viewport away from the corner, a second object, and a model partly
// outside the view.
TEST(ModelRenderer, CelOutlineLeftOutOnlyWhereNoPixelShows) {
  ASSERT_TRUE(openTestWindow(W, H));
  Model3DS pair;
  pair.loadCelShaded(
      writeModel("pair.3ds", {colour("pink", 255, 120, 200)},
                 {sphereObject(0, 0, 20, "pink", 24, 32), sphereObject(14, 9, 11, "pink", 24, 32)})
          .c_str(),
      celLight(), 0, 1, 0, 3);
  ASSERT_EQ(pair.objects.size(), 2u);
  const int x0 = 17, y0 = 9, w = W - 40, h = H - 20;
  for (const float shift : {0.0f, 34.0f}) {
    std::vector<unsigned char> frames[2];
    for (int whole = 0; whole < 2; ++whole) {
      glViewport(x0, y0, w, h);
      glMatrixMode(GL_PROJECTION);
      glLoadIdentity();
      gluPerspective(45.0, static_cast<double>(w) / h, 0.1, 150.0);
      glMatrixMode(GL_MODELVIEW);
      glLoadIdentity();
      glTranslatef(shift, 0.0f, -80.0f);
      glRotatef(37.0f, 1.0f, 0.0f, 1.0f);
      glClearColor(0, 0, 0, 0);
      glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
      if (whole)
        drawCelWhole(pair);
      else
        pair.draw();
      frames[whole].resize(W * H * 3);
      glReadPixels(0, 0, W, H, GL_RGB, GL_UNSIGNED_BYTE, frames[whole].data());
    }
    // A tenth of the second object's faces were left out, so the comparison
    // means something.
    EXPECT_GT(pair.outlineFaces.size(), 0u) << "the outline was not culled at all";
    EXPECT_LT(pair.outlineFaces.size(), pair.objects[1].faces.size() * 3 * 9 / 10);
    int differing = 0;
    for (size_t i = 0; i < frames[0].size(); ++i) differing += frames[0][i] != frames[1][i];
    EXPECT_EQ(differing, 0) << "shift " << shift;
  }
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  glDisable(GL_TEXTURE_1D);
  glDisable(GL_BLEND);
  glViewport(0, 0, W, H);
}

TEST(ModelRenderer, PlainDrawsMaterialColourOrWhite) {
  ASSERT_TRUE(openTestWindow(W, H));
  Model3DS coloured, bare;
  coloured.load(writeModel("blue.3ds", {colour("blue", 0, 0, 255)},
                           {sphereObject(80, 120, 50, "blue", 24, 32)})
                    .c_str(),
                false);
  bare.load(writeModel("white.3ds", {}, {sphereObject(240, 120, 50, "", 24, 32)}).c_str(), false);
  pixelCamera();
  glDisable(GL_LIGHTING);
  glDisable(GL_TEXTURE_1D);
  glEnable(GL_DEPTH_TEST);
  coloured.draw();
  bare.draw();
  EXPECT_TRUE(near(readPixel(80, 120), Rgb{0, 0, 255}, 2));
  EXPECT_TRUE(near(readPixel(240, 120), Rgb{255, 255, 255}, 2));
  // Any other render mode draws plain.
  coloured.renderMode = 7;
  pixelCamera();
  coloured.draw();
  EXPECT_TRUE(near(readPixel(80, 120), Rgb{0, 0, 255}, 2));
}

TEST(ModelRenderer, AModelWithoutObjectsDrawsNothingInAnyMode) {
  ASSERT_TRUE(openTestWindow(W, H));
  int argc = 1;
  char name[] = "test_geometry";
  char* argv[] = {name, nullptr};
  platform::initGlut(&argc, argv);  // the bump style draws its marker with GLUT
  Model3DS empty;
  testing::internal::CaptureStderr();
  empty.loadCelShaded("models/missing.3ds", celLight(), 0, 1, 0, 3);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("Unable to find the file"),
            std::string::npos);
  for (int mode : {RENDER_PLAIN, RENDER_CEL, RENDER_BUMP}) {
    pixelCamera();
    empty.renderMode = mode;
    empty.draw();
    std::vector<unsigned char> pixels(W * H * 3);
    glReadPixels(0, 0, W, H, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    int lit = 0;
    for (unsigned char c : pixels) lit += c != 0;
    EXPECT_EQ(lit, 0) << "mode " << mode;
  }
  // The bump style leaves unit 1 active and the marker's modelview.
  GLint unit = 0;
  glGetIntegerv(GL_ACTIVE_TEXTURE, &unit);
  EXPECT_EQ(unit, GL_TEXTURE1);
  float m[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, m);
  EXPECT_FLOAT_EQ(m[14], 120.0f);
  glActiveTexture(GL_TEXTURE0);
  glDisable(GL_TEXTURE_1D);
  glDisable(GL_BLEND);
}

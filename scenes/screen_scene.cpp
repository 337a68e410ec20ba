#include "scenes/screen_scene.h"

#include <GL/glew.h>
#include <GL/glu.h>

#include <algorithm>
#include <cstring>

#include "effects/particle_system.h"
#include "engine/desktop_capture.h"
#include "engine/font_manager.h"
#include "resources/sound_manager.h"
#include "resources/texture_manager.h"

namespace {

// How one fountain is set up; the fields not listed keep their defaults.
struct FountainSettings {
  uint32_t maxParticles;
  uint32_t releaseCount;
  float releaseInterval;
  float lifetime;
  float size;
  Vector3 color;
  Vector3 position;
  Vector3 velocity;
  Vector3 gravity;
  Vector3 wind;
  bool airResistance;
  float velocityVariation;
  bool floorPlane;
};

// Blue, green, red and the white glow. The emitters sit one unit in front
// of the eye.
const FountainSettings FOUNTAINS[4] = {
    {10000,
     5,
     0.05f,
     7.0f,
     3.0f,
     {0, 0, 1},
     {-0.1f, 0, 33},
     {0.5f, 0, 0},
     {0, -0.98f, 0},
     {0, 0.2f, 0.2f},
     true,
     0.15f,
     true},
    {10000,
     5,
     0.05f,
     7.0f,
     3.0f,
     {0, 1, 0},
     {0.4f, 0, 33},
     {-0.5f, 0, 0},
     {0, -0.98f, 0},
     {0, -0.2f, 0.2f},
     true,
     0.15f,
     true},
    {10000,
     5,
     0.05f,
     7.0f,
     5.0f,
     {1, 0, 0},
     {0, -0.3f, 33},
     {0, 0.5f, 0},
     {0, -0.28f, 0},
     {0, 0, 0},
     true,
     0.25f,
     true},
    {2048,
     10,
     0.05f,
     5.0f,
     30.0f,
     {1, 1, 1},
     {0, 0, 33},
     {0, 0, 0},
     {0, 0, 0},
     {0, 0, 0},
     false,
     2.0f,
     false},
};

const char* const PARTICLE_TEXTURE = "textures/particle3.bmp";

ParticleSystem* createFountain(const FountainSettings& s) {
  ParticleSystem* ps = new ParticleSystem;
  ps->setTextureFile(PARTICLE_TEXTURE);
  ps->maxParticles = s.maxParticles;
  ps->releaseCount = s.releaseCount;
  ps->releaseInterval = s.releaseInterval;
  ps->lifetime = s.lifetime;
  ps->size = s.size;
  ps->color = s.color;
  ps->position = s.position;
  ps->velocity = s.velocity;
  ps->gravity = s.gravity;
  ps->wind = s.wind;
  ps->airResistance = s.airResistance;
  ps->velocityVariation = s.velocityVariation;
  ps->renderMode = RENDER_QUADS;
  if (s.floorPlane)
    ps->addCollisionPlane(Vector3(0, 1, 0), Vector3(0, -0.3f, 0), 1.0f, COLLIDE_BOUNCE);
  ps->init();
  return ps;
}

// A vertex whose x is given in units of the window's aspect ratio.
void aspectVertex(float aspect, float ax, float y, float z) { glVertex3f(ax * aspect, y, z); }

// Texture coordinates of the four corners of every quad, in drawing order.
const float CORNER_UV[4][2] = {{0, 1}, {1, 1}, {1, 0}, {0, 0}};

// One quad of the box; corners as (x in units of a, y, z).
void boxQuad(float aspect, const float corners[4][3]) {
  for (int i = 0; i < 4; ++i) {
    glTexCoord2f(CORNER_UV[i][0], CORNER_UV[i][1]);
    aspectVertex(aspect, corners[i][0], corners[i][1], corners[i][2]);
  }
}

}  // namespace

ScreenScene::~ScreenScene() { deleteFountains(); }

void ScreenScene::deleteFountains() {
  delete blueFountain;
  delete greenFountain;
  delete redFountain;
  delete whiteGlow;
  blueFountain = greenFountain = redFountain = whiteGlow = nullptr;
}

bool ScreenScene::load() {
  textFont = FontManager::instance()->buildBitmapFont(m_window->hDC, "Husky Stash", 32);
  SoundManager::instance()->loadSound("sounds/typewriter.wav", "type");
  monitorTexture =
      TextureManager::instance()->loadTexture("textures/monitor-inside.jpg", 1, NO_TEXTURE);
  return true;
}

void ScreenScene::init() {
  glShadeModel(GL_SMOOTH);
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  glClearDepth(1.0);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
  glEnable(GL_TEXTURE_2D);

  // The camera stays in the modelview matrix for the whole scene.
  gluLookAt(0, 0, 34, 0, 0, 0, 0, 1, 0);
  glDepthFunc(GL_LEQUAL);

  lastStepTime = 0.0;
  firstLine = "EVER wondered what's inside your screen?";
  secondLine = "Well let's find out......Shall we.";
  typedCount = 0;
  resetTypedCount = true;
  boxAngle = 0.0;
  boxOffset = 0.0;
  blueRate = 5.0;
  greenRate = 5.0;
  redRate = 5.0;
  whiteSize = 30.0;

  deleteFountains();
  blueFountain = createFountain(FOUNTAINS[0]);
  greenFountain = createFountain(FOUNTAINS[1]);
  redFountain = createFountain(FOUNTAINS[2]);
  whiteGlow = createFountain(FOUNTAINS[3]);
}

void ScreenScene::draw() {
  glDisable(GL_LIGHTING);
  double t = m_localTime;
  if (t <= 18.0)
    drawDesktopPhase(t);
  else if (t <= 25.0)
    drawTurnPhase(t);
  else
    drawFountainPhase(t);
}

void ScreenScene::drawScreenQuad() {
  const float a = m_window->aspectRatio;
  glBegin(GL_QUADS);
  glTexCoord2f(0, 1);
  aspectVertex(a, -10, 10, 10);
  glTexCoord2f(1, 1);
  aspectVertex(a, 10, 10, 10);
  glTexCoord2f(1, 0);
  aspectVertex(a, 10, -10, 10);
  glTexCoord2f(0, 0);
  aspectVertex(a, -10, -10, 10);
  glEnd();
}

void ScreenScene::drawBoxQuads() {
  // The side at x = +10a has no wall: it is the one that swings open.
  static const float LEFT_WALL[4][3] = {
      {-10, 10, 10}, {-10, 10, -20}, {-10, -10, -20}, {-10, -10, 10}};
  static const float BACK_WALL[4][3] = {
      {-10, 10, -20}, {10, 10, -20}, {10, -10, -20}, {-10, -10, -20}};
  static const float CEILING[4][3] = {{-10, 10, 10}, {10, 10, 10}, {10, 10, -20}, {-10, 10, -20}};
  static const float FLOOR[4][3] = {{-10, -10, 10}, {10, -10, 10}, {10, -10, -20}, {-10, -10, -20}};
  const float a = m_window->aspectRatio;
  glBegin(GL_QUADS);
  boxQuad(a, LEFT_WALL);
  boxQuad(a, BACK_WALL);
  boxQuad(a, CEILING);
  boxQuad(a, FLOOR);
  glEnd();
}

void ScreenScene::drawDesktopPhase(double t) {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glBindTexture(GL_TEXTURE_2D, DESKTOP_TEXTURE_ID);
  glColor4f(1.0f, 1.0f, 1.0f, 0.0f);
  drawScreenQuad();

  if (t < 2.0) return;
  if (t <= 12.0) {
    drawTypedText(0, 0, 1, 50, 600, firstLine, typedCount);
    typingStep(t, 0.2, firstLine);
    return;
  }
  drawTypedText(0, 0, 1, 50, 600, firstLine, static_cast<unsigned>(std::strlen(firstLine)));
  if (resetTypedCount) {
    typedCount = 0;
    resetTypedCount = false;
  }
  drawTypedText(1, 0, 0, 150, 400, secondLine, typedCount);
  typingStep(t, 0.1, secondLine);
}

void ScreenScene::typingStep(double t, double interval, const char* line) {
  if (t - lastStepTime < interval) return;
  lastStepTime = t;
  typedCount += 1;
  if (typedCount <= std::strlen(line)) SoundManager::instance()->play("type");
}

void ScreenScene::drawTurnPhase(double t) {
  glPushMatrix();
  glLoadIdentity();
  gluLookAt(0, 0, 34, 0, 0, 0, 0, 1, 0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

  // This frame is drawn with the values from before its step.
  glTranslatef(0.0f, 0.0f, static_cast<float>(boxOffset));
  glRotatef(static_cast<float>(boxAngle), 0.0f, 1.0f, 0.0f);
  if (t <= 23.0) {
    if (boxAngle >= -92.0) {
      boxAngle -= 0.21;
      boxOffset += 0.015;
    }
  } else if (boxOffset <= 10.0) {
    boxOffset += 0.04;
  }

  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  glBindTexture(GL_TEXTURE_2D, DESKTOP_TEXTURE_ID);
  drawScreenQuad();
  glBindTexture(GL_TEXTURE_2D, monitorTexture);
  drawBoxQuads();
  glPopMatrix();
}

void ScreenScene::drawFountainPhase(double t) {
  glPushMatrix();
  glLoadIdentity();
  gluLookAt(0, 0, 34, 0, 0, 0, 0, 1, 0);
  glTranslatef(0.0f, 0.0f, static_cast<float>(boxOffset));
  glRotatef(static_cast<float>(boxAngle), 0.0f, 1.0f, 0.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  glBindTexture(GL_TEXTURE_2D, DESKTOP_TEXTURE_ID);
  drawScreenQuad();
  glBindTexture(GL_TEXTURE_2D, monitorTexture);
  drawBoxQuads();
  glPopMatrix();

  // The update order fixes the order in which the systems draw random numbers.
  float elapsed = static_cast<float>(t - lastStepTime);
  if (t >= 27.0) {
    blueFountain->releaseCount = static_cast<uint32_t>(blueRate);
    blueFountain->update(elapsed);
    if (t >= 30.0) {
      greenFountain->releaseCount = static_cast<uint32_t>(greenRate);
      greenFountain->update(elapsed);
      if (greenRate <= 35.0) greenRate += 0.05;
    }
    if (t >= 33.0) {
      redFountain->releaseCount = static_cast<uint32_t>(redRate);
      redFountain->update(elapsed);
      if (redRate <= 35.0) redRate += 0.05;
    }
    if (t >= 35.0) {
      whiteGlow->size = static_cast<float>(static_cast<int>(whiteSize));
      whiteGlow->update(elapsed);
      if (whiteSize <= 50.0) whiteSize += 0.1;
    }
    if (blueRate <= 35.0) blueRate += 0.05;
  }
  lastStepTime = t;

  // Additive: without destination alpha GL_DST_ALPHA reads as 1.
  glEnable(GL_DEPTH_TEST);
  glDepthMask(GL_FALSE);
  glEnable(GL_BLEND);
  glBlendFunc(GL_DST_ALPHA, GL_ONE);
  if (t >= 27.0) blueFountain->render();
  if (t >= 30.0) greenFountain->render();
  if (t >= 33.0) redFountain->render();
  if (t >= 35.0) whiteGlow->render();
  glDepthMask(GL_TRUE);
  glDisable(GL_BLEND);
}

void ScreenScene::drawTypedText(float r, float g, float b, int x, int y, const char* text,
                                unsigned count) {
  char buffer[200];
  size_t n = std::min<size_t>({count, std::strlen(text), sizeof(buffer) - 1});
  std::memcpy(buffer, text, n);
  buffer[n] = '\0';

  glDisable(GL_TEXTURE_2D);
  glDisable(GL_DEPTH_TEST);
  glColor3f(0.0f, 0.0f, 0.0f);
  FontManager::instance()->printBitmap(textFont, x + 2, y + 2, "%s", buffer);
  glColor3f(r, g, b);
  FontManager::instance()->printBitmap(textFont, x, y, "%s", buffer);
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_DEPTH_TEST);
}

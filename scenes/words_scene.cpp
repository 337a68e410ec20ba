#include "scenes/words_scene.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "engine/font_manager.h"

// The veil quad sits this far behind the origin so that, seen from the eye at
// the near-plane distance, it lies inside the view volume and is never
// clipped away.
static const float VEIL_DEPTH = -0.01f;

bool WordsScene::load() {
  glEnable(GL_TEXTURE_2D);
  FontManager::instance()->loadTextureFont("textures/font.bmp");
  return true;
}

void WordsScene::init() {
  glShadeModel(GL_SMOOTH);
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  glClearDepth(1.0);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_LIGHTING);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE);

  eyeDistance = 0.1f;
  spinAngle = 0.0f;
  veilAlpha = 1.0f;
  veilStep = 0.01f;
  pulsing = false;
  wordXPos = 200.0f;
  wordYPos = 500.0f;
  wordDx = 4.0f;
  wordDy = 4.0f;
}

void WordsScene::updateVeil() {
  if (!pulsing) {
    if (veilAlpha < 0.1f)
      pulsing = true;
    else
      veilAlpha -= 0.005f;
    return;
  }
  veilAlpha += veilStep;
  if (veilAlpha <= 0.1f || veilAlpha >= 0.7f) veilStep = -veilStep;
}

void WordsScene::moveWords() {
  wordXPos += wordDx;
  wordYPos += wordDy;
  if (wordXPos <= 20.0f || wordXPos > 700.0f) wordDx = -wordDx;
  if (wordYPos <= 20.0f || wordYPos > 700.0f) wordDy = -wordDy;
}

void WordsScene::draw() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glLoadIdentity();
  gluLookAt(0.0, 0.0, eyeDistance, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);

  glRotatef(spinAngle, 0.0f, 0.0f, 1.0f);
  spinAngle += 2.0f;
  if (spinAngle == 360.0f) spinAngle = 0.0f;

  // The frame-rate overlay turns lighting back on after every frame; the
  // veil and the words take their colours unlit.
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_LIGHTING);
  glEnable(GL_BLEND);
  glColor4f(1.0f, 1.0f, 1.0f, veilAlpha);
  updateVeil();
  glBegin(GL_QUADS);
  glVertex3f(-1.0f, -1.0f, VEIL_DEPTH);
  glVertex3f(1.0f, -1.0f, VEIL_DEPTH);
  glVertex3f(1.0f, 1.0f, VEIL_DEPTH);
  glVertex3f(-1.0f, 1.0f, VEIL_DEPTH);
  glEnd();

  glEnable(GL_TEXTURE_2D);
  FontManager* fonts = FontManager::instance();
  const int x = static_cast<int>(wordXPos), y = static_cast<int>(wordYPos);
  glColor4f(1.0f, 0.0f, 0.0f, 1.0f);
  fonts->printTextured(x, y, 0, 3.0f, "Evolution...");
  glColor4f(0.1f, 0.1f, 0.6f, 1.0f);
  fonts->printTextured(static_cast<int>(700 - wordXPos), static_cast<int>(700 - wordYPos), 0, 3.0f,
                       "Substance...");
  glColor4f(0.1f, 0.6f, 0.2f, 1.0f);
  fonts->printTextured(static_cast<int>(700 - wordXPos), y, 0, 3.0f, "Knowledge...");

  moveWords();
  glDisable(GL_BLEND);
}

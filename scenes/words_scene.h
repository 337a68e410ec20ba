// Words scene (40-50 s): "Evolution...", "Substance..." and "Knowledge..."
// in textured letters bouncing over a pulsing grey veil.
//
// load builds the textured font from "textures/font.bmp"; init sets the GL
// state and the animation fields; draw advances the animation by one step
// per frame (local time is not read). A font image that failed to load
// leaves the letters untextured. Leaves GL_TEXTURE_2D and the depth test on,
// blending and lighting off, and the additive blend function set.
#pragma once

#include "engine/scene.h"

class WordsScene : public Scene {
 public:
  bool load() override;
  void init() override;
  void draw() override;

  // The animation state, readable for tests.
  float wordX() const { return wordXPos; }
  float wordY() const { return wordYPos; }
  float veil() const { return veilAlpha; }

 private:
  // Moves the words one step and bounces them off the edges.
  void moveWords();
  // One step of the veil: fade out once, then pulse.
  void updateVeil();

  float eyeDistance = 0.0f;
  float spinAngle = 0.0f;
  float veilAlpha = 0.0f;
  float veilStep = 0.0f;
  bool pulsing = false;
  float wordXPos = 0.0f;
  float wordYPos = 0.0f;
  float wordDx = 0.0f;
  float wordDy = 0.0f;
};

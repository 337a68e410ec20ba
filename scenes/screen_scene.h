// The opening scene (0-40 s): the captured desktop fills the window, two
// lines are typed over it with a click per character, the screen swings open
// into a box lined with a monitor's inside, and four particle fountains start
// in front of the viewer.
//
// Call order: load once behind the loading screen (font, typewriter sound,
// monitor picture); init on the first frame (GL state, the camera left in
// the modelview matrix for the whole scene, the field values and the four
// particle systems); draw every frame. The turn, the approach and the
// fountains' growth step once per drawn frame; the typing and the particle
// motion follow the scene's local time.
//
// Ownership: the scene owns its four particle systems and frees them when it
// is deleted; the textures, the font and the sound belong to their managers.
//
// Failures: nothing is reported. A picture that did not load leaves
// NO_TEXTURE in its field and is bound unchanged; a failed particle release
// is retried at the next one.
//
// GL state left behind: lighting off, GL_TEXTURE_2D and the depth test on,
// depth writes on, the modelview holding the camera that init set; the
// fountain phase turns blending off, the other phases leave it as they find it.
#pragma once

#include <cstdint>

#include "engine/scene.h"

class ParticleSystem;

class ScreenScene : public Scene {
 public:
  ScreenScene() = default;
  ~ScreenScene() override;
  ScreenScene(const ScreenScene&) = delete;
  ScreenScene& operator=(const ScreenScene&) = delete;

  // Builds the typing font, loads the click and the monitor picture.
  bool load() override;
  // Sets the GL state and the camera, resets the fields and creates the
  // four fountains.
  void init() override;
  // Draws the desktop, turn or fountain phase chosen by the local time.
  void draw() override;

  // Prints the first count characters of text at (x, y) of the 1024 x 768
  // text screen in the colour (r, g, b), over a black shadow 2 units right
  // and 2 units up.
  void drawTypedText(float r, float g, float b, int x, int y, const char* text, unsigned count);

  // Scene state, in the order the scene keeps it.
  double lastStepTime = 0.0;  // last typing step; in the fountain phase, the last frame
  const char* firstLine = nullptr;
  const char* secondLine = nullptr;
  uint32_t typedCount = 0;  // characters of the current line shown
  bool resetTypedCount = true;
  double boxAngle = 0.0;   // degrees about the vertical axis
  double boxOffset = 0.0;  // along z, toward the viewer
  double blueRate = 5.0;
  double greenRate = 5.0;
  double redRate = 5.0;
  double whiteSize = 30.0;
  unsigned int monitorTexture = 0;
  int textFont = 0;
  ParticleSystem* blueFountain = nullptr;
  ParticleSystem* greenFountain = nullptr;
  ParticleSystem* redFountain = nullptr;
  ParticleSystem* whiteGlow = nullptr;

 private:
  // t <= 18: the desktop with the typed lines.
  void drawDesktopPhase(double t);
  // 18 < t <= 25: the screen and box turning, then approaching.
  void drawTurnPhase(double t);
  // t > 25: the box at rest and the fountains in front of the viewer.
  void drawFountainPhase(double t);

  // Adds a character of line every interval seconds, with a click while the
  // line is not yet complete.
  void typingStep(double t, double interval, const char* line);

  // The screen quad and the four box walls, each as one GL_QUADS batch.
  void drawScreenQuad();
  void drawBoxQuads();

  void deleteFountains();
};

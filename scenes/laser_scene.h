// LaserScene: table tennis with light, 85 to 115 s of the show. Two glowing
// volume-line paddles at x = -4 and +4 chase a ball; in four phases of the
// scene's local time the paddles thicken, the playfield spins while the ball
// doubles its speed, and the camera flies into the centre.
//
// Call order: load (creates the two lines: textures and Cg programs), init
// on the first frame (GL state and a fresh game), then draw every frame.
// Every motion is a fixed step per drawn frame; only the phase boundaries
// (7, 13, 20 and 30 s, each belonging to the earlier phase) follow the
// clock. The scene owns its two lines: they live until the scene is deleted
// at shutdown (while the GL context is still current). load fails (false)
// when a line cannot be set up, without multitexturing: the first line says
// so and the second is not made. Texture and Cg failures are handled by
// VolumeLine.
//
// State draw leaves behind: what VolumeLine leaves (additive blending on,
// depth writes off) except that phase 1 turns blending off for the ball;
// lighting on, 2D texturing off.
#pragma once

#include "engine/scene.h"

class VolumeLine;

class LaserScene : public Scene {
 public:
  LaserScene() = default;
  // Deletes the two lines.
  ~LaserScene() override;

  // Creates the two lines; false when one cannot be set up.
  bool load() override;
  void init() override;
  void draw() override;

  // The phase (1 to 4) of a local time; 0 once the scene is over.
  static int phaseAt(double t);

  // The angle after one spin step: wraps to 0 once it has reached 360, then
  // grows by 0.5 degrees.
  static double nextAngle(double angle);

 protected:
  // Moves the ball by factor steps and lets the paddle it heads for chase it.
  void gameStep(double factor);

  // Resets the game, spin and zoom to their starting values.
  void resetGame();

  // Camera at (0, 0, distance) looking at the origin.
  void lookFrom(double distance);
  // Rotates the playfield by the spin angles and advances them.
  void spin();
  // Both paddles, centred on their heights.
  void drawPaddles(double halfLength, float width);

  VolumeLine* m_leftLine = nullptr;
  VolumeLine* m_rightLine = nullptr;
  double m_leftY = 0;
  double m_rightY = 0;
  double m_ballX = 0;
  double m_ballY = 0;
  double m_ballVX = 0;
  double m_ballVY = 0;
  double m_thinWidth = 0;
  double m_cameraDistance = 0;
  double m_angleY = 0;
  double m_angleX = 0;
};

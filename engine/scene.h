// The base of the six timed scenes.
//
// The runtime constructs a scene (plain values only), times it with
// setStartTime / setDuration, gives it the window it draws into (setWindow,
// which outlives the scene), calls load once behind the loading screen, init
// once on its first active frame, then every active frame setLocalTime,
// setFps, draw and present. Scenes are deleted through Scene pointers at
// shutdown and release nothing of their own then.
//
// Failures: a file that does not load is the scene's own affair (it draws
// without it). load returns false only when the scene cannot be shown at all
// and the show cannot go on; it has said why by then.
#pragma once

#include "engine/gl_window.h"

class Scene {
 public:
  Scene() = default;
  virtual ~Scene() = default;

  virtual double startTime();
  // The length of the window, not its end.
  virtual double duration();
  // Loads what the scene needs; false when the show cannot go on.
  virtual bool load();
  virtual void init();
  virtual void draw();
  // Swaps the window's buffers.
  virtual void present();

  void setStartTime(double t) { m_startTime = t; }
  void setDuration(double d) { m_duration = d; }
  void setLocalTime(double t) { m_localTime = t; }
  void setFps(double f) { m_fps = f; }
  void setWindow(const GLWindow* window) { m_window = window; }

 protected:
  const GLWindow* m_window = nullptr;
  double m_startTime = 0.0;
  double m_duration = 0.0;
  double m_localTime = 0.0;
  double m_fps = 0.0;
};

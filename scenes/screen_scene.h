// The opening: the desktop, two typed lines, the box and the fountains (0-40 s).
#pragma once

#include "app/scene.h"

class ScreenScene : public Scene {
 public:
  void load() override;
  void init() override;
  void draw() override;
};

// Laser table tennis with volume-line paddles (85-115 s).
#pragma once

#include "app/scene.h"

class LaserScene : public Scene {
 public:
  void load() override;
  void init() override;
  void draw() override;
};

// The cel-shaded torus knot with its green outline (50-85 s).
#pragma once

#include "app/scene.h"

class TorusKnotScene : public Scene {
 public:
  void load() override;
  void init() override;
  void draw() override;
};

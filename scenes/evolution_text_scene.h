// Extruded letters streaming around an ellipse, the sphere, the zoom blur (115-150 s).
#pragma once

#include "app/scene.h"

class EvolutionTextScene : public Scene {
 public:
  void load() override;
  void init() override;
  void draw() override;
};

// The chrome skull reflecting the skybox and two earths (150-185 s).
#pragma once

#include "app/scene.h"

class SkullSkyboxScene : public Scene {
 public:
  void load() override;
  void init() override;
  void draw() override;
};

// Three words bouncing over a pulsing background (40-50 s).
#pragma once

#include "app/scene.h"

class WordsScene : public Scene {
 public:
  void load() override;
  void init() override;
  void draw() override;
};

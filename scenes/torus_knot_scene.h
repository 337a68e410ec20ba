// The cel-shaded torus knot with its green outline (50-85 s).
//
// load reads "models/torusknot.3ds" cel-shaded (a missing file leaves an empty
// model that draws nothing); init sets the GL state and resets the tumble;
// draw clears, looks at the knot from (0, 0, 80) and turns it one degree more
// about x and about (1, 0, 1) per frame. The projection is whatever is in
// effect when the scene starts. present is the base swap. draw leaves the cel
// renderer's state behind (see Model3DS::drawCel).
#pragma once

#include "engine/scene.h"
#include "geometry/model_3ds.h"

class TorusKnotScene : public Scene {
 public:
  bool load() override;
  void init() override;
  void draw() override;

  // The angles the next draw shows, in degrees.
  double shownAngleX() const { return angleX; }
  double shownAngleY() const { return angleY; }

 private:
  Model3DS model;
  double angleX = 0.0;  // about the x axis
  double angleY = 0.0;  // about the axis (1, 0, 1)
  double cameraDistance = 80.0;
};

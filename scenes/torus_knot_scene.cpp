#include "scenes/torus_knot_scene.h"

#include <GL/gl.h>

void TorusKnotScene::load() {}

void TorusKnotScene::init() { glClearColor(0.0f, 0.0f, 0.0f, 0.5f); }

void TorusKnotScene::draw() { glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT); }

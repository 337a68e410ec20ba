#include "scenes/laser_scene.h"

#include <GL/gl.h>

void LaserScene::load() {}

void LaserScene::init() { glClearColor(0.0f, 0.0f, 0.0f, 0.5f); }

void LaserScene::draw() { glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT); }

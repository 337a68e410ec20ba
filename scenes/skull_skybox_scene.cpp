#include "scenes/skull_skybox_scene.h"

#include <GL/gl.h>

void SkullSkyboxScene::load() {}

void SkullSkyboxScene::init() { glClearColor(0.0f, 0.0f, 0.0f, 0.5f); }

void SkullSkyboxScene::draw() { glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT); }

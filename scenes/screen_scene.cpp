#include "scenes/screen_scene.h"

#include <GL/gl.h>

void ScreenScene::load() {}

void ScreenScene::init() { glClearColor(0.0f, 0.0f, 0.0f, 0.5f); }

void ScreenScene::draw() { glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT); }

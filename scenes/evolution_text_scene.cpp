#include "scenes/evolution_text_scene.h"

#include <GL/gl.h>

void EvolutionTextScene::load() {}

void EvolutionTextScene::init() { glClearColor(0.0f, 0.0f, 0.0f, 0.5f); }

void EvolutionTextScene::draw() { glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT); }

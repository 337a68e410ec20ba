#include "scenes/words_scene.h"

#include <GL/gl.h>

void WordsScene::load() {}

void WordsScene::init() { glClearColor(0.0f, 0.0f, 0.0f, 0.5f); }

void WordsScene::draw() { glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT); }

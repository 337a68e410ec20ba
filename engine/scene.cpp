#include "engine/scene.h"

#include "engine/globals.h"
#include "platform/window.h"

double Scene::startTime() { return m_startTime; }

double Scene::duration() { return m_duration; }

void Scene::load() {}

void Scene::init() {}

void Scene::draw() {}

void Scene::present() { platform::swapBuffers(hDC); }

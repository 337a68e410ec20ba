#include "engine/scene.h"

#include "platform/window.h"

double Scene::startTime() { return m_startTime; }

double Scene::duration() { return m_duration; }

bool Scene::load() { return true; }

void Scene::init() {}

void Scene::draw() {}

void Scene::present() { platform::swapBuffers(m_window->hDC); }

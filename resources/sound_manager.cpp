#include "resources/sound_manager.h"

#include <cstdio>
#include <cstring>

namespace snd = platform::sound;

// Sounds play once; the hardware flag is a wish the system may ignore.
static constexpr unsigned int SOUND_MODE = snd::LOOP_OFF | snd::HARDWARE;  // 0x21

SoundManager* SoundManager::s_instance = nullptr;

SoundManager* SoundManager::instance() {
  if (!s_instance) {
    s_instance = new SoundManager;
    s_instance->m_count = 0;
    s_instance->init();
  }
  return s_instance;
}

void SoundManager::shutdown() {
  if (s_instance) s_instance->close();
}

void SoundManager::init() {
  checkResult(snd::systemCreate(&m_system));
  // Without a system object there is nothing to talk to; every later call
  // reports an invalid handle.
  if (!m_system) return;
  checkResult(m_system->getVersion(&m_version));
  if (m_version < REQUIRED_VERSION) {
    std::printf("Error!  You are using an old version of FMOD %08x.  This program requires %08x\n",
                m_version, REQUIRED_VERSION);
  }
  checkResult(m_system->init(32, snd::INIT_NORMAL, nullptr));
}

void SoundManager::checkResult(int result) {
  m_result = result;
  if (result != snd::OK) std::printf("FMOD error! (%d) %s\n", result, snd::errorString(result));
}

void SoundManager::loadSound(const char* path, const char* name) { load(path, name, false); }

void SoundManager::loadStream(const char* path, const char* name) { load(path, name, true); }

void SoundManager::load(const char* path, const char* name, bool streamed) {
  if (m_count == MAX_SOUNDS) {
    releaseAll();
    return;
  }
  m_names[m_count] = name;
  if (streamed)
    createStream(path);
  else
    createSound(path);
  // A failed load keeps its slot and its name.
  ++m_count;
}

void SoundManager::createSound(const char* path) {
  m_sounds[m_count] = nullptr;
  checkResult(m_system ? m_system->createSound(path, SOUND_MODE, nullptr, &m_sounds[m_count])
                       : snd::ERR_INVALID_HANDLE);
}

void SoundManager::createStream(const char* path) {
  m_sounds[m_count] = nullptr;
  checkResult(m_system ? m_system->createStream(path, SOUND_MODE, nullptr, &m_sounds[m_count])
                       : snd::ERR_INVALID_HANDLE);
}

int SoundManager::findIndex(const char* name) const {
  if (!name) return -1;
  for (int i = 0; i < m_count; ++i)
    if (m_names[i] && std::strcmp(m_names[i], name) == 0) return i;
  return -1;
}

void SoundManager::play(const char* name) {
  int index = findIndex(name);
  if (index != -1) playIndex(index);
}

void SoundManager::playIndex(int index) {
  // A negative index has no slot either.
  if (index < 0 || index >= m_count) {
    std::printf("Sorry index has no sound associated.");
    return;
  }
  checkResult(
      m_system ? m_system->playSound(snd::CHANNEL_FREE, m_sounds[index], false, &m_channels[index])
               : snd::ERR_INVALID_HANDLE);
}

void SoundManager::releaseAll() {
  for (int i = 0; i < m_count; ++i) {
    // A slot whose load failed holds no sound: the system would call that an
    // invalid handle, and so does the manager.
    checkResult(m_sounds[i] ? m_sounds[i]->release() : snd::ERR_INVALID_HANDLE);
    m_sounds[i] = nullptr;
    m_names[i] = nullptr;
  }
  m_count = 0;
}

void SoundManager::close() {
  for (int i = 0; i < m_count; ++i) {
    checkResult(m_sounds[i] ? m_sounds[i]->release() : snd::ERR_INVALID_HANDLE);
    m_sounds[i] = nullptr;
  }
  checkResult(m_system ? m_system->close() : snd::ERR_INVALID_HANDLE);
  checkResult(m_system ? m_system->release() : snd::ERR_INVALID_HANDLE);
  m_system = nullptr;
}

// Named sounds: load a file once under a short name, start it by that name.
//
// Call order: instance() (the first call creates the manager and starts the
// sound system) -> loadSound / loadStream -> play / playIndex ... ->
// releaseAll at any time -> shutdown once at exit. All calls come from the
// window thread.
//
// Ownership: the manager owns the sound system and every sound in its table;
// it stores the name pointers it is given (callers pass string literals). It
// is never freed: after shutdown the object and the static pointer remain.
//
// Failures: every sound-system call is checked; a failing one prints
// "FMOD error! (%d) %s\n" on standard output and the program carries on. A
// load that fails still takes its slot; a full table (MAX_SOUNDS) is emptied
// by the next load, which then loads nothing.
#pragma once

#include "sound/sound_system.h"

class SoundManager {
 public:
  static constexpr int MAX_SOUNDS = 10;
  // The oldest sound-system version the manager works with.
  static constexpr unsigned int REQUIRED_VERSION = 0x00040201;

  // The manager, created and started on the first call.
  static SoundManager* instance();

  // Releases every sound, then closes and releases the sound system, if the
  // manager exists.
  static void shutdown();

  // A stopped manager with an empty table; init starts it. Only instance()
  // and tests make managers.
  SoundManager() = default;

  // Creates, checks the version of and initialises the sound system.
  void init();

  // Loads the whole file into the next slot under name.
  void loadSound(const char* path, const char* name);

  // Opens the file as a stream (decoded while it plays) in the next slot.
  void loadStream(const char* path, const char* name);

  // Starts the slot of that name; an unknown name does nothing.
  void play(const char* name);

  // Starts slot index, or prints "Sorry index has no sound associated.".
  void playIndex(int index);

  // The lowest slot index holding name, or -1.
  int findIndex(const char* name) const;

  // Releases every sound and empties the table.
  void releaseAll();

  // Releases every sound, then closes and releases the sound system.
  void close();

  // Slots in use.
  int count() const { return m_count; }

  // Result code of the most recent sound-system call.
  int lastResult() const { return m_result; }

 private:
  // The sound-system call of loadSound / loadStream for slot m_count.
  void createSound(const char* path);
  void createStream(const char* path);
  // Shared steps of the two loads.
  void load(const char* path, const char* name, bool streamed);
  // Records the result and prints the error message when it is not OK.
  void checkResult(int result);

  static SoundManager* s_instance;

  const char* m_names[MAX_SOUNDS] = {};
  int m_count = 0;
  platform::sound::System* m_system = nullptr;
  platform::sound::Sound* m_sounds[MAX_SOUNDS] = {};
  platform::sound::Channel* m_channels[MAX_SOUNDS] = {};
  int m_result = 0;
  unsigned int m_version = 0;
};

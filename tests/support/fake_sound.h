// A sound system that opens no device, for the managers and scenes that
// play sounds. Every call is noted in fakeSoundCalls in words the tests
// compare ("createStream PATH MODE", "playSound INDEX PATH", "release PATH",
// ...); its results are those of fakeSoundSetup.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "sound/sound_system.h"

struct FakeSoundSetup {
  unsigned int version = platform::sound::VERSION;
  int initResult = platform::sound::OK;
  std::set<std::string> missingFiles;  // their loads fail with "file not found"
  int playResult = platform::sound::OK;
};

extern FakeSoundSetup fakeSoundSetup;
extern std::vector<std::string> fakeSoundCalls;

// Makes the fake the system every later start of a sound manager creates,
// with the default results and an empty log.
void installFakeSound();

// The calls noted so far that begin with prefix, in order.
std::vector<std::string> fakeSoundCallsOf(const std::string& prefix);

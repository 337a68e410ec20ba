#include "support/fake_sound.h"

namespace snd = platform::sound;

FakeSoundSetup fakeSoundSetup;
std::vector<std::string> fakeSoundCalls;

namespace {

class FakeSound : public snd::Sound {
 public:
  explicit FakeSound(std::string path) : path(std::move(path)) {}
  snd::Result release() override {
    fakeSoundCalls.push_back("release " + path);
    delete this;
    return snd::OK;
  }
  std::string path;
};

class FakeSystem : public snd::System {
 public:
  snd::Result getVersion(unsigned int* v) override {
    fakeSoundCalls.push_back("getVersion");
    *v = fakeSoundSetup.version;
    return snd::OK;
  }
  snd::Result init(int channels, unsigned int flags, void* data) override {
    fakeSoundCalls.push_back("init " + std::to_string(channels) + " " + std::to_string(flags) +
                             (data ? " data" : " null"));
    return static_cast<snd::Result>(fakeSoundSetup.initResult);
  }
  snd::Result createSound(const char* path, unsigned int mode, void* ex, snd::Sound** s) override {
    return create("createSound", path, mode, ex, s);
  }
  snd::Result createStream(const char* path, unsigned int mode, void* ex, snd::Sound** s) override {
    return create("createStream", path, mode, ex, s);
  }
  snd::Result playSound(int index, snd::Sound* s, bool paused, snd::Channel** ch) override {
    *ch = nullptr;
    if (!s) {
      fakeSoundCalls.push_back("playSound null");
      return snd::ERR_INVALID_PARAM;
    }
    fakeSoundCalls.push_back("playSound " + std::to_string(index) + " " +
                             static_cast<FakeSound*>(s)->path + (paused ? " paused" : ""));
    return static_cast<snd::Result>(fakeSoundSetup.playResult);
  }
  snd::Result close() override {
    fakeSoundCalls.push_back("close");
    return snd::OK;
  }
  snd::Result release() override {
    fakeSoundCalls.push_back("release system");
    delete this;
    return snd::OK;
  }

 private:
  static snd::Result create(const char* what, const char* path, unsigned int mode, void* ex,
                            snd::Sound** s) {
    fakeSoundCalls.push_back(std::string(what) + " " + path + " " + std::to_string(mode) +
                             (ex ? " ex" : ""));
    if (fakeSoundSetup.missingFiles.count(path)) {
      *s = nullptr;
      return snd::ERR_FILE_NOTFOUND;
    }
    *s = new FakeSound(path);
    return snd::OK;
  }
};

snd::Result createFake(snd::System** system) {
  fakeSoundCalls.push_back("create");
  *system = new FakeSystem;
  return snd::OK;
}

}  // namespace

void installFakeSound() {
  fakeSoundCalls.clear();
  fakeSoundSetup = FakeSoundSetup();
  snd::setSystemFactory(createFake);
}

std::vector<std::string> fakeSoundCallsOf(const std::string& prefix) {
  std::vector<std::string> found;
  for (const std::string& call : fakeSoundCalls)
    if (call.compare(0, prefix.size(), prefix) == 0) found.push_back(call);
  return found;
}

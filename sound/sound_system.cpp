// The real sound system: our mixer behind SDL's audio output.
#include "sound/sound_system.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "sound/sound_mixer.h"
#include "sound/sound_sources.h"

namespace platform {
namespace sound {

class Channel {
 public:
  int index = 0;
};

namespace {

// The most channels init accepts.
constexpr int MAX_CHANNELS = 4093;
// Device buffer: 1024 frames, about 23 ms.
constexpr int DEVICE_FRAMES = 1024;
// Block the offline puller mixes between refills of the streams.
constexpr int OFFLINE_BLOCK = 1024;
// How often the feeder thread tops the streams up.
constexpr auto FEED_INTERVAL = std::chrono::milliseconds(10);

class SdlSystem;

class SystemSound : public Sound {
 public:
  SystemSound(SdlSystem* owner, std::unique_ptr<Source> source, StreamSource* stream)
      : owner(owner), source(std::move(source)), stream(stream) {}
  Result release() override;

  SdlSystem* owner;
  std::unique_ptr<Source> source;
  StreamSource* stream;  // the same object as source for a stream, else null
};

bool offlineRequested = false;
SdlSystem* offlineSystem = nullptr;
SystemFactory factory = nullptr;

class SdlSystem : public System {
 public:
  ~SdlSystem() override;
  Result getVersion(unsigned int* version) override;
  Result init(int maxChannels, unsigned int flags, void* extraDriverData) override;
  Result createSound(const char* path, unsigned int mode, void* exinfo, Sound** sound) override;
  Result createStream(const char* path, unsigned int mode, void* exinfo, Sound** sound) override;
  Result playSound(int channelIndex, Sound* sound, bool paused, Channel** channel) override;
  Result close() override;
  Result release() override;

  // Stops the sound everywhere and frees it.
  Result releaseSound(SystemSound* sound);
  // The offline pull: refill the streams, mix, block by block.
  void renderOffline(float* out, int frames);

 private:
  Result openOutput();
  void feed();
  Result create(const char* path, unsigned int mode, void* exinfo, bool streamed, Sound** sound);
  void refillStreams();

  std::unique_ptr<Mixer> mixer;
  std::vector<Channel> channels;
  std::vector<SystemSound*> sounds;
  bool offline = false;
  bool silent = false;        // no output: plays are accepted and dropped
  bool audioStarted = false;  // SDL's audio subsystem is up (until close)
  SDL_AudioDeviceID device = 0;

  std::mutex streamsLock;  // taken before any stream's decodeLock
  std::vector<StreamSource*> streams;
  std::thread feeder;
  std::mutex feederLock;
  std::condition_variable feederWake;
  bool feederStop = false;
};

void audioCallback(void* user, Uint8* stream, int bytes) {
  static_cast<Mixer*>(user)->render(reinterpret_cast<float*>(stream),
                                    bytes / static_cast<int>(sizeof(float) * OUTPUT_CHANNELS));
}

Result SystemSound::release() { return owner->releaseSound(this); }

SdlSystem::~SdlSystem() {
  close();
  for (SystemSound* s : sounds) delete s;
}

Result SdlSystem::getVersion(unsigned int* version) {
  if (!version) return ERR_INVALID_PARAM;
  *version = VERSION;
  return OK;
}

Result SdlSystem::init(int maxChannels, unsigned int, void*) {
  if (mixer) return ERR_INITIALIZED;
  if (maxChannels < 1 || maxChannels > MAX_CHANNELS) return ERR_INVALID_PARAM;
  mixer = std::make_unique<Mixer>(maxChannels);
  channels.resize(static_cast<size_t>(maxChannels));
  for (int i = 0; i < maxChannels; ++i) channels[i].index = i;
  if (offlineRequested) {
    offline = true;
    offlineSystem = this;
    return OK;
  }
  return openOutput();
}

Result SdlSystem::openOutput() {
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    silent = true;
    return ERR_OUTPUT_INIT;
  }
  audioStarted = true;
  SDL_AudioSpec want = {};
  want.freq = OUTPUT_RATE;
  want.format = AUDIO_F32SYS;
  want.channels = OUTPUT_CHANNELS;
  want.samples = DEVICE_FRAMES;
  want.callback = audioCallback;
  want.userdata = mixer.get();
  SDL_AudioSpec have;
  // No allowed changes: SDL converts to whatever the device wants.
  device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (device == 0) {
    // The subsystem stays up until close: quitting it joins the device
    // watcher some back ends start, which sleeps in steps of 100 ms, and the
    // show should not wait for that before its first frame.
    silent = true;
    return ERR_OUTPUT_INIT;
  }
  feederStop = false;
  feeder = std::thread([this] { feed(); });
  SDL_PauseAudioDevice(device, 0);
  return OK;
}

void SdlSystem::feed() {
  std::unique_lock<std::mutex> wait(feederLock);
  while (!feederStop) {
    wait.unlock();
    refillStreams();
    wait.lock();
    feederWake.wait_for(wait, FEED_INTERVAL, [this] { return feederStop; });
  }
}

void SdlSystem::refillStreams() {
  std::lock_guard<std::mutex> hold(streamsLock);
  for (StreamSource* s : streams) s->refill();
}

Result SdlSystem::create(const char* path, unsigned int, void* exinfo, bool streamed,
                         Sound** sound) {
  if (!sound) return ERR_INVALID_PARAM;
  *sound = nullptr;
  if (exinfo) return ERR_INVALID_PARAM;
  if (!mixer) return ERR_UNINITIALIZED;
  std::unique_ptr<Source> source;
  StreamSource* stream = nullptr;
  Result r;
  if (streamed) {
    auto s = std::make_unique<StreamSource>();
    r = s->open(path);
    stream = s.get();
    source = std::move(s);
  } else {
    auto s = std::make_unique<SampleSource>();
    r = s->load(path);
    source = std::move(s);
  }
  if (r != OK) return r;
  auto* made = new SystemSound(this, std::move(source), stream);
  sounds.push_back(made);
  if (stream) {
    std::lock_guard<std::mutex> hold(streamsLock);
    streams.push_back(stream);
  }
  *sound = made;
  return OK;
}

Result SdlSystem::createSound(const char* path, unsigned int mode, void* exinfo, Sound** sound) {
  return create(path, mode, exinfo, false, sound);
}

Result SdlSystem::createStream(const char* path, unsigned int mode, void* exinfo, Sound** sound) {
  return create(path, mode, exinfo, true, sound);
}

Result SdlSystem::playSound(int channelIndex, Sound* sound, bool paused, Channel** channel) {
  if (channel) *channel = nullptr;
  if (!mixer) return ERR_UNINITIALIZED;
  auto found = std::find(sounds.begin(), sounds.end(), sound);
  if (found == sounds.end()) return sound ? ERR_INVALID_HANDLE : ERR_INVALID_PARAM;
  // Nothing here resumes a paused channel, so only unpaused plays are taken.
  if (channelIndex != CHANNEL_FREE || paused) return ERR_INVALID_PARAM;
  if (silent) return OK;

  SystemSound* s = *found;
  int index;
  if (s->stream) {
    std::lock_guard<std::mutex> hold(s->stream->decodeLock);
    mixer->stop(s->stream);
    s->stream->restart();
    index = mixer->play(s->stream);
  } else {
    index = mixer->play(s->source.get());
  }
  if (index < 0) return ERR_CHANNEL_ALLOC;
  if (channel) *channel = &channels[index];
  return OK;
}

Result SdlSystem::releaseSound(SystemSound* sound) {
  auto found = std::find(sounds.begin(), sounds.end(), sound);
  if (found == sounds.end()) return ERR_INVALID_HANDLE;
  sounds.erase(found);
  if (sound->stream) {
    std::lock_guard<std::mutex> hold(streamsLock);
    streams.erase(std::find(streams.begin(), streams.end(), sound->stream));
  }
  if (mixer) mixer->stop(sound->source.get());
  delete sound;
  return OK;
}

Result SdlSystem::close() {
  if (device) {
    SDL_CloseAudioDevice(device);
    device = 0;
  }
  if (audioStarted) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    audioStarted = false;
  }
  if (feeder.joinable()) {
    {
      std::lock_guard<std::mutex> hold(feederLock);
      feederStop = true;
    }
    feederWake.notify_all();
    feeder.join();
  }
  if (offlineSystem == this) offlineSystem = nullptr;
  return OK;
}

Result SdlSystem::release() {
  delete this;
  return OK;
}

void SdlSystem::renderOffline(float* out, int frames) {
  while (frames > 0) {
    const int n = std::min(frames, OFFLINE_BLOCK);
    refillStreams();
    mixer->render(out, n);
    out += 2 * n;
    frames -= n;
  }
}

Result createRealSystem(System** system) {
  *system = new SdlSystem;
  return OK;
}

}  // namespace

Result systemCreate(System** system) {
  if (!system) return ERR_INVALID_PARAM;
  *system = nullptr;
  return (factory ? factory : createRealSystem)(system);
}

void setSystemFactory(SystemFactory f) { factory = f; }

void setOfflineOutput(bool offline) { offlineRequested = offline; }

bool renderOffline(float* interleaved, int frames) {
  if (frames <= 0) return offlineSystem != nullptr;
  if (!offlineSystem) {
    std::fill(interleaved, interleaved + 2 * static_cast<size_t>(frames), 0.0f);
    return false;
  }
  offlineSystem->renderOffline(interleaved, frames);
  return true;
}

}  // namespace sound
}  // namespace platform

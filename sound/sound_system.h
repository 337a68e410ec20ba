// The sound system: named sounds and streams played on virtual channels.
//
// Call order: systemCreate -> System::getVersion -> System::init(32, INIT_NORMAL,
// null) -> createSound / createStream -> playSound ... -> Sound::release ->
// System::close -> System::release. Every call returns a Result: OK (0) or one
// of the error codes below; errorString gives its English text. No failure is
// fatal, and none undoes what earlier calls did.
//
// Ownership: the caller owns the System from systemCreate until
// System::release, and each Sound until Sound::release (System::release frees
// any it still holds). Channels belong to the system; a Channel* is only a
// handle. Output parameters are always written: null on failure.
//
// Output: init opens the default audio device through SDL (44.1 kHz, stereo,
// 32-bit float) and mixes on SDL's audio thread; streams are decoded ahead on
// a feeder thread of the system's own. When no device can be opened, init
// returns ERR_OUTPUT_INIT and the system carries on silent: every later call
// succeeds and nothing is heard. In offline mode (setOfflineOutput before
// init) no device is opened and no thread is started; the owner of the clock
// pulls the mix with renderOffline, decoded on the calling thread, so the same
// calls always give the same samples.
//
// Files are decoded by libsndfile (WAV, FLAC, Ogg, MP3, ...), converted to
// stereo (mono is doubled, channels past the second are dropped) and to
// 44.1 kHz (linear interpolation). Channels play at full volume without
// looping and are summed; the sum is clipped to [-1, 1].
//
// Channel choice: a play takes the free channel that became free the longest
// time ago (never-used channels first, then the lowest index). With every
// channel busy, playSound returns ERR_CHANNEL_ALLOC and plays nothing: the
// sounds already playing (the music) are never cut off. A stream plays on one
// channel at a time: playing it again stops it and starts it from the
// beginning on a new channel.
//
// Threads: all calls except renderOffline come from one thread (the window
// thread); the mixer is shared with the audio thread under a short lock.
#pragma once

namespace platform {
namespace sound {

// Result codes and their names; the texts are those of errorString.
enum Result : int {
  OK = 0,
  ERR_ALREADYLOCKED,
  ERR_BADCOMMAND,
  ERR_CDDA_DRIVERS,
  ERR_CDDA_INIT,
  ERR_CDDA_INVALID_DEVICE,
  ERR_CDDA_NOAUDIO,
  ERR_CDDA_NODEVICES,
  ERR_CDDA_NODISC,
  ERR_CDDA_READ,
  ERR_CHANNEL_ALLOC,
  ERR_CHANNEL_STOLEN,
  ERR_COM,
  ERR_DMA,
  ERR_DSP_CONNECTION,
  ERR_DSP_FORMAT,
  ERR_DSP_NOTFOUND,
  ERR_DSP_RUNNING,
  ERR_DSP_TOOMANYCONNECTIONS,
  ERR_FILE_BAD,
  ERR_FILE_COULDNOTSEEK,
  ERR_FILE_EOF,
  ERR_FILE_NOTFOUND,
  ERR_FORMAT,
  ERR_HTTP,
  ERR_HTTP_ACCESS,
  ERR_HTTP_PROXY_AUTH,
  ERR_HTTP_SERVER_ERROR,
  ERR_HTTP_TIMEOUT,
  ERR_INITIALIZATION,
  ERR_INITIALIZED,
  ERR_INTERNAL,
  ERR_INVALID_HANDLE,
  ERR_INVALID_PARAM,
  ERR_IRX,
  ERR_MEMORY,
  ERR_MEMORY_IOP,
  ERR_MEMORY_SRAM,
  ERR_NEEDHARDWARE,
  ERR_NEEDSOFTWARE,
  ERR_NET_CONNECT,
  ERR_NET_SOCKET_ERROR,
  ERR_NET_URL,
  ERR_NOTREADY,
  ERR_OUTPUT_ALLOCATED,
  ERR_OUTPUT_CREATEBUFFER,
  ERR_OUTPUT_DRIVERCALL,
  ERR_OUTPUT_FORMAT,
  ERR_OUTPUT_INIT,
  ERR_OUTPUT_NOHARDWARE,
  ERR_OUTPUT_NOSOFTWARE,
  ERR_PAN,
  ERR_PLUGIN,
  ERR_PLUGIN_MISSING,
  ERR_PLUGIN_RESOURCE,
  ERR_RECORD,
  ERR_REVERB_INSTANCE,
  ERR_SUBSOUND_ALLOCATED,
  ERR_TAGNOTFOUND,
  ERR_TOOMANYCHANNELS,
  ERR_UNIMPLEMENTED,
  ERR_UNINITIALIZED,
  ERR_UNSUPPORTED,
  ERR_UPDATE,
  ERR_VERSION,
};

// The version this system reports: 4.02.10.
constexpr unsigned int VERSION = 0x00040210;

// init flags: the default behaviour.
constexpr unsigned int INIT_NORMAL = 0;

// Sound modes: play once; prefer hardware mixing (ignored: all mixing is ours).
constexpr unsigned int LOOP_OFF = 0x00000001;
constexpr unsigned int HARDWARE = 0x00000020;

// playSound's channel argument: any free channel.
constexpr int CHANNEL_FREE = -1;

// The mix: 44.1 kHz, two interleaved channels (left, right).
constexpr int OUTPUT_RATE = 44100;
constexpr int OUTPUT_CHANNELS = 2;

// A channel handle; only the system looks inside.
class Channel;

// A loaded sound or an open stream.
class Sound {
 public:
  virtual ~Sound() = default;
  // Stops every channel playing it and frees it; the handle is dead after.
  virtual Result release() = 0;
};

// The system object.
class System {
 public:
  virtual ~System() = default;
  // The version of the running system.
  virtual Result getVersion(unsigned int* version) = 0;
  // Prepares maxChannels virtual channels and opens the output.
  virtual Result init(int maxChannels, unsigned int flags, void* extraDriverData) = 0;
  // Decodes the whole file now. exinfo must be null.
  virtual Result createSound(const char* path, unsigned int mode, void* exinfo, Sound** sound) = 0;
  // Opens the file to be decoded while it plays. exinfo must be null.
  virtual Result createStream(const char* path, unsigned int mode, void* exinfo, Sound** sound) = 0;
  // Starts the sound from its beginning on channel CHANNEL_FREE (the only
  // index accepted), unpaused (nothing here resumes a paused channel).
  virtual Result playSound(int channelIndex, Sound* sound, bool paused, Channel** channel) = 0;
  // Stops the mix, closes the output and the feeder thread; sounds stay valid.
  virtual Result close() = 0;
  // Closes if needed, frees every sound still held and the system itself.
  virtual Result release() = 0;
};

// Creates the system object (not yet initialised) through the installed
// factory, by default the real one.
Result systemCreate(System** system);

// Replaces the factory systemCreate calls (tests install fakes); null restores
// the real system.
using SystemFactory = Result (*)(System** system);
void setSystemFactory(SystemFactory factory);

// The English text of a result code; "Unknown error." outside 0 to 64.
const char* errorString(int result);

// Offline output for capture: call with true before the system's init, so that
// init opens no device and starts no thread. Applies to systems initialised
// afterwards.
void setOfflineOutput(bool offline);

// Mixes the next `frames` sample frames (2 * frames floats, left then right)
// of the system initialised in offline mode and advances it by exactly that
// much; streams decode on the calling thread. Writes silence and returns false
// when no such system is open. To stay in step with a frame clock of N frames
// per second, pull round((k + 1) * OUTPUT_RATE / N) - round(k * OUTPUT_RATE / N)
// frames after frame k.
bool renderOffline(float* interleaved, int frames);

}  // namespace sound
}  // namespace platform

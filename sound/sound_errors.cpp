// English texts of the sound system's result codes, indexed by code.
#include "sound/sound_system.h"

namespace platform {
namespace sound {

// clang-format off
static const char* const TEXTS[] = {
  /*  0 OK */
  "No errors.",
  /*  1 ALREADYLOCKED */
  "Tried to call lock a second time before unlock was called.",
  /*  2 BADCOMMAND */
  "Tried to call a function on a data type that does not allow this type of functionality (ie calling Sound::lock on a streaming sound).",
  /*  3 CDDA_DRIVERS */
  "Neither NTSCSI nor ASPI could be initialised.",
  /*  4 CDDA_INIT */
  "An error occurred while initialising the CDDA subsystem.",
  /*  5 CDDA_INVALID_DEVICE */
  "Couldn't find the specified device.",
  /*  6 CDDA_NOAUDIO */
  "No audio tracks on the specified disc.",
  /*  7 CDDA_NODEVICES */
  "No CD/DVD devices were found.",
  /*  8 CDDA_NODISC */
  "No disc present in the specified drive.",
  /*  9 CDDA_READ */
  "A CDDA read error occurred.",
  /* 10 CHANNEL_ALLOC */
  "Error trying to allocate a channel.",
  /* 11 CHANNEL_STOLEN */
  "The specified channel has been reused to play another sound.",
  /* 12 COM */
  "A Win32 COM related error occured. COM failed to initialize or a QueryInterface failed meaning a Windows codec or driver was not installed properly.",
  /* 13 DMA */
  "DMA Failure.  See debug output for more information.",
  /* 14 DSP_CONNECTION */
  "DSP connection error.  Connection possibly caused a cyclic dependancy.",
  /* 15 DSP_FORMAT */
  "DSP Format error.  A DSP unit may have attempted to connect to this network with the wrong format.",
  /* 16 DSP_NOTFOUND */
  "DSP connection error.  Couldn't find the DSP unit specified.",
  /* 17 DSP_RUNNING */
  "DSP error.  Cannot perform this operation while the network is in the middle of running.  This will most likely happen if a connection or disconnection is attempted in a DSP callback.",
  /* 18 DSP_TOOMANYCONNECTIONS */
  "DSP connection error.  The unit being connected to or disconnected should only have 1 input or output.",
  /* 19 FILE_BAD */
  "Error loading file.",
  /* 20 FILE_COULDNOTSEEK */
  "Couldn't perform seek operation.  This is a limitation of the medium (ie netstreams) or the file format.",
  /* 21 FILE_EOF */
  "End of file unexpectedly reached while trying to read essential data (truncated data?).",
  /* 22 FILE_NOTFOUND */
  "File not found.",
  /* 23 FORMAT */
  "Unsupported file or audio format.",
  /* 24 HTTP */
  "A HTTP error occurred. This is a catch-all for HTTP errors not listed elsewhere.",
  /* 25 HTTP_ACCESS */
  "The specified resource requires authentication or is forbidden.",
  /* 26 HTTP_PROXY_AUTH */
  "Proxy authentication is required to access the specified resource.",
  /* 27 HTTP_SERVER_ERROR */
  "A HTTP server error occurred.",
  /* 28 HTTP_TIMEOUT */
  "The HTTP request timed out.",
  /* 29 INITIALIZATION */
  "FMOD was not initialized correctly to support this function.",
  /* 30 INITIALIZED */
  "Cannot call this command after System::init.",
  /* 31 INTERNAL */
  "An error occured that wasnt supposed to.  Contact support.",
  /* 32 INVALID_HANDLE */
  "An invalid object handle was used.",
  /* 33 INVALID_PARAM */
  "An invalid parameter was passed to this function.",
  /* 34 IRX */
  "PS2 only.  fmodex.irx failed to initialize.  This is most likely because you forgot to load it.",
  /* 35 MEMORY */
  "Not enough memory or resources.",
  /* 36 MEMORY_IOP */
  "PS2 only.  Not enough memory or resources on PlayStation 2 IOP ram.",
  /* 37 MEMORY_SRAM */
  "Not enough memory or resources on console sound ram.",
  /* 38 NEEDHARDWARE */
  "Tried to use a feature that requires hardware support.  (ie trying to play a VAG compressed sound in software on PS2).",
  /* 39 NEEDSOFTWARE */
  "Tried to use a feature that requires the software engine.  Software engine has either been turned off, or command was executed on a hardware channel which does not support this feature.",
  /* 40 NET_CONNECT */
  "Couldn't connect to the specified host.",
  /* 41 NET_SOCKET_ERROR */
  "A socket error occurred.  This is a catch-all for socket-related errors not listed elsewhere.",
  /* 42 NET_URL */
  "The specified URL couldn't be resolved.",
  /* 43 NOTREADY */
  "Operation could not be performed because specified sound is not ready.",
  /* 44 OUTPUT_ALLOCATED */
  "Error initializing output device, but more specifically, the output device is already in use and cannot be reused.",
  /* 45 OUTPUT_CREATEBUFFER */
  "Error creating hardware sound buffer.",
  /* 46 OUTPUT_DRIVERCALL */
  "A call to a standard soundcard driver failed, which could possibly mean a bug in the driver or resources were missing or exhausted.",
  /* 47 OUTPUT_FORMAT */
  "Soundcard does not support the minimum features needed for this soundsystem (16bit stereo output).",
  /* 48 OUTPUT_INIT */
  "Error initializing output device.",
  /* 49 OUTPUT_NOHARDWARE */
  "FMOD_HARDWARE was specified but the sound card does not have the resources nescessary to play it.",
  /* 50 OUTPUT_NOSOFTWARE */
  "Attempted to create a software sound but no software channels were specified in System::init.",
  /* 51 PAN */
  "Panning only works with mono or stereo sound sources.",
  /* 52 PLUGIN */
  "An unspecified error has been returned from a 3rd party plugin.",
  /* 53 PLUGIN_MISSING */
  "A requested output, dsp unit type or codec was not available.",
  /* 54 PLUGIN_RESOURCE */
  "A resource that the plugin requires cannot be found. (ie the DLS file for MIDI playback)",
  /* 55 RECORD */
  "An error occured trying to initialize the recording device.",
  /* 56 REVERB_INSTANCE */
  "Specified Instance in FMOD_REVERB_PROPERTIES couldn't be set. Most likely because another application has locked the EAX4 FX slot.",
  /* 57 SUBSOUND_ALLOCATED */
  "This subsound is already being used by another sound, you cannot have more than one parent to a sound.  Null out the other parent's entry first.",
  /* 58 TAGNOTFOUND */
  "The specified tag could not be found or there are no tags.",
  /* 59 TOOMANYCHANNELS */
  "The sound created exceeds the allowable input channel count.  This can be increased with System::setMaxInputChannels.",
  /* 60 UNIMPLEMENTED */
  "Something in FMOD hasn't been implemented when it should be! contact support!",
  /* 61 UNINITIALIZED */
  "This command failed because System::init or System::setDriver was not called.",
  /* 62 UNSUPPORTED */
  "A command issued was not supported by this object.  Possibly a plugin without certain callbacks specified.",
  /* 63 UPDATE */
  "On PS2, System::update was called twice in a row when System::updateFinished must be called first.",
  /* 64 VERSION */
  "The version number of this file format is not supported.",
};
// clang-format on
static_assert(sizeof TEXTS / sizeof TEXTS[0] == ERR_VERSION + 1, "one text per code");

const char* errorString(int result) {
  if (result < 0 || result >= static_cast<int>(sizeof TEXTS / sizeof TEXTS[0]))
    return "Unknown error.";
  return TEXTS[result];
}

}  // namespace sound
}  // namespace platform

#include "platform/signals.h"

#include <SDL.h>
#include <signal.h>
#include <unistd.h>

namespace platform {

namespace {

const int STOP_SIGNALS[] = {SIGINT, SIGTERM};
volatile sig_atomic_t received = 0;

// Only async-signal-safe work: record the first signal, leave on the second.
void onStopSignal(int signalNumber) {
  if (received) _exit(128 + signalNumber);
  received = signalNumber;
}

}  // namespace

bool installStopSignals() {
  // SDL would otherwise turn both signals into a quit event, which the show
  // cannot tell from a closed window.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  struct sigaction action = {};
  action.sa_handler = onStopSignal;
  sigemptyset(&action.sa_mask);
  sigaddset(&action.sa_mask, SIGINT);
  sigaddset(&action.sa_mask, SIGTERM);
  // Interrupted reads and writes of the libraries carry on; the waits that
  // matter (the dialog's, the show's polling) look at the flag themselves.
  action.sa_flags = SA_RESTART;
  for (int signalNumber : STOP_SIGNALS) {
    struct sigaction previous = {};
    if (sigaction(signalNumber, nullptr, &previous) != 0) return false;
    if (previous.sa_handler == SIG_IGN) continue;
    if (sigaction(signalNumber, &action, nullptr) != 0) return false;
  }
  return true;
}

int stopSignal() { return received; }

int stopExitCode() { return received ? 128 + received : 0; }

const char* stopSignalName() {
  if (!received) return "";
  return received == SIGINT ? "SIGINT" : "SIGTERM";
}

}  // namespace platform

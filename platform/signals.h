// SIGINT and SIGTERM: the program winds down through its normal shutdown.
//
// installStopSignals once, first thing in main and before SDL starts (SDL is
// told to leave both signals alone). The first SIGINT or SIGTERM then only
// records its number; the program's loops (the settings dialog, the loading
// sequence between scene loads, the show, capture and benchmark) read it
// through stopSignal, end as they would on ESC, and the process exits with
// stopExitCode. A second one ends the process at once with 128 + its number:
// nothing is flushed, closed or restored then. A signal that was ignored when
// the program started (a background job of a script) stays ignored. The
// recorded number is process-wide state, as the signal is; installStopSignals
// returns false when the handlers cannot be installed.
#pragma once

namespace platform {

// Installs the handlers of SIGINT and SIGTERM.
bool installStopSignals();

// The number of the first stop signal received, or 0.
int stopSignal();

// The exit code that tells which signal stopped the program: 128 + its number.
int stopExitCode();

// "SIGINT" or "SIGTERM" for the signal received, or "" for none.
const char* stopSignalName();

}  // namespace platform

// The program: start-up, the message loop and shutdown. Returns the exit code.
// main hands it the run's settings, which the settings dialog may overwrite.
#pragma once

#include "app/settings.h"
#include "platform/win32.h"

// Runs the whole program with settings; the Windows arguments are not used.
int WinMain(HINSTANCE instance, HINSTANCE previous, char* commandLine, int showCommand,
            Settings& settings);

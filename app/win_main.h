// The program: start-up, the message loop and shutdown. Returns the exit code.
#pragma once

#include "platform/win32.h"

int WinMain(HINSTANCE instance, HINSTANCE previous, char* commandLine, int showCommand);

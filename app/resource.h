// The program's resources: the settings dialog, its controls and its banner,
// by number, and the module that holds them (constant for the process).
#pragma once

#include "platform/resources.h"

// The resource script's tables.
extern const platform::ResourceModule programResources;

constexpr int IDD_SETTINGS = 102;
constexpr int IDB_BANNER = 113;

constexpr int IDC_STATIC = -1;
constexpr int IDC_RESOLUTION = 1001;
constexpr int IDC_WINDOWED = 1002;
constexpr int IDC_SHOW_FPS = 1003;
constexpr int IDC_LOOP_DEMO = 1004;

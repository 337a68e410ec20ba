#include "app/settings.h"

const Resolution resolutions[RESOLUTION_COUNT] = {
    {"640x480", 640, 480},
    {"800x600", 800, 600},
    {"1024x768", 1024, 768},
    {"1600x1200", 1600, 1200},
};

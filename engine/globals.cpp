#include "engine/globals.h"

const Resolution resolutions[RESOLUTION_COUNT] = {
    {"640x480", 640, 480},
    {"800x600", 800, 600},
    {"1024x768", 1024, 768},
    {"1600x1200", 1600, 1200},
};

int resolutionIndex = 0;
bool fullscreen = false;
bool showFps = false;
bool loopDemo = false;

int screenWidth = 640;
int screenHeight = 480;
float aspectRatio = 1.0f;
bool keys[256] = {};
bool active = true;
HWND hWnd = nullptr;
HDC hDC = nullptr;
HGLRC hRC = nullptr;
HINSTANCE hInstance = nullptr;

unsigned char* desktopPixels = nullptr;

int loadingFont = -1;
int fpsFont = -1;

RunOptions runOptions;

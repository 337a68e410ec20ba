#include "engine/globals.h"

bool fullscreen = false;

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

#include "engine/gl_window.h"

#include <GL/glew.h>
#include <GL/glu.h>

#include <cstdio>

#include "geometry/light.h"
#include "platform/window.h"

static const char* const WINDOW_CLASS = "OpenGL";

// Filled on the first createGLWindow call and reused unchanged afterwards.
static platform::PixelFormatRequest pixelFormat;
static bool pixelFormatFilled = false;

// The window the message procedure serves, from createGLWindow to
// killGLWindow.
static GLWindow* messageTarget = nullptr;

static void errorBox(const char* text) {
  platform::messageBox(nullptr, text, "ERROR", MB_OK | MB_ICONEXCLAMATION);
}

static void shutdownBox(const char* text) {
  platform::messageBox(nullptr, text, "SHUTDOWN ERROR", MB_OK | MB_ICONINFORMATION);
}

// Chooses the full-screen mode; when the display refuses, asks whether to go
// windowed instead. False when the answer is to quit.
static bool enterFullscreenMode(GLWindow& window, int width, int height, int bits) {
  if (platform::changeDisplayMode(width, height, bits)) return true;
  int answer = platform::messageBox(nullptr,
                                    "The Requested Fullscreen Mode Is Not Supported By\nYour Video "
                                    "Card. Use Windowed Mode Instead?",
                                    "Vexa GL", MB_YESNO | MB_ICONEXCLAMATION);
  if (answer == IDYES) {
    window.fullscreen = false;
    return true;
  }
  platform::messageBox(nullptr, "Program Will Now Close.", "ERROR", MB_OK | MB_ICONSTOP);
  return false;
}

// The projection for the window as it came out: the requested size, unless
// the display could not switch and shows full screen at its own size.
static void resizeToClientArea(GLWindow& window, int width, int height) {
  platform::getClientSize(window.hWnd, &width, &height);
  resizeGLScene(window, width, height);
}

bool createGLWindow(GLWindow& window, const char* title, int width, int height, int bits,
                    bool fullscreenRequest) {
  window.fullscreen = fullscreenRequest;
  messageTarget = &window;
  if (!pixelFormatFilled) {
    pixelFormat = platform::PixelFormatRequest{bits, 16, true};
    pixelFormatFilled = true;
  }

  if (!platform::registerWindowClass(WINDOW_CLASS, windowProc)) {
    std::fprintf(stderr, "parallaxis: no display: %s\n", platform::lastError());
    errorBox("Failed To Register The Window Class.");
    return false;
  }

  if (window.fullscreen && !enterFullscreenMode(window, width, height, bits)) return false;
  platform::showCursor(!window.fullscreen);

  window.hWnd =
      platform::createWindow(WINDOW_CLASS, title, window.fullscreen, width, height, pixelFormat);
  if (!window.hWnd) {
    killGLWindow(window);
    errorBox("Window Creation Error.");
    return false;
  }

  window.hDC = platform::getDC(window.hWnd);
  if (!window.hDC) {
    killGLWindow(window);
    errorBox("Can't Create A GL Device Context.");
    return false;
  }
  int format = platform::choosePixelFormat(window.hDC, pixelFormat);
  if (!format) {
    killGLWindow(window);
    errorBox("Can't Find A Suitable PixelFormat.");
    return false;
  }
  if (!platform::setPixelFormat(window.hDC, format)) {
    killGLWindow(window);
    errorBox("Can't Set The PixelFormat.");
    return false;
  }
  window.hRC = platform::createContext(window.hDC);
  if (!window.hRC) {
    killGLWindow(window);
    errorBox("Can't Create A GL Rendering Context.");
    return false;
  }
  if (!platform::makeCurrent(window.hDC, window.hRC)) {
    killGLWindow(window);
    errorBox("Can't Activate The GL Rendering Context.");
    return false;
  }

  platform::showWindow(window.hWnd);
  resizeToClientArea(window, width, height);

  if (!initGL()) {
    killGLWindow(window);
    errorBox("Initialization Failed.");
    return false;
  }
  return true;
}

void killGLWindow(GLWindow& window) {
  if (window.fullscreen) {
    platform::restoreDisplayMode();
    platform::showCursor(true);
  }
  if (window.hRC) {
    if (!platform::makeCurrent(nullptr, nullptr)) shutdownBox("Release Of DC And RC Failed.");
    if (!platform::deleteContext(window.hRC)) shutdownBox("Release Rendering Context Failed.");
    window.hRC = nullptr;
  }
  if (window.hDC) {
    if (!platform::releaseDC(window.hWnd, window.hDC))
      shutdownBox("Release Device Context Failed.");
    window.hDC = nullptr;
  }
  if (window.hWnd) {
    if (!platform::destroyWindow(window.hWnd)) shutdownBox("Could Not Release hWnd.");
    window.hWnd = nullptr;
  }
  if (!platform::unregisterWindowClass(WINDOW_CLASS)) {
    shutdownBox("Could Not Unregister Class.");
    window.hInstance = nullptr;
  }
  if (messageTarget == &window) messageTarget = nullptr;
}

bool setGLWindowMode(GLWindow& window, int width, int height, int bits, bool fullscreenRequest) {
  bool wasFullscreen = window.fullscreen;
  window.fullscreen = fullscreenRequest;
  if (wasFullscreen && !window.fullscreen) platform::restoreDisplayMode();
  if (window.fullscreen && !enterFullscreenMode(window, width, height, bits)) return false;
  platform::showCursor(!window.fullscreen);
  if (!platform::setWindowMode(window.hWnd, window.fullscreen, width, height)) {
    errorBox("Window Creation Error.");
    return false;
  }
  platform::showWindow(window.hWnd);
  // The context, and with it everything the running scene set up once in its
  // init (camera, lights, blending), carries over; only the projection and
  // viewport follow the new window. The scene's camera survives the resize.
  GLfloat camera[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, camera);
  resizeToClientArea(window, width, height);
  glLoadMatrixf(camera);
  return true;
}

LRESULT windowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  GLWindow* window = messageTarget;
  if (!window) return platform::defWindowProc(hWnd, message, wParam, lParam);
  switch (message) {
    case WM_ACTIVATE: window->active = HIWORD(wParam) == 0; return 0;
    case WM_SYSCOMMAND:
      if (wParam == SC_SCREENSAVE || wParam == SC_MONITORPOWER) return 0;
      break;
    case WM_CLOSE: platform::postQuitMessage(0); return 0;
    case WM_KEYDOWN: window->keys[wParam & 0xFF] = true; return 0;
    case WM_KEYUP: window->keys[wParam & 0xFF] = false; return 0;
    case WM_SIZE:
      resizeGLScene(*window, LOWORD(static_cast<uintptr_t>(lParam)),
                    HIWORD(static_cast<uintptr_t>(lParam)));
      return 0;
    default: break;
  }
  return platform::defWindowProc(hWnd, message, wParam, lParam);
}

void resizeGLScene(GLWindow& window, int width, int height) {
  if (height == 0) height = 1;
  window.screenWidth = width;
  window.screenHeight = height;
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  double aspect = static_cast<double>(width) / static_cast<double>(height);
  window.aspectRatio = static_cast<float>(aspect);
  gluPerspective(45.0, aspect, static_cast<double>(0.1f), 150.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

bool initGL() {
  glShadeModel(GL_SMOOTH);
  glClearColor(0.0f, 0.0f, 0.0f, 0.5f);
  glClearDepth(1.0);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);

  for (int i = 0; i < GLOBAL_LIGHT_COUNT; ++i) {
    Light* light = globalLights[i];
    if (!light) continue;
    light->number = i;
    light->reset();
    light->apply();
  }
  glEnable(GL_LIGHTING);

  GLenum err = glewInit();
  if (err != GLEW_OK) {
    std::fprintf(stderr, "Error %s\n", glewGetErrorString(err));
    return false;
  }
  return true;
}

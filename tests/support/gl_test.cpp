#include "gl_test.h"

#include <GL/glew.h>

#include <cstdlib>

#include "platform/window.h"

static GLWindow window;
static bool windowOpen = false;

GLWindow& testWindow() { return window; }

bool openTestWindow(int width, int height) {
  if (!windowOpen) {
    if (!createGLWindow(window, "test", width, height, 32, false)) return false;
    windowOpen = true;
  } else {
    // A window of another size is made anew (keeping the GL context), so
    // that every pixel of the requested size exists to be read back.
    int w = 0, h = 0;
    platform::getClientSize(window.hWnd, &w, &h);
    if (w != width || h != height) {
      if (!setGLWindowMode(window, width, height, 32, false)) return false;
    } else {
      resizeGLScene(window, width, height);
    }
  }
  window.screenWidth = width;
  window.screenHeight = height;
  return true;
}

Rgb readPixel(int x, int y) {
  unsigned char p[4] = {};
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
  return Rgb{p[0], p[1], p[2]};
}

bool near(const Rgb& a, const Rgb& b, int tolerance) {
  return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
         std::abs(a.b - b.b) <= tolerance;
}

#include "platform/glut_init.h"

#include <GL/freeglut.h>
#include <X11/Xlib.h>

namespace platform {

void initGlut(int* argc, char** argv) {
  Display* display = XOpenDisplay(nullptr);
  if (!display) return;
  XCloseDisplay(display);
  glutInit(argc, argv);
}

}  // namespace platform

#include "platform/glut_init.h"

#include <GL/freeglut.h>
#include <X11/Xlib.h>

namespace platform {

void initGlut(int* argc, char** argv) {
  Display* display = XOpenDisplay(nullptr);
  if (!display) return;
  // Closed only after GLUT has its own connection: an X server may reset when
  // its last client leaves, and a connection made during the reset fails.
  glutInit(argc, argv);
  XCloseDisplay(display);
}

}  // namespace platform

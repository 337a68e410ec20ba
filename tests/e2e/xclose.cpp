// xclose NAME: asks the top-level window titled NAME to close, as a window
// manager's close button does (WM_DELETE_WINDOW). Exit 1 when no such window.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <cstring>

#include "x_find_window.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  Display* d = XOpenDisplay(nullptr);
  if (!d) return 2;
  Window w = findByName(d, DefaultRootWindow(d), argv[1]);
  if (!w) {
    std::fprintf(stderr, "xclose: no window named %s\n", argv[1]);
    return 1;
  }
  XEvent e = {};
  e.xclient.type = ClientMessage;
  e.xclient.window = w;
  e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
  e.xclient.format = 32;
  e.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
  e.xclient.data.l[1] = CurrentTime;
  XSendEvent(d, w, False, NoEventMask, &e);
  XCloseDisplay(d);
  return 0;
}

// xclose NAME: asks the top-level window titled NAME to close, as a window
// manager's close button does (WM_DELETE_WINDOW). Exit 1 when no such window.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <cstring>

static Window findByName(Display* d, Window w, const char* name) {
  char* title = nullptr;
  if (XFetchName(d, w, &title) && title) {
    bool match = std::strcmp(title, name) == 0;
    XFree(title);
    if (match) return w;
  }
  Window root, parent, *children = nullptr;
  unsigned int n = 0;
  if (!XQueryTree(d, w, &root, &parent, &children, &n)) return 0;
  Window found = 0;
  for (unsigned int i = 0; i < n && !found; ++i) found = findByName(d, children[i], name);
  if (children) XFree(children);
  return found;
}

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

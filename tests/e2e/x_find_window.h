// Finding a window by its exact title, for the X helpers of the e2e tests.
#pragma once

#include <X11/Xlib.h>

#include <cstring>

// The first window below w (w included) titled name, depth first; 0 if none.
inline Window findByName(Display* d, Window w, const char* name) {
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

// xbright NAME X Y W H [MIN]: prints how many pixels of the rectangle (window
// coordinates) of the top-level window titled NAME are bright (a channel of
// MIN, by default 160, or more), as a viewer would see text over a dark
// picture. NAME --root reads the screen itself. Exit 1 when there is no such
// window.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "x_find_window.h"

int main(int argc, char** argv) {
  if (argc != 6 && argc != 7) return 2;
  const unsigned threshold = argc == 7 ? std::atoi(argv[6]) : 160;
  Display* d = XOpenDisplay(nullptr);
  if (!d) return 2;
  Window w = std::strcmp(argv[1], "--root") == 0 ? DefaultRootWindow(d)
                                                 : findByName(d, DefaultRootWindow(d), argv[1]);
  if (!w) {
    std::fprintf(stderr, "xbright: no window named %s\n", argv[1]);
    return 1;
  }
  const int x = std::atoi(argv[2]), y = std::atoi(argv[3]);
  const unsigned width = std::atoi(argv[4]), height = std::atoi(argv[5]);
  XImage* image = XGetImage(d, w, x, y, width, height, AllPlanes, ZPixmap);
  if (!image) return 2;
  long bright = 0;
  for (unsigned j = 0; j < height; ++j) {
    for (unsigned i = 0; i < width; ++i) {
      const unsigned long p = XGetPixel(image, i, j);
      const unsigned r = (p & image->red_mask) >> __builtin_ctzl(image->red_mask);
      const unsigned g = (p & image->green_mask) >> __builtin_ctzl(image->green_mask);
      const unsigned b = (p & image->blue_mask) >> __builtin_ctzl(image->blue_mask);
      if (r >= threshold || g >= threshold || b >= threshold) ++bright;
    }
  }
  std::printf("%ld\n", bright);
  XDestroyImage(image);
  XCloseDisplay(d);
  return 0;
}

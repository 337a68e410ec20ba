#include "platform/desktop.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xrandr.h>

#include <algorithm>
#include <vector>

namespace platform {

static bool xErrorSeen = false;

static int recordXError(Display*, XErrorEvent*) {
  xErrorSeen = true;
  return 0;
}

// The default screen's connection and root window, with X errors caught
// until the connection is closed again.
class DesktopConnection {
 public:
  DesktopConnection() : display(XOpenDisplay(nullptr)) {
    if (!display) return;
    xErrorSeen = false;
    previousHandler = XSetErrorHandler(recordXError);
    root = RootWindow(display, DefaultScreen(display));
  }
  ~DesktopConnection() {
    if (!display) return;
    XSync(display, False);
    XSetErrorHandler(previousHandler);
    XCloseDisplay(display);
  }
  DesktopConnection(const DesktopConnection&) = delete;
  DesktopConnection& operator=(const DesktopConnection&) = delete;

  // The root's size; false without a display or on an X error.
  bool size(int* width, int* height) const {
    if (!display) return false;
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, root, &attributes) || xErrorSeen) return false;
    *width = attributes.width;
    *height = attributes.height;
    return true;
  }

  // The primary monitor's rectangle (RandR 1.5 monitors: the one marked
  // primary, else the first), clipped to the root; the whole root when the
  // server has no monitors to list. False without a display.
  bool primaryRect(int* x, int* y, int* width, int* height) const {
    int rootWidth = 0, rootHeight = 0;
    if (!size(&rootWidth, &rootHeight)) return false;
    *x = 0;
    *y = 0;
    *width = rootWidth;
    *height = rootHeight;
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XRRQueryExtension(display, &event, &error) || !XRRQueryVersion(display, &major, &minor) ||
        major * 100 + minor < 105)
      return true;
    int count = 0;
    XRRMonitorInfo* monitors = XRRGetMonitors(display, root, True, &count);
    if (!monitors || xErrorSeen) return true;
    const XRRMonitorInfo* chosen = count > 0 ? &monitors[0] : nullptr;
    for (int i = 0; i < count; ++i) {
      if (monitors[i].primary) {
        chosen = &monitors[i];
        break;
      }
    }
    if (chosen) {
      const int left = std::max(chosen->x, 0), top = std::max(chosen->y, 0);
      const int right = std::min(chosen->x + chosen->width, rootWidth);
      const int bottom = std::min(chosen->y + chosen->height, rootHeight);
      if (right > left && bottom > top) {
        *x = left;
        *y = top;
        *width = right - left;
        *height = bottom - top;
      }
    }
    XRRFreeMonitors(monitors);
    return true;
  }

  Display* display;
  Window root = 0;

 private:
  XErrorHandler previousHandler = nullptr;
};

// Where one colour channel sits in a pixel value.
struct ChannelLayout {
  unsigned long mask;
  int shift = 0;
  int bits = 0;

  explicit ChannelLayout(unsigned long m) : mask(m) {
    if (mask == 0) return;
    while (!((mask >> shift) & 1ul)) ++shift;
    while ((mask >> (shift + bits)) & 1ul) ++bits;
  }

  // The channel of a pixel value, scaled to 0..255.
  unsigned char of(unsigned long pixel) const {
    const unsigned long value = (pixel & mask) >> shift;
    if (bits >= 8) return static_cast<unsigned char>(value >> (bits - 8));
    return static_cast<unsigned char>(value * 255ul / ((1ul << bits) - 1ul));
  }
};

bool readDesktop(int x, int y, int width, int height, std::vector<unsigned char>* out) {
  if (width <= 0 || height <= 0) return false;
  DesktopConnection root;
  int screenWidth = 0, screenHeight = 0;
  if (!root.size(&screenWidth, &screenHeight)) return false;
  // The part of the region on the screen, and where it lands in the picture.
  const int left = std::max(x, 0), top = std::max(y, 0);
  const int readWidth = std::min(x + width, screenWidth) - left;
  const int readHeight = std::min(y + height, screenHeight) - top;
  std::vector<unsigned char> rgb(static_cast<size_t>(width) * height * 3, 0);
  if (readWidth <= 0 || readHeight <= 0) {
    out->swap(rgb);
    return true;
  }
  XImage* image = XGetImage(root.display, root.root, left, top, static_cast<unsigned>(readWidth),
                            static_cast<unsigned>(readHeight), AllPlanes, ZPixmap);
  XSync(root.display, False);
  if (!image || xErrorSeen || image->red_mask == 0) {
    if (image) XDestroyImage(image);
    return false;
  }
  const ChannelLayout red(image->red_mask), green(image->green_mask), blue(image->blue_mask);
  // 32-bit little-endian pixels (the usual TrueColor screen) are read in
  // place; anything else goes through XGetPixel.
  const bool direct = image->bits_per_pixel == 32 && image->byte_order == LSBFirst;
  // The usual one of those, X R G B with 8 bits each, is plain byte copying.
  const bool xrgb = direct && image->red_mask == 0xff0000 && image->green_mask == 0xff00 &&
                    image->blue_mask == 0xff;
  for (int j = 0; j < readHeight; ++j) {
    unsigned char* row =
        &rgb[(static_cast<size_t>(top - y + j) * width + static_cast<size_t>(left - x)) * 3];
    const unsigned char* in = reinterpret_cast<const unsigned char*>(image->data) +
                              static_cast<size_t>(j) * image->bytes_per_line;
    if (xrgb) {
      for (int i = 0; i < readWidth; ++i) {
        row[i * 3 + 0] = in[i * 4 + 2];
        row[i * 3 + 1] = in[i * 4 + 1];
        row[i * 3 + 2] = in[i * 4 + 0];
      }
      continue;
    }
    for (int i = 0; i < readWidth; ++i) {
      const unsigned long pixel = direct ? static_cast<unsigned long>(in[i * 4]) |
                                               static_cast<unsigned long>(in[i * 4 + 1]) << 8 |
                                               static_cast<unsigned long>(in[i * 4 + 2]) << 16 |
                                               static_cast<unsigned long>(in[i * 4 + 3]) << 24
                                         : XGetPixel(image, i, j);
      row[i * 3 + 0] = red.of(pixel);
      row[i * 3 + 1] = green.of(pixel);
      row[i * 3 + 2] = blue.of(pixel);
    }
  }
  XDestroyImage(image);
  out->swap(rgb);
  return true;
}

bool getDesktopRect(int* x, int* y, int* width, int* height) {
  DesktopConnection root;
  return root.primaryRect(x, y, width, height);
}

}  // namespace platform

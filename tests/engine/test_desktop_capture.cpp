#include <gtest/gtest.h>

#include <GL/glew.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "engine/desktop_capture.h"
#include "resources/texture_manager.h"
#include "support/gl_test.h"

namespace {

const Rgb TOP_LEFT{255, 0, 0}, TOP_RIGHT{0, 255, 0}, BOTTOM_LEFT{0, 0, 255},
    BOTTOM_RIGHT{255, 255, 0};

// Paints the root window in four coloured quadrants and keeps the connection
// open: an X server may reset, and repaint its root, when its last client leaves.
class PaintedRoot {
 public:
  PaintedRoot() : display(XOpenDisplay(nullptr)) {
    if (!display) return;
    const int screen = DefaultScreen(display);
    const Window root = RootWindow(display, screen);
    width = DisplayWidth(display, screen);
    height = DisplayHeight(display, screen);
    GC gc = XCreateGC(display, root, 0, nullptr);
    const Rgb colours[4] = {TOP_LEFT, TOP_RIGHT, BOTTOM_LEFT, BOTTOM_RIGHT};
    for (int q = 0; q < 4; ++q) {
      XSetForeground(display, gc,
                     (static_cast<unsigned long>(colours[q].r) << 16) |
                         (static_cast<unsigned long>(colours[q].g) << 8) |
                         static_cast<unsigned long>(colours[q].b));
      const int x = q % 2 ? width / 2 : 0, y = q / 2 ? height / 2 : 0;
      XFillRectangle(display, root, gc, x, y, static_cast<unsigned>(width - width / 2),
                     static_cast<unsigned>(height - height / 2));
    }
    XFreeGC(display, gc);
    XSync(display, False);
  }
  // Repaints the root window's own background.
  ~PaintedRoot() {
    if (!display) return;
    XClearWindow(display, DefaultRootWindow(display));
    XCloseDisplay(display);
  }
  PaintedRoot(const PaintedRoot&) = delete;
  PaintedRoot& operator=(const PaintedRoot&) = delete;

  Display* display;
  int width = 0, height = 0;
};

// An X server of its own (Xvfb, 1280 x 1024) that DISPLAY names while it
// lives, so that its monitor layout can be changed without touching the
// display the other tests use.
class PrivateXServer {
 public:
  PrivateXServer() {
    const char* saved = std::getenv("DISPLAY");
    savedDisplay = saved ? saved : "";
    int fds[2];
    if (pipe(fds) != 0) return;
    pid = fork();
    if (pid == 0) {
      const int devNull = open("/dev/null", O_WRONLY);
      dup2(devNull, 1);
      dup2(devNull, 2);
      const std::string fd = std::to_string(fds[1]);
      execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-noreset",
             "-nolisten", "tcp", static_cast<char*>(nullptr));
      _exit(127);
    }
    close(fds[1]);
    // The server writes its display number once it accepts connections.
    std::string number;
    char c = 0;
    while (pid > 0 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    close(fds[0]);
    if (!number.empty()) setenv("DISPLAY", (":" + number).c_str(), 1);
    ready = !number.empty();
  }
  ~PrivateXServer() {
    if (savedDisplay.empty()) {
      unsetenv("DISPLAY");
    } else {
      setenv("DISPLAY", savedDisplay.c_str(), 1);
    }
    if (pid > 0) {
      kill(pid, SIGTERM);
      waitpid(pid, nullptr, 0);
    }
  }
  PrivateXServer(const PrivateXServer&) = delete;
  PrivateXServer& operator=(const PrivateXServer&) = delete;

  bool ready = false;

 private:
  pid_t pid = -1;
  std::string savedDisplay;
};

// Adds a RandR monitor at (x, y, width, height); with an output it stands
// for that output (here the server's only one), without it is a monitor of
// its own.
void addMonitor(Display* display, const char* name, bool primary, bool withOutput, int x, int y,
                int width, int height) {
  const Window root = DefaultRootWindow(display);
  XRRScreenResources* resources = XRRGetScreenResources(display, root);
  XRRMonitorInfo* monitor = XRRAllocateMonitor(display, withOutput ? 1 : 0);
  monitor->name = XInternAtom(display, name, False);
  monitor->primary = primary;
  monitor->x = x;
  monitor->y = y;
  monitor->width = width;
  monitor->height = height;
  monitor->mwidth = width / 4;
  monitor->mheight = height / 4;
  if (withOutput) monitor->outputs[0] = resources->outputs[0];
  XRRSetMonitor(display, root, monitor);
  XRRFreeMonitors(monitor);
  XRRFreeScreenResources(resources);
  XSync(display, False);
}

Rgb capturedAt(const std::vector<unsigned char>& picture, int x, int row) {
  const unsigned char* p = picture.data() + (static_cast<size_t>(row) * 512 + x) * 3;
  return Rgb{p[0], p[1], p[2]};
}

// The screen's quadrants at the points lo and hi of a picture whose row 0
// is the screen's bottom.
template <typename At>
void expectQuadrants(At at, int lo, int hi) {
  const struct {
    int x, y;
    Rgb colour;
  } points[] = {
      {lo, lo, BOTTOM_LEFT}, {hi, lo, BOTTOM_RIGHT}, {lo, hi, TOP_LEFT}, {hi, hi, TOP_RIGHT}};
  for (const auto& p : points)
    EXPECT_TRUE(near(at(p.x, p.y), p.colour, 0)) << "at " << p.x << "," << p.y;
}

}  // namespace

TEST(DesktopCapture, QuadrantsLandWhereGlExpectsThem) {
  int width = 0;
  std::vector<unsigned char> picture;
  {
    // A screen of its own: under ctest -j another test's window could be on
    // the shared one.
    PrivateXServer server;
    ASSERT_TRUE(server.ready) << "no Xvfb to run";
    PaintedRoot painted;
    ASSERT_NE(painted.display, nullptr);
    picture = captureDesktop();  // before any window of this process exists
    width = painted.width;
  }
  ASSERT_EQ(picture.size(), 512u * 512u * 3u);

  // Row 0 is the screen's bottom; the squeeze is not uniform (1280 x 1024 on CI).
  expectQuadrants([&](int x, int row) { return capturedAt(picture, x, row); }, 128, 384);
  if (width % 512 == 0 || (width * 2) % 512 == 0) {
    // The quadrant edge falls between columns 255 and 256 exactly.
    EXPECT_TRUE(near(capturedAt(picture, 255, 10), BOTTOM_LEFT, 0));
    EXPECT_TRUE(near(capturedAt(picture, 256, 10), BOTTOM_RIGHT, 0));
  }

  // Uploaded as the desktop texture and drawn over the whole window, the
  // screen's corners come out in the window's corners.
  ASSERT_TRUE(openTestWindow(64, 64));
  TextureManager* tm = TextureManager::instance();
  ASSERT_EQ(tm->loadTextureFromMemory(picture.data(), 512, 512, 3, DESKTOP_TEXTURE_ID),
            DESKTOP_TEXTURE_ID);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisable(GL_LIGHTING);
  glDisable(GL_DEPTH_TEST);
  glEnable(GL_TEXTURE_2D);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  glBindTexture(GL_TEXTURE_2D, DESKTOP_TEXTURE_ID);
  glBegin(GL_QUADS);
  glTexCoord2f(0, 0), glVertex2f(-1, -1);
  glTexCoord2f(1, 0), glVertex2f(1, -1);
  glTexCoord2f(1, 1), glVertex2f(1, 1);
  glTexCoord2f(0, 1), glVertex2f(-1, 1);
  glEnd();
  glDisable(GL_TEXTURE_2D);
  expectQuadrants(readPixel, 8, 56);
}

TEST(DesktopCapture, OfTwoMonitorsOnlyThePrimaryIsCopied) {
  PrivateXServer server;
  ASSERT_TRUE(server.ready) << "no Xvfb to run";
  std::vector<unsigned char> picture;
  {
    PaintedRoot painted;
    ASSERT_NE(painted.display, nullptr);
    ASSERT_EQ(painted.width, 1280);
    // The left half is the server's output, the primary is the right half.
    addMonitor(painted.display, "left", false, true, 0, 0, 640, 1024);
    addMonitor(painted.display, "right", true, false, 640, 0, 640, 1024);
    picture = captureDesktop();
  }
  ASSERT_EQ(picture.size(), 512u * 512u * 3u);
  // The right half fills the picture: nothing of the left one is in it.
  for (int x : {0, 128, 255, 256, 384, 511}) {
    EXPECT_TRUE(near(capturedAt(picture, x, 128), BOTTOM_RIGHT, 0)) << "column " << x;
    EXPECT_TRUE(near(capturedAt(picture, x, 384), TOP_RIGHT, 0)) << "column " << x;
  }
}

TEST(DesktopCapture, WithoutADisplayThePictureIsBlack) {
  const char* saved = std::getenv("DISPLAY");
  const std::string display = saved ? saved : "";
  setenv("DISPLAY", ":9999", 1);
  const std::vector<unsigned char> picture = captureDesktop();
  if (saved) setenv("DISPLAY", display.c_str(), 1);
  ASSERT_EQ(picture.size(), 512u * 512u * 3u);
  bool black = true;
  for (unsigned char c : picture) black = black && c == 0;
  EXPECT_TRUE(black);
}

TEST(DesktopCapture, StretchAveragesBlocksAndRepeatsPixels) {
  // A 4 x 2 picture, top row first: red, green, then grey steps below.
  const std::vector<unsigned char> rgb = {
      200, 0,  0,  100, 0,  0,  0,  40, 0,  0,  41, 0,  // top row
      10,  10, 10, 20,  20, 20, 30, 30, 30, 41, 41, 41,
  };
  struct Case {
    int width, height;  // bitmap
    int x, row;         // a bitmap pixel (row 0 is the bottom)
    int b, g, r;        // its value
  } cases[] = {
      {2, 1, 0, 0, 8, 8, 83},    // (200+100+10+20)/4 red, (10+20)/4 rounds up
      {2, 1, 1, 0, 18, 38, 18},  // (30+41)/4 = 17.75, (40+41+30+41)/4 = 38
      {2, 2, 0, 1, 0, 0, 150},   // the top row lands in the last bitmap row
      {2, 2, 1, 0, 36, 36, 36},  // (30+41)/2 = 35.5 rounds up
      {8, 4, 0, 3, 0, 0, 200},   // a larger bitmap repeats: top left corner
      {8, 4, 7, 0, 41, 41, 41},  // bottom right corner
      {8, 4, 5, 2, 0, 40, 0},    // third column of the top picture row
  };
  for (const Case& c : cases) {
    std::vector<unsigned char> bitmap(static_cast<size_t>(c.width) * c.height * 4, 9);
    stretchIntoBitmap(rgb, 4, 2, bitmap.data(), c.width, c.height);
    const unsigned char* p = &bitmap[(static_cast<size_t>(c.row) * c.width + c.x) * 4];
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " at " << c.x << "," << c.row);
    EXPECT_EQ(p[0], c.b);
    EXPECT_EQ(p[1], c.g);
    EXPECT_EQ(p[2], c.r);
    EXPECT_EQ(p[3], 0);
  }
}

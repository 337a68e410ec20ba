#include "support/frame_scan.h"

#include <GL/gl.h>

#include <algorithm>

Rgb Frame::at(int x, int y) const {
  const unsigned char* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
  return Rgb{p[0], p[1], p[2]};
}

Frame readFrame() {
  GLint vp[4];
  glGetIntegerv(GL_VIEWPORT, vp);
  Frame frame;
  frame.width = vp[2];
  frame.height = vp[3];
  frame.rgb.resize(static_cast<size_t>(frame.width) * frame.height * 3);
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(vp[0], vp[1], frame.width, frame.height, GL_RGB, GL_UNSIGNED_BYTE, frame.rgb.data());
  return frame;
}

Box boundingBox(const Frame& frame, const PixelTest& test) {
  Box box{frame.width, frame.height, -1, -1};
  for (int y = 0; y < frame.height; ++y)
    for (int x = 0; x < frame.width; ++x) {
      if (!test(frame.at(x, y))) continue;
      box.x0 = std::min(box.x0, x);
      box.y0 = std::min(box.y0, y);
      box.x1 = std::max(box.x1, x);
      box.y1 = std::max(box.y1, y);
    }
  return box;
}

int countPixels(const Frame& frame, const PixelTest& test) {
  int n = 0;
  for (int y = 0; y < frame.height; ++y)
    for (int x = 0; x < frame.width; ++x) n += test(frame.at(x, y)) ? 1 : 0;
  return n;
}

bool isWhite(const Rgb& c) { return c.r > 200 && c.g > 200 && c.b > 200; }

bool isLit(const Rgb& c) { return c.r + c.g + c.b > 30; }

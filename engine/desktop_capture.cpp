#include "engine/desktop_capture.h"

#include <cstddef>
#include <vector>

#include "platform/desktop.h"

// A halftoning blit: a smaller bitmap averages blocks, a larger one repeats
// pixels (each bitmap pixel covers at least one).
void stretchIntoBitmap(const std::vector<unsigned char>& rgb, int srcWidth, int srcHeight,
                       unsigned char* bgrx, int width, int height) {
  // The source columns of each bitmap column, the same for every row.
  std::vector<int> columnStart(static_cast<size_t>(width)), columnEnd(static_cast<size_t>(width));
  for (int dx = 0; dx < width; ++dx) {
    columnStart[dx] = static_cast<int>(static_cast<long long>(dx) * srcWidth / width);
    columnEnd[dx] = static_cast<int>(static_cast<long long>(dx + 1) * srcWidth / width);
    if (columnEnd[dx] <= columnStart[dx]) columnEnd[dx] = columnStart[dx] + 1;
  }
  for (int dy = 0; dy < height; ++dy) {
    const int y0 = static_cast<int>(static_cast<long long>(dy) * srcHeight / height);
    int y1 = static_cast<int>(static_cast<long long>(dy + 1) * srcHeight / height);
    if (y1 <= y0) y1 = y0 + 1;
    unsigned char* out = bgrx + static_cast<size_t>(height - 1 - dy) * width * 4;
    for (int dx = 0; dx < width; ++dx) {
      const int x0 = columnStart[dx], x1 = columnEnd[dx];
      unsigned long sum[3] = {0, 0, 0};
      for (int y = y0; y < y1; ++y) {
        const unsigned char* p = &rgb[(static_cast<size_t>(y) * srcWidth + x0) * 3];
        for (int x = x0; x < x1; ++x, p += 3) {
          sum[0] += p[0];
          sum[1] += p[1];
          sum[2] += p[2];
        }
      }
      const unsigned long count = static_cast<unsigned long>((y1 - y0) * (x1 - x0));
      out[dx * 4 + 0] = static_cast<unsigned char>((sum[2] + count / 2) / count);
      out[dx * 4 + 1] = static_cast<unsigned char>((sum[1] + count / 2) / count);
      out[dx * 4 + 2] = static_cast<unsigned char>((sum[0] + count / 2) / count);
      out[dx * 4 + 3] = 0;
    }
  }
}

std::vector<unsigned char> captureDesktop() {
  const int size = DESKTOP_CAPTURE_SIZE;

  // 1. The primary screen's rectangle, from its top left corner.
  int sourceX = 0, sourceY = 0, sourceWidth = 0, sourceHeight = 0;
  platform::getDesktopRect(&sourceX, &sourceY, &sourceWidth, &sourceHeight);

  // 2-3. A bottom-up 32-bit bitmap (B, G, R, X), black until something is copied.
  std::vector<unsigned char> bitmap(static_cast<size_t>(size) * size * 4, 0);

  // 4. Stretch the primary screen into it; the aspect ratio is not kept.
  std::vector<unsigned char> screen;
  if (platform::readDesktop(sourceX, sourceY, sourceWidth, sourceHeight, &screen))
    stretchIntoBitmap(screen, sourceWidth, sourceHeight, bitmap.data(), size, size);

  // 5. Convert every pixel in memory order: B, G, R, X becomes R, G, B.
  std::vector<unsigned char> desktopPixels(static_cast<size_t>(size) * size * 3);
  for (size_t i = 0, n = static_cast<size_t>(size) * size; i < n; ++i) {
    desktopPixels[i * 3 + 0] = bitmap[i * 4 + 2];
    desktopPixels[i * 3 + 1] = bitmap[i * 4 + 1];
    desktopPixels[i * 3 + 2] = bitmap[i * 4 + 0];
  }
  // 6. The bitmap is released here; nothing of the display is kept.
  return desktopPixels;
}

#include "engine/desktop_capture.h"

#include <cstddef>
#include <vector>

#include "engine/globals.h"
#include "platform/desktop.h"

void captureDesktop() {
  const int size = DESKTOP_CAPTURE_SIZE;

  // 1. The primary screen's rectangle, from its top left corner.
  int sourceX = 0, sourceY = 0, sourceWidth = 0, sourceHeight = 0;
  platform::getDesktopRect(&sourceX, &sourceY, &sourceWidth, &sourceHeight);

  // 2-3. A bottom-up 32-bit bitmap (B, G, R, X), black until something is copied.
  std::vector<unsigned char> bitmap(static_cast<size_t>(size) * size * 4, 0);

  // 4. Stretch the primary screen into it; the aspect ratio is not kept.
  platform::stretchCopyDesktop(bitmap.data(), size, size, sourceX, sourceY, sourceWidth,
                               sourceHeight);

  // 5. Convert every pixel in memory order: B, G, R, X becomes R, G, B.
  delete[] desktopPixels;
  desktopPixels = new unsigned char[static_cast<size_t>(size) * size * 3];
  for (size_t i = 0, n = static_cast<size_t>(size) * size; i < n; ++i) {
    desktopPixels[i * 3 + 0] = bitmap[i * 4 + 2];
    desktopPixels[i * 3 + 1] = bitmap[i * 4 + 1];
    desktopPixels[i * 3 + 2] = bitmap[i * 4 + 0];
  }
  // 6. The bitmap is released here; nothing of the display is kept.
}

#include "platform/resources.h"

namespace platform {

const DialogTemplate* findDialogTemplate(int id) {
  for (int i = 0; i < dialogResourceCount; ++i)
    if (dialogResources[i].id == id) return &dialogResources[i];
  return nullptr;
}

const BitmapResource* findBitmap(int id) {
  for (int i = 0; i < bitmapResourceCount; ++i)
    if (bitmapResources[i].id == id) return &bitmapResources[i];
  return nullptr;
}

}  // namespace platform

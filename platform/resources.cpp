#include "platform/resources.h"

namespace platform {

const DialogTemplate* findDialogTemplate(const ResourceModule& module, int id) {
  for (int i = 0; i < module.dialogCount; ++i)
    if (module.dialogs[i].id == id) return &module.dialogs[i];
  return nullptr;
}

const BitmapResource* findBitmap(const ResourceModule& module, int id) {
  for (int i = 0; i < module.bitmapCount; ++i)
    if (module.bitmaps[i].id == id) return &module.bitmaps[i];
  return nullptr;
}

}  // namespace platform

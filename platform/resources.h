// Resources built into the executable: dialog templates and bitmaps, looked up
// by number as a resource script names them.
//
// The tables live in app/ (the program's resource script) and are
// constant for the life of the process; callers never own or free what a
// lookup returns. An unknown number returns null (false for bitmaps).
#pragma once

#include <cstddef>

#include "platform/win32.h"

namespace platform {

// One control of a dialog template; coordinates in dialog units.
struct DialogItemTemplate {
  int id;
  const char* windowClass;  // "button", "static" or "combobox"
  const char* text;         // caption; null for a bitmap static
  int imageResource;        // bitmap number for SS_BITMAP, else 0
  DWORD style;
  int x, y, cx, cy;
};

// An extended dialog template: frame, caption, font and controls in tab order.
struct DialogTemplate {
  int id;
  DWORD style;
  DWORD exStyle;
  int x, y, cx, cy;
  const char* caption;
  const char* fontName;
  int pointSize;
  int weight;
  bool italic;
  int charset;
  const DialogItemTemplate* items;
  int itemCount;
};

// A bitmap resource: the bytes of a BMP file.
struct BitmapResource {
  int id;
  const unsigned char* bytes;
  size_t size;
};

// The dialog template with this number, or null.
const DialogTemplate* findDialogTemplate(int id);

// The bitmap with this number, or null.
const BitmapResource* findBitmap(int id);

// The resource script's tables (app/).
extern const DialogTemplate dialogResources[];
extern const int dialogResourceCount;
extern const BitmapResource bitmapResources[];
extern const int bitmapResourceCount;

}  // namespace platform

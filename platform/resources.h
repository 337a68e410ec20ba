// Resources built into the executable: dialog templates and bitmaps, looked up
// by number as a resource script names them.
//
// The program's resource script defines the tables of a ResourceModule and
// hands it to dialogBox; the tables are constant for the life of the process,
// and callers never own or free what a lookup returns. An unknown number
// returns null.
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

// The tables of one resource script.
struct ResourceModule {
  const DialogTemplate* dialogs;
  int dialogCount;
  const BitmapResource* bitmaps;
  int bitmapCount;
};

// The module's dialog template with this number, or null.
const DialogTemplate* findDialogTemplate(const ResourceModule& module, int id);

// The module's bitmap with this number, or null.
const BitmapResource* findBitmap(const ResourceModule& module, int id);

}  // namespace platform

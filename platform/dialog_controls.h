// The controls of a dialog template as FLTK widgets (used by dialog.cpp only).
//
// createControl runs while the dialog's window is the current FLTK group, so
// the window owns the widget; the DialogControl owns what the widget shows
// (combo rows, the bitmap) and must outlive it. A control reports user actions
// through its notify function with a WM_COMMAND notification code. A bitmap
// that cannot be read leaves an empty control (reported on stderr).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/resources.h"
#include "platform/win32.h"

class Fl_Widget;
class Fl_RGB_Image;
struct Fl_Menu_Item;

namespace platform {

enum class ControlKind {
  PUSH_BUTTON,
  DEFAULT_BUTTON,
  CHECK_BOX,
  GROUP_BOX,
  TEXT,
  BITMAP,
  COMBO_BOX
};

// The font of the controls: an FLTK font number and its pixel size.
struct DialogFont {
  int face;
  int pixels;
};

struct DialogControl {
  int id = 0;
  ControlKind kind = ControlKind::TEXT;
  Fl_Widget* widget = nullptr;
  std::function<void(WORD notification)> notify;
  // Combo box: the list and the selected row (CB_ERR when none).
  std::vector<std::string> rows;
  int selection = CB_ERR;
  std::vector<Fl_Menu_Item> menu;  // the rows as the drop-down list shows them
  // Bitmap static: the picture the widget shows.
  std::vector<unsigned char> pixels;
  std::unique_ptr<Fl_RGB_Image> image;

  DialogControl();
  ~DialogControl();
};

// Dialog units to pixels for the 8-point dialog font, rounded half away from 0.
int dialogUnitsToPixelsX(int units);
int dialogUnitsToPixelsY(int units);

// The font a template asks for, as FLTK draws it.
DialogFont dialogFont(const DialogTemplate& dialog);

// Builds the widget of one control in the current FLTK group; a bitmap
// control takes its picture from the module.
std::unique_ptr<DialogControl> createControl(const ResourceModule& module,
                                             const DialogItemTemplate& item,
                                             const DialogFont& font);

// Handles a BM_* or CB_* message for the control; CB_ERR when it does not apply.
LRESULT controlMessage(DialogControl& control, UINT message, WPARAM wParam, LPARAM lParam);

// The control's text: a caption, or what a combo box's edit field holds.
std::string controlText(const DialogControl& control);

}  // namespace platform

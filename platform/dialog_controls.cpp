#include "platform/dialog_controls.h"

#include <FL/Enumerations.H>
#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Input_Choice.H>
#include <FL/Fl_Menu_Item.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/fl_draw.H>

#include <cstdio>
#include <cstring>
#include <strings.h>

#include "platform/dib.h"

namespace platform {

namespace {

// The screen resolution dialog fonts are sized for: 8 points are 11 pixels.
constexpr int DOTS_PER_INCH = 96;

// The Enter key presses the default push button wherever the focus is.
class DefaultButton : public Fl_Button {
 public:
  DefaultButton(int x, int y, int w, int h, const char* text) : Fl_Button(x, y, w, h, text) {}

  int handle(int event) override {
    if (event == FL_SHORTCUT &&
        (Fl::event_key() == FL_Enter || Fl::event_key() == FL_KP_Enter)) {
      simulate_key_action();
      do_callback();
      return 1;
    }
    return Fl_Button::handle(event);
  }

  void draw() override {
    Fl_Button::draw();
    fl_color(FL_FOREGROUND_COLOR);
    fl_rect(x(), y(), w(), h());
  }
};

// An etched frame with its caption set into the top edge.
class GroupBox : public Fl_Widget {
 public:
  GroupBox(int x, int y, int w, int h, const char* text) : Fl_Widget(x, y, w, h, text) {}

  void draw() override {
    fl_font(labelfont(), labelsize());
    int textWidth = 0, textHeight = 0;
    fl_measure(label(), textWidth, textHeight, 0);
    const int top = y() + fl_height() / 2;
    const int frameHeight = y() + h() - top;
    fl_color(FL_DARK3);
    fl_rect(x(), top, w() - 1, frameHeight - 1);
    fl_color(FL_LIGHT3);
    fl_rect(x() + 1, top + 1, w() - 1, frameHeight - 1);
    if (!label() || !*label()) return;
    fl_color(parent() ? parent()->color() : color());
    fl_rectf(x() + 6, y(), textWidth + 4, fl_height());
    fl_color(labelcolor());
    fl_draw(label(), x() + 8, y() + fl_height() - fl_descent());
  }
};

ControlKind kindOf(const DialogItemTemplate& item) {
  if (strcasecmp(item.windowClass, "combobox") == 0) return ControlKind::COMBO_BOX;
  if (strcasecmp(item.windowClass, "static") == 0)
    return (item.style & SS_TYPEMASK) == SS_BITMAP ? ControlKind::BITMAP : ControlKind::TEXT;
  switch (item.style & BS_TYPEMASK) {
    case BS_DEFPUSHBUTTON: return ControlKind::DEFAULT_BUTTON;
    case BS_AUTOCHECKBOX: return ControlKind::CHECK_BOX;
    case BS_GROUPBOX: return ControlKind::GROUP_BOX;
    default: return ControlKind::PUSH_BUTTON;
  }
}

void notifyCallback(Fl_Widget*, void* data) {
  auto* control = static_cast<DialogControl*>(data);
  if (control->notify) control->notify(BN_CLICKED);
}

// A pick from the list selects its row; typing leaves no row selected.
void comboCallback(Fl_Widget* widget, void* data) {
  auto* combo = static_cast<Fl_Input_Choice*>(widget);
  auto* control = static_cast<DialogControl*>(data);
  WORD notification = CBN_EDITCHANGE;
  if (combo->menubutton()->changed()) {
    combo->menubutton()->clear_changed();
    control->selection = combo->menubutton()->value();
    notification = CBN_SELCHANGE;
  } else {
    control->selection = CB_ERR;
  }
  if (control->notify) control->notify(notification);
}

// The drop-down list shows the rows as they are (no menu-path parsing).
void rebuildMenu(DialogControl& control) {
  control.menu.assign(control.rows.size() + 1, Fl_Menu_Item{});
  for (size_t i = 0; i < control.rows.size(); ++i) {
    control.menu[i].text = control.rows[i].c_str();
    control.menu[i].labelfont_ = control.widget->labelfont();
    control.menu[i].labelsize_ = control.widget->labelsize();
  }
  static_cast<Fl_Input_Choice*>(control.widget)->menu(control.menu.data());
}

void loadBitmap(DialogControl& control, const DialogItemTemplate& item) {
  const BitmapResource* bitmap = findBitmap(item.imageResource);
  int width = 0, height = 0;
  if (!bitmap || !decodeBmp24(bitmap->bytes, bitmap->size, &width, &height, &control.pixels)) {
    std::fprintf(stderr, "dialog: bitmap %d cannot be read; its control stays empty\n",
                 item.imageResource);
    return;
  }
  control.image.reset(new Fl_RGB_Image(control.pixels.data(), width, height, 3));
  // A bitmap static takes the size of its picture.
  control.widget->size(width, height);
  control.widget->image(control.image.get());
}

}  // namespace

DialogControl::DialogControl() = default;
DialogControl::~DialogControl() = default;

int dialogUnitsToPixelsX(int units) { return (units * 6 + (units >= 0 ? 2 : -2)) / 4; }
int dialogUnitsToPixelsY(int units) { return (units * 13 + (units >= 0 ? 4 : -4)) / 8; }

DialogFont dialogFont(const DialogTemplate& dialog) {
  const int points = dialog.pointSize > 0 ? dialog.pointSize : 8;
  return DialogFont{FL_HELVETICA, (points * DOTS_PER_INCH + 36) / 72};
}

std::unique_ptr<DialogControl> createControl(const DialogItemTemplate& item,
                                             const DialogFont& font) {
  auto control = std::make_unique<DialogControl>();
  control->id = item.id;
  control->kind = kindOf(item);
  const int x = dialogUnitsToPixelsX(item.x), y = dialogUnitsToPixelsY(item.y);
  const int w = dialogUnitsToPixelsX(item.cx), h = dialogUnitsToPixelsY(item.cy);
  const char* text = item.text ? item.text : "";
  Fl_Widget* widget = nullptr;
  switch (control->kind) {
    case ControlKind::PUSH_BUTTON: widget = new Fl_Button(x, y, w, h, text); break;
    case ControlKind::DEFAULT_BUTTON: widget = new DefaultButton(x, y, w, h, text); break;
    case ControlKind::CHECK_BOX: widget = new Fl_Check_Button(x, y, w, h, text); break;
    case ControlKind::GROUP_BOX: widget = new GroupBox(x, y, w, h, text); break;
    case ControlKind::TEXT:
      widget = new Fl_Box(x, y, w, h, text);
      widget->align(FL_ALIGN_TOP_LEFT | FL_ALIGN_INSIDE | FL_ALIGN_WRAP);
      break;
    case ControlKind::BITMAP: widget = new Fl_Box(x, y, w, h); break;
    case ControlKind::COMBO_BOX: {
      // The template's height includes the dropped-down list; the closed box
      // is as tall as the font needs.
      fl_font(font.face, font.pixels);
      auto* combo = new Fl_Input_Choice(x, y, w, fl_height() + 8);
      combo->textfont(font.face);
      combo->textsize(font.pixels);
      combo->input()->textfont(font.face);
      combo->input()->textsize(font.pixels);
      combo->when(FL_WHEN_CHANGED);
      widget = combo;
      break;
    }
  }
  control->widget = widget;
  widget->labelfont(font.face);
  widget->labelsize(font.pixels);
  if (!(item.style & WS_TABSTOP)) widget->clear_visible_focus();
  if (control->kind == ControlKind::BITMAP) loadBitmap(*control, item);
  if (control->kind == ControlKind::COMBO_BOX)
    widget->callback(comboCallback, control.get());
  else if (control->kind != ControlKind::TEXT && control->kind != ControlKind::BITMAP)
    widget->callback(notifyCallback, control.get());
  return control;
}

LRESULT controlMessage(DialogControl& control, UINT message, WPARAM wParam, LPARAM lParam) {
  if (control.kind == ControlKind::CHECK_BOX) {
    auto* box = static_cast<Fl_Check_Button*>(control.widget);
    if (message == BM_GETCHECK) return box->value() ? BST_CHECKED : BST_UNCHECKED;
    if (message == BM_SETCHECK) {
      box->value(wParam == BST_CHECKED);
      return 0;
    }
    return CB_ERR;
  }
  if (control.kind != ControlKind::COMBO_BOX) return CB_ERR;
  auto* combo = static_cast<Fl_Input_Choice*>(control.widget);
  const int count = static_cast<int>(control.rows.size());
  switch (message) {
    case CB_ADDSTRING: {
      const char* text = reinterpret_cast<const char*>(lParam);
      control.rows.emplace_back(text ? text : "");
      rebuildMenu(control);
      return count;
    }
    case CB_GETCOUNT: return count;
    case CB_GETCURSEL: return control.selection;
    case CB_SETCURSEL: {
      const int row = static_cast<int>(static_cast<intptr_t>(wParam));
      if (row < 0 || row >= count) {
        control.selection = CB_ERR;
        combo->value("");
        return CB_ERR;
      }
      control.selection = row;
      combo->value(row);
      return row;
    }
    case CB_FINDSTRINGEXACT: {
      // Case-insensitive, starting after row wParam and wrapping round.
      const char* text = reinterpret_cast<const char*>(lParam);
      if (!text || count == 0) return CB_ERR;
      const int after = static_cast<int>(static_cast<intptr_t>(wParam));
      const int first = after >= 0 && after < count ? after + 1 : 0;
      for (int k = 0; k < count; ++k) {
        const int row = (first + k) % count;
        if (strcasecmp(control.rows[row].c_str(), text) == 0) return row;
      }
      return CB_ERR;
    }
    default: return CB_ERR;
  }
}

std::string controlText(const DialogControl& control) {
  if (control.kind == ControlKind::COMBO_BOX) {
    const char* value = static_cast<const Fl_Input_Choice*>(control.widget)->value();
    return value ? value : "";
  }
  return control.widget->label() ? control.widget->label() : "";
}

}  // namespace platform

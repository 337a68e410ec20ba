#include "platform/dialog_controls.h"

#include <FL/Enumerations.H>
#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Menu_Item.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/fl_draw.H>

#include <strings.h>
#include <cstdio>
#include <cstring>

#include "platform/dib.h"

namespace platform {

namespace {

// The screen resolution dialog fonts are sized for: 8 points are 11 pixels.
constexpr int DOTS_PER_INCH = 96;
constexpr Fl_Font DIALOG_FACE = FL_FREE_FONT;

// The Enter key presses the default push button wherever the focus is.
class DefaultButton : public Fl_Button {
 public:
  DefaultButton(int x, int y, int w, int h, const char* text) : Fl_Button(x, y, w, h, text) {}

  int handle(int event) override {
    if (event == FL_SHORTCUT && (Fl::event_key() == FL_Enter || Fl::event_key() == FL_KP_Enter)) {
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
    const char* text = label() ? label() : "";
    fl_font(labelfont(), labelsize());
    int textWidth = 0, textHeight = 0;
    fl_measure(text, textWidth, textHeight, 0);
    const int top = y() + fl_height() / 2;
    const int frameHeight = y() + h() - top;
    fl_color(FL_DARK3);
    fl_rect(x(), top, w() - 1, frameHeight - 1);
    fl_color(FL_LIGHT3);
    fl_rect(x() + 1, top + 1, w() - 1, frameHeight - 1);
    if (!*text) return;
    fl_color(parent() ? parent()->color() : color());
    fl_rectf(x() + 6, y(), textWidth + 4, fl_height());
    fl_color(labelcolor());
    fl_draw(text, x() + 8, y() + fl_height() - fl_descent());
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

// An editable combo box: an edit field and an arrow that drops the list
// below the whole box. Picking a row (from the list, or with Up and Down in
// the field) selects it; typing leaves no row selected.
class ComboBox : public Fl_Group {
 public:
  ComboBox(int x, int y, int w, int h, DialogControl* control)
      : Fl_Group(x, y, w, h), control(control) {
    const int arrowWidth = h - 4;
    field = new Field(x, y, w - arrowWidth, h, this);
    field->when(FL_WHEN_CHANGED);
    field->callback(typed, this);
    arrow = new Arrow(x + w - arrowWidth, y, arrowWidth, h);
    arrow->callback(dropDown, this);
    arrow->clear_visible_focus();
    end();
  }

  Fl_Input* input() { return field; }

  // Shows row (or clears the field for CB_ERR) and selects it.
  void select(int row) {
    control->selection = row;
    field->value(row == CB_ERR ? "" : control->rows[row].c_str());
  }

  // Selects a row as the user did, and says so.
  void pick(int row) {
    if (row < 0 || row >= static_cast<int>(control->rows.size())) return;
    select(row);
    field->take_focus();
    if (control->notify) control->notify(CBN_SELCHANGE);
  }

  void openList() {
    if (control->rows.empty()) return;
    const Fl_Menu_Item* picked = control->menu.data()->pulldown(x(), y(), w(), h());
    if (picked) pick(static_cast<int>(picked - control->menu.data()));
  }

 private:
  class Field : public Fl_Input {
   public:
    Field(int x, int y, int w, int h, ComboBox* box) : Fl_Input(x, y, w, h), box(box) {}
    int handle(int event) override {
      if (event == FL_KEYBOARD) {
        const int key = Fl::event_key();
        const bool alt = Fl::event_state(FL_ALT);
        if (key == FL_F + 4 || (alt && (key == FL_Down || key == FL_Up))) {
          box->openList();
          return 1;
        }
        if (key == FL_Down || key == FL_Up) {
          const int row = box->control->selection;
          box->pick(key == FL_Down ? (row < 0 ? 0 : row + 1) : row - 1);
          return 1;
        }
      }
      return Fl_Input::handle(event);
    }

   private:
    ComboBox* box;
  };

  class Arrow : public Fl_Button {
   public:
    Arrow(int x, int y, int w, int h) : Fl_Button(x, y, w, h) {}
    void draw() override {
      draw_box(value() ? FL_DOWN_BOX : FL_UP_BOX, color());
      const int cx = x() + w() / 2, cy = y() + h() / 2;
      fl_color(active_r() ? FL_FOREGROUND_COLOR : fl_inactive(FL_FOREGROUND_COLOR));
      fl_polygon(cx - 4, cy - 2, cx + 4, cy - 2, cx, cy + 2);
    }
  };

  static void typed(Fl_Widget*, void* data) {
    auto* box = static_cast<ComboBox*>(data);
    box->control->selection = CB_ERR;
    if (box->control->notify) box->control->notify(CBN_EDITCHANGE);
  }
  static void dropDown(Fl_Widget*, void* data) { static_cast<ComboBox*>(data)->openList(); }

  DialogControl* control;
  Field* field;
  Arrow* arrow;
};

// The drop-down list shows the rows as they are (no menu-path parsing).
void rebuildMenu(DialogControl& control) {
  control.menu.assign(control.rows.size() + 1, Fl_Menu_Item{});
  for (size_t i = 0; i < control.rows.size(); ++i) {
    control.menu[i].text = control.rows[i].c_str();
    control.menu[i].labelfont_ = control.widget->labelfont();
    control.menu[i].labelsize_ = control.widget->labelsize();
  }
}

void loadBitmap(DialogControl& control, const ResourceModule& module,
                const DialogItemTemplate& item) {
  const BitmapResource* bitmap = findBitmap(module, item.imageResource);
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
  // The dialog font is a plain sans with the metrics of the Windows one
  // (Liberation Sans, as fontconfig resolves it); FLTK draws it through Xft.
  Fl::set_font(DIALOG_FACE, dialog.weight >= 700 ? "BLiberation Sans" : " Liberation Sans");
  const int points = dialog.pointSize > 0 ? dialog.pointSize : 8;
  return DialogFont{DIALOG_FACE, (points * DOTS_PER_INCH + 36) / 72};
}

std::unique_ptr<DialogControl> createControl(const ResourceModule& module,
                                             const DialogItemTemplate& item,
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
      auto* combo = new ComboBox(x, y, w, fl_height() + 8, control.get());
      combo->input()->textfont(font.face);
      combo->input()->textsize(font.pixels);
      widget = combo;
      break;
    }
  }
  control->widget = widget;
  widget->labelfont(font.face);
  widget->labelsize(font.pixels);
  if (!(item.style & WS_TABSTOP)) widget->clear_visible_focus();
  if (control->kind == ControlKind::BITMAP) loadBitmap(*control, module, item);
  if (control->kind != ControlKind::TEXT && control->kind != ControlKind::BITMAP &&
      control->kind != ControlKind::COMBO_BOX)
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
  auto* combo = static_cast<ComboBox*>(control.widget);
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
        combo->select(CB_ERR);
        return CB_ERR;
      }
      combo->select(row);
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
    const char* value = static_cast<ComboBox*>(control.widget)->input()->value();
    return value ? value : "";
  }
  return control.widget->label() ? control.widget->label() : "";
}

}  // namespace platform

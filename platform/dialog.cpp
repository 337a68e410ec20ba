#include "platform/dialog.h"

#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/x.H>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/dialog_controls.h"
#include "platform/resources.h"
#include "platform/signals.h"

namespace platform {

namespace {

struct Dialog;

struct DialogTimer {
  Dialog* dialog;
  UINT_PTR id;
  double seconds;
};

struct Dialog {
  const ResourceModule* module = nullptr;
  const DialogTemplate* source = nullptr;
  HWND owner = nullptr;
  DLGPROC proc = nullptr;
  std::unique_ptr<Fl_Double_Window> window;
  std::vector<std::unique_ptr<DialogControl>> controls;
  std::vector<std::unique_ptr<DialogTimer>> timers;
  bool ended = false;
  INT_PTR result = 0;
};

// The longest the loop sleeps before it looks for a stop signal again.
constexpr double STOP_POLL_SECONDS = 0.05;

std::vector<Dialog*> openDialogs;
std::string errorText;
char desktopTag;

HWND handleOf(Dialog* dialog) { return reinterpret_cast<HWND>(dialog); }

// The open dialog behind a handle; null for anything else.
Dialog* dialogOf(HWND handle) {
  for (Dialog* dialog : openDialogs)
    if (handleOf(dialog) == handle) return dialog;
  return nullptr;
}

DialogControl* controlOf(HWND handle, int id) {
  Dialog* dialog = dialogOf(handle);
  if (!dialog) return nullptr;
  for (auto& control : dialog->controls)
    if (control->id == id) return control.get();
  return nullptr;
}

INT_PTR send(Dialog* dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (dialog->ended) return FALSE;
  return dialog->proc(handleOf(dialog), message, wParam, lParam);
}

// FLTK ends the process when it cannot reach the display, so the display is
// opened here first and handed over; it stays open for later dialogs.
bool openDisplay() {
  if (fl_display) return true;
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    const char* name = XDisplayName(nullptr);
    errorText = name && *name ? std::string("cannot open the X display \"") + name + "\""
                              : std::string("no X display: DISPLAY is not set");
    return false;
  }
  fl_open_display(display);
  Fl::background(212, 208, 200);  // the classic grey face of dialogs
  return true;
}

// ESC and the close button both arrive as the window's callback.
void cancelCallback(Fl_Widget*, void* data) {
  send(static_cast<Dialog*>(data), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

void timerCallback(void* data) {
  auto* timer = static_cast<DialogTimer*>(data);
  Fl::repeat_timeout(timer->seconds, timerCallback, timer);
  send(timer->dialog, WM_TIMER, timer->id, 0);
}

// Asks the window manager (if any) to keep the window above all others.
void keepOnTop(Fl_Window* window) {
  XEvent event = {};
  event.xclient.type = ClientMessage;
  event.xclient.window = fl_xid(window);
  event.xclient.message_type = XInternAtom(fl_display, "_NET_WM_STATE", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = 1;  // add
  event.xclient.data.l[1] =
      static_cast<long>(XInternAtom(fl_display, "_NET_WM_STATE_ABOVE", False));
  event.xclient.data.l[3] = 1;  // from an application
  XSendEvent(fl_display, RootWindow(fl_display, fl_screen), False,
             SubstructureRedirectMask | SubstructureNotifyMask, &event);
}

void build(Dialog& dialog) {
  const DialogTemplate& t = *dialog.source;
  const DialogFont font = dialogFont(t);
  dialog.window.reset(new Fl_Double_Window(dialogUnitsToPixelsX(t.x), dialogUnitsToPixelsY(t.y),
                                           dialogUnitsToPixelsX(t.cx), dialogUnitsToPixelsY(t.cy),
                                           t.caption));
  dialog.window->labelfont(font.face);
  dialog.window->callback(cancelCallback, &dialog);
  dialog.window->set_modal();
  for (int i = 0; i < t.itemCount; ++i) {
    dialog.controls.push_back(createControl(*dialog.module, t.items[i], font));
    DialogControl* control = dialog.controls.back().get();
    Dialog* owner = &dialog;
    control->notify = [owner, control](WORD notification) {
      send(owner, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(control->id), notification), 0);
    };
  }
  dialog.window->end();
}

void show(Dialog& dialog) {
  Fl_Window* window = dialog.window.get();
  window->show();
  window->wait_for_expose();
  if (dialog.source->exStyle & WS_EX_TOPMOST) keepOnTop(window);
  XSetInputFocus(fl_display, fl_xid(window), RevertToParent, CurrentTime);
}

// Hides the window and makes sure the X server has taken it off the screen.
void destroy(Dialog& dialog) {
  for (auto& timer : dialog.timers) Fl::remove_timeout(timerCallback, timer.get());
  dialog.window->hide();
  dialog.window.reset();
  Fl::flush();
  XSync(fl_display, False);
}

}  // namespace

INT_PTR dialogBox(const ResourceModule& module, int templateId, HWND owner, DLGPROC proc,
                  LPARAM initParam) {
  Dialog dialog;
  dialog.module = &module;
  dialog.source = findDialogTemplate(module, templateId);
  dialog.owner = owner;
  dialog.proc = proc;
  if (!dialog.source || !proc) {
    errorText = "no dialog template " + std::to_string(templateId);
    return -1;
  }
  if (!openDisplay()) return -1;

  build(dialog);
  openDialogs.push_back(&dialog);
  send(&dialog, WM_INITDIALOG, 0, initParam);
  // A modal dialog is shown whatever its template's visibility says.
  if (!dialog.ended && !stopSignal()) show(dialog);
  // The signal handler may run on another thread and leave this wait alone,
  // so it never lasts long.
  while (!dialog.ended && !stopSignal()) Fl::wait(STOP_POLL_SECONDS);
  if (!dialog.ended) {  // a stop signal: the close button's cancel
    cancelCallback(nullptr, &dialog);
    if (!dialog.ended) dialog.result = IDCANCEL;
  }
  destroy(dialog);
  openDialogs.erase(std::find(openDialogs.begin(), openDialogs.end(), &dialog));
  return dialog.result;
}

bool endDialog(HWND handle, INT_PTR result) {
  Dialog* dialog = dialogOf(handle);
  if (!dialog) return false;
  dialog->ended = true;
  dialog->result = result;
  return true;
}

const char* dialogError() { return errorText.c_str(); }

HWND getParent(HWND handle) {
  Dialog* dialog = dialogOf(handle);
  return dialog ? dialog->owner : nullptr;
}

HWND getDesktopWindow() { return reinterpret_cast<HWND>(&desktopTag); }

bool getWindowRect(HWND handle, RECT* rect) {
  if (handle == getDesktopWindow()) {
    if (!openDisplay()) return false;
    int x, y, w, h;
    Fl::screen_xywh(x, y, w, h, 0);
    *rect = RECT{x, y, x + w, y + h};
    return true;
  }
  Dialog* dialog = dialogOf(handle);
  if (!dialog) return false;
  const Fl_Window* w = dialog->window.get();
  *rect = RECT{w->x(), w->y(), w->x() + w->w(), w->y() + w->h()};
  return true;
}

bool setWindowPos(HWND handle, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
  Dialog* dialog = dialogOf(handle);
  if (!dialog) return false;
  Fl_Window* window = dialog->window.get();
  if (flags & SWP_NOSIZE)
    window->position(x, y);
  else
    window->resize(x, y, cx, cy);
  if (!(flags & SWP_NOZORDER) && insertAfter == HWND_TOPMOST && window->shown())
    XRaiseWindow(fl_display, fl_xid(window));
  return true;
}

UINT_PTR setTimer(HWND handle, UINT_PTR id, UINT milliseconds) {
  Dialog* dialog = dialogOf(handle);
  if (!dialog || id == 0) return 0;
  const double seconds = std::max(milliseconds, 1u) / 1000.0;
  for (auto& timer : dialog->timers) {
    if (timer->id != id) continue;
    Fl::remove_timeout(timerCallback, timer.get());
    timer->seconds = seconds;
    Fl::add_timeout(seconds, timerCallback, timer.get());
    return id;
  }
  dialog->timers.push_back(std::make_unique<DialogTimer>(DialogTimer{dialog, id, seconds}));
  Fl::add_timeout(seconds, timerCallback, dialog->timers.back().get());
  return id;
}

LRESULT sendDlgItemMessage(HWND handle, int id, UINT message, WPARAM wParam, LPARAM lParam) {
  DialogControl* control = controlOf(handle, id);
  if (!control) return CB_ERR;
  return controlMessage(*control, message, wParam, lParam);
}

bool checkDlgButton(HWND handle, int id, UINT check) {
  DialogControl* control = controlOf(handle, id);
  if (!control || control->kind != ControlKind::CHECK_BOX) return false;
  controlMessage(*control, BM_SETCHECK, check, 0);
  return true;
}

UINT isDlgButtonChecked(HWND handle, int id) {
  DialogControl* control = controlOf(handle, id);
  if (!control || control->kind != ControlKind::CHECK_BOX) return BST_UNCHECKED;
  return static_cast<UINT>(controlMessage(*control, BM_GETCHECK, 0, 0));
}

UINT getDlgItemText(HWND handle, int id, char* text, int size) {
  DialogControl* control = controlOf(handle, id);
  if (!text || size <= 0) return 0;
  const std::string value = control ? controlText(*control) : std::string();
  const size_t n = std::min(value.size(), static_cast<size_t>(size - 1));
  std::memcpy(text, value.data(), n);
  text[n] = '\0';
  return static_cast<UINT>(n);
}

}  // namespace platform

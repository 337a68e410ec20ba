// Modal dialogs built from dialog templates (FLTK).
//
// Call order: dialogBox builds the window of a module's template from its control
// table, sends WM_INITDIALOG to the dialog procedure, shows the window and runs
// its own event loop until the procedure calls endDialog; dialogBox then
// destroys the window and returns the value given to endDialog. While the loop
// runs the procedure receives WM_TIMER for every timer it started and
// WM_COMMAND for the controls: BN_CLICKED from buttons and check boxes,
// CBN_SELCHANGE and CBN_EDITCHANGE from combo boxes, IDOK for the Enter key,
// IDCANCEL for ESC and the window's close button. The procedure may move the
// window and read and write its controls with the functions below. A stop
// signal (platform/signals.h) cancels the dialog as its close button does;
// dialogBox then returns IDCANCEL even if the procedure kept the dialog open.
//
// The layer owns the dialog and its controls; a dialog handle is valid from
// WM_INITDIALOG until dialogBox returns. Dialog units become pixels as the
// 8-point dialog font does on Windows: x * 6 / 4 and y * 13 / 8, rounded.
// Failures: dialogBox returns -1 (no X display, unknown template) and leaves
// the reason in dialogError(); the other functions return 0, false or CB_ERR
// for a handle or control they do not know.
#pragma once

#include "platform/resources.h"
#include "platform/win32.h"

namespace platform {

// Runs the dialog of the module's template templateId modally, initParam as
// the lParam of WM_INITDIALOG; the endDialog value, or -1.
INT_PTR dialogBox(const ResourceModule& module, int templateId, HWND owner, DLGPROC proc,
                  LPARAM initParam = 0);

// Ends the dialog once the current message has been handled.
bool endDialog(HWND dialog, INT_PTR result);

// Why the last dialogBox returned -1.
const char* dialogError();

// The owner of a dialog (null for none).
HWND getParent(HWND window);

// The whole screen, as a window handle for getWindowRect.
HWND getDesktopWindow();

// The window's rectangle in screen coordinates.
bool getWindowRect(HWND window, RECT* rect);

// Moves (and unless SWP_NOSIZE resizes) the window; HWND_TOPMOST also raises
// it above every other window.
bool setWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);

// Starts (or restarts) timer id with a period in milliseconds; it sends
// WM_TIMER with wParam = id until the dialog ends. Returns id, or 0.
UINT_PTR setTimer(HWND window, UINT_PTR id, UINT milliseconds);

// Sends a control message (BM_*, CB_*) to a control of the dialog.
LRESULT sendDlgItemMessage(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam);

// Sets a check box to BST_CHECKED or BST_UNCHECKED.
bool checkDlgButton(HWND dialog, int id, UINT check);

// BST_CHECKED or BST_UNCHECKED.
UINT isDlgButtonChecked(HWND dialog, int id);

// Copies a control's text, cut to size - 1 bytes and terminated; the length.
UINT getDlgItemText(HWND dialog, int id, char* text, int size);

}  // namespace platform

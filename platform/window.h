// Window, GL context, events and message boxes (SDL2).
//
// Call order: registerWindowClass -> [changeDisplayMode] -> createWindow ->
// getDC -> choosePixelFormat -> setPixelFormat -> createContext -> makeCurrent
// -> showWindow; then peekMessage / dispatchMessage and swapBuffers each
// frame; then makeCurrent(null) -> deleteContext -> releaseDC -> destroyWindow
// -> unregisterWindowClass. There is one window at a time. The layer owns the
// objects behind every handle it returns; a handle is valid until the call
// that releases it. Failures return null, 0 or false and leave the reason in
// lastError(); nothing here shows a message box on its own.
#pragma once

#include "platform/win32.h"

namespace platform {

// What the window's pixel format must provide.
struct PixelFormatRequest {
  int colourBits;
  int depthBits;
  bool doubleBuffer;
};

// Starts the video subsystem and remembers the class's window procedure.
// Fails when there is no display to talk to.
bool registerWindowClass(const char* className, WNDPROC proc);

// Forgets the class and stops the video subsystem.
bool unregisterWindowClass(const char* className);

// Picks the display mode for a full-screen window of width x height (see
// chooseFullscreenSize); false when the display refuses. The change itself
// happens when a full-screen window is shown in it.
bool changeDisplayMode(int width, int height, int bits);

// A display mode's size in pixels.
struct ModeSize {
  int width;
  int height;
};

// The size a full-screen window of width x height is shown at on a display
// with these modes whose current one is `desktop`: the exact mode when the
// display has it; the display's own size when it cannot switch (one mode or
// none listed: a single-mode X server, an XWayland without emulated modes);
// false when it could switch but has no such mode.
bool chooseFullscreenSize(const ModeSize* modes, int modeCount, ModeSize desktop, int width,
                          int height, ModeSize* chosen);

// Returns to the desktop's own display mode.
void restoreDisplayMode();

// Shows or hides the mouse cursor over the window.
void showCursor(bool show);

// Creates the (hidden) window with a client area of width x height: a plain
// resizable, framed window, or a borderless full-screen one in the mode chosen
// by changeDisplayMode.
HWND createWindow(const char* className, const char* title, bool fullscreen, int width, int height,
                  const PixelFormatRequest& format);

// Destroys the window; false for a handle that is not the window.
bool destroyWindow(HWND window);

// The drawing surface of the window.
HDC getDC(HWND window);
bool releaseDC(HWND window, HDC dc);

// The format number matching the request (1), or 0 when the window cannot
// provide it; setPixelFormat applies it.
int choosePixelFormat(HDC dc, const PixelFormatRequest& format);
bool setPixelFormat(HDC dc, int format);

// A compatibility-profile GL context on the surface.
HGLRC createContext(HDC dc);

// Makes the context current on the surface; (null, null) releases it.
bool makeCurrent(HDC dc, HGLRC context);
bool deleteContext(HGLRC context);

// Shows the window, raises it and gives it the keyboard focus.
void showWindow(HWND window);

// Switches the existing window between full screen and a window of the given
// client size, keeping its GL context. False when the display refuses.
bool setWindowMode(HWND window, bool fullscreen, int width, int height);

// The size of the window's drawing area in pixels; unchanged on failure.
void getClientSize(HWND window, int* width, int* height);

// Swap interval of the current context: 1 waits for the vertical blank.
void setSwapInterval(int interval);

bool swapBuffers(HDC dc);

// Called with the drawing area's size just before every buffer swap, while
// the finished frame is still in the back buffer; null removes it.
using SwapHook = void (*)(int width, int height);
void setSwapHook(SwapHook hook);

// Takes one message: first a posted one, then translated window-system
// events. False when nothing is waiting.
bool peekMessage(MSG* msg);

// Hands the message to the procedure of its window's class.
LRESULT dispatchMessage(const MSG& msg);

// Posts WM_QUIT with the exit code as wParam.
void postQuitMessage(int exitCode);

// The default handling of any message: nothing, result 0.
LRESULT defWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// A modal message box; returns IDOK, IDYES or IDNO. Without a display, or in
// an unattended run, the text goes to stderr and the default button (OK, Yes)
// is the answer, so nothing can wait for a click that will never come.
int messageBox(HWND owner, const char* text, const char* caption, UINT flags);

// Unattended runs (tests, capture, benchmark) never open message boxes. The
// environment variable PARALLAXIS_UNATTENDED=1 sets this too.
void setUnattended(bool unattended);
bool isUnattended();

// The last failure's description from the window system.
const char* lastError();

}  // namespace platform

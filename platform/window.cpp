#include "platform/window.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

struct PlatformWindow {
  SDL_Window* sdl = nullptr;
  WNDPROC proc = nullptr;
  bool formatSet = false;
};
struct PlatformDeviceContext {
  PlatformWindow* window = nullptr;
};
struct PlatformGLContext {
  SDL_GLContext sdl = nullptr;
};

namespace platform {

static std::string classNameRegistered;
static WNDPROC classProc = nullptr;
static PlatformWindow* theWindow = nullptr;
static PlatformDeviceContext theDC;
static SDL_DisplayMode fullscreenMode;
static bool fullscreenModeChosen = false;
static std::deque<MSG> posted;
static std::string errorText;
static bool unattended = false;
static int swapInterval = 1;
static SwapHook swapHook = nullptr;

static void rememberSdlError() { errorText = SDL_GetError(); }

const char* lastError() { return errorText.c_str(); }

void setUnattended(bool value) { unattended = value; }

bool isUnattended() {
  const char* env = std::getenv("PARALLAXIS_UNATTENDED");
  return unattended || (env && *env && std::strcmp(env, "0") != 0);
}

bool registerWindowClass(const char* className, WNDPROC proc) {
  if (!classNameRegistered.empty()) {
    errorText = "class already registered";
    return false;
  }
  // The GL window and the desktop capture both live on X; without an X
  // display there is nothing to open (unless SDL_VIDEODRIVER says otherwise).
  SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    rememberSdlError();
    return false;
  }
  classNameRegistered = className;
  classProc = proc;
  return true;
}

bool unregisterWindowClass(const char* className) {
  if (classNameRegistered != className) {
    errorText = "class not registered";
    return false;
  }
  classNameRegistered.clear();
  classProc = nullptr;
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
  return true;
}

bool chooseFullscreenSize(const ModeSize* modes, int modeCount, ModeSize desktop, int width,
                          int height, ModeSize* chosen) {
  if (modeCount <= 1) {
    *chosen = desktop;
    return true;
  }
  for (int i = 0; i < modeCount; ++i) {
    if (modes[i].width == width && modes[i].height == height) {
      *chosen = modes[i];
      return true;
    }
  }
  return false;
}

bool changeDisplayMode(int width, int height, int) {
  // X screens have one depth for every mode, so only the size is matched.
  fullscreenModeChosen = false;
  SDL_DisplayMode desktop = {};
  if (SDL_GetDesktopDisplayMode(0, &desktop) != 0) {
    rememberSdlError();
    return false;
  }
  std::vector<SDL_DisplayMode> modes(static_cast<size_t>(std::max(0, SDL_GetNumDisplayModes(0))));
  std::vector<ModeSize> sizes;
  for (size_t i = 0; i < modes.size(); ++i) {
    if (SDL_GetDisplayMode(0, static_cast<int>(i), &modes[i]) == 0)
      sizes.push_back(ModeSize{modes[i].w, modes[i].h});
  }
  ModeSize chosen = {};
  if (!chooseFullscreenSize(sizes.data(), static_cast<int>(sizes.size()),
                            ModeSize{desktop.w, desktop.h}, width, height, &chosen)) {
    errorText =
        "the display has no " + std::to_string(width) + "x" + std::to_string(height) + " mode";
    return false;
  }
  fullscreenMode = desktop;
  // SDL lists the modes of one size fastest refresh first.
  for (const SDL_DisplayMode& mode : modes) {
    if (mode.w == chosen.width && mode.h == chosen.height) {
      fullscreenMode = mode;
      break;
    }
  }
  fullscreenModeChosen = true;
  return true;
}

void restoreDisplayMode() {
  // Leaving full screen (or destroying the window) gives the desktop its own
  // mode back; nothing stays switched once no full-screen window exists.
  fullscreenModeChosen = false;
  if (theWindow && (SDL_GetWindowFlags(theWindow->sdl) & SDL_WINDOW_FULLSCREEN))
    SDL_SetWindowFullscreen(theWindow->sdl, 0);
}

void showCursor(bool show) { SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE); }

// A full-screen window covers the whole display mode; without a window
// manager nobody else would stretch it there.
static void fullscreenSize(bool fullscreen, int* width, int* height) {
  if (!fullscreen || !fullscreenModeChosen) return;
  *width = fullscreenMode.w;
  *height = fullscreenMode.h;
}

HWND createWindow(const char* className, const char* title, bool fullscreen, int width, int height,
                  const PixelFormatRequest& format) {
  if (classNameRegistered != className || theWindow) {
    errorText = theWindow ? "a window already exists" : "class not registered";
    return nullptr;
  }
  // The visual is fixed when an X window is created, so the pixel format is
  // asked for here and checked by choosePixelFormat afterwards.
  SDL_GL_ResetAttributes();
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, format.colourBits >= 24 ? 8 : 5);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, format.colourBits >= 24 ? 8 : 5);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, format.colourBits >= 24 ? 8 : 5);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, format.depthBits);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, format.doubleBuffer ? 1 : 0);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);

  Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
  flags |= fullscreen ? SDL_WINDOW_FULLSCREEN : SDL_WINDOW_RESIZABLE;
  fullscreenSize(fullscreen, &width, &height);
  SDL_Window* sdl = SDL_CreateWindow(title, 0, 0, width, height, flags);
  if (!sdl) {
    rememberSdlError();
    return nullptr;
  }
  if (fullscreen && fullscreenModeChosen) SDL_SetWindowDisplayMode(sdl, &fullscreenMode);
  theWindow = new PlatformWindow;
  theWindow->sdl = sdl;
  theWindow->proc = classProc;
  return theWindow;
}

bool destroyWindow(HWND window) {
  if (!window || window != theWindow) {
    errorText = "not a window";
    return false;
  }
  SDL_DestroyWindow(window->sdl);
  delete window;
  theWindow = nullptr;
  posted.clear();
  return true;
}

HDC getDC(HWND window) {
  if (!window || window != theWindow) {
    errorText = "not a window";
    return nullptr;
  }
  theDC.window = window;
  return &theDC;
}

bool releaseDC(HWND window, HDC dc) {
  if (!dc || dc->window != window) {
    errorText = "device context does not belong to the window";
    return false;
  }
  dc->window = nullptr;
  return true;
}

int choosePixelFormat(HDC dc, const PixelFormatRequest& format) {
  if (!dc || !dc->window) return 0;
  // SDL picked the visual from the attributes given at creation; a window
  // without GL support has none to offer.
  if (!(SDL_GetWindowFlags(dc->window->sdl) & SDL_WINDOW_OPENGL)) return 0;
  return format.depthBits >= 0 ? 1 : 0;
}

bool setPixelFormat(HDC dc, int format) {
  if (!dc || !dc->window || format != 1 || dc->window->formatSet) return false;
  dc->window->formatSet = true;
  return true;
}

HGLRC createContext(HDC dc) {
  if (!dc || !dc->window || !dc->window->formatSet) {
    errorText = "no pixel format set";
    return nullptr;
  }
  SDL_GLContext sdl = SDL_GL_CreateContext(dc->window->sdl);
  if (!sdl) {
    rememberSdlError();
    return nullptr;
  }
  int doubleBuffer = 0, depth = 0;
  SDL_GL_GetAttribute(SDL_GL_DOUBLEBUFFER, &doubleBuffer);
  SDL_GL_GetAttribute(SDL_GL_DEPTH_SIZE, &depth);
  if (!doubleBuffer || depth < 16) {
    errorText = "context lacks a double buffer or a 16-bit depth buffer";
    SDL_GL_DeleteContext(sdl);
    return nullptr;
  }
  PlatformGLContext* rc = new PlatformGLContext;
  rc->sdl = sdl;
  return rc;
}

bool makeCurrent(HDC dc, HGLRC context) {
  if (!dc && !context) {
    if (theWindow) return SDL_GL_MakeCurrent(theWindow->sdl, nullptr) == 0;
    return true;
  }
  if (!dc || !dc->window || !context) return false;
  if (SDL_GL_MakeCurrent(dc->window->sdl, context->sdl) != 0) {
    rememberSdlError();
    return false;
  }
  SDL_GL_SetSwapInterval(swapInterval);
  return true;
}

bool deleteContext(HGLRC context) {
  if (!context) return false;
  SDL_GL_DeleteContext(context->sdl);
  delete context;
  return true;
}

void showWindow(HWND window) {
  if (!window) return;
  SDL_ShowWindow(window->sdl);
  SDL_RaiseWindow(window->sdl);
  SDL_SetWindowInputFocus(window->sdl);
  SDL_DisableScreenSaver();
}

bool setWindowMode(HWND window, bool fullscreen, int width, int height) {
  if (!window || window != theWindow) return false;
  // Without a window manager X ignores a running window's full-screen
  // request, so the window is made anew in the other mode (as a fresh window
  // would be) and the GL context moves over to it: nothing loaded is lost.
  Uint32 flags = SDL_WINDOW_OPENGL | (fullscreen ? SDL_WINDOW_FULLSCREEN : SDL_WINDOW_RESIZABLE);
  fullscreenSize(fullscreen, &width, &height);
  std::string title = SDL_GetWindowTitle(window->sdl);
  SDL_Window* fresh = SDL_CreateWindow(title.c_str(), 0, 0, width, height, flags);
  if (!fresh) {
    rememberSdlError();
    return false;
  }
  if (fullscreen && fullscreenModeChosen) SDL_SetWindowDisplayMode(fresh, &fullscreenMode);
  if (SDL_GL_MakeCurrent(fresh, SDL_GL_GetCurrentContext()) != 0) {
    rememberSdlError();
    SDL_DestroyWindow(fresh);
    return false;
  }
  SDL_DestroyWindow(window->sdl);
  window->sdl = fresh;
  // The key that asked for the switch was pressed in the old window; its
  // release may never reach the new one, and SDL would then take the next
  // press of it for a repeat.
  SDL_ResetKeyboard();
  SDL_GL_SetSwapInterval(swapInterval);
  return true;
}

void getClientSize(HWND window, int* width, int* height) {
  if (window) SDL_GL_GetDrawableSize(window->sdl, width, height);
}

void setSwapInterval(int interval) {
  swapInterval = interval;
  SDL_GL_SetSwapInterval(interval);
}
void setSwapHook(SwapHook hook) { swapHook = hook; }

bool swapBuffers(HDC dc) {
  if (!dc || !dc->window) return false;
  if (swapHook) {
    int width = 0, height = 0;
    SDL_GL_GetDrawableSize(dc->window->sdl, &width, &height);
    swapHook(width, height);
  }
  SDL_GL_SwapWindow(dc->window->sdl);
  return true;
}

// Windows virtual-key code of an SDL key, or 0 for keys the show ignores.
static WPARAM virtualKey(SDL_Keycode key) {
  if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
  if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
  if (key >= SDLK_F1 && key <= SDLK_F12) return VK_F1 + (key - SDLK_F1);
  switch (key) {
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_BACKSPACE: return VK_BACK;
    case SDLK_TAB: return VK_TAB;
    case SDLK_RETURN: return VK_RETURN;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_LEFT: return VK_LEFT;
    case SDLK_UP: return VK_UP;
    case SDLK_RIGHT: return VK_RIGHT;
    case SDLK_DOWN: return VK_DOWN;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return VK_SHIFT;
    case SDLK_LCTRL:
    case SDLK_RCTRL: return VK_CONTROL;
    case SDLK_LALT:
    case SDLK_RALT: return VK_MENU;
    default: return 0;
  }
}

// Turns one SDL event into a window message; false when it means nothing.
static bool translate(const SDL_Event& e, MSG* msg) {
  *msg = MSG{theWindow, 0, 0, 0};
  switch (e.type) {
    case SDL_QUIT:  // the last window closed (SDL leaves the signals alone)
      msg->message = WM_CLOSE;
      return theWindow != nullptr;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      if (e.key.repeat) return false;  // held keys stay down in the key table
      msg->message = e.type == SDL_KEYDOWN ? WM_KEYDOWN : WM_KEYUP;
      msg->wParam = virtualKey(e.key.keysym.sym);
      return msg->wParam != 0;
    case SDL_WINDOWEVENT:
      // A switch of display mode replaces the window; what the old one still
      // had queued (its last size above all) is not the new one's.
      if (!theWindow || e.window.windowID != SDL_GetWindowID(theWindow->sdl)) return false;
      switch (e.window.event) {
        case SDL_WINDOWEVENT_CLOSE: msg->message = WM_CLOSE; return true;
        case SDL_WINDOWEVENT_SIZE_CHANGED: {
          // The size in pixels that GL draws into, not in screen units.
          int width = e.window.data1, height = e.window.data2;
          SDL_GL_GetDrawableSize(theWindow->sdl, &width, &height);
          msg->message = WM_SIZE;
          msg->lParam = MAKELPARAM(static_cast<WORD>(width), static_cast<WORD>(height));
          return true;
        }
        case SDL_WINDOWEVENT_MINIMIZED:
          msg->message = WM_ACTIVATE;
          msg->wParam = (WPARAM{1} << 16) | WA_INACTIVE;
          return true;
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_FOCUS_GAINED:
          msg->message = WM_ACTIVATE;
          msg->wParam = WA_ACTIVE;
          return true;
        case SDL_WINDOWEVENT_FOCUS_LOST:
          msg->message = WM_ACTIVATE;
          msg->wParam = WA_INACTIVE;
          return true;
        default: return false;
      }
    default: return false;
  }
}

bool peekMessage(MSG* msg) {
  if (!posted.empty()) {
    *msg = posted.front();
    posted.pop_front();
    return true;
  }
  if (!SDL_WasInit(SDL_INIT_VIDEO)) return false;
  SDL_Event e;
  while (SDL_PollEvent(&e)) {
    if (translate(e, msg)) return true;
  }
  return false;
}

LRESULT dispatchMessage(const MSG& msg) {
  if (msg.hwnd && msg.hwnd->proc)
    return msg.hwnd->proc(msg.hwnd, msg.message, msg.wParam, msg.lParam);
  return 0;
}

void postQuitMessage(int exitCode) {
  posted.push_back(MSG{nullptr, WM_QUIT, static_cast<WPARAM>(exitCode), 0});
}

LRESULT defWindowProc(HWND, UINT, WPARAM, LPARAM) { return 0; }

int messageBox(HWND owner, const char* text, const char* caption, UINT flags) {
  const bool yesNo = (flags & MB_YESNO) == MB_YESNO;
  const int defaultAnswer = yesNo ? IDYES : IDOK;
  if (!isUnattended()) {
    SDL_MessageBoxButtonData yesNoButtons[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDYES, "Yes"},
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDNO, "No"}};
    SDL_MessageBoxButtonData okButton[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDOK,
         "OK"}};
    Uint32 kind = SDL_MESSAGEBOX_INFORMATION;
    if ((flags & 0xF0) == MB_ICONSTOP) kind = SDL_MESSAGEBOX_ERROR;
    if ((flags & 0xF0) == MB_ICONEXCLAMATION) kind = SDL_MESSAGEBOX_WARNING;
    SDL_MessageBoxData box = {};
    box.flags = kind;
    box.window = owner ? owner->sdl : nullptr;
    box.title = caption;
    box.message = text;
    box.numbuttons = yesNo ? 2 : 1;
    box.buttons = yesNo ? yesNoButtons : okButton;
    int pressed = -1;
    if (SDL_ShowMessageBox(&box, &pressed) == 0)
      return pressed < 0 ? (yesNo ? IDNO : IDOK) : pressed;
  }
  std::fprintf(stderr, "%s: %s%s\n", caption, text, yesNo ? " [Yes]" : "");
  return defaultAnswer;
}

}  // namespace platform

// The Windows vocabulary the application code is written in: handle types,
// window messages, virtual-key codes and message-box flags. The values are the
// Win32 ones so that code and logs read the same on either platform; the
// handles are opaque and only the platform layer looks inside them.
#pragma once

#include <cstdint>

typedef struct PlatformWindow* HWND;
typedef struct PlatformDeviceContext* HDC;
typedef struct PlatformGLContext* HGLRC;
typedef struct PlatformInstance* HINSTANCE;

typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;
typedef unsigned int UINT;
typedef uint16_t WORD;

typedef LRESULT (*WNDPROC)(HWND, UINT, WPARAM, LPARAM);

struct MSG {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

inline WORD LOWORD(uintptr_t v) { return static_cast<WORD>(v & 0xFFFF); }
inline WORD HIWORD(uintptr_t v) { return static_cast<WORD>((v >> 16) & 0xFFFF); }
inline LPARAM MAKELPARAM(WORD lo, WORD hi) {
  return static_cast<LPARAM>(static_cast<uint32_t>(lo) | (static_cast<uint32_t>(hi) << 16));
}

// Window messages.
enum : UINT {
  WM_SIZE = 0x0005,
  WM_ACTIVATE = 0x0006,
  WM_CLOSE = 0x0010,
  WM_QUIT = 0x0012,
  WM_KEYDOWN = 0x0100,
  WM_KEYUP = 0x0101,
  WM_SYSCOMMAND = 0x0112,
};

// WM_ACTIVATE low word; the high word is non-zero while minimised.
enum : WORD { WA_INACTIVE = 0, WA_ACTIVE = 1 };

// WM_SYSCOMMAND requests.
enum : WPARAM { SC_SCREENSAVE = 0xF140, SC_MONITORPOWER = 0xF170 };

// Virtual-key codes the platform layer translates.
enum : WPARAM {
  VK_BACK = 0x08,
  VK_TAB = 0x09,
  VK_RETURN = 0x0D,
  VK_SHIFT = 0x10,
  VK_CONTROL = 0x11,
  VK_MENU = 0x12,
  VK_ESCAPE = 0x1B,
  VK_SPACE = 0x20,
  VK_LEFT = 0x25,
  VK_UP = 0x26,
  VK_RIGHT = 0x27,
  VK_DOWN = 0x28,
  VK_F1 = 0x70,
  VK_F12 = 0x7B,
};

// Message-box flags and results.
enum : UINT {
  MB_OK = 0x00,
  MB_YESNO = 0x04,
  MB_ICONSTOP = 0x10,
  MB_ICONEXCLAMATION = 0x30,
  MB_ICONINFORMATION = 0x40,
};
enum { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

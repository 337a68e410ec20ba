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
typedef intptr_t INT_PTR;
typedef uintptr_t UINT_PTR;
typedef unsigned int UINT;
typedef uint16_t WORD;
typedef unsigned long DWORD;

typedef LRESULT (*WNDPROC)(HWND, UINT, WPARAM, LPARAM);
typedef INT_PTR (*DLGPROC)(HWND, UINT, WPARAM, LPARAM);

struct RECT {
  long left, top, right, bottom;
};

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
inline WPARAM MAKEWPARAM(WORD lo, WORD hi) {
  return static_cast<WPARAM>(static_cast<uint32_t>(lo) | (static_cast<uint32_t>(hi) << 16));
}

// Window messages.
enum : UINT {
  WM_SIZE = 0x0005,
  WM_ACTIVATE = 0x0006,
  WM_CLOSE = 0x0010,
  WM_QUIT = 0x0012,
  WM_KEYDOWN = 0x0100,
  WM_KEYUP = 0x0101,
  WM_INITDIALOG = 0x0110,
  WM_COMMAND = 0x0111,
  WM_SYSCOMMAND = 0x0112,
  WM_TIMER = 0x0113,
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

// What dialog procedures return: whether they handled the message.
#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

// Window and dialog styles (dialog templates).
enum : DWORD {
  WS_POPUP = 0x80000000,
  WS_CHILD = 0x40000000,
  WS_VISIBLE = 0x10000000,
  WS_CAPTION = 0x00C00000,
  WS_VSCROLL = 0x00200000,
  WS_SYSMENU = 0x00080000,
  WS_GROUP = 0x00020000,
  WS_TABSTOP = 0x00010000,
  WS_EX_TOPMOST = 0x00000008,
  DS_FIXEDSYS = 0x0008,
  DS_SETFONT = 0x0040,
  DS_MODALFRAME = 0x0080,
};

// Control styles: the low bits choose the kind of button, static or combo box.
enum : DWORD {
  BS_PUSHBUTTON = 0x0,
  BS_DEFPUSHBUTTON = 0x1,
  BS_AUTOCHECKBOX = 0x3,
  BS_GROUPBOX = 0x7,
  BS_TYPEMASK = 0xF,
  SS_LEFT = 0x0,
  SS_BITMAP = 0xE,
  SS_TYPEMASK = 0x1F,
  CBS_DROPDOWN = 0x2,
};

// Control messages, notifications and states.
enum : UINT {
  BM_GETCHECK = 0x00F0,
  BM_SETCHECK = 0x00F1,
  CB_ADDSTRING = 0x0143,
  CB_GETCOUNT = 0x0146,
  CB_GETCURSEL = 0x0147,
  CB_SETCURSEL = 0x014E,
  CB_FINDSTRINGEXACT = 0x0158,
};
enum : WORD { BN_CLICKED = 0, CBN_SELCHANGE = 1, CBN_EDITCHANGE = 5 };
enum : UINT { BST_UNCHECKED = 0, BST_CHECKED = 1 };
enum { CB_ERR = -1 };

// SetWindowPos: flags, and the z-order place above every other window.
enum : UINT { SWP_NOSIZE = 0x0001, SWP_NOZORDER = 0x0004 };
#define HWND_TOPMOST (reinterpret_cast<HWND>(static_cast<intptr_t>(-1)))

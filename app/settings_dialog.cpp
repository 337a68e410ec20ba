#include "app/settings_dialog.h"

#include <cmath>
#include <cstdio>

#include "app/resource.h"
#include "app/resource_script.h"
#include "platform/dialog.h"

float bounceTime = 0.0f;
float bounceAmplitude = 180.0f;
float bounceDecay = 2.0f;
float bounceFrequency = 1.0f;
float bounceSwing = 0.0f;
int bounceHeight = 0;

static const float PI = 3.14159265358979f;
static const float BOUNCE_END = 2.0f;
static const UINT BOUNCE_TIMER = 1;
static const UINT BOUNCE_PERIOD_MS = 10;

// Where the dialog sits centred on its owner (the desktop when it has none).
static void centredPosition(HWND dialog, int* left, int* top) {
  HWND owner = platform::getParent(dialog);
  if (!owner) owner = platform::getDesktopWindow();
  RECT ownerRect = {}, dialogRect = {};
  platform::getWindowRect(owner, &ownerRect);
  platform::getWindowRect(dialog, &dialogRect);
  const int freeWidth =
      static_cast<int>((ownerRect.right - ownerRect.left) - (dialogRect.right - dialogRect.left));
  const int freeHeight =
      static_cast<int>((ownerRect.bottom - ownerRect.top) - (dialogRect.bottom - dialogRect.top));
  *left = static_cast<int>(ownerRect.left) + freeWidth / 2;
  *top = static_cast<int>(ownerRect.top) + freeHeight / 2;
}

int advanceBounce() {
  bounceTime += 0.01f;
  bounceSwing = std::fabs(std::cos(2.0f * bounceFrequency * bounceTime * PI));
  bounceHeight =
      static_cast<int>(bounceAmplitude / std::exp(bounceDecay * bounceTime) * bounceSwing);
  return bounceHeight;
}

// The settings the open dialog writes on OK.
static Settings* dialogSettings = nullptr;

static INT_PTR onInitDialog(HWND dialog, Settings* settings) {
  dialogSettings = settings;
  int left, top;
  centredPosition(dialog, &left, &top);
  platform::setWindowPos(dialog, HWND_TOPMOST, left, top, 0, 0, SWP_NOSIZE);
  platform::checkDlgButton(dialog, IDC_WINDOWED, BST_CHECKED);
  for (const Resolution& r : resolutions)
    platform::sendDlgItemMessage(dialog, IDC_RESOLUTION, CB_ADDSTRING, 0,
                                 reinterpret_cast<LPARAM>(r.name));
  platform::sendDlgItemMessage(dialog, IDC_RESOLUTION, CB_SETCURSEL, 0, 0);
  platform::setTimer(dialog, BOUNCE_TIMER, BOUNCE_PERIOD_MS);
  return TRUE;
}

static INT_PTR onTimer(HWND dialog) {
  if (bounceTime > BOUNCE_END) return FALSE;
  int left, top;
  centredPosition(dialog, &left, &top);
  advanceBounce();
  platform::setWindowPos(dialog, HWND_TOPMOST, left, top - bounceHeight, 0, 0, SWP_NOSIZE);
  return FALSE;
}

// The chosen row. Typed text selects no row: then the row whose name it is
// (in any letter case), and row 0 for anything else.
static int chosenResolution(HWND dialog) {
  const LRESULT selected = platform::sendDlgItemMessage(dialog, IDC_RESOLUTION, CB_GETCURSEL, 0, 0);
  if (selected >= 0 && selected < RESOLUTION_COUNT) return static_cast<int>(selected);
  char text[64];
  platform::getDlgItemText(dialog, IDC_RESOLUTION, text, sizeof text);
  const LRESULT typed =
      platform::sendDlgItemMessage(dialog, IDC_RESOLUTION, CB_FINDSTRINGEXACT,
                                   static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text));
  return typed >= 0 && typed < RESOLUTION_COUNT ? static_cast<int>(typed) : 0;
}

static INT_PTR onCommand(HWND dialog, WORD id) {
  switch (id) {
    case IDOK:
      dialogSettings->resolutionIndex = chosenResolution(dialog);
      dialogSettings->fullscreen =
          platform::isDlgButtonChecked(dialog, IDC_WINDOWED) != BST_CHECKED;
      dialogSettings->showFps = platform::isDlgButtonChecked(dialog, IDC_SHOW_FPS) == BST_CHECKED;
      dialogSettings->loopDemo = platform::isDlgButtonChecked(dialog, IDC_LOOP_DEMO) == BST_CHECKED;
      platform::endDialog(dialog, IDOK);
      return TRUE;
    case IDCANCEL: platform::endDialog(dialog, IDCANCEL); return TRUE;
    default: return FALSE;
  }
}

INT_PTR settingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: return onInitDialog(dialog, reinterpret_cast<Settings*>(lParam));
    case WM_TIMER: return onTimer(dialog);
    case WM_COMMAND: return onCommand(dialog, LOWORD(wParam));
    default: return FALSE;
  }
}

INT_PTR runSettingsDialog(Settings* settings) {
  const INT_PTR result =
      platform::dialogBox(programResources, IDD_SETTINGS, nullptr, settingsDialogProc,
                          reinterpret_cast<LPARAM>(settings));
  if (result == -1)
    std::fprintf(stderr,
                 "parallaxis: the settings dialog cannot open (%s); the show starts with the "
                 "default settings\n",
                 platform::dialogError());
  return result;
}

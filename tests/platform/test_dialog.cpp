#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/resource.h"
#include "app/resource_script.h"
#include "platform/dialog.h"
#include "platform/dialog_controls.h"

using namespace platform;

namespace {

// What the test procedure saw; a procedure is a plain function, so it is global.
struct Seen {
  std::vector<UINT> messages;
  int ticks = 0;
  RECT initRect = {};
  RECT movedRect = {};
  HWND handle = nullptr;
  std::string failures;
} seen;

void expect(bool ok, const char* what) {
  if (!ok) seen.failures += std::string(what) + "; ";
}

std::string text(HWND dialog, int id, int size = 64) {
  char buffer[64];
  getDlgItemText(dialog, id, buffer, size);
  return buffer;
}

// Exercises the controls of template 102 from inside its own event loop.
void checkControls(HWND d) {
  expect(getParent(d) == nullptr, "no owner");
  expect(sendDlgItemMessage(d, IDC_RESOLUTION, CB_GETCURSEL, 0, 0) == CB_ERR, "empty selection");
  expect(sendDlgItemMessage(d, IDC_RESOLUTION, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>("a/b&c")) == 0,
         "first row");
  expect(sendDlgItemMessage(d, IDC_RESOLUTION, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>("Second")) == 1,
         "second row");
  expect(sendDlgItemMessage(d, IDC_RESOLUTION, CB_GETCOUNT, 0, 0) == 2, "count");
  expect(sendDlgItemMessage(d, IDC_RESOLUTION, CB_SETCURSEL, 5, 0) == CB_ERR, "row 5 refused");
  expect(sendDlgItemMessage(d, IDC_RESOLUTION, CB_GETCURSEL, 0, 0) == CB_ERR, "refusal clears");
  expect(sendDlgItemMessage(d, IDC_RESOLUTION, CB_SETCURSEL, 1, 0) == 1, "select row 1");
  expect(text(d, IDC_RESOLUTION) == "Second", "row text in the field");
  expect(text(d, IDC_RESOLUTION, 4) == "Sec", "text cut to the buffer");
  const auto find = [&](int after, const char* s) {
    return sendDlgItemMessage(d, IDC_RESOLUTION, CB_FINDSTRINGEXACT, static_cast<WPARAM>(after),
                              reinterpret_cast<LPARAM>(s));
  };
  expect(find(-1, "SECOND") == 1, "find ignores case");
  expect(find(1, "second") == 1, "find wraps round");
  expect(find(-1, "Sec") == CB_ERR, "find is exact");

  expect(isDlgButtonChecked(d, IDC_WINDOWED) == BST_UNCHECKED, "boxes start unchecked");
  expect(checkDlgButton(d, IDC_SHOW_FPS, BST_CHECKED), "check");
  expect(isDlgButtonChecked(d, IDC_SHOW_FPS) == BST_CHECKED, "checked");
  expect(!checkDlgButton(d, IDOK, BST_CHECKED), "a push button is no check box");
  expect(sendDlgItemMessage(d, 4242, CB_GETCOUNT, 0, 0) == CB_ERR, "unknown control");
  expect(text(d, IDCANCEL) == "Abbrechen", "caption");
}

INT_PTR testProc(HWND d, UINT message, WPARAM wParam, LPARAM) {
  seen.messages.push_back(message);
  seen.handle = d;
  if (message == WM_INITDIALOG) {
    getWindowRect(d, &seen.initRect);
    checkControls(d);
    expect(setTimer(d, 7, 10) == 7, "timer started");
    return TRUE;
  }
  if (message == WM_TIMER) {
    expect(wParam == 7, "timer id");
    if (++seen.ticks == 3) {
      setWindowPos(d, HWND_TOPMOST, 100, 50, 0, 0, SWP_NOSIZE);
      getWindowRect(d, &seen.movedRect);
    }
    if (seen.ticks == 5) endDialog(d, 42);
  }
  return FALSE;
}

INT_PTR endAtOnce(HWND d, UINT message, WPARAM, LPARAM) {
  if (message == WM_INITDIALOG) endDialog(d, 9);
  return TRUE;
}

}  // namespace

TEST(Dialog, RunsTemplateModallyWithTimerAndControls) {
  seen = Seen();
  ASSERT_EQ(dialogBox(programResources, IDD_SETTINGS, nullptr, testProc), 42) << dialogError();
  EXPECT_EQ(seen.failures, "");
  ASSERT_FALSE(seen.messages.empty());
  EXPECT_EQ(seen.messages.front(), static_cast<UINT>(WM_INITDIALOG));
  // 214 x 138 dialog units of client area.
  EXPECT_EQ(seen.initRect.right - seen.initRect.left, 321);
  EXPECT_EQ(seen.initRect.bottom - seen.initRect.top, 224);
  EXPECT_EQ(seen.movedRect.left, 100);
  EXPECT_EQ(seen.movedRect.top, 50);
  EXPECT_EQ(seen.movedRect.right, 421);
  // No tick arrives once the dialog has ended, and the handle is dead.
  EXPECT_EQ(seen.ticks, 5);
  RECT rect;
  EXPECT_FALSE(getWindowRect(seen.handle, &rect));
  EXPECT_FALSE(endDialog(seen.handle, 1));
}

TEST(Dialog, EndedDuringInitReturnsWithoutWaiting) {
  ASSERT_EQ(dialogBox(programResources, IDD_SETTINGS, nullptr, endAtOnce), 9) << dialogError();
}

TEST(Dialog, UnknownTemplateFails) {
  EXPECT_EQ(dialogBox(programResources, 999, nullptr, endAtOnce), -1);
  EXPECT_NE(std::strstr(dialogError(), "999"), nullptr);
}

TEST(Dialog, DialogUnitsRoundAsTheDialogFontDoes) {
  EXPECT_EQ(dialogUnitsToPixelsY(46), 75);  // 74.75: the banner's exact height
  EXPECT_EQ(dialogUnitsToPixelsY(138), 224);
}

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "app/resource.h"
#include "app/resource_script.h"
#include "app/settings.h"
#include "app/settings_dialog.h"
#include "engine/desktop_capture.h"
#include "platform/dialog.h"

namespace {

void resetBounce() {
  bounceTime = 0.0f;
  bounceSwing = 0.0f;
  bounceHeight = 0;
}

// The settings the dialog writes on OK.
Settings chosen;

void resetSettings() {
  chosen.resolutionIndex = 3;
  chosen.fullscreen = true;
  chosen.showFps = true;
  chosen.loopDemo = true;
}

// What a user does at a given timer tick, and what was seen on the way.
struct DialogRun {
  int actAtTick = 0;
  void (*act)(HWND) = nullptr;
  INT_PTR initResult = FALSE;
  RECT initRect = {};
  bool windowedChecked = false, showFpsChecked = true, loopChecked = true;
  LRESULT rows = 0, selection = CB_ERR;
  std::vector<long> tops;
  std::vector<long> lefts;
  bool timerReturnedTrue = false;
} run;

// Watches the real procedure from outside, as the window would.
INT_PTR watched(HWND d, UINT message, WPARAM wParam, LPARAM lParam) {
  const INT_PTR result = settingsDialogProc(d, message, wParam, lParam);
  RECT rect;
  platform::getWindowRect(d, &rect);
  if (message == WM_INITDIALOG) {
    run.initResult = result;
    run.initRect = rect;
    run.windowedChecked = platform::isDlgButtonChecked(d, IDC_WINDOWED) == BST_CHECKED;
    run.showFpsChecked = platform::isDlgButtonChecked(d, IDC_SHOW_FPS) == BST_CHECKED;
    run.loopChecked = platform::isDlgButtonChecked(d, IDC_LOOP_DEMO) == BST_CHECKED;
    run.rows = platform::sendDlgItemMessage(d, IDC_RESOLUTION, CB_GETCOUNT, 0, 0);
    run.selection = platform::sendDlgItemMessage(d, IDC_RESOLUTION, CB_GETCURSEL, 0, 0);
  } else if (message == WM_TIMER) {
    run.tops.push_back(rect.top);
    run.lefts.push_back(rect.left);
    run.timerReturnedTrue = run.timerReturnedTrue || result != FALSE;
    if (static_cast<int>(run.tops.size()) == run.actAtTick) run.act(d);
  }
  return result;
}

// Runs the real dialog with the watching procedure, writing into chosen.
INT_PTR runWatched() {
  return platform::dialogBox(programResources, IDD_SETTINGS, nullptr, watched,
                             reinterpret_cast<LPARAM>(&chosen));
}

// The centred top-left corner on the screen for the 321 x 224 dialog.
void centred(long* left, long* top) {
  RECT screen;
  ASSERT_TRUE(platform::getWindowRect(platform::getDesktopWindow(), &screen));
  *left = screen.left + (screen.right - screen.left - 321) / 2;
  *top = screen.top + (screen.bottom - screen.top - 224) / 2;
}

}  // namespace

TEST(SettingsDialog, BounceLasts201TicksFrom176PixelsToRestAt3) {
  resetBounce();
  std::vector<int> heights;
  while (bounceTime <= 2.0f) heights.push_back(advanceBounce());
  ASSERT_EQ(heights.size(), 201u);
  EXPECT_EQ(heights[0], 176);
  EXPECT_EQ(heights[24], 0);  // bounceTime 0.25: back at the centre
  EXPECT_EQ(heights[49], 66);
  EXPECT_EQ(heights[99], 24);
  EXPECT_EQ(heights[149], 8);
  EXPECT_EQ(heights.back(), 3);
}

TEST(SettingsDialog, CentredBouncesAndOkWritesTheChoices) {
  resetBounce();
  resetSettings();
  run = DialogRun();
  run.actAtTick = 205;  // after the bounce: it must have stopped by now
  run.act = [](HWND d) {
    platform::sendDlgItemMessage(d, IDC_RESOLUTION, CB_SETCURSEL, 2, 0);
    platform::checkDlgButton(d, IDC_WINDOWED, BST_UNCHECKED);
    platform::checkDlgButton(d, IDC_LOOP_DEMO, BST_CHECKED);
    EXPECT_EQ(settingsDialogProc(d, WM_COMMAND, IDC_LOOP_DEMO, 0), FALSE);
    EXPECT_EQ(settingsDialogProc(d, WM_COMMAND, IDOK, 0), TRUE);
  };
  ASSERT_EQ(runWatched(), IDOK) << platform::dialogError();

  long left, top;
  centred(&left, &top);
  EXPECT_EQ(run.initResult, TRUE);
  EXPECT_EQ(run.initRect.left, left);
  EXPECT_EQ(run.initRect.top, top);
  EXPECT_TRUE(run.windowedChecked);
  EXPECT_FALSE(run.showFpsChecked);
  EXPECT_FALSE(run.loopChecked);
  EXPECT_EQ(run.rows, 4);
  EXPECT_EQ(run.selection, 0);

  ASSERT_EQ(run.tops.size(), 205u);
  EXPECT_EQ(run.tops[0], top - 176);
  EXPECT_EQ(run.tops[24], top);
  EXPECT_EQ(run.tops[49], top - 66);
  EXPECT_EQ(run.tops[200], top - 3);
  EXPECT_EQ(run.tops[204], top - 3);
  for (long l : run.lefts) EXPECT_EQ(l, left);
  EXPECT_FALSE(run.timerReturnedTrue);

  EXPECT_EQ(chosen.resolutionIndex, 2);
  EXPECT_TRUE(chosen.fullscreen);
  EXPECT_FALSE(chosen.showFps);
  EXPECT_TRUE(chosen.loopDemo);
}

// OK with no row selected gives row 0 and the boxes as they are; Cancel
// writes nothing.
TEST(SettingsDialog, OkWithoutARowAndCancel) {
  struct Case {
    WPARAM button;
    int resolutionIndex;
    bool boxes;
  } cases[] = {{IDOK, 0, false}, {IDCANCEL, 3, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.button);
    resetSettings();
    run = DialogRun();
    run.actAtTick = 2;
    static WPARAM button;
    button = c.button;
    run.act = [](HWND d) {
      platform::sendDlgItemMessage(d, IDC_RESOLUTION, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
      EXPECT_EQ(settingsDialogProc(d, WM_COMMAND, button, 0), TRUE);
    };
    ASSERT_EQ(runWatched(), static_cast<INT_PTR>(c.button));
    EXPECT_EQ(chosen.resolutionIndex, c.resolutionIndex);
    EXPECT_EQ(chosen.fullscreen, c.boxes);
    EXPECT_EQ(chosen.showFps, c.boxes);
    EXPECT_EQ(chosen.loopDemo, c.boxes);
  }
}

TEST(SettingsDialog, GoneFromTheScreenBeforeTheDesktopIsCaptured) {
  RECT at = {};
  static RECT* where = &at;
  run = DialogRun();
  run.actAtTick = 3;
  run.act = [](HWND d) {
    platform::getWindowRect(d, where);
    settingsDialogProc(d, WM_COMMAND, IDOK, 0);
  };
  ASSERT_EQ(runWatched(), IDOK);
  const std::vector<unsigned char> picture = captureDesktop();
  ASSERT_EQ(picture.size(), 512u * 512u * 3u);
  RECT screen;
  platform::getWindowRect(platform::getDesktopWindow(), &screen);
  // The grey face of the dialog inside its "Options" frame must not be there.
  const long x = at.left + 160, y = at.top + 112;
  const int u = static_cast<int>(x * DESKTOP_CAPTURE_SIZE / (screen.right - screen.left));
  const int v = DESKTOP_CAPTURE_SIZE - 1 -
                static_cast<int>(y * DESKTOP_CAPTURE_SIZE / (screen.bottom - screen.top));
  const unsigned char* p = picture.data() + (v * DESKTOP_CAPTURE_SIZE + u) * 3;
  EXPECT_FALSE(std::abs(p[0] - 212) < 4 && std::abs(p[1] - 208) < 4 && std::abs(p[2] - 200) < 4)
      << "the dialog is in the capture at " << x << "," << y;
}

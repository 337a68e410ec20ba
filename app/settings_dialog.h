// The settings dialog (template 102): resolution and options, chosen while the
// start-up tune plays; the dialog drops into place with a damped bounce.
//
// WinMain calls runSettingsDialog once, before the GL window exists, with the
// run's Settings (app/settings.h), which the dialog holds until it closes
// (WM_INITDIALOG's lParam). OK writes resolutionIndex, fullscreen, showFps
// and loopDemo there and returns 1; Cancel, ESC and the close button return 2
// and write nothing. When the dialog
// cannot open (no display) it says so on stderr and returns -1: the settings
// keep their defaults. The bounce state is process-wide and never reset.
#pragma once

#include "app/settings.h"
#include "platform/win32.h"

// Bounce state: height = amplitude / e^(decay * time) * |cos(2 pi frequency time)|.
extern float bounceTime;       // advanced by 0.01 per timer tick
extern float bounceAmplitude;  // starting height in pixels
extern float bounceDecay;      // exponential decay per unit of bounceTime
extern float bounceFrequency;  // bounces per unit of bounceTime
extern float bounceSwing;      // last absolute cosine
extern int bounceHeight;       // last offset in pixels above the centred position

// Advances the bounce by one timer tick and returns the new bounceHeight.
int advanceBounce();

// The dialog procedure: WM_INITDIALOG (lParam: the Settings OK writes), WM_TIMER and
// WM_COMMAND (IDOK, IDCANCEL).
INT_PTR settingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Runs the dialog modally with no owner, writing settings on OK: 1 (OK), 2 (Cancel) or -1.
INT_PTR runSettingsDialog(Settings* settings);

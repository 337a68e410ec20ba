// The program's resources: the settings dialog (template 102) and its banner
// (bitmap 113, made by the data generator and compiled in from banner_bmp.h).
#include "app/resource_script.h"

#include "app/resource.h"
#include "banner_bmp.h"

namespace {

using platform::BitmapResource;
using platform::DialogItemTemplate;
using platform::DialogTemplate;

constexpr DWORD CHILD = WS_CHILD | WS_VISIBLE;

const DialogItemTemplate settingsItems[] = {
    {IDOK, "button", "OK", 0, CHILD | BS_DEFPUSHBUTTON | WS_TABSTOP, 156, 6, 50, 14},
    {IDCANCEL, "button", "Abbrechen", 0, CHILD | BS_PUSHBUTTON | WS_TABSTOP, 156, 24, 50, 14},
    {IDC_STATIC, "static", "Resolution:", 0, CHILD | SS_LEFT | WS_GROUP, 6, 6, 42, 12},
    {IDC_RESOLUTION, "combobox", "", 0, CHILD | CBS_DROPDOWN | WS_VSCROLL | WS_TABSTOP, 48, 6, 90,
     95},
    {IDC_WINDOWED, "button", "Windowed", 0, CHILD | BS_AUTOCHECKBOX | WS_TABSTOP, 12, 36, 48, 12},
    {IDC_STATIC, "button", "Options", 0, CHILD | BS_GROUPBOX, 6, 24, 132, 54},
    {IDC_SHOW_FPS, "button", "Show FPS", 0, CHILD | BS_AUTOCHECKBOX | WS_TABSTOP, 12, 48, 48, 12},
    {IDC_LOOP_DEMO, "button", "Loop Demo", 0, CHILD | BS_AUTOCHECKBOX | WS_TABSTOP, 12, 60, 48, 12},
    {IDC_STATIC, "static", nullptr, IDB_BANNER, CHILD | SS_BITMAP, 6, 84, 200, 46},
};

const DialogTemplate dialogResources[] = {
    {IDD_SETTINGS,
     WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_FIXEDSYS,
     WS_EX_TOPMOST, 0, 0, 214, 138, "Parallaxis", "MS Shell Dlg", 8, 400, false, 1, settingsItems,
     static_cast<int>(sizeof settingsItems / sizeof settingsItems[0])},
};

const BitmapResource bitmapResources[] = {
    {IDB_BANNER, BANNER_BMP, sizeof BANNER_BMP},
};

}  // namespace

const platform::ResourceModule programResources = {dialogResources, 1, bitmapResources, 1};

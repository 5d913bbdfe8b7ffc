// Constants of the options dialog (uOvOptn, uOvOptnLayout): its size, styles and control
// identifiers, in the 96-DPI layout.
#pragma once

#include <windows.h>

inline constexpr int kClientWidth = 392;
// Two rows more than the hot-key options and the toolbar's edge: the start at sign-in (with
// its note) and the notification-area icon.
inline constexpr int kClientHeight = 373;
inline constexpr int kButtonTop = 341;
inline constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
inline constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
inline constexpr const wchar_t* kPanelClass = L"TPanel";
// Height of a closed drop-down list; the open list below it is taller.
inline constexpr int kComboHeight = 20;
inline constexpr int kComboListHeight = 200;
inline constexpr COLORREF kLinkColour = RGB(0, 0, 255);
inline constexpr COLORREF kLogoText = RGB(0, 0, 0);

// None is IDOK (1) or IDCANCEL (2): Enter and Escape send those, and no button answers them.
enum : int {
    IDC_IMG_LOGO = 1001,
    IDC_IMG_ICON,
    IDC_LBL_VER,
    IDC_LBL_URL,
    IDC_BVL_LINE,
    IDC_PNL_HOOK,
    IDC_BVL_HOOK,
    IDC_CBX_HOOK,
    IDC_LBL_SHORTCUTKEY,
    IDC_CMB_SHORTCUTKEY,
    IDC_CBX_HIDETASKBAR,
    IDC_CBX_MOVEMOUSE,
    IDC_LBL_TOOLBAR,
    IDC_CMB_TOOLBAR,
    IDC_BTN_SET,
    IDC_BTN_CANCEL,
    IDC_CBX_SIGNIN,
    IDC_LBL_SIGNINNOTE,
    IDC_CBX_TRAYICON,
    IDC_CBX_HOOKSEARCH,
    IDC_BTN_EXPORT,
    IDC_BTN_IMPORT,
};

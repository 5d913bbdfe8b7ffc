// Constants of the main window: control and command identifiers, the layout's sizes.
#pragma once

#include <windows.h>

#include <array>
#include <iterator>

inline constexpr const wchar_t* OV_MUTEX_NAME = L"pOv";
inline constexpr const wchar_t* OV_MAIN_CLASS = L"TFrmOvMain";
inline constexpr const wchar_t* OV_OPTN_CLASS = L"TFrmOvOptn";

inline constexpr const wchar_t* OV_FONT_NAME = L"ＭＳ Ｐゴシック";
inline constexpr int OV_FONT_HEIGHT = 12;

// Window message of the hot-key library: WParam the virtual-key code, LParam the key flags.
inline constexpr UINT WM_HOOKKEY = WM_USER + 10;
// Posted to itself when the main window is shown: the keyboard goes to the list once it shows.
inline constexpr UINT WM_LISTFOCUS = WM_APP + 1;
// The notification-area icon's clicks: LParam the mouse message.
inline constexpr UINT WM_TRAYICON = WM_APP + 2;
// Posted by the search index's reader when pages it read wait to be taken.
inline constexpr UINT WM_INDEXREAD = WM_APP + 3;
// Posted by a folder's lister when a folder dropped as a new page is listed (uOvFill).
inline constexpr UINT WM_FOLDERLISTED = WM_APP + 4;

// Timers of the main window.
inline constexpr UINT_PTR OV_TIMER_DRAGHOVER = 1;
// Results shown while the index was incomplete are shown again with the pages come in since.
inline constexpr UINT_PTR OV_TIMER_RESULTSGROW = 2;
// A folder page's items written into the store, a slice each time (uOvFill).
inline constexpr UINT_PTR OV_TIMER_FILL = 3;

// Child controls.
inline constexpr int IDC_TOOLBAR = 100;
inline constexpr int IDC_ITEMS = 110;
inline constexpr int IDC_STATUS = 120;
inline constexpr int IDC_SEARCH = 130;

// Toolbar buttons, left to right; their images have the same order in the toolbar strip.
inline constexpr int IDC_TBN_BEFORE = 201;
inline constexpr int IDC_TBN_NEXT = 202;
inline constexpr int IDC_TBN_VIEWSTYLE = 203;
inline constexpr int IDC_TBN_INSERT = 204;
inline constexpr int IDC_TBN_DELETE = 205;
inline constexpr int IDC_TBN_OPTION = 206;
inline constexpr int OV_TOOLBAR_BUTTONS = 6;

// The view-style popup menu, in position order; a view entry's position is its view style.
inline constexpr int IDM_PMU_ICON = 301;
inline constexpr int IDM_PMU_SMALLICON = 302;
inline constexpr int IDM_PMU_LIST = 303;
inline constexpr int IDM_PMU_REPORT = 304;
inline constexpr int IDM_PMU_SEPA1 = 305;
inline constexpr int IDM_PMU_BTNUPDATE = 306;
// Below the view-style entries when the menu opens as the list's own menu (the drop-down too).
inline constexpr int IDM_PMU_SEPA2 = 307;
inline constexpr int IDM_PMU_INSERT = 308;

// The row menu's own entries in position order, separators aside; the texts are OV_CAP_ITEM_MENU.
inline constexpr int IDM_ITEM_OPEN = 501;
inline constexpr int IDM_ITEM_RUNAS = 502;
inline constexpr int IDM_ITEM_LOCATION = 503;
inline constexpr int IDM_ITEM_RENAME = 504;
inline constexpr int IDM_ITEM_DELETE = 505;
inline constexpr int IDM_ITEM_SHELL = 506;
inline constexpr int IDM_ITEM_PROPERTIES = 507;
inline constexpr int OV_ITEM_MENU_ENTRIES = 7;
// The shell's own entries, in the submenu of IDM_ITEM_SHELL.
inline constexpr UINT IDM_SHELL_FIRST = 0x1000;
inline constexpr UINT IDM_SHELL_LAST = 0x7FFF;

// Commands of the keyboard alone (the others share the toolbar's and the menu's identifiers).
inline constexpr int IDM_KEY_OPEN = 401;
inline constexpr int IDM_KEY_RENAME = 402;
inline constexpr int IDM_KEY_SELECTALL = 403;
inline constexpr int IDM_KEY_MINIMIZE = 404;
inline constexpr int IDM_KEY_DELETE = 405;
inline constexpr int IDM_KEY_FIND = 406;
// Ctrl+1 to Ctrl+8 show pages 1 to 8 (in order from IDM_KEY_PAGE1), Ctrl+9 the last; Alt+Down
// opens the page list; Ctrl+X marks the selected rows to be moved and Ctrl+V moves them here.
inline constexpr int IDM_KEY_PAGE1 = 421;
inline constexpr int IDM_KEY_PAGELAST = 429;
inline constexpr int IDM_KEY_PAGELIST = 430;
inline constexpr int IDM_KEY_CUT = 431;
inline constexpr int IDM_KEY_PASTE = 432;
// Posted once Alt is released after Alt+Down: the page list opens then.
inline constexpr int IDM_PAGELIST_OPEN = 433;
// The notification-area icon's menu.
inline constexpr int IDM_TRAY_SHOW = 441;
inline constexpr int IDM_TRAY_OPTIONS = 442;
inline constexpr int IDM_TRAY_EXIT = 443;
// Keys of the search field alone.
inline constexpr int IDM_SEARCH_OPENFIRST = 411;
inline constexpr int IDM_SEARCH_TOLIST = 412;
inline constexpr int IDM_SEARCH_SELECTALL = 413;

// The keys that do the same in the list and in the search field: the search itself, the refresh,
// Escape (which leaves a search before it minimises) and the page steps.
inline constexpr ACCEL OV_SHARED_KEYS[] = {
    {FVIRTKEY, VK_ESCAPE, IDM_KEY_MINIMIZE},
    {FVIRTKEY | FCONTROL, 'F', IDM_KEY_FIND},
    {FVIRTKEY, VK_F3, IDM_KEY_FIND},
    {FVIRTKEY, VK_F5, IDM_PMU_BTNUPDATE},
    {FVIRTKEY | FCONTROL, VK_NEXT, IDC_TBN_NEXT},
    {FVIRTKEY | FCONTROL, VK_PRIOR, IDC_TBN_BEFORE},
    {FVIRTKEY | FALT, VK_RIGHT, IDC_TBN_NEXT},
    {FVIRTKEY | FALT, VK_LEFT, IDC_TBN_BEFORE},
    {FVIRTKEY | FCONTROL, VK_TAB, IDC_TBN_NEXT},
    {FVIRTKEY | FCONTROL | FSHIFT, VK_TAB, IDC_TBN_BEFORE},
    {FVIRTKEY | FALT, VK_DOWN, IDM_KEY_PAGELIST},
    {FVIRTKEY | FCONTROL, '1', IDM_KEY_PAGE1},
    {FVIRTKEY | FCONTROL, '2', IDM_KEY_PAGE1 + 1},
    {FVIRTKEY | FCONTROL, '3', IDM_KEY_PAGE1 + 2},
    {FVIRTKEY | FCONTROL, '4', IDM_KEY_PAGE1 + 3},
    {FVIRTKEY | FCONTROL, '5', IDM_KEY_PAGE1 + 4},
    {FVIRTKEY | FCONTROL, '6', IDM_KEY_PAGE1 + 5},
    {FVIRTKEY | FCONTROL, '7', IDM_KEY_PAGE1 + 6},
    {FVIRTKEY | FCONTROL, '8', IDM_KEY_PAGE1 + 7},
    {FVIRTKEY | FCONTROL, '9', IDM_KEY_PAGELAST},
};

// A table of `own` keys followed by the shared ones.
template <size_t N>
constexpr std::array<ACCEL, N + std::size(OV_SHARED_KEYS)> KeysWithShared(const ACCEL (&own)[N]) {
    std::array<ACCEL, N + std::size(OV_SHARED_KEYS)> keys{};
    size_t at = 0;
    for (const ACCEL& key : own)
        keys[at++] = key;
    for (const ACCEL& key : OV_SHARED_KEYS)
        keys[at++] = key;
    return keys;
}

// The main window's keys, one table: each calls the handler its command names, wherever the focus
// is in the window (the rename editor aside, whose Enter and Escape are its own).
inline constexpr auto OV_KEYS = KeysWithShared({
    {FVIRTKEY, VK_RETURN, IDM_KEY_OPEN},
    {FVIRTKEY, VK_DELETE, IDM_KEY_DELETE},
    {FVIRTKEY, VK_F2, IDM_KEY_RENAME},
    {FVIRTKEY | FCONTROL, 'A', IDM_KEY_SELECTALL},
    {FVIRTKEY | FCONTROL, 'X', IDM_KEY_CUT},
    {FVIRTKEY | FCONTROL, 'V', IDM_KEY_PASTE},
});

// The keys of the search field, in place of OV_KEYS there: the others (Delete, Ctrl+A, F2, the
// arrows) are the field's own editing keys.
inline constexpr auto OV_SEARCH_KEYS = KeysWithShared({
    {FVIRTKEY, VK_RETURN, IDM_SEARCH_OPENFIRST},
    {FVIRTKEY, VK_DOWN, IDM_SEARCH_TOLIST},
    {FVIRTKEY | FCONTROL, 'A', IDM_SEARCH_SELECTALL},
});

// Resources.
inline constexpr int IDI_APP = 1;
inline constexpr int IDB_TOOLBAR = 101;
inline constexpr int IDB_LOGO = 102;
inline constexpr int IDB_TOOLBAR125 = 103;
inline constexpr int IDB_TOOLBAR150 = 104;
inline constexpr int IDB_TOOLBAR175 = 105;
inline constexpr int IDB_TOOLBAR200 = 106;
inline constexpr int IDB_LOGO150 = 107;
inline constexpr int IDB_LOGO200 = 108;
inline constexpr COLORREF OV_TOOLBAR_MASK = RGB(255, 0, 255);

// Layout at 96 DPI; every size is scaled with the window's DPI (DpiScale).
inline constexpr int OV_TOOLBAR_IMAGE = 20;
inline constexpr int OV_BUTTON_WIDTH = 38;
inline constexpr int OV_BUTTON_HEIGHT = 26;
inline constexpr int OV_TOOLBAR_EDGE = 2;
inline constexpr int OV_STATUS_HEIGHT = 20;
inline constexpr int OV_SEARCH_HEIGHT = 22;
inline constexpr int OV_STATUS_PANEL0 = 200;
inline constexpr int OV_STATUS_PANEL1 = 50;
inline constexpr int OV_MIN_TRACK = 120;
// The main window's size before its stored bounds are applied.
inline constexpr int OV_MAIN_WIDTH = 340;
inline constexpr int OV_MAIN_HEIGHT = 226;

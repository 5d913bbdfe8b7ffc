// The main window's keyboard: its keys (the accelerator table made from OV_KEYS), the hot key
// that calls it up, and where the focus goes when the window is shown, restored, called up or
// activated again.
#include "uOvMain.h"

#include "uOvLvw.h"

#include "uCmnApp.h"
#include "uCmnReg.h"
#include "uCmnWnd.h"
#include "uOvFrm.h"
#include "uOvCfg.h"
#include "uOvFrmDef.h"
#include "uOvRegDef.h"

#include <commctrl.h>

#include <algorithm>

void TFrmOvMain::ItemListFocus(bool rowToo) {
    if (!CptLvwItems)
        return;
    ::SetFocus(CptLvwItems);
    if (!rowToo)
        return;
    const int row = ListView_GetNextItem(CptLvwItems, -1, LVNI_FOCUSED);
    ItemRowPick(row < 0 ? 0 : row);
}

void TFrmOvMain::ItemRowPick(int row) {
    row = std::min(row, ListView_GetItemCount(CptLvwItems) - 1);
    if (row < 0)
        return;
    ListView_SetItemState(CptLvwItems, row, LVIS_FOCUSED | LVIS_SELECTED,
                          LVIS_FOCUSED | LVIS_SELECTED);
    ListView_EnsureVisible(CptLvwItems, row, FALSE);
}

void TFrmOvMain::KeyboardTake() {
    // During a search the window takes typing in its field: a new search.
    if (search_.IsOpen()) {
        search_.FieldTake();
        return;
    }
    ItemListFocus(true);
}

void TFrmOvMain::ItemsSelectAll() {
    // With drawing off: the list would otherwise mark every row it selects for a paint, one call
    // to the display server a row (seven seconds for 50,000 rows under Wine).
    TListUpdate update;
    ListView_SetItemState(CptLvwItems, -1, LVIS_SELECTED, LVIS_SELECTED);
}

bool TFrmOvMain::KeyTranslate(MSG& msg) {
    // Alt released after Alt+Down: the page list opens now. The release is not passed on: the
    // window saw Alt go down but not the Down its key table took, and would take the release for
    // Alt pressed alone and put itself in menu mode, which ends the list at once.
    if (pageListOnAltUp_ && (msg.message == WM_KEYUP || msg.message == WM_SYSKEYUP) &&
        msg.wParam == VK_MENU) {
        pageListOnAltUp_ = false;
        ::PostMessageW(Handle(), WM_COMMAND, IDM_PAGELIST_OPEN, 0);
        return true;
    }
    // The loop hands over every message; only a key press can be one of the table's keys.
    if ((msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) || !keys_ || !Handle() ||
        (msg.hwnd != Handle() && !::IsChild(Handle(), msg.hwnd)))
        return false;
    // In the rename editor Enter ends the edit and Escape cancels it, as the editor does itself.
    HWND editor = ListView_GetEditControl(CptLvwItems);
    if (editor && (msg.hwnd == editor || ::IsChild(editor, msg.hwnd)))
        return false;
    // The search field has keys of its own; the rest are its editing keys.
    if (search_.Field() && msg.hwnd == search_.Field())
        return search_.FieldKeyTranslate(msg);
    if (search_.UpToField(msg))
        return true;
    return ::TranslateAcceleratorW(Handle(), keys_.Get(), &msg) != 0;
}

void TFrmOvMain::HookKeyPressed(WPARAM key, LPARAM flags) {
    HKEY hkcu = HKEY_CURRENT_USER;
    if ((static_cast<uint32_t>(flags) & 0x80000000u) || hotKeyBroken_)
        return;
    // Settings that cannot be read turn the hot key off after one report, not one per key.
    hotKeyBroken_ = true;
    const bool match = static_cast<int64_t>(RegIntRead(hkcu, OvKeyOption, OvValHookKeyNo)) ==
                       static_cast<int64_t>(key);
    const bool on = match && RegBoolRead(hkcu, OvKeyOption, OvValHookKey);
    const bool toMouse = on && RegBoolRead(hkcu, OvKeyOption, OvValHereMouse);
    const bool toSearch = on && OptionFlagRead(OvValHookSearch);
    hotKeyBroken_ = false;
    if (!on)
        return;
    // A box or the options dialog holds the window disabled: the keyboard is theirs, and the
    // selection they were opened on stays as it is.
    HWND modal = ModalWindowOf(Handle());
    WindowBringToFront(Handle(), modal);
    if (toMouse)
        WindowToMouse(Handle());
    // Handled before the keys typed after it, which then reach the field, in order.
    if (!modal && toSearch)
        search_.ShowEmpty();
    else if (!modal)
        KeyboardTake();
}

// The main window's keyboard: its keys (the accelerator table made from OV_KEYS) and where the
// focus goes when the window is shown, restored, called up or activated again.
#include "uOvMain.h"

#include "uCmnApp.h"

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

void TFrmOvMain::ItemsDeleteSelected() {
    // Only what is selected: with nothing selected a Delete pressed again after its question
    // never reaches the page, which only the toolbar's button deletes.
    if (ListView_GetSelectedCount(CptLvwItems) > 0)
        CptTbnDeleteClick();
}

void TFrmOvMain::KeyboardTake() {
    // During a search the window takes typing in its field: a new search.
    if (search_.open) {
        ::SetFocus(CptEdtSearch);
        ::SendMessageW(CptEdtSearch, EM_SETSEL, 0, -1);
        return;
    }
    ItemListFocus(true);
}

void TFrmOvMain::ItemRenameBegin() {
    const int row = ListView_GetNextItem(CptLvwItems, -1, LVNI_FOCUSED);
    if (row < 0)
        return;
    ::SetFocus(CptLvwItems);
    // The list asks CptLvwItemsEditing first, which refuses a folder page with its box.
    ListView_EditLabel(CptLvwItems, row);
}

void TFrmOvMain::ItemsSelectAll() {
    ListView_SetItemState(CptLvwItems, -1, LVIS_SELECTED, LVIS_SELECTED);
}

bool TFrmOvMain::KeyTranslate(MSG& msg) {
    // The loop hands over every message; only a key press can be one of the table's keys.
    if ((msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) || !keys_ || !Handle() ||
        (msg.hwnd != Handle() && !::IsChild(Handle(), msg.hwnd)))
        return false;
    // In the rename editor Enter ends the edit and Escape cancels it, as the editor does itself.
    HWND editor = ListView_GetEditControl(CptLvwItems);
    if (editor && (msg.hwnd == editor || ::IsChild(editor, msg.hwnd)))
        return false;
    // The search field has keys of its own; the rest are its editing keys.
    if (CptEdtSearch && msg.hwnd == CptEdtSearch)
        return ::TranslateAcceleratorW(Handle(), searchKeys_.Get(), &msg) != 0;
    if (SearchUpToField(msg))
        return true;
    return ::TranslateAcceleratorW(Handle(), keys_.Get(), &msg) != 0;
}

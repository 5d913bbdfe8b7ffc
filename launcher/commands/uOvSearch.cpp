// The main window's search: the field above the list, its keys, and the list showing the items of
// every page whose name holds the field's text, from the index and never from the store.
#include "uOvMain.h"

#include "uCmnWnd.h"
#include "uOvCapDef.h"
#include "uOvFrmDef.h"
#include "uOvLvw.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>
#include <set>

namespace {

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

} // namespace

void TFrmOvMain::SearchFieldCreate() {
    CptEdtSearch = ::CreateWindowExW(
        WS_EX_CLIENTEDGE, WC_EDITW, L"", WS_CHILD | WS_TABSTOP | WS_CLIPSIBLINGS | ES_AUTOHSCROLL,
        0, 0, 0, 0, Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_SEARCH)),
        ::GetModuleHandleW(nullptr), nullptr);
    ::SendMessageW(CptEdtSearch, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
    ::SendMessageW(CptEdtSearch, EM_SETCUEBANNER, TRUE,
                   reinterpret_cast<LPARAM>(OV_CAP_SEARCH_CUE));
    searchKeys_.Reset(::CreateAcceleratorTableW(const_cast<ACCEL*>(OV_SEARCH_KEYS.data()),
                                                static_cast<int>(OV_SEARCH_KEYS.size())));
}

void TFrmOvMain::SearchOpen() {
    if (!CptEdtSearch)
        SearchFieldCreate();
    SearchIndexEnsure();
    if (!search_.open) {
        search_.open = true;
        ::ShowWindow(CptEdtSearch, SW_SHOW);
        LayoutControls();
    }
    ::SetFocus(CptEdtSearch);
    ::SendMessageW(CptEdtSearch, EM_SETSEL, 0, -1);
}

bool TFrmOvMain::SearchLeave(bool pageBack) {
    if (!search_.open)
        return false;
    search_.open = false;
    // Emptied before the page comes back: the change it reports finds no results to replace.
    ::SetWindowTextW(CptEdtSearch, L"");
    ::ShowWindow(CptEdtSearch, SW_HIDE);
    LayoutControls();
    if (search_.results) {
        if (pageBack)
            SearchPageBack();
        search_.results = false;
    }
    // The field hidden with the keyboard in it gives it to the window, and so to the list.
    return true;
}

void TFrmOvMain::SearchChanged() {
    if (!search_.open)
        return;
    const std::wstring text = WindowText(CptEdtSearch);
    if (text.empty()) {
        if (search_.results)
            SearchPageBack();
        return;
    }
    if (!search_.results) {
        search_.selected.clear();
        ListSelectedNames(search_.selected);
        search_.focused = ListRowOf(ListView_GetNextItem(CptLvwItems, -1, LVNI_FOCUSED)).name;
        search_.results = true;
    }
    SearchShow(text);
}

void TFrmOvMain::SearchRun() {
    if (search_.results)
        SearchShow(WindowText(CptEdtSearch));
}

void TFrmOvMain::SearchIndexEnsure() {
    if (!ItemIndex.Built()) {
        THourglass hourglass;
        ItemIndex.Build();
    }
}

void TFrmOvMain::SearchIndexReread() {
    THourglass hourglass;
    ItemIndex.Build();
}

void TFrmOvMain::SearchShow(const std::wstring& text) {
    SearchIndexEnsure();
    const TPageEntries entries = ItemIndex.Entries(ItemIndex.Match(text));
    {
        TListUpdate update;
        ListFill(entries);
        ListSort(SortColumn, SortOrder);
    }
    std::set<int32_t> pages;
    search_.items = 0;
    for (const TPageEntry& entry : entries) {
        if (entry.found) {
            ++search_.items;
            pages.insert(entry.page);
        }
    }
    search_.pages = static_cast<int32_t>(pages.size());
    StatusRepaint();
}

void TFrmOvMain::SearchPageBack() {
    search_.results = false;
    CptPmuItemBtnUpdateClick();
    // The rows the page had selected and focused, by name: the refresh may have dropped some.
    // The refresh left no row marked: only the rows to mark cost a message, not every row of a
    // page of thousands.
    const std::set<std::wstring> selected(search_.selected.begin(), search_.selected.end());
    const int count = ListView_GetItemCount(CptLvwItems);
    for (int item = 0; item < count; ++item) {
        const std::wstring name = ListRowOf(item).name;
        UINT state = selected.count(name) ? LVIS_SELECTED : 0;
        if (!search_.focused.empty() && name == search_.focused) {
            state |= LVIS_FOCUSED;
            ListView_EnsureVisible(CptLvwItems, item, FALSE);
        }
        if (state)
            ListView_SetItemState(CptLvwItems, item, state, state);
    }
}

void TFrmOvMain::SearchOpenFirst() {
    if (search_.results && ListView_GetItemCount(CptLvwItems) > 0)
        ItemsOpen({ListRowOf(0)});
}

bool TFrmOvMain::SearchUpToField(const MSG& msg) {
    if (!search_.open || msg.hwnd != CptLvwItems || msg.message != WM_KEYDOWN ||
        msg.wParam != VK_UP || ::GetKeyState(VK_SHIFT) < 0 || ::GetKeyState(VK_CONTROL) < 0)
        return false;
    const int focused = ListView_GetNextItem(CptLvwItems, -1, LVNI_FOCUSED);
    if (focused > 0)
        return false;
    ::SetFocus(CptEdtSearch);
    return true;
}

// The search: the field above the list, its keys, and the list showing the items of every page
// whose name holds the field's text.
#include "uOvSearch.h"

#include "uCmnWnd.h"
#include "uOvCapDef.h"
#include "uOvFrmDef.h"
#include "uOvLvw.h"
#include "uOvPages.h"

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

TItemSearch::TItemSearch(TMainHost& host, const TMainState& state)
    : host_(host), state_(state),
      // Called on the reader's thread: only a message goes to the window from there.
      index_([&host] { ::PostMessageW(host.Window(), WM_INDEXREAD, 0, 0); }) {}

void TItemSearch::FieldCreate() {
    field_ = ::CreateWindowExW(
        WS_EX_CLIENTEDGE, WC_EDITW, L"", WS_CHILD | WS_TABSTOP | WS_CLIPSIBLINGS | ES_AUTOHSCROLL,
        0, 0, 0, 0, host_.Window(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_SEARCH)),
        ::GetModuleHandleW(nullptr), nullptr);
    ::SendMessageW(field_, WM_SETFONT, reinterpret_cast<WPARAM>(host_.Font()), FALSE);
    ::SendMessageW(field_, EM_SETCUEBANNER, TRUE, reinterpret_cast<LPARAM>(OV_CAP_SEARCH_CUE));
    keys_.Reset(::CreateAcceleratorTableW(const_cast<ACCEL*>(OV_SEARCH_KEYS.data()),
                                          static_cast<int>(OV_SEARCH_KEYS.size())));
}

void TItemSearch::Show() {
    if (!field_)
        FieldCreate();
    IndexEnsure();
    if (!open_) {
        open_ = true;
        ::ShowWindow(field_, SW_SHOW);
        host_.LayoutControls();
    }
    FieldTake();
}

void TItemSearch::ShowEmpty() {
    // Emptied first: the results give the page back before the field opens again.
    if (field_ && ::GetWindowTextLengthW(field_) > 0)
        ::SetWindowTextW(field_, L"");
    Show();
}

void TItemSearch::FieldTake() {
    ::SetFocus(field_);
    ::SendMessageW(field_, EM_SETSEL, 0, -1);
}

bool TItemSearch::Leave(bool pageBack) {
    if (!open_)
        return false;
    open_ = false;
    // Emptied before the page comes back: the change it reports finds no results to replace.
    ::SetWindowTextW(field_, L"");
    ::ShowWindow(field_, SW_HIDE);
    host_.LayoutControls();
    if (results_) {
        if (pageBack)
            PageBack();
        results_ = false;
    }
    searching_ = false;
    GrowTimerSet(false);
    // The field hidden with the keyboard in it gives it to the window, and so to the list.
    return true;
}

void TItemSearch::TextChanged() {
    if (!open_)
        return;
    const std::wstring text = WindowText(field_);
    if (text.empty()) {
        if (results_)
            PageBack();
        searching_ = false;
        GrowTimerSet(false);
        return;
    }
    if (!results_) {
        selected_.clear();
        ListSelectedNames(selected_);
        focused_ = ListRowOf(ListView_GetNextItem(host_.ItemList(), -1, LVNI_FOCUSED)).name;
        results_ = true;
    }
    ResultsShow(text, false);
}

void TItemSearch::ShowAgain() {
    if (results_)
        ResultsShow(WindowText(field_), true);
}

void TItemSearch::IndexEnsure() {
    if (!index_.Built())
        index_.Build();
}

void TItemSearch::IndexStart() {
    IndexEnsure();
}

void TItemSearch::IndexReread() {
    index_.Build();
}

void TItemSearch::IndexRead() {
    // Only results of part of the pages grow: pages read again after a command changed them are
    // shown by that command, as it shows its own change.
    if (!index_.Take() || !results_ || !searching_)
        return;
    // The last pages show at once; before them the results grow a few times a second, not with
    // every page, so typing is never held up by them.
    if (index_.Whole())
        ResultsGrow();
    else
        GrowTimerSet(true);
}

void TItemSearch::ResultsGrow() {
    GrowTimerSet(false);
    // A name being edited keeps its row, and a menu open over the rows the rows it acts on: the
    // results grow when the editor or the menu has closed.
    if (results_ && (ListView_GetEditControl(host_.ItemList()) || host_.MenuOpen())) {
        GrowTimerSet(true);
        return;
    }
    ShowAgain();
}

void TItemSearch::GrowTimerSet(bool on) {
    if (on == growTimer_)
        return;
    growTimer_ = on;
    if (on)
        ::SetTimer(host_.Window(), OV_TIMER_RESULTSGROW, 250, nullptr);
    else
        ::KillTimer(host_.Window(), OV_TIMER_RESULTSGROW);
}

void TItemSearch::ResultsShow(const std::wstring& text, bool keepSelection) {
    IndexEnsure();
    // Shown again (the results grow every quarter second while the index is read, a command
    // changed them): what the user selected stays selected, by item, so that Delete pressed
    // meanwhile still has its rows.
    std::set<TRowItem> selected;
    TRowItem focused;
    if (keepSelection)
        ListSelectionNote(selected, focused);
    // Sorted by name, the results come in the list's order and need no sort.
    const TItemIndex::TOrder order = state_.sortColumn != 0 || state_.sortOrder == 0
                                         ? TItemIndex::TOrder::Store
                                     : state_.sortOrder > 0 ? TItemIndex::TOrder::NameUp
                                                            : TItemIndex::TOrder::NameDown;
    // Matched and made rows in store order, where the items, their texts and their keys lie in a
    // row in memory; shown in the list's order.
    const std::vector<TIndexHit> hits = index_.Match(text);
    const std::vector<size_t> places = index_.Ordered(hits, order);
    searching_ = !index_.Whole();
    if (searching_)
        GrowTimerSet(true);
    // One pass over the hits: each item looked up the first time, counted and made a row that
    // shares its texts (no name is copied).
    std::vector<bool> onPage;
    // Each hit's row, -1 for an item whose file was not found.
    std::vector<ptrdiff_t> rowOf(hits.size(), -1);
    items_ = 0;
    pages_ = 0;
    {
        TListUpdate update;
        {
            TListFill fill(hits.size());
            for (size_t i = 0; i < hits.size(); ++i) {
                const TIndexItem& item = index_.Looked(hits[i]);
                if (!item.found)
                    continue;
                rowOf[i] = static_cast<ptrdiff_t>(items_++);
                const auto page = static_cast<size_t>(hits[i].page);
                if (page >= onPage.size())
                    onPage.resize(page + 1);
                if (!onPage[page]) {
                    onPage[page] = true;
                    ++pages_;
                }
                fill.Add(item.text, item.record, hits[i].page, item.order);
            }
            std::vector<size_t> rows;
            rows.reserve(items_);
            for (size_t place : places)
                if (rowOf[place] >= 0)
                    rows.push_back(static_cast<size_t>(rowOf[place]));
            fill.Order(std::move(rows));
            // Each result says which page it is on, by the name the index read with the page.
            std::map<int32_t, std::wstring> labels;
            for (size_t page = 1; page < onPage.size(); ++page)
                if (onPage[page])
                    labels[static_cast<int32_t>(page)] = PageLabel(
                        static_cast<int32_t>(page), index_.PageName(static_cast<int32_t>(page)));
            fill.Labels(std::move(labels));
        }
        // In the order by name the index gave (ListSort's by the name column), the list compares
        // nothing.
        if (order == TItemIndex::TOrder::Store)
            ListSort(state_.sortColumn, state_.sortOrder);
        ListSelectionRestore(selected, focused);
    }
    host_.StatusRepaint();
}

void TItemSearch::PageBack() {
    results_ = false;
    host_.PageShowAgain();
    // The rows the page had selected and focused, by name: the refresh may have dropped some.
    // The refresh left no row marked: only the rows to mark cost a message, not every row of a
    // page of thousands.
    HWND list = host_.ItemList();
    const std::set<std::wstring> selected(selected_.begin(), selected_.end());
    const int count = ListView_GetItemCount(list);
    for (int item = 0; item < count; ++item) {
        const std::wstring name = ListRowOf(item).name;
        UINT state = selected.count(name) ? LVIS_SELECTED : 0;
        if (!focused_.empty() && name == focused_) {
            state |= LVIS_FOCUSED;
            ListView_EnsureVisible(list, item, FALSE);
        }
        if (state)
            ListView_SetItemState(list, item, state, state);
    }
}

std::optional<TListRow> TItemSearch::FirstResult() const {
    if (!results_ || ListView_GetItemCount(host_.ItemList()) == 0)
        return std::nullopt;
    return ListRowOf(0);
}

bool TItemSearch::FieldKeyTranslate(MSG& msg) {
    return ::TranslateAcceleratorW(host_.Window(), keys_.Get(), &msg) != 0;
}

bool TItemSearch::UpToField(const MSG& msg) {
    HWND list = host_.ItemList();
    if (!open_ || msg.hwnd != list || msg.message != WM_KEYDOWN || msg.wParam != VK_UP ||
        ::GetKeyState(VK_SHIFT) < 0 || ::GetKeyState(VK_CONTROL) < 0)
        return false;
    if (ListView_GetNextItem(list, -1, LVNI_FOCUSED) > 0)
        return false;
    ::SetFocus(field_);
    return true;
}

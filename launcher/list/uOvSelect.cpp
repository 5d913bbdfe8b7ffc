// The item list's selection, kept with the rows from the list's own notices, and carried through
// a reordering of the rows.
#include "uOvLvw.h"
#include "uOvRows.h"

#include <commctrl.h>

#include <algorithm>
#include <optional>

namespace {

int ScrollPos(HWND list, int bar) {
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_POS;
    return ::GetScrollInfo(list, bar, &info) ? info.nPos : 0;
}

void RowSelect(TRowRecord& row, bool selected) {
    if (row.selected == selected)
        return;
    row.selected = selected;
    ListState().selectedCount += selected ? 1 : static_cast<size_t>(-1);
}

// The kept selection checked against the list with two questions; asked of the list row by row
// when they disagree.
void SelectionInStep() {
    TListState& state = ListState();
    HWND list = state.list;
    if (!list)
        return;
    const size_t count = static_cast<size_t>(ListView_GetSelectedCount(list));
    int first = -1;
    if (state.selectedCount > 0)
        for (size_t i = 0; i < state.order.size() && first < 0; ++i)
            if (state.rows[state.order[i]].selected)
                first = static_cast<int>(i);
    // None selected needs no second question: the list finds its first selected row by asking
    // every row, and a fill of 25,000 rows is sorted with none selected.
    if (count == state.selectedCount &&
        (count == 0 || ListView_GetNextItem(list, -1, LVNI_SELECTED) == first))
        return;
    for (TRowRecord& row : state.rows)
        row.selected = false;
    state.selectedCount = 0;
    for (int item = -1; (item = ListView_GetNextItem(list, item, LVNI_SELECTED)) >= 0;)
        if (TRowRecord* row = RowAt(item))
            RowSelect(*row, true);
}

// Tells the list the kept selection after the rows moved under it: nothing when all or none are
// selected. Else the places `before` the move of the fewer kind of row (the selected when `few`,
// else the unselected) are turned back where another kind of row stands now, and that kind's
// places now are marked. Not every row at once: the list's way to mark or clear all rows walks
// every row (Wine), some 80 ms at 50,000, where a column click with one row selected tells two.
void SelectionTell(const std::vector<int>& before, bool few) {
    TListState& state = ListState();
    HWND list = state.list;
    const size_t count = state.order.size(), selected = state.selectedCount;
    // Every row or none: the same places as before, nothing to tell.
    if (selected == 0 || selected == count)
        return;
    const UINT mark = few ? LVIS_SELECTED : 0;
    // Many rows told with drawing off: the list marks every row it changes for a paint. A few
    // are not worth turning it off and on (some 16 ms under Wine).
    std::optional<TListUpdate> update;
    if (before.size() > 32)
        update.emplace();
    state.selectionQuiet = true;
    for (int item : before)
        if (const TRowRecord* row = RowAt(item); row && row->selected != few)
            ListView_SetItemState(list, item, mark ^ LVIS_SELECTED, LVIS_SELECTED);
    for (size_t i = 0; i < count; ++i)
        if (state.rows[state.order[i]].selected == few)
            ListView_SetItemState(list, static_cast<int>(i), mark, LVIS_SELECTED);
    state.selectionQuiet = false;
}

} // namespace

TSelectionKeep::TSelectionKeep(HWND list)
    : list_(list), x_(ScrollPos(list, SB_HORZ)), y_(ScrollPos(list, SB_VERT)) {
    SelectionInStep();
    focused_ = RowAt(ListView_GetNextItem(list, -1, LVNI_FOCUSED));
    const TListState& state = ListState();
    if (state.selectedCount == 0 || state.selectedCount == state.order.size())
        return;
    // The fewer of the selected and the unselected rows are the ones the list is told one by one.
    few_ = state.selectedCount <= state.order.size() / 2;
    for (size_t i = 0; i < state.order.size(); ++i)
        if (state.rows[state.order[i]].selected == few_)
            before_.push_back(static_cast<int>(i));
}

TSelectionKeep::~TSelectionKeep() {
    if (ListState().selectedCount == 0 && !focused_)
        return;
    // The rows keep their selection; the list learns their new places.
    SelectionTell(before_, few_);
    if (focused_) {
        ListState().selectionQuiet = true;
        ListView_SetItemState(list_, focused_->item, LVIS_FOCUSED, LVIS_FOCUSED);
        ListView_SetSelectionMark(list_, focused_->item);
        ListState().selectionQuiet = false;
    }
    // The report view scrolls by rows and the list view by columns, the icon views by pixels.
    RECT row{};
    ListView_GetItemRect(list_, 0, &row, LVIR_BOUNDS);
    const DWORD view = ::GetWindowLongPtrW(list_, GWL_STYLE) & LVS_TYPEMASK;
    const int dx = x_ - ScrollPos(list_, SB_HORZ), dy = y_ - ScrollPos(list_, SB_VERT);
    if (dx || dy)
        ListView_Scroll(list_, view == LVS_LIST ? dx * (row.right - row.left) : dx,
                        view == LVS_REPORT ? dy * (row.bottom - row.top) : dy);
}

void ListSelectedNames(std::vector<std::wstring>& names) {
    for (TListRow& row : ListSelectedRows())
        names.push_back(std::move(row.name));
}

void ListItemChanged(const NMLISTVIEW& change) {
    TListState& state = ListState();
    if (state.selectionQuiet || !(change.uChanged & LVIF_STATE) ||
        !((change.uNewState ^ change.uOldState) & LVIS_SELECTED))
        return;
    const bool selected = (change.uNewState & LVIS_SELECTED) != 0;
    if (change.iItem == -1) {
        for (TRowRecord& row : state.rows)
            row.selected = selected;
        state.selectedCount = selected ? state.rows.size() : 0;
    } else if (TRowRecord* row = RowAt(change.iItem)) {
        RowSelect(*row, selected);
    }
}

void ListRangeChanged(const NMLVODSTATECHANGE& change) {
    if (ListState().selectionQuiet || !((change.uNewState ^ change.uOldState) & LVIS_SELECTED))
        return;
    const bool selected = (change.uNewState & LVIS_SELECTED) != 0;
    for (int item = std::max(change.iFrom, 0); item <= change.iTo; ++item) {
        TRowRecord* row = RowAt(item);
        if (!row)
            break;
        RowSelect(*row, selected);
    }
}

std::vector<TListRow> ListSelectedRows() {
    std::vector<TListRow> rows;
    rows.reserve(ListState().selectedCount);
    ListSelectedEach([&](const std::wstring& name, TPageId page, const std::wstring& path) {
        rows.push_back({name, page, path});
    });
    return rows;
}

void ListSelectedEach(const std::function<void(const std::wstring& name, TPageId page,
                                               const std::wstring& path)>& each) {
    SelectionInStep();
    const TListState& state = ListState();
    for (size_t row : state.order)
        if (const TRowRecord& record = state.rows[row]; record.selected)
            each(record.Name(), record.page, record.Path());
}

void ListSelectionNote(std::set<TRowItem>& selected, TRowItem& focused) {
    selected.clear();
    ListSelectedEach([&](const std::wstring& name, TPageId page, const std::wstring&) {
        selected.emplace(page, name);
    });
    const TRowRecord* row = RowAt(ListView_GetNextItem(ListState().list, -1, LVNI_FOCUSED));
    focused = row ? TRowItem{row->page, row->Name()} : TRowItem{};
}

void ListSelectionRestore(const std::set<TRowItem>& selected, const TRowItem& focused) {
    if (selected.empty() && focused.second.empty())
        return;
    TListState& state = ListState();
    TListUpdate update;
    for (size_t place = 0; place < state.order.size(); ++place) {
        const TRowRecord& row = state.rows[state.order[place]];
        UINT mark = !selected.empty() && selected.count({row.page, row.Name()}) ? LVIS_SELECTED : 0;
        if (!focused.second.empty() && row.page == focused.first && row.Name() == focused.second)
            mark |= LVIS_FOCUSED;
        if (mark)
            ListView_SetItemState(state.list, static_cast<int>(place), mark, mark);
    }
}

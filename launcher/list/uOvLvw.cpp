// The item list: rows, columns, sorting and view styles.
#include "uOvLvw.h"

#include "uCmnDpi.h"
#include "uCmnFile.h"
#include "uCmnMatch.h"
#include "uCmnReg.h"
#include "uCmnStr.h"
#include "uCmnWnd.h"
#include "uOvReg.h"
#include "uOvRegDef.h"
#include "uOvRowIcon.h"
#include "uOvRows.h"

#include <commctrl.h>

#include <algorithm>

TListState& ListState() {
    static TListState state;
    return state;
}

TRowRecord* RowAt(int item) {
    TListState& state = ListState();
    if (item < 0 || static_cast<size_t>(item) >= state.order.size())
        return nullptr;
    return &state.rows[state.order[static_cast<size_t>(item)]];
}

namespace {

// The type text of the item's extension, looked up once per extension for the window's life.
const std::wstring& TypeTextCached(const TItemText& text) {
    TListState& state = ListState();
    // Rows made one after another mostly share an extension: the last one's answers at once.
    if (state.lastType && text.extension == state.lastExtension)
        return *state.lastType;
    auto found = state.typeTexts.find(text.extension);
    if (found == state.typeTexts.end())
        found = state.typeTexts.emplace(text.extension, TypeText(text.path)).first;
    state.lastExtension = text.extension;
    state.lastType = &found->second;
    return found->second;
}

const std::wstring& RowText(TRowRecord& row, int column) {
    switch (column) {
    case 0:
        return row.Name();
    case 2:
        return *row.type;
    }
    if (!row.texts) {
        auto texts = std::make_unique<TRowTexts>();
        texts->size = SizeText(row.size, LocaleTexts().thousands);
        texts->date = DateText(row.time, LocaleTexts());
        texts->folder = PathFolder(row.Path());
        // Results say where each one is: its page before its folder.
        const auto& labels = ListState().pageLabels;
        if (auto label = labels.find(row.page); label != labels.end())
            texts->folder = label->second + L"  " + texts->folder;
        row.texts = std::move(texts);
    }
    return column == 1 ? row.texts->size : column == 3 ? row.texts->date : row.texts->folder;
}

// Makes the row's record at the end of the list's order; the list is told by the caller.
TRowRecord& RowMake(TItemTextPtr text, const FindRecord& record, int32_t page) {
    TListState& state = ListState();
    TRowRecord& row = state.rows.emplace_back();
    row.text = std::move(text);
    row.page = PageIdOf(page);
    row.size = record.Size64;
    row.time = record.Time;
    row.type = &TypeTextCached(*row.text);
    // The locale's settings are read here, once, not in the paint that first shows a date.
    LocaleTexts();
    row.item = static_cast<int>(state.order.size());
    state.order.push_back(state.rows.size() - 1);
    return row;
}

} // namespace

TListUpdate::TListUpdate() {
    if (ListState().redrawOff++ == 0)
        ::SendMessageW(ListState().list, WM_SETREDRAW, FALSE, 0);
}

TListUpdate::~TListUpdate() {
    HWND list = ListState().list;
    if (--ListState().redrawOff == 0 && list) {
        ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
        ::InvalidateRect(list, nullptr, TRUE);
    }
}

void ListFill(int32_t page) {
    TPageEntries entries;
    PageItemsRead(page, entries);
    PageEntriesFind(entries);
    ListFill(std::move(entries));
}

void ListFill(TPageEntries entries, std::map<int32_t, std::wstring> pageLabels) {
    TListFill fill(entries.size());
    fill.Labels(std::move(pageLabels));
    for (TPageEntry& entry : entries)
        if (entry.found)
            fill.Add(ItemTextMake(std::move(entry.name), std::move(entry.path)), entry.record,
                     entry.page, std::move(entry.order));
}

TListFill::TListFill(size_t count) {
    ListClear();
    TListState& state = ListState();
    // Each fill starts the image lists afresh, so they hold the icons of the rows painted since,
    // and the icons those rows share, and do not grow with every page visit.
    ListImagesReset();
    state.rows.reserve(count);
    state.order.reserve(count);
    state.keyed = true;
}

void TListFill::Labels(std::map<int32_t, std::wstring> pageLabels) {
    std::map<TPageId, std::wstring>& labels = ListState().pageLabels;
    labels.clear();
    for (auto& [page, label] : pageLabels)
        labels.emplace(PageIdOf(page), std::move(label));
}

void TListFill::Order(std::vector<size_t> order) {
    TListState& state = ListState();
    // Every row once, or the rows keep the order they were added in.
    if (order.size() != state.rows.size())
        return;
    state.order = std::move(order);
    for (size_t i = 0; i < state.order.size(); ++i)
        state.rows[state.order[i]].item = static_cast<int>(i);
}

void TListFill::Add(TItemTextPtr text, const FindRecord& record, int32_t page, TSortKey order) {
    TRowRecord& row = RowMake(std::move(text), record, page);
    row.order = std::move(order);
    ListState().keyed = ListState().keyed && !row.order.Empty();
}

TListFill::~TListFill() {
    ::SendMessageW(ListState().list, LVM_SETITEMCOUNT, ListState().order.size(), 0);
}

std::wstring ListPageShow(int32_t page, int32_t column, int32_t order) {
    TPageEntries entries;
    std::wstring odd = PageRefresh(page, entries);
    THourglass hourglass;
    TListUpdate update;
    ListFill(std::move(entries));
    ListSort(column, order);
    return odd;
}

void ListRowAdd(const std::wstring& name, const std::wstring& path, int32_t page) {
    FindRecord record;
    if (!FileRecordGet(path, record))
        return;
    ListEditCancel();
    RowMake(ItemTextMake(name, path), record, page);
    ListState().keyed = false;
    // The rows before it keep their place, their selection and the list's scroll position.
    ::SendMessageW(ListState().list, LVM_SETITEMCOUNT, ListState().order.size(),
                   LVSICF_NOSCROLL | LVSICF_NOINVALIDATEALL);
}

void ListEditCancel() {
    HWND list = ListState().list;
    if (ListView_GetEditControl(list))
        ::SendMessageW(list, LVM_CANCELEDITLABEL, 0, 0);
}

void ListClear() {
    ListEditCancel();
    ::SendMessageW(ListState().list, LVM_DELETEALLITEMS, 0, 0);
    TListState& state = ListState();
    state.rows.clear();
    state.order.clear();
    state.wanted.clear();
    state.pageLabels.clear();
    state.keyed = false;
    state.selectedCount = 0;
    ++state.fill;
}

void ListAttach(HWND list, HWND owner) {
    ListState().list = list;
    ListState().owner = owner;
}

void ListStateReset() {
    // The fill count goes on, so that work begun before is never taken for work on new rows.
    const unsigned fill = ListState().fill;
    ListState() = TListState{};
    ListState().fill = fill + 1;
}

void ListDispInfo(LVITEMW& item) {
    TRowRecord* row = RowAt(item.iItem);
    if (!row)
        return;
    if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0)
        ::lstrcpynW(item.pszText, RowText(*row, item.iSubItem).c_str(), item.cchTextMax);
    if ((item.mask & LVIF_IMAGE) && item.iSubItem == 0)
        item.iImage = ListRowImage(item.iItem);
    if ((item.mask & LVIF_STATE) && (item.stateMask & LVIS_CUT)) {
        const std::set<std::pair<TPageId, std::wstring>>& marked = ListState().marked;
        if (!marked.empty() && marked.count({row->page, row->Name()}))
            item.state |= LVIS_CUT;
    }
}

void ListMarkSet(const std::vector<TListRow>& rows) {
    TListState& state = ListState();
    state.marked.clear();
    for (const TListRow& row : rows)
        state.marked.emplace(row.page, row.name);
    if (state.list)
        ::InvalidateRect(state.list, nullptr, TRUE);
}

int ListFindItem(int start, const LVFINDINFOW& find) {
    const TListState& state = ListState();
    const int count = static_cast<int>(state.order.size());
    if (!(find.flags & (LVFI_STRING | LVFI_PARTIAL)) || !find.psz || count == 0)
        return -1;
    const int length = ::lstrlenW(find.psz);
    start = std::clamp(start, 0, count);
    const int end = (find.flags & LVFI_WRAP) ? start + count : count;
    for (int at = start; at < end; ++at) {
        const int item = at % count;
        const std::wstring& name = state.rows[state.order[static_cast<size_t>(item)]].Name();
        // A part compares with as many characters of the name, the whole with the whole name.
        const int compared = (find.flags & LVFI_PARTIAL)
                                 ? std::min(length, static_cast<int>(name.size()))
                                 : static_cast<int>(name.size());
        if (::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, name.c_str(), compared, find.psz,
                             length) == CSTR_EQUAL)
            return item;
    }
    return -1;
}

TListRow ListRowOf(int item) {
    const TRowRecord* row = RowAt(item);
    if (!row)
        return {};
    return {row->Name(), row->page, row->Path()};
}

int ListItemAt(int x, int y) {
    LVHITTESTINFO hit{};
    hit.pt = {x, y};
    const int item = static_cast<int>(
        ::SendMessageW(ListState().list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    return item >= 0 && (hit.flags & LVHT_ONITEM) ? item : -1;
}

void ListRowRenamed(TPageId page, const std::wstring& oldName, const std::wstring& newName) {
    for (TRowRecord& row : ListState().rows) {
        if (row.page == page && row.Name() == oldName) {
            // The old text may be shared (the search's index): the row gets one of its own.
            row.text = ItemTextMake(newName, row.Path());
            if (!row.order.Empty())
                row.order = TSortKey(newName);
            ::InvalidateRect(ListState().list, nullptr, TRUE);
            return;
        }
    }
}

// Widths go through the column records, which hold them in every view; the width messages
// answer 0 outside the report view.
int ColumnWidth(HWND list, int column) {
    LVCOLUMNW c{};
    c.mask = LVCF_WIDTH;
    ::SendMessageW(list, LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(&c));
    return c.cx;
}

void ColumnWidthSet(HWND list, int column, int width) {
    LVCOLUMNW c{};
    c.mask = LVCF_WIDTH;
    c.cx = width;
    ::SendMessageW(list, LVM_SETCOLUMNW, column, reinterpret_cast<LPARAM>(&c));
}

void ColumnWidthsLoad(int dpi) {
    std::vector<std::wstring> widths =
        CommaTextSplit(RegStrRead(HKEY_CURRENT_USER, OvKeyConfig, OvValLvwColWidth));
    if (widths.empty())
        return;
    HWND list = ListState().list;
    int columns = Header_GetItemCount(ListView_GetHeader(list));
    // Stored at 96 DPI, so a tree reads the same at every display scale.
    for (int i = 0; i < columns; ++i)
        ColumnWidthSet(list, i, DpiScale(StrToInt(ListAt(widths, i)), dpi));
}

void ColumnWidthsSave(int dpi) {
    HWND list = ListState().list;
    int columns = Header_GetItemCount(ListView_GetHeader(list));
    std::wstring text;
    for (int i = 0; i < columns; ++i)
        text += std::to_wstring(DpiUnscale(ColumnWidth(list, i), dpi)) + L",";
    RegStrWrite(HKEY_CURRENT_USER, OvKeyConfig, OvValLvwColWidth, text);
}

void ViewStyleSet(int32_t style) {
    static const DWORD views[4] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};
    // A style outside 0..3 (outside edits only) shows large icons.
    DWORD view = (style >= 0 && style <= 3) ? views[style] : LVS_ICON;
    HWND list = ListState().list;
    LONG_PTR current = ::GetWindowLongPtrW(list, GWL_STYLE);
    if ((current & LVS_TYPEMASK) != static_cast<LONG_PTR>(view))
        ::SetWindowLongPtrW(list, GWL_STYLE, (current & ~LVS_TYPEMASK) | view);
}

void ListSort(int32_t column, int32_t order) {
    if (column < 0 || column > 4)
        return;
    TListState& state = ListState();
    state.sortOrder = order;
    HWND list = ListState().list;
    ListEditCancel();
    {
        TSelectionKeep selection(list);
        // Names by their sort keys where every row has one: the order of lstrcmpW, without its
        // look-ups for every comparison.
        const auto keyed = [&](size_t a, size_t b) {
            return state.rows[a].order.Compare(state.rows[b].order) * order < 0;
        };
        const auto before = [&](size_t a, size_t b) {
            const auto rowA = reinterpret_cast<LPARAM>(&state.rows[a]);
            const auto rowB = reinterpret_cast<LPARAM>(&state.rows[b]);
            return (column == 0 ? SortCompareName(rowA, rowB)
                                : SortCompareColumn(rowA, rowB, column)) < 0;
        };
        // A stable sort of the current order: rows that compare equal keep their order, as the
        // list control's own sort keeps them. Rows that come in order (a folder lists its
        // entries by name) cost one comparison each.
        if (column == 0 && state.keyed) {
            if (!std::is_sorted(state.order.begin(), state.order.end(), keyed))
                std::stable_sort(state.order.begin(), state.order.end(), keyed);
        } else if (!std::is_sorted(state.order.begin(), state.order.end(), before)) {
            std::stable_sort(state.order.begin(), state.order.end(), before);
        }
        for (size_t i = 0; i < state.order.size(); ++i)
            state.rows[state.order[i]].item = static_cast<int>(i);
    }
    ::InvalidateRect(list, nullptr, TRUE);
}

int SortCompareName(LPARAM a, LPARAM b) {
    return SortCompareColumn(a, b, 0);
}

namespace {

template <typename T> int Compared(const T& a, const T& b) {
    return (a > b) - (a < b);
}

} // namespace

int SortCompareColumn(LPARAM a, LPARAM b, int column) {
    TRowRecord& rowA = *reinterpret_cast<TRowRecord*>(a);
    TRowRecord& rowB = *reinterpret_cast<TRowRecord*>(b);
    // Sizes by their bytes and dates by their time, as every file list orders them: as texts
    // 10KB would come before 9KB, and 午後 01:45 before 午後 12:05 of the same day.
    int order = 0;
    if (column == 1)
        order = Compared(rowA.size, rowB.size);
    else if (column == 3)
        order = Compared(rowA.time, rowB.time);
    else
        order = ::lstrcmpW(RowText(rowA, column).c_str(), RowText(rowB, column).c_str());
    return order * ListState().sortOrder;
}

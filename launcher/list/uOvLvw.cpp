// The item list: rows, columns, sorting and view styles.
#include "uOvLvw.h"

#include "uCmnApp.h"
#include "uCmnDpi.h"
#include "uCmnFile.h"
#include "uCmnHandle.h"
#include "uCmnIcon.h"
#include "uCmnReg.h"
#include "uCmnStr.h"
#include "uOvMain.h"
#include "uOvMsg.h"
#include "uOvReg.h"
#include "uOvRegDef.h"

#include <commctrl.h>

#include <algorithm>
#include <map>
#include <unordered_map>

namespace {

// What a row shows until its icons are loaded, and for good when its file yields none: no image
// at all, which the list also paints far faster than a transparent one.
constexpr int ImageNone = I_IMAGENONE;
// The image of a row whose icons have not been asked for, or are waiting to be loaded: states
// of the row's own, never handed to the list, so neither may be an index or ImageNone.
constexpr int ImageUnknown = -1;
constexpr int ImageQueued = -3;
static_assert(ImageQueued != ImageNone && ImageUnknown != ImageNone);

// A row of the list: the item and what its file's look-up found. The list holds no row of its own
// (an owner-data list): it asks for each text and image when it paints, so a fill costs no
// message per row, and the sort orders these records.
struct TRowRecord {
    std::wstring name;
    std::wstring path;
    int64_t size = 0;
    uint32_t time = 0;
    // In the list state's type texts, filled when the row is made: a paint reads no registry.
    const std::wstring* type = nullptr;
    // Size, date and folder texts, made when first painted or sorted by.
    std::wstring sizeText, dateText, folderText;
    bool textsMade = false;
    int32_t page = 0;
    int image = ImageUnknown;
    // Position in the list, kept in step by every sort.
    int item = -1;
};

// What the list keeps between fills, for the life of the main window.
struct TListState {
    // In the order they were filled or added.
    std::vector<TRowRecord> rows;
    // The rows by position in the list.
    std::vector<size_t> order;
    // Rows whose icons the list has asked for, by position in `rows`, newest last.
    std::vector<size_t> wanted;
    // Bumped by every fill, so work begun on an older fill's rows is not finished on new ones.
    unsigned fill = 0;
    TFileIconCache icons;
    // Image-list positions of the shared icons; emptied with the image lists.
    std::map<const TIconPair*, int> typeImages;
    // Type texts by extension, letter case aside; a node never moves, so rows point into it.
    std::unordered_map<std::wstring, std::wstring> typeTexts;
    bool iconErrorShown = false;
    int redrawOff = 0;
};

TListState& State() {
    static TListState state;
    return state;
}

// The record of the row at list position `item`, null when there is none.
TRowRecord* RowAt(int item) {
    TListState& state = State();
    if (item < 0 || static_cast<size_t>(item) >= state.order.size())
        return nullptr;
    return &state.rows[state.order[static_cast<size_t>(item)]];
}

} // namespace

HICON BlankIcon(int size) {
    static std::map<int, TUniqueIcon> icons;
    TUniqueIcon& icon = icons[size];
    if (!icon) {
        // Each mask row is padded to a whole number of 16-bit words.
        const size_t rowBytes = static_cast<size_t>((size + 15) / 16 * 2);
        std::vector<BYTE> andMask(rowBytes * static_cast<size_t>(size), 0xFF);
        std::vector<BYTE> xorMask(andMask.size(), 0x00);
        icon.Reset(::CreateIcon(::GetModuleHandleW(nullptr), size, size, 1, 1, andMask.data(),
                                xorMask.data()));
    }
    return icon.Get();
}

namespace {

// The type text of the path's extension, looked up once per extension for the window's life.
const std::wstring& TypeTextCached(const std::wstring& path) {
    const std::wstring key = PathExtensionKey(path);
    auto& texts = State().typeTexts;
    auto found = texts.find(key);
    if (found == texts.end())
        found = texts.emplace(key, TypeText(path)).first;
    return found->second;
}

const std::wstring& RowText(TRowRecord& row, int column) {
    switch (column) {
    case 0:
        return row.name;
    case 2:
        return *row.type;
    }
    if (!row.textsMade) {
        row.sizeText = SizeText(row.size, LocaleTexts().thousands);
        row.dateText = DateText(row.time, LocaleTexts());
        row.folderText = PathFolder(row.path);
        row.textsMade = true;
    }
    return column == 1 ? row.sizeText : column == 3 ? row.dateText : row.folderText;
}

// Appends a pair to both image lists at the same position, a blank standing in for a missing
// half; that position, or the blank's when the lists refuse.
int ImagesAppend(const TIconPair& pair) {
    if (!pair.large && !pair.small)
        return ImageNone;
    TFrmOvMain& form = *FrmOvMain;
    const TIconSizes& sizes = State().icons.Sizes();
    const int large = ::ImageList_ReplaceIcon(
        form.CptImlItems32.Get(), -1, pair.large ? pair.large.Get() : BlankIcon(sizes.large));
    const int small = ::ImageList_ReplaceIcon(
        form.CptImlItems16.Get(), -1, pair.small ? pair.small.Get() : BlankIcon(sizes.small));
    if (large >= 0 && large == small)
        return small;
    // Out of step: start both afresh rather than let a row show another file's icon.
    ListImagesReset();
    return ImageNone;
}

// The image-list position of the icons of the file at `path`, loading them.
int RowImageLoad(const std::wstring& path) {
    TListState& state = State();
    TIconPair own;
    const TIconPair* shared = state.icons.Get(path, own);
    if (!shared)
        return ImagesAppend(own);
    auto found = state.typeImages.find(shared);
    if (found == state.typeImages.end())
        found = state.typeImages.emplace(shared, ImagesAppend(*shared)).first;
    return found->second;
}

// True when some of the row lies in the list's client area (a row under the column headers
// counts: at most one).
bool RowOnScreen(HWND list, int item) {
    RECT bounds{};
    bounds.left = LVIR_BOUNDS;
    RECT client{}, both{};
    return item >= 0 &&
           ::SendMessageW(list, LVM_GETITEMRECT, item, reinterpret_cast<LPARAM>(&bounds)) &&
           ::GetClientRect(list, &client) && ::IntersectRect(&both, &bounds, &client);
}

// Makes the row's record at the end of the list's order; the list is told by the caller.
void RowMake(const std::wstring& name, const std::wstring& path, const FindRecord& record,
             int32_t page) {
    TListState& state = State();
    TRowRecord& row = state.rows.emplace_back();
    row.name = name;
    row.page = page;
    row.path = path;
    row.size = record.Size64;
    row.time = record.Time;
    row.type = &TypeTextCached(path);
    // The locale's settings are read here, once, not in the paint that first shows a date.
    LocaleTexts();
    row.item = static_cast<int>(state.order.size());
    state.order.push_back(state.rows.size() - 1);
}

int ScrollPos(HWND list, int bar) {
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_POS;
    return ::GetScrollInfo(list, bar, &info) ? info.nPos : 0;
}

// The list's selection and focus follow their rows through a reordering: the list itself keeps
// them by position. The view stays where it was, as after the list's own sort, although
// focusing a row scrolls it into view (Wine).
class TSelectionKeep {
  public:
    explicit TSelectionKeep(HWND list)
        : list_(list), x_(ScrollPos(list, SB_HORZ)), y_(ScrollPos(list, SB_VERT)) {
        for (int item = -1; (item = ListView_GetNextItem(list, item, LVNI_SELECTED)) >= 0;)
            selected_.push_back(RowAt(item));
        focused_ = RowAt(ListView_GetNextItem(list, -1, LVNI_FOCUSED));
    }
    ~TSelectionKeep() {
        if (selected_.empty() && !focused_)
            return;
        ListView_SetItemState(list_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
        for (const TRowRecord* row : selected_)
            ListView_SetItemState(list_, row->item, LVIS_SELECTED, LVIS_SELECTED);
        if (focused_) {
            ListView_SetItemState(list_, focused_->item, LVIS_FOCUSED, LVIS_FOCUSED);
            ListView_SetSelectionMark(list_, focused_->item);
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
    TSelectionKeep(const TSelectionKeep&) = delete;
    TSelectionKeep& operator=(const TSelectionKeep&) = delete;

  private:
    HWND list_;
    int x_, y_;
    std::vector<const TRowRecord*> selected_;
    const TRowRecord* focused_ = nullptr;
};

} // namespace

TListUpdate::TListUpdate() {
    if (State().redrawOff++ == 0)
        ::SendMessageW(FrmOvMain->CptLvwItems, WM_SETREDRAW, FALSE, 0);
}

TListUpdate::~TListUpdate() {
    if (--State().redrawOff == 0 && FrmOvMain) {
        ::SendMessageW(FrmOvMain->CptLvwItems, WM_SETREDRAW, TRUE, 0);
        ::InvalidateRect(FrmOvMain->CptLvwItems, nullptr, TRUE);
    }
}

void ListFill(int32_t page) {
    TPageEntries entries;
    PageItemsRead(page, entries);
    PageEntriesFind(entries);
    ListFill(entries);
}

void ListFill(const TPageEntries& entries) {
    TListUpdate update;
    ListClear();
    // Each fill starts the image lists afresh, so they hold the icons of the rows painted since,
    // and the icons those rows share, and do not grow with every page visit.
    ListImagesReset();
    TListState& state = State();
    state.rows.reserve(entries.size());
    state.order.reserve(entries.size());
    for (const TPageEntry& entry : entries)
        if (entry.found)
            RowMake(entry.name, entry.path, entry.record, entry.page);
    ::SendMessageW(FrmOvMain->CptLvwItems, LVM_SETITEMCOUNT, state.order.size(), 0);
}

void ListRowAdd(const std::wstring& name, const std::wstring& path, int32_t page) {
    FindRecord record;
    if (!FileRecordGet(path, record))
        return;
    ListEditCancel();
    RowMake(name, path, record, page);
    // The rows before it keep their place, their selection and the list's scroll position.
    ::SendMessageW(FrmOvMain->CptLvwItems, LVM_SETITEMCOUNT, State().order.size(),
                   LVSICF_NOSCROLL | LVSICF_NOINVALIDATEALL);
}

void ListEditCancel() {
    HWND list = FrmOvMain->CptLvwItems;
    if (ListView_GetEditControl(list))
        ::SendMessageW(list, LVM_CANCELEDITLABEL, 0, 0);
}

void ListClear() {
    ListEditCancel();
    ::SendMessageW(FrmOvMain->CptLvwItems, LVM_DELETEALLITEMS, 0, 0);
    TListState& state = State();
    state.rows.clear();
    state.order.clear();
    state.wanted.clear();
    ++state.fill;
}

void ListImagesReset() {
    TListState& state = State();
    ::ImageList_RemoveAll(FrmOvMain->CptImlItems32.Get());
    ::ImageList_RemoveAll(FrmOvMain->CptImlItems16.Get());
    state.typeImages.clear();
    state.iconErrorShown = false;
    // Rows still shown keep no position in the emptied lists.
    for (TRowRecord& row : state.rows)
        row.image = ImageUnknown;
    state.wanted.clear();
}

void ListIconSizesSet(const TIconSizes& sizes) {
    State().icons.SizesSet(sizes);
    ListImagesReset();
}

HICON ListIconSmall(const std::wstring& path, TIconPair& own) {
    const TIconPair* shared = State().icons.Get(path, own);
    return (shared ? shared : &own)->small.Get();
}

void ListStateReset() {
    // The fill count goes on, so that work begun before is never taken for work on new rows.
    const unsigned fill = State().fill;
    State() = TListState{};
    State().fill = fill + 1;
}

void ListDispInfo(LVITEMW& item) {
    TRowRecord* row = RowAt(item.iItem);
    if (!row)
        return;
    if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0)
        ::lstrcpynW(item.pszText, RowText(*row, item.iSubItem).c_str(), item.cchTextMax);
    if ((item.mask & LVIF_IMAGE) && item.iSubItem == 0)
        item.iImage = ListRowImage(item.iItem);
}

int ListRowImage(int item) {
    TRowRecord* row = RowAt(item);
    if (!row)
        return ImageNone;
    if (row->image >= 0)
        return row->image;
    if (row->image == ImageUnknown) {
        row->image = ImageQueued;
        // Asked in a sent message (another program reading the list), the loop would wait on in
        // GetMessage without idle time: a posted message wakes it, once for the whole batch.
        if (State().wanted.empty())
            ::PostMessageW(FrmOvMain->Handle(), WM_NULL, 0, 0);
        State().wanted.push_back(static_cast<size_t>(row - State().rows.data()));
    }
    return ImageNone;
}

int ListFindItem(int start, const LVFINDINFOW& find) {
    const TListState& state = State();
    const int count = static_cast<int>(state.order.size());
    if (!(find.flags & (LVFI_STRING | LVFI_PARTIAL)) || !find.psz || count == 0)
        return -1;
    const int length = ::lstrlenW(find.psz);
    start = std::clamp(start, 0, count);
    const int end = (find.flags & LVFI_WRAP) ? start + count : count;
    for (int at = start; at < end; ++at) {
        const int item = at % count;
        const std::wstring& name = state.rows[state.order[static_cast<size_t>(item)]].name;
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

bool ListIconsLoad(int budgetMs) {
    TListState& state = State();
    const ULONGLONG deadline = ::GetTickCount64() + static_cast<ULONGLONG>(std::max(budgetMs, 0));
    bool loaded = false;
    while (!state.wanted.empty() && FrmOvMain) {
        // Newest first: the rows painted last are the ones on screen after a scroll.
        const size_t index = state.wanted.back();
        state.wanted.pop_back();
        if (index >= state.rows.size() || state.rows[index].image != ImageQueued)
            continue;
        TRowRecord& row = state.rows[index];
        HWND list = FrmOvMain->CptLvwItems;
        const int item = row.item;
        if (!RowOnScreen(list, item)) {
            // Scrolled away since it was painted; its next paint asks again. Icons just loaded
            // are painted before the rows passed over are worked through.
            row.image = ImageUnknown;
            if (loaded || ::GetTickCount64() >= deadline)
                break;
            continue;
        }
        row.image = ImageNone;
        const unsigned fill = state.fill;
        const std::wstring path = row.path;
        int image = ImageNone;
        try {
            image = RowImageLoad(path);
        } catch (const std::exception& e) {
            // One box per fill, however many of its rows fail: the row keeps the blank.
            if (!state.iconErrorShown) {
                state.iconErrorShown = true;
                Application.HandleException(ItemError(path, e));
            }
        }
        // The box's own message loop may have refilled the list meanwhile, or added rows.
        if (fill != state.fill)
            continue;
        state.rows[index].image = image;
        ::SendMessageW(list, LVM_REDRAWITEMS, item, item);
        loaded = true;
        if (::GetTickCount64() >= deadline)
            break;
    }
    return !state.wanted.empty();
}

void ListSelectedNames(std::vector<std::wstring>& names) {
    for (TListRow& row : ListSelectedRows())
        names.push_back(std::move(row.name));
}

std::vector<TListRow> ListSelectedRows() {
    HWND list = FrmOvMain->CptLvwItems;
    std::vector<TListRow> rows;
    for (int item = -1; (item = ListView_GetNextItem(list, item, LVNI_SELECTED)) >= 0;)
        rows.push_back(ListRowOf(item));
    return rows;
}

TListRow ListRowOf(int item) {
    const TRowRecord* row = RowAt(item);
    if (!row)
        return {};
    return {row->name, row->page, row->path};
}

int ListItemAt(int x, int y) {
    LVHITTESTINFO hit{};
    hit.pt = {x, y};
    const int item = static_cast<int>(
        ::SendMessageW(FrmOvMain->CptLvwItems, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    return item >= 0 && (hit.flags & LVHT_ONITEM) ? item : -1;
}

void ListRowRenamed(int32_t page, const std::wstring& oldName, const std::wstring& newName) {
    for (TRowRecord& row : State().rows) {
        if (row.page == page && row.name == oldName) {
            row.name = newName;
            ::InvalidateRect(FrmOvMain->CptLvwItems, nullptr, TRUE);
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

void ColumnWidthsLoad() {
    std::vector<std::wstring> widths =
        CommaTextSplit(RegStrRead(HKEY_CURRENT_USER, OvKeyConfig, OvValLvwColWidth));
    if (widths.empty())
        return;
    HWND list = FrmOvMain->CptLvwItems;
    int columns = Header_GetItemCount(ListView_GetHeader(list));
    // Stored at 96 DPI, so a tree reads the same at every display scale.
    for (int i = 0; i < columns; ++i)
        ColumnWidthSet(list, i, FrmOvMain->Scaled(StrToInt(ListAt(widths, i))));
}

void ColumnWidthsSave() {
    HWND list = FrmOvMain->CptLvwItems;
    int columns = Header_GetItemCount(ListView_GetHeader(list));
    std::wstring text;
    for (int i = 0; i < columns; ++i)
        text += std::to_wstring(DpiUnscale(ColumnWidth(list, i), FrmOvMain->Dpi)) + L",";
    RegStrWrite(HKEY_CURRENT_USER, OvKeyConfig, OvValLvwColWidth, text);
}

void ViewStyleSet(int32_t style) {
    static const DWORD views[4] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};
    // A style outside 0..3 (outside edits only) shows large icons.
    DWORD view = (style >= 0 && style <= 3) ? views[style] : LVS_ICON;
    HWND list = FrmOvMain->CptLvwItems;
    LONG_PTR current = ::GetWindowLongPtrW(list, GWL_STYLE);
    if ((current & LVS_TYPEMASK) != static_cast<LONG_PTR>(view))
        ::SetWindowLongPtrW(list, GWL_STYLE, (current & ~LVS_TYPEMASK) | view);
}

void ListSort(int32_t column) {
    if (column < 0 || column > 4)
        return;
    TListState& state = State();
    HWND list = FrmOvMain->CptLvwItems;
    ListEditCancel();
    {
        TSelectionKeep selection(list);
        const auto before = [&](size_t a, size_t b) {
            const auto rowA = reinterpret_cast<LPARAM>(&state.rows[a]);
            const auto rowB = reinterpret_cast<LPARAM>(&state.rows[b]);
            return (column == 0 ? SortCompareName(rowA, rowB)
                                : SortCompareColumn(rowA, rowB, column)) < 0;
        };
        // A stable sort of the current order: rows that compare equal keep their order, as the
        // list control's own sort keeps them. Rows that come in order (a folder lists its
        // entries by name) cost one comparison each.
        if (!std::is_sorted(state.order.begin(), state.order.end(), before))
            std::stable_sort(state.order.begin(), state.order.end(), before);
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
    return order * FrmOvMain->SortOrder;
}

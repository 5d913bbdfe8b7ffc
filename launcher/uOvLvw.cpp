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

#include <deque>
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

// The texts a row shows, caption first: what the sort compares. The list view's lParam of
// each row points at its record, so sorting never has to read texts back from the control.
// The row's icons are asked for by the list when it paints the row (I_IMAGECALLBACK).
struct TRowRecord {
    std::wstring texts[5];
    std::wstring path;
    // The item's page; 0 for the page shown.
    int32_t page = 0;
    int image = ImageUnknown;
    // Position in the list state's rows.
    size_t index = 0;
    // Position in the list when it last asked for the row's image; sorting may have moved it.
    int item = -1;
};

// What the list keeps between fills, for the life of the main window.
struct TListState {
    std::deque<TRowRecord> rows;
    // Rows whose icons the list has asked for, by position in `rows`, newest last.
    std::vector<size_t> wanted;
    // Bumped by every fill, so work begun on an older fill's rows is not finished on new ones.
    unsigned fill = 0;
    TFileIconCache icons;
    // Image-list positions of the shared type icons; emptied with the image lists.
    std::map<const TIconPair*, int> typeImages;
    // Type texts by extension, letter case aside.
    std::unordered_map<std::wstring, std::wstring> typeTexts;
    bool iconErrorShown = false;
    int redrawOff = 0;
};

TListState& State() {
    static TListState state;
    return state;
}

const TRowRecord& Row(LPARAM lParam) {
    return *reinterpret_cast<const TRowRecord*>(lParam);
}

std::wstring LocaleInfo(LCTYPE type, const wchar_t* fallback) {
    wchar_t buf[80] = {};
    int n = ::GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buf, 80);
    return n > 1 ? std::wstring(buf) : std::wstring(fallback);
}

std::wstring ItemText(HWND list, int item, int subItem) {
    std::vector<wchar_t> buf(512);
    for (;;) {
        LVITEMW lvi{};
        lvi.iSubItem = subItem;
        lvi.pszText = buf.data();
        lvi.cchTextMax = static_cast<int>(buf.size());
        int n = static_cast<int>(
            ::SendMessageW(list, LVM_GETITEMTEXTW, item, reinterpret_cast<LPARAM>(&lvi)));
        if (n < static_cast<int>(buf.size()) - 1)
            return std::wstring(buf.data(), static_cast<size_t>(std::max(n, 0)));
        buf.resize(buf.size() * 2);
    }
}

int CALLBACK CompareRows(LPARAM a, LPARAM b, LPARAM column) {
    return column == 0 ? SortCompareName(a, b) : SortCompareColumn(a, b, static_cast<int>(column));
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

const TLocaleTexts& LocaleTexts() {
    static const TLocaleTexts texts = [] {
        TLocaleTexts t;
        t.thousands = LocaleInfo(LOCALE_STHOUSAND, L",");
        t.timeSeparator = LocaleInfo(LOCALE_STIME, L":");
        t.am = LocaleInfo(LOCALE_S1159, L"AM");
        t.pm = LocaleInfo(LOCALE_S2359, L"PM");
        for (int i = 0; i < 7; ++i)
            t.weekdays[i] = LocaleInfo(static_cast<LCTYPE>(LOCALE_SABBREVDAYNAME1 + i), L"");
        return t;
    }();
    return texts;
}

std::wstring SizeText(int64_t bytes, const std::wstring& thousands) {
    std::wstring digits = std::to_wstring(bytes / 1024);
    size_t first = digits[0] == L'-' ? 1 : 0;
    std::wstring text;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > first && (digits.size() - i) % 3 == 0)
            text += thousands;
        text += digits[i];
    }
    return text + L"KB";
}

namespace {

// A number of at least `width` digits, zeros in front.
std::wstring Digits(int value, size_t width) {
    std::wstring text = std::to_wstring(value);
    return text.size() < width ? std::wstring(width - text.size(), L'0') + text : text;
}

} // namespace

std::wstring DateText(uint32_t dosTime, const TLocaleTexts& locale) {
    int year = static_cast<int>(dosTime >> 25) + 1980;
    int month = static_cast<int>((dosTime >> 21) & 0x0F);
    int day = static_cast<int>((dosTime >> 16) & 0x1F);
    int hour = static_cast<int>((dosTime >> 11) & 0x1F);
    int minute = static_cast<int>((dosTime >> 5) & 0x3F);
    // Day of the week, 0 = Sunday (Sakamoto's method).
    static const int offsets[12] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    int y = month < 3 ? year - 1 : year;
    int sunday0 = (y + y / 4 - y / 100 + y / 400 + offsets[(month + 11) % 12] + day) % 7;
    const std::wstring& weekday = locale.weekdays[(sunday0 + 6) % 7];
    int hour12 = hour % 12 == 0 ? 12 : hour % 12;
    std::wstring text =
        Digits(year, 4) + L"年 " + Digits(month, 2) + L"月 " + Digits(day, 2) + L"日(";
    text += weekday + L")  " + (hour < 12 ? locale.am : locale.pm) + L" ";
    return text + Digits(hour12, 2) + locale.timeSeparator + Digits(minute, 2);
}

std::wstring TypeText(const std::wstring& path) {
    // Without an extension or a class name there is nothing to look up: an empty key path
    // would read the root's own default value.
    std::wstring extension = PathExtension(path);
    if (extension.empty())
        return {};
    // An entry of another type is no type at all: one odd association must not stop the fill.
    std::wstring className = RegStrReadOrEmpty(HKEY_CLASSES_ROOT, extension, L"");
    if (className.empty())
        return {};
    return RegStrReadOrEmpty(HKEY_CLASSES_ROOT, className, L"");
}

namespace {

std::wstring TypeTextCached(const std::wstring& path) {
    const std::wstring key = PathExtensionKey(path);
    auto& texts = State().typeTexts;
    auto found = texts.find(key);
    if (found == texts.end())
        found = texts.emplace(key, TypeText(path)).first;
    return found->second;
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

// The record of the row at `item`, null when there is none.
TRowRecord* RowAt(HWND list, int item) {
    LVITEMW lvi{};
    lvi.mask = LVIF_PARAM;
    lvi.iItem = item;
    if (item < 0 || !::SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&lvi)))
        return nullptr;
    return reinterpret_cast<TRowRecord*>(lvi.lParam);
}

// The row's position in the list, -1 when it is not there.
int RowItem(HWND list, TRowRecord& row) {
    if (RowAt(list, row.item) == &row)
        return row.item;
    LVFINDINFOW find{};
    find.flags = LVFI_PARAM;
    find.lParam = reinterpret_cast<LPARAM>(&row);
    row.item = static_cast<int>(::SendMessageW(list, LVM_FINDITEMW, static_cast<WPARAM>(-1),
                                               reinterpret_cast<LPARAM>(&find)));
    return row.item;
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

void RowAppend(const std::wstring& name, const std::wstring& path, const FindRecord& record,
               int32_t page = 0) {
    TFrmOvMain& form = *FrmOvMain;
    TRowRecord& row = State().rows.emplace_back();
    row.index = State().rows.size() - 1;
    row.page = page;
    row.texts[0] = name;
    row.texts[1] = SizeText(record.Size64, LocaleTexts().thousands);
    row.texts[2] = TypeTextCached(path);
    row.texts[3] = DateText(record.Time, LocaleTexts());
    row.texts[4] = PathFolder(path);
    row.path = path;

    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = ListView_GetItemCount(form.CptLvwItems);
    item.pszText = row.texts[0].data();
    item.iImage = I_IMAGECALLBACK;
    item.lParam = reinterpret_cast<LPARAM>(&row);
    const int index = static_cast<int>(
        ::SendMessageW(form.CptLvwItems, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (index < 0) {
        State().rows.pop_back();
        return;
    }
    for (int sub = 1; sub <= 4; ++sub) {
        LVITEMW text{};
        text.iSubItem = sub;
        text.pszText = row.texts[sub].data();
        ::SendMessageW(form.CptLvwItems, LVM_SETITEMTEXTW, index, reinterpret_cast<LPARAM>(&text));
    }
}

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
    // and the icons of the types those rows showed, and do not grow with every page visit.
    ListImagesReset();
    ::SendMessageW(FrmOvMain->CptLvwItems, LVM_SETITEMCOUNT, entries.size(), 0);
    for (const TPageEntry& entry : entries)
        if (entry.found)
            RowAppend(entry.name, entry.path, entry.record, entry.page);
}

void ListRowAdd(const std::wstring& name, const std::wstring& path) {
    FindRecord record;
    if (FileRecordGet(path, record))
        RowAppend(name, path, record);
}

void ListClear() {
    ::SendMessageW(FrmOvMain->CptLvwItems, LVM_DELETEALLITEMS, 0, 0);
    TListState& state = State();
    state.rows.clear();
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

void ListStateReset() {
    // The fill count goes on, so that work begun before is never taken for work on new rows.
    const unsigned fill = State().fill;
    State() = TListState{};
    State().fill = fill + 1;
}

int ListRowImage(LPARAM row, int item) {
    if (!row)
        return ImageNone;
    TListState& state = State();
    auto& record = *reinterpret_cast<TRowRecord*>(row);
    record.item = item;
    if (record.image >= 0)
        return record.image;
    if (record.image == ImageUnknown) {
        record.image = ImageQueued;
        state.wanted.push_back(record.index);
    }
    return ImageNone;
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
        const int item = RowItem(list, row);
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
        try {
            row.image = RowImageLoad(row.path);
        } catch (const std::exception& e) {
            // One box per fill, however many of its rows fail: the row keeps the blank.
            if (!state.iconErrorShown) {
                state.iconErrorShown = true;
                Application.HandleException(ItemError(row.path, e));
            }
            // The box's own message loop may have refilled the list meanwhile.
            if (fill != state.fill)
                continue;
        }
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
    int item = -1;
    while ((item = static_cast<int>(
                ::SendMessageW(list, LVM_GETNEXTITEM, item, MAKELPARAM(LVNI_SELECTED, 0)))) >= 0)
        rows.push_back(ListRowOf(item));
    return rows;
}

TListRow ListRowOf(int item) {
    HWND list = FrmOvMain->CptLvwItems;
    const TRowRecord* row = RowAt(list, item);
    const int32_t page = row && row->page ? row->page : FrmOvMain->CurrentPage;
    return {row ? ItemText(list, item, 0) : std::wstring(), page};
}

int ListItemAt(int x, int y) {
    LVHITTESTINFO hit{};
    hit.pt = {x, y};
    const int item = static_cast<int>(
        ::SendMessageW(FrmOvMain->CptLvwItems, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    return item >= 0 && (hit.flags & LVHT_ONITEM) ? item : -1;
}

std::wstring ListNameAt(int x, int y) {
    return ListRowOf(ListItemAt(x, y)).name;
}

std::wstring ListRowPath(int item) {
    const TRowRecord* row = RowAt(FrmOvMain->CptLvwItems, item);
    return row ? row->path : std::wstring();
}

void ListRowRenamed(int item, const std::wstring& name) {
    if (TRowRecord* row = RowAt(FrmOvMain->CptLvwItems, item))
        row->texts[0] = name;
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
    ::SendMessageW(FrmOvMain->CptLvwItems, LVM_SORTITEMS, static_cast<WPARAM>(column),
                   reinterpret_cast<LPARAM>(&CompareRows));
}

int SortCompareName(LPARAM a, LPARAM b) {
    return ::lstrcmpW(Row(a).texts[0].c_str(), Row(b).texts[0].c_str()) * FrmOvMain->SortOrder;
}

int SortCompareColumn(LPARAM a, LPARAM b, int column) {
    return ::lstrcmpW(Row(a).texts[column].c_str(), Row(b).texts[column].c_str()) *
           FrmOvMain->SortOrder;
}

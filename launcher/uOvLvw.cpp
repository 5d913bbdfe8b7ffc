// The item list: rows, columns, sorting and view styles.
#include "uOvLvw.h"

#include "uCmnFile.h"
#include "uCmnHandle.h"
#include "uCmnIcon.h"
#include "uCmnReg.h"
#include "uCmnStr.h"
#include "uOvMain.h"
#include "uOvReg.h"
#include "uOvRegDef.h"

#include <commctrl.h>

#include <cstdio>
#include <deque>

namespace {

// The texts a row shows, caption first: what the sort compares. The list view's lParam of
// each row points at its record, so sorting never has to read texts back from the control.
struct TRowRecord {
    std::string texts[5];
};
std::deque<TRowRecord> g_rows;

const TRowRecord& Row(LPARAM lParam) {
    return *reinterpret_cast<const TRowRecord*>(lParam);
}

std::string LocaleInfo(LCTYPE type, const char* fallback) {
    char buf[80] = {};
    int n = ::GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buf, sizeof(buf));
    return n > 1 ? std::string(buf) : std::string(fallback);
}

// A fully transparent icon, standing in where a file has no icon of that size, so that the two
// image lists stay parallel and every row's index points at its own pair.
HICON BlankIcon(int size) {
    static TUniqueIcon icons[2];
    TUniqueIcon& icon = icons[size > 16 ? 1 : 0];
    if (!icon) {
        std::vector<BYTE> andMask(static_cast<size_t>(size * size / 8), 0xFF);
        std::vector<BYTE> xorMask(andMask.size(), 0x00);
        icon.Reset(::CreateIcon(::GetModuleHandleA(nullptr), size, size, 1, 1, andMask.data(),
                                xorMask.data()));
    }
    return icon.Get();
}

std::string ItemText(HWND list, int item, int subItem) {
    std::vector<char> buf(512);
    for (;;) {
        LVITEMA lvi{};
        lvi.iSubItem = subItem;
        lvi.pszText = buf.data();
        lvi.cchTextMax = static_cast<int>(buf.size());
        int n = static_cast<int>(
            ::SendMessageA(list, LVM_GETITEMTEXTA, item, reinterpret_cast<LPARAM>(&lvi)));
        if (n < static_cast<int>(buf.size()) - 1)
            return std::string(buf.data(), static_cast<size_t>(std::max(n, 0)));
        buf.resize(buf.size() * 2);
    }
}

int CALLBACK CompareRows(LPARAM a, LPARAM b, LPARAM column) {
    return column == 0 ? SortCompareName(a, b) : SortCompareColumn(a, b, static_cast<int>(column));
}

struct TFindCloser {
    ~TFindCloser() { FileFindClose(); }
};

} // namespace

const TLocaleTexts& LocaleTexts() {
    static const TLocaleTexts texts = [] {
        TLocaleTexts t;
        t.thousands = LocaleInfo(LOCALE_STHOUSAND, ",");
        t.timeSeparator = LocaleInfo(LOCALE_STIME, ":");
        t.am = LocaleInfo(LOCALE_S1159, "AM");
        t.pm = LocaleInfo(LOCALE_S2359, "PM");
        for (int i = 0; i < 7; ++i)
            t.weekdays[i] = LocaleInfo(static_cast<LCTYPE>(LOCALE_SABBREVDAYNAME1 + i), "");
        return t;
    }();
    return texts;
}

std::string SizeText(int64_t bytes, const std::string& thousands) {
    std::string digits = std::to_string(bytes / 1024);
    size_t first = digits[0] == '-' ? 1 : 0;
    std::string text;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > first && (digits.size() - i) % 3 == 0)
            text += thousands;
        text += digits[i];
    }
    return text + "KB";
}

std::string DateText(uint32_t dosTime, const TLocaleTexts& locale) {
    int year = static_cast<int>(dosTime >> 25) + 1980;
    int month = static_cast<int>((dosTime >> 21) & 0x0F);
    int day = static_cast<int>((dosTime >> 16) & 0x1F);
    int hour = static_cast<int>((dosTime >> 11) & 0x1F);
    int minute = static_cast<int>((dosTime >> 5) & 0x3F);
    // Day of the week, 0 = Sunday (Sakamoto's method).
    static const int offsets[12] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    int y = month < 3 ? year - 1 : year;
    int sunday0 = (y + y / 4 - y / 100 + y / 400 + offsets[(month + 11) % 12] + day) % 7;
    const std::string& weekday = locale.weekdays[(sunday0 + 6) % 7];
    int hour12 = hour % 12 == 0 ? 12 : hour % 12;
    char buf[64];
    std::snprintf(buf, sizeof(buf), "%04d年 %02d月 %02d日(", year, month, day);
    std::string text = buf;
    text += weekday + ")  " + (hour < 12 ? locale.am : locale.pm) + " ";
    std::snprintf(buf, sizeof(buf), "%02d", hour12);
    text += buf + locale.timeSeparator;
    std::snprintf(buf, sizeof(buf), "%02d", minute);
    return text + buf;
}

std::string TypeText(const std::string& path) {
    // Without an extension or a class name there is nothing to look up: an empty key path
    // would read the root's own default value.
    std::string extension = PathExtension(path);
    if (extension.empty())
        return {};
    std::string className = RegStrRead(HKEY_CLASSES_ROOT, extension, "");
    if (className.empty())
        return {};
    return RegStrRead(HKEY_CLASSES_ROOT, className, "");
}

void ListFill(int32_t page) {
    std::vector<std::string> names;
    PageItemNames(page, names);
    ListClear();
    // Each fill starts the image lists afresh, so they do not grow with every page visit.
    ::ImageList_RemoveAll(FrmOvMain->CptImlItems32.Get());
    ::ImageList_RemoveAll(FrmOvMain->CptImlItems16.Get());
    for (const std::string& name : names) {
        if (name.empty())
            continue;
        ListRowAdd(name, ItemPathRead(page, name));
    }
}

void ListRowAdd(const std::string& name, const std::string& path) {
    TFrmOvMain& form = *FrmOvMain;
    {
        TUniqueIcon smallIcon, largeIcon;
        FileIconsGet(path, smallIcon, largeIcon);
        ::ImageList_ReplaceIcon(form.CptImlItems32.Get(), -1,
                                largeIcon ? largeIcon.Get() : BlankIcon(32));
        ::ImageList_ReplaceIcon(form.CptImlItems16.Get(), -1,
                                smallIcon ? smallIcon.Get() : BlankIcon(16));
    }

    TFindCloser closer;
    FindRecord record;
    if (!FileFindFirst(path, record))
        return;
    TRowRecord& row = g_rows.emplace_back();
    row.texts[0] = name;
    row.texts[1] = SizeText(record.Size64, LocaleTexts().thousands);
    row.texts[2] = TypeText(path);
    row.texts[3] = DateText(record.Time, LocaleTexts());
    row.texts[4] = PathFolder(path);

    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = ListView_GetItemCount(form.CptLvwItems);
    item.pszText = row.texts[0].data();
    item.iImage = ::ImageList_GetImageCount(form.CptImlItems16.Get()) - 1;
    item.lParam = reinterpret_cast<LPARAM>(&row);
    int index = static_cast<int>(
        ::SendMessageA(form.CptLvwItems, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    if (index < 0) {
        g_rows.pop_back();
        return;
    }
    for (int sub = 1; sub <= 4; ++sub) {
        LVITEMA text{};
        text.iSubItem = sub;
        text.pszText = row.texts[sub].data();
        ::SendMessageA(form.CptLvwItems, LVM_SETITEMTEXTA, index, reinterpret_cast<LPARAM>(&text));
    }
}

void ListClear() {
    ::SendMessageA(FrmOvMain->CptLvwItems, LVM_DELETEALLITEMS, 0, 0);
    g_rows.clear();
}

void ListSelectedNames(std::vector<std::string>& names) {
    HWND list = FrmOvMain->CptLvwItems;
    int item = -1;
    while ((item = static_cast<int>(
                ::SendMessageA(list, LVM_GETNEXTITEM, item, MAKELPARAM(LVNI_SELECTED, 0)))) >= 0)
        names.push_back(ItemText(list, item, 0));
}

std::string ListNameAt(int x, int y) {
    HWND list = FrmOvMain->CptLvwItems;
    LVHITTESTINFO hit{};
    hit.pt = {x, y};
    int item =
        static_cast<int>(::SendMessageA(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (item < 0 || !(hit.flags & LVHT_ONITEM))
        return {};
    return ItemText(list, item, 0);
}

void ListRowRenamed(int item, const std::string& name) {
    LVITEMA lvi{};
    lvi.mask = LVIF_PARAM;
    lvi.iItem = item;
    if (::SendMessageA(FrmOvMain->CptLvwItems, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&lvi)) &&
        lvi.lParam)
        reinterpret_cast<TRowRecord*>(lvi.lParam)->texts[0] = name;
}

// Widths go through the column records, which hold them in every view; the width messages
// answer 0 outside the report view.
int ColumnWidth(HWND list, int column) {
    LVCOLUMNA c{};
    c.mask = LVCF_WIDTH;
    ::SendMessageA(list, LVM_GETCOLUMNA, column, reinterpret_cast<LPARAM>(&c));
    return c.cx;
}

void ColumnWidthSet(HWND list, int column, int width) {
    LVCOLUMNA c{};
    c.mask = LVCF_WIDTH;
    c.cx = width;
    ::SendMessageA(list, LVM_SETCOLUMNA, column, reinterpret_cast<LPARAM>(&c));
}

void ColumnWidthsLoad() {
    std::vector<std::string> widths =
        CommaTextSplit(RegStrRead(HKEY_CURRENT_USER, OvKeyConfig, OvValLvwColWidth));
    if (widths.empty())
        return;
    HWND list = FrmOvMain->CptLvwItems;
    int columns = Header_GetItemCount(ListView_GetHeader(list));
    for (int i = 0; i < columns; ++i)
        ColumnWidthSet(list, i, StrToInt(ListAt(widths, i)));
}

void ColumnWidthsSave() {
    HWND list = FrmOvMain->CptLvwItems;
    int columns = Header_GetItemCount(ListView_GetHeader(list));
    std::string text;
    for (int i = 0; i < columns; ++i)
        text += std::to_string(ColumnWidth(list, i)) + ",";
    RegStrWrite(HKEY_CURRENT_USER, OvKeyConfig, OvValLvwColWidth, text);
}

void ViewStyleSet(int32_t style) {
    static const DWORD views[4] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};
    // A style outside 0..3 (outside edits only) shows large icons.
    DWORD view = (style >= 0 && style <= 3) ? views[style] : LVS_ICON;
    HWND list = FrmOvMain->CptLvwItems;
    LONG_PTR current = ::GetWindowLongPtrA(list, GWL_STYLE);
    if ((current & LVS_TYPEMASK) != static_cast<LONG_PTR>(view))
        ::SetWindowLongPtrA(list, GWL_STYLE, (current & ~LVS_TYPEMASK) | view);
}

void ListSort(int32_t column) {
    if (column < 0 || column > 4)
        return;
    ::SendMessageA(FrmOvMain->CptLvwItems, LVM_SORTITEMS, static_cast<WPARAM>(column),
                   reinterpret_cast<LPARAM>(&CompareRows));
}

int SortCompareName(LPARAM a, LPARAM b) {
    return ::lstrcmpA(Row(a).texts[0].c_str(), Row(b).texts[0].c_str()) * FrmOvMain->SortOrder;
}

int SortCompareColumn(LPARAM a, LPARAM b, int column) {
    return ::lstrcmpA(Row(a).texts[column].c_str(), Row(b).texts[column].c_str()) *
           FrmOvMain->SortOrder;
}

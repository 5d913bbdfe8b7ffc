// The item list: row texts, rows of real pages, sorting, column widths and view styles.
#include "uCmnApp.h"
#include "uCmnDpi.h"
#include "uCmnError.h"
#include "uCmnFile.h"
#include "uCmnHandle.h"
#include "uCmnIcon.h"
#include "uCmnReg.h"
#include "uCmnStr.h"
#include "uOvCfg.h"
#include "uOvFrmDef.h"
#include "uOvLvw.h"
#include "uOvRowIcon.h"
#include "uOvRows.h"
#include "uOvMain.h"
#include "uOvMsgDef.h"
#include "uOvReg.h"
#include "uOvRegDef.h"
#include "uTestFiles.h"
#include "uTestMainWindow.h"
#include "uTestSupport.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

const HKEY HKCU = HKEY_CURRENT_USER;

uint32_t DosTime(int y, int mo, int d, int h, int mi) {
    return (static_cast<uint32_t>(y - 1980) << 25) | (mo << 21) | (d << 16) | (h << 11) | (mi << 5);
}

TEST(RowTexts, SizeIsWholeKilobytesGroupedByThree) {
    EXPECT_EQ(SizeText(0, L","), L"0KB");
    EXPECT_EQ(SizeText(1023, L","), L"0KB");
    EXPECT_EQ(SizeText(1024, L","), L"1KB");
    EXPECT_EQ(SizeText(1048576, L","), L"1,024KB");
    EXPECT_EQ(SizeText(5000000, L","), L"4,882KB");
    EXPECT_EQ(SizeText(3LL << 30, L","), L"3,145,728KB") << "no 32-bit wrap at 2 GiB";
    EXPECT_EQ(SizeText(999LL * 1024, L"."), L"999KB");
    EXPECT_EQ(SizeText(1000LL * 1024, L"."), L"1.000KB");
}

TEST(RowTexts, DateUsesTheTwelveHourClockWithTheLocaleDesignators) {
    TLocaleTexts jp;
    EXPECT_EQ(DateText(DosTime(2000, 3, 5, 14, 7), jp), L"2000年 03月 05日(日)  午後 02:07");
    EXPECT_EQ(DateText(DosTime(2000, 3, 5, 0, 30), jp), L"2000年 03月 05日(日)  午前 12:30");
    EXPECT_EQ(DateText(DosTime(2000, 3, 5, 12, 5), jp), L"2000年 03月 05日(日)  午後 12:05");
    EXPECT_EQ(DateText(DosTime(2026, 12, 7, 13, 45), jp), L"2026年 12月 07日(月)  午後 01:45");
    EXPECT_EQ(DateText(DosTime(2024, 2, 29, 11, 59), jp), L"2024年 02月 29日(木)  午前 11:59");
    EXPECT_EQ(DateText(DosTime(1980, 1, 1, 23, 0), jp), L"1980年 01月 01日(火)  午後 11:00");
}

TEST(RowTexts, TheLocaleOfTheTestPrefixIsJapanese) {
    const TLocaleTexts& t = LocaleTexts();
    EXPECT_EQ(t.am, L"午前");
    EXPECT_EQ(t.pm, L"午後");
    EXPECT_EQ(t.timeSeparator, L":");
    EXPECT_EQ(t.thousands, L",");
    EXPECT_EQ(t.weekdays[0], L"月");
    EXPECT_EQ(t.weekdays[6], L"日");
}

TEST(CommaText, SplitsLikeTheStoredListsExpect) {
    using V = std::vector<std::wstring>;
    EXPECT_EQ(CommaTextSplit(L""), V{});
    EXPECT_EQ(CommaTextSplit(L"180,50,50,50,50,"), (V{L"180", L"50", L"50", L"50", L"50"}));
    EXPECT_EQ(CommaTextSplit(L"上,下,右,左"), (V{L"上", L"下", L"右", L"左"}));
    EXPECT_EQ(CommaTextSplit(L"a,,b"), (V{L"a", L"", L"b"}));
    EXPECT_EQ(CommaTextSplit(L"  a , b "), (V{L"a", L"b"}));
    EXPECT_EQ(CommaTextSplit(L"a b,c"), (V{L"a", L"b", L"c"})) << "a blank ends an entry";
    EXPECT_EQ(CommaTextSplit(L"\"a b\",\"c,d\",\"say \"\"hi\"\"\""),
              (V{L"a b", L"c,d", L"say \"hi\""}));
    EXPECT_EQ(CommaTextSplit(L"\"ソ\",表"), (V{L"ソ", L"表"})) << "Shift-JIS 0x5C trail bytes";
}

TEST(CommaText, NumbersAndListIndexesRaiseTheirErrors) {
    EXPECT_EQ(StrToInt(L" -12 "), -12);
    EXPECT_EQ(StrToInt(L"+7"), 7);
    EXPECT_EQ(StrToInt(L"2147483647"), 2147483647);
    for (const wchar_t* bad : {L"", L"12a", L"1 2", L"-", L"99999999999", L"0x10"}) {
        try {
            StrToInt(bad);
            ADD_FAILURE() << bad;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), std::wstring(L"'") + bad + L"' は整数ではありません");
        }
    }
    std::vector<std::wstring> two{L"a", L"b"};
    EXPECT_EQ(ListAt(two, 1), L"b");
    try {
        ListAt(two, 2);
        ADD_FAILURE();
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message(), L"リストのインデックスが範囲を超えています (2)");
    }
}

// The stand-in for a missing icon half is transparent all over at every size the item lists take:
// its mask rows are padded to 16 bits, which sizes like 20 and 28 pixels do not fill.
TEST(RowIcons, BlankIconIsTransparentAtEveryItemIconSize) {
    std::vector<int> sizes;
    for (int dpi : {96, 120, 144, 168, 192})
        for (int metric : {SM_CXICON, SM_CXSMICON})
            sizes.push_back(MetricForDpi(metric, dpi));
    EXPECT_EQ(sizes, (std::vector<int>{32, 16, 40, 20, 48, 24, 56, 28, 64, 32}));
    for (int size : sizes) {
        // A monochrome icon's mask holds its AND half above its XOR half; read bottom-up.
        std::vector<uint32_t> expected{static_cast<uint32_t>(size),
                                       static_cast<uint32_t>(2 * size)};
        expected.resize(2 + static_cast<size_t>(size * size), 0x000000);
        expected.resize(2 + static_cast<size_t>(2 * size * size), 0xFFFFFF);
        EXPECT_EQ(IconPixels(BlankIcon(size)), expected) << size;
    }
}

// ---------------------------------------------------------------------------------------------
// The list of the real main window

class ItemList : public TMainWindowTest {
  protected:
    static void SetUpTestSuite() {
        ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        TMainWindowTest::SetUpTestSuite();
    }

    void SetUp() override {
        TMainWindowTest::SetUp();
        RegKeyDelete(HKEY_CLASSES_ROOT, L".ovtst");
        RegKeyDelete(HKEY_CLASSES_ROOT, L"ovtstfile");
        ConfigTreeCreate();
        wchar_t temp[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, temp);
        dir = std::wstring(temp) + L"ovlvw" + std::to_wstring(::GetCurrentProcessId()) + L"\\";
        ::CreateDirectoryW(dir.c_str(), nullptr);
    }

    void TearDown() override {
        TMainWindowTest::TearDown();
        TreeDelete(dir.substr(0, dir.size() - 1));
        RegKeyDelete(HKEY_CLASSES_ROOT, L".ovtst");
        RegKeyDelete(HKEY_CLASSES_ROOT, L"ovtstfile");
    }

    // A file of `size` bytes last written at the given local time.
    std::wstring MakeFile(const std::wstring& name, int64_t size, int hour = 10, int minute = 0) {
        std::wstring path = dir + name;
        TUniqueHandle h(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        LARGE_INTEGER at{};
        at.QuadPart = size;
        ::SetFilePointerEx(h.Get(), at, nullptr, FILE_BEGIN);
        ::SetEndOfFile(h.Get());
        SYSTEMTIME st{2025, 6, 0, 15, static_cast<WORD>(hour), static_cast<WORD>(minute), 0, 0};
        FILETIME local{}, utc{};
        ::SystemTimeToFileTime(&st, &local);
        ::LocalFileTimeToFileTime(&local, &utc);
        ::SetFileTime(h.Get(), nullptr, nullptr, &utc);
        return path;
    }

    int Rows() { return ListView_GetItemCount(form->CptLvwItems); }
    std::wstring Cell(int row, int column) {
        wchar_t buf[512] = {};
        ListView_GetItemText(form->CptLvwItems, row, column, buf, static_cast<int>(std::size(buf)));
        return buf;
    }
    int RowOf(const std::wstring& caption) {
        for (int i = 0; i < Rows(); ++i)
            if (Cell(i, 0) == caption)
                return i;
        return -1;
    }
    std::vector<std::wstring> Column(int column) {
        std::vector<std::wstring> texts;
        for (int i = 0; i < Rows(); ++i)
            texts.push_back(Cell(i, column));
        return texts;
    }
    void ClickColumn(int column) {
        NMLISTVIEW nm{};
        nm.hdr.hwndFrom = form->CptLvwItems;
        nm.hdr.idFrom = IDC_ITEMS;
        nm.hdr.code = LVN_COLUMNCLICK;
        nm.iItem = -1;
        nm.iSubItem = column;
        ::SendMessageW(form->Handle(), WM_NOTIFY, IDC_ITEMS, reinterpret_cast<LPARAM>(&nm));
    }
    void Command(int id) { ::SendMessageW(form->Handle(), WM_COMMAND, MAKEWPARAM(id, 0), 0); }
    int CheckedEntry() {
        int checked = -1, marks = 0;
        for (int i = 0; i < 6; ++i)
            if (::GetMenuState(form->CptPmuViewStyle.Get(), i, MF_BYPOSITION) & MF_CHECKED) {
                checked = i;
                ++marks;
            }
        return marks == 1 ? checked : -marks;
    }
    DWORD View() {
        return static_cast<DWORD>(::GetWindowLongPtrW(form->CptLvwItems, GWL_STYLE)) & LVS_TYPEMASK;
    }
    // Shows `count` rows of one program, each with an icon of its own, in a report view of a
    // few rows, and paints its first screen.
    HWND ProgramRowsShow(int count) {
        RegIntWrite(HKCU, OvKeyConfig, OvValLvwStyle, 3);
        Open();
        for (int i = 0; i < count; ++i)
            ListRowAdd(std::to_wstring(100 + i), ExeFolder() + L"test_uOvLvw.exe", 1);
        ::MoveWindow(form->Handle(), 0, 0, 400, 300, FALSE);
        ::ShowWindow(form->Handle(), SW_SHOWNOACTIVATE);
        ::UpdateWindow(form->CptLvwItems);
        return form->CptLvwItems;
    }

    std::wstring dir;
};

TEST_F(ItemList, RowsShowSizeTypeDateAndLocationOfEachItem) {
    // Written through the classes root itself: Wine does not merge the user's classes into it.
    RegStrWrite(HKEY_CLASSES_ROOT, L".ovtst", L"", L"ovtstfile");
    RegStrWrite(HKEY_CLASSES_ROOT, L"ovtstfile", L"", L"テスト文書");
    ItemAdd(1, MakeFile(L"small.ovtst", 1023, 0, 30));
    ItemAdd(1, MakeFile(L"one.bin", 1024, 12, 5));
    ItemAdd(1, MakeFile(L"big.dat", 5000000, 13, 45));
    ItemAdd(1, MakeFile(L"huge.img", 3LL << 30));

    Open();
    ASSERT_EQ(Rows(), 4);
    int small = RowOf(L"small.ovtst");
    ASSERT_GE(small, 0);
    EXPECT_EQ(Cell(small, 1), L"0KB");
    EXPECT_EQ(Cell(small, 2), L"テスト文書");
    EXPECT_EQ(Cell(small, 3), L"2025年 06月 15日(日)  午前 12:30");
    EXPECT_EQ(Cell(small, 4), PathFolder(dir + L"x"));
    EXPECT_EQ(Cell(RowOf(L"one.bin"), 1), L"1KB");
    EXPECT_EQ(Cell(RowOf(L"one.bin"), 2), L"") << "no association, no type";
    EXPECT_EQ(Cell(RowOf(L"one.bin"), 3), L"2025年 06月 15日(日)  午後 12:05");
    EXPECT_EQ(Cell(RowOf(L"big.dat"), 1), L"4,882KB");
    EXPECT_EQ(Cell(RowOf(L"big.dat"), 3), L"2025年 06月 15日(日)  午後 01:45");
    EXPECT_EQ(Cell(RowOf(L"huge.img"), 1), L"3,145,728KB");
    // A folder dropped with other entries becomes an item whose row shows 0KB.
    ::CreateDirectoryW((dir + L"sub").c_str(), nullptr);
    ListRowAdd(L"sub", dir + L"sub", 1);
    ASSERT_GE(RowOf(L"sub"), 0);
    EXPECT_EQ(Cell(RowOf(L"sub"), 1), L"0KB");

    // A missing file gets no row.
    ListRowAdd(L"gone.txt", dir + L"gone.txt", 1);
    EXPECT_EQ(Rows(), 5);
    EXPECT_EQ(RowOf(L"gone.txt"), -1);
}

TEST_F(ItemList, FillingTwiceGivesTheSameRowsWithoutGrowingTheImageLists) {
    for (const wchar_t* name : {L"b.txt", L"a.txt", L"c.txt"})
        ItemAdd(1, MakeFile(name, 10));
    ItemAdd(1, ExeFolder() + L"test_uOvLvw.exe");
    TFrmOvMain& f = Open();
    std::vector<std::wstring> first = Column(0);
    PaintAndLoadIcons();
    const int images = ::ImageList_GetImageCount(f.CptImlItems16.Get());
    f.CptPmuItemBtnUpdateClick();
    PaintAndLoadIcons();
    EXPECT_EQ(Column(0), first);
    EXPECT_EQ(first, (std::vector<std::wstring>{L"a.txt", L"b.txt", L"c.txt", L"test_uOvLvw.exe"}));
    EXPECT_EQ(::ImageList_GetImageCount(f.CptImlItems16.Get()), images);
    EXPECT_EQ(::ImageList_GetImageCount(f.CptImlItems32.Get()), images);
}

// Icons load when their rows are painted, documents of one type share one entry, and no row ever
// shows another file's icon, also after the image lists have been emptied by the next fill.
TEST_F(ItemList, EveryRowShowsTheIconsOfItsOwnFile) {
    const std::wstring shell32 = L"C:\\windows\\system32\\shell32.dll";
    const std::wstring exe = ExeFolder() + L"test_uOvLvw.exe";
    RegStrWrite(HKEY_CLASSES_ROOT, L".ovtst", L"", L"ovtstfile");
    RegStrWrite(HKEY_CLASSES_ROOT, L"ovtstfile\\DefaultIcon", L"", shell32 + L",3");
    ASSERT_TRUE(LinkCreate(dir + L"to shell.lnk", shell32, L""));
    ASSERT_TRUE(LinkCreate(dir + L"to exe.lnk", exe, L""));
    for (const std::wstring& path : {exe, shell32, dir + L"to shell.lnk", dir + L"to exe.lnk",
                                     MakeFile(L"one.ovtst", 1), MakeFile(L"two.ovtst", 2)})
        ItemAdd(1, path);
    RegIntWrite(HKCU, OvKeyConfig, OvValLvwStyle, 3);
    TFrmOvMain& f = Open();
    for (int pass = 0; pass < 2; ++pass) {
        SCOPED_TRACE(pass);
        PaintAndLoadIcons();
        ASSERT_EQ(Rows(), 6);
        ExpectRowsShowTheirFilesIcons();
        EXPECT_EQ(ImageOf(RowOf(L"one.ovtst")), ImageOf(RowOf(L"two.ovtst")));
        EXPECT_NE(ImageOf(RowOf(L"to shell")), ImageOf(RowOf(L"to exe")));
        // The next fill empties the image lists and sorts the other way round.
        f.SortOrder = -f.SortOrder;
        f.CptPmuItemBtnUpdateClick();
    }
}

// After a scroll the rows on screen get their icons first, and the rows painted on the way and
// scrolled away since are passed over until they are painted again.
TEST_F(ItemList, IconsOfTheRowsOnScreenComeFirst) {
    const int count = 60;
    HWND list = ProgramRowsShow(count);
    // The rows a report view shows whole from its top row on.
    auto onScreen = [&] {
        const int top = ListView_GetTopIndex(list);
        std::vector<int> rows;
        for (int row = top; row < count && row < top + ListView_GetCountPerPage(list); ++row)
            rows.push_back(row);
        return rows;
    };
    const std::vector<int> first = onScreen();
    ListView_EnsureVisible(list, count - 1, FALSE);
    ::UpdateWindow(list);
    const std::vector<int> last = onScreen();
    ASSERT_FALSE(first.empty());
    ASSERT_GT(last.front(), first.back() + 1);

    HIMAGELIST images = form->CptImlItems16.Get();
    ListIconsLoad(0);
    EXPECT_EQ(::ImageList_GetImageCount(images), 1) << L"the first icon loaded is on screen";
    LoadAskedIcons();
    EXPECT_EQ(::ImageList_GetImageCount(images), static_cast<int>(last.size()));
    for (int row : last)
        EXPECT_GE(ImageOf(row), 0) << row;

    ListView_EnsureVisible(list, 0, FALSE);
    ::UpdateWindow(list);
    LoadAskedIcons();
    for (int row : first)
        EXPECT_GE(ImageOf(row), 0) << row;
}

// Rows that a sort moved off screen after their paint wait for their next paint as well.
TEST_F(ItemList, RowsSortedOffScreenBeforeTheirTurnWait) {
    ProgramRowsShow(60);
    form->SortOrder = -1;
    ListSort(0, form->SortOrder);
    LoadAskedIcons();
    EXPECT_EQ(::ImageList_GetImageCount(form->CptImlItems16.Get()), 0);
    PaintAndLoadIcons();
    EXPECT_GE(ImageOf(0), 0);
}

// A damaged shortcut leaves its own row without an icon and is reported once per fill, however
// many rows fail; the rows after it are there all the same.
TEST_F(ItemList, UnreadableShortcutsAreReportedOnceAndHideNoRows) {
    for (const wchar_t* name : {L"bad1.lnk", L"bad2.lnk"})
        MakeFile(name, 64);
    for (const wchar_t* name : {L"bad1.lnk", L"a.txt", L"bad2.lnk", L"b.txt"})
        ItemAdd(1, name[0] == L'b' && name[1] == L'a' ? dir + name : MakeFile(name, 10));
    RegIntWrite(HKCU, OvKeyConfig, OvValLvwStyle, 3);
    Open();
    EXPECT_EQ(Column(0), (std::vector<std::wstring>{L"a.txt", L"b.txt", L"bad1", L"bad2"}));
    const std::vector<TBoxSeen> boxes = AnswerBoxes([&] { PaintAndLoadIcons(); }, IDOK);
    ASSERT_EQ(boxes.size(), 1u);
    const std::wstring named = boxes[0].text.substr(0, boxes[0].text.find(L"\n\n"));
    EXPECT_TRUE(named == PathWrapped(dir + L"bad1.lnk", OV_MSG_PATH_WIDTH) ||
                named == PathWrapped(dir + L"bad2.lnk", OV_MSG_PATH_WIDTH))
        << boxes[0].text;
    EXPECT_EQ(ImageOf(RowOf(L"bad1")), I_IMAGENONE);
    EXPECT_EQ(ImageOf(RowOf(L"bad2")), I_IMAGENONE);
    EXPECT_GE(ImageOf(RowOf(L"a.txt")), 0);
    EXPECT_TRUE(AnswerBoxes([&] { PaintAndLoadIcons(); }, IDOK).empty());
}

// A value of another type on a page hides no row and is named in one box per start; an
// association of another type gives an empty type text and no box.
TEST_F(ItemList, AValueOfAnotherTypeIsNamedOnceAndHidesNoRows) {
    RegIntWrite(HKEY_CLASSES_ROOT, L".ovtst", L"", 1);
    for (const wchar_t* name : {L"a.ovtst", L"b.txt"})
        ItemAdd(1, MakeFile(name, 10));
    RegIntWrite(HKCU, PageKeyPath(1), L"odd", 1);
    ItemAdd(1, MakeFile(L"c.txt", 10));
    const std::vector<TBoxSeen> boxes = AnswerBoxes([&] { Open(); }, IDOK);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, L"Orvanta");
    EXPECT_EQ(boxes[0].text, L"'odd' のデータ型が不正です.");
    EXPECT_EQ(Column(0), (std::vector<std::wstring>{L"a.ovtst", L"b.txt", L"c.txt"}));
    EXPECT_EQ(Cell(0, 2), L"");
    const auto refresh = [&] {
        form->CptPmuItemBtnUpdateClick();
        PaintAndLoadIcons();
    };
    EXPECT_TRUE(AnswerBoxes(refresh, IDOK).empty());
}

TEST_F(ItemList, AllItemsMissingGivesAnEmptyList) {
    ItemAdd(1, dir + L"nothing.txt");
    ItemAdd(1, L"Q:\\no\\drive.txt");
    Open();
    EXPECT_EQ(Rows(), 0);
}

// Sizes sort by bytes (two sizes within one kilobyte too) and dates by time (noon against one in
// the afternoon, which as texts come the other way round); every click flips the order.
TEST_F(ItemList, SizesSortByBytesDatesByTimeAndEveryClickFlipsTheOrder) {
    ItemAdd(1, MakeFile(L"nine.bin", 9 * 1024 + 900, 13, 45));
    ItemAdd(1, MakeFile(L"ten.bin", 10 * 1024, 12, 5));
    ItemAdd(1, MakeFile(L"hundred.bin", 100 * 1024, 9, 0));
    ItemAdd(1, MakeFile(L"small9.bin", 9 * 1024 + 100, 0, 30));
    TFrmOvMain& f = Open();
    EXPECT_EQ(Column(0),
              (std::vector<std::wstring>{L"hundred.bin", L"nine.bin", L"small9.bin", L"ten.bin"}));

    f.SortOrder = -1; // so the next click sorts ascending
    ClickColumn(1);
    EXPECT_EQ(f.SortColumn, 1);
    EXPECT_EQ(f.SortOrder, 1);
    EXPECT_EQ(Column(0),
              (std::vector<std::wstring>{L"small9.bin", L"nine.bin", L"ten.bin", L"hundred.bin"}));
    ClickColumn(1);
    EXPECT_EQ(f.SortOrder, -1);
    EXPECT_EQ(Column(1), (std::vector<std::wstring>{L"100KB", L"10KB", L"9KB", L"9KB"}));
    EXPECT_EQ(Cell(3, 0), L"small9.bin");
    ClickColumn(3);
    EXPECT_EQ(f.SortOrder, 1) << "a click on another column flips the order too";
    EXPECT_EQ(Column(0),
              (std::vector<std::wstring>{L"small9.bin", L"hundred.bin", L"ten.bin", L"nine.bin"}));
    ClickColumn(0);
    EXPECT_EQ(f.SortOrder, -1);
    EXPECT_EQ(Column(0),
              (std::vector<std::wstring>{L"ten.bin", L"small9.bin", L"nine.bin", L"hundred.bin"}));
    ClickColumn(0);

    // Sorting follows an in-place rename of the row's caption.
    ListRowRenamed(PageIdOf(1), L"ten.bin", L"aaa.bin");
    ListView_SetItemText(f.CptLvwItems, RowOf(L"ten.bin"), 0, const_cast<wchar_t*>(L"aaa.bin"));
    ListSort(0, form->SortOrder);
    EXPECT_EQ(Cell(0, 0), L"aaa.bin");
}

TEST_F(ItemList, StoredSortIsAppliedAtStartAndBadColumnsLeaveTheOrder) {
    for (const wchar_t* name : {L"b.txt", L"c.txt", L"a.txt"})
        ItemAdd(1, MakeFile(name, 10));
    RegIntWrite(HKCU, OvKeyConfig, OvValLvwColSortAscDec, -1);
    Open();
    EXPECT_EQ(Column(0), (std::vector<std::wstring>{L"c.txt", L"b.txt", L"a.txt"}));
    form.reset();
    RegIntWrite(HKCU, OvKeyConfig, OvValLvwColSort, 7);
    Open();
    std::vector<std::wstring> stored;
    PageItemNames(1, stored);
    stored.erase(stored.begin());
    EXPECT_EQ(Column(0), stored) << L"a column outside 0..4 leaves the rows as filled";
}

// The fifth column shows the folder: a click on it, and a stored sort column of 4, sort by it.
TEST_F(ItemList, TheLocationColumnSortsByFolder) {
    for (const wchar_t* folder : {L"a", L"b"})
        ::CreateDirectoryW((dir + folder).c_str(), nullptr);
    ItemAdd(1, MakeFile(L"b\\1.txt", 10));
    ItemAdd(1, MakeFile(L"a\\2.txt", 10));
    const std::vector<std::wstring> byFolder{L"2.txt", L"1.txt"};
    TFrmOvMain& f = Open();
    ASSERT_NE(Column(0), byFolder);
    f.SortOrder = -1;
    ClickColumn(4);
    EXPECT_EQ(Column(0), byFolder);
    form.reset();
    RegIntWrite(HKCU, OvKeyConfig, OvValLvwColSort, 4);
    Open();
    EXPECT_EQ(Column(0), byFolder);
}

TEST_F(ItemList, ColumnWidthsRoundTripThroughTheStore) {
    TFrmOvMain& f = Open();
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(ColumnWidth(f.CptLvwItems, i), 50);
    ColumnWidthSet(f.CptLvwItems, 0, 180);
    ::SendMessageW(f.Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(RegStrRead(HKCU, OvKeyConfig, OvValLvwColWidth), L"180,50,50,50,50,");

    RegStrWrite(HKCU, OvKeyConfig, OvValLvwColWidth, L"120,60,100,150,200,");
    Open();
    EXPECT_EQ(ColumnWidth(form->CptLvwItems, 0), 120);
    EXPECT_EQ(ColumnWidth(form->CptLvwItems, 4), 200);
}

TEST_F(ItemList, DamagedWidthsAreReportedAndTheWindowStillComesUp) {
    RegStrWrite(HKCU, OvKeyConfig, OvValLvwColWidth, L"70,80,");
    RegIntWrite(HKCU, OvKeyConfig, OvValLvwStyle, 3);
    TBoxSeen box = AnswerBox([&] { Open(); }, IDOK);
    EXPECT_EQ(box.text, L"リストのインデックスが範囲を超えています (2)");
    EXPECT_EQ(ColumnWidth(form->CptLvwItems, 1), 80) << "widths before it stay";
    EXPECT_EQ(View(), static_cast<DWORD>(LVS_REPORT)) << "later steps still run";
    form.reset();

    RegStrWrite(HKCU, OvKeyConfig, OvValLvwColWidth, L"70,wide,");
    box = AnswerBox([&] { Open(); }, IDOK);
    EXPECT_EQ(box.text, L"'wide' は整数ではありません.");
}

TEST_F(ItemList, ViewButtonStepsThroughTheFourViewsMovingTheCheckMark) {
    TFrmOvMain& f = Open();
    EXPECT_EQ(View(), static_cast<DWORD>(LVS_ICON));
    EXPECT_EQ(CheckedEntry(), 0);
    const DWORD views[] = {LVS_SMALLICON, LVS_LIST, LVS_REPORT, LVS_ICON};
    for (int i = 0; i < 4; ++i) {
        Command(IDC_TBN_VIEWSTYLE);
        EXPECT_EQ(f.ViewStyle, (i + 1) % 4);
        EXPECT_EQ(View(), views[i]);
        EXPECT_EQ(CheckedEntry(), (i + 1) % 4);
    }
    Command(IDM_PMU_REPORT);
    EXPECT_EQ(f.ViewStyle, 3);
    EXPECT_EQ(View(), static_cast<DWORD>(LVS_REPORT));
    EXPECT_EQ(CheckedEntry(), 3);
    Command(IDM_PMU_SMALLICON);
    EXPECT_EQ(f.ViewStyle, 1);
    EXPECT_EQ(CheckedEntry(), 1);
}

TEST_F(ItemList, StoredViewStyleOutsideTheRangeShowsLargeIcons) {
    RegIntWrite(HKCU, OvKeyConfig, OvValLvwStyle, 9);
    Open();
    EXPECT_EQ(View(), static_cast<DWORD>(LVS_ICON));
    EXPECT_EQ(CheckedEntry(), 0);
}

TEST_F(ItemList, SelectedNamesAndTheNameUnderAPoint) {
    for (const wchar_t* name : {L"a.txt", L"b.txt", L"c.txt", L"d.txt", L"e.txt"})
        ItemAdd(1, MakeFile(name, 10));
    RegIntWrite(HKCU, OvKeyConfig, OvValLvwStyle, 3);
    TFrmOvMain& f = Open();
    std::vector<std::wstring> names;
    ListSelectedNames(names);
    EXPECT_TRUE(names.empty());
    ListView_SetItemState(f.CptLvwItems, 4, LVIS_SELECTED, LVIS_SELECTED);
    ListView_SetItemState(f.CptLvwItems, 1, LVIS_SELECTED, LVIS_SELECTED);
    ListSelectedNames(names);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"b.txt", L"e.txt"}));

    RECT rc{};
    ListView_GetItemRect(f.CptLvwItems, 2, &rc, LVIR_LABEL);
    EXPECT_EQ(ListRowOf(ListItemAt(rc.left + 2, rc.top + 2)).name, L"c.txt");
    RECT client{};
    ::GetClientRect(f.CptLvwItems, &client);
    EXPECT_EQ(ListItemAt(client.right - 2, client.bottom - 2), -1);
}

} // namespace

namespace {

// After a folder changed, the rows of its page refreshed in place are the rows a page made afresh
// from the folder shows, in the same sorted order, every column alike.
TEST_F(ItemList, FolderPageRefreshedInPlaceShowsTheRowsOfANewPage) {
    const std::wstring folder = dir + L"watched";
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    for (const wchar_t* name : {L"b.txt", L"Report.lnk", L"zz.txt", L"gone.txt"})
        MakeFile(L"watched\\" + std::wstring(name), 10);
    std::vector<std::wstring> listing;
    FolderList(folder, L"*", listing);
    PageFolderAdd(2, folder, listing);
    RegIntWrite(HKCU, OvKeyConfig, OvValSelPage, 2);
    TFrmOvMain& f = Open();
    ASSERT_EQ(Rows(), 4);

    ASSERT_TRUE(::DeleteFileW((folder + L"\\gone.txt").c_str()));
    ASSERT_TRUE(::DeleteFileW((folder + L"\\Report.lnk").c_str()));
    MakeFile(L"watched\\Report", 3000, 23, 59);
    ASSERT_TRUE(::MoveFileW((folder + L"\\zz.txt").c_str(), (folder + L"\\aa.txt").c_str()));
    MakeFile(L"watched\\new.txt", 2048);
    f.CptPmuItemBtnUpdateClick();
    std::vector<std::vector<std::wstring>> inPlace;
    for (int c = 0; c < 5; ++c)
        inPlace.push_back(Column(c));

    FolderList(folder, L"*", listing);
    PageFolderAdd(3, folder, listing);
    f.PageTotal = 3;
    f.CurrentPage = 3;
    f.CptPmuItemBtnUpdateClick();
    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(Column(c), inPlace[c]) << "column " << c;
    EXPECT_EQ(inPlace[0], (std::vector<std::wstring>{L"aa.txt", L"b.txt", L"new.txt", L"Report"}));
    EXPECT_EQ(Cell(RowOf(L"new.txt"), 1), L"2KB");
    EXPECT_EQ(Cell(RowOf(L"Report"), 3), L"2025年 06月 15日(日)  午後 11:59");
}

} // namespace
namespace {

// The list keeps no rows of its own: a sort carries the selection and the focus along with their
// rows, leaves the view where it was, and a row added afterwards changes neither.
TEST_F(ItemList, SortingKeepsTheSelectionWithItsRowsAndTheViewWhereItWas) {
    HWND list = ProgramRowsShow(60);
    ListView_EnsureVisible(list, 59, FALSE);
    const int top = ListView_GetTopIndex(list);
    ASSERT_GT(top, 2);
    for (int row : {top + 1, top + 2})
        ListView_SetItemState(list, row, LVIS_SELECTED, LVIS_SELECTED);
    ListView_SetItemState(list, top + 1, LVIS_FOCUSED, LVIS_FOCUSED);
    std::vector<std::wstring> selected;
    ListSelectedNames(selected);
    form->SortOrder = -1;
    ListSort(0, form->SortOrder);
    std::vector<std::wstring> after;
    ListSelectedNames(after);
    EXPECT_EQ(after, (std::vector<std::wstring>{selected[1], selected[0]}));
    EXPECT_EQ(Cell(ListView_GetNextItem(list, -1, LVNI_FOCUSED), 0), selected[0]);
    EXPECT_EQ(ListView_GetTopIndex(list), top);
    // Rows that compare equal keep their order.
    const std::vector<std::wstring> byName = Column(0);
    ListSort(4, form->SortOrder);
    EXPECT_EQ(Column(0), byName);
    ListRowAdd(L"added", ExeFolder() + L"test_uOvLvw.exe", 1);
    EXPECT_EQ(ListView_GetTopIndex(list), top);
    after.clear();
    ListSelectedNames(after);
    EXPECT_EQ(after, (std::vector<std::wstring>{selected[1], selected[0]}));
    EXPECT_EQ(Cell(60, 0), L"added");
}

// After every sort the list marks exactly the rows the program holds selected, whether few or
// most of them are: the list is told the changed places only, so a place left marked would show a
// row selected that no command takes.
TEST_F(ItemList, AfterEverySortTheListMarksTheRowsKeptSelected) {
    constexpr int count = 60;
    HWND list = ProgramRowsShow(count);
    const std::vector<std::vector<int>> selections = {
        {0}, {3, 10, 11, 59}, {}, {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14,
                                   15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29}};
    for (size_t s = 0; s < selections.size() + 1; ++s) {
        // The last selection: every row but three.
        std::set<int> chosen(selections[s % selections.size()].begin(),
                             selections[s % selections.size()].end());
        if (s == selections.size())
            for (int row = 0; row < count; ++row)
                if (row != 5 && row != 40 && row != 59)
                    chosen.insert(row);
        ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
        for (int row : chosen)
            ListView_SetItemState(list, row, LVIS_SELECTED, LVIS_SELECTED);
        for (int order : {1, -1, 1}) {
            ListSort(0, order);
            std::vector<std::wstring> kept;
            ListSelectedNames(kept);
            ASSERT_EQ(kept.size(), chosen.size()) << s;
            const std::set<std::wstring> keptSet(kept.begin(), kept.end());
            EXPECT_EQ(ListView_GetSelectedCount(list), chosen.size()) << s;
            for (int row = 0; row < count; ++row)
                EXPECT_EQ(ListView_GetItemState(list, row, LVIS_SELECTED) != 0,
                          keptSet.count(Cell(row, 0)) != 0)
                    << "selection " << s << ", order " << order << ", row " << row;
        }
    }
}

// The selection kept with the rows follows the list's notices, a range from its first row to its
// last; before it is used it is checked against the list, and where the list selected other rows
// untold (the same count, another first row) the list's rows are the ones used.
TEST_F(ItemList, TheKeptSelectionFollowsRangesAndYieldsToTheList) {
    HWND list = ProgramRowsShow(10);
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
    auto untold = [&](int row, bool selected) {
        ListState().selectionQuiet = true;
        ListView_SetItemState(list, row, selected ? LVIS_SELECTED : 0, LVIS_SELECTED);
        ListState().selectionQuiet = false;
    };
    for (int row = 2; row <= 5; ++row)
        untold(row, true);
    NMLVODSTATECHANGE range{};
    range.hdr = {list, IDC_ITEMS, LVN_ODSTATECHANGED};
    range.iFrom = 2;
    range.iTo = 5;
    range.uNewState = LVIS_SELECTED;
    ::SendMessageW(form->Handle(), WM_NOTIFY, IDC_ITEMS, reinterpret_cast<LPARAM>(&range));
    EXPECT_EQ(ListState().selectedCount, 4u) << "the range's last row too";
    untold(2, false);
    untold(7, true);
    std::vector<std::wstring> names;
    ListSelectedNames(names);
    EXPECT_EQ(names, (std::vector<std::wstring>{Cell(3, 0), Cell(4, 0), Cell(5, 0), Cell(7, 0)}));
}

// Typing a name's first letters finds its row, letter case aside, from the focused row on.
TEST_F(ItemList, FirstLettersFindTheirRow) {
    for (const wchar_t* name : {L"a.txt", L"Cat.txt", L"b.txt", L"cow.txt"})
        ItemAdd(1, MakeFile(name, 10));
    RegIntWrite(HKCU, OvKeyConfig, OvValLvwStyle, 3);
    Open();
    ASSERT_EQ(Column(0), (std::vector<std::wstring>{L"a.txt", L"b.txt", L"Cat.txt", L"cow.txt"}));
    struct TCase {
        const wchar_t* text;
        UINT flags;
        int start, found;
    };
    const TCase cases[] = {
        {L"c", LVFI_PARTIAL, 0, 2},
        {L"CO", LVFI_PARTIAL, 0, 3},
        {L"c", LVFI_PARTIAL, 3, 3},
        {L"a", LVFI_PARTIAL, 1, -1},
        {L"a", LVFI_PARTIAL | LVFI_WRAP, 1, 0},
        {L"cat.TXT", LVFI_STRING, 0, 2},
        {L"cat", LVFI_STRING, 0, -1},
        {L"cow.txt!", LVFI_PARTIAL, 0, -1},
    };
    for (const TCase& c : cases) {
        LVFINDINFOW find{};
        find.flags = c.flags;
        find.psz = c.text;
        EXPECT_EQ(ListFindItem(c.start, find), c.found) << c.text << L" from " << c.start;
    }
    ::SendMessageW(form->CptLvwItems, WM_CHAR, L'c', 1);
    std::vector<std::wstring> names;
    ListSelectedNames(names);
    EXPECT_EQ(names, std::vector<std::wstring>{L"Cat.txt"});
}

} // namespace

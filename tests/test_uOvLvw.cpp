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
#include "uOvMain.h"
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
    EXPECT_EQ(SizeText(0, ","), "0KB");
    EXPECT_EQ(SizeText(1023, ","), "0KB");
    EXPECT_EQ(SizeText(1024, ","), "1KB");
    EXPECT_EQ(SizeText(1048576, ","), "1,024KB");
    EXPECT_EQ(SizeText(5000000, ","), "4,882KB");
    EXPECT_EQ(SizeText(3LL << 30, ","), "3,145,728KB") << "no 32-bit wrap at 2 GiB";
    EXPECT_EQ(SizeText(999LL * 1024, "."), "999KB");
    EXPECT_EQ(SizeText(1000LL * 1024, "."), "1.000KB");
}

TEST(RowTexts, DateUsesTheTwelveHourClockWithTheLocaleDesignators) {
    TLocaleTexts jp;
    EXPECT_EQ(DateText(DosTime(2000, 3, 5, 14, 7), jp), "2000年 03月 05日(日)  午後 02:07");
    EXPECT_EQ(DateText(DosTime(2000, 3, 5, 0, 30), jp), "2000年 03月 05日(日)  午前 12:30");
    EXPECT_EQ(DateText(DosTime(2000, 3, 5, 12, 5), jp), "2000年 03月 05日(日)  午後 12:05");
    EXPECT_EQ(DateText(DosTime(2026, 12, 7, 13, 45), jp), "2026年 12月 07日(月)  午後 01:45");
    EXPECT_EQ(DateText(DosTime(2024, 2, 29, 11, 59), jp), "2024年 02月 29日(木)  午前 11:59");
    EXPECT_EQ(DateText(DosTime(1980, 1, 1, 23, 0), jp), "1980年 01月 01日(火)  午後 11:00");
}

TEST(RowTexts, TheLocaleOfTheTestPrefixIsJapanese) {
    const TLocaleTexts& t = LocaleTexts();
    EXPECT_EQ(t.am, "午前");
    EXPECT_EQ(t.pm, "午後");
    EXPECT_EQ(t.timeSeparator, ":");
    EXPECT_EQ(t.thousands, ",");
    EXPECT_EQ(t.weekdays[0], "月");
    EXPECT_EQ(t.weekdays[6], "日");
}

TEST(CommaText, SplitsLikeTheStoredListsExpect) {
    using V = std::vector<std::string>;
    EXPECT_EQ(CommaTextSplit(""), V{});
    EXPECT_EQ(CommaTextSplit("180,50,50,50,50,"), (V{"180", "50", "50", "50", "50"}));
    EXPECT_EQ(CommaTextSplit("上,下,右,左"), (V{"上", "下", "右", "左"}));
    EXPECT_EQ(CommaTextSplit("a,,b"), (V{"a", "", "b"}));
    EXPECT_EQ(CommaTextSplit("  a , b "), (V{"a", "b"}));
    EXPECT_EQ(CommaTextSplit("a b,c"), (V{"a", "b", "c"})) << "a blank ends an entry";
    EXPECT_EQ(CommaTextSplit("\"a b\",\"c,d\",\"say \"\"hi\"\"\""),
              (V{"a b", "c,d", "say \"hi\""}));
    EXPECT_EQ(CommaTextSplit("\"ソ\",表"), (V{"ソ", "表"})) << "0x5C trail bytes";
}

TEST(CommaText, NumbersAndListIndexesRaiseTheirErrors) {
    EXPECT_EQ(StrToInt(" -12 "), -12);
    EXPECT_EQ(StrToInt("+7"), 7);
    EXPECT_EQ(StrToInt("2147483647"), 2147483647);
    for (const char* bad : {"", "12a", "1 2", "-", "99999999999", "0x10"}) {
        try {
            StrToInt(bad);
            ADD_FAILURE() << bad;
        } catch (const EConvertError& e) {
            EXPECT_EQ(std::string(e.what()), std::string("'") + bad + "' は整数ではありません");
        }
    }
    std::vector<std::string> two{"a", "b"};
    EXPECT_EQ(ListAt(two, 1), "b");
    try {
        ListAt(two, 2);
        ADD_FAILURE();
    } catch (const EListError& e) {
        EXPECT_STREQ(e.what(), "リストのインデックスが範囲を超えています (2)");
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
        RegKeyDelete(HKEY_CLASSES_ROOT, ".ovtst");
        RegKeyDelete(HKEY_CLASSES_ROOT, "ovtstfile");
        ConfigTreeCreate();
        char temp[MAX_PATH] = {};
        ::GetTempPathA(MAX_PATH, temp);
        dir = std::string(temp) + "ovlvw" + std::to_string(::GetCurrentProcessId()) + "\\";
        ::CreateDirectoryA(dir.c_str(), nullptr);
    }

    void TearDown() override {
        TMainWindowTest::TearDown();
        TreeDelete(dir.substr(0, dir.size() - 1));
        RegKeyDelete(HKEY_CLASSES_ROOT, ".ovtst");
        RegKeyDelete(HKEY_CLASSES_ROOT, "ovtstfile");
    }

    // A file of `size` bytes last written at the given local time.
    std::string MakeFile(const std::string& name, int64_t size, int hour = 10, int minute = 0) {
        std::string path = dir + name;
        TUniqueHandle h(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
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
    std::string Cell(int row, int column) {
        char buf[512] = {};
        ListView_GetItemText(form->CptLvwItems, row, column, buf, sizeof(buf));
        return buf;
    }
    int RowOf(const std::string& caption) {
        for (int i = 0; i < Rows(); ++i)
            if (Cell(i, 0) == caption)
                return i;
        return -1;
    }
    std::vector<std::string> Column(int column) {
        std::vector<std::string> texts;
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
        ::SendMessageA(form->Handle(), WM_NOTIFY, IDC_ITEMS, reinterpret_cast<LPARAM>(&nm));
    }
    void Command(int id) { ::SendMessageA(form->Handle(), WM_COMMAND, MAKEWPARAM(id, 0), 0); }
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
        return static_cast<DWORD>(::GetWindowLongPtrA(form->CptLvwItems, GWL_STYLE)) & LVS_TYPEMASK;
    }
    // Shows `count` rows of one program, each with an icon of its own, in a report view of a
    // few rows, and paints its first screen.
    HWND ProgramRowsShow(int count) {
        RegIntWrite(HKCU, OvKeyConfig, OvValLvwStyle, 3);
        Open();
        for (int i = 0; i < count; ++i)
            ListRowAdd(std::to_string(100 + i), ExeFolder() + "test_uOvLvw.exe");
        ::MoveWindow(form->Handle(), 0, 0, 400, 300, FALSE);
        ::ShowWindow(form->Handle(), SW_SHOWNOACTIVATE);
        ::UpdateWindow(form->CptLvwItems);
        return form->CptLvwItems;
    }

    std::string dir;
};

TEST_F(ItemList, RowsShowSizeTypeDateAndLocationOfEachItem) {
    // Written through the classes root itself: Wine does not merge the user's classes into it.
    RegStrWrite(HKEY_CLASSES_ROOT, ".ovtst", "", "ovtstfile");
    RegStrWrite(HKEY_CLASSES_ROOT, "ovtstfile", "", "テスト文書");
    ItemAdd(1, MakeFile("small.ovtst", 1023, 0, 30));
    ItemAdd(1, MakeFile("one.bin", 1024, 12, 5));
    ItemAdd(1, MakeFile("big.dat", 5000000, 13, 45));
    ItemAdd(1, MakeFile("huge.img", 3LL << 30));

    Open();
    ASSERT_EQ(Rows(), 4);
    int small = RowOf("small.ovtst");
    ASSERT_GE(small, 0);
    EXPECT_EQ(Cell(small, 1), "0KB");
    EXPECT_EQ(Cell(small, 2), "テスト文書");
    EXPECT_EQ(Cell(small, 3), "2025年 06月 15日(日)  午前 12:30");
    EXPECT_EQ(Cell(small, 4), PathFolder(dir + "x"));
    EXPECT_EQ(Cell(RowOf("one.bin"), 1), "1KB");
    EXPECT_EQ(Cell(RowOf("one.bin"), 2), "") << "no association, no type";
    EXPECT_EQ(Cell(RowOf("one.bin"), 3), "2025年 06月 15日(日)  午後 12:05");
    EXPECT_EQ(Cell(RowOf("big.dat"), 1), "4,882KB");
    EXPECT_EQ(Cell(RowOf("big.dat"), 3), "2025年 06月 15日(日)  午後 01:45");
    EXPECT_EQ(Cell(RowOf("huge.img"), 1), "3,145,728KB");
    // A folder dropped with other entries becomes an item whose row shows 0KB.
    ::CreateDirectoryA((dir + "sub").c_str(), nullptr);
    ListRowAdd("sub", dir + "sub");
    ASSERT_GE(RowOf("sub"), 0);
    EXPECT_EQ(Cell(RowOf("sub"), 1), "0KB");

    // A missing file gets no row.
    ListRowAdd("gone.txt", dir + "gone.txt");
    EXPECT_EQ(Rows(), 5);
    EXPECT_EQ(RowOf("gone.txt"), -1);
}

TEST_F(ItemList, FillingTwiceGivesTheSameRowsWithoutGrowingTheImageLists) {
    for (const char* name : {"b.txt", "a.txt", "c.txt"})
        ItemAdd(1, MakeFile(name, 10));
    ItemAdd(1, ExeFolder() + "test_uOvLvw.exe");
    TFrmOvMain& f = Open();
    std::vector<std::string> first = Column(0);
    PaintAndLoadIcons();
    const int images = ::ImageList_GetImageCount(f.CptImlItems16.Get());
    f.CptPmuItemBtnUpdateClick();
    PaintAndLoadIcons();
    EXPECT_EQ(Column(0), first);
    EXPECT_EQ(first, (std::vector<std::string>{"a.txt", "b.txt", "c.txt", "test_uOvLvw.exe"}));
    EXPECT_EQ(::ImageList_GetImageCount(f.CptImlItems16.Get()), images);
    EXPECT_EQ(::ImageList_GetImageCount(f.CptImlItems32.Get()), images);
}

// Icons load when their rows are painted, documents of one type share one entry, and no row ever
// shows another file's icon, also after the image lists have been emptied by the next fill.
TEST_F(ItemList, EveryRowShowsTheIconsOfItsOwnFile) {
    const std::string shell32 = "C:\\windows\\system32\\shell32.dll";
    const std::string exe = ExeFolder() + "test_uOvLvw.exe";
    RegStrWrite(HKEY_CLASSES_ROOT, ".ovtst", "", "ovtstfile");
    RegStrWrite(HKEY_CLASSES_ROOT, "ovtstfile\\DefaultIcon", "", shell32 + ",3");
    ASSERT_TRUE(LinkCreate(dir + "to shell.lnk", shell32, ""));
    ASSERT_TRUE(LinkCreate(dir + "to exe.lnk", exe, ""));
    for (const std::string& path : {exe, shell32, dir + "to shell.lnk", dir + "to exe.lnk",
                                    MakeFile("one.ovtst", 1), MakeFile("two.ovtst", 2)})
        ItemAdd(1, path);
    RegIntWrite(HKCU, OvKeyConfig, OvValLvwStyle, 3);
    TFrmOvMain& f = Open();
    for (int pass = 0; pass < 2; ++pass) {
        SCOPED_TRACE(pass);
        PaintAndLoadIcons();
        ASSERT_EQ(Rows(), 6);
        ExpectRowsShowTheirFilesIcons();
        EXPECT_EQ(ImageOf(RowOf("one.ovtst")), ImageOf(RowOf("two.ovtst")));
        EXPECT_NE(ImageOf(RowOf("to shell")), ImageOf(RowOf("to exe")));
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
    EXPECT_EQ(::ImageList_GetImageCount(images), 1) << "the first icon loaded is on screen";
    while (ListIconsLoad(1000)) {
    }
    EXPECT_EQ(::ImageList_GetImageCount(images), static_cast<int>(last.size()));
    for (int row : last)
        EXPECT_GE(ImageOf(row), 0) << row;

    ListView_EnsureVisible(list, 0, FALSE);
    ::UpdateWindow(list);
    while (ListIconsLoad(1000)) {
    }
    for (int row : first)
        EXPECT_GE(ImageOf(row), 0) << row;
}

// Rows that a sort moved off screen after their paint wait for their next paint as well.
TEST_F(ItemList, RowsSortedOffScreenBeforeTheirTurnWait) {
    ProgramRowsShow(60);
    form->SortOrder = -1;
    ListSort(0);
    while (ListIconsLoad(1000)) {
    }
    EXPECT_EQ(::ImageList_GetImageCount(form->CptImlItems16.Get()), 0);
    PaintAndLoadIcons();
    EXPECT_GE(ImageOf(0), 0);
}

// A damaged shortcut leaves its own row without an icon and is reported once per fill, however
// many rows fail; the rows after it are there all the same.
TEST_F(ItemList, UnreadableShortcutsAreReportedOnceAndHideNoRows) {
    for (const char* name : {"bad1.lnk", "bad2.lnk"})
        MakeFile(name, 64);
    for (const char* name : {"bad1.lnk", "a.txt", "bad2.lnk", "b.txt"})
        ItemAdd(1, name[0] == 'b' && name[1] == 'a' ? dir + name : MakeFile(name, 10));
    RegIntWrite(HKCU, OvKeyConfig, OvValLvwStyle, 3);
    Open();
    EXPECT_EQ(Column(0), (std::vector<std::string>{"a.txt", "b.txt", "bad1", "bad2"}));
    EXPECT_EQ(AnswerBoxes([&] { PaintAndLoadIcons(); }, IDOK).size(), 1u);
    EXPECT_EQ(ImageOf(RowOf("bad1")), I_IMAGENONE);
    EXPECT_EQ(ImageOf(RowOf("bad2")), I_IMAGENONE);
    EXPECT_GE(ImageOf(RowOf("a.txt")), 0);
    EXPECT_TRUE(AnswerBoxes([&] { PaintAndLoadIcons(); }, IDOK).empty());
}

TEST_F(ItemList, AllItemsMissingGivesAnEmptyList) {
    ItemAdd(1, dir + "nothing.txt");
    ItemAdd(1, "Q:\\no\\drive.txt");
    Open();
    EXPECT_EQ(Rows(), 0);
}

TEST_F(ItemList, ColumnsSortAsTextAndEveryClickFlipsTheOrder) {
    ItemAdd(1, MakeFile("nine.bin", 9 * 1024));
    ItemAdd(1, MakeFile("ten.bin", 10 * 1024));
    ItemAdd(1, MakeFile("hundred.bin", 100 * 1024));
    TFrmOvMain& f = Open();
    EXPECT_EQ(Column(0), (std::vector<std::string>{"hundred.bin", "nine.bin", "ten.bin"}));

    f.SortOrder = -1; // so the next click sorts ascending
    ClickColumn(1);
    EXPECT_EQ(f.SortColumn, 1);
    EXPECT_EQ(f.SortOrder, 1);
    EXPECT_EQ(Column(1), (std::vector<std::string>{"100KB", "10KB", "9KB"}));
    ClickColumn(1);
    EXPECT_EQ(f.SortOrder, -1);
    EXPECT_EQ(Column(1), (std::vector<std::string>{"9KB", "10KB", "100KB"}));
    ClickColumn(0);
    EXPECT_EQ(f.SortOrder, 1) << "a click on another column flips the order too";
    EXPECT_EQ(Column(0), (std::vector<std::string>{"hundred.bin", "nine.bin", "ten.bin"}));

    // Sorting follows an in-place rename of the row's caption.
    ListRowRenamed(RowOf("ten.bin"), "aaa.bin");
    ListView_SetItemText(f.CptLvwItems, RowOf("ten.bin"), 0, const_cast<char*>("aaa.bin"));
    ListSort(0);
    EXPECT_EQ(Cell(0, 0), "aaa.bin");
}

TEST_F(ItemList, StoredSortIsAppliedAtStartAndBadColumnsLeaveTheOrder) {
    for (const char* name : {"b.txt", "c.txt", "a.txt"})
        ItemAdd(1, MakeFile(name, 10));
    RegIntWrite(HKCU, OvKeyConfig, OvValLvwColSortAscDec, -1);
    Open();
    EXPECT_EQ(Column(0), (std::vector<std::string>{"c.txt", "b.txt", "a.txt"}));
    form.reset();
    RegIntWrite(HKCU, OvKeyConfig, OvValLvwColSort, 7);
    Open();
    std::vector<std::string> stored;
    PageItemNames(1, stored);
    stored.erase(stored.begin());
    EXPECT_EQ(Column(0), stored) << "a column outside 0..4 leaves the rows as filled";
}

// The fifth column shows the folder: a click on it, and a stored sort column of 4, sort by it.
TEST_F(ItemList, TheLocationColumnSortsByFolder) {
    for (const char* folder : {"a", "b"})
        ::CreateDirectoryA((dir + folder).c_str(), nullptr);
    ItemAdd(1, MakeFile("b\\1.txt", 10));
    ItemAdd(1, MakeFile("a\\2.txt", 10));
    const std::vector<std::string> byFolder{"2.txt", "1.txt"};
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
    ::SendMessageA(f.Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(RegStrRead(HKCU, OvKeyConfig, OvValLvwColWidth), "180,50,50,50,50,");

    RegStrWrite(HKCU, OvKeyConfig, OvValLvwColWidth, "120,60,100,150,200,");
    Open();
    EXPECT_EQ(ColumnWidth(form->CptLvwItems, 0), 120);
    EXPECT_EQ(ColumnWidth(form->CptLvwItems, 4), 200);
}

TEST_F(ItemList, DamagedWidthsAreReportedAndTheWindowStillComesUp) {
    RegStrWrite(HKCU, OvKeyConfig, OvValLvwColWidth, "70,80,");
    RegIntWrite(HKCU, OvKeyConfig, OvValLvwStyle, 3);
    TBoxSeen box = AnswerBox([&] { Open(); }, IDOK);
    EXPECT_EQ(box.text, "リストのインデックスが範囲を超えています (2)");
    EXPECT_EQ(ColumnWidth(form->CptLvwItems, 1), 80) << "widths before it stay";
    EXPECT_EQ(View(), static_cast<DWORD>(LVS_REPORT)) << "later steps still run";
    form.reset();

    RegStrWrite(HKCU, OvKeyConfig, OvValLvwColWidth, "70,wide,");
    box = AnswerBox([&] { Open(); }, IDOK);
    EXPECT_EQ(box.text, "'wide' は整数ではありません.");
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
    for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt", "e.txt"})
        ItemAdd(1, MakeFile(name, 10));
    RegIntWrite(HKCU, OvKeyConfig, OvValLvwStyle, 3);
    TFrmOvMain& f = Open();
    std::vector<std::string> names;
    ListSelectedNames(names);
    EXPECT_TRUE(names.empty());
    ListView_SetItemState(f.CptLvwItems, 4, LVIS_SELECTED, LVIS_SELECTED);
    ListView_SetItemState(f.CptLvwItems, 1, LVIS_SELECTED, LVIS_SELECTED);
    ListSelectedNames(names);
    EXPECT_EQ(names, (std::vector<std::string>{"b.txt", "e.txt"}));

    RECT rc{};
    ListView_GetItemRect(f.CptLvwItems, 2, &rc, LVIR_LABEL);
    EXPECT_EQ(ListNameAt(rc.left + 2, rc.top + 2), "c.txt");
    RECT client{};
    ::GetClientRect(f.CptLvwItems, &client);
    EXPECT_EQ(ListNameAt(client.right - 2, client.bottom - 2), "");
}

} // namespace

namespace {

// After a folder changed, the rows of its page refreshed in place are the rows a page made afresh
// from the folder shows, in the same sorted order, every column alike.
TEST_F(ItemList, FolderPageRefreshedInPlaceShowsTheRowsOfANewPage) {
    const std::string folder = dir + "watched";
    ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr));
    for (const char* name : {"b.txt", "Report.lnk", "zz.txt", "gone.txt"})
        MakeFile("watched\\" + std::string(name), 10);
    std::vector<std::string> listing;
    FolderList(folder, "*", listing);
    PageFolderAdd(2, folder, listing);
    RegIntWrite(HKCU, OvKeyConfig, OvValSelPage, 2);
    TFrmOvMain& f = Open();
    ASSERT_EQ(Rows(), 4);

    ASSERT_TRUE(::DeleteFileA((folder + "\\gone.txt").c_str()));
    ASSERT_TRUE(::DeleteFileA((folder + "\\Report.lnk").c_str()));
    MakeFile("watched\\Report", 3000, 23, 59);
    ASSERT_TRUE(::MoveFileA((folder + "\\zz.txt").c_str(), (folder + "\\aa.txt").c_str()));
    MakeFile("watched\\new.txt", 2048);
    f.CptPmuItemBtnUpdateClick();
    std::vector<std::vector<std::string>> inPlace;
    for (int c = 0; c < 5; ++c)
        inPlace.push_back(Column(c));

    FolderList(folder, "*", listing);
    PageFolderAdd(3, folder, listing);
    f.PageTotal = 3;
    f.CurrentPage = 3;
    f.CptPmuItemBtnUpdateClick();
    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(Column(c), inPlace[c]) << "column " << c;
    EXPECT_EQ(inPlace[0], (std::vector<std::string>{"aa.txt", "b.txt", "new.txt", "Report"}));
    EXPECT_EQ(Cell(RowOf("new.txt"), 1), "2KB");
    EXPECT_EQ(Cell(RowOf("Report"), 3), "2025年 06月 15日(日)  午後 11:59");
}

} // namespace

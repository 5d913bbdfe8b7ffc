// Nothing lost: page deletions and first runs killed at every change and repaired at the next
// start, repairs of hand-made trees, failures that leave the tree as it was, and items on drives
// and shares that do not answer.
#include "uCmnError.h"
#include "uCmnReg.h"
#include "uOvBackup.h"
#include "uOvCfg.h"
#include "uOvPages.h"
#include "uOvReg.h"
#include "uOvRegDef.h"
#include "uTestFiles.h"
#include "uTestProcess.h"
#include "uTestRegStores.h"
#include "uTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace {

const HKEY Cu = HKEY_CURRENT_USER;

// Pages 1 to `count`, odd ones bound to a folder, each with three items created out of name
// order, so a move that sorted, reversed or dropped them would show.
void PagesMake(int count) {
    for (int k = 1; k <= count; ++k) {
        const std::wstring n = std::to_wstring(k);
        PageCreate(k, k % 2 ? L"C:\\Folder" + n : L"");
        for (const wchar_t* name : {L"zeta", L"mid", L"alpha"})
            ItemAdd(k, L"C:\\p" + n + L"\\" + name + n + L".txt");
    }
}

std::wstring DataDump() {
    return StoreTreeDump(Cu, OvKeyData);
}

// What a start does before it reads the pages.
void StartUpRepair() {
    ConfigTreeEnsure();
    PagesRepair();
}

// Runs the stand-in that is killed just before its `at`-th change; its exit code, -1 when it did
// not start, -2 when it did not end (it is ended then, so that it writes nothing later on). It
// has no console: under Wine a console of its own is one more process per kill.
long KilledAt(const wchar_t* operation, int at, const std::wstring& argument = L"") {
    PROCESS_INFORMATION info{};
    const std::wstring exe = ExeFolder() + L"ovKillAt.exe";
    std::wstring command = L"ovKillAt.exe " + std::wstring(operation) + L" " + std::to_wstring(at);
    if (!argument.empty())
        command += L" \"" + argument + L"\"";
    if (!ProcessStart(exe.c_str(), command, DETACHED_PROCESS, info)) {
        ADD_FAILURE() << "ovKillAt did not start: error " << ::GetLastError();
        return -1;
    }
    TUniqueHandle process(info.hProcess), thread(info.hThread);
    if (::WaitForSingleObject(info.hProcess, 60000) != WAIT_OBJECT_0) {
        ::TerminateProcess(info.hProcess, 1);
        ::WaitForSingleObject(info.hProcess, 5000);
        return -2;
    }
    DWORD code = 0;
    ::GetExitCodeProcess(info.hProcess, &code);
    return static_cast<long>(code);
}

class Repair : public ::testing::Test {
  protected:
    void SetUp() override { ProgramStateRemove(); }
    void TearDown() override { ProgramStateRemove(); }
};

// Killed at any moment of the deletion of page 2 of 6, the next start shows the six pages as
// they were or the five that remain, every other page whole, the numbers dense.
TEST_F(Repair, PageDeletionKilledAtEveryChangeLosesNothing) {
    ConfigTreeCreate();
    PagesMake(6);
    const std::wstring before = DataDump();
    PageRemove(2, 6);
    const std::wstring after = DataDump();
    ASSERT_NE(before, after);

    long code = 9;
    int at = 1;
    for (; code == 9 && at < 500; ++at) {
        SCOPED_TRACE(at);
        RegKeyDelete(Cu, OvKeyData);
        PagesMake(6);
        ASSERT_EQ(DataDump(), before);
        code = KilledAt(L"remove", at);
        ASSERT_TRUE(code == 9 || code == 0) << code;
        StartUpRepair();
        const std::wstring repaired = DataDump();
        EXPECT_TRUE(repaired == before || repaired == after) << repaired;
        EXPECT_FALSE(RegValueExists(Cu, OvKeyData, OvValPageMove));
    }
    EXPECT_EQ(code, 0) << L"the deletion never completed";
    EXPECT_GT(at, 10) << L"too few changes to kill at";
}

// A first run killed at any change is completed by the next start into exactly the default tree.
TEST_F(Repair, FirstRunKilledAtEveryChangeEndsAsTheDefaultTree) {
    ConfigTreeCreate();
    const std::wstring defaults = StoreTreeDump(Cu, OvKeyProduct);
    long code = 9;
    for (int at = 1; code == 9 && at < 500; ++at) {
        SCOPED_TRACE(at);
        RegKeyDelete(Cu, OvKeyProduct);
        code = KilledAt(L"firstrun", at);
        ASSERT_TRUE(code == 9 || code == 0) << code;
        StartUpRepair();
        EXPECT_EQ(StoreTreeDump(Cu, OvKeyProduct), defaults);
    }
    EXPECT_EQ(code, 0);
}

// A folder dropped makes a new last page bound to it. Killed at any change, the next start has
// either no new page or one bound to the folder, which its first showing fills; never an extra
// empty ordinary page.
TEST_F(Repair, AFolderPageKilledAtItsBirthIsWholeOrAbsent) {
    TTempFolder folder;
    for (const wchar_t* name : {L"c.txt", L"a.txt", L"b.txt"})
        ASSERT_TRUE(FileWrite(folder / name, "x"));
    ConfigTreeCreate();
    PagesMake(2);
    const std::wstring before = DataDump();
    long code = 9;
    int at = 1;
    for (; code == 9 && at < 100; ++at) {
        SCOPED_TRACE(at);
        RegKeyDelete(Cu, OvKeyData);
        PagesMake(2);
        code = KilledAt(L"folderpage", at, folder.Path());
        ASSERT_TRUE(code == 9 || code == 0) << code;
        StartUpRepair();
        if (PageCount() == 2) {
            EXPECT_EQ(DataDump(), before);
            continue;
        }
        ASSERT_EQ(PageCount(), 3);
        EXPECT_EQ(PageFolderRead(3), folder.Path());
        TPageEntries entries;
        PageRefresh(3, entries);
        std::vector<std::wstring> names;
        for (const TPageEntry& entry : entries)
            names.push_back(entry.name);
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, (std::vector<std::wstring>{L"a.txt", L"b.txt", L"c.txt"}));
    }
    EXPECT_EQ(code, 0) << L"the folder page was never made";
    EXPECT_GT(at, 3) << L"too few changes to kill at";
}

// Six named pages; page 4 already holds an item of page 2's name (another path).
void NamedPagesMake() {
    PagesMake(6);
    std::wstring stored;
    for (int k = 1; k <= 6; ++k)
        PageNameSet(k, 6, L"頁 " + std::to_wstring(k), stored);
    ItemAdd(4, L"D:\\other\\zeta2.txt");
}

// Each page's whole subtree (name, folder, items), in page order.
std::vector<std::wstring> PageDumps() {
    std::vector<std::wstring> dumps;
    for (int32_t k = 1; k <= PageCount(); ++k)
        dumps.push_back(StoreTreeDump(Cu, PageKeyPath(k)));
    return dumps;
}

// The paths of a page's items.
std::multiset<std::wstring> PathsOf(int32_t page) {
    TPageEntries entries;
    PageItemsRead(page, entries);
    std::multiset<std::wstring> paths;
    for (const TPageEntry& e : entries)
        paths.insert(e.path);
    return paths;
}

// Items moved from page 2 to page 4, killed at any change: after the next start every item is on
// one of the two pages (the one being moved may be on both), the other pages and every name are
// as they were.
TEST_F(Repair, ItemsMovedBetweenPagesKilledAtEveryChangeLoseNothing) {
    ConfigTreeCreate();
    NamedPagesMake();
    const std::vector<std::wstring> before = PageDumps();
    std::multiset<std::wstring> both = PathsOf(2);
    both.merge(PathsOf(4));
    long code = 9;
    int at = 1;
    for (; code == 9 && at < 200; ++at) {
        SCOPED_TRACE(at);
        RegKeyDelete(Cu, OvKeyData);
        NamedPagesMake();
        code = KilledAt(L"itemmove", at);
        ASSERT_TRUE(code == 9 || code == 0) << code;
        StartUpRepair();
        const std::vector<std::wstring> after = PageDumps();
        ASSERT_EQ(after.size(), before.size());
        for (int k : {1, 3, 5, 6})
            EXPECT_EQ(after[k - 1], before[k - 1]) << k;
        for (int k = 1; k <= 6; ++k)
            EXPECT_EQ(PageNameRead(k), L"頁 " + std::to_wstring(k));
        std::multiset<std::wstring> now = PathsOf(2);
        now.merge(PathsOf(4));
        const std::set<std::wstring> distinct(now.begin(), now.end());
        EXPECT_EQ(distinct, std::set<std::wstring>(both.begin(), both.end()));
        EXPECT_LE(now.size(), both.size() + 1) << L"more than the item in flight on both pages";
        if (code == 0) {
            EXPECT_EQ(PageItemCount(2), 0);
        }
    }
    EXPECT_EQ(code, 0) << L"the move never completed";
    EXPECT_GT(at, 6) << L"too few changes to kill at";
}

// Page 2 of 6 moved after page 3, killed at any change: after the next start the six pages are
// there, whole, with their names, numbered densely; in the old order or the new one when the
// swap was done or not begun.
TEST_F(Repair, APageMovedKilledAtEveryChangeKeepsEveryPageWhole) {
    ConfigTreeCreate();
    NamedPagesMake();
    const std::vector<std::wstring> before = PageDumps();
    std::vector<std::wstring> swapped = before;
    std::swap(swapped[1], swapped[2]);
    long code = 9;
    int at = 1;
    for (; code == 9 && at < 500; ++at) {
        SCOPED_TRACE(at);
        RegKeyDelete(Cu, OvKeyData);
        NamedPagesMake();
        code = KilledAt(L"pageswap", at);
        ASSERT_TRUE(code == 9 || code == 0) << code;
        StartUpRepair();
        std::vector<std::wstring> after = PageDumps();
        EXPECT_FALSE(RegValueExists(Cu, OvKeyData, OvValPageMove));
        if (code == 0) {
            EXPECT_EQ(after, swapped);
        }
        std::vector<std::wstring> sortedBefore = before;
        std::sort(after.begin(), after.end());
        std::sort(sortedBefore.begin(), sortedBefore.end());
        EXPECT_EQ(after, sortedBefore);
    }
    EXPECT_EQ(code, 0) << L"the page move never completed";
    EXPECT_GT(at, 20) << L"too few changes to kill at";
}

// Runs `operation` of the stand-in on `file`, killed at each of its changes in turn from the tree
// `old` makes: after the next start the tree is `before` or, once the operation completed, `done`,
// and nothing of the import is left beside it.
void ImportKilledAtEveryChange(const wchar_t* operation, const std::wstring& file,
                               const std::function<void()>& old, const std::wstring& before,
                               const std::wstring& done, int fewest) {
    long code = 9;
    int at = 1;
    for (; code == 9 && at < 1000; ++at) {
        SCOPED_TRACE(at);
        old();
        code = KilledAt(operation, at, file);
        ASSERT_TRUE(code == 9 || code == 0) << code;
        ImportFinish();
        StartUpRepair();
        const std::wstring after = StoreTreeDump(Cu, OvKeyProduct);
        EXPECT_TRUE(after == before || after == done) << at;
        // Once it has completed, the next start keeps what it did.
        if (code == 0) {
            EXPECT_EQ(after, done);
        }
        EXPECT_FALSE(RegKeyExists(Cu, L"\\Software\\Velmora\\Orvanta.import"));
        EXPECT_FALSE(RegValueExists(Cu, L"\\Software\\Velmora", L"OrvantaImport"));
    }
    EXPECT_EQ(code, 0) << L"the operation never completed";
    EXPECT_GT(at, fewest) << L"too few changes to kill at";
}

// The tree replaced by a file's, killed at any change: after the next start the tree is the old
// one or the file's, whole.
TEST_F(Repair, AnImportKilledAtEveryChangeLeavesTheOldTreeOrTheNew) {
    TTempFolder dir;
    ConfigTreeCreate();
    PagesMake(2);
    std::wstring stored;
    PageNameSet(2, 2, L"頁 2", stored);
    RegIntWrite(Cu, OvKeyConfig, OvValSelPage, 2);
    const std::vector<BYTE> file = ExportBytes();
    ASSERT_TRUE(FileWrite(dir / L"tree.reg", std::string(file.begin(), file.end())));
    const std::wstring fresh = StoreTreeDump(Cu, OvKeyProduct);
    auto old = [] {
        RegKeyDelete(Cu, OvKeyProduct);
        ConfigTreeCreate();
        PagesMake(1);
        RegStrWrite(Cu, OvKeyOption, OvValToolBarPosTbl, L"old");
    };
    old();
    ImportKilledAtEveryChange(L"import", dir / L"tree.reg", old, StoreTreeDump(Cu, OvKeyProduct),
                              fresh, 20);
}

// Pages appended from a file, killed at any change: after the next start the pages are the ones
// before or all of them with the file's after, never a part of the file's that nobody was told of.
TEST_F(Repair, PagesAppendedKilledAtEveryChangeAreAllThereOrNone) {
    TTempFolder dir;
    ConfigTreeCreate();
    PagesMake(3);
    std::wstring stored;
    PageNameSet(2, 3, L"頁 2", stored);
    const std::vector<BYTE> file = ExportBytes();
    ASSERT_TRUE(FileWrite(dir / L"tree.reg", std::string(file.begin(), file.end())));
    auto old = [] {
        RegKeyDelete(Cu, OvKeyProduct);
        ConfigTreeCreate();
        PagesMake(2);
    };
    old();
    const std::wstring before = StoreTreeDump(Cu, OvKeyProduct);
    ImportAppend(ImportRead(file));
    ImportKilledAtEveryChange(L"append", dir / L"tree.reg", old, before,
                              StoreTreeDump(Cu, OvKeyProduct), 10);
}

// The last page's key holding no value is a creation cut short only when it holds nothing else:
// one that holds its name (a page named, then emptied and its folder value lost) is a page.
TEST_F(Repair, ALastPageHoldingOnlyItsNameStays) {
    ConfigTreeCreate();
    PageCreate(2, L"");
    std::wstring stored;
    PageNameSet(2, 2, L"名前だけ", stored);
    RegValueDelete(Cu, PageKeyPath(2), L"");
    PageCreate(3, L"");
    RegValueDelete(Cu, PageKeyPath(3), L"");
    PagesRepair();
    EXPECT_EQ(PageCount(), 2) << "only the empty key past it went";
    EXPECT_EQ(PageNameRead(2), L"名前だけ");
}

// Hand-made trees, repaired whole: gaps close in numeric order, a Data key without pages gets
// page 1, names that are no page numbers stay and are never counted.
TEST_F(Repair, GapsCloseInOrderAndForeignKeysStay) {
    struct TCase {
        std::vector<int> pages;
        std::vector<std::wstring> foreign;
        int expectedCount;
    };
    const TCase cases[] = {
        {{1, 2, 4, 5}, {}, 4}, {{2, 5, 9}, {}, 3},
        {{}, {}, 1},           {{1, 3}, {L"Backup", L"01", L"0"}, 2},
        {{}, {L"Backup"}, 1},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.pages.size());
        RegKeyDelete(Cu, OvKeyProduct);
        RegKeyCreate(Cu, OvKeyData);
        // Each page names itself in an item, so its contents show where it went.
        for (int p : c.pages) {
            PageCreate(p, p == 5 ? L"C:\\Bound" : L"");
            ItemAdd(p, L"C:\\was" + std::to_wstring(p) + L".txt");
        }
        for (const std::wstring& f : c.foreign)
            RegStrWrite(Cu, std::wstring(OvKeyPagePrefix) + f, L"Item", L"C:\\foreign.txt");
        PagesRepair();
        EXPECT_EQ(PageCount(), c.expectedCount);
        for (size_t i = 0; i < c.pages.size(); ++i) {
            const int32_t page = static_cast<int32_t>(i) + 1;
            const std::wstring was = L"was" + std::to_wstring(c.pages[i]) + L".txt";
            EXPECT_EQ(ItemPathRead(page, was), L"C:\\" + was) << page;
            EXPECT_EQ(PageFolderRead(page), c.pages[i] == 5 ? L"C:\\Bound" : L"");
        }
        if (c.pages.empty()) {
            EXPECT_EQ(StoreTreeDump(Cu, PageKeyPath(1)), L"||1|0000\n") << "page 1, ordinary";
        }
        for (const std::wstring& f : c.foreign)
            EXPECT_EQ(RegStrRead(Cu, std::wstring(OvKeyPagePrefix) + f, L"Item"),
                      L"C:\\foreign.txt");
        EXPECT_FALSE(RegKeyExists(Cu, PageKeyPath(static_cast<int32_t>(c.expectedCount) + 1)));
    }
}

// A tree that needs no repair is not written to; a marked first run is completed, an unmarked
// tree keeps its missing value missing.
TEST(RepairStore, OnlyWhatNeedsRepairIsWritten) {
    TFaultMemStore store;
    TRegStoreScope scope(store);
    ConfigTreeCreate();
    PagesMake(3);
    store.changes = 0;
    StartUpRepair();
    EXPECT_EQ(store.changes, 0);

    RegValueDelete(Cu, OvKeyOption, OvValHookKeyNo);
    StartUpRepair();
    EXPECT_FALSE(RegValueExists(Cu, OvKeyOption, OvValHookKeyNo)) << L"no mark, no repair";
    RegBoolWrite(Cu, OvKeyProduct, OvValFirstRun, true);
    StartUpRepair();
    EXPECT_EQ(RegIntRead(Cu, OvKeyOption, OvValHookKeyNo), OvDefHookKeyNo);
    EXPECT_FALSE(RegValueExists(Cu, OvKeyProduct, OvValFirstRun));
    EXPECT_EQ(PageItemCount(2), 3) << L"existing values are kept";
}

// A completion of a first run that fails part-way keeps the mark, so the next start writes what is
// still missing: a key that cannot be created raises, a write into a key refused returns false.
TEST(RepairStore, ACompletionThatFailsKeepsTheFirstRunMark) {
    for (const bool keyMissing : {true, false}) {
        SCOPED_TRACE(keyMissing);
        TFaultMemStore store;
        TRegStoreScope scope(store);
        ConfigTreeCreate();
        RegValueDelete(Cu, OvKeyOption, OvValHookKeyNo);
        keyMissing ? RegKeyDelete(Cu, OvKeyWindow) : RegValueDelete(Cu, OvKeyWindow, OvValTop);
        RegBoolWrite(Cu, OvKeyProduct, OvValFirstRun, true);
        store.refusedCreate = std::wstring(OvKeyWindow).substr(1);
        try {
            EXPECT_FALSE(ConfigTreeComplete());
        } catch (const ERegError&) {
            EXPECT_TRUE(keyMissing);
        }
        store.refusedCreate.clear();
        StartUpRepair();
        EXPECT_FALSE(RegValueExists(Cu, OvKeyProduct, OvValFirstRun));
        EXPECT_EQ(RegIntRead(Cu, OvKeyOption, OvValHookKeyNo), OvDefHookKeyNo);
        EXPECT_EQ(RegValueCount(Cu, OvKeyWindow), 4);
    }
}

// A page-move journal is acted on only when it names a move the program makes (a later page down
// to an earlier number, phase 1 or 2) and the pages hold what such a move leaves: a target that is
// a partial copy of its source (phase 1), a source the target holds whole (phase 2). Any other
// journal is dropped and every page stays. Items are "C:\<x>.txt".
TEST(RepairStore, OnlyAJournalOfARealMoveDeletesAPage) {
    using TPages = std::vector<std::vector<std::wstring>>;
    const TPages four = {{L"a", L"b"}, {L"c", L"d"}, {L"e", L"f"}, {L"g", L"h"}};
    // Pages 2 and 3 alike, as when the user added the same files to both.
    const TPages alike = {{L"a", L"b"}, {L"c", L"d"}, {L"c", L"d"}, {L"g", L"h"}};
    const TPages moved = {{L"a", L"b"}, {L"c", L"d"}, {L"g", L"h"}};
    const struct {
        const wchar_t* journal;
        TPages before, after;
    } cases[] = {
        {L"3,3,1", four, four},
        {L"3,3,2", four, four},
        {L"2,3,1", four, four},
        {L"2,3,2", four, four},
        {L"4,1,2", four, four},
        {L"2,3,1", alike, alike},
        {L"2,3,2", alike, alike},
        {L"3,3,2", alike, alike},
        {L"4,3,3", four, four},
        {L"4,03,1", four, four},
        // Cut short while page 4 was copied to number 3, or while page 4 was removed.
        {L"4,3,1", {{L"a", L"b"}, {L"c", L"d"}, {L"g"}, {L"g", L"h"}}, moved},
        {L"4,3,2", {{L"a", L"b"}, {L"c", L"d"}, {L"g", L"h"}, {L"g", L"h"}}, moved},
        // A target with what its source lacks, a source with what its target lacks, one name
        // with other data.
        {L"4,3,1", {{L"a"}, {L"c"}, {L"g", L"x"}, {L"g"}}, {{L"a"}, {L"c"}, {L"g", L"x"}, {L"g"}}},
        {L"4,3,2", {{L"a"}, {L"c"}, {L"g"}, {L"g", L"h"}}, {{L"a"}, {L"c"}, {L"g"}, {L"g", L"h"}}},
        {L"2,1,1", {{L"old\\g"}, {L"g"}}, {{L"old\\g"}, {L"g"}}},
        // Cut short while page 2 was copied past the last page (a page moved back), or removed.
        {L"2,5,1",
         {{L"a"}, {L"c", L"d"}, {L"e"}, {L"g"}, {L"c"}},
         {{L"a"}, {L"c", L"d"}, {L"e"}, {L"g"}}},
        {L"2,5,2",
         {{L"a"}, {L"c"}, {L"e"}, {L"g"}, {L"c", L"d"}},
         {{L"a"}, {L"e"}, {L"g"}, {L"c", L"d"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.journal);
        TMemStoreEnv env;
        for (size_t i = 0; i < c.before.size(); ++i) {
            PageCreate(static_cast<int32_t>(i) + 1, L"");
            for (const std::wstring& item : c.before[i])
                ItemAdd(static_cast<int32_t>(i) + 1, L"C:\\" + item + L".txt");
        }
        RegStrWrite(Cu, OvKeyData, OvValPageMove, c.journal);
        PagesRepair();
        EXPECT_FALSE(RegValueExists(Cu, OvKeyData, OvValPageMove));
        TPages after(static_cast<size_t>(PageCount()));
        for (size_t i = 0; i < after.size(); ++i) {
            TPageEntries entries;
            PageItemsRead(static_cast<int32_t>(i) + 1, entries);
            for (const TPageEntry& e : entries)
                after[i].push_back(e.path.substr(3, e.path.size() - 7));
        }
        EXPECT_EQ(after, c.after);
    }
}

// A page key that cannot be deleted stops the deletion before anything moves; a copy that fails
// part-way removes what it made and leaves its source whole.
TEST(RepairStore, FailuresLeaveTheTreeAsItWas) {
    TFaultMemStore store;
    TRegStoreScope scope(store);
    ConfigTreeCreate();
    PagesMake(4);
    const std::wstring before = DataDump();
    store.refusedKey = PageKeyPath(2).substr(1);
    try {
        PageRemove(2, 4);
        ADD_FAILURE() << L"no error";
    } catch (const ERegError& e) {
        EXPECT_EQ(e.Message(), L"キー " + PageKeyPath(2) + L" の削除に失敗しました");
    }
    EXPECT_EQ(DataDump(), before);
    EXPECT_THROW(PageClear(2), ERegError);
    EXPECT_EQ(DataDump(), before);
    store.refusedKey.clear();

    store.failedRead = L"mid3.txt";
    const std::wstring page3 = StoreTreeDump(Cu, PageKeyPath(3));
    EXPECT_THROW(RegKeyMove(Cu, PageKeyPath(3), PageKeyPath(7)), ERegError);
    EXPECT_FALSE(RegKeyExists(Cu, PageKeyPath(7)));
    store.failedRead.clear();
    EXPECT_EQ(StoreTreeDump(Cu, PageKeyPath(3)), page3);
}

// The real program finishes a deletion that was cut short before it shows a page.
TEST_F(Repair, TheProgramRepairsAtStart) {
    ConfigTreeCreate();
    PagesMake(4);
    // Killed while page 4 was being copied to number 3: a partial target, the journal in phase 1.
    RegKeyDelete(Cu, PageKeyPath(3));
    RegStrWrite(Cu, OvKeyData, OvValPageMove, L"4,3,1");
    RegStrWrite(Cu, PageKeyPath(3), L"", L"");
    TLauncher l = TLauncher::Start(ExeFolder());
    HWND main = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (main = FindTopLevel(l.pid, L"TFrmOvMain", true)); }, 15000));
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(l.Wait(15000), 0);
    EXPECT_EQ(PageCount(), 3);
    EXPECT_EQ(ItemPathRead(3, L"alpha4.txt"), L"C:\\p4\\alpha4.txt");
    EXPECT_EQ(PageItemCount(3), 3);
    EXPECT_FALSE(RegValueExists(Cu, OvKeyData, OvValPageMove));
}

} // namespace

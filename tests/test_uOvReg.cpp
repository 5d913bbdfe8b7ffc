// Page and item store: pages, items, renames, refresh and renumbering, on the in-memory store
// (where creation order is asserted) and on the Win32 registry.
#include "uCmnFile.h"
#include "uCmnReg.h"
#include "uOvReg.h"
#include "uOvRegDef.h"
#include "uTestFiles.h"
#include "uTestRegStores.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <utility>

namespace {

const HKEY Cu = HKEY_CURRENT_USER;

// A page's values as (name, data), the default value included.
using TValues = std::vector<std::pair<std::wstring, std::wstring>>;

TValues PageValues(int32_t page) {
    std::vector<std::wstring> names;
    PageItemNames(page, names);
    TValues values;
    for (const std::wstring& name : names)
        values.emplace_back(name, RegStrRead(Cu, PageKeyPath(page), name));
    return values;
}

// The items only, sorted: for pages whose order comes from the file system.
TValues ItemsSorted(int32_t page) {
    TValues values = PageValues(page);
    values.erase(
        std::remove_if(values.begin(), values.end(), [](const auto& v) { return v.first.empty(); }),
        values.end());
    std::sort(values.begin(), values.end());
    return values;
}

template <typename TEnv> class OvRegTest : public testing::Test {
  protected:
    void SetUp() override { ProgramStateRemove(); }
    void TearDown() override {
        RegKeyDelete(Cu, OvKeyProduct);
        EXPECT_EQ(env_.OpenKeys(), 0u) << L"a key was left open";
    }
    // Where the store does not keep creation order (Wine), both sides are compared sorted.
    static TValues Order(TValues values) {
        if (!TEnv::Ordered())
            std::sort(values.begin(), values.end());
        return values;
    }
    static TValues Values(int32_t page) { return Order(PageValues(page)); }

    TEnv env_;
};

using TStores = testing::Types<TMemStoreEnv, TWin32StoreEnv>;
TYPED_TEST_SUITE(OvRegTest, TStores, TStoreEnvNames);

} // namespace

TYPED_TEST(OvRegTest, PagesStartWithTheirFolderAndCountTheirItems) {
    EXPECT_EQ(PageKeyPath(12), L"\\Software\\Velmora\\Orvanta\\Data\\12");
    EXPECT_EQ(PageCount(), 0);
    EXPECT_TRUE(PageCreate(1, L""));
    EXPECT_TRUE(PageCreate(2, L"C:\\Docs"));
    EXPECT_EQ(PageCount(), 2);
    EXPECT_EQ(this->Values(1), (TValues{{L"", L""}}));
    EXPECT_EQ(PageFolderRead(2), L"C:\\Docs");
    EXPECT_EQ(PageFolderRead(3), L"");
    EXPECT_EQ(PageItemCount(1), 0);
    EXPECT_EQ(PageItemCount(9), 0) << L"an absent page";

    ASSERT_TRUE(ItemAdd(2, L"C:\\a\\one.txt"));
    ASSERT_TRUE(ItemAdd(2, L"C:\\a\\two.txt"));
    ASSERT_TRUE(ItemAdd(2, L"C:\\a\\three.txt"));
    EXPECT_EQ(PageItemCount(2), 3);
    EXPECT_EQ(PageFolderRead(2), L"C:\\Docs");
}

TYPED_TEST(OvRegTest, ItemsAreNamedByDisplayNameAndUniqueWithoutRegardToCase) {
    // The store refuses nothing on a folder page, and no item may touch its binding.
    PageCreate(1, L"C:\\Bound");
    EXPECT_TRUE(ItemAdd(1, L"C:\\Tools\\Report.lnk"));
    EXPECT_TRUE(ItemAdd(1, L"C:\\Tools\\notes.txt"));
    EXPECT_TRUE(ItemAdd(1, L"C:\\dir\\ソ")); // its second byte is 0x5C
    EXPECT_FALSE(ItemAdd(1, L"D:\\Other\\REPORT"));
    EXPECT_FALSE(ItemAdd(1, L"D:\\Other\\report.LNK"));
    EXPECT_FALSE(ItemAdd(1, L"E:\\NOTES.TXT"));
    for (const wchar_t* emptyName : {L"C:\\", L"C:", L"C:\\x\\.lnk", L"C:\\x\\.LNK"})
        EXPECT_FALSE(ItemAdd(1, emptyName)) << emptyName;
    EXPECT_EQ(this->Values(1), this->Order({{L"", L"C:\\Bound"},
                                            {L"Report", L"C:\\Tools\\Report.lnk"},
                                            {L"notes.txt", L"C:\\Tools\\notes.txt"},
                                            {L"ソ", L"C:\\dir\\ソ"}}));

    EXPECT_EQ(ItemPathRead(1, L"REPORT"), L"C:\\Tools\\Report.lnk");
    EXPECT_EQ(ItemPathRead(1, L"Nothing"), L"");
    ItemRemove(1, L"NOTES.txt");
    ItemRemove(1, L"Nothing");
    ItemRemove(1, L"");
    EXPECT_EQ(this->Values(1), this->Order({{L"", L"C:\\Bound"},
                                            {L"Report", L"C:\\Tools\\Report.lnk"},
                                            {L"ソ", L"C:\\dir\\ソ"}}));
}

TYPED_TEST(OvRegTest, RenameRefusesBlankAndTakenNamesAndKeepsTheTextAsTyped) {
    PageCreate(1, L"");
    ItemAdd(1, L"C:\\t\\Tools.lnk");
    ItemAdd(1, L"C:\\m\\Memo.txt");
    ItemAdd(1, L"C:\\g\\Game.exe");
    const TValues before = this->Values(1);

    for (const wchar_t* refused : {L"", L" ", L"\t\r\n \x01", L"Tools", L"TOOLS", L"memo.TXT"})
        EXPECT_FALSE(ItemRename(1, L"Tools", refused)) << '"' << refused << '"';
    EXPECT_FALSE(ItemRename(1, L"Nothing", L"New"));
    EXPECT_FALSE(ItemRename(1, L"", L"Folder"));
    EXPECT_EQ(this->Values(1), before);

    EXPECT_TRUE(ItemRename(1, L"tools", L" Box "));
    // Half-width katakana are single bytes above 0x7F: text, not blanks.
    EXPECT_TRUE(ItemRename(1, L"Memo.txt", L"ｱｲ"));
    EXPECT_EQ(this->Values(1), this->Order({{L"", L""},
                                            {L"Game.exe", L"C:\\g\\Game.exe"},
                                            {L" Box ", L"C:\\t\\Tools.lnk"},
                                            {L"ｱｲ", L"C:\\m\\Memo.txt"}}));
}

TYPED_TEST(OvRegTest, ClearDropsTheItemsAndTheFolderBinding) {
    PageCreate(1, L"C:\\Watched");
    ItemAdd(1, L"C:\\Watched\\a.txt");
    PageCreate(2, L"");
    ItemAdd(2, L"C:\\b.txt");
    PageClear(1);
    EXPECT_EQ(this->Values(1), (TValues{{L"", L""}}));
    EXPECT_EQ(RegValueCount(Cu, PageKeyPath(1)), 1);
    EXPECT_EQ(this->Values(2), this->Order({{L"", L""}, {L"b.txt", L"C:\\b.txt"}}));
    EXPECT_EQ(PageCount(), 2);
}

TYPED_TEST(OvRegTest, RemoveMovesTheLaterPagesDownWithTheirItemsAndOrder) {
    constexpr int32_t total = 5;
    struct TCase {
        int32_t removed;
        std::vector<int32_t> left; // former numbers of the pages that remain, in order
    };
    for (const TCase& c :
         {TCase{3, {1, 2, 4, 5}}, TCase{5, {1, 2, 3, 4}}, TCase{1, {2, 3, 4, 5}}}) {
        SCOPED_TRACE(c.removed);
        RegKeyDelete(Cu, OvKeyProduct);
        std::vector<TValues> pages(total + 1);
        for (int32_t k = 1; k <= total; ++k) {
            const std::wstring n = std::to_wstring(k);
            PageCreate(k, k % 2 ? L"C:\\Folder" + n : L"");
            // Created out of name order, so a move that sorted or reversed would show.
            for (const wchar_t* name : {L"zeta", L"mid", L"alpha"})
                ItemAdd(k, L"C:\\p" + n + L"\\" + name + n + L".txt");
            pages[k] = this->Values(k);
        }
        PageRemove(c.removed, total);
        EXPECT_EQ(PageCount(), total - 1);
        EXPECT_FALSE(RegKeyExists(Cu, PageKeyPath(total)));
        for (size_t i = 0; i < c.left.size(); ++i)
            EXPECT_EQ(this->Values(static_cast<int32_t>(i) + 1), pages[c.left[i]]) << i + 1;
    }
}

TYPED_TEST(OvRegTest, RefreshOfAnOrdinaryPageKeepsOnlyExistingFiles) {
    TTempFolder dir;
    ASSERT_TRUE(FileWrite(dir / L"a.txt", "a"));
    ASSERT_TRUE(FileWrite(dir / L"keep.lnk", "not a shortcut")); // its target does not matter
    ASSERT_TRUE(FileWrite(dir / L"b.txt", "b"));
    ASSERT_TRUE(::CreateDirectoryW((dir / L"sub").c_str(), nullptr));
    PageCreate(1, L"");
    for (const wchar_t* name : {L"a.txt", L"gone.txt", L"sub", L"keep.lnk", L"b.txt"})
        ASSERT_TRUE(ItemAdd(1, dir / name));
    ASSERT_TRUE(::DeleteFileW((dir / L"b.txt").c_str()));

    PageRefresh(1);
    EXPECT_EQ(this->Values(1),
              this->Order({{L"", L""}, {L"a.txt", dir / L"a.txt"}, {L"keep", dir / L"keep.lnk"}}));

    // A page whose first value is an item: that item is examined and the binding survives.
    RegStrWrite(Cu, PageKeyPath(2), L"lost", dir / L"lost.txt");
    RegStrWrite(Cu, PageKeyPath(2), L"", L"");
    PageRefresh(2);
    EXPECT_EQ(this->Values(2), (TValues{{L"", L""}}));
}

TYPED_TEST(OvRegTest, RefreshOfAFolderPageFollowsTheFolderUntilItIsGone) {
    TTempFolder dir;
    const std::wstring folder = dir / L"Watched";
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    ASSERT_TRUE(FileWrite(folder + L"\\a.txt", "a"));
    ASSERT_TRUE(FileWrite(folder + L"\\b.txt", "b"));
    ASSERT_TRUE(::CreateDirectoryW((folder + L"\\sub").c_str(), nullptr));
    PageCreate(1, L"");
    std::vector<std::wstring> listing;
    FolderList(folder, L"*", listing);
    PageFolderAdd(2, folder, listing);
    EXPECT_EQ(ItemsSorted(2), (TValues{{L"a.txt", folder + L"\\a.txt"},
                                       {L"b.txt", folder + L"\\b.txt"},
                                       {L"sub", folder + L"\\sub"}}));

    ASSERT_TRUE(::DeleteFileW((folder + L"\\a.txt").c_str()));
    ASSERT_TRUE(FileWrite(folder + L"\\c.lnk", "c"));
    PageRefresh(2);
    EXPECT_EQ(PageFolderRead(2), folder);
    EXPECT_EQ(PageValues(2).front().first, L"");
    EXPECT_EQ(ItemsSorted(2), (TValues{{L"b.txt", folder + L"\\b.txt"},
                                       {L"c", folder + L"\\c.lnk"},
                                       {L"sub", folder + L"\\sub"}}));

    for (const wchar_t* name : {L"b.txt", L"c.lnk"})
        ASSERT_TRUE(::DeleteFileW((folder + L"\\" + name).c_str()));
    ASSERT_TRUE(::RemoveDirectoryW((folder + L"\\sub").c_str()));
    ASSERT_TRUE(::RemoveDirectoryW(folder.c_str()));
    PageRefresh(2);
    EXPECT_EQ(this->Values(2), (TValues{{L"", L""}}));

    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    ASSERT_TRUE(FileWrite(folder + L"\\back.txt", "x"));
    PageRefresh(2);
    EXPECT_EQ(this->Values(2), (TValues{{L"", L""}}));
    EXPECT_EQ(PageCount(), 2);
}

TYPED_TEST(OvRegTest, FolderEntriesWithOneDisplayNameGiveOneItemTheFirstListed) {
    TTempFolder dir;
    ASSERT_TRUE(FileWrite(dir / L"Report.lnk", "link"));
    ASSERT_TRUE(FileWrite(dir / L"Report", "file"));
    std::vector<std::wstring> listing;
    FolderList(dir.Path(), L"*", listing);
    ASSERT_EQ(listing.size(), 2u);

    PageFolderAdd(1, dir.Path(), listing);
    EXPECT_EQ(ItemsSorted(1), (TValues{{L"Report", listing.front()}}));
    PageRefresh(1);
    EXPECT_EQ(ItemsSorted(1), (TValues{{L"Report", listing.front()}}));
}

// A folder page brought in line in place holds exactly what a page made afresh from the folder
// holds, after entries were added, removed, renamed in letter case and replaced by an entry of
// another kind under the same display name.
TYPED_TEST(OvRegTest, ChangedFolderRefreshesToWhatANewPageWouldHold) {
    TTempFolder dir;
    for (const wchar_t* name : {L"a.txt", L"Report.lnk", L"case.txt", L"keep.txt"})
        ASSERT_TRUE(FileWrite(dir / name, "x"));
    std::vector<std::wstring> listing;
    FolderList(dir.Path(), L"*", listing);
    PageFolderAdd(1, dir.Path(), listing);

    ASSERT_TRUE(::DeleteFileW((dir / L"a.txt").c_str()));
    ASSERT_TRUE(::DeleteFileW((dir / L"Report.lnk").c_str()));
    ASSERT_TRUE(::CreateDirectoryW((dir / L"Report").c_str(), nullptr));
    // In two steps: Wine takes a rename in letter case only for a rename onto itself.
    ASSERT_TRUE(::MoveFileW((dir / L"case.txt").c_str(), (dir / L"moving").c_str()));
    ASSERT_TRUE(::MoveFileW((dir / L"moving").c_str(), (dir / L"CASE.txt").c_str()));
    ASSERT_TRUE(FileWrite(dir / L"new.txt", "n"));
    TPageEntries entries;
    PageRefresh(1, entries);

    FolderList(dir.Path(), L"*", listing);
    PageFolderAdd(2, dir.Path(), listing);
    EXPECT_EQ(ItemsSorted(1), ItemsSorted(2));
    EXPECT_EQ(ItemsSorted(1), (TValues{{L"CASE.txt", dir / L"CASE.txt"},
                                       {L"Report", dir / L"Report"},
                                       {L"keep.txt", dir / L"keep.txt"},
                                       {L"new.txt", dir / L"new.txt"}}));
    EXPECT_EQ(PageValues(1).front(), (std::pair<std::wstring, std::wstring>{L"", dir.Path()}));
    // The refresh hands on what it found for each item: the entries the rows are made of.
    TValues found;
    for (const TPageEntry& e : entries) {
        EXPECT_TRUE(e.found);
        EXPECT_EQ(e.record.Name, PathName(e.path));
        found.emplace_back(e.name, e.path);
    }
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, ItemsSorted(1));
}

// An unchanged folder costs no write at all, and a changed one never takes the page key or its
// binding away, so a refresh cut short leaves a bound page the next visit completes.
TEST(FolderPageRefresh, WritesOnlyWhatChangedAndKeepsTheBinding) {
    TFaultMemStore store;
    TRegStoreScope scope(store);
    TTempFolder dir;
    for (const wchar_t* name : {L"a.txt", L"b.txt"})
        ASSERT_TRUE(FileWrite(dir / name, "x"));
    std::vector<std::wstring> listing;
    FolderList(dir.Path(), L"*", listing);
    PageFolderAdd(1, dir.Path(), listing);

    store.changes = 0;
    store.defaultTouched = false;
    PageRefresh(1);
    EXPECT_EQ(store.changes, 0);

    ASSERT_TRUE(::DeleteFileW((dir / L"a.txt").c_str()));
    ASSERT_TRUE(FileWrite(dir / L"c.txt", "c"));
    PageRefresh(1);
    EXPECT_EQ(store.changes, 2) << L"one deletion, one addition";
    EXPECT_EQ(store.keysDeleted, 0);
    EXPECT_FALSE(store.defaultTouched);
}

// What cannot be reached is not gone: items on a drive that does not exist or below a share that
// does not answer stay (without a row), while a file deleted from a folder that answers goes, also
// from the root of a drive that holds nothing; a folder page whose drive does not answer keeps its
// binding and its items.
TYPED_TEST(OvRegTest, UnreachableItemsStayAndVanishedOnesGo) {
    TTempFolder dir;
    ASSERT_TRUE(FileWrite(dir / L"here.txt", "x"));
    ASSERT_TRUE(::CreateDirectoryW((dir / L"empty").c_str(), nullptr));
    const TDriveLetter emptyDrive(dir / L"empty");
    ASSERT_FALSE(emptyDrive.Root().empty());
    const std::wstring stick = UnusedDrive() + L"\\stick";
    PageCreate(1, L"");
    for (const std::wstring& path :
         {dir / L"here.txt", dir / L"deleted.txt", stick + L"\\a.txt",
          std::wstring(L"\\\\ov-no-such-host\\share\\b.txt"), emptyDrive.Root() + L"gone.txt",
          dir / L"here.txt\\inside.txt", dir / L"a<b.txt"})
        ASSERT_TRUE(ItemAdd(1, path));
    TPageEntries entries;
    PageRefresh(1, entries);
    std::vector<std::wstring> names;
    for (const auto& item : ItemsSorted(1))
        names.push_back(item.first);
    // A name the look-up refuses is not known to be gone either.
    EXPECT_EQ(names, (std::vector<std::wstring>{L"a.txt", L"a<b.txt", L"b.txt", L"here.txt"}));
    ASSERT_EQ(entries.size(), 1u) << L"only what is there gets a row";
    EXPECT_EQ(entries[0].name, L"here.txt");

    PageCreate(2, stick);
    ItemAdd(2, stick + L"\\c.txt");
    const TValues bound = this->Values(2);
    PageRefresh(2, entries);
    EXPECT_EQ(this->Values(2), bound);
    EXPECT_TRUE(entries.empty());
}

// A folder link whose disk is gone and a folder that cannot be read lose nothing: the ordinary
// page keeps the items below them (without rows), the folder pages (bound to the link and to a
// folder below it) their bindings and items. A folder that was deleted takes its items along,
// and its folder pages become empty ordinary pages.
TEST(PathFaults, ItemsBelowAFolderThatCannotBeReadStayAndADeletedFolderTakesItsOwn) {
    enum TFault { DeadLink, Denied, Deleted };
    for (const TFault fault : {DeadLink, Denied, Deleted}) {
        SCOPED_TRACE(fault);
        TMemStoreEnv env;
        TTempFolder dir;
        const std::wstring disk = dir / L"disk", tools = dir / L"Tools";
        for (const std::wstring& folder : {disk, disk + L"\\bin", disk + L"\\docs"})
            ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
        for (const wchar_t* name : {L"bin\\a.txt", L"bin\\b.txt", L"docs\\c.txt"})
            ASSERT_TRUE(FileWrite(disk + L"\\" + name, "x"));
        std::optional<TFolderLink> link;
        if (fault != DeadLink) {
            ASSERT_TRUE(::MoveFileW(disk.c_str(), tools.c_str()));
        } else if (!link.emplace(tools, disk).Made()) {
            GTEST_SKIP() << L"no right to make a folder link";
        }
        PageCreate(1, L"");
        ItemAdd(1, tools + L"\\bin\\a.txt");
        ItemAdd(1, tools + L"\\bin\\b.txt");
        for (const std::wstring& folder : {tools + L"\\docs", tools}) {
            std::vector<std::wstring> listing;
            FolderList(folder, L"*", listing);
            PageFolderAdd(PageCount() + 1, folder, listing);
        }
        const TValues before[] = {PageValues(1), PageValues(2), PageValues(3)};

        const TLookUpFault denied(fault == Denied ? tools : dir / L"none");
        TreeDelete(fault == DeadLink ? disk : fault == Deleted ? tools : dir / L"none");
        for (int32_t page = 1; page <= 3; ++page) {
            TPageEntries entries;
            PageRefresh(page, entries);
            EXPECT_TRUE(entries.empty());
            const TValues emptyPage = {{L"", L""}};
            EXPECT_EQ(PageValues(page), fault == Deleted ? emptyPage : before[page - 1]) << page;
        }
    }
}

// A folder whose parent denies listing can still be read itself: its page stays bound and
// follows it.
TEST(PathFaults, AFolderPageWhoseParentCannotBeListedFollowsItsFolder) {
    TMemStoreEnv env;
    TTempFolder dir;
    const std::wstring folder = dir / L"Tools";
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    ASSERT_TRUE(FileWrite(folder + L"\\a.txt", "a"));
    PageFolderAdd(1, folder, {folder + L"\\a.txt"});
    ASSERT_TRUE(FileWrite(folder + L"\\b.txt", "b"));

    const TLookUpFault denied(dir.Path(), true);
    TPageEntries entries;
    PageRefresh(1, entries);
    EXPECT_EQ(PageFolderRead(1), folder);
    EXPECT_EQ(ItemsSorted(1),
              (TValues{{L"a.txt", folder + L"\\a.txt"}, {L"b.txt", folder + L"\\b.txt"}}));
    EXPECT_EQ(entries.size(), 2u);
}

// A value that is not a string is no item: the other items are refreshed, the value stays as it
// is through refreshes and page moves, and the refresh names it. On a folder page it keeps its
// name from the folder's entry.
TYPED_TEST(OvRegTest, ValuesOfAnotherTypeAreLeftAsTheyAre) {
    TTempFolder dir;
    for (const wchar_t* name : {L"a.txt", L"odd"})
        ASSERT_TRUE(FileWrite(dir / name, "x"));
    for (int32_t page = 1; page <= 3; ++page)
        PageCreate(page, page == 3 ? dir.Path() : L"");
    RegIntWrite(Cu, PageKeyPath(2), L"odd", 7);
    RegIntWrite(Cu, PageKeyPath(3), L"odd", 8);
    ItemAdd(2, dir / L"a.txt");
    for (int32_t page = 2; page <= 3; ++page) {
        TPageEntries entries;
        EXPECT_EQ(PageRefresh(page, entries), L"odd") << page;
        EXPECT_EQ(entries.size(), 1u) << page;
    }
    PageRemove(1, 3);
    EXPECT_EQ(RegIntRead(Cu, PageKeyPath(1), L"odd"), 7);
    EXPECT_EQ(RegIntRead(Cu, PageKeyPath(2), L"odd"), 8);
}

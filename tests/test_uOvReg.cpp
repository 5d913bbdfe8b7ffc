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
using TValues = std::vector<std::pair<std::string, std::string>>;

TValues PageValues(int32_t page) {
    std::vector<std::string> names;
    PageItemNames(page, names);
    TValues values;
    for (const std::string& name : names)
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
    void SetUp() override { RegKeyDelete(Cu, OvKeyProduct); }
    void TearDown() override {
        RegKeyDelete(Cu, OvKeyProduct);
        EXPECT_EQ(env_.OpenKeys(), 0u) << "a key was left open";
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
    EXPECT_EQ(PageKeyPath(12), "\\Software\\Velmora\\Orvanta\\Data\\12");
    EXPECT_EQ(PageCount(), 0);
    EXPECT_TRUE(PageCreate(1, ""));
    EXPECT_TRUE(PageCreate(2, "C:\\Docs"));
    EXPECT_EQ(PageCount(), 2);
    EXPECT_EQ(this->Values(1), (TValues{{"", ""}}));
    EXPECT_EQ(PageFolderRead(2), "C:\\Docs");
    EXPECT_EQ(PageFolderRead(3), "");
    EXPECT_EQ(PageItemCount(1), 0);
    EXPECT_EQ(PageItemCount(9), 0) << "an absent page";

    ASSERT_TRUE(ItemAdd(2, "C:\\a\\one.txt"));
    ASSERT_TRUE(ItemAdd(2, "C:\\a\\two.txt"));
    ASSERT_TRUE(ItemAdd(2, "C:\\a\\three.txt"));
    EXPECT_EQ(PageItemCount(2), 3);
    EXPECT_EQ(PageFolderRead(2), "C:\\Docs");
}

TYPED_TEST(OvRegTest, ItemsAreNamedByDisplayNameAndUniqueWithoutRegardToCase) {
    // The store refuses nothing on a folder page, and no item may touch its binding.
    PageCreate(1, "C:\\Bound");
    EXPECT_TRUE(ItemAdd(1, "C:\\Tools\\Report.lnk"));
    EXPECT_TRUE(ItemAdd(1, "C:\\Tools\\notes.txt"));
    EXPECT_TRUE(ItemAdd(1, "C:\\dir\\ソ")); // its second byte is 0x5C
    EXPECT_FALSE(ItemAdd(1, "D:\\Other\\REPORT"));
    EXPECT_FALSE(ItemAdd(1, "D:\\Other\\report.LNK"));
    EXPECT_FALSE(ItemAdd(1, "E:\\NOTES.TXT"));
    for (const char* emptyName : {"C:\\", "C:", "C:\\x\\.lnk", "C:\\x\\.LNK"})
        EXPECT_FALSE(ItemAdd(1, emptyName)) << emptyName;
    EXPECT_EQ(this->Values(1), this->Order({{"", "C:\\Bound"},
                                            {"Report", "C:\\Tools\\Report.lnk"},
                                            {"notes.txt", "C:\\Tools\\notes.txt"},
                                            {"ソ", "C:\\dir\\ソ"}}));

    EXPECT_EQ(ItemPathRead(1, "REPORT"), "C:\\Tools\\Report.lnk");
    EXPECT_EQ(ItemPathRead(1, "Nothing"), "");
    ItemRemove(1, "NOTES.txt");
    ItemRemove(1, "Nothing");
    ItemRemove(1, "");
    EXPECT_EQ(this->Values(1),
              this->Order(
                  {{"", "C:\\Bound"}, {"Report", "C:\\Tools\\Report.lnk"}, {"ソ", "C:\\dir\\ソ"}}));
}

TYPED_TEST(OvRegTest, RenameRefusesBlankAndTakenNamesAndKeepsTheTextAsTyped) {
    PageCreate(1, "");
    ItemAdd(1, "C:\\t\\Tools.lnk");
    ItemAdd(1, "C:\\m\\Memo.txt");
    ItemAdd(1, "C:\\g\\Game.exe");
    const TValues before = this->Values(1);

    for (const char* refused : {"", " ", "\t\r\n \x01", "Tools", "TOOLS", "memo.TXT"})
        EXPECT_FALSE(ItemRename(1, "Tools", refused)) << '"' << refused << '"';
    EXPECT_FALSE(ItemRename(1, "Nothing", "New"));
    EXPECT_FALSE(ItemRename(1, "", "Folder"));
    EXPECT_EQ(this->Values(1), before);

    EXPECT_TRUE(ItemRename(1, "tools", " Box "));
    // Half-width katakana are single bytes above 0x7F: text, not blanks.
    EXPECT_TRUE(ItemRename(1, "Memo.txt", "ｱｲ"));
    EXPECT_EQ(this->Values(1), this->Order({{"", ""},
                                            {"Game.exe", "C:\\g\\Game.exe"},
                                            {" Box ", "C:\\t\\Tools.lnk"},
                                            {"ｱｲ", "C:\\m\\Memo.txt"}}));
}

TYPED_TEST(OvRegTest, ClearDropsTheItemsAndTheFolderBinding) {
    PageCreate(1, "C:\\Watched");
    ItemAdd(1, "C:\\Watched\\a.txt");
    PageCreate(2, "");
    ItemAdd(2, "C:\\b.txt");
    PageClear(1);
    EXPECT_EQ(this->Values(1), (TValues{{"", ""}}));
    EXPECT_EQ(RegValueCount(Cu, PageKeyPath(1)), 1);
    EXPECT_EQ(this->Values(2), this->Order({{"", ""}, {"b.txt", "C:\\b.txt"}}));
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
            const std::string n = std::to_string(k);
            PageCreate(k, k % 2 ? "C:\\Folder" + n : "");
            // Created out of name order, so a move that sorted or reversed would show.
            for (const char* name : {"zeta", "mid", "alpha"})
                ItemAdd(k, "C:\\p" + n + "\\" + name + n + ".txt");
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
    ASSERT_TRUE(FileWrite(dir / "a.txt", "a"));
    ASSERT_TRUE(FileWrite(dir / "keep.lnk", "not a shortcut")); // its target does not matter
    ASSERT_TRUE(FileWrite(dir / "b.txt", "b"));
    ASSERT_TRUE(::CreateDirectoryA((dir / "sub").c_str(), nullptr));
    PageCreate(1, "");
    for (const char* name : {"a.txt", "gone.txt", "sub", "keep.lnk", "b.txt"})
        ASSERT_TRUE(ItemAdd(1, dir / name));
    ASSERT_TRUE(::DeleteFileA((dir / "b.txt").c_str()));

    PageRefresh(1);
    EXPECT_EQ(this->Values(1),
              this->Order({{"", ""}, {"a.txt", dir / "a.txt"}, {"keep", dir / "keep.lnk"}}));

    // A page whose first value is an item: that item is examined and the binding survives.
    RegStrWrite(Cu, PageKeyPath(2), "lost", dir / "lost.txt");
    RegStrWrite(Cu, PageKeyPath(2), "", "");
    PageRefresh(2);
    EXPECT_EQ(this->Values(2), (TValues{{"", ""}}));
}

TYPED_TEST(OvRegTest, RefreshOfAFolderPageFollowsTheFolderUntilItIsGone) {
    TTempFolder dir;
    const std::string folder = dir / "Watched";
    ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr));
    ASSERT_TRUE(FileWrite(folder + "\\a.txt", "a"));
    ASSERT_TRUE(FileWrite(folder + "\\b.txt", "b"));
    ASSERT_TRUE(::CreateDirectoryA((folder + "\\sub").c_str(), nullptr));
    PageCreate(1, "");
    std::vector<std::string> listing;
    FolderList(folder, "*", listing);
    PageFolderAdd(2, folder, listing);
    EXPECT_EQ(ItemsSorted(2), (TValues{{"a.txt", folder + "\\a.txt"},
                                       {"b.txt", folder + "\\b.txt"},
                                       {"sub", folder + "\\sub"}}));

    ASSERT_TRUE(::DeleteFileA((folder + "\\a.txt").c_str()));
    ASSERT_TRUE(FileWrite(folder + "\\c.lnk", "c"));
    PageRefresh(2);
    EXPECT_EQ(PageFolderRead(2), folder);
    EXPECT_EQ(PageValues(2).front().first, "");
    EXPECT_EQ(ItemsSorted(2), (TValues{{"b.txt", folder + "\\b.txt"},
                                       {"c", folder + "\\c.lnk"},
                                       {"sub", folder + "\\sub"}}));

    for (const char* name : {"b.txt", "c.lnk"})
        ASSERT_TRUE(::DeleteFileA((folder + "\\" + name).c_str()));
    ASSERT_TRUE(::RemoveDirectoryA((folder + "\\sub").c_str()));
    ASSERT_TRUE(::RemoveDirectoryA(folder.c_str()));
    PageRefresh(2);
    EXPECT_EQ(this->Values(2), (TValues{{"", ""}}));

    ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr));
    ASSERT_TRUE(FileWrite(folder + "\\back.txt", "x"));
    PageRefresh(2);
    EXPECT_EQ(this->Values(2), (TValues{{"", ""}}));
    EXPECT_EQ(PageCount(), 2);
}

TYPED_TEST(OvRegTest, FolderEntriesWithOneDisplayNameGiveOneItemTheFirstListed) {
    TTempFolder dir;
    ASSERT_TRUE(FileWrite(dir / "Report.lnk", "link"));
    ASSERT_TRUE(FileWrite(dir / "Report", "file"));
    std::vector<std::string> listing;
    FolderList(dir.Path(), "*", listing);
    ASSERT_EQ(listing.size(), 2u);

    PageFolderAdd(1, dir.Path(), listing);
    EXPECT_EQ(ItemsSorted(1), (TValues{{"Report", listing.front()}}));
    PageRefresh(1);
    EXPECT_EQ(ItemsSorted(1), (TValues{{"Report", listing.front()}}));
}

// A folder page brought in line in place holds exactly what a page made afresh from the folder
// holds, after entries were added, removed, renamed in letter case and replaced by an entry of
// another kind under the same display name.
TYPED_TEST(OvRegTest, ChangedFolderRefreshesToWhatANewPageWouldHold) {
    TTempFolder dir;
    for (const char* name : {"a.txt", "Report.lnk", "case.txt", "keep.txt"})
        ASSERT_TRUE(FileWrite(dir / name, name));
    std::vector<std::string> listing;
    FolderList(dir.Path(), "*", listing);
    PageFolderAdd(1, dir.Path(), listing);

    ASSERT_TRUE(::DeleteFileA((dir / "a.txt").c_str()));
    ASSERT_TRUE(::DeleteFileA((dir / "Report.lnk").c_str()));
    ASSERT_TRUE(::CreateDirectoryA((dir / "Report").c_str(), nullptr));
    // In two steps: Wine takes a rename in letter case only for a rename onto itself.
    ASSERT_TRUE(::MoveFileA((dir / "case.txt").c_str(), (dir / "moving").c_str()));
    ASSERT_TRUE(::MoveFileA((dir / "moving").c_str(), (dir / "CASE.txt").c_str()));
    ASSERT_TRUE(FileWrite(dir / "new.txt", "n"));
    TPageEntries entries;
    PageRefresh(1, entries);

    FolderList(dir.Path(), "*", listing);
    PageFolderAdd(2, dir.Path(), listing);
    EXPECT_EQ(ItemsSorted(1), ItemsSorted(2));
    EXPECT_EQ(ItemsSorted(1), (TValues{{"CASE.txt", dir / "CASE.txt"},
                                       {"Report", dir / "Report"},
                                       {"keep.txt", dir / "keep.txt"},
                                       {"new.txt", dir / "new.txt"}}));
    EXPECT_EQ(PageValues(1).front(), (std::pair<std::string, std::string>{"", dir.Path()}));
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
    for (const char* name : {"a.txt", "b.txt"})
        ASSERT_TRUE(FileWrite(dir / name, name));
    std::vector<std::string> listing;
    FolderList(dir.Path(), "*", listing);
    PageFolderAdd(1, dir.Path(), listing);

    store.changes = 0;
    store.defaultTouched = false;
    PageRefresh(1);
    EXPECT_EQ(store.changes, 0);

    ASSERT_TRUE(::DeleteFileA((dir / "a.txt").c_str()));
    ASSERT_TRUE(FileWrite(dir / "c.txt", "c"));
    PageRefresh(1);
    EXPECT_EQ(store.changes, 2) << "one deletion, one addition";
    EXPECT_EQ(store.keysDeleted, 0);
    EXPECT_FALSE(store.defaultTouched);
}

// What cannot be reached is not gone: items on a drive that does not exist or below a share that
// does not answer stay (without a row), while a file deleted from a folder that answers goes, also
// from the root of a drive that holds nothing; a folder page whose drive does not answer keeps its
// binding and its items.
TYPED_TEST(OvRegTest, UnreachableItemsStayAndVanishedOnesGo) {
    TTempFolder dir;
    ASSERT_TRUE(FileWrite(dir / "here.txt", "x"));
    ASSERT_TRUE(::CreateDirectoryA((dir / "empty").c_str(), nullptr));
    const TDriveLetter emptyDrive(dir / "empty");
    ASSERT_FALSE(emptyDrive.Root().empty());
    const std::string stick = UnusedDrive() + "\\stick";
    PageCreate(1, "");
    for (const std::string& path :
         {dir / "here.txt", dir / "deleted.txt", stick + "\\a.txt",
          std::string("\\\\ov-no-such-host\\share\\b.txt"), emptyDrive.Root() + "gone.txt",
          dir / "here.txt\\inside.txt", dir / "a<b.txt"})
        ASSERT_TRUE(ItemAdd(1, path));
    TPageEntries entries;
    PageRefresh(1, entries);
    std::vector<std::string> names;
    for (const auto& item : ItemsSorted(1))
        names.push_back(item.first);
    // A name the look-up refuses is not known to be gone either.
    EXPECT_EQ(names, (std::vector<std::string>{"a.txt", "a<b.txt", "b.txt", "here.txt"}));
    ASSERT_EQ(entries.size(), 1u) << "only what is there gets a row";
    EXPECT_EQ(entries[0].name, "here.txt");

    PageCreate(2, stick);
    ItemAdd(2, stick + "\\c.txt");
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
        const std::string disk = dir / "disk", tools = dir / "Tools";
        for (const std::string& folder : {disk, disk + "\\bin", disk + "\\docs"})
            ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr));
        for (const char* name : {"bin\\a.txt", "bin\\b.txt", "docs\\c.txt"})
            ASSERT_TRUE(FileWrite(disk + "\\" + name, name));
        std::optional<TFolderLink> link;
        if (fault != DeadLink) {
            ASSERT_TRUE(::MoveFileA(disk.c_str(), tools.c_str()));
        } else if (!link.emplace(tools, disk).Made()) {
            GTEST_SKIP() << "no right to make a folder link";
        }
        PageCreate(1, "");
        ItemAdd(1, tools + "\\bin\\a.txt");
        ItemAdd(1, tools + "\\bin\\b.txt");
        for (const std::string& folder : {tools + "\\docs", tools}) {
            std::vector<std::string> listing;
            FolderList(folder, "*", listing);
            PageFolderAdd(PageCount() + 1, folder, listing);
        }
        const TValues before[] = {PageValues(1), PageValues(2), PageValues(3)};

        const TLookUpFault denied(fault == Denied ? tools : dir / "none");
        TreeDelete(fault == DeadLink ? disk : fault == Deleted ? tools : dir / "none");
        for (int32_t page = 1; page <= 3; ++page) {
            TPageEntries entries;
            PageRefresh(page, entries);
            EXPECT_TRUE(entries.empty());
            const TValues emptyPage = {{"", ""}};
            EXPECT_EQ(PageValues(page), fault == Deleted ? emptyPage : before[page - 1]) << page;
        }
    }
}

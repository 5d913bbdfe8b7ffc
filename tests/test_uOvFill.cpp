// A dropped folder's items listed on threads and written into the store a slice at a time: each
// listing is its own folder's, whole, however many are listed at once; the writes go to their page
// wherever it moved, none to a page gone, and a close writes what remains.
#include "uCmnFile.h"
#include "uCmnReg.h"
#include "uOvFill.h"
#include "uOvReg.h"
#include "uOvRegDef.h"
#include "uTestFiles.h"
#include "uTestRegStores.h"
#include "uTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

namespace {

const HKEY Cu = HKEY_CURRENT_USER;

class Fill : public ::testing::Test {
  protected:
    void SetUp() override { ProgramStateRemove(); }
    void TearDown() override { ProgramStateRemove(); }

    // A folder of `count` files named after it.
    std::wstring FolderMake(const std::wstring& name, int count) {
        const std::wstring folder = dir / name;
        ::CreateDirectoryW(folder.c_str(), nullptr);
        for (int i = 0; i < count; ++i)
            FileWrite(folder + L"\\" + name + L" " + std::to_wstring(i) + L".txt", "");
        return folder;
    }
    static std::set<std::wstring> Names(const TPageEntries& items) {
        std::set<std::wstring> names;
        for (const TPageEntry& item : items)
            names.insert(item.name);
        return names;
    }
    static std::set<std::wstring> StoredNames(int32_t page) {
        TPageEntries items;
        PageItemsRead(page, items);
        return Names(items);
    }

    TTempFolder dir;
};

} // namespace

// Several folders listed at once on their listers and one on the window's thread, round after
// round, each taken the moment its lister is done: a listing is always its own folder's and whole
// (one published before it was whole, or a search shared between threads, gave a page another's
// names or part of its own).
TEST_F(Fill, ListingsAtOnceAreEachTheirOwnFolderWhole) {
    const std::wstring folders[] = {FolderMake(L"a", 300), FolderMake(L"b", 40),
                                    FolderMake(L"c", 700), FolderMake(L"d", 1)};
    std::map<int32_t, std::set<std::wstring>> expected;
    for (int32_t page = 1; page <= 4; ++page) {
        PageCreate(page, folders[page - 1]);
        expected[page] = Names(PageFolderItems(page, folders[page - 1]));
    }
    for (int round = 0; round < 12; ++round) {
        SCOPED_TRACE(round);
        TPageFill fill;
        for (int32_t page = 1; page <= 4; ++page)
            fill.List(page, folders[page - 1]);
        // The window's thread lists a folder of its own meanwhile, as a page's refresh does.
        std::map<int32_t, std::set<std::wstring>> listed;
        int ownWrong = 0;
        for (int spins = 0; listed.size() < 4 && spins < 2000000; ++spins) {
            for (auto& [page, items] : fill.Listed())
                listed[page] = Names(items);
            ownWrong += Names(PageFolderItems(3, folders[2])) != expected[3];
        }
        EXPECT_EQ(listed, expected);
        EXPECT_EQ(ownWrong, 0);
        fill.Finish();
    }
    for (int32_t page = 1; page <= 4; ++page)
        EXPECT_EQ(StoredNames(page), expected[page]) << page;
}

// The writes follow their page: an earlier page deleted moves them down with it; their own page
// deleted drops them (no key of a page numbered 0 appears, no other page gets them); the close
// writes what remains, also of a listing still under way.
TEST_F(Fill, WritesFollowTheirPageAndTheCloseWritesTheRest) {
    const std::wstring big = FolderMake(L"big", 2000), small = FolderMake(L"small", 50);
    PageCreate(1, L"");
    ItemAdd(1, dir / L"one.txt");
    PageCreate(2, L"");
    PageCreate(3, big);
    {
        TPageFill fill;
        fill.List(3, big);
        fill.Finish();
    }
    ASSERT_EQ(PageItemCount(3), 2000);

    RegKeyDelete(Cu, PageKeyPath(3));
    PageCreate(3, big);
    PageCreate(4, small);
    TPageFill fill;
    fill.List(3, big);
    fill.List(4, small);
    for (int spins = 0; (fill.Listing(3) || fill.Listing(4)) && spins < 2000000; ++spins)
        fill.Listed();
    ASSERT_EQ(fill.Pending(3) + fill.Pending(4), 2050u);
    PageRemove(2, 4);
    EXPECT_EQ(fill.Pending(2), 2000u) << "moved down with their pages";
    EXPECT_EQ(fill.Pending(3), 50u);
    PageRemove(2, 3);
    while (fill.Step(50)) {
    }
    fill.Finish();
    EXPECT_EQ(PageCount(), 2);
    EXPECT_EQ(StoredNames(1), (std::set<std::wstring>{L"one.txt"}));
    EXPECT_EQ(PageItemCount(2), 50);
    EXPECT_EQ(PageFolderRead(2), small);
    EXPECT_FALSE(RegKeyExists(Cu, PageKeyPath(0)));
    EXPECT_FALSE(RegKeyExists(Cu, PageKeyPath(3)));
}

// Page names and items moved between pages, on the in-memory store and the Win32 registry: after
// every step of a table the store equals a model of the pages (names, folders, items), so a name
// left behind by a renumbering or an item lost or doubled by a move shows at the step that did it.
#include "uCmnReg.h"
#include "uOvPages.h"
#include "uOvReg.h"
#include "uOvRegDef.h"
#include "uTestRegStores.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>

namespace {

const HKEY Cu = HKEY_CURRENT_USER;

// A page as the user sees it; items by name, letter case as stored.
struct TModelPage {
    std::wstring name, folder;
    std::map<std::wstring, std::wstring> items;
    bool operator==(const TModelPage&) const = default;
};
using TModel = std::vector<TModelPage>;

TModel StoreRead() {
    TModel pages;
    for (int32_t page = 1; page <= PageCount(); ++page) {
        TModelPage p{PageNameRead(page), PageFolderRead(page), {}};
        TPageEntries entries;
        PageItemsRead(page, entries);
        for (const TPageEntry& e : entries)
            p.items[e.name] = e.path;
        pages.push_back(std::move(p));
    }
    return pages;
}

std::wstring Describe(const TModel& pages) {
    std::wstring text;
    for (const TModelPage& p : pages) {
        text += L"[" + p.name + L"|" + p.folder + L"]";
        for (const auto& [name, path] : p.items)
            text += L" " + name + L"=" + path;
        text += L"\n";
    }
    return text;
}

template <typename TEnv> class OvPagesTest : public testing::Test {
  protected:
    void SetUp() override {
        RegKeyDelete(Cu, OvKeyProduct);
        RegKeyCreate(Cu, OvKeyData);
    }
    void TearDown() override {
        RegKeyDelete(Cu, OvKeyProduct);
        EXPECT_EQ(env_.OpenKeys(), 0u) << L"a key was left open";
    }
    TEnv env_;
};

using TStores = testing::Types<TMemStoreEnv, TWin32StoreEnv>;
TYPED_TEST_SUITE(OvPagesTest, TStores, TStoreEnvNames);

TYPED_TEST(OvPagesTest, NamesAndItemsFollowTheirPagesThroughEveryStep) {
    TModel model;
    auto append = [&](const std::wstring& folder) {
        PageCreate(PageCount() + 1, folder);
        model.push_back({L"", folder, {}});
    };
    auto add = [&](int32_t page, const std::wstring& path) {
        ASSERT_TRUE(ItemAdd(page, path));
        model[page - 1].items[path.substr(path.rfind(L'\\') + 1)] = path;
    };
    auto name = [&](int32_t page, const std::wstring& text) {
        std::wstring stored;
        ASSERT_EQ(PageNameSet(page, PageCount(), text, stored), TPageNameResult::Named);
        model[page - 1].name = stored;
    };
    // `moved` is the name the item must get on the target, worked out by hand.
    auto move = [&](int32_t from, const std::wstring& item, int32_t to, const std::wstring& moved) {
        TModelPage &source = model[from - 1], &target = model[to - 1];
        EXPECT_EQ(ItemMove(from, item, to), moved);
        target.items[moved] = source.items[item];
        source.items.erase(item);
    };

    const std::vector<std::pair<const wchar_t*, std::function<void()>>> steps = {
        {L"four pages", [&] { append(L""), append(L""), append(L"C:\\Dir"), append(L""); }},
        {L"items",
         [&] {
             add(1, L"C:\\a\\report.txt"), add(1, L"C:\\a\\Memo"), add(1, L"C:\\a\\.profile");
             add(2, L"C:\\b\\REPORT.txt"), add(2, L"C:\\b\\report (2).txt");
             add(4, L"C:\\d\\tool.exe");
         }},
        {L"names", [&] { name(1, L"  仕事\t"), name(2, L"ツール"), name(4, L"Games 😀"); }},
        {L"moved onto a page holding its name and its first number",
         [&] { move(1, L"report.txt", 2, L"report (3).txt"); }},
        {L"moved without an extension, and all extension",
         [&] {
             add(2, L"C:\\b\\memo"), move(1, L"Memo", 2, L"Memo (2)");
             add(2, L"C:\\b\\.Profile"), move(1, L".profile", 2, L".profile (2)");
         }},
        {L"moved back", [&] { move(2, L"report (3).txt", 1, L"report (3).txt"); }},
        {L"the first page after the second",
         [&] { PageSwap(1, PageCount()), std::swap(model[0], model[1]); }},
        {L"the last before the one before it",
         [&] { PageSwap(3, PageCount()), std::swap(model[2], model[3]); }},
        {L"a page appended carries no name", [&] { append(L""), add(5, L"C:\\e\\new.txt"); }},
        {L"a middle page deleted",
         [&] {
             PageRemove(2, PageCount());
             model.erase(model.begin() + 1);
         }},
        {L"its name free again", [&] { name(4, L"仕事"); }},
        {L"the first page deleted",
         [&] {
             PageRemove(1, PageCount());
             model.erase(model.begin());
         }},
        {L"a name removed by blanks",
         [&] {
             std::wstring stored;
             EXPECT_EQ(PageNameSet(1, PageCount(), L" \t ", stored), TPageNameResult::Removed);
             model[0].name.clear();
         }},
    };
    for (const auto& [what, step] : steps) {
        SCOPED_TRACE(what);
        step();
        ASSERT_EQ(StoreRead(), model) << Describe(StoreRead()) << L"model:\n" << Describe(model);
        EXPECT_FALSE(RegValueExists(Cu, OvKeyData, OvValPageMove));
    }
    // Names stay out of the page's values: the count and the items are those of a page without.
    EXPECT_EQ(PageItemCount(3), static_cast<int32_t>(model[2].items.size()));
}

TYPED_TEST(OvPagesTest, ANameIsRefusedWhenTooLongOrTakenAndNothingIsWritten) {
    for (int k = 1; k <= 3; ++k)
        PageCreate(k, L"");
    std::wstring stored;
    ASSERT_EQ(PageNameSet(1, 3, L"Work", stored), TPageNameResult::Named);
    const std::wstring dump = StoreTreeDump(Cu, OvKeyData);
    EXPECT_EQ(PageNameSet(2, 3, L" WORK ", stored), TPageNameResult::Taken);
    ASSERT_EQ(PageNameSet(3, 3, L"Last", stored), TPageNameResult::Named);
    EXPECT_EQ(PageNameSet(2, 3, L"last", stored), TPageNameResult::Taken) << "the last page's name";
    ASSERT_EQ(PageNameSet(3, 3, L"", stored), TPageNameResult::Removed);
    EXPECT_EQ(PageNameSet(2, 3, std::wstring(65, L'頁'), stored), TPageNameResult::TooLong);
    EXPECT_EQ(StoreTreeDump(Cu, OvKeyData), dump);
    // A page may take its own name in other letters; 64 characters beyond the basic plane fit.
    EXPECT_EQ(PageNameSet(1, 3, L"WORK", stored), TPageNameResult::Named);
    EXPECT_EQ(PageNameRead(1), L"WORK");
    std::wstring faces;
    for (int k = 0; k < 64; ++k)
        faces += L"😀";
    EXPECT_EQ(PageNameSet(3, 3, faces, stored), TPageNameResult::Named);
    EXPECT_EQ(PageNameSet(3, 3, faces + L"😀", stored), TPageNameResult::TooLong);
    EXPECT_EQ(PageNameRead(3), faces);
    // An item that is not there, or a page onto itself, moves nothing.
    ItemAdd(2, L"C:\\x\\a.txt");
    const std::wstring before = StoreTreeDump(Cu, OvKeyData);
    EXPECT_EQ(ItemMove(2, L"b.txt", 3), L"");
    EXPECT_EQ(ItemMove(2, L"a.txt", 2), L"");
    EXPECT_EQ(StoreTreeDump(Cu, OvKeyData), before);
}

} // namespace

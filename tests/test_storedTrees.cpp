// Trees that the code-page builds wrote (tests/golden): the UTF-16 build reads them value for
// value, a start and a close change nothing that needs no change, and folder entries stored under
// the code page's best-fit names are brought in line by the next refresh.
#include "uCmnFile.h"
#include "uCmnHandle.h"
#include "uCmnReg.h"
#include "uOvPages.h"
#include "uOvReg.h"
#include "uOvRegDef.h"
#include "uTestFiles.h"
#include "uTestMainWindow.h"
#include "uTestRegStores.h"
#include "uTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <vector>

namespace {

const HKEY Cu = HKEY_CURRENT_USER;

using TItems = std::vector<std::pair<std::wstring, std::wstring>>;

// Replaces the product key with an export copied beside the tests. Wine's reg.exe now and then
// ends with an error on a file it imports the next time: up to three tries.
bool TreeImport(const wchar_t* file) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        RegKeyDelete(Cu, OvKeyProduct);
        if (RegExeRun(L"import \"" + ExeFolder() + L"golden\\" + file + L"\"", 1))
            return true;
    }
    return false;
}

// A page's folder and items, sorted: the export lists values by name.
TItems PageRead(int32_t page) {
    TPageEntries entries;
    PageItemsRead(page, entries);
    TItems items{{L"", PageFolderRead(page)}};
    for (const TPageEntry& e : entries)
        items.emplace_back(e.name, e.path);
    std::sort(items.begin() + 1, items.end());
    return items;
}

const wchar_t* const BestFitFolder = L"C:\\OvGolden\\フォルダ表";

// The seven entries of the folder page's folder, by their true names.
const wchar_t* const FolderNames[] = {L"表ソ.txt",   L"Ærø.txt",     L"한국어.txt", L"Résumé.txt",
                                      L"〜wave.txt", L"😀 smile.txt", L"ポ.lnk"};

TItems FolderItems(const std::wstring& folder) {
    TItems items{{L"", folder}};
    for (const wchar_t* name : FolderNames)
        items.emplace_back(FileDisplayName(name), folder + L"\\" + name);
    std::sort(items.begin() + 1, items.end());
    return items;
}

} // namespace

class StoredTrees : public TMainWindowTest {};

TEST_F(StoredTrees, ReadValueForValue) {
    struct TText {
        const wchar_t* key;
        const wchar_t* name;
        const wchar_t* text;
    };
    const TText common[] = {
        {OvKeyOption, OvValToolBarPosTbl, L"上,下,右,左"},
        {OvKeyOption, OvValHookKeyCharTbl, OvDefHookKeyCharTbl},
        {OvKeyOption, OvValHookKeyNoTbl, OvDefHookKeyNoTbl},
        {OvKeySystem, OvValVersion, L"1.00.1"},
        {OvKeySystem, OvValCopyright, L"Copyright (C) 2026 Velmora Software"},
        {OvKeySystem, OvValUrl, L"https://www.example.com/orvanta/"},
        {OvKeyConfig, OvValLvwColWidth, L"50,50,50,50,50,"},
        {OvKeyConfig, OvValUnInstall, L""},
    };
    for (const wchar_t* tree :
         {L"firstrun.reg", L"japanese.reg", L"pagemove.reg", L"pagenames.reg"}) {
        SCOPED_TRACE(tree);
        ASSERT_TRUE(TreeImport(tree));
        for (const TText& t : common)
            EXPECT_EQ(RegStrRead(Cu, t.key, t.name), t.text) << t.name;
        EXPECT_EQ(RegIntRead(Cu, OvKeyOption, OvValHookKeyNo), 119);
        EXPECT_EQ(RegIntRead(Cu, OvKeyWindow, OvValWidth), 1024);
    }

    ASSERT_TRUE(TreeImport(L"firstrun.reg"));
    EXPECT_EQ(RegStrRead(Cu, OvKeyConfig, OvValOpenFileDir), L"c:\\windows");
    EXPECT_EQ(PageCount(), 1);
    EXPECT_EQ(PageRead(1), (TItems{{L"", L""}}));

    ASSERT_TRUE(TreeImport(L"japanese.reg"));
    EXPECT_EQ(RegStrRead(Cu, OvKeyConfig, OvValOpenFileDir), L"C:\\文書\\");
    EXPECT_EQ(RegIntRead(Cu, OvKeyConfig, OvValSelPage), 2);
    EXPECT_EQ(PageCount(), 3);
    EXPECT_EQ(PageRead(1), (TItems{{L"", L""},
                                   {L" 表計算 ソ ", L"C:\\ツール\\表計算.exe"},
                                   {L"ソース.txt", L"C:\\文書\\ソース.txt"},
                                   {L"ヂ", L"D:\\ポート\\ヂ.lnk"},
                                   {L"半角ｶﾅ.txt", L"C:\\Users\\ｱｲｳ\\半角ｶﾅ.txt"},
                                   {L"報告書.doc", L"\\\\サーバー\\共有\\報告書.doc"}}));
    const std::wstring folder = BestFitFolder;
    TItems bestFit{{L"", folder}};
    for (const wchar_t* name :
         {L"?? smile.txt", L"???.txt", L"?wave.txt", L"Aro.txt", L"Resume.txt", L"表ソ.txt"})
        bestFit.emplace_back(name, folder + L"\\" + name);
    bestFit.emplace_back(L"ポ", folder + L"\\ポ.lnk");
    std::sort(bestFit.begin() + 1, bestFit.end());
    EXPECT_EQ(PageRead(2), bestFit);
    EXPECT_EQ(PageRead(3), (TItems{{L"", L""}, {L"ポ.txt", L"C:\\表\\ソ\\ポ.txt"}}));

    // The deletion cut short is finished as any start finishes it: the partial copy goes.
    ASSERT_TRUE(TreeImport(L"pagemove.reg"));
    PagesRepair();
    EXPECT_EQ(PageCount(), 3);
    EXPECT_FALSE(RegValueExists(Cu, OvKeyData, OvValPageMove));
    for (int32_t page = 1; page <= 3; ++page) {
        const std::wstring was = std::to_wstring(page == 1 ? 1 : page + 1);
        EXPECT_EQ(PageRead(page),
                  (TItems{{L"", L""},
                          {L"ソ" + was + L".txt", L"C:\\頁" + was + L"\\ソ" + was + L".txt"},
                          {L"表" + was + L".txt", L"C:\\頁" + was + L"\\表" + was + L".txt"}}))
            << page;
    }
}

// A tree in which pages have names keeps them beside the page's values: the pages, folders,
// items and counts read without the names are what they are with them (what a build that knows no
// names reads); the caption names the page shown, and a second start changes nothing.
TEST_F(StoredTrees, NamedPagesReadTheSameWithoutTheirNames) {
    ASSERT_TRUE(TreeImport(L"pagenames.reg"));
    RegIntWrite(Cu, OvKeyConfig, OvValSelPage, 1);
    EXPECT_EQ(PageNameRead(1), L"仕事");
    EXPECT_EQ(PageNameRead(2), L"");
    EXPECT_EQ(PageNameRead(3), L"Games");
    EXPECT_EQ(PageNameRead(4), L"ツール 😀");
    ::SendMessageW(Open().Handle(), WM_CLOSE, 0, 0);
    const std::wstring data = StoreTreeDump(Cu, OvKeyData);
    TFrmOvMain& f = Open();
    EXPECT_EQ(WindowText(f.Handle()), L"Orvanta - 仕事");
    ::SendMessageW(f.Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(StoreTreeDump(Cu, OvKeyData), data);

    auto pages = [] {
        std::vector<std::pair<TItems, int32_t>> all;
        for (int32_t page = 1; page <= PageCount(); ++page)
            all.emplace_back(PageRead(page), PageItemCount(page));
        return all;
    };
    const auto named = pages();
    ASSERT_EQ(named.size(), 4u);
    EXPECT_EQ(named[2].first, (TItems{{L"", L""},
                                      {L"ソース.txt", L"C:\\文書\\ソース.txt"},
                                      {L"遊.exe", L"C:\\ゲーム\\遊.exe"}}));
    EXPECT_EQ(named[2].second, 2);
    for (int32_t page = 1; page <= 4; ++page)
        RegKeyDelete(Cu, PageKeyPath(page) + L"\\" + OvKeyPageOwn);
    EXPECT_EQ(pages(), named);
}

// The shown page of the Japanese tree is the folder page; its folder (here a scratch copy with
// the same seven entries) is listed by their true names at the first start, and from then on a
// start and a close leave the pages and the options as they are.
TEST_F(StoredTrees, StartBringsBestFitNamesInLineAndThenChangesNothing) {
    ASSERT_TRUE(TreeImport(L"firstrun.reg"));
    std::wstring data = StoreTreeDump(Cu, OvKeyData), option = StoreTreeDump(Cu, OvKeyOption);
    ::SendMessageW(Open().Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(StoreTreeDump(Cu, OvKeyData), data);
    EXPECT_EQ(StoreTreeDump(Cu, OvKeyOption), option);

    ASSERT_TRUE(TreeImport(L"japanese.reg"));
    TTempFolder temp;
    for (const wchar_t* name : FolderNames)
        ASSERT_TRUE(FileWrite(temp / name, "x"));
    RegStrWrite(Cu, PageKeyPath(2), OvValFolderPath, temp.Path());
    const TItems page1 = PageRead(1), page3 = PageRead(3);
    option = StoreTreeDump(Cu, OvKeyOption);
    TFrmOvMain& f = Open();
    EXPECT_EQ(PageRead(2), FolderItems(temp.Path()));
    EXPECT_EQ(ListView_GetItemCount(f.CptLvwItems), 7);
    ::SendMessageW(f.Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(PageRead(1), page1);
    EXPECT_EQ(PageRead(3), page3);

    data = StoreTreeDump(Cu, OvKeyData);
    ::SendMessageW(Open().Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(StoreTreeDump(Cu, OvKeyData), data);
    EXPECT_EQ(StoreTreeDump(Cu, OvKeyOption), option);
}

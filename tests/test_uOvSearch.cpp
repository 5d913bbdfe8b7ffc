// The search: matching names of every script as typed, and the real window driven by keys, drops
// and the list's notifications while results of several pages stand in the list.
#include "uCmnError.h"
#include "uCmnMatch.h"
#include "uCmnShell.h"
#include "uOvCfg.h"
#include "uOvFrmDef.h"
#include "uOvIndex.h"
#include "uOvLvw.h"
#include "uTestMainWindow.h"
#include "uTestSupport.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

const HKEY HKCU = HKEY_CURRENT_USER;

// Each typed text against names in several scripts: letter case, width, kana type, a surrogate
// pair, composed and decomposed forms; and texts that must not match.
TEST(Matching, CaseWidthAndKanaTypeAsideInEveryScript) {
    const std::vector<std::wstring> names = {
        L"Memo.txt",  L"ＡＢＣ.txt", L"メモ.txt", L"ガイド.pdf", L"ﾊﾟｰﾄ.doc",
        L"ΑΛΦΑΣ.doc", L"Привет.txt", L"x😀y.txt",  L"カタ.txt",   L"Re\u0301sume\u0301.txt"};
    TPageEntries entries;
    for (const std::wstring& name : names)
        entries.push_back({name, L"C:\\" + name, {}, false, 0});
    TItemIndex index;
    index.Build(0);
    index.PageSet(1, entries, false);
    const std::pair<std::wstring, std::vector<std::wstring>> cases[] = {
        {L"mEM", {L"Memo.txt"}},
        {L"ｍｅｍ", {L"Memo.txt"}},
        {L"abc", {L"ＡＢＣ.txt"}},
        {L"ﾒﾓ", {L"メモ.txt"}},
        {L"めも", {L"メモ.txt"}},
        {L"ｶﾞｲﾄﾞ", {L"ガイド.pdf"}},
        {L"ぱーと", {L"ﾊﾟｰﾄ.doc"}},
        {L"αλφας", {L"ΑΛΦΑΣ.doc"}},
        {L"пРИВ", {L"Привет.txt"}},
        {L"😀", {L"x😀y.txt"}},
        {L"😁", {}},
        // A voiced kana is no plain one.
        {L"ｶﾀ", {L"カタ.txt"}},
        {L"ガタ", {}},
        {L"mema", {}},
        // A name stored decomposed is found as typed, and a typed decomposed text finds it.
        {L"RÉSUMÉ", {L"Re\u0301sume\u0301.txt"}},
        {L"カ\u3099イ", {L"ガイド.pdf"}},
    };
    for (const auto& [typed, expected] : cases) {
        std::vector<std::wstring> found;
        for (const TIndexHit& hit : index.Match(typed))
            found.push_back(index.Item(hit).name);
        EXPECT_EQ(found, expected) << Utf8Of(typed);
    }
}

class Search : public TMainWindowTest {
  protected:
    // Page 1 ordinary, page 2 mirroring a folder, page 3 ordinary with a program; page 1 shown,
    // active, in report view, sorted by name in descending order.
    TFrmOvMain& Shown() {
        ConfigTreeCreate();
        const std::wstring folder = dir / L"folder";
        ::CreateDirectoryW(folder.c_str(), nullptr);
        ::CreateDirectoryW((dir / L"other").c_str(), nullptr);
        PageCreate(1, L"");
        for (const wchar_t* name : {L"Memo.txt", L"notes.txt", L"report.txt"})
            Add(1, dir / name);
        for (const wchar_t* name : {L"Memo2.txt", L"guide.txt"})
            FileWrite(folder + L"\\" + name, "x");
        std::vector<std::wstring> listing;
        FolderList(folder, L"*", listing);
        PageFolderAdd(2, folder, listing);
        PageCreate(3, L"");
        for (const wchar_t* name : {L"メモ.txt", L"x😀y.txt", L"tool.exe"})
            Add(3, dir / name);
        Add(3, dir / L"other\\report.txt");
        RegIntWrite(HKCU, OvKeyConfig, OvValSelPage, 1);
        RegIntWrite(HKCU, OvKeyConfig, OvValLvwStyle, 3);
        RegIntWrite(HKCU, OvKeyConfig, OvValLvwColSortAscDec, -1);
        TFrmOvMain& f = Open();
        ::ShowWindow(f.Handle(), SW_SHOWNORMAL);
        ::SetForegroundWindow(f.Handle());
        PumpMessages(100);
        return f;
    }
    void Add(int32_t page, const std::wstring& path) {
        FileWrite(path, "x");
        ItemAdd(page, path);
    }

    // Replaces the field's text by typing, from wherever the keyboard is.
    void Type(const std::wstring& text) {
        KeyPress(VK_F3);
        KeysType(text);
    }
    // The rows in list order, each with its page.
    std::vector<TListRow> Rows() {
        std::vector<TListRow> rows;
        for (int i = 0; i < ListView_GetItemCount(form->CptLvwItems); ++i)
            rows.push_back(ListRowOf(i));
        return rows;
    }
    int RowOf(const TListRow& row) {
        const std::vector<TListRow> rows = Rows();
        for (size_t i = 0; i < rows.size(); ++i)
            if (rows[i] == row)
                return static_cast<int>(i);
        return -1;
    }
    void SelectOnly(const TListRow& row) {
        ASSERT_GE(RowOf(row), 0);
        ListView_SetItemState(form->CptLvwItems, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
        ListView_SetItemState(form->CptLvwItems, RowOf(row), LVIS_SELECTED | LVIS_FOCUSED,
                              LVIS_SELECTED | LVIS_FOCUSED);
    }
    std::wstring Location(int row) {
        wchar_t text[MAX_PATH] = {};
        ListView_GetItemText(form->CptLvwItems, row, 4, text, MAX_PATH);
        return text;
    }
    // Commits `text` as the new caption of a row, as the list's editor does.
    bool Rename(const TListRow& row, std::wstring text) {
        NMLVDISPINFOW info{};
        info.hdr = {form->CptLvwItems, IDC_ITEMS, LVN_ENDLABELEDITW};
        info.item.iItem = RowOf(row);
        info.item.mask = LVIF_TEXT;
        info.item.pszText = text.data();
        return ::SendMessageW(form->Handle(), WM_NOTIFY, IDC_ITEMS,
                              reinterpret_cast<LPARAM>(&info)) != 0;
    }

    TTempFolder dir;
};

} // namespace

void PrintTo(const TListRow& row, std::ostream* out) {
    *out << Utf8Of(row.name) << " (page " << row.page << ")";
}

TEST_F(Search, TypedTextShowsItemsOfEveryPageAndEscapeBringsThePageBack) {
    TFrmOvMain& f = Shown();
    SelectOnly({L"notes.txt", 1});
    KeyPress('F', {VK_CONTROL});
    ASSERT_TRUE(::IsWindowVisible(f.CptEdtSearch));
    ASSERT_EQ(::GetFocus(), f.CptEdtSearch);
    RECT field{}, list{};
    ::GetWindowRect(f.CptEdtSearch, &field);
    ::GetWindowRect(f.CptLvwItems, &list);
    EXPECT_EQ(field.bottom, list.top) << "the field right above the list";

    // Typed as the keyboard types: full-width letters and a surrogate pair among them.
    const std::pair<std::wstring, std::vector<TListRow>> typed[] = {
        {L"ｍｅｍ", {{L"Memo2.txt", 2}, {L"Memo.txt", 1}}},
        {L"めも", {{L"メモ.txt", 3}}},
        {L"😀", {{L"x😀y.txt", 3}}},
    };
    for (const auto& [text, rows] : typed) {
        Type(text);
        EXPECT_EQ(Rows(), rows) << Utf8Of(text);
    }
    Type(L"REPORT");
    EXPECT_EQ(f.StatusPanels.pageText, L" 2 件 (2 ページ)");
    EXPECT_EQ(Location(RowOf({L"report.txt", 3})), dir / L"other");

    // Enter in the field opens the first result, a program of another page.
    Type(L"tool");
    {
        TShellOpenRecorder recorder;
        KeyPress(VK_RETURN);
        EXPECT_EQ(recorder.Requests, (std::vector<TShellOpenRequest>{{dir / L"tool.exe", L""}}));
    }
    // Down and Up between the field and the results.
    KeyPress(VK_DOWN);
    EXPECT_EQ(::GetFocus(), f.CptLvwItems);
    EXPECT_EQ(ListView_GetNextItem(f.CptLvwItems, -1, LVNI_SELECTED), 0);
    KeyPress(VK_UP);
    EXPECT_EQ(::GetFocus(), f.CptEdtSearch);
    // Called up by the hot key, the window takes typing in the field.
    RegBoolWrite(HKCU, OvKeyOption, OvValHookKey, true);
    RegIntWrite(HKCU, OvKeyOption, OvValHookKeyNo, VK_F8);
    ::SetFocus(f.CptLvwItems);
    ::SendMessageW(f.Handle(), WM_HOOKKEY, VK_F8, 1);
    EXPECT_EQ(::GetFocus(), f.CptEdtSearch);

    Type(L"zzz");
    EXPECT_TRUE(Rows().empty());
    EXPECT_EQ(f.StatusPanels.pageText, L" 0 件 (0 ページ)");
    EXPECT_EQ(f.CptLvwItemsCue.Text(), L"一致する項目はありません");

    KeyPress(VK_ESCAPE);
    EXPECT_FALSE(::IsWindowVisible(f.CptEdtSearch));
    EXPECT_EQ(::GetFocus(), f.CptLvwItems);
    EXPECT_EQ(Rows(),
              (std::vector<TListRow>{{L"report.txt", 1}, {L"notes.txt", 1}, {L"Memo.txt", 1}}));
    EXPECT_EQ(ListView_GetSelectedCount(f.CptLvwItems), 1u);
    EXPECT_EQ(ListView_GetNextItem(f.CptLvwItems, -1, LVNI_SELECTED), 1);
    EXPECT_EQ(f.StatusPanels.pageText.rfind(L" 1/3 ページ", 0), 0u);
    EXPECT_NE(f.CptLvwItemsCue.Text(), L"一致する項目はありません");
    EXPECT_FALSE(Application.Minimized());
    KeyPress(VK_ESCAPE);
    EXPECT_TRUE(Application.Minimized());
}

TEST_F(Search, CommandsOnResultsFollowTheItemsOwnPage) {
    TFrmOvMain& f = Shown();
    KeyPress(VK_F3);
    Type(L"report");
    SelectOnly({L"report.txt", 3});
    KeyPress(VK_DOWN);
    EXPECT_EQ(AnswerBox([&] { KeyPress(VK_DELETE); }, IDOK).text,
              L"選択したファイルを削除しますか");
    EXPECT_EQ(ItemPathRead(3, L"report.txt"), L"");
    EXPECT_EQ(ItemPathRead(1, L"report.txt"), dir / L"report.txt");
    EXPECT_EQ(Rows(), (std::vector<TListRow>{{L"report.txt", 1}}));
    EXPECT_TRUE(FilePresent(dir / L"other\\report.txt"));

    // A folder page's item refuses as on its page.
    Type(L"guide");
    SelectOnly({L"guide.txt", 2});
    KeyPress(VK_DOWN);
    EXPECT_EQ(AnswerBox([&] { KeyPress(VK_DELETE); }, IDOK).text,
              L"このページのファイルは削除できません");
    EXPECT_EQ(AnswerBox([&] { KeyPress(VK_F2); }, IDOK).text,
              L"このページのファイルは変更できません");
    EXPECT_EQ(ListView_GetEditControl(f.CptLvwItems), nullptr);

    // A drop onto a program among the results starts it; F5 looks the results' files up again.
    Type(L"tool");
    {
        TShellOpenRecorder recorder;
        RECT row{};
        ListView_GetItemRect(f.CptLvwItems, 0, &row, LVIR_LABEL);
        POINT on{row.left + 2, row.top + 2};
        ::MapWindowPoints(f.CptLvwItems, f.Handle(), &on, 1);
        ::SendMessageW(f.Handle(), WM_DROPFILES,
                       reinterpret_cast<WPARAM>(MakeDrop({dir / L"notes.txt"}, on)), 0);
        ASSERT_EQ(recorder.Requests.size(), 1u);
        EXPECT_EQ(recorder.Requests[0].file, dir / L"tool.exe");
    }
    ::DeleteFileW((dir / L"tool.exe").c_str());
    KeyPress(VK_F5);
    EXPECT_TRUE(Rows().empty());
    EXPECT_TRUE(f.SearchResultsShown());

    // The toolbar's delete with no row selected deletes no page from behind the results.
    ListView_SetItemState(f.CptLvwItems, -1, 0, LVIS_SELECTED);
    ::SendMessageW(f.Handle(), WM_COMMAND, IDC_TBN_DELETE, 0);
    EXPECT_EQ(PageCount(), 3);

    // The page keys leave the search and step from the page shown before it.
    KeyPress(VK_NEXT, {VK_CONTROL});
    EXPECT_FALSE(f.Searching());
    EXPECT_EQ(f.CurrentPage, 2);
    EXPECT_EQ(Rows().size(), 2u);
}

// Renames, drops, a folder page's refresh and page deletions, made with the search open and with
// it closed after its first opening: what is typed next finds what they left.
TEST_F(Search, TheIndexFollowsRenamesDropsRefreshesAndPageDeletions) {
    TFrmOvMain& f = Shown();
    auto drop = [&](const std::wstring& path) {
        ::SendMessageW(f.Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({path}, {5, 5})),
                       0);
    };
    // The last page, shown, deleted with the toolbar's button: the page before it is shown.
    auto lastPageDelete = [&] {
        while (f.CurrentPage < f.PageTotal)
            KeyPress(VK_NEXT, {VK_CONTROL});
        ListView_SetItemState(f.CptLvwItems, -1, 0, LVIS_SELECTED);
        AnswerBox([&] { ::SendMessageW(f.Handle(), WM_COMMAND, IDC_TBN_DELETE, 0); }, IDOK);
    };
    auto found = [&](const std::wstring& text) {
        Type(text);
        return Rows();
    };

    // Open: a result renamed, a drop (which closes the search), the last page deleted.
    EXPECT_EQ(found(L"tool"), (std::vector<TListRow>{{L"tool.exe", 3}}));
    EXPECT_TRUE(Rename({L"tool.exe", 3}, L"renamed-open"));
    EXPECT_EQ(found(L"open"), (std::vector<TListRow>{{L"renamed-open", 3}}));
    FileWrite(dir / L"dropped-open.txt", "x");
    drop(dir / L"dropped-open.txt");
    EXPECT_FALSE(f.Searching()) << "what is dropped shows on its page";
    EXPECT_EQ(found(L"dropped"), (std::vector<TListRow>{{L"dropped-open.txt", 1}}));
    lastPageDelete();
    KeyPress(VK_F3);
    EXPECT_EQ(found(L"open"), (std::vector<TListRow>{{L"dropped-open.txt", 1}}));

    // Closed: a rename, a file added to page 2's folder and seen by its refresh, a page appended
    // and deleted, a folder dropped.
    KeyPress(VK_ESCAPE);
    KeyPress(VK_PRIOR, {VK_CONTROL});
    EXPECT_TRUE(Rename({L"notes.txt", 1}, L"renamed-closed"));
    EXPECT_EQ(found(L"closed"), (std::vector<TListRow>{{L"renamed-closed", 1}}));
    KeyPress(VK_ESCAPE);
    FileWrite(dir / L"folder\\Memo3.txt", "x");
    KeyPress(VK_NEXT, {VK_CONTROL});
    KeyPress(VK_NEXT, {VK_CONTROL});
    EXPECT_EQ(f.PageTotal, 3);
    lastPageDelete();
    EXPECT_EQ(found(L"mem"),
              (std::vector<TListRow>{{L"Memo3.txt", 2}, {L"Memo2.txt", 2}, {L"Memo.txt", 1}}));
    KeyPress(VK_ESCAPE);
    ::CreateDirectoryW((dir / L"new").c_str(), nullptr);
    FileWrite(dir / L"new\\zeta.txt", "x");
    drop(dir / L"new");
    EXPECT_EQ(found(L"zeta"), (std::vector<TListRow>{{L"zeta.txt", 3}}));
}

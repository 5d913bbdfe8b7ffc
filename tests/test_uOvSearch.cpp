// The search: matching names of every script as typed, and the real window driven by keys, drops
// and the list's notifications while results of several pages stand in the list.
#include "uCmnError.h"
#include "uCmnMatch.h"
#include "uCmnShell.h"
#include "uOvCfg.h"
#include "uOvFrmDef.h"
#include "uOvIndex.h"
#include "uOvLvw.h"
#include "uOvMsg.h"
#include "uOvPages.h"
#include "uTestMainWindow.h"
#include "uTestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <atomic>
#include <cwchar>
#include <functional>
#include <set>
#include <thread>
#include <tuple>
#include <utility>

namespace {

const HKEY HKCU = HKEY_CURRENT_USER;

void ExpectIndexIsTheStore(TItemIndex& index);

namespace {

// The threads of this process.
size_t ThreadCount() {
    TUniqueHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    THREADENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    size_t count = 0;
    for (BOOL more = ::Thread32First(snapshot.Get(), &entry); more;
         more = ::Thread32Next(snapshot.Get(), &entry))
        count += entry.th32OwnerProcessID == ::GetCurrentProcessId() ? 1 : 0;
    return count;
}

// Every item whose name holds `text`, page by page in store order, read from the store.
std::vector<std::pair<int32_t, std::wstring>> StoreMatches(const std::wstring& text) {
    std::vector<std::pair<int32_t, std::wstring>> found;
    for (int32_t page = 1; page <= PageCount(); ++page) {
        TPageEntries entries;
        PageItemsRead(page, entries);
        for (const TPageEntry& entry : entries)
            if (TextFoldedContains(TextFold(entry.name), TextFold(text)))
                found.emplace_back(page, entry.name);
    }
    return found;
}

std::vector<std::pair<int32_t, std::wstring>>
IndexMatches(TItemIndex& index, const std::wstring& text,
             TItemIndex::TOrder order = TItemIndex::TOrder::Store) {
    std::vector<std::pair<int32_t, std::wstring>> found;
    const std::vector<TIndexHit> hits = index.Match(text);
    for (size_t place : index.Ordered(hits, order))
        found.emplace_back(hits[place].page, index.Item(hits[place]).Name());
    return found;
}

} // namespace

// The index read on its thread while the store changes under it: the reader is held once it has
// read every page, none of them taken yet, while every kind of store change is made; a search
// then finds only what the store holds, and once the reader is let go the index becomes whole by
// the reader alone and is what the store holds. An index dropped mid-read leaves no thread.
TEST(IndexReader, ChangesMadeDuringTheReadEndInTheIndex) {
    RegKeyDelete(HKCU, OvKeyProduct);
    for (int32_t page = 1; page <= 12; ++page) {
        PageCreate(page, L"");
        for (int i = 0; i < 60; ++i)
            ItemAdd(page, L"C:\\items\\p" + std::to_wstring(page) + L" item " + std::to_wstring(i) +
                              L".txt");
    }
    const size_t threadsBefore = ThreadCount();
    {
        TUniqueHandle held(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
        std::atomic<int> told{0}, holdAt{12};
        TItemIndex index([&] {
            if (++told == holdAt)
                ::WaitForSingleObject(held.Get(), INFINITE);
        });
        index.Build();
        while (told < 12)
            ::Sleep(1);
        // Every page has been read and waits to be taken: they change before they are.
        ASSERT_TRUE(ItemRename(1, L"p1 item 3.txt", L"renamed.txt"));
        ItemAdd(2, L"C:\\items\\added on two.txt");
        PageRemove(4, PageCount());
        ItemRemove(6, L"p7 item 0.txt");
        PageCreate(PageCount() + 1, L"");
        ItemAdd(PageCount(), L"C:\\items\\on the new page.txt");
        ItemMove(3, L"p3 item 5.txt", 8);
        // A search mid-read finds only what the store holds.
        const auto partial = IndexMatches(index, L"item 5");
        const auto stored = StoreMatches(L"item 5");
        for (const auto& hit : partial)
            EXPECT_NE(std::find(stored.begin(), stored.end(), hit), stored.end())
                << hit.first << " " << Utf8Of(hit.second);
        ::SetEvent(held.Get());
        // Whole by what the reader reads again, not by a read of the missing pages here.
        for (int waited = 0; (index.Take(), !index.Whole()) && waited < 30000; waited += 10)
            ::Sleep(10);
        ASSERT_TRUE(index.Whole()) << "pages asked for again never came";
        ExpectIndexIsTheStore(index);
        for (const wchar_t* text : {L"item 5", L"renamed", L"added", L"new page", L"p5 "})
            EXPECT_EQ(IndexMatches(index, text), StoreMatches(text)) << Utf8Of(text);

        // The last page arrives right after a search: the search's results are not those of the
        // whole store, and the index must not say they are.
        const int pages = PageCount();
        ::ResetEvent(held.Get());
        told = 0;
        holdAt = pages - 1;
        index.Build();
        while (told < pages - 1)
            ::Sleep(1);
        const auto early = IndexMatches(index, L".txt");
        ::SetEvent(held.Get());
        while (told < pages)
            ::Sleep(1);
        EXPECT_FALSE(index.Whole() && early != StoreMatches(L".txt"))
            << "results of " << pages - 1 << " pages passed for those of the whole store";

        // Dropped mid-read: the reader ends with the index.
        index.Build();
    }
    EXPECT_EQ(ThreadCount(), threadsBefore) << "a thread was left";
    RegKeyDelete(HKCU, OvKeyProduct);
}

// The reader and the window's thread read the same page keys at once while the window's thread
// writes them, round after round, and the index ends as the store.
TEST(IndexReader, ReadsBesideTheWindowsThreadWritesAndReads) {
    RegKeyDelete(HKCU, OvKeyProduct);
    for (int32_t page = 1; page <= 6; ++page) {
        PageCreate(page, L"");
        for (int i = 0; i < 40; ++i)
            ItemAdd(page,
                    L"C:\\items\\p" + std::to_wstring(page) + L" " + std::to_wstring(i) + L".txt");
    }
    {
        TItemIndex index;
        for (int round = 0; round < 60; ++round) {
            index.Build();
            const int32_t page = 1 + round % 6;
            const std::wstring name = L"p" + std::to_wstring(page) + L" 0.txt";
            ASSERT_TRUE(ItemRename(page, name, L"moved.txt"));
            TPageEntries entries;
            PageItemsRead(page, entries);
            ASSERT_TRUE(ItemRename(page, L"moved.txt", name));
            index.Wait();
        }
        ExpectIndexIsTheStore(index);
    }
    RegKeyDelete(HKCU, OvKeyProduct);
}

// Many rounds of pages asked for while the reader takes them off its queue and hands them over:
// the index ends as a serial read of the store would make it (a queue pushed without its lock lost
// or mixed requests, or broke the queue).
TEST(IndexReader, ManyRoundsOfAsksBesideTheReaderEndAsTheStore) {
    RegKeyDelete(HKCU, OvKeyProduct);
    for (int32_t page = 1; page <= 150; ++page) {
        PageCreate(page, L"");
        ItemAdd(page, L"C:\\items\\p" + std::to_wstring(page) + L".txt");
    }
    {
        std::atomic<int> arrived{0};
        TItemIndex index([&] { ++arrived; });
        for (int round = 0; round < 40; ++round) {
            index.Build();
            for (int32_t change = 0; change < 40; ++change) {
                const int32_t page = 1 + (round * 41 + change * 7) % 150;
                ItemAdd(page, L"C:\\items\\r" + std::to_wstring(round) + L" c" +
                                  std::to_wstring(change) + L".txt");
                index.Take();
            }
        }
        index.Wait();
        EXPECT_GT(arrived.load(), 0);
        ExpectIndexIsTheStore(index);
    }
    RegKeyDelete(HKCU, OvKeyProduct);
}

// An item found under its name as before but pointing at another file is looked up afresh: its
// old file's answer is not kept for the new one. A page's folded names are each whole and its own.
TEST(IndexReader, AnItemPointedElsewhereIsLookedUpAgain) {
    RegKeyDelete(HKCU, OvKeyProduct);
    TTempFolder dir;
    FileWrite(dir / L"a.txt", "x");
    PageCreate(1, L"");
    ItemAdd(1, dir / L"a.txt");
    {
        TItemIndex index;
        index.Build();
        index.Wait();
        std::vector<TIndexHit> hits = index.Match(L"a.txt");
        ASSERT_EQ(hits.size(), 1u);
        EXPECT_TRUE(index.Looked(hits[0]).found);
        RegStrWrite(HKCU, PageKeyPath(1), L"a.txt", dir / L"gone.txt");
        PageChangedTell(1);
        hits = index.Match(L"a.txt");
        ASSERT_EQ(hits.size(), 1u);
        EXPECT_FALSE(index.Looked(hits[0]).found);
    }
    TFoldedNames names;
    for (const wchar_t* name : {L"abc", L"", L"de", L"f"})
        names.Add(name);
    ASSERT_EQ(names.Size(), 4u);
    EXPECT_EQ(names.At(0), L"abc");
    EXPECT_EQ(names.At(1), L"");
    EXPECT_EQ(names.At(2), L"de");
    EXPECT_EQ(names.At(3), L"f");
    RegKeyDelete(HKCU, OvKeyProduct);
}

// Matches by name come in the order the list's own stable sort gives the matches in store order
// by the platform's comparison, up and down, equal names (one name on several pages) in store
// order; after every kind of store change.
TEST(IndexReader, MatchesByNameComeAsThePlatformSortsThem) {
    RegKeyDelete(HKCU, OvKeyProduct);
    const std::wstring names[] = {L"Memo.txt",   L"メモ.txt",  L"ﾒﾓ.txt",    L"memo 10.txt",
                                  L"memo 9.txt", L"Ärger.doc", L"arger.doc", L"b.txt",
                                  L"_b.txt",     L"report.txt"};
    for (int32_t page = 1; page <= 4; ++page) {
        PageCreate(page, L"");
        for (size_t i = 0; i < std::size(names); ++i)
            if ((static_cast<size_t>(page) + i) % 3 != 0)
                ItemAdd(page, L"C:\\items\\" + names[i]);
    }
    TItemIndex index;
    index.Build();
    const auto expect = [&](const char* step) {
        index.Wait();
        for (const wchar_t* text : {L"", L"m", L"メモ", L".txt", L"r"}) {
            const auto stored = IndexMatches(index, text);
            for (const int order : {1, -1}) {
                auto sorted = stored;
                std::stable_sort(sorted.begin(), sorted.end(), [&](const auto& a, const auto& b) {
                    return ::lstrcmpW(a.second.c_str(), b.second.c_str()) * order < 0;
                });
                EXPECT_EQ(IndexMatches(index, text,
                                       order > 0 ? TItemIndex::TOrder::NameUp
                                                 : TItemIndex::TOrder::NameDown),
                          sorted)
                    << step << " " << Utf8Of(text) << " " << order;
            }
        }
    };
    expect("built");
    ASSERT_TRUE(ItemRename(3, L"b.txt", L"zz.txt"));
    expect("renamed");
    ItemAdd(3, L"C:\\items\\aaa.txt");
    expect("added");
    PageRemove(1, PageCount());
    expect("page removed");
    ItemMove(1, L"report.txt", 3);
    expect("moved");
    RegKeyDelete(HKCU, OvKeyProduct);
}

// Each typed text against names in several scripts: letter case, width, kana type, a surrogate
// pair, composed and decomposed forms; and texts that must not match.
TEST(Matching, CaseWidthAndKanaTypeAsideInEveryScript) {
    const std::vector<std::wstring> names = {
        L"Memo.txt",  L"ＡＢＣ.txt", L"メモ.txt", L"ガイド.pdf", L"ﾊﾟｰﾄ.doc",
        L"ΑΛΦΑΣ.doc", L"Привет.txt", L"x😀y.txt",  L"カタ.txt",   L"Re\u0301sume\u0301.txt"};
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
        for (const std::wstring& name : names)
            if (TextFoldedContains(TextFold(name), TextFold(typed)))
                found.push_back(name);
        EXPECT_EQ(found, expected) << Utf8Of(typed);
    }
}

// A row as the user sees it: its name and the page it is on.
struct TShown {
    std::wstring name;
    int32_t page = 0;
    bool operator==(const TShown&) const = default;
};

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
    std::vector<TShown> Rows() {
        std::vector<TShown> rows;
        for (int i = 0; i < ListView_GetItemCount(form->CptLvwItems); ++i)
            rows.push_back({ListRowOf(i).name, ListRowOf(i).Page()});
        return rows;
    }
    int RowOf(const TShown& row) {
        const std::vector<TShown> rows = Rows();
        for (size_t i = 0; i < rows.size(); ++i)
            if (rows[i] == row)
                return static_cast<int>(i);
        return -1;
    }
    void SelectOnly(const TShown& row) {
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
    // Opens the editor on a row and commits `text` as its new caption, as the list does.
    bool Rename(const TShown& row, std::wstring text) {
        NMLVDISPINFOW info{};
        info.hdr = {form->CptLvwItems, IDC_ITEMS, LVN_BEGINLABELEDITW};
        info.item.iItem = RowOf(row);
        if (::SendMessageW(form->Handle(), WM_NOTIFY, IDC_ITEMS, reinterpret_cast<LPARAM>(&info)))
            return false;
        info.hdr.code = LVN_ENDLABELEDITW;
        info.item.mask = LVIF_TEXT;
        info.item.pszText = text.data();
        return ::SendMessageW(form->Handle(), WM_NOTIFY, IDC_ITEMS,
                              reinterpret_cast<LPARAM>(&info)) != 0;
    }

    // Sends a drop of `paths` onto the list's empty corner.
    void Drop(const std::vector<std::wstring>& paths) {
        ::SendMessageW(form->Handle(), WM_DROPFILES,
                       reinterpret_cast<WPARAM>(MakeDrop(paths, {5, 5})), 0);
    }
    // Steps with the page keys until `page` is shown.
    void PageShow(int32_t page) {
        while (form->CurrentPage < page)
            KeyPress(VK_NEXT, {VK_CONTROL});
        while (form->CurrentPage > page)
            KeyPress(VK_PRIOR, {VK_CONTROL});
    }
    // F2 on the row, `text` typed over its caption and Enter, as a user renames; when the editor
    // has closed meanwhile, what is typed goes nowhere.
    void RenameTyped(const TShown& row, const std::function<void()>& meanwhile,
                     const std::wstring& text) {
        SelectOnly(row);
        ::SetFocus(form->CptLvwItems);
        KeyPress(VK_F2);
        ASSERT_NE(ListView_GetEditControl(form->CptLvwItems), nullptr);
        meanwhile();
        if (HWND edit = ListView_GetEditControl(form->CptLvwItems)) {
            ::SetWindowTextW(edit, text.c_str());
            ::SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
            PumpMessages(50);
        }
    }
    std::wstring FieldText() {
        wchar_t text[256] = {};
        ::GetWindowTextW(form->Search().Field(), text, 256);
        return text;
    }
    // What a scan of the store finds for `text`: every item whose name holds it and whose file is
    // there, as {name, page}, in order.
    static std::vector<TShown> StoreFinds(const std::wstring& text) {
        std::vector<TShown> found;
        for (int32_t page = 1; page <= PageCount(); ++page) {
            TPageEntries entries;
            PageItemsRead(page, entries);
            for (const TPageEntry& entry : entries)
                if (FindRecord record; TextFoldedContains(TextFold(entry.name), TextFold(text)) &&
                                       FileRecordGet(entry.path, record))
                    found.push_back({entry.name, page});
        }
        std::sort(found.begin(), found.end(), Ordered);
        return found;
    }
    static bool Ordered(const TShown& a, const TShown& b) {
        return std::tie(a.name, a.page) < std::tie(b.name, b.page);
    }
    std::vector<TShown> RowsInOrder() {
        std::vector<TShown> rows = Rows();
        std::sort(rows.begin(), rows.end(), Ordered);
        return rows;
    }

    TTempFolder dir;
};

void PrintTo(const TShown& row, std::ostream* out) {
    *out << Utf8Of(row.name) << " (page " << row.page << ")";
}

} // namespace

TEST_F(Search, TypedTextShowsItemsOfEveryPageAndEscapeBringsThePageBack) {
    TFrmOvMain& f = Shown();
    SelectOnly({L"notes.txt", 1});
    KeyPress('F', {VK_CONTROL});
    ASSERT_TRUE(::IsWindowVisible(f.Search().Field()));
    ASSERT_EQ(::GetFocus(), f.Search().Field());
    RECT field{}, list{};
    ::GetWindowRect(f.Search().Field(), &field);
    ::GetWindowRect(f.CptLvwItems, &list);
    EXPECT_EQ(field.bottom, list.top) << "the field right above the list";

    // Typed as the keyboard types: full-width letters and a surrogate pair among them.
    const std::pair<std::wstring, std::vector<TShown>> typed[] = {
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
    // The location says the page first, then the folder.
    EXPECT_EQ(Location(RowOf({L"report.txt", 3})), L"[3]  " + (dir / L"other"));

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
    EXPECT_EQ(::GetFocus(), f.Search().Field());
    // Called up by the hot key, the window takes typing in the field.
    RegBoolWrite(HKCU, OvKeyOption, OvValHookKey, true);
    RegIntWrite(HKCU, OvKeyOption, OvValHookKeyNo, VK_F8);
    ::SetFocus(f.CptLvwItems);
    ::SendMessageW(f.Handle(), WM_HOOKKEY, VK_F8, 1);
    EXPECT_EQ(::GetFocus(), f.Search().Field());

    Type(L"zzz");
    EXPECT_TRUE(Rows().empty());
    EXPECT_EQ(f.StatusPanels.pageText, L" 0 件 (0 ページ)");
    EXPECT_EQ(f.CptLvwItemsCue.Text(), L"一致する項目はありません");

    KeyPress(VK_ESCAPE);
    EXPECT_FALSE(::IsWindowVisible(f.Search().Field()));
    EXPECT_EQ(::GetFocus(), f.CptLvwItems);
    EXPECT_EQ(Rows(),
              (std::vector<TShown>{{L"report.txt", 1}, {L"notes.txt", 1}, {L"Memo.txt", 1}}));
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
    EXPECT_EQ(Rows(), (std::vector<TShown>{{L"report.txt", 1}}));
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
    EXPECT_TRUE(f.Search().ResultsShown());

    // The toolbar's delete with no row selected deletes no page from behind the results.
    ListView_SetItemState(f.CptLvwItems, -1, 0, LVIS_SELECTED);
    ::SendMessageW(f.Handle(), WM_COMMAND, IDC_TBN_DELETE, 0);
    EXPECT_EQ(PageCount(), 3);

    // The page keys leave the search and step from the page shown before it.
    KeyPress(VK_NEXT, {VK_CONTROL});
    EXPECT_FALSE(f.Search().IsOpen());
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
    EXPECT_EQ(found(L"tool"), (std::vector<TShown>{{L"tool.exe", 3}}));
    EXPECT_TRUE(Rename({L"tool.exe", 3}, L"renamed-open"));
    EXPECT_EQ(found(L"open"), (std::vector<TShown>{{L"renamed-open", 3}}));
    FileWrite(dir / L"dropped-open.txt", "x");
    drop(dir / L"dropped-open.txt");
    EXPECT_FALSE(f.Search().IsOpen()) << "what is dropped shows on its page";
    EXPECT_EQ(found(L"dropped"), (std::vector<TShown>{{L"dropped-open.txt", 1}}));
    lastPageDelete();
    KeyPress(VK_F3);
    EXPECT_EQ(found(L"open"), (std::vector<TShown>{{L"dropped-open.txt", 1}}));

    // Closed: a rename, a file added to page 2's folder and seen by its refresh, a page appended
    // and deleted, a folder dropped.
    KeyPress(VK_ESCAPE);
    KeyPress(VK_PRIOR, {VK_CONTROL});
    EXPECT_TRUE(Rename({L"notes.txt", 1}, L"renamed-closed"));
    EXPECT_EQ(found(L"closed"), (std::vector<TShown>{{L"renamed-closed", 1}}));
    KeyPress(VK_ESCAPE);
    FileWrite(dir / L"folder\\Memo3.txt", "x");
    KeyPress(VK_NEXT, {VK_CONTROL});
    KeyPress(VK_NEXT, {VK_CONTROL});
    EXPECT_EQ(f.PageTotal, 3);
    lastPageDelete();
    EXPECT_EQ(found(L"mem"),
              (std::vector<TShown>{{L"Memo3.txt", 2}, {L"Memo2.txt", 2}, {L"Memo.txt", 1}}));
    KeyPress(VK_ESCAPE);
    ::CreateDirectoryW((dir / L"new").c_str(), nullptr);
    FileWrite(dir / L"new\\zeta.txt", "x");
    drop(dir / L"new");
    EXPECT_EQ(found(L"zeta"), (std::vector<TShown>{{L"zeta.txt", 3}}));
}

namespace {

// The index holds what the store holds, page by page, each item's name and path in store order.
void ExpectIndexIsTheStore(TItemIndex& index) {
    ASSERT_EQ(index.PageCount(), PageCount());
    for (int32_t page = 1; page <= PageCount(); ++page) {
        TPageEntries stored;
        PageItemsRead(page, stored);
        std::vector<std::pair<std::wstring, std::wstring>> expected, indexed;
        for (const TPageEntry& entry : stored)
            expected.emplace_back(entry.name, entry.path);
        for (const TIndexItem& item : index.PageItems(page))
            indexed.emplace_back(item.Name(), item.Path());
        EXPECT_EQ(indexed, expected) << "page " << page;
    }
}

} // namespace

// After every command that changes a page, with the search open or closed, the index equals a
// fresh read of the store; and what is typed then finds exactly what a scan of the store finds.
TEST_F(Search, TheIndexIsTheStoreAfterEveryCommand) {
    TFrmOvMain& f = Shown();
    const std::wstring folder = dir / L"folder";
    KeyPress('F', {VK_CONTROL});
    KeyPress(VK_ESCAPE);
    ASSERT_TRUE(f.Search().Index().Built());
    ::CreateDirectoryW((dir / L"new").c_str(), nullptr);
    FileWrite(dir / L"new\\zeta.txt", "x");
    for (const wchar_t* name : {L"dropped1.txt", L"dropped2.txt", L"appended.txt", L"outside.txt"})
        FileWrite(dir / name, "x");
    const std::wstring stick = UnusedDrive() + L"\\stick\\far.txt";

    const std::pair<const char*, std::function<void()>> steps[] = {
        {"files dropped on page 1",
         [&] {
             Drop({dir / L"dropped1.txt", dir / L"dropped2.txt"});
         }},
        {"a row renamed in its editor",
         [&] {
             RenameTyped(
                 {L"notes.txt", 1}, [] {}, L"n2.txt");
         }},
        {"a row deleted with Delete",
         [&] {
             SelectOnly({L"Memo.txt", 1});
             AnswerBox([&] { KeyPress(VK_DELETE); }, IDOK);
         }},
        {"a page appended with the page key, a file dropped on it",
         [&] {
             PageShow(3);
             KeyPress(VK_NEXT, {VK_CONTROL});
             Drop({dir / L"appended.txt"});
         }},
        {"a folder dropped", [&] { Drop({dir / L"new"}); }},
        {"a folder page shown again after its folder changed",
         [&] {
             FileWrite(folder + L"\\Memo3.txt", "x");
             ::DeleteFileW((folder + L"\\guide.txt").c_str());
             PageShow(2);
         }},
        {"a folder page shown while its folder cannot be listed",
         [&] {
             PageShow(1);
             const TLookUpFault denied(folder, true);
             PageShow(2);
         }},
        {"a folder's entry taken over by another of the same name, after a search showed it",
         [&] {
             FileWrite(folder + L"\\doc", "x");
             PageShow(1);
             PageShow(2);
             Type(L"doc");
             KeyPress(VK_ESCAPE);
             FileWrite(folder + L"\\doc.lnk", std::string(3000, 'x'));
             ::DeleteFileW((folder + L"\\doc").c_str());
             PageShow(1);
             PageShow(2);
         }},
        {"an ordinary page refreshed after a file went, with an item on a drive that is not there",
         [&] {
             ItemAdd(1, stick);
             ::DeleteFileW((dir / L"report.txt").c_str());
             PageShow(1);
             KeyPress(VK_F5);
         }},
        {"a page in the middle deleted",
         [&] {
             PageShow(2);
             ListView_SetItemState(f.CptLvwItems, -1, 0, LVIS_SELECTED);
             AnswerBox([&] { ::SendMessageW(f.Handle(), WM_COMMAND, IDC_TBN_DELETE, 0); }, IDOK);
         }},
        {"a result renamed and a result deleted",
         [&] {
             Type(L"x😀y");
             RenameTyped(
                 {L"x😀y.txt", 2}, [] {}, L"smile.txt");
             Type(L"appended");
             SelectOnly({L"appended.txt", 3});
             AnswerBox([&] { KeyPress(VK_DELETE); }, IDOK);
         }},
        {"F5 during a search after another program wrote to the store",
         [&] {
             RegStrWrite(HKCU, PageKeyPath(1), L"outside.txt", dir / L"outside.txt");
             RegValueDelete(HKCU, PageKeyPath(2), L"tool.exe");
             Type(L"t");
             KeyPress(VK_F5);
         }},
        {"the last page deleted",
         [&] {
             KeyPress(VK_ESCAPE);
             PageShow(f.PageTotal);
             ListView_SetItemState(f.CptLvwItems, -1, 0, LVIS_SELECTED);
             AnswerBox([&] { ::SendMessageW(f.Handle(), WM_COMMAND, IDC_TBN_DELETE, 0); }, IDOK);
         }},
    };
    for (const auto& [what, step] : steps) {
        SCOPED_TRACE(what);
        step();
        ExpectIndexIsTheStore(f.Search().Index());
    }
    EXPECT_EQ(ItemPathRead(1, L"far.txt"), stick) << "what cannot be reached is kept";
    for (const wchar_t* text : {L"txt", L"mem", L"ｅ", L"far", L"outside"}) {
        Type(text);
        EXPECT_EQ(RowsInOrder(), StoreFinds(text)) << Utf8Of(text);
    }
}

// With its option the hot key opens the search field empty, the page back in place of results;
// keys typed right after the hot key, before the window has handled it, land in the field in
// order, so hot key, letters, Enter starts a program. Without the option the list takes the keys.
TEST_F(Search, WithItsOptionTheHotKeyOpensTheSearchAndKeepsTheKeysTypedAfterIt) {
    TFrmOvMain& f = Shown();
    RegBoolWrite(HKCU, OvKeyOption, OvValHookKey, true);
    RegIntWrite(HKCU, OvKeyOption, OvValHookKeyNo, VK_F8);
    ::SendMessageW(f.Handle(), WM_HOOKKEY, VK_F8, 1);
    EXPECT_FALSE(f.Search().IsOpen()) << "off by default";
    EXPECT_EQ(::GetFocus(), f.CptLvwItems);

    RegBoolWrite(HKCU, OvKeyOption, OvValHookSearch, true);
    Type(L"mem");
    ASSERT_TRUE(f.Search().ResultsShown());
    ::SetFocus(f.CptLvwItems);
    ::SendMessageW(f.Handle(), WM_HOOKKEY, VK_F8, 1);
    EXPECT_EQ(::GetFocus(), f.Search().Field());
    EXPECT_EQ(FieldText(), L"");
    EXPECT_FALSE(f.Search().ResultsShown());
    EXPECT_EQ(Rows().size(), 3u) << "the page in place of the results";

    KeyPress(VK_ESCAPE);
    ASSERT_FALSE(f.Search().IsOpen());
    TShellOpenRecorder recorder;
    ::PostMessageW(f.Handle(), WM_HOOKKEY, VK_F8, 1);
    KeysQueue(L"tool", VK_RETURN);
    PumpMessages(300);
    EXPECT_EQ(recorder.Requests, (std::vector<TShellOpenRequest>{{dir / L"tool.exe", L""}}));
    EXPECT_EQ(FieldText(), L"tool");
}

// A folder of many files dropped as a new page is listed on a thread while the page shows empty
// (読み込み中…), then shows whole at once while the store catches up a slice at a time; a page
// removed before it, during the listing, moves it down, and the store ends as the folder's
// listing, found by the search.
TEST_F(Search, AFolderDroppedIsListedAsideThenShowsWholeWhileTheStoreCatchesUp) {
    TFrmOvMain& f = Shown();
    const std::wstring big = dir / L"big";
    ::CreateDirectoryW(big.c_str(), nullptr);
    constexpr int files = 1500;
    // As the first idle moment after the window showed does.
    f.Search().IndexStart();
    for (int i = 0; i < files; ++i)
        FileWrite(big + L"\\file " + std::to_wstring(i) + L".txt", "x");
    // The folder's listing is held until it is let go.
    static HANDLE held = nullptr;
    static std::atomic<bool> letThrough{false};
    TUniqueHandle event(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    held = event.Get();
    struct TLetGo {
        TFileLookUps saved = FileLookUps();
        ~TLetGo() {
            ::SetEvent(held);
            FileLookUps() = saved;
        }
    } letGo;
    FileLookUps().findFirst = [](LPCWSTR path, LPWIN32_FIND_DATAW data) {
        if (std::wcsstr(path, L"\\big\\*")) {
            ::WaitForSingleObject(held, INFINITE);
            letThrough = true;
        }
        return ::FindFirstFileW(path, data);
    };
    Drop({big});
    ASSERT_EQ(f.CurrentPage, 4);
    EXPECT_TRUE(Rows().empty()) << "no half of the listing";
    EXPECT_EQ(f.CptLvwItemsCue.Text(), L"読み込み中…");
    // Page 1 goes before the listing is done: the folder page is now page 3.
    PageRemove(1, f.PageTotal);
    f.PageTotal = PageCount();
    f.CurrentPage = 3;
    ::SetEvent(held);
    ListedWait();
    EXPECT_EQ(Rows().size(), static_cast<size_t>(files)) << "the whole listing at once";
    EXPECT_LT(PageItemCount(3), files) << "the store is written afterwards";
    EXPECT_NE(f.StatusPanels.pageText.find(L"1500 個のオブジェクト"), std::wstring::npos)
        << Utf8Of(f.StatusPanels.pageText);
    // The search's index has read the page as it is now, before its items: it hears when they are
    // all in.
    f.Search().Index().Wait();
    f.Search().Index().Match(L"file");
    for (int waited = 0; f.Fill().Busy() && waited < 60000; waited += 20) {
        PumpMessages(20);
        EXPECT_EQ(Rows().size(), static_cast<size_t>(files));
    }
    ASSERT_FALSE(f.Fill().Busy());
    EXPECT_EQ(PageCount(), 3) << "no page made by a write to the old number";
    EXPECT_EQ(PageFolderRead(3), big);
    TPageEntries stored;
    PageItemsRead(3, stored);
    std::set<std::pair<std::wstring, std::wstring>> expected, got;
    for (const TPageEntry& item : PageFolderItems(3, big))
        expected.emplace(item.name, item.path);
    for (const TPageEntry& item : stored)
        got.emplace(item.name, item.path);
    EXPECT_EQ(got, expected);
    Type(L"file 1234.");
    EXPECT_EQ(Rows(), (std::vector<TShown>{{L"file 1234.txt", 3}}));

    // Closed while a folder is listed (held, and let go a moment later): the window waits for
    // the listing's end, and no thread is left.
    KeyPress(VK_ESCAPE);
    const size_t threads = ThreadCount();
    ::ResetEvent(held);
    letThrough = false;
    Drop({big});
    ASSERT_TRUE(f.Fill().Listing(f.CurrentPage));
    std::thread later([] {
        ::Sleep(200);
        ::SetEvent(held);
    });
    form.reset();
    EXPECT_TRUE(letThrough) << "the window was gone before its listing";
    later.join();
    EXPECT_LE(ThreadCount(), threads);
}

// Typed while the index is still being read: the results of the pages read so far show with the
// status saying so, grow as the rest comes in, and end as the results of the whole store.
TEST_F(Search, TypedWhileTheIndexIsReadTheResultsGrowToThoseOfTheWholeStore) {
    TFrmOvMain& f = Shown();
    for (int32_t page = 4; page <= 40; ++page) {
        PageCreate(page, L"");
        for (int i = 0; i < 100; ++i)
            RegStrWrite(HKCU, PageKeyPath(page), L"entry " + std::to_wstring(i) + L".txt",
                        dir / L"notes.txt");
    }
    f.PageTotal = PageCount();
    // The text is in the field right after the search opened, before its reader had time for
    // more than a page or two.
    f.Search().Index().Clear();
    f.Search().Show();
    ::SetWindowTextW(f.Search().Field(), L"entry 7");
    const std::vector<TShown> seen = RowsInOrder();
    EXPECT_TRUE(f.Search().Searching());
    EXPECT_EQ(f.StatusPanels.pageText.rfind(L" 検索中… ", 0), 0u)
        << Utf8Of(f.StatusPanels.pageText);
    EXPECT_LT(seen.size(), 407u);
    for (int waited = 0; f.Search().Searching() && waited < 30000; waited += 20)
        PumpMessages(20);
    ASSERT_FALSE(f.Search().Searching());
    const std::vector<TShown> rows = RowsInOrder();
    EXPECT_TRUE(std::includes(rows.begin(), rows.end(), seen.begin(), seen.end(), Ordered));
    EXPECT_EQ(rows.size(), 37u * 11u);
    EXPECT_EQ(f.StatusPanels.pageText, L" 407 件 (37 ページ)");
}

// However the search is left, the field goes with its text and the page it was opened on comes
// back with its selection, its status and the keyboard in its list, unless a page step shows
// another page. Up from the second result goes to the first, from the first to the field.
TEST_F(Search, LeavingTheSearchAnyWayShowsThePageItWasOpenedOn) {
    TFrmOvMain& f = Shown();
    FileWrite(dir / L"added.txt", "x");
    const struct {
        const char* way;
        std::function<void()> leave;
        int32_t page;
    } ways[] = {
        {"Escape", [] { KeyPress(VK_ESCAPE); }, 1},
        {"Ctrl+PageUp on the first page", [] { KeyPress(VK_PRIOR, {VK_CONTROL}); }, 1},
        {"Alt+Left on the first page", [] { KeyPress(VK_LEFT, {VK_MENU}); }, 1},
        {"the previous-page button on the first page",
         [&] { ::SendMessageW(f.Handle(), WM_COMMAND, IDC_TBN_BEFORE, 0); }, 1},
        {"a file dropped", [&] { Drop({dir / L"added.txt"}); }, 1},
        {"Ctrl+PageDown", [] { KeyPress(VK_NEXT, {VK_CONTROL}); }, 2},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.way);
        PageShow(1);
        SelectOnly({L"notes.txt", 1});
        KeyPress('F', {VK_CONTROL});
        KeysType(L"rep");
        ASSERT_EQ(RowsInOrder(), (std::vector<TShown>{{L"report.txt", 1}, {L"report.txt", 3}}));
        if (way.page == 1) {
            // Up from the second result reaches the first, and only then the field.
            KeyPress(VK_DOWN);
            KeyPress(VK_DOWN);
            KeyPress(VK_UP);
            EXPECT_EQ(::GetFocus(), f.CptLvwItems);
            EXPECT_EQ(ListView_GetNextItem(f.CptLvwItems, -1, LVNI_FOCUSED), 0);
            KeyPress(VK_UP);
            EXPECT_EQ(::GetFocus(), f.Search().Field());
        }
        way.leave();
        EXPECT_FALSE(::IsWindowVisible(f.Search().Field()));
        EXPECT_EQ(FieldText(), L"");
        EXPECT_FALSE(f.Search().ResultsShown());
        EXPECT_EQ(::GetFocus(), f.CptLvwItems);
        EXPECT_EQ(f.CurrentPage, way.page);
        const std::wstring status = L" " + std::to_wstring(way.page) + L"/3 ページ";
        EXPECT_EQ(f.StatusPanels.pageText.substr(0, status.size()), status);
        EXPECT_NE(f.CptLvwItemsCue.Text(), L"一致する項目はありません");
        std::vector<std::wstring> names, shown;
        PageItemNames(way.page, names);
        names.erase(names.begin());
        for (const TShown& row : Rows()) {
            EXPECT_EQ(row.page, way.page);
            shown.push_back(row.name);
        }
        std::sort(names.begin(), names.end());
        std::sort(shown.begin(), shown.end());
        EXPECT_EQ(shown, names);
        if (way.page == 1) {
            std::vector<std::wstring> selected;
            ListSelectedNames(selected);
            EXPECT_EQ(selected, std::vector<std::wstring>{L"notes.txt"});
            EXPECT_EQ(ListRowOf(ListView_GetNextItem(f.CptLvwItems, -1, LVNI_FOCUSED)).name,
                      L"notes.txt");
        }
        // Opened again, the field starts empty.
        KeyPress('F', {VK_CONTROL});
        EXPECT_EQ(FieldText(), L"");
        KeyPress(VK_ESCAPE);
    }
}

// A result's file may go after the index read it: it is not counted, opening it says so, and F5
// (which reads the store again too) drops it and finds what another program wrote.
TEST_F(Search, ResultsWhoseFilesAreGoneAreNeitherCountedNorOpenedSilently) {
    TFrmOvMain& f = Shown();
    KeyPress('F', {VK_CONTROL});
    ::DeleteFileW((dir / L"report.txt").c_str());
    Type(L"report");
    EXPECT_EQ(Rows(), (std::vector<TShown>{{L"report.txt", 3}}));
    EXPECT_EQ(f.StatusPanels.pageText, L" 1 件 (1 ページ)");

    Type(L"tool");
    ASSERT_EQ(Rows(), (std::vector<TShown>{{L"tool.exe", 3}}));
    ::DeleteFileW((dir / L"tool.exe").c_str());
    {
        TShellOpenRecorder recorder;
        EXPECT_EQ(AnswerBox([&] { KeyPress(VK_RETURN); }, IDOK).text,
                  AboutFileText(dir / L"tool.exe", L"ファイルが見つかりません"));
        EXPECT_TRUE(recorder.Requests.empty());
    }
    KeyPress(VK_F5);
    EXPECT_TRUE(Rows().empty());
    EXPECT_EQ(f.StatusPanels.pageText, L" 0 件 (0 ページ)");
    EXPECT_TRUE(f.Search().ResultsShown());

    FileWrite(dir / L"tool2.exe", "x");
    RegStrWrite(HKCU, PageKeyPath(2), L"tool2.exe", dir / L"tool2.exe");
    Type(L"tool");
    EXPECT_TRUE(Rows().empty()) << "another program's write is not seen before F5";
    KeyPress(VK_F5);
    EXPECT_EQ(Rows(), (std::vector<TShown>{{L"tool2.exe", 2}}));
    EXPECT_EQ(f.StatusPanels.pageText, L" 1 件 (1 ページ)");
}

// Results are made in store order and shown in the list's order by name: every row knows its
// place, so the rows on screen get their icons, and a file gone from among them leaves no hole.
TEST_F(Search, ResultsSortedByNameStandInTheListsOrderAndTheRowsOnScreenGetTheirIcons) {
    TFrmOvMain& f = Shown();
    // Stored in ascending order, shown descending: the first screen's rows are the last in the
    // store, more of them than a screen holds.
    PageCreate(4, L"");
    for (int i = 10; i < 90; ++i)
        Add(4, dir / (L"pile " + std::to_wstring(i) + L".txt"));
    ::DeleteFileW((dir / L"pile 50.txt").c_str());
    KeyPress('F', {VK_CONTROL});
    for (const wchar_t* text : {L"pile", L".txt"}) {
        Type(text);
        const std::vector<TShown> rows = Rows();
        EXPECT_EQ(RowsInOrder(), StoreFinds(text)) << Utf8Of(text);
        // As the platform compares the names, descending.
        EXPECT_TRUE(std::is_sorted(rows.begin(), rows.end(), [](const TShown& a, const TShown& b) {
            return ::lstrcmpW(a.name.c_str(), b.name.c_str()) > 0;
        })) << Utf8Of(text);
    }
    PaintAndLoadIcons();
    const int top = ListView_GetTopIndex(f.CptLvwItems);
    const int shown = ListView_GetCountPerPage(f.CptLvwItems);
    ASSERT_GT(shown, 0);
    for (int row = top; row < top + shown; ++row)
        EXPECT_GE(ImageOf(row), 0) << "row " << row;
}

// The editor renames the item it was opened on, whatever moves the rows under it meanwhile: a
// drop that adds a row and sorts, a search's results sorted again by a column.
TEST_F(Search, TheEditorRenamesTheItemItWasOpenedOn) {
    TFrmOvMain& f = Shown();
    const std::wstring notes = dir / L"notes.txt", report = dir / L"report.txt";
    FileWrite(dir / L"zzz.txt", "x");
    ASSERT_EQ(Rows(),
              (std::vector<TShown>{{L"report.txt", 1}, {L"notes.txt", 1}, {L"Memo.txt", 1}}));
    RenameTyped(
        {L"notes.txt", 1}, [&] { Drop({dir / L"zzz.txt"}); }, L"edited.txt");
    EXPECT_EQ(ItemPathRead(1, L"report.txt"), report);
    EXPECT_EQ(ItemPathRead(1, L"zzz.txt"), dir / L"zzz.txt");
    const std::wstring edited = ItemPathRead(1, L"edited.txt");
    EXPECT_TRUE(edited.empty() || edited == notes) << Utf8Of(edited);
    EXPECT_EQ(ItemPathRead(1, L"notes.txt"), edited.empty() ? notes : L"");

    // Among results of one name, the one renamed is the one the editor was opened on.
    KeyPress('F', {VK_CONTROL});
    KeysType(L"report");
    ASSERT_EQ(RowsInOrder(), (std::vector<TShown>{{L"report.txt", 1}, {L"report.txt", 3}}));
    RenameTyped(
        {L"report.txt", 3}, [] {}, L"edited2.txt");
    EXPECT_EQ(ItemPathRead(3, L"edited2.txt"), dir / L"other\\report.txt");
    EXPECT_EQ(ItemPathRead(1, L"report.txt"), report);
    EXPECT_EQ(RowsInOrder(), (std::vector<TShown>{{L"edited2.txt", 3}, {L"report.txt", 1}}));

    // Rows sorted again under the editor end it: its text was meant for the row it was opened on.
    Type(L"t");
    const std::vector<TShown> before = Rows();
    ASSERT_GE(before.size(), 2u);
    RenameTyped(
        before[0],
        [&] {
            // Sorted by folder one way, then the other.
            for (int click = 0; click < 2; ++click) {
                NMLISTVIEW header{};
                header.hdr = {f.CptLvwItems, IDC_ITEMS, LVN_COLUMNCLICK};
                header.iItem = -1;
                header.iSubItem = 4;
                ::SendMessageW(f.Handle(), WM_NOTIFY, IDC_ITEMS, reinterpret_cast<LPARAM>(&header));
            }
            ASSERT_NE(Rows(), before) << "the rows moved";
            EXPECT_EQ(ListView_GetEditControl(f.CptLvwItems), nullptr);
        },
        L"edited3.txt");
    EXPECT_EQ(ItemPathRead(before[0].page, L"edited3.txt"), L"");
    EXPECT_EQ(ItemPathRead(before[1].page, L"edited3.txt"), L"");
}

// Results shown again (they grow every quarter second while the index is read, and a command
// shows them afresh) keep the rows the user selected among them, by item; under an open menu they
// are not shown again at all, so the entry chosen acts on the rows it was opened on.
TEST_F(Search, ResultsShownAgainKeepTheSelectionAndWaitForAMenu) {
    TFrmOvMain& f = Shown();
    Type(L"report");
    ASSERT_EQ(ListView_GetItemCount(f.CptLvwItems), 2);
    // Of two rows of one name, the first in the list's order is the one selected and focused.
    const TShown first{L"report.txt", ListRowOf(0).Page()};
    SelectOnly(first);
    ::SendMessageW(f.Handle(), WM_TIMER, OV_TIMER_RESULTSGROW, 0);
    EXPECT_EQ(ListView_GetSelectedCount(f.CptLvwItems), 1u);
    EXPECT_EQ(ListRowOf(ListView_GetNextItem(f.CptLvwItems, -1, LVNI_SELECTED)).Page(), first.page);
    EXPECT_EQ(ListRowOf(ListView_GetNextItem(f.CptLvwItems, -1, LVNI_FOCUSED)).Page(), first.page);

    Add(1, dir / L"report 2.txt");
    ::SendMessageW(f.Handle(), WM_ENTERMENULOOP, TRUE, 0);
    f.Search().ResultsGrow();
    EXPECT_EQ(ListView_GetItemCount(f.CptLvwItems), 2) << "not under the menu";
    ::SendMessageW(f.Handle(), WM_EXITMENULOOP, TRUE, 0);
    f.Search().ResultsGrow();
    EXPECT_EQ(ListView_GetItemCount(f.CptLvwItems), 3);
    EXPECT_EQ(ListView_GetSelectedCount(f.CptLvwItems), 1u);
    // Delete then takes the row selected, and only it.
    EXPECT_TRUE(
        AnswerBox([&] { ::SendMessageW(f.Handle(), WM_COMMAND, IDM_KEY_DELETE, 0); }, IDOK).seen);
    const int32_t other = first.page == 1 ? 3 : 1;
    EXPECT_EQ(ItemPathRead(first.page, L"report.txt"), L"");
    EXPECT_NE(ItemPathRead(other, L"report.txt"), L"");
}

// The page commands in the real window: the page list, names, pages moved, and items moved
// between pages by the row menu, Ctrl+X and Ctrl+V and a drag; what holds a page across a page
// move (the rows, the mark, the editor, a folder page's writes) keeps holding the same page.
#include "uCmnCom.h"
#include "uCmnFile.h"
#include "uOvCfg.h"
#include "uOvFrmDef.h"
#include "uOvInput.h"
#include "uOvPageCmd.h"
#include "uOvPages.h"
#include "uTestMainWindow.h"
#include "uTestMenus.h"
#include "uTestProcess.h"

#include <commctrl.h>

#include <algorithm>
#include <set>
#include <utility>

namespace {

// Every item's path on every page: a move neither loses nor doubles one.
std::multiset<std::wstring> AllPaths() {
    std::multiset<std::wstring> paths;
    for (int32_t page = 1; page <= PageCount(); ++page) {
        TPageEntries entries;
        PageItemsRead(page, entries);
        for (const TPageEntry& e : entries)
            paths.insert(e.path);
    }
    return paths;
}

std::vector<std::wstring> ItemNames(int32_t page) {
    TPageEntries entries;
    PageItemsRead(page, entries);
    std::vector<std::wstring> names;
    for (const TPageEntry& e : entries)
        names.push_back(e.name);
    std::sort(names.begin(), names.end());
    return names;
}

class Pages : public TMainWindowTest {
  protected:
    // Page 1: a.txt, b.txt, tool.exe; page 2: another a.txt; page 3 mirrors a folder holding
    // m.txt. Report view, shown and active.
    TFrmOvMain& Shown3() {
        ConfigTreeCreate();
        ComEnsure();
        for (const wchar_t* sub : {L"other", L"mirror"})
            ::CreateDirectoryW((dir / sub).c_str(), nullptr);
        for (const wchar_t* name :
             {L"a.txt", L"b.txt", L"tool.exe", L"other\\a.txt", L"mirror\\m.txt"})
            FileWrite(dir / name, "x");
        PageCreate(1, L"");
        for (const wchar_t* name : {L"a.txt", L"b.txt", L"tool.exe"})
            ItemAdd(1, dir / name);
        PageCreate(2, L"");
        ItemAdd(2, dir / L"other\\a.txt");
        PageFolderAdd(3, dir / L"mirror", {dir / L"mirror\\m.txt"});
        RegIntWrite(HKEY_CURRENT_USER, OvKeyConfig, OvValLvwStyle, 3);
        return OpenShown();
    }
    // The list's rows, sorted.
    std::vector<std::wstring> Shown() const {
        std::vector<std::wstring> rows;
        for (int i = 0; i < ListView_GetItemCount(form->CptLvwItems); ++i)
            rows.push_back(ListRowOf(i).name);
        std::sort(rows.begin(), rows.end());
        return rows;
    }
    bool Dimmed(const wchar_t* caption) const {
        return ListView_GetItemState(form->CptLvwItems, Row(caption), LVIS_CUT) != 0;
    }
    // The name dialog run from the page list's command, answered with each text in turn; the
    // boxes that open over it are noted and closed. The window has the keyboard again after it,
    // as a user would find it once the dialog's activation has come back.
    std::vector<std::wstring> NameAsk(std::vector<std::wstring> texts) {
        std::vector<std::wstring> boxes;
        size_t next = 0;
        AnswerEveryDialog([&] { form->Pages().Command(IDM_PAGE_NAME); },
                          [&](HWND dialog) {
                              HWND edit = ::GetDlgItem(dialog, IDC_TEXTASK_EDIT);
                              if (!edit) {
                                  boxes.push_back(WindowText(::GetDlgItem(dialog, 0xFFFF)));
                                  ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
                              } else if (next < texts.size()) {
                                  ::SetWindowTextW(edit, texts[next++].c_str());
                                  ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
                              } else {
                                  ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
                              }
                          });
        WaitFor(
            [&] {
                ::SetForegroundWindow(form->Handle());
                return ::GetForegroundWindow() == form->Handle() &&
                       ::GetFocus() == form->CptLvwItems;
            },
            2000);
        // Under Wine the display server's own word on the focus comes later still, and a menu
        // opened before it arrives is ended by it.
        PumpMessages(300);
        return boxes;
    }
    // The centre of a toolbar button, in the window's client coordinates.
    POINT ButtonCentre(int id) const {
        RECT rc{};
        ::SendMessageW(form->CptTbrToolBar, TB_GETRECT, id, reinterpret_cast<LPARAM>(&rc));
        POINT centre{(rc.left + rc.right) / 2 - 4, (rc.top + rc.bottom) / 2};
        ::MapWindowPoints(form->CptTbrToolBar, form->Handle(), &centre, 1);
        return centre;
    }
    void DragTo(const wchar_t* caption, POINT client) {
        Select({caption});
        DragRows(Row(caption), client);
    }

    TTempFolder dir;
};

} // namespace

// The page list shows every page with its name, folder and count; its entries and the keys show,
// name and move pages, and a name goes with its page wherever the page moves.
TEST_F(Pages, ThePageListAndTheKeysReachEveryPageAndNamesFollowTheirPages) {
    TFrmOvMain& f = Shown3();
    EXPECT_TRUE(NameAsk({L" 仕事 "}).empty());
    EXPECT_EQ(PageNameRead(1), L"仕事");
    EXPECT_EQ(WindowText(f.Handle()), L"Orvanta - 仕事");
    EXPECT_NE(f.StatusPanels.pageText.find(L"仕事"), std::wstring::npos) << f.StatusPanels.pageText;

    const std::wstring folder = PageFolderRead(3);
    const TMenus list = Menus([&] { KeyPress(VK_DOWN, {VK_MENU}); }, L"2");
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0],
              (std::vector<std::wstring>{L"&1  仕事\t3", L"&2\t1", PageMenuText(3, L"", folder, 1),
                                         L"|", L"新しいページ(&N)", L"名前を付ける(&R)...",
                                         L"-前へ移動(&B)", L"後ろへ移動(&F)", L"削除(&D)"}));
    EXPECT_EQ(f.CurrentPage, 2) << "chosen from the list";

    // A name taken by another page (letter case aside) or too long gets its box; the dialog stays.
    EXPECT_EQ(NameAsk({L"仕事 ", std::wstring(65, L'x'), L"Tools & more"}),
              (std::vector<std::wstring>{L"「仕事」という名前のページは既にあります",
                                         L"ページの名前は 64 文字以内で入力してください"}));
    EXPECT_EQ(PageNameRead(2), L"Tools & more");
    EXPECT_EQ(Menus([&] { KeyPress(VK_DOWN, {VK_MENU}); }, L"")[0][1], L"&2  Tools && more\t1");

    // The page moves, its name and items with it, and stays shown.
    f.Pages().Command(IDM_PAGE_MOVEBACK);
    EXPECT_EQ(f.CurrentPage, 1);
    EXPECT_EQ(PageNameRead(1), L"Tools & more");
    EXPECT_EQ(PageNameRead(2), L"仕事");
    EXPECT_EQ(Shown(), (std::vector<std::wstring>{L"a.txt"}));
    EXPECT_EQ(WindowText(f.Handle()), L"Orvanta - Tools & more");

    // Ctrl+digits, Ctrl+9 the last page, Ctrl+Tab and Ctrl+Shift+Tab, also from a search.
    const std::pair<std::vector<WORD>, int32_t> keys[] = {
        {{VK_CONTROL, '3'}, 3},    {{VK_CONTROL, '2'}, 2},
        {{VK_CONTROL, '9'}, 3},    {{VK_CONTROL, VK_SHIFT, VK_TAB}, 2},
        {{VK_CONTROL, VK_TAB}, 3}, {{VK_CONTROL, '8'}, 3},
        {{VK_CONTROL, '1'}, 1}};
    for (const auto& [chord, page] : keys) {
        KeyPress(VK_F3);
        std::vector<WORD> held(chord.begin(), chord.end() - 1);
        KeyPress(chord.back(), held);
        EXPECT_EQ(f.CurrentPage, page) << chord.back();
        EXPECT_FALSE(f.Search().IsOpen());
    }
    EXPECT_EQ(f.PageTotal, 3);
    EXPECT_EQ(WindowText(f.Handle()), L"Orvanta - Tools & more");
    // Removing the name: the caption is the product's again.
    EXPECT_TRUE(NameAsk({L"  "}).empty());
    EXPECT_EQ(WindowText(f.Handle()), L"Orvanta");
}

// Items move by the row menu, by Ctrl+X and Ctrl+V and by a drag onto a page button: each keeps
// its path, a name the target holds gets a number, folder pages refuse both ways, and no item is
// ever lost or doubled.
TEST_F(Pages, ItemsMoveByTheMenuTheKeysAndADragAndNoneIsLostOrOverwritten) {
    TFrmOvMain& f = Shown3();
    const std::multiset<std::wstring> all = AllPaths();
    const std::wstring folder = PageFolderRead(3);

    Select({L"a.txt", L"b.txt"});
    const TMenus menus = Menus([&] { KeyPress(VK_APPS); }, L"v2");
    ASSERT_EQ(menus.size(), 2u);
    EXPECT_EQ(menus[1], (std::vector<std::wstring>{L"-&1\t3", L"&2\t1",
                                                   L"-" + PageMenuText(3, L"", folder, 1), L"|",
                                                   L"新しいページ(&N)"}));
    EXPECT_EQ(Shown(), (std::vector<std::wstring>{L"tool.exe"}));
    EXPECT_EQ(ItemNames(2), (std::vector<std::wstring>{L"a (2).txt", L"a.txt", L"b.txt"}));
    EXPECT_EQ(ItemPathRead(2, L"a (2).txt"), dir / L"a.txt");
    EXPECT_EQ(AllPaths(), all);

    // Ctrl+X dims; Escape drops the mark and nothing else; onto a folder page it is refused.
    Select({L"tool.exe"});
    KeyPress('X', {VK_CONTROL});
    EXPECT_TRUE(Dimmed(L"tool.exe"));
    KeyPress(VK_ESCAPE);
    EXPECT_FALSE(Dimmed(L"tool.exe"));
    EXPECT_FALSE(::IsIconic(f.Handle()));
    KeyPress('X', {VK_CONTROL});
    KeyPress('3', {VK_CONTROL});
    EXPECT_EQ(AnswerBox([&] { KeyPress('V', {VK_CONTROL}); }, IDOK).text,
              L"このページにはファイルを移動できません");
    EXPECT_EQ(AllPaths(), all);
    // The folder page's own rows cannot be marked.
    Select({L"m.txt"});
    EXPECT_EQ(AnswerBox([&] { KeyPress('X', {VK_CONTROL}); }, IDOK).text,
              L"このページのファイルは移動できません");
    KeyPress('2', {VK_CONTROL});
    KeyPress('V', {VK_CONTROL});
    EXPECT_EQ(ItemNames(1), std::vector<std::wstring>{});
    EXPECT_EQ(Shown(), (std::vector<std::wstring>{L"a (2).txt", L"a.txt", L"b.txt", L"tool.exe"}));
    EXPECT_FALSE(Dimmed(L"tool.exe")) << "the mark goes with the move";
    EXPECT_EQ(AllPaths(), all);

    // Dragged onto the previous button: to page 1; onto the next button of page 2: refused by
    // the folder page; during a search a result moves from its own page.
    DragTo(L"b.txt", ButtonCentre(IDC_TBN_BEFORE));
    EXPECT_EQ(ItemNames(1), (std::vector<std::wstring>{L"b.txt"}));
    EXPECT_NE(::GetCapture(), f.Handle());
    EXPECT_EQ(AnswerBox([&] { DragTo(L"a.txt", ButtonCentre(IDC_TBN_NEXT)); }, IDOK).text,
              L"このページにはファイルを移動できません");
    EXPECT_EQ(AllPaths(), all);
    std::wstring stored;
    PageNameSet(2, 3, L"二", stored);
    KeyPress(VK_F3);
    KeysType(L"tool");
    KeyPress(VK_DOWN);
    Select({L"tool.exe"});
    wchar_t where[512] = {};
    ListView_GetItemText(f.CptLvwItems, Row(L"tool.exe"), 4, where, 512);
    EXPECT_EQ(std::wstring(where), L"[2 二]  " + PathFolder(dir / L"tool.exe")) << "its page";
    Menus([&] { KeyPress(VK_APPS); }, L"v1");
    EXPECT_EQ(ItemNames(1), (std::vector<std::wstring>{L"b.txt", L"tool.exe"}));
    EXPECT_EQ(ListView_GetItemCount(f.CptLvwItems), 1) << "the result, from its new page";
    // Onto a new page.
    KeyPress(VK_ESCAPE);
    Select({L"a.txt"});
    Menus([&] { KeyPress(VK_APPS); }, L"vn");
    EXPECT_EQ(f.PageTotal, 4);
    EXPECT_EQ(ItemNames(4), (std::vector<std::wstring>{L"a.txt"}));
    EXPECT_EQ(AllPaths(), all);

    // Held over 次へ a moment, the next page shows, and the row dropped on its list moves there.
    KeyPress('1', {VK_CONTROL});
    Select({L"b.txt"});
    TButtonHeld held;
    DragBegin(Row(L"b.txt"));
    const POINT next = ButtonCentre(IDC_TBN_NEXT);
    DragMove(next);
    PumpMessages(1000);
    EXPECT_EQ(f.CurrentPage, 2);
    RECT list{};
    ::GetWindowRect(f.CptLvwItems, &list);
    ::MapWindowPoints(nullptr, f.Handle(), reinterpret_cast<POINT*>(&list), 2);
    const POINT middle{(list.left + list.right) / 2, (list.top + list.bottom) / 2};
    DragMove(middle);
    ::SendMessageW(f.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(middle.x, middle.y));
    EXPECT_EQ(ItemNames(1), (std::vector<std::wstring>{L"tool.exe"}));
    EXPECT_NE(Shown(), std::vector<std::wstring>{});
    EXPECT_EQ(ItemPathRead(2, L"b.txt"), dir / L"b.txt");
    EXPECT_EQ(AllPaths(), all);
}

// Rows, the Ctrl+X mark, the editor and a drag hold their items' pages through a page move: each
// command acts on the moved page's items, never on those of the page that took its number (both
// pages hold an a.txt), and the move entries grey the page the rows are on now.
TEST_F(Pages, RowsTheMarkTheEditorAndADragKeepTheirItemsAcrossAPageMove) {
    TFrmOvMain& f = Shown3();
    const std::wstring mine = dir / L"a.txt", other = dir / L"other\\a.txt";
    auto command = [&](int id) { ::SendMessageW(f.Handle(), WM_COMMAND, id, 0); };

    // Page 1 moved forward keeps its rows: Delete takes its own a.txt.
    command(IDM_PAGE_MOVEFORWARD);
    ASSERT_EQ(f.CurrentPage, 2);
    Select({L"a.txt"});
    EXPECT_TRUE(AnswerBox([&] { command(IDM_KEY_DELETE); }, IDOK).seen);
    EXPECT_EQ(ItemNames(2), (std::vector<std::wstring>{L"b.txt", L"tool.exe"}));
    EXPECT_EQ(ItemPathRead(1, L"a.txt"), other);

    // Marked, then moved back: the other page's a.txt is not dimmed, and Ctrl+V there moves the
    // marked one.
    ItemAdd(2, mine);
    command(IDM_PMU_BTNUPDATE);
    Select({L"a.txt"});
    command(IDM_KEY_CUT);
    command(IDM_PAGE_MOVEBACK);
    ASSERT_EQ(f.CurrentPage, 1);
    EXPECT_TRUE(Dimmed(L"a.txt"));
    command(IDM_KEY_PAGE1 + 1);
    EXPECT_FALSE(Dimmed(L"a.txt")) << "another page's item of the same name";
    command(IDM_KEY_PASTE);
    EXPECT_EQ(ItemPathRead(2, L"a.txt"), other);
    EXPECT_EQ(ItemPathRead(2, L"a (2).txt"), mine);
    EXPECT_EQ(ItemNames(1), (std::vector<std::wstring>{L"b.txt", L"tool.exe"}));

    // The editor opened before a move renames its item where the page went.
    ASSERT_TRUE(f.CptLvwItemsEditing(Row(L"a (2).txt")));
    command(IDM_PAGE_MOVEBACK);
    ASSERT_EQ(f.CurrentPage, 1);
    EXPECT_TRUE(f.CptLvwItemsEdited(L"c.txt"));
    EXPECT_EQ(ItemPathRead(1, L"c.txt"), mine);
    EXPECT_EQ(ItemNames(2), (std::vector<std::wstring>{L"b.txt", L"tool.exe"}));

    // Moved forward again: the row menu greys the page the rows are on now, and a drag onto the
    // previous button moves them from there.
    command(IDM_PAGE_MOVEFORWARD);
    ASSERT_EQ(f.CurrentPage, 2);
    Select({L"c.txt"});
    const TMenus menus = Menus([&] { KeyPress(VK_APPS); }, L"v");
    ASSERT_EQ(menus.size(), 2u);
    EXPECT_EQ(menus[1], (std::vector<std::wstring>{L"&1\t2", L"-&2\t2",
                                                   L"-" + PageMenuText(3, L"", dir / L"mirror", 1),
                                                   L"|", L"新しいページ(&N)"}));
    DragTo(L"c.txt", ButtonCentre(IDC_TBN_BEFORE));
    EXPECT_EQ(ItemNames(1), (std::vector<std::wstring>{L"b.txt", L"c.txt", L"tool.exe"}));
    EXPECT_EQ(ItemNames(2), (std::vector<std::wstring>{L"a.txt"}));
    EXPECT_EQ(ItemPathRead(2, L"a.txt"), other);
}

// A folder dropped as a new page and moved back while its items are still being written: the
// rest of its items go to it where it went, and none to the page that took its number.
TEST_F(Pages, AFolderPagesWritesFollowItsPageMove) {
    TFrmOvMain& f = Shown3();
    const std::wstring big = dir / L"big";
    ::CreateDirectoryW(big.c_str(), nullptr);
    for (int i = 0; i < 1500; ++i)
        FileWrite(big + L"\\f" + std::to_wstring(i) + L".txt", "");
    ::SendMessageW(f.Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({big}, {0, 0})), 0);
    ASSERT_EQ(f.CurrentPage, 4);
    ListedWait();
    ASSERT_GT(f.Fill().Pending(4), 0u) << "written before the page moved";
    ::SendMessageW(f.Handle(), WM_COMMAND, IDM_PAGE_MOVEBACK, 0);
    ASSERT_EQ(f.CurrentPage, 3);
    EXPECT_GT(f.Fill().Pending(3), 0u);
    for (int waited = 0; f.Fill().Busy() && waited < 600; ++waited)
        PumpMessages(20);
    EXPECT_EQ(PageItemCount(3), 1500);
    EXPECT_EQ(PageFolderRead(3), big);
    EXPECT_EQ(ItemNames(4), (std::vector<std::wstring>{L"m.txt"}));
    EXPECT_EQ(PageFolderRead(4), dir / L"mirror");
}

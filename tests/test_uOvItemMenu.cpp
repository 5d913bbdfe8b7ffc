// The item list's menus in the real window, opened as the user opens them (a right click,
// Shift+F10, the menu key) and driven by their access keys; the shell's menu for the files; the
// line an empty page shows.
#include "uCmnError.h"
#include "uCmnFile.h"
#include "uCmnShell.h"
#include "uCmnShellMenu.h"
#include "uOvCfg.h"
#include "uOvCmd.h"
#include "uOvFrmDef.h"
#include "uOvItemMenu.h"
#include "uOvLvw.h"
#include "uOvMsg.h"
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
#include <array>

namespace {

// The row menu, the entries of the access keys in `greyed` greyed.
std::vector<std::wstring> RowMenu(const std::wstring& greyed) {
    std::vector<std::wstring> menu = {L"開く(&O)",
                                      L"管理者として実行(&A)",
                                      L"ファイルの場所を開く(&I)",
                                      L"|",
                                      L"名前の変更(&M)",
                                      L"削除(&D)",
                                      L"|",
                                      L"ページへ移動(&V)",
                                      L"その他のオプション(&X)",
                                      L"プロパティ(&R)"};
    for (std::wstring& entry : menu)
        if (entry.size() > 4 && greyed.find(entry[entry.size() - 2]) != std::wstring::npos)
            entry.insert(0, L"-");
    return menu;
}

const std::vector<std::wstring> ListMenu = {
    L"大きいアイコン", L"小さいアイコン", L"一覧", L"詳細", L"|", L"最新の情報へ更新", L"|",
    L"追加(&N)"};

class ItemMenu : public TMainWindowTest {
  protected:
    // Page 1: two texts, a program, a shortcut to it with an argument, a damaged shortcut and a
    // text of another folder; page 2 mirrors a folder holding one text. Report view, large enough
    // for room below the rows, shown and active.
    TFrmOvMain& Shown(int32_t page) {
        ConfigTreeCreate();
        ComEnsure();
        ::CreateDirectoryW((dir / L"other").c_str(), nullptr);
        ::CreateDirectoryW((dir / L"mirror").c_str(), nullptr);
        for (const wchar_t* name :
             {L"a.txt", L"b.txt", L"tool.exe", L"other\\c.txt", L"mirror\\m.txt"})
            FileWrite(dir / name, "x");
        FileWrite(dir / L"broken.lnk", "no shortcut");
        LinkCreate(dir / L"tool.lnk", dir / L"tool.exe", L"/n");
        PageCreate(1, L"");
        for (const wchar_t* name :
             {L"a.txt", L"b.txt", L"tool.exe", L"tool.lnk", L"broken.lnk", L"other\\c.txt"})
            ItemAdd(1, dir / name);
        PageFolderAdd(2, dir / L"mirror", {dir / L"mirror\\m.txt"});
        RegIntWrite(HKEY_CURRENT_USER, OvKeyConfig, OvValSelPage, page);
        RegIntWrite(HKEY_CURRENT_USER, OvKeyConfig, OvValLvwStyle, 3);
        return OpenShown();
    }

    // A right click on a row's caption, or at a point of the list.
    void RightClick(const wchar_t* caption, POINT point = {}) {
        RECT rect{};
        if (caption && ListView_GetItemRect(form->CptLvwItems, Row(caption), &rect, LVIR_LABEL))
            point = {rect.left + 4, (rect.top + rect.bottom) / 2};
        ::ClientToScreen(form->CptLvwItems, &point);
        ::SetCursorPos(point.x, point.y);
        ::mouse_event(MOUSEEVENTF_RIGHTDOWN, 0, 0, 0, 0);
        ::mouse_event(MOUSEEVENTF_RIGHTUP, 0, 0, 0, 0);
        PumpMessages(200);
    }

    // The menu of the row of this caption alone, opened with the menu key.
    TMenus RowMenuOf(const wchar_t* caption, const std::wstring& keys) {
        Select({caption});
        return Menus([&] { KeyPress(VK_APPS); }, keys);
    }

    // Pixels of the middle band of the list that are not its background.
    // Without `repaint`, what the list's own paints left on screen.
    int MiddleMarked(bool repaint = true) const {
        HWND list = form->CptLvwItems;
        if (repaint)
            ::RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        ::UpdateWindow(list);
        RECT client{};
        ::GetClientRect(list, &client);
        HDC dc = ::GetDC(list);
        const COLORREF background = ::GetPixel(dc, client.right - 2, client.bottom - 2);
        int marked = 0;
        for (int y = client.bottom / 2 - 12; y < client.bottom / 2 + 12; ++y)
            for (int x = 0; x < client.right; x += 2)
                marked += ::GetPixel(dc, x, y) != background;
        ::ReleaseDC(list, dc);
        return marked;
    }

    TTempFolder dir;
};

} // namespace

// What the row menu's entries act on and which apply, worked out from the item's path alone,
// without a window: a file, a program, a shortcut to it with arguments, a damaged shortcut, a
// folder, a file that is gone.
TEST(ItemMenuDecisions, TargetsAndGreyedEntriesFollowTheItemsFile) {
    TComInit com;
    TTempFolder dir;
    ::CreateDirectoryW((dir / L"sub").c_str(), nullptr);
    FileWrite(dir / L"a.txt", "x");
    FileWrite(dir / L"tool.exe", "x");
    FileWrite(dir / L"broken.lnk", "no shortcut");
    ASSERT_TRUE(LinkCreate(dir / L"tool.lnk", dir / L"tool.exe", L"/n"));
    std::wstring target = dir / L"tool.lnk", arguments;
    ItemTargetResolve(target, arguments);
    using TEnabled = std::array<bool, OV_ITEM_MENU_ENTRIES>;
    const struct {
        std::wstring path;
        TItemMenuTargets targets;
        TEnabled enabled;
    } cases[] = {
        {dir / L"a.txt",
         {dir / L"a.txt", L"", L"", dir / L"a.txt"},
         {true, false, true, true, true, true, true}},
        {dir / L"tool.exe",
         {dir / L"tool.exe", dir / L"tool.exe", L"", dir / L"tool.exe"},
         {true, true, true, true, true, true, true}},
        {dir / L"tool.lnk",
         {dir / L"tool.lnk", target, L"/n", target},
         {true, true, true, true, true, true, true}},
        {dir / L"broken.lnk",
         {dir / L"broken.lnk", L"", L"", L""},
         {true, false, false, true, true, true, true}},
        {dir / L"sub",
         {dir / L"sub", L"", L"", dir / L"sub"},
         {true, false, true, true, true, true, true}},
        {dir / L"gone.txt", {}, {true, false, false, true, true, true, false}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Utf8Of(c.path));
        const TItemMenuTargets targets = ItemMenuTargets(c.path);
        EXPECT_EQ(targets.present, c.targets.present);
        EXPECT_EQ(targets.program, c.targets.program);
        EXPECT_EQ(targets.arguments, c.targets.arguments);
        EXPECT_EQ(targets.located, c.targets.located);
        EXPECT_EQ(ItemMenuEnabled(targets, true), c.enabled);
    }
    // The shell's submenu is greyed when the shell gave no menu for the selected files.
    EXPECT_FALSE(ItemMenuEnabled(ItemMenuTargets(dir / L"a.txt"), false)[5]);
}

TEST_F(ItemMenu, ARightClickShiftF10AndTheMenuKeyOpenTheRowMenuOrTheListMenu) {
    Shown(1);
    const auto onB = [&] { RightClick(L"b.txt"); };
    const auto shiftF10 = [&] { KeyPress(VK_F10, {VK_SHIFT}); };
    struct TCase {
        const char* name;
        std::vector<const wchar_t*> selected;
        std::function<void()> open;
        std::vector<std::wstring> menu;
        std::vector<std::wstring> selectedAfter;
    } cases[] = {
        {"a right click selects its row", {L"a.txt"}, onB, RowMenu(L"A"), {L"b.txt"}},
        {"among the selected rows", {L"a.txt", L"b.txt"}, onB, RowMenu(L"A"), {L"a.txt", L"b.txt"}},
        {"Shift+F10", {L"tool.exe"}, shiftF10, RowMenu(L""), {L"tool.exe"}},
        {"the menu key on a shortcut",
         {L"tool"},
         [&] { KeyPress(VK_APPS); },
         RowMenu(L""),
         {L"tool"}},
        {"below the rows",
         {L"a.txt"},
         [&] {
             RightClick(nullptr, {250, 280});
         },
         ListMenu,
         {}},
        {"Shift+F10 with nothing selected", {}, shiftF10, ListMenu, {}},
        {"not on the column headers",
         {L"a.txt"},
         [&] {
             RightClick(nullptr, {10, 5});
         },
         {},
         {L"a.txt"}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        Select(c.selected);
        EXPECT_EQ(Menus(c.open, L""), c.menu.empty() ? TMenus{} : TMenus{c.menu});
        std::vector<std::wstring> selected;
        ListSelectedNames(selected);
        EXPECT_EQ(selected, c.selectedAfter);
    }
}

TEST_F(ItemMenu, EachEntryReachesItsHandlerAndDeletingLeavesTheFile) {
    TFrmOvMain& f = Shown(1);
    std::wstring target = dir / L"tool.lnk", arguments;
    ItemTargetResolve(target, arguments);
    TShellOpenRecorder recorder;
    Select({L"a.txt", L"b.txt"});
    Menus([&] { KeyPress(VK_APPS); }, L"o");
    RowMenuOf(L"tool", L"a");
    RowMenuOf(L"tool", L"i");
    RowMenuOf(L"b.txt", L"r");
    RowMenuOf(L"tool", L"r");
    EXPECT_EQ(recorder.Requests,
              (std::vector<TShellOpenRequest>{{dir / L"a.txt", L""},
                                              {dir / L"b.txt", L""},
                                              {target, L"/n", L"runas"},
                                              {target, L"", L"select"},
                                              {dir / L"b.txt", L"", L"properties"},
                                              {dir / L"tool.lnk", L"", L"properties"}}))
        << "a shortcut's properties are the shortcut's own";

    // The focused row is not among the selected ones: the menu is about the selected row.
    Select({L"b.txt"});
    ListView_SetItemState(f.CptLvwItems, Row(L"a.txt"), LVIS_FOCUSED, LVIS_FOCUSED);
    Menus([&] { KeyPress(VK_APPS); }, L"m");
    wchar_t edited[16] = {};
    ::GetWindowTextW(ListView_GetEditControl(f.CptLvwItems), edited, 16);
    EXPECT_STREQ(edited, L"b.txt");
    ListView_CancelEditLabel(f.CptLvwItems);
    EXPECT_EQ(AnswerBox([&] { RowMenuOf(L"b.txt", L"d"); }, IDOK).text,
              L"選択したファイルを削除しますか");
    EXPECT_EQ(ItemPathRead(1, L"b.txt"), L"");
    EXPECT_TRUE(FilePresent(dir / L"b.txt"));

    Select({});
    EXPECT_TRUE(
        AnswerBox([&] { Menus([&] { KeyPress(VK_F10, {VK_SHIFT}); }, L"n"); }, IDCANCEL).seen)
        << "the insert dialog";
}

TEST_F(ItemMenu, EntriesThatDoNotApplyAreGreyedAndAFolderPageRefusesAsBefore) {
    Shown(1);
    EXPECT_EQ(RowMenuOf(L"broken", L""), TMenus{RowMenu(L"AI")}) << "a damaged shortcut";
    ::DeleteFileW((dir / L"tool.exe").c_str());
    EXPECT_EQ(RowMenuOf(L"tool", L""), TMenus{RowMenu(L"AI")}) << "its program gone";
    EXPECT_EQ(RowMenuOf(L"tool.exe", L""), TMenus{RowMenu(L"AIXR")}) << "a file that is gone";
    // The first folder holds a file of the other's name too, which is not the one selected.
    FileWrite(dir / L"c.txt", "x");
    Select({L"a.txt", L"c.txt"});
    EXPECT_EQ(Menus([&] { KeyPress(VK_APPS); }, L""), TMenus{RowMenu(L"AX")}) << "two folders";

    form.reset();
    Shown(2);
    for (auto [key, text] : {std::pair{L"m", L"このページのファイルは変更できません"},
                             std::pair{L"d", L"このページのファイルは削除できません"}})
        EXPECT_EQ(AnswerBox([&] { RowMenuOf(L"m.txt", key); }, IDOK).text, text);
    EXPECT_EQ(ListView_GetItemCount(form->CptLvwItems), 1);
}

TEST_F(ItemMenu, TheShellsMenuLeavesOutVerbsThatChangeTheFileAndCarriesOutItsOwn) {
    Shown(1);
    // Two texts, a program, a shortcut and a folder, with the shell's extended verbs too.
    const std::vector<std::vector<std::wstring>> selections = {{dir / L"a.txt", dir / L"b.txt"},
                                                               {dir / L"tool.exe"},
                                                               {dir / L"tool.lnk"},
                                                               {dir / L"other"}};
    for (const std::vector<std::wstring>& paths : selections) {
        for (const bool extended : {false, true}) {
            SCOPED_TRACE(Utf8Of(paths[0]) + (extended ? " extended" : ""));
            TUniqueMenu menu(::CreatePopupMenu());
            TShellMenu shell;
            ASSERT_TRUE(shell.Build(form->Handle(), paths, menu.Get(), 1, 999, extended));
            std::vector<std::wstring> verbs;
            std::wstring shape;
            for (int i = 0; i < ::GetMenuItemCount(menu.Get()); ++i) {
                verbs.push_back(shell.Verb(::GetMenuItemID(menu.Get(), i)));
                shape += (::GetMenuState(menu.Get(), static_cast<UINT>(i), MF_BYPOSITION) &
                          MF_SEPARATOR) &&
                                 !::GetSubMenu(menu.Get(), i)
                             ? L'|'
                             : L'e';
            }
            EXPECT_NE(std::find(verbs.begin(), verbs.end(), L"properties"), verbs.end());
            for (const wchar_t* changing : {L"delete", L"cut", L"rename", L"link"})
                EXPECT_EQ(std::find(verbs.begin(), verbs.end(), changing), verbs.end())
                    << Utf8Of(changing);
            // What is left out leaves no separator at an end or beside another.
            ASSERT_FALSE(shape.empty());
            EXPECT_NE(shape.front(), L'|') << Utf8Of(shape);
            EXPECT_NE(shape.back(), L'|') << Utf8Of(shape);
            EXPECT_EQ(shape.find(L"||"), std::wstring::npos) << Utf8Of(shape);
        }
    }

    // Under Wine the properties sheet is a dialog of the calling thread.
    if (!IsWine())
        return;
    TMenus seen;
    const TBoxSeen sheet = AnswerBox([&] { seen = RowMenuOf(L"b.txt", L"xp"); }, IDCANCEL);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(std::count(seen[1].begin(), seen[1].end(), L"プロパティ(&P)"), 1);
    EXPECT_NE(sheet.caption.find(L"b.txt"), std::wstring::npos);
}

namespace {

// Messages the item list receives, counted through a subclass of it.
class TListMessages {
  public:
    explicit TListMessages(HWND list) : list_(list) {
        ::SetWindowSubclass(list_, Count, 1, reinterpret_cast<DWORD_PTR>(this));
    }
    ~TListMessages() { ::RemoveWindowSubclass(list_, Count, 1); }
    TListMessages(const TListMessages&) = delete;
    TListMessages& operator=(const TListMessages&) = delete;
    // The messages since the last call.
    int Taken() { return std::exchange(count_, 0); }

  private:
    static LRESULT CALLBACK Count(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                  DWORD_PTR self) {
        ++reinterpret_cast<TListMessages*>(self)->count_;
        return ::DefSubclassProc(window, msg, wParam, lParam);
    }
    HWND list_;
    int count_ = 0;
};

} // namespace

// 50,000 rows selected with Ctrl+A: a sort by a column, Delete's question and the row menu each
// cost the list a few messages, not one a row; the selection follows its rows through the sort.
TEST_F(ItemMenu, FiftyThousandSelectedRowsCostTheListNoMessageARow) {
    TFrmOvMain& f = Shown(1);
    constexpr int rows = 50000;
    TPageEntries entries(rows);
    for (int i = 0; i < rows; ++i) {
        entries[i].name = L"f" + std::to_wstring(i) + L".txt";
        entries[i].path = dir / entries[i].name;
        entries[i].found = true;
        entries[i].page = 1;
        entries[i].record.Size64 = (i * 7919) % rows;
    }
    FileWrite(dir / L"f0.txt", "x");
    ListFill(entries);
    ::SetFocus(f.CptLvwItems);
    ListView_SetItemState(f.CptLvwItems, 0, LVIS_FOCUSED, LVIS_FOCUSED);
    TListMessages messages(f.CptLvwItems);
    KeyPress('A', {VK_CONTROL});
    ASSERT_EQ(ListView_GetSelectedCount(f.CptLvwItems), static_cast<UINT>(rows));
    // One row taken out of the selection, by the list's own click with Ctrl.
    ListView_SetItemState(f.CptLvwItems, 2, 0, LVIS_SELECTED);
    const std::wstring out = ListRowOf(2).name;
    messages.Taken();

    NMLISTVIEW header{};
    header.hdr = {f.CptLvwItems, IDC_ITEMS, LVN_COLUMNCLICK};
    header.iItem = -1;
    header.iSubItem = 1;
    ::SendMessageW(f.Handle(), WM_NOTIFY, IDC_ITEMS, reinterpret_cast<LPARAM>(&header));
    EXPECT_LT(messages.Taken(), 500) << "sorted by size";
    EXPECT_NE(ListRowOf(2).name, out) << "the rows moved";
    const std::vector<TListRow> selected = ListSelectedRows();
    EXPECT_LT(messages.Taken(), 10) << "the selected rows collected";
    ASSERT_EQ(selected.size(), static_cast<size_t>(rows - 1));
    EXPECT_EQ(std::count_if(selected.begin(), selected.end(),
                            [&](const TListRow& row) { return row.name == out; }),
              0)
        << "the row taken out stays out after the sort";
    // The list agrees: its count, and a sample of its rows with the one taken out.
    EXPECT_EQ(ListView_GetSelectedCount(f.CptLvwItems), static_cast<UINT>(rows - 1));
    for (int item = 0; item < rows; ++item) {
        if (item % 997 == 0 || ListRowOf(item).name == out) {
            EXPECT_EQ(ListView_GetItemState(f.CptLvwItems, item, LVIS_SELECTED) != 0,
                      ListRowOf(item).name != out)
                << item;
        }
    }
    messages.Taken();

    const TBoxSeen box = AnswerBox([&] { KeyPress(VK_DELETE); }, IDCANCEL);
    EXPECT_TRUE(box.seen);
    EXPECT_LT(messages.Taken(), 500) << "Delete's question";
    EXPECT_EQ(ListView_GetItemCount(f.CptLvwItems), rows);
    PumpMessages(300);

    const TMenus menus = Menus([&] { KeyPress(VK_APPS); }, L"");
    ASSERT_EQ(menus.size(), 1u);
    EXPECT_EQ(menus[0], RowMenu(L"A"));
    EXPECT_LT(messages.Taken(), 500) << "the row menu";
    // The shell was asked for nothing: its submenu was never opened.
    ASSERT_EQ(MenusSubmenuEntries().size(), 2u);
    EXPECT_EQ(MenusSubmenuEntries()[1], 0);
}

TEST_F(ItemMenu, AnEmptyPageSaysWhatToDoUntilARowIsIn) {
    TFrmOvMain& f = Shown(2);
    ::DeleteFileW((dir / L"mirror\\m.txt").c_str());
    f.CptPmuItemBtnUpdateClick();
    EXPECT_EQ(f.CptLvwItemsCue.Text(), L"このフォルダーは空です");
    EXPECT_GT(MiddleMarked(), 0);
    ::SendMessageW(f.Handle(), WM_COMMAND, IDC_TBN_NEXT, 0);
    EXPECT_EQ(f.CptLvwItemsCue.Text(),
              L"ファイルやフォルダーをここにドロップするか、追加ボタンで追加します");
    EXPECT_GT(MiddleMarked(), 0);
    // A row appended to the empty list takes the line away.
    ListRowAdd(L"a.txt", dir / L"a.txt", 3);
    EXPECT_EQ(MiddleMarked(false), 0);
    ItemAdd(3, dir / L"a.txt");
    f.CptPmuItemBtnUpdateClick();
    EXPECT_EQ(MiddleMarked(), 0);
}

// ---------------------------------------------------------------------------------------------
// The notification-area icon: its clicks and its menu, driven through its callback message

TEST_F(ItemMenu, TheNotificationIconCallsTheWindowUpPutsItAwayAndEndsTheProgram) {
    ConfigTreeCreate();
    // Off, Explorer starting anew adds none.
    Open();
    ::SendMessageW(form->Handle(), TTrayIcon::TaskbarCreatedMessage(), 0, 0);
    EXPECT_FALSE(form->Tray().Shown());
    form.reset();
    RegBoolWrite(HKEY_CURRENT_USER, OvKeyOption, OvValTrayIcon, true);
    TFrmOvMain& f = Open();
    // As in the program: the application restores and minimises its main form.
    struct TMainFormScope {
        explicit TMainFormScope(TForm& form) { Application.SetMainForm(&form); }
        ~TMainFormScope() { Application.SetMainForm(nullptr); }
    } scope(f);
    EXPECT_TRUE(f.Tray().Shown());
    auto click = [&](UINT mouse) {
        ::SendMessageW(f.Handle(), WM_TRAYICON, 0, mouse);
        PumpMessages(150);
    };
    // Never shown yet: a click brings it up, in front, the keyboard in the list.
    click(WM_LBUTTONUP);
    EXPECT_TRUE(::IsWindowVisible(f.Handle()));
    EXPECT_EQ(::GetForegroundWindow(), f.Handle());
    EXPECT_EQ(::GetFocus(), f.CptLvwItems);
    // In front: the click puts it away; the next one brings it back.
    click(WM_LBUTTONUP);
    EXPECT_TRUE(Application.Minimized());
    click(WM_LBUTTONUP);
    EXPECT_FALSE(Application.Minimized());
    EXPECT_TRUE(::IsWindowVisible(f.Handle()));
    // Under a box a click calls the window up with its box, never puts it away; 終了 brings the
    // box forward and closes nothing under it.
    bool minimisedUnderBox = true, openUnderBox = false;
    AnswerDialog([&] { ErrorBox(0); },
                 [&](HWND box) {
                     click(WM_LBUTTONUP);
                     minimisedUnderBox = Application.Minimized();
                     Menus([&] { click(WM_RBUTTONUP); }, L"x");
                     PumpMessages(200);
                     openUnderBox = ::IsWindow(f.Handle()) && ::IsWindow(box);
                     ::PostMessageW(box, WM_COMMAND, IDOK, 0);
                 });
    EXPECT_FALSE(minimisedUnderBox);
    EXPECT_TRUE(openUnderBox);
    // Explorer starting anew adds the icon again.
    ::SendMessageW(f.Handle(), TTrayIcon::TaskbarCreatedMessage(), 0, 0);
    EXPECT_TRUE(f.Tray().Shown());

    // Not the main form for its end: that would end this thread's loop.
    Application.SetMainForm(nullptr);
    const TMenus menus = Menus([&] { click(WM_RBUTTONUP); }, L"x");
    ASSERT_EQ(menus.size(), 1u);
    EXPECT_EQ(menus[0],
              (std::vector<std::wstring>{L"表示(&S)", L"オプション(&O)...", L"|", L"終了(&X)"}));
    PumpMessages(200);
    EXPECT_FALSE(f.Handle() && ::IsWindow(f.Handle())) << "終了 closes the window";
    EXPECT_FALSE(f.Tray().Shown()) << "and takes the icon away";
}

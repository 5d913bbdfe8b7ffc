// The main window's keys, pressed as the keyboard presses them: each reaches its handler from
// wherever the focus is in the window, the rename editor keeps Enter and Escape, and the
// keyboard belongs to the list when the window is shown, called up or given back by a dialog.
#include "uCmnApp.h"
#include "uCmnHandle.h"
#include "uCmnReg.h"
#include "uCmnShell.h"
#include "uOvCfg.h"
#include "uOvFrmDef.h"
#include "uOvOptn.h"
#include "uOvReg.h"
#include "uTestFiles.h"
#include "uTestMainWindow.h"
#include "uTestSupport.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

const HKEY HKCU = HKEY_CURRENT_USER;

class Keys : public TMainWindowTest {
  protected:
    // Three pages, the second shown and active, holding three files; report view.
    TFrmOvMain& Shown() {
        ConfigTreeCreate();
        for (int32_t page = 1; page <= 3; ++page)
            PageCreate(page, L"");
        for (const wchar_t* name : {L"a.txt", L"b.txt", L"c.txt"}) {
            FileWrite(dir / name, "x");
            ItemAdd(2, dir / name);
        }
        RegIntWrite(HKCU, OvKeyConfig, OvValSelPage, 2);
        RegIntWrite(HKCU, OvKeyConfig, OvValLvwStyle, 3);
        TFrmOvMain& f = Open();
        ::ShowWindow(f.Handle(), SW_SHOWNORMAL);
        ::SetForegroundWindow(f.Handle());
        PumpMessages(100);
        return f;
    }

    int Selected() const { return ListView_GetSelectedCount(form->CptLvwItems); }
    int Focused() const { return ListView_GetNextItem(form->CptLvwItems, -1, LVNI_FOCUSED); }
    void SelectOnly(int row) {
        ListView_SetItemState(form->CptLvwItems, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
        if (row >= 0)
            ListView_SetItemState(form->CptLvwItems, row, LVIS_SELECTED | LVIS_FOCUSED,
                                  LVIS_SELECTED | LVIS_FOCUSED);
    }

    TTempFolder dir;
};

} // namespace

TEST_F(Keys, EachKeyReachesItsHandlerFromAnyControlOfTheWindow) {
    TFrmOvMain& f = Shown();
    ASSERT_EQ(::GetFocus(), f.CptLvwItems);
    struct TCase {
        const char* name;
        WORD vk;
        std::vector<WORD> modifiers;
        std::function<void()> check;
    };
    const TCase cases[] = {
        {"Enter opens the selected items",
         VK_RETURN,
         {},
         [&] {
             TShellOpenRecorder recorder;
             SelectOnly(1);
             KeyPress(VK_RETURN);
             EXPECT_EQ(recorder.Requests, (std::vector<TShellOpenRequest>{{dir / L"b.txt", L""}}));
         }},
        {"Delete asks about the selected items, and with none selected does nothing",
         VK_DELETE,
         {},
         [&] {
             SelectOnly(0);
             EXPECT_EQ(AnswerBox([&] { KeyPress(VK_DELETE); }, IDCANCEL).text,
                       L"選択したファイルを削除しますか");
             SelectOnly(-1);
             EXPECT_FALSE(AnswerBox([&] { KeyPress(VK_DELETE); }, IDCANCEL).seen);
             EXPECT_EQ(PageItemCount(2), 3);
         }},
        {"F5 refreshes the page",
         VK_F5,
         {},
         [&] {
             ::DeleteFileW((dir / L"c.txt").c_str());
             KeyPress(VK_F5);
             EXPECT_EQ(ListView_GetItemCount(f.CptLvwItems), 2);
             FileWrite(dir / L"c.txt", "x");
             ItemAdd(2, dir / L"c.txt");
             KeyPress(VK_F5);
         }},
        {"Ctrl+A selects every row",
         'A',
         {VK_CONTROL},
         [&] {
             SelectOnly(0);
             KeyPress('A', {VK_CONTROL});
             EXPECT_EQ(Selected(), 3);
         }},
        {"page keys, with the focus on the toolbar too",
         VK_NEXT,
         {VK_CONTROL},
         [&] {
             const std::pair<WORD, std::vector<WORD>> next[] = {{VK_NEXT, {VK_CONTROL}},
                                                                {VK_RIGHT, {VK_MENU}}};
             const std::pair<WORD, std::vector<WORD>> before[] = {{VK_PRIOR, {VK_CONTROL}},
                                                                  {VK_LEFT, {VK_MENU}}};
             for (int i = 0; i < 2; ++i) {
                 ::SetFocus(i ? f.CptTbrToolBar : f.CptLvwItems);
                 KeyPress(next[i].first, next[i].second);
                 EXPECT_EQ(f.CurrentPage, 3) << i;
                 KeyPress(before[i].first, before[i].second);
                 EXPECT_EQ(f.CurrentPage, 2) << i;
             }
         }},
        {"F2 edits the focused row; Escape in the editor cancels only the edit",
         VK_F2,
         {},
         [&] {
             SelectOnly(1);
             KeyPress(VK_F2);
             HWND editor = ListView_GetEditControl(f.CptLvwItems);
             ASSERT_NE(editor, nullptr);
             ::SetWindowTextW(editor, L"renamed");
             KeyPress(VK_ESCAPE);
             EXPECT_EQ(ListView_GetEditControl(f.CptLvwItems), nullptr);
             EXPECT_FALSE(Application.Minimized()) << "Escape was the editor's";
             EXPECT_EQ(ItemPathRead(2, L"renamed"), L"");
             KeyPress(VK_F2);
             ASSERT_NE(ListView_GetEditControl(f.CptLvwItems), nullptr);
             ::SetWindowTextW(ListView_GetEditControl(f.CptLvwItems), L"renamed");
             KeyPress(VK_RETURN);
             EXPECT_EQ(ItemPathRead(2, L"renamed"), dir / L"b.txt");
         }},
        {"Escape minimises the window",
         VK_ESCAPE,
         {},
         [&] {
             KeyPress(VK_ESCAPE);
             EXPECT_TRUE(Application.Minimized()) << "as the minimise button does";
         }},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        c.check();
    }
}

// Delete and Enter pressed again and again, as anyone does, remove one item after another and
// never the page: the row that took the place of the first one deleted is picked each time.
TEST_F(Keys, DeleteAndEnterPressedAgainNeverDeleteThePage) {
    TFrmOvMain& f = Shown();
    TShellOpenRecorder opened;
    int boxes = 0;
    // Answers its question with Enter; the row picked afterwards, -1 for none.
    auto deleteAndEnter = [&] {
        AnswerEveryDialog([&] { KeyPress(VK_DELETE); },
                          [&](HWND) {
                              ++boxes;
                              KeyPress(VK_RETURN, {}, 0);
                          });
        KeyPress(VK_RETURN);
        return Selected() == 1 ? Focused() : -1;
    };
    // a.txt selected while c.txt has the focus: b.txt takes its place. Then c.txt, the last row:
    // b.txt, now the last, follows.
    SelectOnly(0);
    ListView_SetItemState(f.CptLvwItems, 2, LVIS_FOCUSED, LVIS_FOCUSED);
    EXPECT_EQ(deleteAndEnter(), 0);
    SelectOnly(1);
    EXPECT_EQ(deleteAndEnter(), 0);
    KeyPress('A', {VK_CONTROL});
    EXPECT_EQ(deleteAndEnter(), -1);
    EXPECT_EQ(deleteAndEnter(), -1);
    EXPECT_EQ(boxes, 3);
    EXPECT_EQ(PageCount(), 3);
    EXPECT_EQ(PageItemCount(2), 0);
}

// After the window is shown, called up by the hot key and given back by the options dialog, the
// keyboard is the list's, on the row focused before (the first one at the start); called up over
// the dialog, it stays in the dialog, and shown without activation, it stays where it was.
TEST_F(Keys, TheKeyboardGoesToTheListWheneverTheWindowComesBack) {
    TFrmOvMain& f = Shown();
    EXPECT_EQ(::GetFocus(), f.CptLvwItems);
    EXPECT_EQ(Focused(), 0);
    EXPECT_EQ(Selected(), 1);

    SelectOnly(2);
    ListView_SetItemState(f.CptLvwItems, 2, LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    RegBoolWrite(HKCU, OvKeyOption, OvValHookKey, true);
    RegIntWrite(HKCU, OvKeyOption, OvValHookKeyNo, VK_F8);
    ::SendMessageW(f.Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ::SendMessageW(f.Handle(), WM_HOOKKEY, VK_F8, 1);
    PumpMessages(150);
    EXPECT_TRUE(::IsWindowVisible(f.Handle()));
    EXPECT_EQ(::GetFocus(), f.CptLvwItems);
    EXPECT_EQ(Focused(), 2);
    EXPECT_EQ(ListView_GetItemState(f.CptLvwItems, 2, LVIS_SELECTED), LVIS_SELECTED);

    // Called up from behind another window, shown all along: one on top without a caption, as a
    // tooltip is.
    SelectOnly(-1);
    ListView_SetItemState(f.CptLvwItems, 1, LVIS_FOCUSED, LVIS_FOCUSED);
    TUniqueWindow other(::CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"other", WS_POPUP | WS_VISIBLE,
                                          0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr));
    ::SetForegroundWindow(other.Get());
    PumpMessages(100);
    ::SendMessageW(f.Handle(), WM_HOOKKEY, VK_F8, 1);
    PumpMessages(150);
    EXPECT_EQ(::GetFocus(), f.CptLvwItems);
    EXPECT_EQ(ListView_GetItemState(f.CptLvwItems, 1, LVIS_SELECTED), LVIS_SELECTED);

    // Called up from the other window over the options dialog: the dialog keeps the keyboard, the
    // list its selection.
    SelectOnly(-1);
    static HWND s_other;
    static bool s_dialogHasTheKeyboard;
    s_other = other.Get();
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
        if (FrmOvOptn && ::IsWindowVisible(FrmOvOptn->Handle())) {
            ::KillTimer(nullptr, id);
            ::SetForegroundWindow(s_other);
            ::SendMessageW(FrmOvMain->Handle(), WM_HOOKKEY, VK_F8, 1);
            s_dialogHasTheKeyboard = ::GetActiveWindow() == FrmOvOptn->Handle() &&
                                     ::IsChild(FrmOvOptn->Handle(), ::GetFocus());
            FrmOvOptn->Close();
        }
    });
    ::SetFocus(f.CptTbrToolBar);
    ::SendMessageW(f.Handle(), WM_COMMAND, IDC_TBN_OPTION, 0);
    ::KillTimer(nullptr, timer);
    PumpMessages(150);
    EXPECT_TRUE(s_dialogHasTheKeyboard);
    EXPECT_EQ(Selected(), 0);
    EXPECT_EQ(::GetFocus(), f.CptLvwItems);

    // Shown again without activation: the keyboard and the selection stay where they were.
    ::ShowWindow(f.Handle(), SW_HIDE);
    ::SetForegroundWindow(other.Get());
    ::ShowWindow(f.Handle(), SW_SHOWNOACTIVATE);
    PumpMessages(150);
    EXPECT_EQ(::GetFocus(), other.Get());
    EXPECT_EQ(Selected(), 0);
}

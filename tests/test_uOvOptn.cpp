// The options dialog opened from the main window's button: layout and texts, the three opening
// states of its boxes, the enabling rule, Set, Cancel and the broken tables, and its placement.
#include "uCmnApp.h"
#include "uCmnError.h"
#include "uCmnFile.h"
#include "uCmnHandle.h"
#include "uCmnReg.h"
#include "uCmnShell.h"
#include "uOvBackup.h"
#include "uOvCfg.h"
#include "uOvFrm.h"
#include "uOvFrmDef.h"
#include "uOvInput.h"
#include "uOvPages.h"
#include "uOvReg.h"
#include "uOvMain.h"
#include "uOvOptn.h"
#include "uOvRegDef.h"
#include "uTestFiles.h"
#include "uTestMainWindow.h"
#include "uTestRegStores.h"
#include "uTestSupport.h"

#include <commctrl.h>
#include <dlgs.h>
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace {

const HKEY HKCU = HKEY_CURRENT_USER;

using TStep = std::function<void(TFrmOvOptn&)>;

// The steps run one per timer tick inside the dialog's modal loop, so that what a step posts
// (a key, a click) is handled before the next one looks. A dialog still open after the last
// step is closed, so a failing test never hangs.
struct TScript {
    std::vector<TStep> steps;
    size_t next = 0;
    bool opened = false;
    bool openAfterSteps = false;
};
TScript* g_script = nullptr;

void CALLBACK ScriptTimer(HWND, UINT, UINT_PTR id, DWORD) {
    if (!g_script || !FrmOvOptn || !FrmOvOptn->Handle() || !::IsWindowVisible(FrmOvOptn->Handle()))
        return;
    g_script->opened = true;
    if (g_script->next < g_script->steps.size()) {
        // A step may open a modal box of its own: no tick of this timer may run inside it.
        ::KillTimer(nullptr, id);
        g_script->steps[g_script->next++](*FrmOvOptn);
        ::SetTimer(nullptr, id, 20, ScriptTimer);
        return;
    }
    ::KillTimer(nullptr, id);
    g_script->openAfterSteps = true;
    ::PostMessageW(FrmOvOptn->Handle(), WM_CLOSE, 0, 0);
}

std::wstring Text(HWND hwnd) {
    wchar_t buf[256] = {};
    int n = ::GetWindowTextW(hwnd, buf, static_cast<int>(std::size(buf)));
    return std::wstring(buf, n > 0 ? static_cast<size_t>(n) : 0);
}

std::wstring Selected(HWND combo) {
    const LRESULT index = ::SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR)
        return L"";
    wchar_t buf[64] = {};
    ::SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(buf));
    return buf;
}

bool Ticked(HWND box) {
    return ::SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool Enabled(HWND control) {
    return ::IsWindowEnabled(control) != FALSE;
}

// Chooses an entry as the user would: the selection, then the list's notice to its parent.
void Choose(HWND combo, const wchar_t* text) {
    const LRESULT index = ::SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                         reinterpret_cast<LPARAM>(text));
    ASSERT_NE(index, CB_ERR) << text;
    ::SendMessageW(combo, CB_SETCURSEL, index, 0);
    ::SendMessageW(::GetParent(combo), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(combo), CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(combo));
}

void Click(HWND button) {
    ::SendMessageW(button, BM_CLICK, 0, 0);
}

// Every Option value as text, to see that nothing was written.
std::wstring OptionSnapshot() {
    std::wstring s;
    for (const wchar_t* name : {OvValHookKey, OvValHereMouse, OvValHideTaskbar})
        s +=
            std::wstring(name) + L"=" + (RegBoolRead(HKCU, OvKeyOption, name) ? L"1" : L"0") + L";";
    for (const wchar_t* name : {OvValHookKeyNo, OvValToolBarPos})
        s +=
            std::wstring(name) + L"=" + std::to_wstring(RegIntRead(HKCU, OvKeyOption, name)) + L";";
    return s;
}

class OptionsDialog : public TMainWindowTest {
  protected:
    void SetUp() override {
        TMainWindowTest::SetUp();
        wchar_t cwd[MAX_PATH] = {};
        ::GetCurrentDirectoryW(MAX_PATH, cwd);
        previousDir = cwd;
        // Started from another folder, which holds a library: only the one beside the program
        // counts (and this program's folder has none of its own).
        ::SetCurrentDirectoryW(folder.Path().c_str());
        FileWrite(folder / L"pOv.dll", "not a library");
    }
    void TearDown() override {
        TMainWindowTest::TearDown();
        ::SetCurrentDirectoryW(previousDir.c_str());
        ::DeleteFileW((ExeFolder() + L"pOv.dll").c_str());
        ::ShowWindow(Application.Handle(), SW_HIDE);
    }

    void LibraryPresent() { ASSERT_TRUE(FileWrite(ExeFolder() + L"pOv.dll", "not a library")); }

    void RunScript(TScript& script) {
        TScript* previous = g_script;
        g_script = &script;
        UINT_PTR timer = ::SetTimer(nullptr, 0, 20, ScriptTimer);
        ::SendMessageW(form->Handle(), WM_COMMAND, MAKEWPARAM(IDC_TBN_OPTION, 0), 0);
        ::KillTimer(nullptr, timer);
        g_script = previous;
    }
    // Presses the main window's options button and runs the steps inside the dialog. Returns
    // whether the dialog was still open after the last step.
    bool RunDialog(std::vector<TStep> steps) {
        TScript script;
        script.steps = std::move(steps);
        RunScript(script);
        EXPECT_TRUE(script.opened);
        EXPECT_EQ(script.next, script.steps.size()) << "the dialog closed before every step ran";
        EXPECT_EQ(FrmOvOptn, nullptr) << "the dialog is destroyed when it closes";
        EXPECT_TRUE(::IsWindowEnabled(form->Handle())) << "the main window takes input again";
        return script.openAfterSteps;
    }

    TTempFolder folder;
    std::wstring previousDir;
};

void ExpectAt(HWND control, int left, int top, int width, int height) {
    RECT rc{};
    ::GetWindowRect(control, &rc);
    ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&rc), 2);
    wchar_t cls[64] = {};
    ::GetClassNameW(control, cls, static_cast<int>(std::size(cls)));
    SCOPED_TRACE(std::wstring(cls) + L" at " + std::to_wstring(left) + L"," + std::to_wstring(top));
    EXPECT_EQ(rc.left, left);
    EXPECT_EQ(rc.top, top);
    EXPECT_EQ(rc.right - rc.left, width);
    EXPECT_EQ(rc.bottom - rc.top, height);
}

TEST_F(OptionsDialog, LaysOutEveryControlWithItsTexts) {
    TFrmOvMain& f = Open();
    RegStrWrite(HKCU, OvKeySystem, OvValCopyright, L"(C) Velmora");
    bool open = RunDialog({[&](TFrmOvOptn& d) {
        wchar_t cls[64] = {};
        ::GetClassNameW(d.Handle(), cls, static_cast<int>(std::size(cls)));
        EXPECT_STREQ(cls, L"TFrmOvOptn");
        EXPECT_TRUE(::IsWindowUnicode(d.Handle())) << "a Unicode window class";
        EXPECT_EQ(d.Caption(), L"設定");
        EXPECT_EQ(::GetWindow(d.Handle(), GW_OWNER), f.Handle());
        EXPECT_FALSE(::IsWindowEnabled(f.Handle())) << "modal: the main window takes no input";
        const LONG style = ::GetWindowLongW(d.Handle(), GWL_STYLE);
        EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
        RECT client{};
        ::GetClientRect(d.Handle(), &client);
        EXPECT_EQ(client.right, 392);
        EXPECT_EQ(client.bottom, 373);

        ExpectAt(d.CptImgLogo, 0, 0, 392, 90);
        ExpectAt(d.CptImgIcon, 352, 12, 32, 32);
        ExpectAt(d.CptLblVerAndCopyright, 168, 52, 220, 12);
        ExpectAt(d.CptLblURL, 69, 72, 318, 12);
        ExpectAt(d.CptBvlLine, 0, 90, 392, 2);
        ExpectAt(d.CptPnlHook, 0, 92, 392, 130);
        for (HWND c : {d.CptBvlHook, d.CptCbxHook, d.CptLblShortCutKey, d.CptCmbShortCutKey,
                       d.CptCbxHideTaskbar, d.CptCbxMoveMouse})
            EXPECT_EQ(::GetParent(c), d.CptPnlHook);
        ExpectAt(d.CptBvlHook, 10, 13, 373, 108);
        ExpectAt(d.CptCbxHook, 25, 5, 138, 17);
        ExpectAt(d.CptLblShortCutKey, 42, 35, 90, 12);
        ExpectAt(d.CptCmbShortCutKey, 137, 31, 90, 20);
        ExpectAt(d.CptCbxHideTaskbar, 42, 64, 333, 17);
        ExpectAt(d.CptCbxMoveMouse, 42, 92, 243, 17);
        ExpectAt(d.CptLblToolBar, 25, 234, 118, 12);
        ExpectAt(d.CptCmbToolBar, 148, 230, 90, 20);
        ExpectAt(d.CptCbxSignIn, 25, 258, 333, 17);
        ExpectAt(d.CptLblSignInNote, 42, 277, 345, 12);
        ExpectAt(d.CptCbxTrayIcon, 25, 293, 333, 17);
        ExpectAt(d.CptCbxHookSearch, 25, 312, 333, 17);
        ExpectAt(d.CptBtnExport, 7, 341, 88, 22);
        ExpectAt(d.CptBtnImport, 101, 341, 88, 22);
        ExpectAt(d.CptBtnSet, 199, 341, 88, 22);
        ExpectAt(d.CptBtnCancel, 297, 341, 88, 22);
        EXPECT_EQ(Text(d.CptCbxSignIn), L"サインイン時に起動する");
        EXPECT_EQ(Text(d.CptCbxTrayIcon), L"通知領域にアイコンを表示する");
        EXPECT_EQ(Text(d.CptCbxHookSearch), L"ホットキーで検索を開く");

        EXPECT_EQ(Text(d.CptLblVerAndCopyright), L"1.00.1 (C) Velmora");
        EXPECT_EQ(Text(d.CptLblURL), L" https://www.example.com/orvanta/");
        EXPECT_EQ(Text(d.CptCbxHook), L"Orvantaの常駐");
        EXPECT_EQ(Text(d.CptLblShortCutKey), L"ショートカットキー");
        EXPECT_EQ(Text(d.CptCbxMoveMouse), L"マウスの位置へウィンドウを移動する");
        EXPECT_EQ(Text(d.CptCbxHideTaskbar), L"タスクバーにアイコンを表示しない");
        EXPECT_EQ(Text(d.CptLblToolBar), L"ツールバーの表示位置");
        EXPECT_EQ(Text(d.CptBtnSet), L"設定");
        EXPECT_EQ(Text(d.CptBtnCancel), L"ｷｬﾝｾﾙ");
        EXPECT_EQ(::SendMessageW(d.CptCmbShortCutKey, CB_GETCOUNT, 0, 0), 16);
        EXPECT_EQ(::SendMessageW(d.CptCmbToolBar, CB_GETCOUNT, 0, 0), 4);
        EXPECT_EQ(::GetWindowLongW(d.CptCmbToolBar, GWL_STYLE) & 3, CBS_DROPDOWNLIST);
        EXPECT_NE(::SendMessageW(d.CptImgLogo, STM_GETIMAGE, IMAGE_BITMAP, 0), 0) << "logo";
        EXPECT_NE(::SendMessageW(d.CptImgIcon, STM_GETICON, 0, 0), 0) << "application icon";

        ExpectInterfaceFont(d.CptCbxHook);
        EXPECT_TRUE(FontOf(d.CptLblURL).lfUnderline);

        // The address: blue on white, with the hand cursor.
        EXPECT_EQ(::SendMessageW(d.Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(d.CptLblURL),
                                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
                  TRUE);
        EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_HAND));
        HDC dc = ::CreateCompatibleDC(nullptr);
        const LRESULT brush =
            ::SendMessageW(d.Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                           reinterpret_cast<LPARAM>(d.CptLblURL));
        EXPECT_EQ(brush, reinterpret_cast<LRESULT>(::GetStockObject(WHITE_BRUSH)));
        EXPECT_EQ(::GetTextColor(dc), RGB(0, 0, 255));
        ::DeleteDC(dc);

        // Neither button is a default button.
        for (HWND b : {d.CptBtnSet, d.CptBtnCancel})
            EXPECT_EQ(::GetWindowLongW(b, GWL_STYLE) & 0x0F, BS_PUSHBUTTON);
    }});
    EXPECT_TRUE(open);

    // A version line longer than its place grows to the left over the logo's white.
    RegStrWrite(HKCU, OvKeySystem, OvValCopyright, L"Copyright (C) 2026 Velmora Software");
    RunDialog({[&](TFrmOvOptn& d) {
        EXPECT_EQ(Text(d.CptLblVerAndCopyright), L"1.00.1 Copyright (C) 2026 Velmora Software");
        RECT rc{};
        ::GetWindowRect(d.CptLblVerAndCopyright, &rc);
        ::MapWindowPoints(nullptr, d.Handle(), reinterpret_cast<POINT*>(&rc), 2);
        EXPECT_EQ(rc.right, 388);
        EXPECT_EQ(rc.top, 52);
        EXPECT_LT(rc.left, 168);
        EXPECT_GE(rc.left, 92) << "clear of the logo's mark";
        ExpectAt(d.CptLblURL, 69, 72, 318, 12);
    }});
}

// A click on the address opens it through the shell; with no address stored nothing opens.
TEST_F(OptionsDialog, AClickOnTheAddressOpensItUnlessItIsEmpty) {
    Open();
    for (const std::wstring url : {L"https://www.example.com/orvanta/", L""}) {
        RegStrWrite(HKCU, OvKeySystem, OvValUrl, url);
        TShellOpenRecorder recorder;
        RunDialog({[&](TFrmOvOptn& d) {
            ::SendMessageW(d.CptLblURL, WM_LBUTTONDOWN, MK_LBUTTON, 0);
            ::SendMessageW(d.CptLblURL, WM_LBUTTONUP, 0, 0);
        }});
        std::vector<TShellOpenRequest> expected;
        if (!url.empty())
            expected.push_back({url, L""});
        EXPECT_EQ(recorder.Requests, expected) << url;
    }
}

TEST_F(OptionsDialog, TabOrderRunsFromTheToolBarListThroughThePanel) {
    Open();
    LibraryPresent();
    RegBoolWrite(HKCU, OvKeyOption, OvValHookKey, true);
    RunDialog(
        {[&](TFrmOvOptn& d) {
             const HWND order[] = {d.CptCmbToolBar,    d.CptCbxSignIn,    d.CptCbxTrayIcon,
                                   d.CptCbxHookSearch, d.CptBtnExport,    d.CptBtnImport,
                                   d.CptBtnSet,        d.CptBtnCancel,    d.CptCmbShortCutKey,
                                   d.CptCbxHook,       d.CptCbxMoveMouse, d.CptCbxHideTaskbar,
                                   d.CptCmbToolBar};
             EXPECT_EQ(::GetFocus(), order[0]) << "the first control has the focus at opening";
             for (size_t i = 0; i + 1 < std::size(order); ++i)
                 EXPECT_EQ(::GetNextDlgTabItem(d.Handle(), order[i], FALSE), order[i + 1]) << i;
             // The Tab key itself walks that order.
             ::PostMessageW(::GetFocus(), WM_KEYDOWN, VK_TAB, 0);
         },
         [&](TFrmOvOptn& d) {
             EXPECT_EQ(::GetFocus(), d.CptCbxSignIn);
             ::SetFocus(d.CptBtnCancel);
             ::PostMessageW(d.CptBtnCancel, WM_KEYDOWN, VK_TAB, 0);
         },
         [&](TFrmOvOptn& d) { EXPECT_EQ(::GetFocus(), d.CptCmbShortCutKey) << "into the panel"; }});
}

TEST_F(OptionsDialog, EndOfSessionWhileOpenEndsTheDialogAndTheLoop) {
    ConfigTreeCreate();
    RegBoolWrite(HKCU, OvKeyOption, OvValTrayIcon, true);
    TFrmOvMain& f = Open();
    ASSERT_TRUE(f.Tray().Shown());
    Application.SetMainForm(&f);
    TScript script;
    script.steps = {[&](TFrmOvOptn&) {
        ::SendMessageW(f.Handle(), WM_QUERYENDSESSION, 0, 0);
        ::SendMessageW(f.Handle(), WM_ENDSESSION, TRUE, 0);
    }};
    RunScript(script);
    Application.SetMainForm(nullptr);
    EXPECT_TRUE(script.opened);
    EXPECT_FALSE(::IsWindow(f.Handle()));
    EXPECT_EQ(FrmOvOptn, nullptr);
    EXPECT_FALSE(f.Tray().Shown()) << "no icon added again for the window gone";
    // The quit request that ended the dialog's loop is left for the program's own loop.
    MSG msg;
    EXPECT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

// An export whose file cannot be written leaves the file that was there as it was, no partial
// file beside it, and a box naming the file.
TEST_F(OptionsDialog, AnExportThatCannotWriteKeepsTheOldFileAndSaysSo) {
    Open();
    const std::wstring file = folder / L"old.reg";
    ASSERT_TRUE(FileWrite(file, "the old backup"));
    // Held open without sharing, as another program may hold it: it cannot be replaced.
    TUniqueHandle held(::CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_NE(held.Get(), INVALID_HANDLE_VALUE);
    std::vector<std::wstring> boxes;
    RunDialog({[&](TFrmOvOptn& d) {
        AnswerEveryDialog([&] { Click(d.CptBtnExport); },
                          [&](HWND dialog) {
                              if (::GetDlgItem(dialog, 0xFFFF) && !::GetDlgItem(dialog, cmb13) &&
                                  !::GetDlgItem(dialog, edt1)) {
                                  boxes.push_back(Text(::GetDlgItem(dialog, 0xFFFF)));
                                  ::PostMessageW(dialog, WM_COMMAND,
                                                 ::GetDlgItem(dialog, IDYES) ? IDYES : IDOK, 0);
                                  return;
                              }
                              for (int control : {cmb13, edt1})
                                  ::SendMessageW(dialog, CDM_SETCONTROLTEXT, control,
                                                 reinterpret_cast<LPARAM>(file.c_str()));
                              ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
                          });
    }});
    held.Reset();
    // The save dialog's question whether to replace the file, then the program's box.
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_NE(boxes[1].find(L"old.reg"), std::wstring::npos) << Utf8Of(boxes[1]);
    EXPECT_NE(boxes[1].find(L"書き込めません"), std::wstring::npos) << Utf8Of(boxes[1]);
    std::ifstream in(file.c_str(), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "the old backup");
    EXPECT_FALSE(FilePresent(file + L".partial"));
}

// The import's question is never answered for the user: the notification icon's 終了 (a close of
// the window) brings it forward and leaves it open, and a sign-out that ends the program under it
// ends it as キャンセル. (Taken as its first button, 置き換える, the whole tree became the file's.)
TEST_F(OptionsDialog, TheImportsQuestionEndedFromOutsideChangesNothing) {
    TFrmOvMain& f = Open();
    PageCreate(2, L"");
    ItemAdd(2, L"C:\\x\\theirs.txt");
    const std::wstring file = folder / L"backup.reg";
    const std::vector<BYTE> bytes = ExportBytes();
    ASSERT_TRUE(FileWrite(file, std::string(bytes.begin(), bytes.end())));
    PageRemove(2, 2);
    ItemAdd(1, L"C:\\x\\mine.txt");
    // The pages, which the sign-out leaves alone (it saves the window's state).
    const std::wstring before = StoreTreeDump(HKCU, OvKeyData);
    Application.SetMainForm(&f);
    bool closeLeftItOpen = false, asked = false;
    TScript script;
    script.steps = {[&](TFrmOvOptn& d) {
        AnswerEveryDialog([&] { Click(d.CptBtnImport); },
                          [&](HWND dialog) {
                              if (!::GetDlgItem(dialog, IDC_CHOICE_FIRST)) {
                                  ::SendMessageW(dialog, CDM_SETCONTROLTEXT, edt1,
                                                 reinterpret_cast<LPARAM>(file.c_str()));
                                  ::SendMessageW(dialog, CDM_SETCONTROLTEXT, cmb13,
                                                 reinterpret_cast<LPARAM>(file.c_str()));
                                  ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
                                  return;
                              }
                              asked = true;
                              ::SendMessageW(f.Handle(), WM_CLOSE, 0, 0);
                              closeLeftItOpen = ::IsWindow(dialog) && ::IsWindow(f.Handle());
                              ::SendMessageW(f.Handle(), WM_QUERYENDSESSION, 0, 0);
                              ::SendMessageW(f.Handle(), WM_ENDSESSION, TRUE, 0);
                          });
    }};
    RunScript(script);
    Application.SetMainForm(nullptr);
    MSG msg;
    ::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    ASSERT_TRUE(asked);
    EXPECT_TRUE(closeLeftItOpen);
    EXPECT_FALSE(::IsWindow(f.Handle())) << "the sign-out ended the program";
    EXPECT_EQ(StoreTreeDump(HKCU, OvKeyData), before);
}

TEST_F(OptionsDialog, FirstRunWithoutTheLibrary) {
    Open();
    const std::wstring before = OptionSnapshot();
    RunDialog({[&](TFrmOvOptn& d) {
        EXPECT_EQ(Selected(d.CptCmbShortCutKey), L"F8");
        EXPECT_EQ(Selected(d.CptCmbToolBar), L"上");
        EXPECT_FALSE(Ticked(d.CptCbxHook));
        EXPECT_FALSE(Enabled(d.CptCbxHook)) << "no pOv.dll: the hot key cannot be turned on";
        for (HWND c : {d.CptLblShortCutKey, d.CptCmbShortCutKey, d.CptCbxHideTaskbar,
                       d.CptCbxMoveMouse, d.CptCbxHookSearch})
            EXPECT_FALSE(Enabled(c));
        EXPECT_FALSE(Ticked(d.CptCbxHideTaskbar));
        EXPECT_FALSE(Ticked(d.CptCbxMoveMouse));
        EXPECT_TRUE(Enabled(d.CptCmbToolBar));
    }});
    EXPECT_EQ(OptionSnapshot(), before) << "closing writes nothing";
}

TEST_F(OptionsDialog, StoredWindowOptionsShowOnlyWithTheHotKeyOnAndTheLibraryPresent) {
    Open();
    RegBoolWrite(HKCU, OvKeyOption, OvValHookKey, true);
    RegBoolWrite(HKCU, OvKeyOption, OvValHereMouse, true);
    RegBoolWrite(HKCU, OvKeyOption, OvValHideTaskbar, true);
    RegBoolWrite(HKCU, OvKeyOption, OvValHookSearch, true);
    // Without the library the stored hot key is shown off.
    RunDialog({[&](TFrmOvOptn& d) {
        EXPECT_FALSE(Ticked(d.CptCbxHook));
        EXPECT_FALSE(Enabled(d.CptCbxHook));
        EXPECT_FALSE(Ticked(d.CptCbxMoveMouse));
        EXPECT_FALSE(Ticked(d.CptCbxHideTaskbar));
    }});

    LibraryPresent();
    RunDialog({[&](TFrmOvOptn& d) {
        EXPECT_TRUE(Ticked(d.CptCbxHook));
        for (HWND c : {d.CptCbxHook, d.CptLblShortCutKey, d.CptCmbShortCutKey, d.CptCbxHideTaskbar,
                       d.CptCbxMoveMouse, d.CptCbxHookSearch})
            EXPECT_TRUE(Enabled(c));
        EXPECT_TRUE(Ticked(d.CptCbxMoveMouse));
        EXPECT_TRUE(Ticked(d.CptCbxHideTaskbar));
        EXPECT_TRUE(Ticked(d.CptCbxHookSearch));
        Click(d.CptCbxHookSearch);
        Click(d.CptBtnSet);
    }});
    EXPECT_TRUE(RegBoolRead(HKCU, OvKeyOption, OvValHookKey)) << "Set keeps the hot key on";
    EXPECT_FALSE(RegBoolRead(HKCU, OvKeyOption, OvValHookSearch)) << "untick written";
    RegBoolWrite(HKCU, OvKeyOption, OvValHookSearch, true);

    RegBoolWrite(HKCU, OvKeyOption, OvValHookKey, false);
    RunDialog({[&](TFrmOvOptn& d) {
        EXPECT_FALSE(Ticked(d.CptCbxHook));
        EXPECT_TRUE(Enabled(d.CptCbxHook));
        EXPECT_FALSE(Enabled(d.CptCmbShortCutKey));
        EXPECT_FALSE(Ticked(d.CptCbxMoveMouse)) << "stored values are not shown with the key off";
        EXPECT_FALSE(Ticked(d.CptCbxHideTaskbar));
        EXPECT_FALSE(Ticked(d.CptCbxHookSearch));
        EXPECT_FALSE(Enabled(d.CptCbxHookSearch));
    }});
}

TEST_F(OptionsDialog, TickingTheHotKeyEnablesItsControlsAndUntickingClearsThem) {
    Open();
    LibraryPresent();
    RunDialog({[&](TFrmOvOptn& d) {
                   Click(d.CptCbxHook);
                   EXPECT_TRUE(Ticked(d.CptCbxHook));
                   for (HWND c : {d.CptLblShortCutKey, d.CptCmbShortCutKey, d.CptCbxHideTaskbar,
                                  d.CptCbxMoveMouse})
                       EXPECT_TRUE(Enabled(c));
                   Click(d.CptCbxHideTaskbar);
                   Click(d.CptCbxMoveMouse);
                   EXPECT_TRUE(Ticked(d.CptCbxHideTaskbar));
                   EXPECT_TRUE(Ticked(d.CptCbxMoveMouse));
               },
               [&](TFrmOvOptn& d) {
                   Click(d.CptCbxHook);
                   EXPECT_FALSE(Ticked(d.CptCbxHook));
                   EXPECT_FALSE(Ticked(d.CptCbxHideTaskbar));
                   EXPECT_FALSE(Ticked(d.CptCbxMoveMouse));
                   for (HWND c : {d.CptLblShortCutKey, d.CptCmbShortCutKey, d.CptCbxHideTaskbar,
                                  d.CptCbxMoveMouse})
                       EXPECT_FALSE(Enabled(c));
                   EXPECT_TRUE(Enabled(d.CptCbxHook));
                   EXPECT_TRUE(Enabled(d.CptCmbToolBar));
               }});
}

TEST_F(OptionsDialog, SetAppliesAndStoresEverything) {
    TFrmOvMain& f = Open();
    LibraryPresent();
    const bool open = RunDialog({[&](TFrmOvOptn& d) {
        EXPECT_FALSE(::IsWindowEnabled(Application.Handle()))
            << "the taskbar button's window waits for the dialog too";
        Choose(d.CptCmbToolBar, L"右");
        Click(d.CptCbxHook);
        Click(d.CptCbxMoveMouse);
        Choose(d.CptCmbShortCutKey, L"CapsLock");
        Click(d.CptBtnSet);
    }});
    EXPECT_FALSE(open) << "Set closes the dialog";
    EXPECT_EQ(RegIntRead(HKCU, OvKeyOption, OvValToolBarPos), 2);
    EXPECT_EQ(f.ToolBarAlign, 2) << "the toolbar moves at once";
    RECT tb{}, client{};
    ::GetWindowRect(f.CptTbrToolBar, &tb);
    ::MapWindowPoints(nullptr, f.Handle(), reinterpret_cast<POINT*>(&tb), 2);
    ::GetClientRect(f.Handle(), &client);
    EXPECT_EQ(tb.right, client.right - OV_TOOLBAR_EDGE);
    EXPECT_TRUE(RegBoolRead(HKCU, OvKeyOption, OvValHookKey));
    EXPECT_TRUE(RegBoolRead(HKCU, OvKeyOption, OvValHereMouse));
    EXPECT_FALSE(RegBoolRead(HKCU, OvKeyOption, OvValHideTaskbar));
    EXPECT_EQ(RegIntRead(HKCU, OvKeyOption, OvValHookKeyNo), 240);
    EXPECT_TRUE(::IsWindowVisible(Application.Handle())) << "the taskbar button is shown";

    // The next opening is a fresh dialog showing what was stored; hiding the button takes
    // effect at once.
    RunDialog({[&](TFrmOvOptn& d) {
        EXPECT_EQ(Selected(d.CptCmbToolBar), L"右");
        EXPECT_EQ(Selected(d.CptCmbShortCutKey), L"CapsLock");
        EXPECT_TRUE(Ticked(d.CptCbxHook));
        EXPECT_TRUE(Ticked(d.CptCbxMoveMouse));
        Click(d.CptCbxHideTaskbar);
        // The first entry of the table counts like any other.
        Choose(d.CptCmbShortCutKey, L"F1");
        Click(d.CptBtnSet);
    }});
    EXPECT_TRUE(RegBoolRead(HKCU, OvKeyOption, OvValHideTaskbar));
    EXPECT_FALSE(::IsWindowVisible(Application.Handle()));
    EXPECT_EQ(RegIntRead(HKCU, OvKeyOption, OvValHookKeyNo), 112);
    EXPECT_TRUE(::IsWindowEnabled(Application.Handle()));
}

TEST_F(OptionsDialog, SetWithoutTheLibraryTurnsEverythingOffAndShowsTheButton) {
    Open();
    RegBoolWrite(HKCU, OvKeyOption, OvValHookKey, true);
    RegBoolWrite(HKCU, OvKeyOption, OvValHereMouse, true);
    RegBoolWrite(HKCU, OvKeyOption, OvValHideTaskbar, true);
    ::ShowWindow(Application.Handle(), SW_HIDE);
    RunDialog({[&](TFrmOvOptn& d) { Click(d.CptBtnSet); }});
    EXPECT_FALSE(RegBoolRead(HKCU, OvKeyOption, OvValHookKey));
    EXPECT_FALSE(RegBoolRead(HKCU, OvKeyOption, OvValHereMouse));
    EXPECT_FALSE(RegBoolRead(HKCU, OvKeyOption, OvValHideTaskbar));
    EXPECT_TRUE(::IsWindowVisible(Application.Handle()));
}

TEST_F(OptionsDialog, CancelCloseBoxEnterAndEscapeWriteAndApplyNothing) {
    TFrmOvMain& f = Open();
    LibraryPresent();
    const std::wstring before = OptionSnapshot();
    auto change = [&](TFrmOvOptn& d) {
        Choose(d.CptCmbToolBar, L"左");
        Choose(d.CptCmbShortCutKey, L"Pause");
        Click(d.CptCbxHook);
        Click(d.CptCbxHideTaskbar);
    };
    bool open = RunDialog({change, [&](TFrmOvOptn& d) { Click(d.CptBtnCancel); }});
    EXPECT_FALSE(open);
    open = RunDialog(
        {change, [&](TFrmOvOptn& d) { ::PostMessageW(d.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0); }});
    EXPECT_FALSE(open) << "the close box closes";
    // Enter and Escape reach the dialog through its keyboard handling and press nothing.
    open = RunDialog({change,
                      [&](TFrmOvOptn& d) {
                          ::SetFocus(d.CptCbxHook);
                          ::PostMessageW(d.CptCbxHook, WM_KEYDOWN, VK_RETURN, 0);
                      },
                      [&](TFrmOvOptn& d) {
                          ::SetFocus(d.CptCbxHook);
                          ::PostMessageW(d.CptCbxHook, WM_KEYDOWN, VK_ESCAPE, 0);
                      },
                      [](TFrmOvOptn&) {}});
    EXPECT_TRUE(open);
    EXPECT_EQ(OptionSnapshot(), before);
    EXPECT_EQ(f.ToolBarAlign, 0);
    EXPECT_FALSE(::IsWindowVisible(Application.Handle())) << "the taskbar setting is not applied";
}

TEST_F(OptionsDialog, AStoredKeyOutsideTheTableSelectsNoneAndSetKeepsIt) {
    Open();
    LibraryPresent();
    RegIntWrite(HKCU, OvKeyOption, OvValHookKeyNo, 65);
    RegIntWrite(HKCU, OvKeyOption, OvValToolBarPos, 7);
    const bool open = RunDialog({[&](TFrmOvOptn& d) {
        EXPECT_EQ(::SendMessageW(d.CptCmbShortCutKey, CB_GETCURSEL, 0, 0), CB_ERR);
        EXPECT_EQ(::SendMessageW(d.CptCmbToolBar, CB_GETCURSEL, 0, 0), CB_ERR);
        Click(d.CptCbxHook);
        const TBoxSeen box = AnswerBox([&] { Click(d.CptBtnSet); }, IDOK);
        EXPECT_FALSE(box.seen) << box.text;
    }});
    EXPECT_FALSE(open) << "Set still closes";
    EXPECT_EQ(RegIntRead(HKCU, OvKeyOption, OvValHookKeyNo), 65) << "no key chosen, none written";
    EXPECT_TRUE(RegBoolRead(HKCU, OvKeyOption, OvValHookKey));
    EXPECT_EQ(RegIntRead(HKCU, OvKeyOption, OvValToolBarPos), -1);
    EXPECT_TRUE(::IsWindowVisible(Application.Handle())) << "the taskbar setting is applied";
}

TEST_F(OptionsDialog, BrokenCodeTablesStopSetWithAClearError) {
    Open();
    LibraryPresent();
    // Fewer codes than names: the chosen name has no code.
    RegStrWrite(HKCU, OvKeyOption, OvValHookKeyNoTbl, L"112,113");
    bool open = RunDialog({[&](TFrmOvOptn& d) {
        EXPECT_EQ(::SendMessageW(d.CptCmbShortCutKey, CB_GETCURSEL, 0, 0), CB_ERR);
        Click(d.CptCbxHook);
        Choose(d.CptCmbShortCutKey, L"F8");
        const TBoxSeen box = AnswerBox([&] { Click(d.CptBtnSet); }, IDOK);
        EXPECT_TRUE(box.seen);
        EXPECT_EQ(box.caption, L"Orvanta");
        EXPECT_EQ(box.text, L"リストのインデックスが範囲を超えています (7)");
    }});
    EXPECT_TRUE(open) << "the dialog stays open after the error";
    EXPECT_EQ(RegIntRead(HKCU, OvKeyOption, OvValHookKeyNo), 119);
    EXPECT_TRUE(RegBoolRead(HKCU, OvKeyOption, OvValHookKey)) << "the steps before it ran";
    EXPECT_FALSE(::IsWindowVisible(Application.Handle())) << "nothing after it ran";

    RegStrWrite(HKCU, OvKeyOption, OvValHookKeyNoTbl, L"112,F2,114");
    open = RunDialog({[&](TFrmOvOptn& d) {
        Choose(d.CptCmbShortCutKey, L"F2");
        const TBoxSeen box = AnswerBox([&] { Click(d.CptBtnSet); }, IDOK);
        EXPECT_EQ(box.text, L"'F2' は整数ではありません.");
    }});
    EXPECT_TRUE(open);
    EXPECT_EQ(RegIntRead(HKCU, OvKeyOption, OvValHookKeyNo), 119);
}

TEST_F(OptionsDialog, OpensCentredOnTheMainWindow) {
    TFrmOvMain& f = Open();
    ::MoveWindow(f.Handle(), 100, 80, 600, 500, FALSE);
    RunDialog({[&](TFrmOvOptn& d) {
        RECT rc{};
        ::GetWindowRect(d.Handle(), &rc);
        const int w = rc.right - rc.left;
        const int h = rc.bottom - rc.top;
        EXPECT_EQ(rc.left, 100 + 300 - w / 2);
        EXPECT_EQ(rc.top, 80 + 250 - h / 2);
    }});
}

TEST(OptionDialogPos, CentresOnTheOwnerAndKeepsInsideTheWorkArea) {
    const RECT work{0, 0, 1024, 738};
    auto at = [&](RECT owner, int w, int h) { return OptionDialogPos(owner, w, h, work); };
    POINT p = at({100, 80, 700, 580}, 398, 320);
    EXPECT_EQ(p.x, 201);
    EXPECT_EQ(p.y, 170);
    // Odd owner sizes: each half truncates on its own.
    p = at({0, 0, 341, 227}, 101, 51);
    EXPECT_EQ(p.x, 170 - 50);
    EXPECT_EQ(p.y, 113 - 25);
    // Past the right and bottom edges: flush with them.
    p = at({800, 600, 1200, 900}, 398, 320);
    EXPECT_EQ(p.x, 1024 - 398);
    EXPECT_EQ(p.y, 738 - 320);
    // Left of or above the origin: 0.
    p = at({-500, -400, -100, -100}, 398, 320);
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 0);
    // Wider and taller than the work area: the right clamp, then 0 wins.
    p = at({0, 0, 1024, 738}, 1100, 800);
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 0);
    // A taskbar at the top or left does not push the dialog further.
    p = OptionDialogPos({-300, -300, 100, 100}, 200, 100, RECT{60, 30, 1024, 768});
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 0);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// The start at sign-in and the notification-area icon

namespace {

std::wstring RunValue() {
    return RegStrReadOrEmpty(HKCU, OvKeyRun, OvValRun);
}

} // namespace

TEST(SignIn, TheValueNamesTheProgramAndOnlyItsOwnArgumentMarksASignInStart) {
    EXPECT_EQ(SignInCommand(L"C:\\Program Files\\Orvanta\\pOv.exe"),
              L"\"C:\\Program Files\\Orvanta\\pOv.exe\" /signin");
    for (const auto& [command, program] : std::vector<std::pair<std::wstring, std::wstring>>{
             {L"\"C:\\Program Files\\O\\pOv.exe\" /signin", L"C:\\Program Files\\O\\pOv.exe"},
             {L"C:\\O\\pOv.exe /signin", L"C:\\O\\pOv.exe"},
             {L"  C:\\O\\pOv.exe", L"C:\\O\\pOv.exe"},
             {L"\"C:\\unclosed", L""},
             {L"", L""}})
        EXPECT_EQ(CommandProgram(command), program) << Utf8Of(command);
    EXPECT_TRUE(SignInStart(L"\"C:\\O\\pOv.exe\" /signin"));
    EXPECT_TRUE(SignInStart(L"pOv.exe /SignIn"));
    EXPECT_FALSE(SignInStart(L"pOv.exe"));
    EXPECT_FALSE(SignInStart(L"pOv.exe /signin extra"));
    EXPECT_FALSE(SignInStart(L"pOv.exe -signin"));

    // A refusal names the value; nothing else in the key is touched.
    TFaultMemStore store;
    TRegStoreScope scope(store);
    RegStrWrite(HKCU, OvKeyRun, L"Other", L"other.exe");
    SignInSet(true, L"C:\\O\\pOv.exe");
    EXPECT_EQ(SignInStateRead(L"c:\\o\\POV.EXE"), TSignInState::ThisCopy);
    EXPECT_EQ(SignInStateRead(L"D:\\new\\pOv.exe"), TSignInState::OtherCopy);
    EXPECT_EQ(SignInStateRead(L"C:\\O\\another.exe"), TSignInState::Absent);
    SignInSet(false, L"C:\\O\\pOv.exe");
    EXPECT_FALSE(RegValueExists(HKCU, OvKeyRun, OvValRun));
    EXPECT_EQ(RegStrRead(HKCU, OvKeyRun, L"Other"), L"other.exe");
    // Whatever way Windows reads the value, it starts this copy: unquoted with blanks in the path,
    // blanks before it, an environment string, a short form of the path.
    const std::wstring self = ProgramPath();
    wchar_t shortForm[MAX_PATH] = {};
    ASSERT_GT(::GetShortPathNameW(self.c_str(), shortForm, MAX_PATH), 0u);
    ASSERT_NE(std::wstring(shortForm), self);
    ::SetEnvironmentVariableW(L"OV_SIGNIN_TEST", L"C:\\Program Files");
    const std::pair<std::wstring, std::wstring> starts[] = {
        {L"C:\\Program Files\\O\\pOv.exe /signin", L"C:\\Program Files\\O\\pOv.exe"},
        {L" \t\"C:\\O\\pOv.exe\" /signin", L"C:\\O\\pOv.exe"},
        {L"\t C:\\O\\pOv.exe", L"C:\\O\\pOv.exe"},
        {L"\"%OV_SIGNIN_TEST%\\O\\pOv.exe\" /signin", L"C:\\Program Files\\O\\pOv.exe"},
        {std::wstring(shortForm) + L" /signin", self},
    };
    for (const auto& [value, program] : starts) {
        RegStrWrite(HKCU, OvKeyRun, OvValRun, value);
        EXPECT_EQ(SignInStateRead(program), TSignInState::ThisCopy) << Utf8Of(value);
    }
    ::SetEnvironmentVariableW(L"OV_SIGNIN_TEST", nullptr);
    RegStrWrite(HKCU, OvKeyRun, OvValRun, L"C:\\Program Files\\Old\\pOv.exe /signin");
    EXPECT_EQ(SignInStateRead(L"C:\\O\\pOv.exe"), TSignInState::OtherCopy);

    // A refused write or deletion is told, naming the value, never reported as done.
    store.refusedValueDelete = OvValRun;
    EXPECT_THROW(SignInSet(false, L"C:\\O\\pOv.exe"), ERegError);
    EXPECT_TRUE(RegValueExists(HKCU, OvKeyRun, OvValRun));
    store.refusedCreate = std::wstring(OvKeyRun).substr(1);
    try {
        SignInSet(true, L"C:\\O\\pOv.exe");
        ADD_FAILURE() << "a refused write reported as done";
    } catch (const ERegError& e) {
        EXPECT_NE(ErrorMessageOf(e).find(L"CurrentVersion\\Run\\Orvanta"), std::wstring::npos)
            << Utf8Of(ErrorMessageOf(e));
    }
}

// The box shows what the Run key holds each time the dialog opens, and 設定 changes the value only
// where the user changed the box: another copy's value left unticked stays, ticked it names this
// copy; the icon's option is stored.
TEST_F(OptionsDialog, TheSignInBoxShowsTheTruthAndWritesOnlyWhatTheUserChanged) {
    Open();
    const std::wstring self = ProgramPath();
    const std::wstring other = L"\"C:\\old\\" + self.substr(self.rfind(L'\\') + 1) + L"\" /signin";
    RegStrWrite(HKCU, OvKeyRun, L"Other", L"other.exe");
    RegValueDelete(HKCU, OvKeyRun, OvValRun);
    struct TCase {
        std::wstring before;
        bool tick;
        bool shownTicked, noteShown;
        std::wstring after;
    } cases[] = {
        {L"", true, false, false, SignInCommand(self)},
        {SignInCommand(self), false, true, false, L""},
        {other, false, false, true, other},
        {other, true, false, true, SignInCommand(self)},
        {L"C:\\x\\another.exe", false, false, false, L"C:\\x\\another.exe"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(Utf8Of(c.before));
        if (c.before.empty())
            RegValueDelete(HKCU, OvKeyRun, OvValRun);
        else
            RegStrWrite(HKCU, OvKeyRun, OvValRun, c.before);
        RunDialog({[&](TFrmOvOptn& d) {
            EXPECT_EQ(Ticked(d.CptCbxSignIn), c.shownTicked);
            EXPECT_EQ(::IsWindowVisible(d.CptLblSignInNote) != FALSE, c.noteShown);
            if (Ticked(d.CptCbxSignIn) != c.tick)
                Click(d.CptCbxSignIn);
            Click(d.CptCbxTrayIcon);
            Click(d.CptBtnSet);
        }});
        EXPECT_EQ(RunValue(), c.after);
    }
    EXPECT_EQ(RegStrRead(HKCU, OvKeyRun, L"Other"), L"other.exe");
    EXPECT_TRUE(RegBoolRead(HKCU, OvKeyOption, OvValTrayIcon)) << "toggled five times: ticked";
    RegValueDelete(HKCU, OvKeyRun, L"Other");
    RegValueDelete(HKCU, OvKeyRun, OvValRun);
}

// ---------------------------------------------------------------------------------------------
// Backup and restore through the dialog's buttons

// Export, then import in the tree's place, then import as pages added, through the real file
// dialogs and the choice; a bad file gets one box and changes nothing, and a choice cancelled
// changes nothing.
TEST_F(OptionsDialog, ExportAndImportThroughTheirDialogs) {
    TFrmOvMain& f = Open();
    std::wstring stored;
    ASSERT_TRUE(FileWrite(folder / L"報告書.doc", "x"));
    ItemAdd(1, folder / L"報告書.doc");
    PageCreate(2, L"");
    PageNameSet(2, 2, L"二ページ目", stored);
    ItemAdd(2, L"C:\\x\\y.txt");
    const std::wstring file = folder / L"backup 😀.reg";
    // Answers the file dialog with `path`, the choice with button `choice`, a box with OK (its
    // text noted).
    std::vector<std::wstring> boxes;
    auto answer = [&](const std::wstring& path, int choice) {
        return [&, path, choice](HWND dialog) {
            if (::GetDlgItem(dialog, IDC_CHOICE_FIRST)) {
                ::PostMessageW(dialog, WM_COMMAND, IDC_CHOICE_FIRST + choice, 0);
            } else if (::GetDlgItem(dialog, 0xFFFF) && !::GetDlgItem(dialog, cmb13) &&
                       !::GetDlgItem(dialog, edt1)) {
                boxes.push_back(Text(::GetDlgItem(dialog, 0xFFFF)));
                ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
            } else {
                for (int control : {cmb13, edt1})
                    ::SendMessageW(dialog, CDM_SETCONTROLTEXT, control,
                                   reinterpret_cast<LPARAM>(path.c_str()));
                ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
            }
        };
    };
    auto press = [&](bool exportButton, const std::wstring& path, int choice) {
        return RunDialog({[&](TFrmOvOptn& d) {
            AnswerEveryDialog([&] { Click(exportButton ? d.CptBtnExport : d.CptBtnImport); },
                              answer(path, choice));
        }});
    };
    EXPECT_TRUE(press(true, file, 0)) << "an export leaves the dialog open";
    const std::wstring exported = StoreTreeDump(HKCU, OvKeyProduct);
    ASSERT_TRUE(FilePresent(file)) << (boxes.empty() ? std::string("no box") : Utf8Of(boxes[0]));

    PageRemove(2, 2);
    RegIntWrite(HKCU, OvKeyOption, OvValToolBarPos, 3);
    const std::wstring changed = StoreTreeDump(HKCU, OvKeyProduct);
    EXPECT_TRUE(press(false, file, 2)) << "cancelled: the dialog stays";
    EXPECT_EQ(StoreTreeDump(HKCU, OvKeyProduct), changed);
    ASSERT_TRUE(FileWrite(folder / L"junk.reg", std::string(4096, 'x')));
    EXPECT_TRUE(press(false, folder / L"junk.reg", 0));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find(L"バイト順マーク"), std::wstring::npos) << Utf8Of(boxes[0]);
    EXPECT_EQ(StoreTreeDump(HKCU, OvKeyProduct), changed);

    // Replaced, then appended: the dialog closes itself, writing nothing of its own.
    press(false, file, 0);
    EXPECT_EQ(StoreTreeDump(HKCU, OvKeyProduct), exported);
    EXPECT_EQ(f.PageTotal, 2);
    EXPECT_EQ(f.ToolBarAlign, 0) << "the file's toolbar edge applied";

    press(false, file, 1);
    EXPECT_EQ(f.PageTotal, 4);
    EXPECT_EQ(PageNameRead(4), L"二ページ目 (2)");
    EXPECT_EQ(RegIntRead(HKCU, OvKeyOption, OvValToolBarPos), 0);
}

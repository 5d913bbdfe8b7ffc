// The main window built in the test process: its controls, the state it reads at creation and
// writes at close, its minimum size and the top-level error box.
#include "uCmnApp.h"
#include "uCmnError.h"
#include "uCmnReg.h"
#include "uOvFrmDef.h"
#include "uOvMain.h"
#include "uOvReg.h"
#include "uOvRegDef.h"
#include "uTestMainWindow.h"
#include "uTestSupport.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>

namespace {

const HKEY HKCU = HKEY_CURRENT_USER;

class MainWindow : public TMainWindowTest {
  protected:
};

std::wstring MenuText(HMENU menu, int position) {
    wchar_t buf[128] = {};
    ::GetMenuStringW(menu, static_cast<UINT>(position), buf, static_cast<int>(std::size(buf)),
                     MF_BYPOSITION);
    return buf;
}

TEST_F(MainWindow, HasEveryControlOfTheLayout) {
    TFrmOvMain& f = Open();
    wchar_t cls[64] = {};
    ::GetClassNameW(f.Handle(), cls, static_cast<int>(std::size(cls)));
    EXPECT_STREQ(cls, L"TFrmOvMain");
    EXPECT_TRUE(::IsWindowUnicode(f.Handle())) << "a Unicode window class";
    EXPECT_EQ(::GetWindow(f.Handle(), GW_OWNER), Application.Handle())
        << "the application window owns the main window and carries the taskbar button";

    // Toolbar: six buttons with their images, the view button a drop-down, the next button one
    // (the page list).
    ASSERT_EQ(::SendMessageW(f.CptTbrToolBar, TB_BUTTONCOUNT, 0, 0), 6);
    EXPECT_EQ(::ImageList_GetImageCount(f.CptImlHotImages.Get()), 6);
    for (int i = 0; i < 6; ++i) {
        TBBUTTON b{};
        ::SendMessageW(f.CptTbrToolBar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&b));
        EXPECT_EQ(b.iBitmap, i);
        EXPECT_EQ(b.idCommand, IDC_TBN_BEFORE + i);
        EXPECT_EQ((b.fsStyle & BTNS_DROPDOWN) != 0, i == 1 || i == 2);
    }
    RECT button{};
    ::SendMessageW(f.CptTbrToolBar, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&button));
    EXPECT_EQ(button.right - button.left, OV_BUTTON_WIDTH);
    EXPECT_EQ(button.bottom - button.top, OV_BUTTON_HEIGHT);
    RECT tb{};
    ::GetWindowRect(f.CptTbrToolBar, &tb);
    EXPECT_EQ(tb.bottom - tb.top, OV_BUTTON_HEIGHT);

    // List view: editable labels, selection kept visible, full-row select, both image lists.
    LONG style = ::GetWindowLongW(f.CptLvwItems, GWL_STYLE);
    EXPECT_TRUE(style & LVS_EDITLABELS);
    EXPECT_TRUE(style & LVS_SHOWSELALWAYS);
    EXPECT_FALSE(style & LVS_SINGLESEL);
    EXPECT_TRUE(ListView_GetExtendedListViewStyle(f.CptLvwItems) & LVS_EX_FULLROWSELECT);
    int cx = 0, cy = 0;
    ::ImageList_GetIconSize(ListView_GetImageList(f.CptLvwItems, LVSIL_NORMAL), &cx, &cy);
    EXPECT_EQ(cx, 32);
    ::ImageList_GetIconSize(ListView_GetImageList(f.CptLvwItems, LVSIL_SMALL), &cx, &cy);
    EXPECT_EQ(cx, 16);

    // Status bar: 20 pixels at the bottom, two owner-drawn panels, 200 wide and the rest.
    int edges[4] = {};
    ASSERT_EQ(::SendMessageW(f.CptSbrStatus, SB_GETPARTS, 4, reinterpret_cast<LPARAM>(edges)), 2);
    EXPECT_EQ(edges[0], 200);
    EXPECT_EQ(edges[1], -1);
    RECT sb{}, client{};
    ::GetWindowRect(f.CptSbrStatus, &sb);
    ::GetClientRect(f.Handle(), &client);
    EXPECT_EQ(sb.bottom - sb.top, OV_STATUS_HEIGHT);

    // The list fills what the toolbar band and the status bar leave.
    RECT lv{};
    ::GetWindowRect(f.CptLvwItems, &lv);
    ::MapWindowPoints(nullptr, f.Handle(), reinterpret_cast<POINT*>(&lv), 2);
    EXPECT_EQ(lv.top, OV_BUTTON_HEIGHT + 2 * OV_TOOLBAR_EDGE);
    EXPECT_EQ(lv.bottom, client.bottom - OV_STATUS_HEIGHT);
    EXPECT_EQ(lv.right, client.right);

    // Popup: four view entries (the first checked), a separator, the refresh entry, a separator,
    // the insert entry.
    HMENU menu = f.CptPmuViewStyle.Get();
    ASSERT_EQ(::GetMenuItemCount(menu), 8);
    EXPECT_TRUE(::GetMenuState(menu, 0, MF_BYPOSITION) & MF_CHECKED);
    EXPECT_TRUE(::GetMenuState(menu, 4, MF_BYPOSITION) & MF_SEPARATOR);

    ExpectInterfaceFont(f.CptLvwItems);
}

TEST_F(MainWindow, CaptionsButtonsMenuAndColumnsCarryTheirTexts) {
    TFrmOvMain& f = Open();
    EXPECT_EQ(Application.Title(), L"Orvanta");
    EXPECT_EQ(f.Caption(), L"Orvanta");
    const wchar_t* buttons[] = {L"前へ", L"次へ", L"表示", L"追加", L"削除", L"設定"};
    for (int i = 0; i < 6; ++i) {
        wchar_t buf[64] = {};
        ::SendMessageW(f.CptTbrToolBar, TB_GETBUTTONTEXTW, IDC_TBN_BEFORE + i,
                       reinterpret_cast<LPARAM>(buf));
        EXPECT_STREQ(buf, buttons[i]);
        EXPECT_EQ(f.CptTbnHints[i], buttons[i]);
    }
    HMENU menu = f.CptPmuViewStyle.Get();
    EXPECT_EQ(MenuText(menu, 0), L"大きいアイコン");
    EXPECT_EQ(MenuText(menu, 1), L"小さいアイコン");
    EXPECT_EQ(MenuText(menu, 2), L"一覧");
    EXPECT_EQ(MenuText(menu, 3), L"詳細");
    EXPECT_EQ(MenuText(menu, 5), L"最新の情報へ更新");

    const wchar_t* columns[] = {L"名前", L"サイズ", L"種類", L"更新日時", L"場所"};
    HWND header = ListView_GetHeader(f.CptLvwItems);
    ASSERT_EQ(Header_GetItemCount(header), 5);
    for (int i = 0; i < 5; ++i) {
        wchar_t buf[64] = {};
        LVCOLUMNW c{};
        c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        c.pszText = buf;
        c.cchTextMax = static_cast<int>(std::size(buf));
        ASSERT_TRUE(::SendMessageW(f.CptLvwItems, LVM_GETCOLUMNW, i, reinterpret_cast<LPARAM>(&c)));
        EXPECT_STREQ(buf, columns[i]);
        EXPECT_EQ(c.cx, 50);
        EXPECT_EQ(c.fmt & LVCFMT_JUSTIFYMASK, i == 1 ? LVCFMT_RIGHT : LVCFMT_LEFT);
    }
}

TEST_F(MainWindow, FirstCreationBuildsTheTreeAndReadsItsDefaults) {
    TFrmOvMain& f = Open();
    EXPECT_TRUE(RegKeyExists(HKCU, OvKeyProduct));
    EXPECT_EQ(f.CurrentPage, 1);
    EXPECT_EQ(f.PageTotal, 1);
    EXPECT_EQ(f.ViewStyle, 0);
    EXPECT_EQ(f.SortColumn, 0);
    EXPECT_EQ(f.SortOrder, 1);
    EXPECT_EQ(f.LastOpenDir, L"c:\\windows");
    // Stored as written whatever the code page.
    EXPECT_EQ(RegStrRead(HKCU, OvKeyOption, OvValToolBarPosTbl), L"上,下,右,左");
    EXPECT_EQ(RegStrRead(HKCU, OvKeySystem, OvValCopyright), OvDefCopyright);
    EXPECT_EQ(f.StatusPanels.pageText, L" 1/1 ページ   0 個のオブジェクト  ");
    EXPECT_TRUE(Application.ShowMainForm);
    EXPECT_FALSE(::IsWindowVisible(f.Handle())) << "creation never shows the window";
}

// A page key written by another program without its folder value: the status bar counts the
// items the list shows.
TEST_F(MainWindow, TheStatusBarCountsTheItemsOfAPageWithoutItsFolderValue) {
    Open();
    form.reset();
    RegKeyDelete(HKCU, PageKeyPath(1));
    RegKeyCreate(HKCU, PageKeyPath(1));
    const std::wstring exe = ExeFolder() + L"test_uOvMain.exe";
    RegStrWrite(HKCU, PageKeyPath(1), L"one", exe);
    RegStrWrite(HKCU, PageKeyPath(1), L"two", exe);
    TFrmOvMain& f = Open();
    EXPECT_EQ(ListView_GetItemCount(f.CptLvwItems), 2);
    EXPECT_EQ(f.StatusPanels.pageText, L" 1/1 ページ   2 個のオブジェクト  ");
}

TEST_F(MainWindow, CreationReadsTheStoredStateAndCloseWritesItBack) {
    Open();
    form.reset();
    for (int page : {2, 3})
        RegStrWrite(HKCU, std::wstring(OvKeyPagePrefix) + std::to_wstring(page), L"", L"");
    RegIntWrite(HKCU, OvKeyConfig, OvValSelPage, 3);
    RegIntWrite(HKCU, OvKeyConfig, OvValLvwStyle, 3);
    RegIntWrite(HKCU, OvKeyConfig, OvValLvwColSort, 2);
    RegIntWrite(HKCU, OvKeyConfig, OvValLvwColSortAscDec, -1);
    RegStrWrite(HKCU, OvKeyConfig, OvValOpenFileDir, L"D:\\ソフト\\");

    TFrmOvMain& f = Open();
    EXPECT_EQ(f.CurrentPage, 3);
    EXPECT_EQ(f.PageTotal, 3);
    EXPECT_EQ(f.ViewStyle, 3);
    EXPECT_EQ(f.SortColumn, 2);
    EXPECT_EQ(f.SortOrder, -1);
    EXPECT_EQ(f.LastOpenDir, L"D:\\ソフト\\");

    f.CurrentPage = 2;
    f.ViewStyle = 1;
    f.SortColumn = 4;
    f.SortOrder = 1;
    f.LastOpenDir = L"E:\\表\\";
    ::MoveWindow(f.Handle(), 11, 22, 333, 244, FALSE);
    ::SendMessageW(f.Handle(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(::IsWindow(f.Handle())) << "the close is always allowed";
    EXPECT_EQ(RegIntRead(HKCU, OvKeyConfig, OvValSelPage), 2);
    EXPECT_EQ(RegIntRead(HKCU, OvKeyConfig, OvValLvwStyle), 1);
    EXPECT_EQ(RegIntRead(HKCU, OvKeyConfig, OvValLvwColSort), 4);
    EXPECT_EQ(RegIntRead(HKCU, OvKeyConfig, OvValLvwColSortAscDec), 1);
    EXPECT_EQ(RegStrRead(HKCU, OvKeyConfig, OvValOpenFileDir), L"E:\\表\\");
    EXPECT_EQ(RegIntRead(HKCU, OvKeyWindow, OvValLeft), 11);
    EXPECT_EQ(RegIntRead(HKCU, OvKeyWindow, OvValTop), 22);
    EXPECT_EQ(RegIntRead(HKCU, OvKeyWindow, OvValWidth), 333);
    EXPECT_EQ(RegIntRead(HKCU, OvKeyWindow, OvValHeight), 244);
}

TEST_F(MainWindow, EndOfSessionAsksTheCloseQueryWhichSaves) {
    TFrmOvMain& f = Open();
    f.SortColumn = 3;
    EXPECT_EQ(::SendMessageW(f.Handle(), WM_QUERYENDSESSION, 0, 0), TRUE);
    EXPECT_EQ(RegIntRead(HKCU, OvKeyConfig, OvValLvwColSort), 3);
    EXPECT_TRUE(::IsWindow(f.Handle())) << "a cancelled log-off keeps the program running";
}

TEST_F(MainWindow, MinimumTrackingSizeIs120Square) {
    TFrmOvMain& f = Open();
    MINMAXINFO info{};
    info.ptMaxTrackSize = {5000, 4000};
    ::SendMessageW(f.Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 120);
    EXPECT_EQ(info.ptMinTrackSize.y, 120);
    EXPECT_EQ(info.ptMaxTrackSize.x, 5000) << "the maximum is left as the system set it";
}

TEST_F(MainWindow, AStartUpErrorIsShownAndLaterStepsStillRun) {
    Open();
    form.reset();
    RegValueDelete(HKCU, OvKeyConfig, OvValSelPage);
    RegIntWrite(HKCU, OvKeyConfig, OvValLvwStyle, 2);
    TBoxSeen box = AnswerBox([&] { Open(); }, IDOK);
    EXPECT_TRUE(box.seen);
    EXPECT_EQ(box.caption, L"Orvanta");
    EXPECT_EQ(box.text, L"'SelPage' の取得に失敗しました.");
    EXPECT_EQ(form->ViewStyle, 2);
    EXPECT_EQ(form->CurrentPage, 1);
    EXPECT_EQ(form->Caption(), L"Orvanta");
}

// Errors of messages that come again and again open one box, not one per message: the paint
// reads no setting (the taskbar setting is read when the window is shown), the hot key turns
// itself off when its settings cannot be read, and a failed check refuses the editor.
TEST_F(MainWindow, RepeatedMessagesThatFailOpenOneBox) {
    Open();
    form.reset();
    RegValueDelete(HKCU, OvKeyOption, OvValHideTaskbar);
    RegValueDelete(HKCU, OvKeyOption, OvValHookKeyNo);
    TFrmOvMain& f = Open();
    auto boxes = AnswerBoxes(
        [&] {
            ::ShowWindow(f.Handle(), SW_SHOWNOACTIVATE);
            for (int i = 0; i < 5; ++i) {
                ::RedrawWindow(f.Handle(), nullptr, nullptr,
                               RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
                PumpMessages(20);
            }
        },
        IDOK);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, L"'HideTaskbar' の取得に失敗しました.");

    boxes = AnswerBoxes(
        [&] {
            for (int i = 0; i < 5; ++i)
                ::PostMessageW(f.Handle(), WM_HOOKKEY, VK_F8, 0);
            PumpMessages(300);
            for (int i = 0; i < 3; ++i)
                ::SendMessageW(f.Handle(), WM_HOOKKEY, VK_F8, 0);
        },
        IDOK);
    ASSERT_EQ(boxes.size(), 1u) << "then the hot key stays off";
    EXPECT_EQ(boxes[0].text, L"'HookKeyNo' の取得に失敗しました.");

    RegIntWrite(HKCU, PageKeyPath(1), L"", 5);
    ListRowAdd(L"row", ExeFolder() + L"test_uOvMain.exe", 1);
    NMLVDISPINFOW edit{};
    edit.hdr.hwndFrom = f.CptLvwItems;
    edit.hdr.code = LVN_BEGINLABELEDITW;
    LRESULT refused = FALSE;
    boxes = AnswerBoxes(
        [&] {
            refused =
                ::SendMessageW(f.Handle(), WM_NOTIFY, IDC_ITEMS, reinterpret_cast<LPARAM>(&edit));
        },
        IDOK);
    EXPECT_EQ(refused, TRUE) << "a check that failed must not let the editor open";
    EXPECT_EQ(boxes.size(), 1u);
}

// The box's own loop dispatches a message whose handler fails with the same error: that opens
// no second box; once the box is closed, the error opens one again.
TEST(TopLevelErrorBox, TheSameErrorWhileItsBoxIsOpenOpensNoSecondBox) {
    Application.Initialize();
    const ERegError error(L"'Top' のデータ型が不正です");
    int boxes = 0;
    AnswerEveryDialog([&] { Application.HandleException(error); },
                      [&](HWND box) {
                          if (++boxes == 1)
                              Application.HandleException(error);
                          ::PostMessageW(box, WM_COMMAND, IDOK, 0);
                      });
    EXPECT_EQ(boxes, 1);
    EXPECT_TRUE(AnswerBox([&] { Application.HandleException(error); }, IDOK).seen);
}

TEST(TopLevelErrorBox, AppendsAFullStopAfterLettersDigitsAndDoubleByteCharacters) {
    EXPECT_EQ(TApplication::ErrorBoxText(L"abc"), L"abc.");
    EXPECT_EQ(TApplication::ErrorBoxText(L"code 9"), L"code 9.");
    EXPECT_EQ(TApplication::ErrorBoxText(L"失敗しました"), L"失敗しました.");
    EXPECT_EQ(TApplication::ErrorBoxText(L"表"), L"表.") << "Shift-JIS trail byte 0x5C";
    EXPECT_EQ(TApplication::ErrorBoxText(L"done."), L"done.");
    EXPECT_EQ(TApplication::ErrorBoxText(L"stop!"), L"stop!");
    EXPECT_EQ(TApplication::ErrorBoxText(L"(x)"), L"(x)");
    EXPECT_EQ(TApplication::ErrorBoxText(L"blank "), L"blank ");
    EXPECT_EQ(TApplication::ErrorBoxText(L""), L"");
}

TEST(TopLevelErrorBox, ShowsTheMessageUnderTheApplicationTitle) {
    Application.Initialize();
    Application.SetTitle(L"Orvanta");
    TBoxSeen box = AnswerBox(
        [] { Application.HandleException(ERegError(L"'Top' のデータ型が不正です")); }, IDOK);
    ASSERT_TRUE(box.seen);
    EXPECT_EQ(box.caption, L"Orvanta");
    EXPECT_EQ(box.text, L"'Top' のデータ型が不正です.");
}

} // namespace

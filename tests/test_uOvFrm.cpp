// Placement of the main window: the mouse arithmetic, bounds loaded and saved across a restart
// (also maximised and minimised), the toolbar on each edge, the taskbar button and bringing a
// window to the front.
#include "uCmnApp.h"
#include "uCmnReg.h"
#include "uCmnWnd.h"
#include "uOvFrm.h"
#include "uOvFrmDef.h"
#include "uOvMain.h"
#include "uOvRegDef.h"
#include "uTestMainWindow.h"
#include "uTestSupport.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>
#include <thread>

namespace {

const HKEY HKCU = HKEY_CURRENT_USER;

POINT Pos(POINT cursor, const RECT& work, int w, int h) {
    return WindowToMousePos(cursor, work, w, h);
}

void ExpectAt(POINT p, LONG x, LONG y) {
    EXPECT_EQ(p.x, x);
    EXPECT_EQ(p.y, y);
}

TEST(WindowToMousePos, CentresOnTheCursorAndClampsInTheGivenOrder) {
    const RECT work{0, 0, 1024, 738};
    ExpectAt(Pos({500, 400}, work, 340, 226), 330, 287);
    ExpectAt(Pos({10, 700}, work, 340, 226), 0, 512);
    ExpectAt(Pos({1000, 20}, work, 340, 226), 684, 0);
    // Wider than the work area: the right clamp undoes the left one and nothing clamps again.
    ExpectAt(Pos({500, 400}, work, 1200, 226), -176, 287);
    ExpectAt(Pos({500, 400}, work, 340, 900), 330, -162);
    // Odd sizes halve downwards: the same place as one pixel less.
    ExpectAt(Pos({500, 400}, work, 341, 227), 330, 287);
    // Flush by the half sizes: the odd pixel reaches past the work area.
    ExpectAt(Pos({1023, 737}, work, 341, 227), 684, 512);
}

TEST(WindowToMousePos, ClampsAtTheScreenOriginNotTheWorkAreasCorner) {
    // Taskbar along the top or the left: the window may go under it.
    ExpectAt(Pos({500, 10}, RECT{0, 30, 1024, 768}, 340, 226), 330, 0);
    ExpectAt(Pos({10, 400}, RECT{60, 0, 1024, 768}, 340, 226), 0, 287);
    // Only the right and bottom edges of the work area count.
    ExpectAt(Pos({900, 700}, RECT{0, 0, 800, 600}, 200, 100), 600, 500);
}

class Placement : public TMainWindowTest {
  protected:
    void SetUp() override {
        TMainWindowTest::SetUp();
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    }
    void TearDown() override {
        Application.SetMainForm(nullptr);
        TMainWindowTest::TearDown();
        ::ShowWindow(Application.Handle(), SW_HIDE);
    }

    // Closes as the user would, which saves the bounds.
    void CloseMain() {
        Application.SetMainForm(nullptr);
        ::SendMessageW(form->Handle(), WM_CLOSE, 0, 0);
        EXPECT_FALSE(::IsWindow(form->Handle()));
    }
    // Closes and starts again from what was saved.
    TFrmOvMain& Restart() {
        CloseMain();
        return Open();
    }
    // Opens at 50,60 300 x 200, shown as the program's main window, and minimises the program
    // as a whole: the application window goes to the taskbar and the main window is hidden.
    TFrmOvMain& OpenAndMinimiseTheProgram() {
        StoreBounds(50, 60, 300, 200);
        TFrmOvMain& f = Open();
        Application.SetMainForm(&f);
        ::ShowWindow(Application.Handle(), SW_SHOWNORMAL);
        ::ShowWindow(f.Handle(), SW_SHOWNORMAL);
        ::SendMessageW(f.Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
        EXPECT_TRUE(Application.Minimized());
        EXPECT_FALSE(::IsWindowVisible(f.Handle()));
        return f;
    }
    void StoreBounds(int left, int top, int width, int height) {
        RegIntWrite(HKCU, OvKeyWindow, OvValLeft, left);
        RegIntWrite(HKCU, OvKeyWindow, OvValTop, top);
        RegIntWrite(HKCU, OvKeyWindow, OvValWidth, width);
        RegIntWrite(HKCU, OvKeyWindow, OvValHeight, height);
    }
    RECT Stored() const {
        const int left = RegIntRead(HKCU, OvKeyWindow, OvValLeft);
        const int top = RegIntRead(HKCU, OvKeyWindow, OvValTop);
        return RECT{left, top, left + RegIntRead(HKCU, OvKeyWindow, OvValWidth),
                    top + RegIntRead(HKCU, OvKeyWindow, OvValHeight)};
    }
    RECT Bounds() const {
        RECT rc{};
        ::GetWindowRect(form->Handle(), &rc);
        return rc;
    }
    // A child's rectangle in the main window's client coordinates.
    RECT ChildRect(HWND child) const {
        RECT rc{};
        ::GetWindowRect(child, &rc);
        ::MapWindowPoints(nullptr, form->Handle(), reinterpret_cast<POINT*>(&rc), 2);
        return rc;
    }

    RECT work{};
};

void ExpectRect(const RECT& rc, LONG left, LONG top, LONG right, LONG bottom) {
    EXPECT_EQ(rc.left, left);
    EXPECT_EQ(rc.top, top);
    EXPECT_EQ(rc.right, right);
    EXPECT_EQ(rc.bottom, bottom);
}

TEST_F(Placement, BoundsLoadUsesTheWorkAreaOnlyWhenBothSizesAreZero) {
    // First run: all four values 0.
    Open();
    ExpectRect(Bounds(), 0, 0, work.right, work.bottom);

    CloseMain();
    StoreBounds(40, 30, 0, 300);
    Open();
    RECT rc = Bounds();
    EXPECT_EQ(rc.left, 40);
    EXPECT_EQ(rc.top, 30);
    EXPECT_EQ(rc.bottom - rc.top, 300) << "a lone zero does not ask for the work area";
    EXPECT_LT(rc.right - rc.left, work.right);

    CloseMain();
    StoreBounds(-20, 15, 333, 244);
    Open();
    ExpectRect(Bounds(), -20, 15, 313, 259);
}

// Bounds on no screen come back on the nearest one; bounds that show enough stay as they are.
TEST(WindowOnScreen, BringsBackOnlyWhatCannotBeReached) {
    const std::vector<RECT> one{{0, 0, 1024, 738}};
    const std::vector<RECT> two{{0, 0, 1024, 738}, {-1280, 0, 0, 1000}};
    struct TCase {
        const std::vector<RECT>* areas;
        RECT window, shown;
    };
    const TCase cases[] = {
        {&one, {3000, 2500, 3400, 2800}, {624, 438, 1024, 738}},   // unplugged monitor
        {&one, {-20, 15, 313, 259}, {-20, 15, 313, 259}},          // partly off, reachable
        {&one, {900, 100, 1300, 400}, {624, 100, 1024, 400}},      // under a third across
        {&one, {100, 720, 500, 1000}, {100, 458, 500, 738}},       // caption below the bottom
        {&one, {100, 100, 2100, 1600}, {100, 100, 2100, 1600}},    // larger, but shown
        {&one, {-3000, -2000, -1000, 0}, {0, 0, 1024, 738}},       // larger than the area
        {&two, {-1000, 200, -600, 500}, {-1000, 200, -600, 500}},  // on the second monitor
        {&two, {-2000, 200, -1500, 500}, {-1280, 200, -780, 500}}, // left of the second one
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.window.left);
        const RECT shown = WindowOnScreen(c.window, *c.areas, 23);
        EXPECT_EQ(shown.left, c.shown.left);
        EXPECT_EQ(shown.top, c.shown.top);
        EXPECT_EQ(shown.right, c.shown.right);
        EXPECT_EQ(shown.bottom, c.shown.bottom);
    }
}

TEST_F(Placement, BoundsOfAMonitorThatIsGoneComeBackOnScreen) {
    StoreBounds(3000, 2500, 400, 300);
    Open();
    RECT rc = Bounds();
    EXPECT_EQ(rc.right - rc.left, 400);
    EXPECT_EQ(rc.bottom - rc.top, 300);
    EXPECT_LE(rc.right, work.right);
    EXPECT_LE(rc.bottom, work.bottom);
    EXPECT_EQ(RegIntRead(HKEY_CURRENT_USER, OvKeyWindow, OvValLeft), 3000)
        << "the stored bounds change only at the close";
}

TEST_F(Placement, ClosingWhileMaximisedKeepsTheMaximisedRectangleForANormalWindow) {
    StoreBounds(50, 60, 300, 200);
    TFrmOvMain& f = Open();
    ::ShowWindow(f.Handle(), SW_SHOWMAXIMIZED);
    ASSERT_TRUE(::IsZoomed(f.Handle()));
    const RECT maximised = Bounds();
    ASSERT_GT(maximised.right - maximised.left, 300);

    TFrmOvMain& g = Restart();
    const RECT saved = Stored();
    ExpectRect(saved, maximised.left, maximised.top, maximised.right, maximised.bottom);
    EXPECT_FALSE(::IsZoomed(g.Handle()));
    ExpectRect(Bounds(), maximised.left, maximised.top, maximised.right, maximised.bottom);
}

TEST_F(Placement, ClosingWhileMinimisedKeepsTheRectangleFromBefore) {
    TFrmOvMain& f = OpenAndMinimiseTheProgram();
    Application.Restore();
    Application.SetMainForm(nullptr);
    ::ShowWindow(Application.Handle(), SW_HIDE);

    // Minimised on its own, the main window sits somewhere else until it is restored.
    ::MoveWindow(f.Handle(), 70, 80, 320, 210, TRUE);
    ::ShowWindow(f.Handle(), SW_MINIMIZE);
    ASSERT_TRUE(::IsIconic(f.Handle()));
    TFrmOvMain& g = Restart();
    ExpectRect(Stored(), 70, 80, 390, 290);
    ExpectRect(Bounds(), 70, 80, 390, 290);
    EXPECT_FALSE(::IsIconic(g.Handle()));
}

TEST_F(Placement, ClosingWhileTheProgramIsMinimisedSavesTheNormalRectangle) {
    OpenAndMinimiseTheProgram();
    Restart();
    ExpectRect(Stored(), 50, 60, 350, 260);
    ::ShowWindow(Application.Handle(), SW_RESTORE);
}

TEST_F(Placement, ToolBarDocksToEachEdgeAndTheListFillsTheRest) {
    StoreBounds(0, 0, 500, 400);
    TFrmOvMain& f = Open();
    RECT client{};
    ::GetClientRect(f.Handle(), &client);
    const int statusTop = client.bottom - OV_STATUS_HEIGHT;
    const int band = OV_BUTTON_HEIGHT + 2 * OV_TOOLBAR_EDGE;
    auto buttonsInOneColumn = [&] {
        RECT first{}, last{};
        ::SendMessageW(f.CptTbrToolBar, TB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
        ::SendMessageW(f.CptTbrToolBar, TB_GETITEMRECT, OV_TOOLBAR_BUTTONS - 1,
                       reinterpret_cast<LPARAM>(&last));
        return first.left == last.left && last.top >= first.top + 5 * OV_BUTTON_HEIGHT;
    };

    ToolBarPosApply(*form, 2);
    EXPECT_EQ(f.ToolBarAlign, 2);
    RECT tb = ChildRect(f.CptTbrToolBar);
    RECT lv = ChildRect(f.CptLvwItems);
    EXPECT_EQ(tb.right, client.right - OV_TOOLBAR_EDGE);
    EXPECT_EQ(tb.top, OV_TOOLBAR_EDGE);
    EXPECT_GT(tb.bottom - tb.top, tb.right - tb.left) << "a vertical bar";
    EXPECT_TRUE(buttonsInOneColumn());
    ExpectRect(lv, 0, 0, tb.left - OV_TOOLBAR_EDGE, statusTop);
    // Every button is inside the bar, so none is cut off.
    RECT last{};
    ::SendMessageW(f.CptTbrToolBar, TB_GETITEMRECT, OV_TOOLBAR_BUTTONS - 1,
                   reinterpret_cast<LPARAM>(&last));
    EXPECT_LE(last.right, tb.right - tb.left);
    EXPECT_LE(last.bottom, tb.bottom - tb.top);

    ToolBarPosApply(*form, 3);
    tb = ChildRect(f.CptTbrToolBar);
    lv = ChildRect(f.CptLvwItems);
    EXPECT_EQ(tb.left, OV_TOOLBAR_EDGE);
    EXPECT_TRUE(buttonsInOneColumn());
    ExpectRect(lv, tb.right + OV_TOOLBAR_EDGE, 0, client.right, statusTop);

    // Out of range: nothing moves.
    for (int position : {4, -1}) {
        ToolBarPosApply(*form, position);
        EXPECT_EQ(f.ToolBarAlign, 3);
        ExpectRect(ChildRect(f.CptTbrToolBar), tb.left, tb.top, tb.right, tb.bottom);
    }

    ToolBarPosApply(*form, 1);
    tb = ChildRect(f.CptTbrToolBar);
    lv = ChildRect(f.CptLvwItems);
    EXPECT_EQ(tb.bottom, statusTop - OV_TOOLBAR_EDGE);
    EXPECT_EQ(tb.bottom - tb.top, OV_BUTTON_HEIGHT);
    EXPECT_FALSE(buttonsInOneColumn()) << "back in one row";
    ExpectRect(lv, 0, 0, client.right, statusTop - band);

    ToolBarPosApply(*form, 0);
    tb = ChildRect(f.CptTbrToolBar);
    lv = ChildRect(f.CptLvwItems);
    EXPECT_EQ(tb.top, OV_TOOLBAR_EDGE);
    ExpectRect(lv, 0, band, client.right, statusTop);

    // The edge survives a resize of the window.
    ToolBarPosApply(*form, 3);
    ::SetWindowPos(f.Handle(), nullptr, 0, 0, 600, 450, SWP_NOMOVE | SWP_NOZORDER);
    ::GetClientRect(f.Handle(), &client);
    EXPECT_EQ(ChildRect(f.CptTbrToolBar).left, OV_TOOLBAR_EDGE);
    EXPECT_EQ(ChildRect(f.CptLvwItems).right, client.right);
}

TEST_F(Placement, CreationDocksTheToolBarAtTheStoredEdge) {
    Open();
    form.reset();
    RegIntWrite(HKCU, OvKeyOption, OvValToolBarPos, 2);
    TFrmOvMain& f = Open();
    EXPECT_EQ(f.ToolBarAlign, 2);
    EXPECT_TRUE(::GetWindowLongPtrW(f.CptTbrToolBar, GWL_STYLE) & CCS_VERT);
}

TEST_F(Placement, TaskbarButtonFollowsTheApplicationWindow) {
    HWND app = Application.Handle();
    TaskbarButtonSet(false);
    EXPECT_TRUE(::IsWindowVisible(app));
    TaskbarButtonSet(true);
    EXPECT_FALSE(::IsWindowVisible(app));
    TaskbarButtonSet(true);
    EXPECT_FALSE(::IsWindowVisible(app));
    TaskbarButtonSet(false);
    EXPECT_TRUE(::IsWindowVisible(app));
    EXPECT_FALSE(::IsIconic(app));
}

TEST_F(Placement, WindowToMouseMovesTheMainWindowKeepingItsSize) {
    StoreBounds(10, 10, 341, 227);
    TFrmOvMain& f = Open();
    ASSERT_TRUE(::SetCursorPos(500, 400));
    POINT cursor{};
    ::GetCursorPos(&cursor);
    WindowToMouse(form->Handle());
    const POINT expected = WindowToMousePos(cursor, work, 341, 227);
    ExpectRect(Bounds(), expected.x, expected.y, expected.x + 341, expected.y + 227);

    ::SetCursorPos(work.right - 1, work.bottom - 1);
    ::GetCursorPos(&cursor);
    WindowToMouse(form->Handle());
    const POINT corner = WindowToMousePos(cursor, work, 341, 227);
    ExpectRect(Bounds(), corner.x, corner.y, corner.x + 341, corner.y + 227);
    (void)f;
}

TEST_F(Placement, BringToFrontRestoresAMinimisedWindowAndLeavesAMaximisedOneMaximised) {
    StoreBounds(30, 40, 300, 200);
    TFrmOvMain& f = Open();
    Application.SetMainForm(&f);
    ::ShowWindow(Application.Handle(), SW_SHOWNORMAL);
    ::ShowWindow(f.Handle(), SW_SHOWNORMAL);
    ::SendMessageW(f.Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_FALSE(::IsWindowVisible(f.Handle()));
    WindowBringToFront(f.Handle());
    EXPECT_TRUE(::IsWindowVisible(f.Handle()));
    EXPECT_FALSE(Application.Minimized());
    ExpectRect(Bounds(), 30, 40, 330, 240);

    ::ShowWindow(f.Handle(), SW_SHOWMAXIMIZED);
    ASSERT_TRUE(::IsZoomed(f.Handle()));
    WindowBringToFront(f.Handle());
    EXPECT_TRUE(::IsZoomed(f.Handle()));
}

TEST_F(Placement, BringToFrontRaisesTheWindowAboveAnotherThreadsForegroundWindow) {
    StoreBounds(30, 40, 300, 200);
    TFrmOvMain& f = Open();
    ::ShowWindow(f.Handle(), SW_SHOWNORMAL);

    // A window of another thread, on top and in the foreground, over the main window.
    HANDLE ready = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HWND other = nullptr;
    DWORD otherThread = 0;
    std::thread thread([&] {
        other = ::CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 600, 500,
                                  nullptr, nullptr, nullptr, nullptr);
        otherThread = ::GetCurrentThreadId();
        ::SetForegroundWindow(other);
        ::SetEvent(ready);
        MSG msg;
        while (::GetMessageW(&msg, nullptr, 0, 0) > 0)
            ::DispatchMessageW(&msg);
        ::DestroyWindow(other);
    });
    ::WaitForSingleObject(ready, 5000);
    ::CloseHandle(ready);
    auto mainAboveOther = [&] {
        for (HWND w = ::GetTopWindow(nullptr); w; w = ::GetWindow(w, GW_HWNDNEXT)) {
            if (w == f.Handle())
                return true;
            if (w == other)
                return false;
        }
        return false;
    };
    // The other thread takes the foreground on its own time.
    for (int i = 0; i < 100 && (mainAboveOther() || ::GetForegroundWindow() != other); ++i)
        PumpMessages(20);
    ASSERT_FALSE(mainAboveOther());
    ASSERT_EQ(::GetForegroundWindow(), other);

    WindowBringToFront(f.Handle());
    // Wine settles the stacking order through the display server a moment later.
    PumpMessages(100);
    EXPECT_TRUE(mainAboveOther());
    // The two threads' input is apart again: a second detach has nothing to undo.
    EXPECT_FALSE(::AttachThreadInput(::GetCurrentThreadId(), otherThread, FALSE));

    ::PostThreadMessageW(otherThread, WM_QUIT, 0, 0);
    thread.join();
}

} // namespace

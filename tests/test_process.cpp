// The real program as a process: first run, a second instance, state kept across runs, an
// error during start-up that still brings the window up, the icons it loads when idle, and a move
// of items killed part-way.
#include "uCmnHandle.h"
#include "uCmnReg.h"
#include "uOvCfg.h"
#include "uOvFrmDef.h"
#include "uOvPageCmd.h"
#include "uOvPages.h"
#include "uOvReg.h"
#include "uOvRegDef.h"
#include "uTestFiles.h"
#include "uTestProcess.h"
#include "uTestRegStores.h"
#include "uTestSupport.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

const HKEY HKCU = HKEY_CURRENT_USER;

HWND FindVisible(DWORD pid, const wchar_t* cls, int* count = nullptr) {
    return FindTopLevel(pid, cls, true, count);
}

HWND WaitVisible(DWORD pid, const wchar_t* cls, DWORD ms = 15000) {
    HWND found = nullptr;
    WaitFor([&] { return (found = FindVisible(pid, cls)) != nullptr; }, ms);
    return found;
}

void CloseAndWait(TLauncher& l, HWND main) {
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(l.Wait(15000), 0);
}

// The image of a row of another process's list view, I_IMAGENONE while it has none. The row is
// read into memory of that process: list-view messages carry pointers no process boundary copies.
int RowImageOf(DWORD pid, HWND list, int row) {
    TUniqueHandle process(
        ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid));
    struct TRemote {
        HANDLE process;
        void* at;
        ~TRemote() {
            if (at)
                ::VirtualFreeEx(process, at, 0, MEM_RELEASE);
        }
    } remote{process.Get(), process ? ::VirtualAllocEx(process.Get(), nullptr, sizeof(LVITEMW),
                                                       MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)
                                    : nullptr};
    LVITEMW item{};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    DWORD_PTR answer = 0;
    if (!remote.at ||
        !::WriteProcessMemory(process.Get(), remote.at, &item, sizeof(item), nullptr) ||
        !::SendMessageTimeoutW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote.at),
                               SMTO_NORMAL, 5000, &answer) ||
        !answer || !::ReadProcessMemory(process.Get(), remote.at, &item, sizeof(item), nullptr))
        return I_IMAGENONE;
    return item.iImage;
}

class LauncherProcess : public ::testing::Test {
  protected:
    void SetUp() override { ProgramStateRemove(); }
    void TearDown() override { ProgramStateRemove(); }
};

TEST_F(LauncherProcess, FirstRunBuildsTreeShowsWindowAndEndsWithZero) {
    TLauncher l = TLauncher::Start(ExeFolder());
    ASSERT_TRUE(l.process);
    HWND main = WaitVisible(l.pid, L"TFrmOvMain");
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(TextOf(main), L"Orvanta");
    EXPECT_TRUE(RegKeyExists(HKCU, OvKeyProduct));
    EXPECT_EQ(RegSubKeyCount(HKCU, OvKeyData), 1);
    EXPECT_EQ(RegStrRead(HKCU, OvKeySystem, OvValVersion), L"1.00.1");

    // With no stored size the window fills the work area from the screen origin.
    RECT work{}, rc{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    ::GetWindowRect(main, &rc);
    EXPECT_EQ(rc.left, 0);
    EXPECT_EQ(rc.top, 0);
    EXPECT_EQ(rc.right, work.right);
    EXPECT_EQ(rc.bottom, work.bottom);
    CloseAndWait(l, main);
}

TEST_F(LauncherProcess, ShowCommandOfTheStartDecidesHowTheWindowFirstShows) {
    {
        TLauncher l = TLauncher::Start(ExeFolder(), SW_SHOWMAXIMIZED);
        HWND main = WaitVisible(l.pid, L"TFrmOvMain");
        ASSERT_NE(main, nullptr);
        EXPECT_TRUE(::IsZoomed(main));
        CloseAndWait(l, main);
    }
    TLauncher l = TLauncher::Start(ExeFolder(), SW_SHOWMINNOACTIVE);
    HWND app = WaitVisible(l.pid, L"TApplication");
    ASSERT_NE(app, nullptr);
    for (int i = 0; i < 20 && !::IsIconic(app); ++i)
        ::Sleep(50);
    EXPECT_TRUE(::IsIconic(app)) << L"minimised together with the application window";
    EXPECT_EQ(FindVisible(l.pid, L"TFrmOvMain"), nullptr);

    // Restoring from the taskbar button brings the main window up.
    ::PostMessageW(app, WM_SYSCOMMAND, SC_RESTORE, 0);
    HWND main = WaitVisible(l.pid, L"TFrmOvMain", 5000);
    ASSERT_NE(main, nullptr);
    EXPECT_FALSE(::IsIconic(app));
    CloseAndWait(l, main);
}

TEST_F(LauncherProcess, SecondInstanceEndsAtOnceAndLeavesTheFirstAlone) {
    TLauncher first = TLauncher::Start(ExeFolder());
    HWND main = WaitVisible(first.pid, L"TFrmOvMain");
    ASSERT_NE(main, nullptr);
    ::MoveWindow(main, 40, 50, 300, 200, TRUE);
    RECT before{};
    ::GetWindowRect(main, &before);

    TLauncher second = TLauncher::Start(ExeFolder());
    ASSERT_TRUE(second.process);
    EXPECT_EQ(second.Wait(10000), 0);
    int count = 0;
    FindVisible(0, L"TFrmOvMain", &count);
    EXPECT_EQ(count, 1);
    RECT after{};
    ::GetWindowRect(main, &after);
    EXPECT_TRUE(::EqualRect(&before, &after));
    EXPECT_EQ(first.Wait(0), -1) << L"the first instance must keep running";
    CloseAndWait(first, main);
}

TEST_F(LauncherProcess, CloseSavesStateAndTheNextStartReadsIt) {
    // First run builds the tree; then the state is set as a user's earlier session left it.
    {
        TLauncher l = TLauncher::Start(ExeFolder());
        HWND main = WaitVisible(l.pid, L"TFrmOvMain");
        ASSERT_NE(main, nullptr);
        CloseAndWait(l, main);
    }
    for (int page : {2, 3})
        RegStrWrite(HKCU, std::wstring(OvKeyPagePrefix) + std::to_wstring(page), L"", L"");
    RegIntWrite(HKCU, OvKeyConfig, OvValSelPage, 3);
    RegIntWrite(HKCU, OvKeyConfig, OvValLvwStyle, 3);
    RegIntWrite(HKCU, OvKeyConfig, OvValLvwColSort, 2);
    RegIntWrite(HKCU, OvKeyConfig, OvValLvwColSortAscDec, -1);
    RegStrWrite(HKCU, OvKeyConfig, OvValOpenFileDir, L"C:\\users\\表示\\");
    RegIntWrite(HKCU, OvKeyWindow, OvValLeft, 30);
    RegIntWrite(HKCU, OvKeyWindow, OvValTop, 40);
    RegIntWrite(HKCU, OvKeyWindow, OvValWidth, 500);
    RegIntWrite(HKCU, OvKeyWindow, OvValHeight, 300);

    TLauncher l = TLauncher::Start(ExeFolder());
    HWND main = WaitVisible(l.pid, L"TFrmOvMain");
    ASSERT_NE(main, nullptr);
    RECT rc{};
    ::GetWindowRect(main, &rc);
    EXPECT_EQ(rc.left, 30);
    EXPECT_EQ(rc.top, 40);
    EXPECT_EQ(rc.right - rc.left, 500);
    EXPECT_EQ(rc.bottom - rc.top, 300);
    CloseAndWait(l, main);

    EXPECT_EQ(RegIntRead(HKCU, OvKeyConfig, OvValSelPage), 3);
    EXPECT_EQ(RegIntRead(HKCU, OvKeyConfig, OvValLvwStyle), 3);
    EXPECT_EQ(RegIntRead(HKCU, OvKeyConfig, OvValLvwColSort), 2);
    EXPECT_EQ(RegIntRead(HKCU, OvKeyConfig, OvValLvwColSortAscDec), -1);
    EXPECT_EQ(RegStrRead(HKCU, OvKeyConfig, OvValOpenFileDir), L"C:\\users\\表示\\");
    EXPECT_EQ(RegIntRead(HKCU, OvKeyWindow, OvValWidth), 500);
    EXPECT_EQ(RegIntRead(HKCU, OvKeyWindow, OvValHeight), 300);
    EXPECT_EQ(RegSubKeyCount(HKCU, OvKeyData), 3) << L"the page count is never stored";
}

TEST_F(LauncherProcess, StartUpErrorIsShownAndTheWindowStillComesUp) {
    {
        TLauncher l = TLauncher::Start(ExeFolder());
        HWND main = WaitVisible(l.pid, L"TFrmOvMain");
        ASSERT_NE(main, nullptr);
        CloseAndWait(l, main);
    }
    RegValueDelete(HKCU, OvKeyConfig, OvValSelPage);

    TLauncher l = TLauncher::Start(ExeFolder());
    HWND box = WaitVisible(l.pid, L"#32770");
    ASSERT_NE(box, nullptr) << L"the start-up error must be shown";
    EXPECT_EQ(TextOf(box), L"Orvanta");
    EXPECT_EQ(TextOf(::GetDlgItem(box, 0xFFFF)), L"'SelPage' の取得に失敗しました.");
    ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(box, IDOK)));

    HWND main = WaitVisible(l.pid, L"TFrmOvMain");
    ASSERT_NE(main, nullptr) << L"the window must come up after the error";
    CloseAndWait(l, main);
    // The page shown was clamped to one that exists, and that is what the close stored.
    EXPECT_EQ(RegIntRead(HKCU, OvKeyConfig, OvValSelPage), 1);
}

TEST_F(LauncherProcess, StoredPageBeyondTheLastShowsTheLastPage) {
    {
        TLauncher l = TLauncher::Start(ExeFolder());
        HWND main = WaitVisible(l.pid, L"TFrmOvMain");
        ASSERT_NE(main, nullptr);
        CloseAndWait(l, main);
    }
    RegStrWrite(HKCU, std::wstring(OvKeyPagePrefix) + L"2", L"", L"");
    RegIntWrite(HKCU, OvKeyConfig, OvValSelPage, 9);
    TLauncher l = TLauncher::Start(ExeFolder());
    HWND main = WaitVisible(l.pid, L"TFrmOvMain");
    ASSERT_NE(main, nullptr);
    CloseAndWait(l, main);
    EXPECT_EQ(RegIntRead(HKCU, OvKeyConfig, OvValSelPage), 2);
}

// The running program loads the icon of a row in its idle time, also when the list was asked for
// it by another program (a message sent, which wakes no idle work of itself) while the window,
// started minimised, paints nothing.
TEST_F(LauncherProcess, ARowShowsItsIcon) {
    ConfigTreeCreate();
    ItemAdd(1, ExeFolder() + L"pOv.exe");
    TLauncher l = TLauncher::Start(ExeFolder(), SW_SHOWMINNOACTIVE);
    ASSERT_NE(WaitVisible(l.pid, L"TApplication"), nullptr);
    ASSERT_EQ(::WaitForInputIdle(l.process.Get(), 15000), 0u);
    HWND main = FindTopLevel(l.pid, L"TFrmOvMain", false);
    ASSERT_NE(main, nullptr);
    HWND list = ::FindWindowExW(main, nullptr, WC_LISTVIEWW, nullptr);
    ASSERT_EQ(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 1);
    int image = I_IMAGENONE;
    EXPECT_TRUE(WaitFor([&] { return (image = RowImageOf(l.pid, list, 0)) >= 0; }, 15000)) << image;
    CloseAndWait(l, main);
}

} // namespace

// The real program killed inside a move of every item of page 1 to page 2, at points spread over
// the move (once 1, a quarter, half and three quarters of the items are on page 2): the next
// start shows every item on one of the two pages, at most the one in flight on both, and the
// target page keeps its name.
TEST_F(LauncherProcess, AMoveKilledAnywhereLosesNoItem) {
    constexpr int Items = 400;
    TTempFolder folder;
    std::vector<std::wstring> paths;
    for (int i = 0; i < Items; ++i) {
        paths.push_back(folder / (L"項目" + std::to_wstring(i) + L".txt"));
        ASSERT_TRUE(FileWrite(paths.back(), "x"));
    }
    const std::set<std::wstring> all(paths.begin(), paths.end());
    {
        TLauncher l = TLauncher::Start(ExeFolder());
        HWND main = WaitVisible(l.pid, L"TFrmOvMain");
        ASSERT_NE(main, nullptr);
        CloseAndWait(l, main);
    }
    auto pathsOf = [](int32_t page, std::multiset<std::wstring>& into) {
        TPageEntries entries;
        PageItemsRead(page, entries);
        for (const TPageEntry& e : entries)
            into.insert(e.path);
    };
    for (int killAt : {1, Items / 4, Items / 2, 3 * Items / 4}) {
        SCOPED_TRACE(killAt);
        RegKeyDelete(HKCU, OvKeyData);
        PageCreate(1, L"");
        for (const std::wstring& path : paths)
            ItemAdd(1, path);
        PageCreate(2, L"");
        std::wstring stored;
        PageNameSet(2, 2, L"移動先", stored);
        RegIntWrite(HKCU, OvKeyConfig, OvValSelPage, 1);
        {
            TLauncher l = TLauncher::Start(ExeFolder());
            HWND main = WaitVisible(l.pid, L"TFrmOvMain");
            ASSERT_NE(main, nullptr);
            ::PostMessageW(main, WM_COMMAND, IDM_KEY_SELECTALL, 0);
            ::PostMessageW(main, WM_COMMAND, IDM_PAGE_MOVETO_FIRST + 1, 0);
            // Polled from here: the registry is shared, and the program writes item by item.
            const DWORD until = ::GetTickCount() + 20000;
            while (PageItemCount(2) < killAt && ::GetTickCount() < until)
                ::Sleep(0);
            ::TerminateProcess(l.process.Get(), 9);
            l.Wait(5000);
            EXPECT_GE(PageItemCount(2), killAt) << "the move never got there";
        }
        TLauncher l = TLauncher::Start(ExeFolder());
        HWND main = WaitVisible(l.pid, L"TFrmOvMain");
        ASSERT_NE(main, nullptr);
        CloseAndWait(l, main);
        std::multiset<std::wstring> now;
        pathsOf(1, now);
        pathsOf(2, now);
        EXPECT_EQ(std::set<std::wstring>(now.begin(), now.end()), all) << "an item was lost";
        EXPECT_LE(now.size(), all.size() + 1) << "more than the item in flight on both pages";
        EXPECT_EQ(PageCount(), 2);
        EXPECT_EQ(PageNameRead(2), L"移動先");
        EXPECT_FALSE(RegValueExists(HKCU, OvKeyData, OvValPageMove));
    }
}

// Started as the Run value starts it, the program comes up out of the way (its window minimised,
// not in front, or with the taskbar button off not shown at all) unless it is the first run; any
// other argument is ignored.
TEST_F(LauncherProcess, StartedAtSignInItStaysOutOfTheWayUnlessItIsTheFirstRun) {
    {
        TLauncher l = TLauncher::Start(ExeFolder(), -1, L"/signin");
        HWND main = WaitVisible(l.pid, L"TFrmOvMain");
        ASSERT_NE(main, nullptr) << "a first run shows its window";
        CloseAndWait(l, main);
    }
    {
        TLauncher l = TLauncher::Start(ExeFolder(), -1, L"/unknown");
        HWND main = WaitVisible(l.pid, L"TFrmOvMain");
        ASSERT_NE(main, nullptr) << "another argument is no sign-in start";
        CloseAndWait(l, main);
    }
    for (const bool hidden : {false, true}) {
        SCOPED_TRACE(hidden);
        RegBoolWrite(HKCU, OvKeyOption, OvValHookKey, hidden);
        RegBoolWrite(HKCU, OvKeyOption, OvValHideTaskbar, hidden);
        TLauncher l = TLauncher::Start(ExeFolder(), -1, L"/SignIn");
        HWND main = nullptr;
        ASSERT_TRUE(
            WaitFor([&] { return (main = FindTopLevel(l.pid, L"TFrmOvMain", false)); }, 15000));
        // Its idle work done: whatever it would show is shown by now.
        ::SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 5000, nullptr);
        WaitFor([] { return false; }, 500);
        EXPECT_FALSE(::IsWindowVisible(main)) << "the window stays down";
        EXPECT_NE(::GetForegroundWindow(), main);
        HWND application = ::GetWindow(main, GW_OWNER);
        EXPECT_EQ(::IsWindowVisible(application) != FALSE, !hidden) << "a taskbar button";
        // The notification icon's click brings it up, as the hot key does.
        ::PostMessageW(main, WM_TRAYICON, 0, WM_LBUTTONUP);
        EXPECT_TRUE(WaitFor([&] { return ::IsWindowVisible(main) != FALSE; }, 5000));
        CloseAndWait(l, main);
    }
}

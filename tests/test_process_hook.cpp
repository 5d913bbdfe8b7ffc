// The hot key end to end: the real program binds the built pOv.dll, and a key press sent with
// SendInput calls its minimised window back.
#include "uCmnHandle.h"
#include "uCmnReg.h"
#include "uOvRegDef.h"
#include "uTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

const HKEY HKCU = HKEY_CURRENT_USER;

struct TLauncher {
    TUniqueHandle process;
    DWORD pid = 0;

    // pOv.exe of `folder`, started with that folder as its current directory.
    explicit TLauncher(const std::string& folder) {
        std::string cmd = "\"" + folder + "pOv.exe\"";
        std::vector<char> line(cmd.begin(), cmd.end());
        line.push_back('\0');
        STARTUPINFOA si{};
        si.cb = sizeof(si);
        PROCESS_INFORMATION pi{};
        if (::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             folder.c_str(), &si, &pi)) {
            ::CloseHandle(pi.hThread);
            process.Reset(pi.hProcess);
            pid = pi.dwProcessId;
        }
    }
    TLauncher(const TLauncher&) = delete;
    TLauncher& operator=(const TLauncher&) = delete;

    bool Ended(DWORD ms, DWORD* code) const {
        return ::WaitForSingleObject(process.Get(), ms) == WAIT_OBJECT_0 &&
               ::GetExitCodeProcess(process.Get(), code);
    }

    ~TLauncher() {
        DWORD code = 0;
        if (process && !Ended(0, &code)) {
            ::TerminateProcess(process.Get(), 1);
            Ended(5000, &code);
        }
    }
};

struct TFind {
    DWORD pid;
    const char* cls;
    HWND found = nullptr;
};

BOOL CALLBACK FindOfProcess(HWND hwnd, LPARAM lParam) {
    auto* f = reinterpret_cast<TFind*>(lParam);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    char cls[64] = {};
    ::GetClassNameA(hwnd, cls, sizeof(cls));
    if (pid == f->pid && std::string(cls) == f->cls) {
        f->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// A top-level window of that class and process, visible or not.
HWND FindOf(DWORD pid, const char* cls) {
    TFind f{pid, cls};
    ::EnumWindows(FindOfProcess, reinterpret_cast<LPARAM>(&f));
    return f.found;
}

bool WaitFor(const std::function<bool()>& done, DWORD ms) {
    for (DWORD waited = 0; waited < ms; waited += 50) {
        if (done())
            return true;
        ::Sleep(50);
    }
    return done();
}

void SendKey(WORD vk, bool press, bool release) {
    std::vector<INPUT> in;
    INPUT i{};
    i.type = INPUT_KEYBOARD;
    i.ki.wVk = vk;
    i.ki.wScan = static_cast<WORD>(::MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    if (press)
        in.push_back(i);
    i.ki.dwFlags = KEYEVENTF_KEYUP;
    if (release)
        in.push_back(i);
    ::SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}

class HotKeyProcess : public ::testing::Test {
  protected:
    void SetUp() override { RegKeyDelete(HKCU, OvKeyProduct); }
    void TearDown() override { RegKeyDelete(HKCU, OvKeyProduct); }

    // The main window of a started program, once it shows.
    static HWND Start(const TLauncher& l) {
        if (!l.process)
            return nullptr;
        HWND main = nullptr;
        WaitFor(
            [&] {
                main = FindOf(l.pid, "TFrmOvMain");
                return main && ::IsWindowVisible(main);
            },
            15000);
        return main;
    }

    static bool Shown(HWND main) { return ::IsWindowVisible(main) && !::IsIconic(main); }

    static void Minimise(HWND main) {
        ::PostMessageA(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        ASSERT_TRUE(WaitFor([&] { return !Shown(main); }, 5000));
    }

    // True when the window came back within `ms`.
    static bool ComesBack(HWND main, DWORD ms) {
        return WaitFor([&] { return Shown(main); }, ms);
    }

    static void Close(TLauncher& l, HWND main) {
        ::PostMessageA(main, WM_CLOSE, 0, 0);
        DWORD code = 1;
        EXPECT_TRUE(l.Ended(15000, &code));
        EXPECT_EQ(code, 0u);
    }
};

TEST_F(HotKeyProcess, F8CallsTheMinimisedWindowBackOnlyWhileTheHotKeyIsOn) {
    TLauncher l(ExeFolder());
    HWND main = Start(l);
    ASSERT_NE(main, nullptr);
    RegIntWrite(HKCU, OvKeyOption, OvValHookKeyNo, VK_F8);

    Minimise(main);
    SendKey(VK_F8, true, true);
    EXPECT_FALSE(ComesBack(main, 800)) << "hot key off";

    RegBoolWrite(HKCU, OvKeyOption, OvValHookKey, true);
    SendKey(VK_F9, true, true);
    EXPECT_FALSE(ComesBack(main, 800)) << "another key";
    SendKey(VK_F8, false, true);
    EXPECT_FALSE(ComesBack(main, 800)) << "a release alone";

    SendKey(VK_F8, true, true);
    EXPECT_TRUE(ComesBack(main, 5000));
    HWND app = FindOf(l.pid, "TApplication");
    EXPECT_FALSE(app && ::IsIconic(app));

    // Every press activates again.
    Minimise(main);
    SendKey(VK_F8, true, true);
    EXPECT_TRUE(ComesBack(main, 5000));
    Close(l, main);
}

TEST_F(HotKeyProcess, WithHereMouseTheWindowComesBackCentredOnTheMouse) {
    TLauncher l(ExeFolder());
    HWND main = Start(l);
    ASSERT_NE(main, nullptr);
    ::MoveWindow(main, 40, 50, 300, 200, TRUE);
    RegBoolWrite(HKCU, OvKeyOption, OvValHookKey, true);
    RegIntWrite(HKCU, OvKeyOption, OvValHookKeyNo, VK_F8);
    RegBoolWrite(HKCU, OvKeyOption, OvValHereMouse, true);
    // Under Wine the pointer warp reaches other processes a moment later: let it settle, and
    // measure against where the pointer really is (any point far from the screen's edges).
    ASSERT_TRUE(::SetCursorPos(500, 400));
    ::Sleep(300);

    Minimise(main);
    SendKey(VK_F8, true, true);
    ASSERT_TRUE(ComesBack(main, 5000));
    POINT cursor{};
    ::GetCursorPos(&cursor);
    RECT rc{};
    EXPECT_TRUE(WaitFor(
        [&] {
            ::GetWindowRect(main, &rc);
            return rc.left == cursor.x - 150 && rc.top == cursor.y - 100;
        },
        3000))
        << "window at " << rc.left << "," << rc.top << ", mouse at " << cursor.x << "," << cursor.y;
    EXPECT_EQ(rc.right - rc.left, 300);
    EXPECT_EQ(rc.bottom - rc.top, 200);
    Close(l, main);
}

TEST_F(HotKeyProcess, WithoutTheLibraryTheProgramRunsAndClosesWithoutAMessage) {
    // A copy of the program in a folder of its own, with no pOv.dll anywhere on its search path.
    const std::string folder = ExeFolder() + "nohook\\";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    ASSERT_TRUE(
        ::CopyFileA((ExeFolder() + "pOv.exe").c_str(), (folder + "pOv.exe").c_str(), FALSE));

    TLauncher l(folder);
    HWND main = Start(l);
    ASSERT_NE(main, nullptr);
    RegBoolWrite(HKCU, OvKeyOption, OvValHookKey, true);
    RegIntWrite(HKCU, OvKeyOption, OvValHookKeyNo, VK_F8);
    Minimise(main);
    SendKey(VK_F8, true, true);
    EXPECT_FALSE(ComesBack(main, 800));
    EXPECT_EQ(FindOf(l.pid, "#32770"), nullptr) << "no message box";

    ::PostMessageA(main, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_TRUE(ComesBack(main, 5000));
    Close(l, main);
    ::DeleteFileA((folder + "pOv.exe").c_str());
}

} // namespace

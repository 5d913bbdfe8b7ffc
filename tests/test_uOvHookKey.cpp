// The hot-key library: which key events it passes on, and the built pOv.dll itself delivering a
// real key press to a window that looks like the launcher's.
#include "uCmnHandle.h"
#include "uOvCapDef.h"
#include "uOvFrmDef.h"
#include "uOvHookKey.h"
#include "uTestSupport.h"

#include <gtest/gtest.h>

#include <tlhelp32.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

KBDLLHOOKSTRUCT Key(DWORD vk, DWORD scan, DWORD flags = 0) {
    KBDLLHOOKSTRUCT k{};
    k.vkCode = vk;
    k.scanCode = scan;
    k.flags = flags;
    return k;
}

uint64_t Bits(LPARAM flags) {
    return static_cast<uint64_t>(flags);
}

TEST(HookKeyForward, PressAndReleaseAreLaidOutLikeKeyboardMessages) {
    const KBDLLHOOKSTRUCT f8 = Key(VK_F8, 0x42);
    auto down = HookKeyForward(HC_ACTION, WM_KEYDOWN, &f8);
    ASSERT_TRUE(down);
    EXPECT_EQ(down->key, 119u);
    EXPECT_EQ(Bits(down->flags), 0x00420001u);

    const KBDLLHOOKSTRUCT f8Up = Key(VK_F8, 0x42, LLKHF_UP);
    auto up = HookKeyForward(HC_ACTION, WM_KEYUP, &f8Up);
    ASSERT_TRUE(up);
    EXPECT_EQ(up->key, 119u);
    EXPECT_EQ(Bits(up->flags), 0xC0420001u) << L"previous state and transition bits, no sign spill";

    // Alt held: system messages, context bit; an extended key sets bit 24.
    const KBDLLHOOKSTRUCT altF8 = Key(VK_F8, 0x42, LLKHF_ALTDOWN);
    auto sysDown = HookKeyForward(HC_ACTION, WM_SYSKEYDOWN, &altF8);
    ASSERT_TRUE(sysDown);
    EXPECT_EQ(Bits(sysDown->flags), 0x20420001u);
    auto sysUp = HookKeyForward(HC_ACTION, WM_SYSKEYUP, &altF8);
    ASSERT_TRUE(sysUp);
    EXPECT_EQ(Bits(sysUp->flags), 0xE0420001u);
    const KBDLLHOOKSTRUCT rctrl = Key(VK_RCONTROL, 0x1D, LLKHF_EXTENDED);
    EXPECT_EQ(Bits(HookKeyForward(HC_ACTION, WM_KEYDOWN, &rctrl)->flags), 0x011D0001u);
}

TEST(HookKeyForward, InjectedKeysArePassedOnAndWideScanCodesStayInTheirField) {
    // SendInput, on-screen keyboards and remote tools all mark their keys injected.
    const KBDLLHOOKSTRUCT injected = Key(VK_F8, 0x42, LLKHF_INJECTED | LLKHF_LOWER_IL_INJECTED);
    auto post = HookKeyForward(HC_ACTION, WM_KEYDOWN, &injected);
    ASSERT_TRUE(post);
    EXPECT_EQ(Bits(post->flags), 0x00420001u);

    // A Unicode character sent as VK_PACKET carries the character in the scan code.
    const KBDLLHOOKSTRUCT packet = Key(VK_PACKET, 0x3042);
    auto wide = HookKeyForward(HC_ACTION, WM_KEYDOWN, &packet);
    ASSERT_TRUE(wide);
    EXPECT_EQ(wide->key, static_cast<WPARAM>(VK_PACKET));
    EXPECT_EQ(Bits(wide->flags), 0x00420001u);
}

TEST(HookKeyForward, LeftAndRightModifiersGoAsTheKeyboardMessagesName) {
    const std::pair<DWORD, WPARAM> cases[] = {
        {VK_LCONTROL, VK_CONTROL}, {VK_RCONTROL, VK_CONTROL}, {VK_LSHIFT, VK_SHIFT},
        {VK_RSHIFT, VK_SHIFT},     {VK_LMENU, VK_MENU},       {VK_RMENU, VK_MENU},
        {VK_CONTROL, VK_CONTROL},  {VK_LWIN, VK_LWIN},
    };
    for (const auto& [vk, forwarded] : cases) {
        const KBDLLHOOKSTRUCT key = Key(vk, 0x1D);
        EXPECT_EQ(HookKeyForward(HC_ACTION, WM_KEYDOWN, &key)->key, forwarded) << vk;
    }
}

TEST(HookKeyForward, OtherCallsAreNotPassedOn) {
    const KBDLLHOOKSTRUCT f8 = Key(VK_F8, 0x42);
    EXPECT_FALSE(HookKeyForward(-1, WM_KEYDOWN, &f8));
    EXPECT_FALSE(HookKeyForward(-1, WM_KEYDOWN, nullptr)) << L"the record is not read then";
    EXPECT_FALSE(HookKeyForward(HC_ACTION, WM_KEYDOWN, nullptr));
    EXPECT_FALSE(HookKeyForward(HC_ACTION, WM_CHAR, &f8));
    EXPECT_FALSE(HookKeyForward(HC_ACTION, 0, &f8));
}

// ---- The built library ----

using TSetEntry = BOOL(WINAPI*)();
using TResetEntry = void(WINAPI*)();

std::vector<MSG> g_received;

LRESULT CALLBACK StandInProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_HOOKKEY && wParam == VK_F8)
        g_received.push_back(MSG{hwnd, msg, wParam, lParam, 0, {}});
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

// A hidden window with the launcher's class and caption: what the library looks for.
TUniqueWindow CreateStandIn() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = StandInProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = OV_MAIN_CLASS;
    ::RegisterClassW(&wc);
    return TUniqueWindow(::CreateWindowExW(0, OV_MAIN_CLASS, OV_APP_TITLE, WS_OVERLAPPEDWINDOW, 0,
                                           0, 100, 100, nullptr, nullptr, wc.hInstance, nullptr));
}

void SendF8() {
    INPUT in[2] = {};
    for (INPUT& i : in) {
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = VK_F8;
        i.ki.wScan = static_cast<WORD>(::MapVirtualKeyA(VK_F8, MAPVK_VK_TO_VSC));
    }
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ASSERT_EQ(::SendInput(2, in, sizeof(INPUT)), 2u);
}

// Pumps until `count` messages arrived or 5 s passed, then a little longer for strays.
void WaitReceived(size_t count) {
    for (int waited = 0; waited < 5000 && g_received.size() < count; waited += 20)
        PumpMessages(20);
    PumpMessages(200);
}

// Names in the library's export table.
std::vector<std::string> ExportNames(HMODULE module) {
    auto* base = reinterpret_cast<const BYTE*>(module);
    auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    std::vector<std::string> names;
    if (dir.Size == 0)
        return names;
    auto* exp = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + dir.VirtualAddress);
    auto* rvas = reinterpret_cast<const DWORD*>(base + exp->AddressOfNames);
    for (DWORD i = 0; i < exp->NumberOfNames; ++i)
        names.emplace_back(reinterpret_cast<const char*>(base + rvas[i]));
    return names;
}

TEST(HookLibrary, ExportsExactlyTheTwoEntries) {
    TUniqueModule library(::LoadLibraryW(L"pOv.dll"));
    ASSERT_TRUE(library) << L"pOv.dll must be built beside the tests";
    EXPECT_EQ(ExportNames(library.Get()),
              (std::vector<std::string>{"F_OvHookKeySet", "P_OvHookKeyReset"}));
    EXPECT_EQ(::GetProcAddress(library.Get(), "DllMain"), nullptr);
}

// The threads of this process.
std::vector<DWORD> ThreadIds() {
    TUniqueHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    THREADENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    std::vector<DWORD> ids;
    for (BOOL more = ::Thread32First(snapshot.Get(), &entry); more;
         more = ::Thread32Next(snapshot.Get(), &entry))
        if (entry.th32OwnerProcessID == ::GetCurrentProcessId())
            ids.push_back(entry.th32ThreadID);
    return ids;
}

int ThreadCount() {
    return static_cast<int>(ThreadIds().size());
}

double NowMs() {
    LARGE_INTEGER t, f;
    ::QueryPerformanceCounter(&t);
    ::QueryPerformanceFrequency(&f);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
}

struct TBoundLibrary {
    TUniqueModule library{::LoadLibraryW(L"pOv.dll")};
    TSetEntry set = reinterpret_cast<TSetEntry>(
        reinterpret_cast<void*>(::GetProcAddress(library.Get(), "F_OvHookKeySet")));
    TResetEntry reset = reinterpret_cast<TResetEntry>(
        reinterpret_cast<void*>(::GetProcAddress(library.Get(), "P_OvHookKeyReset")));

    // A reset or unload that does not return within 5 s fails the test instead of hanging the
    // suite. The call runs on a thread of its own; one that hangs is left inside the library,
    // which then stays loaded.
    bool Reset() {
        return Within([this] { reset(); });
    }
    bool Unload() {
        return Within([this] { library.Reset(); });
    }
    bool Within(std::function<void()> call) {
        auto* task = new std::function<void()>(std::move(call));
        TUniqueHandle thread(::CreateThread(
            nullptr, 0,
            [](void* p) -> DWORD {
                const std::unique_ptr<std::function<void()>> run(
                    static_cast<std::function<void()>*>(p));
                (*run)();
                return 0;
            },
            task, 0, nullptr));
        if (::WaitForSingleObject(thread.Get(), 5000) == WAIT_OBJECT_0)
            return true;
        library.Release();
        return false;
    }
};

// A started stand-in (see fixtures/ovStandIn.cpp), ended by force at destruction if it still runs.
struct TStandIn {
    TUniqueHandle process;
    DWORD pid = 0;
    explicit TStandIn(const std::wstring& arguments) {
        PROCESS_INFORMATION info{};
        if (ProcessStart((ExeFolder() + L"ovStandIn.exe").c_str(), L"ovStandIn.exe " + arguments, 0,
                         info)) {
            process.Reset(info.hProcess);
            ::CloseHandle(info.hThread);
            pid = info.dwProcessId;
            ::WaitForInputIdle(info.hProcess, 10000);
        }
    }
    ~TStandIn() {
        if (process && ::WaitForSingleObject(process.Get(), 0) != WAIT_OBJECT_0)
            ::TerminateProcess(process.Get(), 1);
    }
    // Its exit code once it has ended, or -1.
    long Wait(DWORD ms) {
        DWORD code = 0;
        if (::WaitForSingleObject(process.Get(), ms) != WAIT_OBJECT_0 ||
            !::GetExitCodeProcess(process.Get(), &code))
            return -1;
        return static_cast<long>(code);
    }
};

// A key typed into another program arrives at once, however long the thread that bound the
// library is busy: the hook runs on a thread of its own.
TEST(HookLibrary, KeysNeverWaitForTheThreadThatBoundTheLibrary) {
    const std::wstring file = ExeFolder() + L"keys-arrived.txt";
    ::DeleteFileW(file.c_str());
    TStandIn typedInto(L"keys " + file);
    ASSERT_TRUE(typedInto.process);
    TBoundLibrary bound;
    ASSERT_TRUE(bound.set && bound.set());
    std::atomic<double> sent{0};
    std::thread sender([&] {
        ::Sleep(500);
        sent = NowMs();
        SendF8();
    });
    // The binding thread is busy for three seconds and reads no message meanwhile.
    ::Sleep(3000);
    const double blockEnd = NowMs();
    sender.join();
    EXPECT_TRUE(bound.Reset());
    EXPECT_EQ(typedInto.Wait(5000), 0);
    double arrived = 0;
    if (FILE* in = ::_wfopen(file.c_str(), L"r")) {
        if (std::fscanf(in, "%lf", &arrived) != 1)
            arrived = 0;
        std::fclose(in);
    }
    ::DeleteFileW(file.c_str());
    ASSERT_GT(arrived, 0.0) << L"the key never arrived";
    EXPECT_LT(arrived - sent, 1000.0) << L"the key waited for the busy thread";
    EXPECT_LT(arrived, blockEnd);
}

// A reset while the hook thread still has messages to work through returns only once that
// thread has ended.
TEST(HookLibrary, AResetWhileTheHookThreadIsBusyReturnsOnceItHasEnded) {
    const std::vector<DWORD> before = ThreadIds();
    TBoundLibrary bound;
    ASSERT_TRUE(bound.set && bound.set());
    DWORD id = 0;
    for (DWORD thread : ThreadIds())
        if (std::find(before.begin(), before.end(), thread) == before.end())
            id = thread;
    TUniqueHandle hookThread(::OpenThread(SYNCHRONIZE | THREAD_SUSPEND_RESUME, FALSE, id));
    ASSERT_TRUE(hookThread);
    ::SuspendThread(hookThread.Get());
    for (int i = 0; i < 10000; ++i)
        ::PostThreadMessageW(id, WM_NULL, 0, 0);
    ::ResumeThread(hookThread.Get());
    EXPECT_TRUE(bound.Reset());
    EXPECT_EQ(::WaitForSingleObject(hookThread.Get(), 0), WAIT_OBJECT_0)
        << L"the reset returned while its thread was still busy";
    // Never unloaded under a thread that still runs its code.
    ::WaitForSingleObject(hookThread.Get(), 5000);
}

// The library hands keys only to the main window of the process that bound it, and runs one
// thread of its own exactly while it is set.
// Keys reach this process's main window, never a look-alike of another program, through one
// thread of the library's own that lives exactly while the hook is set.
TEST(HookLibrary, RealKeyPressReachesTheMainWindowUntilReset) {
    // Look-alikes made before ours and after it, which lies above ours in the window order.
    TStandIn below(L"");
    TUniqueWindow window = CreateStandIn();
    TStandIn above(L"");
    ASSERT_TRUE(below.process && above.process);
    ASSERT_TRUE(window);
    const int threads = ThreadCount();
    TBoundLibrary bound;
    ASSERT_TRUE(bound.set && bound.reset);

    g_received.clear();
    EXPECT_TRUE(bound.set());
    EXPECT_TRUE(bound.set()) << L"a second set keeps the one hook";
    EXPECT_EQ(ThreadCount(), threads + 1);
    SendF8();
    WaitReceived(2);
    ASSERT_EQ(g_received.size(), 2u) << L"one press and one release, not one per set call";
    EXPECT_EQ(g_received[0].hwnd, window.Get());
    EXPECT_EQ(g_received[0].wParam, 119u);
    EXPECT_EQ(static_cast<uint64_t>(g_received[0].lParam) & 0x80000000u, 0u);
    EXPECT_NE(static_cast<uint64_t>(g_received[1].lParam) & 0x80000000u, 0u);

    EXPECT_TRUE(bound.Reset());
    EXPECT_TRUE(bound.Reset());
    EXPECT_EQ(ThreadCount(), threads) << L"the reset ends the thread before it returns";
    g_received.clear();
    SendF8();
    PumpMessages(300);
    EXPECT_TRUE(g_received.empty()) << L"nothing is delivered after the reset";

    // Set again after the reset, then unload without one: the hook and its thread must go with
    // the library, or the next key would call into unloaded code.
    EXPECT_TRUE(bound.set());
    SendF8();
    WaitReceived(2);
    EXPECT_EQ(g_received.size(), 2u);
    g_received.clear();
    ASSERT_TRUE(bound.Unload());
    EXPECT_EQ(ThreadCount(), threads);
    SendF8();
    PumpMessages(300);
    EXPECT_TRUE(g_received.empty());

    HWND look = nullptr;
    while ((look = ::FindWindowExW(nullptr, look, OV_MAIN_CLASS, OV_APP_TITLE))) {
        DWORD process = 0;
        ::GetWindowThreadProcessId(look, &process);
        if (process != ::GetCurrentProcessId())
            ::PostMessageW(look, WM_CLOSE, 0, 0);
    }
    EXPECT_EQ(below.Wait(10000), 0) << L"the look-alike made before ours read the keys";
    EXPECT_EQ(above.Wait(10000), 0) << L"the look-alike made after ours read the keys";
}

} // namespace

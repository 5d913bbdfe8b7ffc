// Helpers shared by the test suites.
#include "uTestSupport.h"

#include "uCmnApp.h"
#include "uCmnError.h"
#include "uCmnHandle.h"

#include <shlobj.h>

#include <cstring>
#include <vector>

bool IsWine() {
    HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::wstring ExeFolder() {
    wchar_t path[MAX_PATH + 1] = {};
    DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring s(path, n);
    size_t cut = s.find_last_of(L'\\');
    return cut == std::wstring::npos ? std::wstring() : s.substr(0, cut + 1);
}

bool ProcessStart(const wchar_t* program, std::wstring command, DWORD flags,
                  PROCESS_INFORMATION& info, const wchar_t* folder, int show) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    if (show >= 0) {
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = static_cast<WORD>(show);
    }
    for (int attempt = 0; attempt < 3; ++attempt) {
        std::vector<wchar_t> line(command.begin(), command.end());
        line.push_back(L'\0');
        if (::CreateProcessW(program, line.data(), nullptr, nullptr, FALSE, flags, nullptr, folder,
                             &startup, &info))
            return true;
        if (::GetLastError() != ERROR_INTERNAL_ERROR)
            return false;
    }
    return false;
}

bool RegExeRun(const std::wstring& arguments, int attempts) {
    const std::wstring command = L"C:\\windows\\system32\\reg.exe " + arguments;
    for (int attempt = 0; attempt < attempts; ++attempt) {
        PROCESS_INFORMATION info{};
        if (!ProcessStart(nullptr, command, CREATE_NO_WINDOW, info))
            return false;
        TUniqueHandle process(info.hProcess), thread(info.hThread);
        DWORD code = 1;
        if (::WaitForSingleObject(info.hProcess, 600000) == WAIT_OBJECT_0 &&
            ::GetExitCodeProcess(info.hProcess, &code) && code == 0)
            return true;
    }
    return false;
}

std::wstring WindowText(HWND hwnd) {
    wchar_t buf[1024] = {};
    int n = ::GetWindowTextW(hwnd, buf, 1024);
    return std::wstring(buf, n > 0 ? static_cast<size_t>(n) : 0);
}

namespace {

const std::function<void(HWND)>* g_answer = nullptr;
bool g_answerEvery = false;
HWND g_answered = nullptr;

// A box just answered can still be there until it reads the answer: the next one is found, a
// box opened while another is being answered among them.
BOOL CALLBACK FindDialog(HWND hwnd, LPARAM lParam) {
    wchar_t cls[64] = {};
    ::GetClassNameW(hwnd, cls, 64);
    if (std::wstring(cls) == L"#32770" && ::IsWindowVisible(hwnd) && hwnd != g_answered) {
        *reinterpret_cast<HWND*>(lParam) = hwnd;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK AnswerTimer(HWND, UINT, UINT_PTR id, DWORD) {
    HWND box = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&box));
    if (!box || !g_answer)
        return;
    if (!g_answerEvery)
        ::KillTimer(nullptr, id);
    g_answered = box;
    (*g_answer)(box);
}

void AnswerDialogs(const std::function<void()>& action, const std::function<void(HWND)>& answer,
                   bool every) {
    const std::function<void(HWND)>* previous = g_answer;
    const bool previousEvery = g_answerEvery;
    g_answer = &answer;
    g_answerEvery = every;
    g_answered = nullptr;
    UINT_PTR timer = ::SetTimer(nullptr, 0, 50, AnswerTimer);
    action();
    ::KillTimer(nullptr, timer);
    g_answer = previous;
    g_answerEvery = previousEvery;
}

TBoxSeen BoxAnswer(HWND box, int buttonId) {
    TBoxSeen seen;
    seen.seen = true;
    seen.caption = WindowText(box);
    seen.text = WindowText(::GetDlgItem(box, 0xFFFF));
    switch (buttonId) {
    case 0:
        ::PostMessageW(box, WM_KEYDOWN, VK_ESCAPE, 0);
        break;
    case -1:
        ::PostMessageW(box, WM_CLOSE, 0, 0);
        break;
    default:
        ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(box, buttonId)));
        break;
    }
    return seen;
}

} // namespace

bool AnswerActive() {
    return g_answer != nullptr;
}

void AnswerDialog(const std::function<void()>& action, const std::function<void(HWND)>& answer) {
    AnswerDialogs(action, answer, false);
}

void AnswerEveryDialog(const std::function<void()>& action,
                       const std::function<void(HWND)>& answer) {
    AnswerDialogs(action, answer, true);
}

TBoxSeen AnswerBox(const std::function<void()>& action, int buttonId) {
    TBoxSeen seen;
    AnswerDialog(action, [&](HWND box) { seen = BoxAnswer(box, buttonId); });
    return seen;
}

std::vector<TBoxSeen> AnswerBoxes(const std::function<void()>& action, int buttonId) {
    std::vector<TBoxSeen> seen;
    AnswerDialogs(
        action, [&](HWND box) { seen.push_back(BoxAnswer(box, buttonId)); }, true);
    return seen;
}

void PumpMessages(int ms) {
    DWORD end = ::GetTickCount() + static_cast<DWORD>(ms);
    MSG msg;
    while (static_cast<LONG>(end - ::GetTickCount()) > 0) {
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            TApplication::ProcessMessage(msg);
        ::Sleep(5);
    }
}

namespace {

INPUT KeyInput(WORD vk, WORD scan, DWORD flags) {
    INPUT i{};
    i.type = INPUT_KEYBOARD;
    i.ki.wVk = vk;
    i.ki.wScan = scan;
    i.ki.dwFlags = flags;
    return i;
}

} // namespace

void KeyPress(WORD vk, std::vector<WORD> modifiers, int ms) {
    std::vector<INPUT> in;
    auto key = [&](WORD code, bool up) {
        in.push_back(KeyInput(code, static_cast<WORD>(::MapVirtualKeyW(code, MAPVK_VK_TO_VSC)),
                              up ? KEYEVENTF_KEYUP : 0));
    };
    for (WORD m : modifiers)
        key(m, false);
    key(vk, false);
    key(vk, true);
    for (auto m = modifiers.rbegin(); m != modifiers.rend(); ++m)
        key(*m, true);
    ::SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
    PumpMessages(ms);
}

void KeysQueue(const std::wstring& text, WORD then) {
    std::vector<INPUT> in;
    for (wchar_t c : text) {
        in.push_back(KeyInput(0, c, KEYEVENTF_UNICODE));
        in.push_back(KeyInput(0, c, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP));
    }
    if (then) {
        const auto scan = static_cast<WORD>(::MapVirtualKeyW(then, MAPVK_VK_TO_VSC));
        in.push_back(KeyInput(then, scan, 0));
        in.push_back(KeyInput(then, scan, KEYEVENTF_KEYUP));
    }
    ::SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}

void KeysType(const std::wstring& text) {
    KeysQueue(text);
    PumpMessages(150);
}

HDROP MakeDrop(const std::vector<std::wstring>& paths, POINT point, bool inClient) {
    size_t chars = 1;
    for (const auto& p : paths)
        chars += p.size() + 1;
    HGLOBAL mem = ::GlobalAlloc(GHND, sizeof(DROPFILES) + chars * sizeof(wchar_t));
    auto* df = static_cast<DROPFILES*>(::GlobalLock(mem));
    df->pFiles = sizeof(DROPFILES);
    df->pt = point;
    df->fNC = inClient ? FALSE : TRUE;
    df->fWide = TRUE;
    auto* out = reinterpret_cast<wchar_t*>(df + 1);
    for (const auto& p : paths) {
        std::memcpy(out, p.c_str(), (p.size() + 1) * sizeof(wchar_t));
        out += p.size() + 1;
    }
    ::GlobalUnlock(mem);
    return static_cast<HDROP>(mem);
}

void PrintTo(const TShellOpenRequest& request, std::ostream* out) {
    *out << Utf8Of(request.verb) << " \"" << Utf8Of(request.file) << "\" with \""
         << Utf8Of(request.parameters) << '"';
}

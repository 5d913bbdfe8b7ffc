// Helpers shared by the test suites.
#include "uTestSupport.h"

#include <vector>

bool IsWine() {
    HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
    return ntdll && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::string ExeFolder() {
    char path[MAX_PATH + 1] = {};
    DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path, n);
    size_t cut = s.find_last_of('\\');
    return cut == std::string::npos ? std::string() : s.substr(0, cut + 1);
}

namespace {

std::string WindowText(HWND hwnd) {
    char buf[1024] = {};
    int n = ::GetWindowTextA(hwnd, buf, sizeof(buf));
    return std::string(buf, n > 0 ? static_cast<size_t>(n) : 0);
}

const std::function<void(HWND)>* g_answer = nullptr;
bool g_answerEvery = false;
HWND g_answered = nullptr;

// A box just answered can still be there until it reads the answer: the next one is found, a
// box opened while another is being answered among them.
BOOL CALLBACK FindDialog(HWND hwnd, LPARAM lParam) {
    char cls[64] = {};
    ::GetClassNameA(hwnd, cls, sizeof(cls));
    if (std::string(cls) == "#32770" && ::IsWindowVisible(hwnd) && hwnd != g_answered) {
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
        ::PostMessageA(box, WM_KEYDOWN, VK_ESCAPE, 0);
        break;
    case -1:
        ::PostMessageA(box, WM_CLOSE, 0, 0);
        break;
    default:
        ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(box, buttonId)));
        break;
    }
    return seen;
}

} // namespace

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
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        ::Sleep(5);
    }
}

void PrintTo(const TShellOpenRequest& request, std::ostream* out) {
    *out << '"' << request.file << "\" with \"" << request.parameters << '"';
}

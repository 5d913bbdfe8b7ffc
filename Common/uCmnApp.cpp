// The application object.
#include "uCmnApp.h"

#include "uCmnCom.h"
#include "uCmnError.h"
#include "uCmnWnd.h"

#include <commctrl.h>
#include <delayimp.h>

#include <algorithm>
#include <exception>
#include <stdexcept>

TApplication Application;

namespace {

constexpr wchar_t CmnErrLibraryLoad[] = L"'%s' を読み込めません";
// The library, then the entry.
constexpr wchar_t CmnErrLibraryEntry[] = L"'%s' に '%s' がありません";

// Stands in for an entry that a clean-up calls while an error unwinds, where no second error may
// leave: the clean-up is skipped and the first error reported (the runtime keeps the stand-in for
// that entry's later calls). The caller cleans the stack on x64, so a stand-in without arguments
// fits any entry.
INT_PTR WINAPI DelayLoadSkipped() {
    return 0;
}

// A library bound on first use (delay-loaded) that cannot be loaded, or an entry it lacks: the
// event in progress ends with an error naming it, as any error ends it, instead of the helper's
// own exception, which nothing handles.
FARPROC WINAPI DelayLoadFailed(unsigned notify, PDelayLoadInfo info) {
    if (notify != dliFailLoadLib && notify != dliFailGetProc)
        return nullptr;
    if (std::uncaught_exceptions() > 0)
        return DelayLoadSkipped;
    const std::wstring library = WideOfUtf8(info->szDll);
    if (notify == dliFailLoadLib)
        throw ECmnError(FormatMessageText(CmnErrLibraryLoad, library));
    const std::wstring entry = info->dlp.fImportByName
                                   ? WideOfUtf8(info->dlp.szProcName)
                                   : L"#" + std::to_wstring(info->dlp.dwOrdinal);
    throw ECmnError(
        FormatMessageText(FormatMessageText(CmnErrLibraryEntry, library).c_str(), entry));
}

} // namespace

// Defined here, with the application object every program links, so the runtime's empty default
// is never taken.
PfnDliHook __pfnDliFailureHook2 = DelayLoadFailed;

TApplication::~TApplication() {
    DestroyHandle();
}

void TApplication::Initialize() {
    if (Initialized())
        return;
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_BAR_CLASSES |
                                              ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);

    // Zero-sized and centred, as the taskbar button's carrier it is never seen itself.
    int x = ::GetSystemMetrics(SM_CXSCREEN) / 2;
    int y = ::GetSystemMetrics(SM_CYSCREEN) / 2;
    HICON icon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
    CreateHandle(L"TApplication",
                 WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX, 0, nullptr,
                 x, y, 0, 0, COLOR_BTNFACE + 1, icon);
    if (icon) {
        ::SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        ::SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
    SetCaption(title_);
}

void TApplication::SetTitle(const std::wstring& title) {
    title_ = title;
    if (Handle())
        SetCaption(title_);
}

int TApplication::Run() {
    if (mainForm_ && mainForm_->Handle() && ShowMainForm) {
        STARTUPINFOW si{};
        si.cb = sizeof(si);
        ::GetStartupInfoW(&si);
        int show = (si.dwFlags & STARTF_USESHOWWINDOW) ? si.wShowWindow : SW_SHOWNORMAL;
        if (StartShow >= 0)
            show = StartShow;
        if (show == SW_SHOWMINNOACTIVE) {
            ::ShowWindow(Handle(), SW_SHOWMINNOACTIVE);
        } else {
            // Shown without taking the activation: the main form takes it next, one change of
            // the active window instead of two.
            ::ShowWindow(Handle(), SW_SHOWNA);
            ::ShowWindow(mainForm_->Handle(),
                         show == SW_SHOWMAXIMIZED ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
            ::SetForegroundWindow(mainForm_->Handle());
        }
    }
    const int code = MessageLoop();
    // Here, on the thread that started it, not in a thread-local clean-up at the process's exit,
    // which runs under the loader's lock.
    ComEnd();
    return code;
}

int TApplication::MessageLoop() {
    MSG msg;
    // Idle work runs only when no message waits, after a wait for input that times out at once:
    // that wait, not a peek, is what marks the program idle for WaitForInputIdle under Wine.
    for (;;) {
        if (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                break;
        } else if (::MsgWaitForMultipleObjectsEx(0, nullptr, 0, QS_ALLINPUT, MWMO_INPUTAVAILABLE) ==
                       WAIT_TIMEOUT &&
                   Application.Idle()) {
            continue;
        } else if (::GetMessageW(&msg, nullptr, 0, 0) <= 0) {
            break;
        }
        ProcessMessage(msg);
    }
    return 0;
}

void TApplication::ProcessMessage(MSG& msg) {
    if (Application.OnMessage) {
        try {
            if (Application.OnMessage(msg))
                return;
        } catch (...) {
            Application.HandleCurrentException();
            return;
        }
    }
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
}

bool TApplication::Idle() noexcept {
    if (!OnIdle)
        return false;
    try {
        return OnIdle();
    } catch (...) {
        HandleCurrentException();
    }
    return false;
}

void TApplication::Minimize() {
    if (mainForm_ && mainForm_->Handle())
        ::ShowWindow(mainForm_->Handle(), SW_HIDE);
    ::ShowWindow(Handle(), SW_MINIMIZE);
}

void TApplication::Restore() {
    if (::IsIconic(Handle()))
        ::ShowWindow(Handle(), SW_RESTORE);
    if (mainForm_ && mainForm_->Handle()) {
        ::ShowWindow(mainForm_->Handle(), SW_SHOW);
        ::SetForegroundWindow(mainForm_->Handle());
    }
}

bool TApplication::Minimized() const {
    return ::IsIconic(Handle()) != FALSE;
}

std::wstring TApplication::ErrorBoxText(const std::wstring& message) {
    std::wstring text = message;
    if (!text.empty() && text.back() > L'.')
        text += L'.';
    return text;
}

void TApplication::HandleException(const std::exception& e) noexcept {
    try {
        const std::wstring text = ErrorBoxText(ErrorMessageOf(e));
        if (std::find(openBoxes_.begin(), openBoxes_.end(), text) != openBoxes_.end())
            return;
        HWND owner = nullptr;
        if (mainForm_ && mainForm_->Handle() && ::IsWindowVisible(mainForm_->Handle()))
            owner = mainForm_->Handle();
        else
            owner = Handle();
        openBoxes_.push_back(text);
        TActivationKeep keep;
        struct TClosed {
            std::vector<std::wstring>& boxes;
            ~TClosed() { boxes.pop_back(); }
        } closed{openBoxes_};
        ::MessageBoxW(owner, text.c_str(), title_.c_str(), MB_OK | MB_ICONERROR | MB_TASKMODAL);
    } catch (...) {
        // Out of memory while reporting: nothing sensible is left to do.
    }
}

void TApplication::HandleCurrentException() noexcept {
    try {
        throw;
    } catch (const std::exception& e) {
        HandleException(e);
    } catch (...) {
        HandleException(std::runtime_error("Unknown error"));
    }
}

LRESULT TApplication::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CLOSE:
        // A close request to the application (task manager, taskkill) closes the main form.
        if (mainForm_ && mainForm_->Handle())
            mainForm_->Close();
        else
            ::DestroyWindow(Handle());
        return 0;
    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0) {
        case SC_MINIMIZE:
            Minimize();
            return 0;
        case SC_RESTORE:
            Restore();
            return 0;
        case SC_CLOSE:
            if (mainForm_)
                mainForm_->Close();
            return 0;
        }
        break;
    case WM_ACTIVATE:
        // The application window never keeps the focus; its main form takes it.
        if (LOWORD(wParam) != WA_INACTIVE && mainForm_ && mainForm_->Handle() &&
            ::IsWindowVisible(mainForm_->Handle()) && ::IsWindowEnabled(mainForm_->Handle()))
            ::SetFocus(mainForm_->Handle());
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE;
    }
    return DefaultHandler(msg, wParam, lParam);
}

void RunStep(const std::function<void()>& step) noexcept {
    try {
        step();
    } catch (...) {
        Application.HandleCurrentException();
    }
}

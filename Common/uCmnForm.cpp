// Base class of every top-level window.
#include "uCmnForm.h"

#include "uCmnApp.h"

#include <stdexcept>
#include <vector>

TForm::~TForm() {
    DestroyHandle();
}

void TForm::DestroyHandle() noexcept {
    if (hwnd_ && ::IsWindow(hwnd_))
        ::DestroyWindow(hwnd_);
    hwnd_ = nullptr;
}

void TForm::Close() const {
    if (hwnd_)
        ::SendMessageW(hwnd_, WM_CLOSE, 0, 0);
}

std::wstring TForm::Caption() const {
    int n = ::GetWindowTextLengthW(hwnd_);
    std::vector<wchar_t> buf(static_cast<size_t>(n) + 1);
    n = ::GetWindowTextW(hwnd_, buf.data(), static_cast<int>(buf.size()));
    return std::wstring(buf.data(), static_cast<size_t>(n > 0 ? n : 0));
}

void TForm::SetCaption(const std::wstring& text) const {
    ::SetWindowTextW(hwnd_, text.c_str());
}

void TForm::CreateHandle(const wchar_t* className, DWORD style, DWORD exStyle, HWND owner, int x,
                         int y, int width, int height, int background, HICON icon) {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    if (!::GetClassInfoExW(instance, className, &wc)) {
        wc.cbSize = sizeof(wc);
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = &TForm::StaticWndProc;
        wc.hInstance = instance;
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(background));
        wc.hIcon = icon;
        wc.lpszClassName = className;
        ::RegisterClassExW(&wc);
    }
    ::CreateWindowExW(exStyle, className, L"", style, x, y, width, height, owner, nullptr, instance,
                      this);
}

LRESULT TForm::DefaultHandler(UINT msg, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcW(hwnd_, msg, wParam, lParam);
}

LRESULT TForm::FailureResult(UINT msg, WPARAM, LPARAM) {
    return msg == WM_NCCREATE ? TRUE : 0;
}

LRESULT TForm::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefaultHandler(msg, wParam, lParam);
}

LRESULT CALLBACK TForm::StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    TForm* self;
    if (msg == WM_NCCREATE) {
        self = static_cast<TForm*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<TForm*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!self)
        return ::DefWindowProcW(hwnd, msg, wParam, lParam);

    LRESULT result = 0;
    try {
        result = self->WndProc(msg, wParam, lParam);
    } catch (...) {
        // No exception may unwind into the window manager: the event ends here and the user is
        // told, then the program goes on with the next event. A paint that failed is validated
        // first, or the window would paint, and fail, again and again.
        if (msg == WM_PAINT)
            ::ValidateRect(hwnd, nullptr);
        Application.HandleCurrentException();
        result = self->FailureResult(msg, wParam, lParam);
    }
    if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
    }
    return result;
}

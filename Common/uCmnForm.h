// Base class of every top-level window: one static thunk per class forwards to a member handler.
#pragma once

#include <windows.h>

#include <string>

class TForm {
  public:
    TForm() = default;
    TForm(const TForm&) = delete;
    TForm& operator=(const TForm&) = delete;
    virtual ~TForm();

    HWND Handle() const noexcept { return hwnd_; }
    // Asks the window to close, as its close box would.
    void Close() const;
    void DestroyHandle() noexcept;

    std::wstring Caption() const;
    void SetCaption(const std::wstring& text) const;

  protected:
    // Registers the class on first use and creates the window; `this` travels in lpCreateParams
    // and is bound at WM_NCCREATE, so no message of the window is lost.
    void CreateHandle(const wchar_t* className, DWORD style, DWORD exStyle, HWND owner, int x,
                      int y, int width, int height, int background = COLOR_BTNFACE + 1,
                      HICON icon = nullptr);

    virtual LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultHandler(UINT msg, WPARAM wParam, LPARAM lParam);
    // What a message answers when its handler raised: its refusal where the answer means
    // something (a creation that fails, an edit that may not begin), 0 otherwise.
    virtual LRESULT FailureResult(UINT msg, WPARAM wParam, LPARAM lParam);

  private:
    static LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
};

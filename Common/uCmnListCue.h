// A line of help that a list view shows, centred and grey in its font, while it has no rows.
#pragma once

#include <windows.h>

#include <string>

class TListCue {
  public:
    TListCue() = default;
    ~TListCue();
    TListCue(const TListCue&) = delete;
    TListCue& operator=(const TListCue&) = delete;

    // Paints over the list view's own paint from now on; once per list.
    void Attach(HWND list);
    // The line shown while the list is empty; none when empty. Repaints the list.
    void SetText(const std::wstring& text);
    const std::wstring& Text() const noexcept { return text_; }

  private:
    static LRESULT CALLBACK ListProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR self);
    void Paint(HDC dc) const;

    HWND list_ = nullptr;
    std::wstring text_;
};

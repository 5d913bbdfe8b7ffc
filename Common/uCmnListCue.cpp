// A line of help that a list view shows while it has no rows.
#include "uCmnListCue.h"

#include <commctrl.h>

namespace {

constexpr UINT_PTR CueId = 1;

bool Empty(HWND list) {
    return ::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) == 0;
}

} // namespace

TListCue::~TListCue() {
    if (list_)
        ::RemoveWindowSubclass(list_, &TListCue::ListProc, CueId);
}

void TListCue::Attach(HWND list) {
    if (list_ || !list)
        return;
    if (::SetWindowSubclass(list, &TListCue::ListProc, CueId, reinterpret_cast<DWORD_PTR>(this)))
        list_ = list;
}

void TListCue::SetText(const std::wstring& text) {
    if (text == text_)
        return;
    text_ = text;
    if (list_ && Empty(list_))
        ::InvalidateRect(list_, nullptr, TRUE);
}

void TListCue::Paint(HDC dc) const {
    if (text_.empty() || !Empty(list_))
        return;
    RECT area{};
    ::GetClientRect(list_, &area);
    // In the report view the column headers keep their place above the line.
    HWND header = reinterpret_cast<HWND>(::SendMessageW(list_, LVM_GETHEADER, 0, 0));
    if (header && ::IsWindowVisible(header)) {
        RECT bar{};
        ::GetWindowRect(header, &bar);
        area.top += bar.bottom - bar.top;
    }
    auto font = reinterpret_cast<HGDIOBJ>(::SendMessageW(list_, WM_GETFONT, 0, 0));
    const HGDIOBJ previousFont = font ? ::SelectObject(dc, font) : nullptr;
    const int previousMode = ::SetBkMode(dc, TRANSPARENT);
    const COLORREF previousColour = ::SetTextColor(dc, ::GetSysColor(COLOR_GRAYTEXT));
    // A narrow list wraps the line; the lines stay centred both ways.
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    ::InflateRect(&area, -metrics.tmAveCharWidth * 2, 0);
    RECT text = area;
    const UINT format = DT_CENTER | DT_WORDBREAK | DT_NOPREFIX;
    ::DrawTextW(dc, text_.c_str(), static_cast<int>(text_.size()), &text, format | DT_CALCRECT);
    const int height = text.bottom - text.top;
    text = area;
    text.top += (area.bottom - area.top - height) / 2;
    text.bottom = text.top + height;
    ::DrawTextW(dc, text_.c_str(), static_cast<int>(text_.size()), &text, format);
    ::SetTextColor(dc, previousColour);
    ::SetBkMode(dc, previousMode);
    if (previousFont)
        ::SelectObject(dc, previousFont);
}

LRESULT CALLBACK TListCue::ListProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                    DWORD_PTR self) {
    auto& cue = *reinterpret_cast<TListCue*>(self);
    switch (msg) {
    case WM_PAINT: {
        if (wParam)
            break;
        // The list paints into our paint's context, then the line goes over its background.
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(hwnd, &ps);
        ::DefSubclassProc(hwnd, WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
        cue.Paint(dc);
        ::EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_SIZE:
    case LVM_INSERTITEMW:
    case LVM_SETITEMCOUNT:
    case LVM_DELETEITEM:
    case LVM_DELETEALLITEMS: {
        // The line is centred and shown only without rows: when either changes, all of it is
        // painted again, not only what the list itself invalidates.
        const bool before = Empty(hwnd);
        const LRESULT result = ::DefSubclassProc(hwnd, msg, wParam, lParam);
        if (!cue.text_.empty() && (msg == WM_SIZE ? before : before != Empty(hwnd)))
            ::InvalidateRect(hwnd, nullptr, TRUE);
        return result;
    }
    case WM_NCDESTROY:
        ::RemoveWindowSubclass(hwnd, &TListCue::ListProc, CueId);
        cue.list_ = nullptr;
        break;
    }
    return ::DefSubclassProc(hwnd, msg, wParam, lParam);
}

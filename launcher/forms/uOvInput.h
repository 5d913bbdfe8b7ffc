// A one-line text asked for in a small modal dialog: a prompt, an edit field, OK and Cancel.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

// What the dialog asks; `accept` is called with the text when OK is pressed and returns false to
// keep the dialog open (it has told the user why), true to close it.
struct TTextAsk {
    std::wstring title;
    std::wstring prompt;
    std::wstring text;
    size_t limit = 0;
    std::function<bool(const std::wstring&)> accept;
};

// Shows the dialog over `owner` (disabled meanwhile). True when it closed with OK; `ask.text`
// then holds the text accepted.
bool TextAskRun(HWND owner, TTextAsk& ask);

// Control identifiers, for the tests that drive the dialog.
inline constexpr int IDC_TEXTASK_PROMPT = 1001;
inline constexpr int IDC_TEXTASK_EDIT = 1002;

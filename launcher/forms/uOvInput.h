// A one-line text asked for in a small modal dialog: a prompt, an edit field, OK and Cancel.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// What the dialog asks; `accept` is called with the text when OK is pressed and returns false to
// keep the dialog open (it has told the user why), true to close it.
struct TTextAsk {
    std::wstring title;
    std::wstring prompt;
    std::wstring text;
    size_t limit = 0;
    std::function<bool(const std::wstring&)> accept;
};

// Both dialogs answer only what the user chose: one that ends any other way (destroyed with its
// owner by a sign-out or the program closing) ends as Cancel.

// Shows the dialog over `owner` (disabled meanwhile). True when it closed with OK; `ask.text`
// then holds the text accepted.
bool TextAskRun(HWND owner, TTextAsk& ask);

// A choice among `buttons` (left to right) in a small modal dialog over `owner`, under `text`
// (lines broken at "\n"). The button `defaultButton` is the default (Enter); Escape, the close
// box and a dialog destroyed from outside give -1, a button its index.
int ChoiceAskRun(HWND owner, const std::wstring& title, const std::wstring& text,
                 const std::vector<std::wstring>& buttons, int defaultButton);
// The first button's identifier; the others follow.
inline constexpr int IDC_CHOICE_FIRST = 1100;

// Control identifiers, for the tests that drive the dialog.
inline constexpr int IDC_TEXTASK_PROMPT = 1001;
inline constexpr int IDC_TEXTASK_EDIT = 1002;

// Helpers shared by the test suites: platform detection, scratch folders, modal boxes.
#pragma once

#include "uCmnShell.h"

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

// True when the tests run under Wine (its ntdll exports wine_get_version).
bool IsWine();

// Folder of the running test program, with a trailing "\".
std::wstring ExeFolder();

// CreateProcessW with `flags`, in `folder` (null: this one), with the show command `show` (-1:
// none). Under Wine a start fails now and then with ERROR_INTERNAL_ERROR: the new process ended
// before it ran any code of its own (seen about once in two thousand starts on a loaded machine).
// Such a start changed nothing, so it is made again, three times in all.
bool ProcessStart(const wchar_t* program, std::wstring command, DWORD flags,
                  PROCESS_INFORMATION& info, const wchar_t* folder = nullptr, int show = -1);

// Runs Wine's reg.exe with `arguments` and waits for it; true when it ended with 0. Wine's reg.exe
// now and then ends with an error on a file it imports the next time: `attempts` tries.
bool RegExeRun(const std::wstring& arguments, int attempts = 3);

// A window's text (a caption, a control's text).
std::wstring WindowText(HWND hwnd);

// What a modal box showed: its caption and text.
struct TBoxSeen {
    std::wstring caption;
    std::wstring text;
    bool seen = false;
};

// Runs `action` (which opens a modal dialog on this thread) and hands the first dialog that
// appears to `answer`, which must end it (by posting a button press, say).
void AnswerDialog(const std::function<void()>& action, const std::function<void(HWND)>& answer);
// The same for every dialog that appears while `action` runs, one after the other.
void AnswerEveryDialog(const std::function<void()>& action,
                       const std::function<void(HWND)>& answer);

// A test's answer to dialogs is waiting (AnswerDialog and the others are running).
bool AnswerActive();

// Runs `action` (which opens a modal box on this thread) and answers the first box that
// appears by pressing the button with `buttonId` (IDOK, IDCANCEL) or, with buttonId 0, by
// sending Escape; with buttonId -1 by the close box (WM_CLOSE). Returns what the box showed.
TBoxSeen AnswerBox(const std::function<void()>& action, int buttonId);
// The same for every box that appears while `action` runs, in order.
std::vector<TBoxSeen> AnswerBoxes(const std::function<void()>& action, int buttonId);

// Pumps this thread's messages for about `ms` milliseconds.
void PumpMessages(int ms);

// Presses `vk` with the modifiers held, through the system's input, and runs what it brings for
// `ms` (0: a box's own loop takes the keys).
void KeyPress(WORD vk, std::vector<WORD> modifiers = {}, int ms = 150);
// Types `text` through the system's input, one character (a surrogate pair as two units) at a
// time, and runs what it brings.
void KeysType(const std::wstring& text);
// Sends the text, then the key `then` (none for 0), without handling any message meanwhile.
void KeysQueue(const std::wstring& text, WORD then = 0);

// The shell's drop handle for `paths`, dropped at `point` of a window's client area (or outside
// it).
HDROP MakeDrop(const std::vector<std::wstring>& paths, POINT point, bool inClient = true);

// How a test failure shows a request to open something.
void PrintTo(const TShellOpenRequest& request, std::ostream* out);

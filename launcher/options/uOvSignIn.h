// The start at sign-in: the program's value under the user's Run key, which names this copy of
// the program with an argument that tells it how it was started.
#pragma once

#include <string>

// The Run key, from HKEY_CURRENT_USER, and the program's value in it (the product's name).
inline constexpr wchar_t OvKeyRun[] = L"\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr wchar_t OvValRun[] = L"Orvanta";
// The argument the value adds: the one start that is not the user's own.
inline constexpr wchar_t OvArgSignIn[] = L"/signin";

enum class TSignInState {
    // No value, or one that is no string or names no program.
    Absent,
    // The value starts this copy (the program's path, letter case aside).
    ThisCopy,
    // The value starts a program of the same name elsewhere: a copy moved, or an older folder.
    OtherCopy,
};

// The value's data for the program at `exePath`: the path in quotes and the argument.
std::wstring SignInCommand(const std::wstring& exePath);
// The program a command line starts: the first path, quoted or up to the first blank.
std::wstring CommandProgram(const std::wstring& command);
// What the Run key holds for the program at `exePath`: a value that starts it as Windows reads
// the value (quoted or not, blanks before it, environment strings, a short or relative form of
// the path) is this copy.
TSignInState SignInStateRead(const std::wstring& exePath);
// Writes the value for `exePath`, or deletes it. Nothing else in the Run key is touched. Raises
// ERegError naming the value when the registry refuses.
void SignInSet(bool on, const std::wstring& exePath);
// True when the command line's only argument is OvArgSignIn (letter case aside): the start the
// value makes. Any other argument is no sign-in start, and is ignored as every start ignores it.
bool SignInStart(const wchar_t* commandLine);
// The path of the running program.
std::wstring ProgramPath();

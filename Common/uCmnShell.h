// Opening files, programs, folders and addresses through the shell, its other verbs, and
// quoting the arguments handed to a program.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The argument quoted for a command line, so that CommandLineToArgvW and the C runtime give it
// back whole: in double quotes, a quote inside escaped, and the backslashes before a quote (the
// closing one included) doubled: C:\ gives "C:\\", a"b gives "a\"b".
std::wstring CommandLineArg(const std::wstring& arg);

// Carries out "open" on the file, owned by the application window, with the parameters (none
// when empty), in the folder of the launcher's own executable. True when the shell accepted.
bool ShellOpen(const std::wstring& file, const std::wstring& parameters);
// The same with another verb of the file's type ("runas").
bool ShellVerb(const std::wstring& verb, const std::wstring& file, const std::wstring& parameters);
// Shows the shell's properties of the file or folder at `path`, owned by `owner`.
bool ShellProperties(HWND owner, const std::wstring& path);
// Opens the folder holding the file or folder at `path` in the shell's file window, with that
// entry selected. True when the shell accepted.
bool ShellShowInFolder(const std::wstring& path);

// One request the functions above were asked to carry out. ShellShowInFolder's has the verb
// "select", ShellProperties' the verb "properties".
struct TShellOpenRequest {
    std::wstring file;
    std::wstring parameters;
    std::wstring verb = L"open";
    bool operator==(const TShellOpenRequest&) const = default;
};

// While it lives, the functions above start nothing: they record each request here and answer
// that the shell accepted. The previous recorder (or the real shell) comes back afterwards.
class TShellOpenRecorder {
  public:
    TShellOpenRecorder();
    ~TShellOpenRecorder();
    TShellOpenRecorder(const TShellOpenRecorder&) = delete;
    TShellOpenRecorder& operator=(const TShellOpenRecorder&) = delete;

    std::vector<TShellOpenRequest> Requests;

  private:
    TShellOpenRecorder* previous_;
};

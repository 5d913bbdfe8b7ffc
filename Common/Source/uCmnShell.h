// Opening files, programs, folders and addresses through the shell, and quoting the arguments
// handed to a program.
#pragma once

#include <string>
#include <vector>

// The argument quoted for a command line, so that CommandLineToArgvW and the C runtime give it
// back whole: in double quotes, a quote inside escaped, and the backslashes before a quote (the
// closing one included) doubled: C:\ gives "C:\\", a"b gives "a\"b".
std::wstring CommandLineArg(const std::wstring& arg);

// Carries out "open" on the file, owned by the application window, with the parameters (none
// when empty), in the folder of the launcher's own executable. True when the shell accepted.
bool ShellOpen(const std::wstring& file, const std::wstring& parameters);

// One request ShellOpen was asked to carry out.
struct TShellOpenRequest {
    std::wstring file;
    std::wstring parameters;
    bool operator==(const TShellOpenRequest&) const = default;
};

// While it lives, ShellOpen starts nothing: it records each request here and answers that the
// shell accepted. The previous recorder (or the real shell) comes back afterwards.
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

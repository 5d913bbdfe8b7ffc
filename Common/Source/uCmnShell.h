// Opening files, programs, folders and addresses through the shell.
#pragma once

#include <string>
#include <vector>

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

// Opening files, programs, folders and addresses through the shell.
#pragma once

#include <string>

// Carries out "open" on the file, owned by the application window, with the parameters (none
// when empty), in the folder of the launcher's own executable. True when the shell accepted.
bool ShellOpen(const std::wstring& file, const std::wstring& parameters);

// Opening files, programs, folders and addresses through the shell.
#include "uCmnShell.h"

#include "uCmnApp.h"
#include "uCmnFile.h"

#include <shellapi.h>

bool ShellOpen(const std::string& file, const std::string& parameters) {
    char exe[MAX_PATH + 1] = {};
    const DWORD n = ::GetModuleFileNameA(nullptr, exe, MAX_PATH);
    const std::string folder = PathFolderWithSep(std::string(exe, n));
    const HINSTANCE rc = ::ShellExecuteA(Application.Handle(), "open", file.c_str(),
                                         parameters.empty() ? nullptr : parameters.c_str(),
                                         folder.empty() ? nullptr : folder.c_str(), SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(rc) > 32;
}

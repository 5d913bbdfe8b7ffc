// Opening files, programs, folders and addresses through the shell, and quoting the arguments
// handed to a program.
#include "uCmnShell.h"

#include "uCmnApp.h"
#include "uCmnCom.h"
#include "uCmnFile.h"

#include <shellapi.h>

#include <utility>
#include <vector>

namespace {

TShellOpenRecorder* g_recorder = nullptr;

// The program's own path, however long.
std::wstring ModulePath() {
    std::vector<wchar_t> buf(MAX_PATH + 1);
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (n < buf.size())
            return std::wstring(buf.data(), n);
        buf.resize(buf.size() * 2);
    }
}

} // namespace

std::wstring CommandLineArg(const std::wstring& arg) {
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes count only before a quote: there each stands for half of its pair.
        quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        quoted += c;
        backslashes = 0;
    }
    quoted.append(2 * backslashes, L'\\');
    return quoted + L"\"";
}

bool ShellOpen(const std::wstring& file, const std::wstring& parameters) {
    if (g_recorder) {
        g_recorder->Requests.push_back(TShellOpenRequest{file, parameters});
        return true;
    }
    ComEnsure();
    const std::wstring folder = PathFolderWithSep(ModulePath());
    const HINSTANCE rc = ::ShellExecuteW(Application.Handle(), L"open", file.c_str(),
                                         parameters.empty() ? nullptr : parameters.c_str(),
                                         folder.empty() ? nullptr : folder.c_str(), SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(rc) > 32;
}

TShellOpenRecorder::TShellOpenRecorder() : previous_(std::exchange(g_recorder, this)) {}

TShellOpenRecorder::~TShellOpenRecorder() {
    g_recorder = previous_;
}

// Opening files, programs, folders and addresses through the shell.
#include "uCmnShell.h"

#include "uCmnApp.h"
#include "uCmnCom.h"
#include "uCmnFile.h"

#include <shellapi.h>

#include <utility>

namespace {

TShellOpenRecorder* g_recorder = nullptr;

} // namespace

bool ShellOpen(const std::wstring& file, const std::wstring& parameters) {
    if (g_recorder) {
        g_recorder->Requests.push_back(TShellOpenRequest{file, parameters});
        return true;
    }
    ComEnsure();
    const std::wstring folder = ProgramFolder();
    const HINSTANCE rc = ::ShellExecuteW(Application.Handle(), L"open", file.c_str(),
                                         parameters.empty() ? nullptr : parameters.c_str(),
                                         folder.empty() ? nullptr : folder.c_str(), SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(rc) > 32;
}

TShellOpenRecorder::TShellOpenRecorder() : previous_(std::exchange(g_recorder, this)) {}

TShellOpenRecorder::~TShellOpenRecorder() {
    g_recorder = previous_;
}

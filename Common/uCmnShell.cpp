// Opening files, programs, folders and addresses through the shell, its other verbs, and
// quoting the arguments handed to a program.
#include "uCmnShell.h"

#include "uCmnApp.h"
#include "uCmnCom.h"
#include "uCmnFile.h"
#include "uCmnHandle.h"
#include "uCmnShellMenu.h"

#include <shellapi.h>
#include <shlobj.h>

#include <utility>

namespace {

TShellOpenRecorder* g_recorder = nullptr;

// True when a recorder took the request instead of the shell.
bool Recorded(const std::wstring& verb, const std::wstring& file, const std::wstring& parameters) {
    if (!g_recorder)
        return false;
    g_recorder->Requests.push_back(TShellOpenRequest{file, parameters, verb});
    return true;
}

const wchar_t* NoneWhenEmpty(const std::wstring& text) {
    return text.empty() ? nullptr : text.c_str();
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
    if (Recorded(L"open", file, parameters))
        return true;
    ComEnsure();
    const std::wstring folder = ProgramFolder();
    const HINSTANCE rc =
        ::ShellExecuteW(Application.Handle(), L"open", file.c_str(), NoneWhenEmpty(parameters),
                        NoneWhenEmpty(folder), SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(rc) > 32;
}

bool ShellVerb(const std::wstring& verb, const std::wstring& file, const std::wstring& parameters) {
    if (Recorded(verb, file, parameters))
        return true;
    ComEnsure();
    const std::wstring folder = ProgramFolder();
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.hwnd = Application.Handle();
    info.lpVerb = verb.c_str();
    info.lpFile = file.c_str();
    info.lpParameters = NoneWhenEmpty(parameters);
    info.lpDirectory = NoneWhenEmpty(folder);
    info.nShow = SW_SHOWNORMAL;
    return ::ShellExecuteExW(&info) != FALSE;
}

bool ShellShowInFolder(const std::wstring& path) {
    if (Recorded(L"select", path, L""))
        return true;
    if (!ComEnsure())
        return false;
    // Explorer's "/select," command line cannot carry every path (Wine's stops at a blank or a
    // comma); the item list can.
    TUniquePidl item;
    if (FAILED(::SHParseDisplayName(path.c_str(), nullptr, item.Put(), 0, nullptr)))
        return false;
    return SUCCEEDED(::SHOpenFolderAndSelectItems(item.Get(), 0, nullptr, 0));
}

bool ShellProperties(HWND owner, const std::wstring& path) {
    if (Recorded(L"properties", path, L""))
        return true;
    // Through the file's own menu: Wine's ShellExecuteEx knows no "properties" verb.
    TUniqueMenu menu(::CreatePopupMenu());
    TShellMenu shell;
    return shell.Build(owner, {path}, menu.Get(), 1, 0x7FFF, false) &&
           shell.Invoke("properties", POINT{});
}

TShellOpenRecorder::TShellOpenRecorder() : previous_(std::exchange(g_recorder, this)) {}

TShellOpenRecorder::~TShellOpenRecorder() {
    g_recorder = previous_;
}

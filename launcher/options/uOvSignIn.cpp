// The start at sign-in: the program's value under the user's Run key.
#include "uOvSignIn.h"

#include "uCmnError.h"
#include "uCmnStr.h"
#include "uCmnReg.h"
#include "uOvMsgDef.h"

#include <windows.h>
#include <shellapi.h>

#include <vector>

namespace {

const HKEY Root = HKEY_CURRENT_USER;

// The file name of a path: what a copy elsewhere shares with this one.
std::wstring NameOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

} // namespace

std::wstring SignInCommand(const std::wstring& exePath) {
    return L"\"" + exePath + L"\" " + OvArgSignIn;
}

std::wstring CommandProgram(const std::wstring& command) {
    size_t start = 0;
    while (start < command.size() && IsBlank(command[start]))
        ++start;
    if (start < command.size() && command[start] == L'"') {
        const size_t end = command.find(L'"', start + 1);
        return end == std::wstring::npos ? std::wstring()
                                         : command.substr(start + 1, end - start - 1);
    }
    size_t end = start;
    while (end < command.size() && !IsBlank(command[end]))
        ++end;
    return command.substr(start, end - start);
}

namespace {

// A path in its long form, as the file system names it: a short (8.3) form or a relative path
// of the same file compares alike. A path that names nothing stays as it is.
std::wstring LongForm(const std::wstring& path) {
    std::wstring full(MAX_PATH, L'\0');
    DWORD n =
        ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (n >= full.size()) {
        full.resize(n);
        n = ::GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    }
    full.resize(n < full.size() ? n : 0);
    if (full.empty())
        return path;
    std::wstring longer(full.size() + MAX_PATH, L'\0');
    n = ::GetLongPathNameW(full.c_str(), longer.data(), static_cast<DWORD>(longer.size()));
    if (n == 0 || n >= longer.size())
        return full;
    longer.resize(n);
    return longer;
}

bool SameProgram(const std::wstring& a, const std::wstring& b) {
    return SameText(a, b) || SameText(LongForm(a), LongForm(b));
}

// The programs a command line may start, in the order Windows tries them: the quoted path, or
// for an unquoted one each run of it up to a blank ("C:\Program Files\O\pOv.exe /signin" tries
// "C:\Program", then "C:\Program Files\O\pOv.exe"), environment strings expanded.
std::vector<std::wstring> CommandPrograms(const std::wstring& command) {
    std::wstring expanded(32768, L'\0');
    const DWORD n = ::ExpandEnvironmentStringsW(command.c_str(), expanded.data(),
                                                static_cast<DWORD>(expanded.size()));
    expanded.resize(n > 0 && n <= expanded.size() ? n - 1 : 0);
    if (expanded.empty())
        expanded = command;
    size_t start = 0;
    while (start < expanded.size() && IsBlank(expanded[start]))
        ++start;
    if (start < expanded.size() && expanded[start] == L'"')
        return {CommandProgram(expanded)};
    std::vector<std::wstring> programs;
    for (size_t at = start; at <= expanded.size(); ++at)
        if (at == expanded.size() ||
            (IsBlank(expanded[at]) && at > start && !IsBlank(expanded[at - 1])))
            programs.push_back(expanded.substr(start, at - start));
    return programs;
}

} // namespace

TSignInState SignInStateRead(const std::wstring& exePath) {
    const std::vector<std::wstring> programs =
        CommandPrograms(RegStrReadOrEmpty(Root, OvKeyRun, OvValRun));
    if (programs.empty() || programs[0].empty())
        return TSignInState::Absent;
    for (const std::wstring& program : programs)
        if (SameProgram(program, exePath))
            return TSignInState::ThisCopy;
    // Another copy: a program of this one's name elsewhere, however the path is written.
    for (const std::wstring& program : programs)
        if (SameText(NameOf(LongForm(program)), NameOf(exePath)))
            return TSignInState::OtherCopy;
    return TSignInState::Absent;
}

void SignInSet(bool on, const std::wstring& exePath) {
    const std::wstring where = FormatMessageText(
        OV_MSG_SIGNIN_FAILED, L"HKEY_CURRENT_USER" + std::wstring(OvKeyRun) + L"\\" + OvValRun);
    bool done = true;
    try {
        if (on)
            done = RegStrWrite(Root, OvKeyRun, OvValRun, SignInCommand(exePath));
        else if (RegValueExists(Root, OvKeyRun, OvValRun))
            done = RegValueDelete(Root, OvKeyRun, OvValRun);
    } catch (const std::exception& e) {
        throw ERegError(where + L"\n\n" + ErrorMessageOf(e));
    }
    if (!done)
        throw ERegError(where);
}

bool SignInStart(const wchar_t* commandLine) {
    int count = 0;
    wchar_t** args = ::CommandLineToArgvW(commandLine, &count);
    if (!args)
        return false;
    const bool signIn = count == 2 && SameText(args[1], OvArgSignIn);
    ::LocalFree(args);
    return signIn;
}

std::wstring ProgramPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

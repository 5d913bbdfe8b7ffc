// The start at sign-in: the program's value under the user's Run key.
#include "uOvSignIn.h"

#include "uCmnError.h"
#include "uCmnStr.h"
#include "uCmnReg.h"
#include "uOvMsgDef.h"

#include <windows.h>
#include <shellapi.h>

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
    while (start < command.size() && command[start] == L' ')
        ++start;
    if (start < command.size() && command[start] == L'"') {
        const size_t end = command.find(L'"', start + 1);
        return end == std::wstring::npos ? std::wstring()
                                         : command.substr(start + 1, end - start - 1);
    }
    const size_t end = command.find(L' ', start);
    return command.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
}

TSignInState SignInStateRead(const std::wstring& exePath) {
    const std::wstring program = CommandProgram(RegStrReadOrEmpty(Root, OvKeyRun, OvValRun));
    if (program.empty())
        return TSignInState::Absent;
    if (SameText(program, exePath))
        return TSignInState::ThisCopy;
    return SameText(NameOf(program), NameOf(exePath)) ? TSignInState::OtherCopy
                                                      : TSignInState::Absent;
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

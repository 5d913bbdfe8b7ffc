// A stand-in program for the launch tests: writes the command line it received, its working
// directory, and its arguments as CommandLineToArgvW and as the C runtime parse them (each
// argument after the program's own followed by a tab), one line each in UTF-8, to a file of its
// own named OV_ECHO_OUT + "." + its process id, so that copies started at the same moment never
// share a file.
#include <windows.h>
#include <shellapi.h>

#include <cstdlib>
#include <string>

namespace {

std::string Utf8(const std::wstring& text) {
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string bytes(size > 0 ? static_cast<size_t>(size) : 0, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                          size, nullptr, nullptr);
    return bytes;
}

std::string Arguments(int count, wchar_t** args) {
    std::string line;
    for (int i = 1; i < count; ++i)
        line += Utf8(args[i]) + "\t";
    return line + "\n";
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    wchar_t out[MAX_PATH] = {};
    if (!::GetEnvironmentVariableW(L"OV_ECHO_OUT", out, MAX_PATH))
        return 1;
    wchar_t cwd[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, cwd);
    const std::wstring path = std::wstring(out) + L"." + std::to_wstring(::GetCurrentProcessId());
    const std::wstring part = path + L".part";
    int count = 0;
    wchar_t** shellArgs = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    const std::string report = Utf8(::GetCommandLineW()) + "\n" + Utf8(cwd) + "\n" +
                               Arguments(shellArgs ? count : 0, shellArgs) +
                               Arguments(__argc, __wargv);
    ::LocalFree(shellArgs);
    HANDLE file = ::CreateFileW(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 2;
    DWORD written = 0;
    const BOOL ok =
        ::WriteFile(file, report.data(), static_cast<DWORD>(report.size()), &written, nullptr);
    ::CloseHandle(file);
    if (!ok || written != report.size())
        return 2;
    // Appears whole or not at all.
    return ::MoveFileW(part.c_str(), path.c_str()) ? 0 : 3;
}

// Test helpers for files on disk: scratch folders, small files, shortcuts, COM and icon pixels.
#include "uTestFiles.h"

#include "uCmnError.h"
#include "uCmnFile.h"
#include "uCmnHandle.h"
#include "uTestSupport.h"

#include <shlobj.h>

#include <cstdio>
#include <cstring>
#include <cwchar>

void TreeDelete(const std::wstring& folder) {
    WIN32_FIND_DATAW data{};
    TUniqueFind find(::FindFirstFileW((folder + L"\\*").c_str(), &data));
    if (find) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring path = folder + L"\\" + name;
            ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                TreeDelete(path);
            else
                ::DeleteFileW(path.c_str());
        } while (::FindNextFileW(find.Get(), &data));
    }
    find.Reset();
    ::RemoveDirectoryW(folder.c_str());
}

namespace {

// The host's name of a Windows path whose folder exists (Wine only), in the host's UTF-8; empty
// when there is none.
std::string HostName(const std::wstring& path) {
    using TUnixName = char*(CDECL*)(LPCWSTR);
    const auto unixName = reinterpret_cast<TUnixName>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* folder = unixName ? unixName(PathFolder(path).c_str()) : nullptr;
    if (!folder)
        return {};
    std::string name = folder;
    ::HeapFree(::GetProcessHeap(), 0, folder);
    return name + (name.back() == '/' ? "" : "/") + Utf8Of(PathName(path));
}

// Runs a host shell command (Wine starts host programs by their Z: path); true when it ended
// with 0. Wine hands back no handle to wait on for a host process: the command writes its exit
// code into a file.
bool HostRun(const std::string& shellCommand) {
    static unsigned counter = 0;
    wchar_t temp[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring done = std::wstring(temp) + L"ovhost" +
                              std::to_wstring(::GetCurrentProcessId()) + L"_" +
                              std::to_wstring(++counter);
    const std::string hostDone = HostName(done);
    std::wstring command = WideOfUtf8("sh -c \"" + shellCommand + "; echo $? >'" + hostDone +
                                      ".part' && mv '" + hostDone + ".part' '" + hostDone + "'\"");
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (hostDone.empty() ||
        !::CreateProcessW(L"Z:\\bin\\sh", command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                          nullptr, nullptr, &startup, &info))
        return false;
    TUniqueHandle process(info.hProcess), thread(info.hThread);
    for (int i = 0; i < 500 && ::GetFileAttributesW(done.c_str()) == INVALID_FILE_ATTRIBUTES; ++i)
        ::Sleep(10);
    char code[16] = {};
    if (FILE* in = ::_wfopen(done.c_str(), L"rb")) {
        std::fread(code, 1, sizeof(code) - 1, in);
        std::fclose(in);
    }
    ::DeleteFileW(done.c_str());
    return std::strcmp(code, "0\n") == 0;
}

bool HostLinkMake(const std::string& target, const std::string& link) {
    return !target.empty() && !link.empty() && HostRun("ln -s '" + target + "' '" + link + "'");
}

} // namespace

TFolderLink::TFolderLink(const std::wstring& link, const std::wstring& target) : link_(link) {
    if (IsWine())
        made_ = HostLinkMake(HostName(target), hostLink_ = HostName(link));
    else
        made_ = ::CreateSymbolicLinkW(link.c_str(), target.c_str(),
                                      SYMBOLIC_LINK_FLAG_DIRECTORY |
                                          SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE);
}

TFolderLink::~TFolderLink() {
    if (made_ && IsWine())
        HostRun("rm -f '" + hostLink_ + "'");
    else if (made_)
        ::RemoveDirectoryW(link_.c_str());
}

namespace {

// A drive letter no volume answers to, from `first` towards `last`.
std::wstring FreeDrive(wchar_t first, wchar_t last) {
    const DWORD drives = ::GetLogicalDrives();
    const int step = first < last ? 1 : -1;
    for (wchar_t letter = first; letter != last + step;
         letter = static_cast<wchar_t>(letter + step))
        if (!(drives & (1u << (letter - L'A'))))
            return std::wstring(1, letter) + L":";
    return L"Z:";
}

} // namespace

std::wstring UnusedDrive() {
    return FreeDrive(L'Q', L'Y');
}

TDriveLetter::TDriveLetter(const std::wstring& folder) {
    // Apart from UnusedDrive's letters: Wine's list of drives does not show a new one at once.
    const std::wstring drive = FreeDrive(L'P', L'H');
    if (IsWine()) {
        // Drive C: is "<prefix>/dosdevices/c:".
        const std::string c = HostName(L"C:\\x");
        const std::string link =
            c.substr(0, c.rfind("/c:") + 1) + char(drive[0] - L'A' + 'a') + ":";
        if (c.rfind("/c:") != std::string::npos && HostLinkMake(HostName(folder + L"\\."), link))
            hostLink_ = link;
        else
            return;
    } else if (!::DefineDosDeviceW(0, drive.c_str(), folder.c_str())) {
        return;
    }
    root_ = drive + L"\\";
}

TDriveLetter::~TDriveLetter() {
    if (!hostLink_.empty())
        HostRun("rm -f '" + hostLink_ + "'");
    else if (!root_.empty())
        ::DefineDosDeviceW(DDD_REMOVE_DEFINITION, root_.substr(0, 2).c_str(), nullptr);
}

namespace {

TLookUpFault* activeFault = nullptr;
TFileLookUps realLookUps;

bool FaultHits(LPCWSTR path, bool search) {
    ++activeFault->lookUps;
    const std::wstring& below = activeFault->below;
    if (std::wcsncmp(path, below.c_str(), below.size()) != 0)
        return false;
    return !activeFault->listingOnly || (search && !std::wcschr(path + below.size(), L'\\'));
}

BOOL WINAPI FaultAttributes(LPCWSTR path, GET_FILEEX_INFO_LEVELS level, LPVOID data) {
    if (!FaultHits(path, false))
        return realLookUps.attributes(path, level, data);
    ::SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}

HANDLE WINAPI FaultFindFirst(LPCWSTR path, LPWIN32_FIND_DATAW data) {
    if (!FaultHits(path, true))
        return realLookUps.findFirst(path, data);
    ::SetLastError(ERROR_ACCESS_DENIED);
    return INVALID_HANDLE_VALUE;
}

} // namespace

TLookUpFault::TLookUpFault(const std::wstring& folder, bool listingOnly)
    : below(folder + L"\\"), listingOnly(listingOnly) {
    activeFault = this;
    realLookUps = FileLookUps();
    FileLookUps() = {FaultAttributes, FaultFindFirst};
}

TLookUpFault::~TLookUpFault() {
    FileLookUps() = realLookUps;
    activeFault = nullptr;
}

namespace {

void PixelsAppend(HBITMAP bitmap, std::vector<uint32_t>& out) {
    BITMAP bm{};
    if (!bitmap || !::GetObjectW(bitmap, sizeof(bm), &bm))
        return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = bm.bmWidth;
    info.bmiHeader.biHeight = bm.bmHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<uint32_t> pixels(static_cast<size_t>(bm.bmWidth) * bm.bmHeight);
    HDC dc = ::GetDC(nullptr);
    ::GetDIBits(dc, bitmap, 0, bm.bmHeight, pixels.data(), &info, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, dc);
    out.push_back(static_cast<uint32_t>(bm.bmWidth));
    out.push_back(static_cast<uint32_t>(bm.bmHeight));
    out.insert(out.end(), pixels.begin(), pixels.end());
}

} // namespace

TTempFolder::TTempFolder() {
    wchar_t temp[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH, temp);
    std::wstring base = temp;
    if (!base.empty() && base.back() == L'\\')
        base.pop_back();
    static unsigned counter = 0;
    for (;;) {
        path_ = base + L"\\ovtest" + std::to_wstring(::GetCurrentProcessId()) + L"_" +
                std::to_wstring(::GetTickCount()) + L"_" + std::to_wstring(++counter);
        if (::CreateDirectoryW(path_.c_str(), nullptr))
            break;
    }
}

TTempFolder::~TTempFolder() {
    TreeDelete(path_);
}

bool FileWrite(const std::wstring& path, const std::string& bytes) {
    TUniqueHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.Get() == INVALID_HANDLE_VALUE) {
        file.Release();
        return false;
    }
    DWORD written = 0;
    return ::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                       nullptr) &&
           written == bytes.size();
}

bool LinkCreate(const std::wstring& link, const std::wstring& target,
                const std::wstring& arguments) {
    TComPtr<IShellLinkW> shellLink;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  shellLink.PutVoid())))
        return false;
    if (FAILED(shellLink->SetPath(target.c_str())) ||
        FAILED(shellLink->SetArguments(arguments.c_str())))
        return false;
    TComPtr<IPersistFile> file;
    if (FAILED(shellLink->QueryInterface(IID_IPersistFile, file.PutVoid())) || !file)
        return false;
    return SUCCEEDED(file->Save(link.c_str(), TRUE));
}

std::vector<uint32_t> BitmapPixels(HBITMAP bitmap) {
    std::vector<uint32_t> out;
    PixelsAppend(bitmap, out);
    return out;
}

std::vector<uint32_t> IconPixels(HICON icon) {
    std::vector<uint32_t> out;
    ICONINFO info{};
    if (!icon || !::GetIconInfo(icon, &info))
        return out;
    PixelsAppend(info.hbmColor, out);
    PixelsAppend(info.hbmMask, out);
    if (info.hbmColor)
        ::DeleteObject(info.hbmColor);
    if (info.hbmMask)
        ::DeleteObject(info.hbmMask);
    return out;
}

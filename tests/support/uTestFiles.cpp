// Test helpers for files on disk: scratch folders, small files, shortcuts, COM and icon pixels.
#include "uTestFiles.h"

#include "uCmnFile.h"
#include "uCmnHandle.h"
#include "uTestSupport.h"

#include <shlobj.h>

#include <cstring>
#include <fstream>

void TreeDelete(const std::string& folder) {
    WIN32_FIND_DATAA data{};
    TUniqueFind find(::FindFirstFileA((folder + "\\*").c_str(), &data));
    if (find) {
        do {
            const std::string name = data.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string path = folder + "\\" + name;
            ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                TreeDelete(path);
            else
                ::DeleteFileA(path.c_str());
        } while (::FindNextFileA(find.Get(), &data));
    }
    find.Reset();
    ::RemoveDirectoryA(folder.c_str());
}

namespace {

// The host's name of a Windows path whose folder exists (Wine only); empty when there is none.
std::string HostName(const std::string& path) {
    using TUnixName = char*(CDECL*)(LPCWSTR);
    const auto unixName = reinterpret_cast<TUnixName>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    std::wstring wide(MAX_PATH, L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, PathFolder(path).c_str(), -1, wide.data(), MAX_PATH);
    char* folder = unixName ? unixName(wide.c_str()) : nullptr;
    if (!folder)
        return {};
    std::string name = folder;
    ::HeapFree(::GetProcessHeap(), 0, folder);
    return name + (name.back() == '/' ? "" : "/") + PathName(path);
}

// Runs a host shell command (Wine starts host programs by their Z: path); true when it ended
// with 0. Wine hands back no handle to wait on for a host process: the command writes its exit
// code into a file.
bool HostRun(const std::string& shellCommand) {
    static unsigned counter = 0;
    char temp[MAX_PATH + 1] = {};
    ::GetTempPathA(MAX_PATH, temp);
    const std::string done = std::string(temp) + "ovhost" +
                             std::to_string(::GetCurrentProcessId()) + "_" +
                             std::to_string(++counter);
    const std::string hostDone = HostName(done);
    std::string command = "sh -c \"" + shellCommand + "; echo $? >'" + hostDone + ".part' && mv '" +
                          hostDone + ".part' '" + hostDone + "'\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (hostDone.empty() ||
        !::CreateProcessA("Z:\\bin\\sh", command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                          nullptr, nullptr, &startup, &info))
        return false;
    TUniqueHandle process(info.hProcess), thread(info.hThread);
    for (int i = 0; i < 500 && ::GetFileAttributesA(done.c_str()) == INVALID_FILE_ATTRIBUTES; ++i)
        ::Sleep(10);
    std::ifstream in(done);
    std::string code;
    std::getline(in, code);
    in.close();
    ::DeleteFileA(done.c_str());
    return code == "0";
}

bool HostLinkMake(const std::string& target, const std::string& link) {
    return !target.empty() && !link.empty() && HostRun("ln -s '" + target + "' '" + link + "'");
}

} // namespace

TFolderLink::TFolderLink(const std::string& link, const std::string& target) : link_(link) {
    if (IsWine())
        made_ = HostLinkMake(HostName(target), link_ = HostName(link));
    else
        made_ = ::CreateSymbolicLinkA(link.c_str(), target.c_str(),
                                      SYMBOLIC_LINK_FLAG_DIRECTORY |
                                          SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE);
}

TFolderLink::~TFolderLink() {
    if (made_ && IsWine())
        HostRun("rm -f '" + link_ + "'");
    else if (made_)
        ::RemoveDirectoryA(link_.c_str());
}

namespace {

// A drive letter no volume answers to, from `first` towards `last`.
std::string FreeDrive(char first, char last) {
    const DWORD drives = ::GetLogicalDrives();
    const int step = first < last ? 1 : -1;
    for (char letter = first; letter != last + step; letter = static_cast<char>(letter + step))
        if (!(drives & (1u << (letter - 'A'))))
            return std::string(1, letter) + ":";
    return "Z:";
}

} // namespace

std::string UnusedDrive() {
    return FreeDrive('Q', 'Y');
}

TDriveLetter::TDriveLetter(const std::string& folder) {
    // Apart from UnusedDrive's letters: Wine's list of drives does not show a new one at once.
    const std::string drive = FreeDrive('P', 'H');
    if (IsWine()) {
        // Drive C: is "<prefix>/dosdevices/c:".
        const std::string c = HostName("C:\\x");
        const std::string link = c.substr(0, c.rfind("/c:") + 1) + char(drive[0] - 'A' + 'a') + ":";
        if (c.rfind("/c:") != std::string::npos && HostLinkMake(HostName(folder + "\\."), link))
            hostLink_ = link;
        else
            return;
    } else if (!::DefineDosDeviceA(0, drive.c_str(), folder.c_str())) {
        return;
    }
    root_ = drive + "\\";
}

TDriveLetter::~TDriveLetter() {
    if (!hostLink_.empty())
        HostRun("rm -f '" + hostLink_ + "'");
    else if (!root_.empty())
        ::DefineDosDeviceA(DDD_REMOVE_DEFINITION, root_.substr(0, 2).c_str(), nullptr);
}

namespace {

TLookUpFault* activeFault = nullptr;
TFileLookUps realLookUps;

bool FaultHits(LPCSTR path) {
    ++activeFault->lookUps;
    return std::strncmp(path, activeFault->below.c_str(), activeFault->below.size()) == 0;
}

BOOL WINAPI FaultAttributes(LPCSTR path, GET_FILEEX_INFO_LEVELS level, LPVOID data) {
    if (!FaultHits(path))
        return realLookUps.attributes(path, level, data);
    ::SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}

HANDLE WINAPI FaultFindFirst(LPCSTR path, LPWIN32_FIND_DATAA data) {
    if (!FaultHits(path))
        return realLookUps.findFirst(path, data);
    ::SetLastError(ERROR_ACCESS_DENIED);
    return INVALID_HANDLE_VALUE;
}

} // namespace

TLookUpFault::TLookUpFault(const std::string& folder) : below(folder + "\\") {
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
    if (!bitmap || !::GetObjectA(bitmap, sizeof(bm), &bm))
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
    char temp[MAX_PATH + 1] = {};
    ::GetTempPathA(MAX_PATH, temp);
    std::string base = temp;
    if (!base.empty() && base.back() == '\\')
        base.pop_back();
    static unsigned counter = 0;
    for (;;) {
        path_ = base + "\\ovtest" + std::to_string(::GetCurrentProcessId()) + "_" +
                std::to_string(::GetTickCount()) + "_" + std::to_string(++counter);
        if (::CreateDirectoryA(path_.c_str(), nullptr))
            break;
    }
}

TTempFolder::~TTempFolder() {
    TreeDelete(path_);
}

bool FileWrite(const std::string& path, const std::string& bytes) {
    TUniqueHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
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

bool LinkCreate(const std::string& link, const std::string& target, const std::string& arguments) {
    TComPtr<IShellLinkA> shellLink;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  shellLink.PutVoid())))
        return false;
    if (FAILED(shellLink->SetPath(target.c_str())) ||
        FAILED(shellLink->SetArguments(arguments.c_str())))
        return false;
    TComPtr<IPersistFile> file;
    if (FAILED(shellLink->QueryInterface(IID_IPersistFile, file.PutVoid())) || !file)
        return false;
    wchar_t wide[MAX_PATH] = {};
    if (!::MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, wide, MAX_PATH))
        return false;
    return SUCCEEDED(file->Save(wide, TRUE));
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

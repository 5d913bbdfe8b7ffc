// Test helpers for files on disk: scratch folders, small files, shortcuts, COM and icon pixels.
#include "uTestFiles.h"

#include "uCmnHandle.h"

#include <shlobj.h>

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

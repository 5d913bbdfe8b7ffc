// Test helpers for files on disk: scratch folders, small files, shortcuts, COM and icon pixels.
#include "uTestFiles.h"

#include "uCmnHandle.h"

#include <shlobj.h>

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

void BitmapPixels(HBITMAP bitmap, std::vector<uint32_t>& out) {
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

std::vector<uint32_t> IconPixels(HICON icon) {
    std::vector<uint32_t> out;
    ICONINFO info{};
    if (!icon || !::GetIconInfo(icon, &info))
        return out;
    BitmapPixels(info.hbmColor, out);
    BitmapPixels(info.hbmMask, out);
    if (info.hbmColor)
        ::DeleteObject(info.hbmColor);
    if (info.hbmMask)
        ::DeleteObject(info.hbmMask);
    return out;
}

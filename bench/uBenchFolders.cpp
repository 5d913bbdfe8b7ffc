// The benchmark's test folders, its settings tree and the shell's baseline on a folder.
#include "uBenchFolders.h"

#include "uBenchCommon.h"
#include "uCmnError.h"
#include "uCmnHandle.h"
#include "uCmnReg.h"
#include "uOvRegDef.h"
#include "uTestFiles.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cwchar>
#include <exception>
#include <stdexcept>
#include <string>

namespace {

// ---------------------------------------------------------------------------------------------
// Scratch folders

// ---------------------------------------------------------------------------------------------
// Test data

// The shared file helpers report failure; here a failure ends the bench.
void FileMake(const std::wstring& path, const std::string& bytes) {
    if (!FileWrite(path, bytes))
        throw std::runtime_error("cannot write " + Utf8Of(path));
}

// A 16 by 16 true-colour bitmap file, a blue square.
std::string BitmapBytes() {
    const int side = 16;
    const DWORD pixels = side * side * 3;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + pixels;
    info.biSize = sizeof(info);
    info.biWidth = side;
    info.biHeight = side;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    info.biSizeImage = pixels;
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof(file));
    bytes.append(reinterpret_cast<const char*>(&info), sizeof(info));
    for (DWORD i = 0; i < pixels; i += 3)
        bytes += std::string("\xC0\x40\x20", 3);
    return bytes;
}

void LinkMake(const std::wstring& link, const std::wstring& target) {
    if (!LinkCreate(link, target, L""))
        throw std::runtime_error("cannot create the shortcut " + Utf8Of(link));
}

// Shortcuts made through the shell per folder; fewer than any kind's count in a folder of 1,000.
constexpr int LinkTemplates = 20;

} // namespace

const TKind Kinds[KindCount] = {
    {L"text", L".txt", 30}, {L"pict", L".bmp", 15}, {L"conf", L".ini", 15},
    {L"prog", L".exe", 10}, {L"link", L".lnk", 20}, {L"data", L".dat", 10},
};

std::wstring EntryName(const TKind& kind, int i) {
    const std::wstring number = std::to_wstring(i);
    return kind.prefix + std::wstring(number.size() < 5 ? 5 - number.size() : 0, L'0') + number +
           kind.extension;
}

std::string MixText() {
    std::string text;
    for (const TKind& kind : Kinds)
        text += std::string(text.empty() ? "" : ", ") + std::to_string(kind.perHundred) + "% " +
                Utf8Of(kind.extension);
    return text;
}

// Fills `folder` with `count` entries (a multiple of 100) of the mix above.
void FolderFill(const std::wstring& folder, int count, const std::wstring& sampleExe) {
    if (!::CreateDirectoryW(folder.c_str(), nullptr))
        throw std::runtime_error("cannot create " + Utf8Of(folder));
    const std::string bitmap = BitmapBytes();
    const int perKind = count / 100;
    for (const TKind& kind : Kinds) {
        const std::wstring ext = kind.extension;
        for (int i = 0; i < kind.perHundred * perKind; ++i) {
            const std::wstring path = folder + L"\\" + EntryName(kind, i);
            if (ext == L".txt")
                FileMake(path, "Line of text " + std::to_string(i) + "\r\n" +
                                   std::string(static_cast<size_t>(i % 64) * 32, 'x'));
            else if (ext == L".bmp")
                FileMake(path, bitmap);
            else if (ext == L".ini")
                FileMake(path, "[Settings]\r\nNumber=" + std::to_string(i) + "\r\n");
            else if (ext == L".dat")
                FileMake(path, std::string(static_cast<size_t>(i % 16) * 512 + 1, '\0'));
            else if (ext == L".exe") {
                if (!::CopyFileW(sampleExe.c_str(), path.c_str(), FALSE))
                    throw std::runtime_error("cannot copy to " + Utf8Of(path));
            } else if (i < LinkTemplates) {
                // Every other shortcut points at a program, the rest at a document.
                const TKind& targetKind = i % 2 ? Kinds[0] : Kinds[3];
                LinkMake(path, folder + L"\\" + EntryName(targetKind, i));
            } else {
                // Saving a shortcut costs some 25 ms under Wine; the rest are copies of the
                // first ones. Each copy is still resolved on its own when its row is made.
                const std::wstring source = folder + L"\\" + EntryName(kind, i % LinkTemplates);
                if (!::CopyFileW(source.c_str(), path.c_str(), FALSE))
                    throw std::runtime_error("cannot copy to " + Utf8Of(path));
            }
        }
    }
}

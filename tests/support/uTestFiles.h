// Test helpers for files on disk: scratch folders, small files, shortcuts, COM and icon pixels.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// COM (apartment) for the calling thread while the object lives.
class TComInit {
  public:
    TComInit() : hr_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~TComInit() {
        if (SUCCEEDED(hr_))
            ::CoUninitialize();
    }
    TComInit(const TComInit&) = delete;
    TComInit& operator=(const TComInit&) = delete;

  private:
    HRESULT hr_;
};

// Deletes the folder with everything in it, read-only files included.
void TreeDelete(const std::string& folder);

// A fresh folder under the temporary folder, removed with everything in it at destruction.
class TTempFolder {
  public:
    TTempFolder();
    ~TTempFolder();
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    // The folder without a trailing "\".
    const std::string& Path() const noexcept { return path_; }
    // Path() + "\" + name.
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

  private:
    std::string path_;
};

// Creates (or replaces) a file holding `bytes`; false when that fails.
bool FileWrite(const std::string& path, const std::string& bytes);

// Saves a shortcut to `target` with `arguments` through IShellLinkA and IPersistFile; COM must be
// initialised. False when any step fails.
bool LinkCreate(const std::string& link, const std::string& target, const std::string& arguments);

// A bitmap's pixels as 32-bit values, preceded by its width and height; empty for no bitmap.
std::vector<uint32_t> BitmapPixels(HBITMAP bitmap);
// An icon's colour and mask pixels as 32-bit values, preceded by its width and height; empty for
// no icon. Two icons with the same image give the same vector.
std::vector<uint32_t> IconPixels(HICON icon);

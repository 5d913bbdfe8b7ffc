// Test helpers for files on disk: scratch folders, small files, shortcuts, COM (TComInit, the
// product's own) and icon pixels.
#pragma once

#include "uCmnCom.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// Deletes the folder with everything in it, read-only files included.
void TreeDelete(const std::wstring& folder);

// A fresh folder under the temporary folder, removed with everything in it at destruction.
class TTempFolder {
  public:
    TTempFolder();
    ~TTempFolder();
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    // The folder without a trailing "\".
    const std::wstring& Path() const noexcept { return path_; }
    // Path() + "\" + name.
    std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

  private:
    std::wstring path_;
};

// A folder link at `link` to the existing folder `target` (delete the target afterwards for a
// link whose disk is gone), removed at destruction. Under Wine a host symbolic link made by the
// host's ln (Wine's CreateSymbolicLink reports success and makes nothing); on Windows a symbolic
// link, which needs the right to make one: see Made().
class TFolderLink {
  public:
    TFolderLink(const std::wstring& link, const std::wstring& target);
    ~TFolderLink();
    TFolderLink(const TFolderLink&) = delete;
    TFolderLink& operator=(const TFolderLink&) = delete;
    bool Made() const noexcept { return made_; }

  private:
    std::wstring link_;
    // The link's name on the host, under Wine.
    std::string hostLink_;
    bool made_ = false;
};

// A drive letter no volume answers to, as "Q:".
std::wstring UnusedDrive();

// A free drive letter for `folder` while the object lives; Root() is its root ("P:\"), empty
// when none could be made. Under Wine a link in the prefix's dosdevices (there DefineDosDevice
// reports success but the drive finds no path), on Windows DefineDosDevice.
class TDriveLetter {
  public:
    explicit TDriveLetter(const std::wstring& folder);
    ~TDriveLetter();
    TDriveLetter(const TDriveLetter&) = delete;
    TDriveLetter& operator=(const TDriveLetter&) = delete;
    const std::wstring& Root() const noexcept { return root_; }

  private:
    std::wstring root_;
    std::string hostLink_;
};

// While it lives, every look-up of a path below `folder` fails with "access denied" (the
// folder's own look-up aside), and every look-up of any path is counted. With `listingOnly`, only
// searches of the folder's own entries fail: a folder that denies listing, whose entries can
// still be opened by name and searched below.
struct TLookUpFault {
    explicit TLookUpFault(const std::wstring& folder, bool listingOnly = false);
    ~TLookUpFault();
    TLookUpFault(const TLookUpFault&) = delete;
    TLookUpFault& operator=(const TLookUpFault&) = delete;

    const std::wstring below;
    const bool listingOnly;
    int lookUps = 0;
};

// Creates (or replaces) a file holding `bytes`; false when that fails.
bool FileWrite(const std::wstring& path, const std::string& bytes);

// Saves a shortcut to `target` with `arguments` through IShellLinkW and IPersistFile; COM must be
// initialised. False when any step fails.
bool LinkCreate(const std::wstring& link, const std::wstring& target,
                const std::wstring& arguments);

// A bitmap's pixels as 32-bit values, preceded by its width and height; empty for no bitmap.
std::vector<uint32_t> BitmapPixels(HBITMAP bitmap);
// An icon's colour and mask pixels as 32-bit values, preceded by its width and height; empty for
// no icon. Two icons with the same image give the same vector.
std::vector<uint32_t> IconPixels(HICON icon);

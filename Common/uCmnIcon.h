// The large and small icon of a file, a shortcut's target or a document type.
#pragma once

#include "uCmnHandle.h"

#include <map>
#include <string>

// The pixel sizes of a large and a small icon.
struct TIconSizes {
    int large = 32;
    int small = 16;
    bool operator==(const TIconSizes&) const = default;
};
// The sizes the system gives this process (SM_CXICON, SM_CXSMICON).
TIconSizes SystemIconSizes();

// Fills both objects (32 and 16 pixels): the file's own first icon, else the icon named by its
// type's "DefaultIcon" association entry, else the associated icon, else the shell's icon for
// the path. A shortcut stands for its target. The objects stay empty only when every source
// yields nothing. Raises EOleError for an unreadable shortcut and EConvertError for an
// association entry with a malformed index.
void FileIconsGet(const std::wstring& path, TUniqueIcon& smallIcon, TUniqueIcon& largeIcon);
// The same at other sizes (the system's sizes for another DPI): the icons are taken at those
// sizes from their files, not stretched, where the files hold them.
void FileIconsGet(const std::wstring& path, TUniqueIcon& smallIcon, TUniqueIcon& largeIcon,
                  const TIconSizes& sizes);

// A large (32-pixel) and a small (16-pixel) icon.
struct TIconPair {
    TUniqueIcon large;
    TUniqueIcon small;
};

// FileIconsGet for many files, sharing what files have in common: each file still gets exactly
// what FileIconsGet gives it. A file's own icons (programs, icon files, a shortcut's target) and
// those of a missing file are its own. Every other file shares its icons with the files whose
// icon comes from the same place: the file and index its type's association entry names, or
// else the icon location the shell gives for the file (its IExtractIcon, asked through the
// file's folder, bound once: what SHGetFileInfo's SHGFI_ICONLOCATION answers, without parsing
// the whole path again for every file). A location the shell gives as no file name, as the
// file's own (the file itself, or an icon per file), or not to be cached is not shared. Shared
// icons are kept for the cache's life.
class TFileIconCache {
  public:
    // Either fills `own` and returns null, or returns the shared pair of the file's icon
    // location, which stays valid while the cache lives and keeps its sizes. Raises as
    // FileIconsGet.
    const TIconPair* Get(const std::wstring& path, TIconPair& own);
    // The sizes the icons are taken at; a change empties the cache.
    void SizesSet(const TIconSizes& sizes);
    const TIconSizes& Sizes() const noexcept { return sizes_; }

  private:
    // "file,index" of the icon the shell gives for the file; empty when it gives none to share.
    std::wstring ShellLocation(const std::wstring& file);

    TIconSizes sizes_ = SystemIconSizes();
    // The location each type's association entry names, empty for none.
    std::map<std::wstring, std::wstring> entries_;
    // The icons of each location, an entry's or the shell's.
    std::map<std::wstring, TIconPair> shared_;
    // Folders bound for the shell's locations (IShellFolder), the most recent few.
    std::map<std::wstring, TComPtr<IUnknown>> folders_;
};

// Splits an association's icon entry "file,index": the file is the text before the first ","
// as written; the index is the text after it, blanks and control characters trimmed, in
// decimal with an optional sign. False when there is no "," or nothing before it. Raises
// EConvertError "'%s' は整数ではありません" when the index is not a whole number.
bool IconEntryParse(const std::wstring& entry, std::wstring& file, int& index);

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

// FileIconsGet for many files: the icon a type's association entry names is looked up once per
// type and shared for the cache's life. Each file still gets exactly what FileIconsGet gives it:
// everything else is fetched per file: icons of the file itself (programs, icon files, a
// shortcut's target), of a type whose association draws each file's own ("%1" in its icon
// entry) or names no icon, and of a shortcut whose target is missing.
class TFileIconCache {
  public:
    // Either fills `own` and returns null, or returns the shared pair of the file's type, which
    // stays valid while the cache lives and keeps its sizes. Raises as FileIconsGet.
    const TIconPair* Get(const std::wstring& path, TIconPair& own);
    // The sizes the icons are taken at; a change empties the cache.
    void SizesSet(const TIconSizes& sizes);
    const TIconSizes& Sizes() const noexcept { return sizes_; }

  private:
    TIconSizes sizes_ = SystemIconSizes();
    // The icons each type's entry names; none for a type whose icons are fetched per file.
    std::map<std::wstring, TIconPair> types_;
};

// Splits an association's icon entry "file,index": the file is the text before the first ","
// as written; the index is the text after it, blanks and control characters trimmed, in
// decimal with an optional sign. False when there is no "," or nothing before it. Raises
// EConvertError "'%s' は整数ではありません" when the index is not a whole number.
bool IconEntryParse(const std::wstring& entry, std::wstring& file, int& index);

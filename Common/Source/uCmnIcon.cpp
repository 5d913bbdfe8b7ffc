// The large and small icon of a file, a shortcut's target or a document type.
#include "uCmnIcon.h"

#include "uCmnCom.h"
#include "uCmnError.h"
#include "uCmnFile.h"
#include "uCmnReg.h"
#include "uCmnStr.h"

#include <shellapi.h>
#include <shlobj.h>

#include <cstdint>

namespace {

// At the system's sizes ExtractIconExW, which writes garbage into both handles when it finds
// nothing (Wine): the handles count only when it reports at least one icon. At other sizes the
// shell takes the images of those sizes from the file.
void IconsExtract(const std::wstring& file, int index, TUniqueIcon& largeIcon,
                  TUniqueIcon& smallIcon, const TIconSizes& sizes) {
    HICON lg = nullptr, sm = nullptr;
    if (sizes == SystemIconSizes()) {
        const UINT n = ::ExtractIconExW(file.c_str(), index, &lg, &sm, 1);
        if (n == 0 || n == UINT_MAX)
            return;
    } else if (::SHDefExtractIconW(file.c_str(), index, 0, &lg, &sm,
                                   MAKELONG(sizes.large, sizes.small)) != S_OK) {
        return;
    }
    largeIcon.Reset(lg);
    smallIcon.Reset(sm);
}

// An icon the system handed out at its own size, brought to `size`: taken again from its
// resource at that size where it came from one, stretched otherwise.
void IconSized(TUniqueIcon& icon, int size) {
    ICONINFO info{};
    if (!icon || !::GetIconInfo(icon.Get(), &info))
        return;
    BITMAP bm{};
    ::GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bm), &bm);
    if (info.hbmColor)
        ::DeleteObject(info.hbmColor);
    if (info.hbmMask)
        ::DeleteObject(info.hbmMask);
    if (bm.bmWidth == size)
        return;
    if (HANDLE sized = ::CopyImage(icon.Get(), IMAGE_ICON, size, size, LR_COPYFROMRESOURCE))
        icon.Reset(static_cast<HICON>(sized));
}

} // namespace

bool IconEntryParse(const std::wstring& entry, std::wstring& file, int& index) {
    const size_t comma = entry.find(L',');
    if (comma == std::wstring::npos || comma == 0)
        return false;
    size_t first = comma + 1, last = entry.size();
    while (first < last && IsBlank(entry[first]))
        ++first;
    while (last > first && IsBlank(entry[last - 1]))
        --last;
    index = StrToInt(entry.substr(first, last - first));
    file = entry.substr(0, comma);
    return true;
}

namespace {

// Step 1: a shortcut stands for its target, when it names one.
std::wstring IconSource(const std::wstring& path) {
    if (!FileIsLink(path))
        return path;
    std::wstring target, arguments;
    LinkResolve(path, target, arguments);
    return target.empty() ? path : target;
}

// Step 2: the file's own first icon.
bool OwnIconsGet(const std::wstring& file, TIconPair& icons, const TIconSizes& sizes) {
    IconsExtract(file, 0, icons.large, icons.small, sizes);
    return icons.large || icons.small;
}

// The association's icon entry of the file's type.
std::wstring TypeIconEntry(const std::wstring& file) {
    // An entry of another type names no icon: the shell's own icon stands in.
    const std::wstring className = RegStrReadOrEmpty(HKEY_CLASSES_ROOT, PathExtension(file), L"");
    return RegStrReadOrEmpty(HKEY_CLASSES_ROOT, className + L"\\DefaultIcon", L"");
}

// Step 5: the icon associated with the path, else (Wine has none for documents) the shell's
// own icon for it, so that rows never go blank. Both come at the system's sizes.
void AssociatedIconsGet(const std::wstring& file, TIconPair& icons) {
    // The call writes the icon's source file back into its path argument.
    wchar_t buf[MAX_PATH + 1] = {};
    file.copy(buf, MAX_PATH);
    WORD at = 0;
    icons.large.Reset(::ExtractAssociatedIconW(::GetModuleHandleW(nullptr), buf, &at));
    if (icons.large) {
        icons.small.Reset(::CopyIcon(icons.large.Get()));
        return;
    }
    SHFILEINFOW info{};
    if (::SHGetFileInfoW(file.c_str(), 0, &info, sizeof(info), SHGFI_ICON | SHGFI_LARGEICON))
        icons.large.Reset(info.hIcon);
    info = SHFILEINFOW{};
    if (::SHGetFileInfoW(file.c_str(), 0, &info, sizeof(info), SHGFI_ICON | SHGFI_SMALLICON))
        icons.small.Reset(info.hIcon);
}

// Step 3: the icon the type's association entry names.
void EntryIconsGet(const std::wstring& entry, TIconPair& icons, const TIconSizes& sizes) {
    std::wstring iconFile;
    int index = 0;
    if (IconEntryParse(entry, iconFile, index))
        IconsExtract(iconFile, index, icons.large, icons.small, sizes);
}

// Steps 4 and 5: what the shell answers for the file, at the sizes asked for.
void ShellIconsGet(const std::wstring& file, TIconPair& icons, const TIconSizes& sizes) {
    AssociatedIconsGet(file, icons);
    if (sizes == SystemIconSizes())
        return;
    IconSized(icons.large, sizes.large);
    IconSized(icons.small, sizes.small);
}

// Steps 3 to 5, for a file without icons of its own.
void TypeIconsGet(const std::wstring& file, const std::wstring& entry, TIconPair& icons,
                  const TIconSizes& sizes) {
    EntryIconsGet(entry, icons, sizes);
    if (!icons.large && !icons.small)
        ShellIconsGet(file, icons, sizes);
}

// Letter case aside, as the extension tests compare.
std::wstring TypeKey(const std::wstring& file, DWORD attributes) {
    const std::wstring key = PathExtensionKey(file);
    // The shell draws a folder as a folder whatever its name ends in.
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? L"\\" + key : key;
}

} // namespace

TIconSizes SystemIconSizes() {
    return TIconSizes{::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CXSMICON)};
}

void FileIconsGet(const std::wstring& path, TUniqueIcon& smallIcon, TUniqueIcon& largeIcon) {
    FileIconsGet(path, smallIcon, largeIcon, SystemIconSizes());
}

void FileIconsGet(const std::wstring& path, TUniqueIcon& smallIcon, TUniqueIcon& largeIcon,
                  const TIconSizes& sizes) {
    ComEnsure();
    const std::wstring file = IconSource(path);
    TIconPair icons;
    if (!OwnIconsGet(file, icons, sizes))
        TypeIconsGet(file, TypeIconEntry(file), icons, sizes);
    largeIcon = std::move(icons.large);
    smallIcon = std::move(icons.small);
}

void TFileIconCache::SizesSet(const TIconSizes& sizes) {
    if (sizes == sizes_)
        return;
    sizes_ = sizes;
    types_.clear();
}

const TIconPair* TFileIconCache::Get(const std::wstring& path, TIconPair& own) {
    ComEnsure();
    const std::wstring file = IconSource(path);
    if (OwnIconsGet(file, own, sizes_))
        return nullptr;
    // Only the icon the type's own association entry names is the type's. What the shell answers
    // for a file of a type without one is that file's alone (a folder's own icon, the icon of a
    // shortcut to something that is no file, of an internet shortcut); a missing file is never
    // taken for its type.
    const DWORD attributes = ::GetFileAttributesW(file.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        const std::wstring key = TypeKey(file, attributes);
        auto found = types_.find(key);
        if (found == types_.end()) {
            TIconPair icons;
            EntryIconsGet(TypeIconEntry(file), icons, sizes_);
            found = types_.emplace(key, std::move(icons)).first;
        }
        if (found->second.large || found->second.small)
            return &found->second;
        // The type's entry gave nothing when it was first looked up.
        ShellIconsGet(file, own, sizes_);
        return nullptr;
    }
    TypeIconsGet(file, TypeIconEntry(file), own, sizes_);
    return nullptr;
}

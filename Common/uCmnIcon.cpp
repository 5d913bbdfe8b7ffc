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
    entries_.clear();
    shared_.clear();
}

namespace {

// Folders bound at most, so that an ordinary page of items from everywhere binds each folder
// once per screen and keeps none for long.
constexpr size_t FoldersKept = 16;

TComPtr<IUnknown> FolderBind(const std::wstring& folder) {
    TComPtr<IShellFolder> desktop;
    TComPtr<IUnknown> bound;
    LPITEMIDLIST pidl = nullptr;
    std::wstring name = folder;
    if (FAILED(::SHGetDesktopFolder(desktop.Put())) ||
        FAILED(desktop->ParseDisplayName(nullptr, nullptr, name.data(), nullptr, &pidl, nullptr)))
        return bound;
    desktop->BindToObject(pidl, nullptr, IID_IShellFolder, bound.PutVoid());
    ::CoTaskMemFree(pidl);
    return bound;
}

} // namespace

std::wstring TFileIconCache::ShellLocation(const std::wstring& file) {
    std::wstring name = PathName(file);
    const std::wstring folder = PathFolder(file);
    // A drive root has no folder to ask.
    if (name.empty() || folder.empty() || folder == file)
        return {};
    auto bound = folders_.find(folder);
    if (bound == folders_.end()) {
        if (folders_.size() >= FoldersKept)
            folders_.clear();
        bound = folders_.emplace(folder, FolderBind(folder)).first;
    }
    auto* shellFolder = static_cast<IShellFolder*>(bound->second.Get());
    if (!shellFolder)
        return {};
    LPITEMIDLIST child = nullptr;
    if (FAILED(
            shellFolder->ParseDisplayName(nullptr, nullptr, name.data(), nullptr, &child, nullptr)))
        return {};
    TComPtr<IExtractIconW> extract;
    LPCITEMIDLIST item = child;
    wchar_t location[MAX_PATH + 1] = {};
    int index = 0;
    UINT flags = 0;
    const bool given = SUCCEEDED(shellFolder->GetUIObjectOf(nullptr, 1, &item, IID_IExtractIconW,
                                                            nullptr, extract.PutVoid())) &&
                       extract->GetIconLocation(0, location, MAX_PATH, &index, &flags) == S_OK;
    ::CoTaskMemFree(child);
    // An icon of the file's own is never shared, and so never kept: kept, the icons of every file
    // ever shown would pile up for the window's life.
    if (!given || !location[0] || (flags & (GIL_NOTFILENAME | GIL_DONTCACHE | GIL_PERINSTANCE)) ||
        ::CompareStringOrdinal(location, -1, file.c_str(), -1, TRUE) == CSTR_EQUAL)
        return {};
    return std::wstring(location) + L"," + std::to_wstring(index);
}

const TIconPair* TFileIconCache::Get(const std::wstring& path, TIconPair& own) {
    ComEnsure();
    const std::wstring file = IconSource(path);
    if (OwnIconsGet(file, own, sizes_))
        return nullptr;
    // A missing file is never taken for its type.
    const DWORD attributes = ::GetFileAttributesW(file.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        TypeIconsGet(file, TypeIconEntry(file), own, sizes_);
        return nullptr;
    }
    const std::wstring type = TypeKey(file, attributes);
    auto entry = entries_.find(type);
    if (entry == entries_.end()) {
        // The association's entry, looked up once per type, stands for the file and index it
        // names when they give an icon.
        const std::wstring text = TypeIconEntry(file);
        std::wstring iconFile, key;
        int index = 0;
        if (IconEntryParse(text, iconFile, index)) {
            TIconPair icons;
            IconsExtract(iconFile, index, icons.large, icons.small, sizes_);
            if (icons.large || icons.small) {
                key = L"entry " + iconFile + L"," + std::to_wstring(index);
                shared_.try_emplace(key, std::move(icons));
            }
        }
        entry = entries_.emplace(type, key).first;
    }
    std::wstring key = entry->second;
    if (key.empty()) {
        // What the shell answers for the file: shared with every file it gives the same place.
        const std::wstring location = ShellLocation(file);
        if (location.empty()) {
            ShellIconsGet(file, own, sizes_);
            return nullptr;
        }
        key = L"shell " + location;
        if (shared_.find(key) == shared_.end())
            ShellIconsGet(file, shared_[key], sizes_);
    }
    const TIconPair& icons = shared_[key];
    return icons.large || icons.small ? &icons : nullptr;
}

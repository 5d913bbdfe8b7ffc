// The large and small icon of a file, a shortcut's target or a document type.
#include "uCmnIcon.h"

#include "uCmnError.h"
#include "uCmnFile.h"
#include "uCmnReg.h"
#include "uCmnStr.h"

#include <shellapi.h>

#include <cstdint>
#include <cstring>

namespace {

// ExtractIconExA writes garbage into both handles when it finds nothing (Wine): the handles
// count only when it reports at least one icon.
void IconsExtract(const std::string& file, int index, TUniqueIcon& largeIcon,
                  TUniqueIcon& smallIcon) {
    HICON lg = nullptr, sm = nullptr;
    const UINT n = ::ExtractIconExA(file.c_str(), index, &lg, &sm, 1);
    if (n == 0 || n == UINT_MAX)
        return;
    largeIcon.Reset(lg);
    smallIcon.Reset(sm);
}

bool IsBlankOrControl(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

} // namespace

bool IconEntryParse(const std::string& entry, std::string& file, int& index) {
    const size_t comma = entry.find(',');
    if (comma == std::string::npos || comma == 0)
        return false;
    size_t first = comma + 1, last = entry.size();
    while (first < last && IsBlankOrControl(entry[first]))
        ++first;
    while (last > first && IsBlankOrControl(entry[last - 1]))
        --last;
    index = StrToInt(entry.substr(first, last - first));
    file = entry.substr(0, comma);
    return true;
}

void FileIconsGet(const std::string& path, TUniqueIcon& smallIcon, TUniqueIcon& largeIcon) {
    std::string file = path;
    if (FileIsLink(path)) {
        std::string target, arguments;
        LinkResolve(path, target, arguments);
        if (!target.empty())
            file = target;
    }

    TUniqueIcon lg, sm;
    IconsExtract(file, 0, lg, sm);
    if (!lg && !sm) {
        const std::string className = RegStrRead(HKEY_CLASSES_ROOT, PathExtension(file), "");
        const std::string entry = RegStrRead(HKEY_CLASSES_ROOT, className + "\\DefaultIcon", "");
        std::string iconFile;
        int index = 0;
        if (IconEntryParse(entry, iconFile, index))
            IconsExtract(iconFile, index, lg, sm);
    }
    largeIcon = std::move(lg);
    smallIcon = std::move(sm);
    if (largeIcon || smallIcon)
        return;

    // The call writes the icon's source file back into its path argument.
    char buf[MAX_PATH + 1] = {};
    std::strncpy(buf, file.c_str(), MAX_PATH);
    WORD index = 0;
    largeIcon.Reset(::ExtractAssociatedIconA(::GetModuleHandleA(nullptr), buf, &index));
    if (largeIcon) {
        smallIcon.Reset(::CopyIcon(largeIcon.Get()));
        return;
    }

    // Wine's ExtractAssociatedIconA has nothing for documents; the shell's own icon for the path
    // keeps their rows from going blank.
    SHFILEINFOA info{};
    if (::SHGetFileInfoA(file.c_str(), 0, &info, sizeof(info), SHGFI_ICON | SHGFI_LARGEICON))
        largeIcon.Reset(info.hIcon);
    info = SHFILEINFOA{};
    if (::SHGetFileInfoA(file.c_str(), 0, &info, sizeof(info), SHGFI_ICON | SHGFI_SMALLICON))
        smallIcon.Reset(info.hIcon);
}

// A page's name, and items moved between pages.
#include "uOvPages.h"

#include "uCmnReg.h"
#include "uCmnRegStore.h"
#include "uCmnStr.h"
#include "uOvReg.h"
#include "uOvRegDef.h"

#include <windows.h>

namespace {

const HKEY Root = HKEY_CURRENT_USER;

std::wstring PageOwnKey(int32_t page) {
    return PageKeyPath(page) + L"\\" + OvKeyPageOwn;
}

std::wstring Trimmed(const std::wstring& text) {
    size_t first = 0, last = text.size();
    while (first < last && IsBlank(text[first]))
        ++first;
    while (last > first && IsBlank(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

} // namespace

std::wstring PageNameRead(int32_t page) {
    return RegStrReadOrEmpty(Root, PageOwnKey(page), OvValPageName);
}

TPageNameResult PageNameSet(int32_t page, int32_t pageTotal, const std::wstring& name,
                            std::wstring& stored) {
    stored = Trimmed(name);
    if (stored.empty()) {
        // Nothing of the page's own is left: the page key is as a page without a name has it.
        RegKeyDelete(Root, PageOwnKey(page));
        PageChangedTell(page);
        return TPageNameResult::Removed;
    }
    if (CharCount(stored) > OvPageNameMax)
        return TPageNameResult::TooLong;
    for (int32_t other = 1; other <= pageTotal; ++other)
        if (other != page && RegNameEqual(PageNameRead(other), stored))
            return TPageNameResult::Taken;
    RegStrWrite(Root, PageOwnKey(page), OvValPageName, stored);
    PageChangedTell(page);
    return TPageNameResult::Named;
}

std::wstring PageLabel(int32_t page, const std::wstring& name) {
    return L"[" + std::to_wstring(page) + (name.empty() ? L"" : L" " + name) + L"]";
}

std::wstring NumberedName(const std::wstring& name, int n) {
    const size_t dot = name.rfind(L'.');
    const std::wstring number = L" (" + std::to_wstring(n) + L")";
    if (dot == std::wstring::npos || dot == 0)
        return name + number;
    return name.substr(0, dot) + number + name.substr(dot);
}

std::wstring PageNameNumbered(const std::wstring& name, int n) {
    const std::wstring number = L" (" + std::to_wstring(n) + L")";
    std::wstring base = name;
    while (!base.empty() && CharCount(base) + number.size() > OvPageNameMax) {
        base.pop_back();
        if (!base.empty() && base.back() >= 0xD800 && base.back() <= 0xDBFF)
            base.pop_back();
    }
    return base + number;
}

std::wstring ItemMove(int32_t from, const std::wstring& name, int32_t to) {
    const std::wstring source = PageKeyPath(from), target = PageKeyPath(to);
    if (name.empty() || from == to || !RegValueExists(Root, source, name))
        return {};
    const std::wstring path = RegStrRead(Root, source, name);
    std::wstring moved = name;
    for (int n = 2; RegValueExists(Root, target, moved); ++n)
        moved = NumberedName(name, n);
    RegStrWrite(Root, target, moved, path);
    PageChangedTell(to);
    RegValueDelete(Root, source, name);
    PageChangedTell(from);
    return moved;
}

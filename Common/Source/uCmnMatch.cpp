// Finding a typed text inside names.
#include "uCmnMatch.h"

#include <windows.h>

namespace {

// The platform's mapping of `text`; the text itself when the platform refuses it (a lone
// surrogate, say), so that one odd name never hides the others.
std::wstring Mapped(std::wstring_view text, DWORD flags) {
    const int size = static_cast<int>(text.size());
    const int needed = ::LCMapStringEx(LOCALE_NAME_INVARIANT, flags, text.data(), size, nullptr, 0,
                                       nullptr, nullptr, 0);
    if (needed <= 0)
        return std::wstring(text);
    std::wstring mapped(static_cast<size_t>(needed), L'\0');
    const int written = ::LCMapStringEx(LOCALE_NAME_INVARIANT, flags, text.data(), size,
                                        mapped.data(), needed, nullptr, nullptr, 0);
    if (written <= 0)
        return std::wstring(text);
    mapped.resize(static_cast<size_t>(written));
    return mapped;
}

bool IsAscii(wchar_t c) {
    return c < 0x80;
}

} // namespace

std::wstring TextFold(std::wstring_view text) {
    std::wstring folded;
    folded.reserve(text.size());
    // Only the runs outside ASCII go through the width and kana mapping: it would widen ASCII,
    // and not every platform widens each ASCII sign the same way.
    for (size_t i = 0; i < text.size();) {
        if (IsAscii(text[i])) {
            folded += text[i++];
            continue;
        }
        size_t end = i;
        while (end < text.size() && !IsAscii(text[end]))
            ++end;
        folded += Mapped(text.substr(i, end - i), LCMAP_FULLWIDTH | LCMAP_KATAKANA);
        i = end;
    }
    bool ascii = true;
    for (wchar_t& c : folded) {
        if (c >= 0xFF01 && c <= 0xFF5E)
            c = static_cast<wchar_t>(c - 0xFF01 + 0x21);
        else if (c == 0x3000)
            c = L' ';
        if (c >= L'a' && c <= L'z')
            c = static_cast<wchar_t>(c - L'a' + L'A');
        else if (!IsAscii(c))
            ascii = false;
    }
    return ascii ? folded : Mapped(folded, LCMAP_UPPERCASE | LCMAP_LINGUISTIC_CASING);
}

// Finding a typed text inside names.
#include "uCmnMatch.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <vector>
#include <utility>

namespace {

bool IsAscii(wchar_t c) {
    return c < 0x80;
}

bool IsSurrogate(wchar_t c) {
    return c >= 0xD800 && c < 0xE000;
}

// What goes through the platform's width and kana mapping. Not ASCII: it would widen it, and
// not every platform widens each ASCII sign the same way. Not beyond the basic plane: Wine's
// widening takes mathematical, circled and Arabic mathematical letters there to plain ones. Not
// the spacing sound marks ゛ ゜: Wine widens them to the combining ones, which Unicode keeps apart.
bool IsWidened(wchar_t c) {
    return !IsAscii(c) && !IsSurrogate(c) && c != 0x309B && c != 0x309C;
}

// Unicode folds neither the dotless ı nor the dotted İ, whose lower and upper case are the
// plain i and I.
bool IsTurkicI(wchar_t c) {
    return c == 0x0130 || c == 0x0131;
}

// The hiragana beyond the basic plane, which the platform's kana mapping leaves as they are,
// and their katakana.
constexpr std::pair<char32_t, char32_t> SupplementaryKana[] = {
    {0x1B001, 0x1B121}, {0x1B11F, 0x1B122}, {0x1B132, 0x1B155},
    {0x1B150, 0x1B164}, {0x1B151, 0x1B165}, {0x1B152, 0x1B166}};

// The half-width sound marks are Unicode's combining ones in half width: so taken, composition
// joins them to their kana, whatever the platform would widen them to.
wchar_t CombiningIfSoundMark(wchar_t c) {
    return c == 0xFF9E ? 0x3099 : c == 0xFF9F ? 0x309A : c;
}

// The low surrogate of the katakana for the hiragana `high`, `low`; `low` for any other pair.
wchar_t KatakanaLow(wchar_t high, wchar_t low) {
    const char32_t c = 0x10000 + ((static_cast<char32_t>(high) - 0xD800) << 10) + (low - 0xDC00);
    for (const auto& [hiragana, katakana] : SupplementaryKana)
        if (c == hiragana)
            return static_cast<wchar_t>(0xDC00 + ((katakana - 0x10000) & 0x3FF));
    return low;
}

// The platform's mapping of `text`; the text itself when the platform refuses it (a lone
// surrogate, say), so that one odd name never hides the others.
std::wstring Mapped(std::wstring_view text, DWORD flags) {
    const int size = static_cast<int>(text.size());
    // Case and width mappings keep or shorten the text: one call is nearly always enough.
    std::wstring mapped(text.size(), L'\0');
    int written = ::LCMapStringEx(LOCALE_NAME_INVARIANT, flags, text.data(), size, mapped.data(),
                                  size, nullptr, nullptr, 0);
    if (written <= 0 && ::GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
        const int needed = ::LCMapStringEx(LOCALE_NAME_INVARIANT, flags, text.data(), size, nullptr,
                                           0, nullptr, nullptr, 0);
        mapped.resize(static_cast<size_t>(std::max(needed, 0)));
        written = ::LCMapStringEx(LOCALE_NAME_INVARIANT, flags, text.data(), size, mapped.data(),
                                  needed, nullptr, nullptr, 0);
    }
    if (written <= 0)
        return std::wstring(text);
    mapped.resize(static_cast<size_t>(written));
    return mapped;
}

// The composed form (NFC); the text itself when the platform refuses it. NormalizeString is
// kernel32's since Vista: normaliz.dll only forwards to it, on Windows as under Wine.
std::wstring Composed(std::wstring_view text) {
    const int size = static_cast<int>(text.size());
    // Most names are composed already, and Wine's check costs a tenth of its composition.
    if (::IsNormalizedString(NormalizationC, text.data(), size))
        return std::wstring(text);
    // Composition grows a text at most threefold; the platform says when its guess is short.
    int guess = size * 3;
    for (int attempt = 0; attempt < 4 && guess > 0; ++attempt) {
        std::wstring composed(static_cast<size_t>(guess), L'\0');
        const int written =
            ::NormalizeString(NormalizationC, text.data(), size, composed.data(), guess);
        if (written > 0) {
            composed.resize(static_cast<size_t>(written));
            return composed;
        }
        if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER)
            break;
        guess = -written;
    }
    return std::wstring(text);
}

// Widths and kana types made one, in composed form.
std::wstring WidthAndKanaFolded(std::wstring_view text) {
    std::wstring mapped;
    mapped.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        if (IsWidened(text[i])) {
            std::wstring run;
            for (; i < text.size() && IsWidened(text[i]); ++i)
                run += CombiningIfSoundMark(text[i]);
            mapped += Mapped(run, LCMAP_FULLWIDTH | LCMAP_KATAKANA);
        } else if (text[i] == 0xD82C && i + 1 < text.size() &&
                   IS_SURROGATE_PAIR(text[i], text[i + 1])) {
            mapped += text[i];
            mapped += KatakanaLow(text[i], text[i + 1]);
            i += 2;
        } else {
            mapped += text[i++];
        }
    }
    std::wstring folded = Composed(mapped);
    for (wchar_t& c : folded)
        if (c >= 0xFF01 && c <= 0xFF5E)
            c = static_cast<wchar_t>(c - 0xFF01 + 0x21);
        else if (c == 0x3000)
            c = L' ';
    return folded;
}

// Upper case alone leaves apart what only lower case joins (ϴ and θ, capital sharp s ẞ and ß),
// so lower case first.
std::wstring CaseFolded(std::wstring_view text) {
    std::wstring cased;
    cased.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        if (IsTurkicI(text[i])) {
            cased += text[i++];
            continue;
        }
        size_t end = i;
        while (end < text.size() && !IsTurkicI(text[end]))
            ++end;
        cased += Mapped(Mapped(text.substr(i, end - i), LCMAP_LOWERCASE | LCMAP_LINGUISTIC_CASING),
                        LCMAP_UPPERCASE | LCMAP_LINGUISTIC_CASING);
        i = end;
    }
    return cased;
}

void AsciiUpper(std::wstring& text) {
    for (wchar_t& c : text)
        if (c >= L'a' && c <= L'z')
            c = static_cast<wchar_t>(c - L'a' + L'A');
}

} // namespace

std::wstring TextFold(std::wstring_view text) {
    std::wstring folded = std::all_of(text.begin(), text.end(), IsAscii) ? std::wstring(text)
                                                                         : WidthAndKanaFolded(text);
    if (std::all_of(folded.begin(), folded.end(), IsAscii)) {
        AsciiUpper(folded);
        return folded;
    }
    return CaseFolded(folded);
}

TSortKey::TSortKey(std::wstring_view text) {
    const int size = static_cast<int>(text.size());
    std::vector<unsigned char> key(static_cast<size_t>(size) * 4 + 16);
    int written =
        ::LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_SORTKEY, text.data(), size,
                       reinterpret_cast<LPWSTR>(key.data()), static_cast<int>(key.size()));
    if (written == 0) {
        const int needed =
            ::LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_SORTKEY, text.data(), size, nullptr, 0);
        key.resize(static_cast<size_t>(std::max(needed, 0)));
        written = needed > 0 ? ::LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_SORTKEY, text.data(), size,
                                              reinterpret_cast<LPWSTR>(key.data()), needed)
                             : 0;
    }
    size_ = static_cast<size_t>(std::max(written, 0));
    if (size_ == 0)
        return;
    // One allocation for the bytes and their count of owners.
    auto bytes = std::make_shared<unsigned char[]>(size_);
    std::copy_n(key.begin(), size_, bytes.get());
    // Bytes beyond the key's end count as 0, below every byte a key holds before its end.
    const auto part = [&](size_t from) {
        uint64_t value = 0;
        for (size_t i = from; i < from + 8; ++i)
            value = (value << 8) | (i < size_ ? bytes[i] : 0u);
        return value;
    };
    head_ = part(0);
    next_ = part(8);
    bytes_ = std::move(bytes);
}

int TSortKey::Rest(const TSortKey& other) const noexcept {
    const size_t common = std::min(size_, other.size_);
    if (common > 16) {
        if (const int order = std::memcmp(bytes_.get() + 16, other.bytes_.get() + 16, common - 16))
            return order;
    }
    return size_ < other.size_ ? -1 : size_ > other.size_ ? 1 : 0;
}

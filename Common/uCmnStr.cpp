// String lists and numbers in text.
#include "uCmnStr.h"

#include "uCmnError.h"

#include <windows.h>

std::vector<std::wstring> CommaTextSplit(const std::wstring& text) {
    std::vector<std::wstring> list;
    const size_t n = text.size();
    size_t p = 0;
    auto skipBlanks = [&] {
        while (p < n && IsBlank(text[p]))
            ++p;
    };
    skipBlanks();
    while (p < n) {
        std::wstring entry;
        if (text[p] == L'"') {
            ++p;
            while (p < n) {
                if (text[p] != L'"') {
                    entry += text[p++];
                } else if (p + 1 < n && text[p + 1] == L'"') {
                    entry += L'"';
                    p += 2;
                } else {
                    ++p;
                    break;
                }
            }
        } else {
            const size_t start = p;
            while (p < n && !IsBlank(text[p]) && text[p] != L',')
                ++p;
            entry = text.substr(start, p - start);
        }
        list.push_back(std::move(entry));
        skipBlanks();
        if (p < n && text[p] == L',') {
            ++p;
            skipBlanks();
            // An empty entry between two commas; a comma at the very end adds nothing.
            while (p < n && text[p] == L',') {
                list.emplace_back();
                ++p;
                skipBlanks();
            }
        }
    }
    return list;
}

int32_t StrToInt(const std::wstring& text) {
    size_t b = 0, e = text.size();
    while (b < e && IsBlank(text[b]))
        ++b;
    while (e > b && IsBlank(text[e - 1]))
        --e;
    size_t p = b;
    bool negative = false;
    if (p < e && (text[p] == L'+' || text[p] == L'-'))
        negative = text[p++] == L'-';
    int64_t value = 0;
    bool ok = p < e;
    for (; ok && p < e; ++p) {
        if (text[p] < L'0' || text[p] > L'9') {
            ok = false;
            break;
        }
        value = value * 10 + (text[p] - L'0');
        if (value > 2147483648LL)
            ok = false;
    }
    if (ok && (negative ? -value : value) >= INT32_MIN && (negative ? -value : value) <= INT32_MAX)
        return static_cast<int32_t>(negative ? -value : value);
    throw EConvertError(FormatMessageText(L"'%s' は整数ではありません", text));
}

const std::wstring& ListAt(const std::vector<std::wstring>& list, int index) {
    if (index < 0 || static_cast<size_t>(index) >= list.size())
        throw EListError(
            FormatMessageText(L"リストのインデックスが範囲を超えています (%d)", index));
    return list[static_cast<size_t>(index)];
}

bool SameText(std::wstring_view a, std::wstring_view b) {
    // Letter case folded one character for one, equal texts have equal lengths.
    return a.size() == b.size() &&
           ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                  static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

size_t CharCount(std::wstring_view text) {
    size_t count = 0;
    for (wchar_t c : text)
        count += c < 0xDC00 || c > 0xDFFF;
    return count;
}

std::wstring TextShortened(const std::wstring& text, size_t most) {
    size_t count = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] >= 0xDC00 && text[i] <= 0xDFFF)
            continue;
        if (++count > most)
            return text.substr(0, i) + L"…";
    }
    return text;
}

// String lists and numbers in text: the comma-text rule and whole-number conversion.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Splits a comma text: entries are separated by ","; outside double quotes a blank or control
// character also ends an entry, and blanks and control characters between entries are skipped;
// an entry may stand in double quotes (a doubled quote inside stands for one); two adjacent
// commas give an empty entry; a "," at the very end adds none.
std::vector<std::wstring> CommaTextSplit(const std::wstring& text);

// A whole number in decimal with an optional sign, blanks and control characters around it
// ignored. Raises EConvertError "'%s' は整数ではありません" for anything else, out-of-range
// numbers included.
int32_t StrToInt(const std::wstring& text);
// The two texts are alike letter case aside, as the file system compares names (ordinal).
bool SameText(std::wstring_view a, std::wstring_view b);

// The entry at `index`, or EListError "リストのインデックスが範囲を超えています (%d)".
const std::wstring& ListAt(const std::vector<std::wstring>& list, int index);

// Characters as the user counts them: a pair of surrogates is one.
size_t CharCount(std::wstring_view text);
// The text cut to `most` characters with "…" after them when it is longer; a pair of surrogates is
// never cut in two. For a name in a caption or a message box, which must not grow without end.
std::wstring TextShortened(const std::wstring& text, size_t most);

// Blanks and control characters: every code unit up to and including the space. Everything
// above it, any script's letters included, is text.
inline bool IsBlank(wchar_t c) {
    return c <= L' ';
}

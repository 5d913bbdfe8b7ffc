// Finding a typed text inside names, letter case (every script), width and kana type aside.
#pragma once

#include <string>
#include <string_view>

// The text in the one form that matching compares: full-width ASCII forms and the ideographic
// space as ASCII, half-width katakana as full-width (voiced marks joined), hiragana as katakana,
// composed (NFC, so a name stored decomposed matches as typed), then lower and then upper case
// by the linguistic rules (Greek final sigma, letters beyond the basic plane), with ı and İ kept
// apart from i and I as Unicode's case folding keeps them. Fold each name once and each typed
// text once; a match is then a plain search.
std::wstring TextFold(std::wstring_view text);

// True when `foldedPart` occurs in `folded`, both from TextFold; an empty part occurs everywhere.
inline bool TextFoldedContains(std::wstring_view folded, std::wstring_view foldedPart) {
    return folded.find(foldedPart) != std::wstring_view::npos;
}

// The platform's sort key of the text (LCMapStringW, LCMAP_SORTKEY, the user's locale): two
// texts' keys compared as bytes order them as lstrcmpW does, without the comparison's look-ups.
// Empty when the platform makes none.
std::string TextSortKey(std::wstring_view text);

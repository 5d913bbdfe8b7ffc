// Finding a typed text inside names, letter case (every script), width and kana type aside.
#pragma once

#include <cstdint>
#include <memory>
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

// The platform's sort key of a text (LCMapStringW, LCMAP_SORTKEY, the user's locale), made once
// and compared many times: two texts' keys order them as lstrcmpW does, without the comparison's
// look-ups. The first sixteen bytes, held as two numbers, settle most comparisons; the bytes are
// shared by copies, so a row copied from the search's index costs no copy of its key. Empty when
// the platform makes none.
class TSortKey {
  public:
    TSortKey() = default;
    explicit TSortKey(std::wstring_view text);

    bool Empty() const noexcept { return size_ == 0; }
    // Less than, equal to or greater than 0 as this text sorts before, with or after the other's.
    int Compare(const TSortKey& other) const noexcept {
        if (head_ != other.head_)
            return head_ < other.head_ ? -1 : 1;
        if (next_ != other.next_)
            return next_ < other.next_ ? -1 : 1;
        return Rest(other);
    }

  private:
    int Rest(const TSortKey& other) const noexcept;

    std::shared_ptr<const unsigned char[]> bytes_;
    size_t size_ = 0;
    uint64_t head_ = 0, next_ = 0;
};

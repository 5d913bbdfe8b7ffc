// What belongs to a page as a whole and what goes between pages: a page's name, and items moved
// from one page to another.
#pragma once

#include <cstdint>
#include <string>

// Longest page name, in characters (a character beyond the basic plane is one).
inline constexpr size_t OvPageNameMax = 64;

// The page's name; empty for a page without one (or with a name value of another type).
std::wstring PageNameRead(int32_t page);

enum class TPageNameResult {
    Named,
    // The name, its blanks trimmed, was empty: the page has no name now.
    Removed,
    // Longer than OvPageNameMax once trimmed: nothing written.
    TooLong,
    // Another of the pages 1 to pageTotal has that name, letter case aside: nothing written.
    Taken,
};
// Names page `page` of pageTotal: `name` with the blanks and control characters at both ends
// trimmed. The name is stored beside the page's items, so the page's values stay its folder and
// its items and a page move carries the name along. `stored` receives the name as stored.
TPageNameResult PageNameSet(int32_t page, int32_t pageTotal, const std::wstring& name,
                            std::wstring& stored);

// How a search's result names its page: "[2 仕事]", or "[2]" for a page without a name.
std::wstring PageLabel(int32_t page, const std::wstring& name);

// `name` with " (n)" before its extension: report.txt, 2 gives report (2).txt; Memo gives
// Memo (2). A name that is all extension (".profile") takes it at the end.
std::wstring NumberedName(const std::wstring& name, int n);

// A page's name with " (n)" after it, the name cut first so that the whole stays within
// OvPageNameMax characters (a pair of surrogates never cut in two): 仕事, 2 gives 仕事 (2).
std::wstring PageNameNumbered(const std::wstring& name, int n);

// Moves the item `name` of page `from` to page `to`, its path unchanged, under its own name or,
// when the target has that name, the first numbered name it has not (NumberedName from 2 on);
// never over another item. The item is written on the target before it leaves the source, so a
// move cut short leaves it on both pages, never on neither. Returns the name it has on the
// target; empty when there was no such item (or the pages are one). The store refuses nothing on
// a folder page: the commands test PageFolderRead first.
std::wstring ItemMove(int32_t from, const std::wstring& name, int32_t to);

// A page's identity while the program runs, whatever number the page has now: the one place that
// decides which page a holder of a page means.
#pragma once

#include <compare>
#include <cstdint>

// A page's identity while the program runs. It stays with its page through every renumbering the
// store makes itself (a page moved back or forward, an earlier page deleted), and stands for no
// page once its page is gone, or once the pages changed in a way the store cannot follow (a
// repair, an import, a removal that failed part-way). What outlives a command (the rows, the
// Ctrl+X mark, a folder page's writes still to come, the rename editor's item, a drag) holds its
// page by identity and asks for the number when it acts: the store is the one place that decides
// which page that is. Used on the thread that writes the store, only.
struct TPageId {
    // 0 stands for no page.
    uint64_t value = 0;
    explicit operator bool() const noexcept { return value != 0; }
    auto operator<=>(const TPageId&) const = default;
};
// The identity of the page numbered `page` now; none for a number below 1.
TPageId PageIdOf(int32_t page);
// The number the page has now; 0 when it is gone.
int32_t PageNumberOf(TPageId page);

// For the store's own units, as their renumbering is made: page `page` gone and every later page
// moved down by one; pages `page` and `page` + 1 changed places; every identity ended (the pages
// changed in a way the store cannot follow).
void PageIdsRemoved(int32_t page);
void PageIdsSwapped(int32_t page);
void PageIdsEnd();

// A page's identity while the program runs.
#include "uOvPageId.h"

#include <unordered_map>
#include <utility>
#include <vector>

namespace {

// The pages' identities by number (less one), and the numbers by identity. An identity is never
// given twice, so one that stood for a page gone stands for none ever after.
struct TPageIds {
    std::vector<uint64_t> byNumber;
    std::unordered_map<uint64_t, int32_t> numbers;
    uint64_t last = 0;

    void Renumbered() {
        numbers.clear();
        for (size_t i = 0; i < byNumber.size(); ++i)
            numbers[byNumber[i]] = static_cast<int32_t>(i + 1);
    }
};

TPageIds& PageIds() {
    static TPageIds ids;
    return ids;
}

} // namespace

TPageId PageIdOf(int32_t page) {
    if (page < 1)
        return {};
    TPageIds& ids = PageIds();
    while (ids.byNumber.size() < static_cast<size_t>(page)) {
        ids.byNumber.push_back(++ids.last);
        ids.numbers[ids.last] = static_cast<int32_t>(ids.byNumber.size());
    }
    return {ids.byNumber[static_cast<size_t>(page - 1)]};
}

int32_t PageNumberOf(TPageId page) {
    const TPageIds& ids = PageIds();
    const auto found = ids.numbers.find(page.value);
    return found == ids.numbers.end() ? 0 : found->second;
}

void PageIdsRemoved(int32_t page) {
    TPageIds& ids = PageIds();
    if (page < 1 || static_cast<size_t>(page) > ids.byNumber.size())
        return;
    ids.byNumber.erase(ids.byNumber.begin() + (page - 1));
    ids.Renumbered();
}

void PageIdsSwapped(int32_t page) {
    PageIdOf(page + 1);
    TPageIds& ids = PageIds();
    std::swap(ids.byNumber[static_cast<size_t>(page - 1)], ids.byNumber[static_cast<size_t>(page)]);
    ids.Renumbered();
}

void PageIdsEnd() {
    TPageIds& ids = PageIds();
    ids.byNumber.clear();
    ids.numbers.clear();
}

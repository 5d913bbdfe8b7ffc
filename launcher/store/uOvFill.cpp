// A folder page's items written into the store a slice at a time.
#include "uOvFill.h"

#include "uCmnReg.h"

#include <windows.h>

#include <algorithm>

namespace {

double Now() {
    LARGE_INTEGER count{}, frequency{};
    ::QueryPerformanceCounter(&count);
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(count.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

} // namespace

TPageFill::TPageFill(std::function<void()> listed) : listed_(std::move(listed)) {}

TPageFill::~TPageFill() {
    for (TListing& listing : listings_)
        if (listing.thread.joinable())
            listing.thread.join();
}

void TPageFill::List(int32_t page, const std::wstring& folder) {
    TListing& listing = listings_.emplace_back();
    listing.page = PageIdOf(page);
    // A thread the system will not start leaves no listing behind that would never end: the
    // page, bound already, is listed by its next refresh.
    struct TUnstarted {
        std::list<TListing>& listings;
        bool started = false;
        ~TUnstarted() {
            if (!started)
                listings.pop_back();
        }
    } unstarted{listings_};
    listing.thread = std::thread([this, &listing, page, folder] {
        TPageEntries items;
        TWrites writes;
        // A folder that cannot be listed now gives no items: the page's next refresh tells why.
        try {
            items = PageFolderItems(page, folder);
            for (TPageEntry& item : items) {
                writes.emplace_back(item.name, item.path);
                item.order = TSortKey(item.name);
                // The row needs the record's figures only.
                std::wstring().swap(item.record.Name);
            }
        } catch (...) {
            items.clear();
            writes.clear();
        }
        {
            std::lock_guard lock(mutex_);
            listing.items = std::move(items);
            listing.writes = std::move(writes);
            listing.done = true;
        }
        if (listed_)
            listed_();
    });
    unstarted.started = true;
}

std::vector<std::pair<int32_t, TPageEntries>> TPageFill::Listed() {
    std::vector<std::pair<int32_t, TPageEntries>> listed;
    for (auto listing = listings_.begin(); listing != listings_.end();) {
        {
            std::lock_guard lock(mutex_);
            if (!listing->done) {
                ++listing;
                continue;
            }
        }
        if (listing->thread.joinable())
            listing->thread.join();
        if (const int32_t page = PageNumberOf(listing->page); page > 0) {
            for (TPageEntry& item : listing->items)
                item.page = page;
            if (!listing->writes.empty())
                jobs_.push_back({listing->page, std::move(listing->writes)});
            listed.emplace_back(page, std::move(listing->items));
        }
        listing = listings_.erase(listing);
    }
    return listed;
}

bool TPageFill::Listing(int32_t page) const {
    const TPageId id = PageIdOf(page);
    return std::any_of(listings_.begin(), listings_.end(),
                       [id](const TListing& listing) { return listing.page == id; });
}

bool TPageFill::Busy() const {
    return !jobs_.empty() || !listings_.empty();
}

bool TPageFill::Step(double budgetMs) {
    const double end = Now() + budgetMs;
    while (!jobs_.empty()) {
        TJob& job = jobs_.front();
        // Written to the page as numbered now; one gone leaves the rest to its next refresh.
        const int32_t page = PageNumberOf(job.page);
        if (page == 0) {
            jobs_.pop_front();
            continue;
        }
        const std::wstring key = PageKeyPath(page);
        // Several values between two looks at the clock: a write takes a fraction of a
        // millisecond.
        while (!job.items.empty()) {
            for (int i = 0; i < 16 && !job.items.empty(); ++i) {
                RegStrWrite(HKEY_CURRENT_USER, key, job.items.front().first,
                            job.items.front().second);
                job.items.pop_front();
            }
            if (Now() >= end && !job.items.empty())
                return true;
        }
        JobEnd(job);
        if (Now() >= end)
            return !jobs_.empty();
    }
    return false;
}

void TPageFill::JobEnd(TJob& job) {
    const int32_t page = PageNumberOf(job.page);
    jobs_.pop_front();
    // Told once the page is whole: the search reads it then.
    PageChangedTell(page);
}

void TPageFill::Finish() {
    for (TListing& listing : listings_)
        if (listing.thread.joinable())
            listing.thread.join();
    Listed();
    while (Step(1000)) {
    }
}

size_t TPageFill::Pending(int32_t page) const {
    const TPageId id = PageIdOf(page);
    size_t pending = 0;
    for (const TJob& job : jobs_)
        if (job.page == id)
            pending += job.items.size();
    return pending;
}

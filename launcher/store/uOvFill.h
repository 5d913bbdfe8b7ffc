// A folder page's items listed on a thread and written into the store a slice at a time, so that
// a folder of thousands of files dropped as a new page never holds the window. The page shows its
// folder's listing whole as soon as it is listed; the store, a mirror of that listing, catches up
// in slices of the window's idle time (a timer). A start cut short is no loss: the page is bound
// to its folder first, and its next refresh writes what is missing, as it does for every folder
// page.
#pragma once

#include "uOvReg.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <list>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

// The pages are held by identity (TPageId): a page moved or an earlier page deleted during the
// listing or the writes takes its writes along, and a page gone (or every page changed: a repair,
// an import) leaves the rest to the page's next refresh. Used on the window's thread; each lister
// thread touches only its own listing until it is done.
class TPageFill {
  public:
    // `listed` is called on a lister's thread when a folder's listing is done (List); the window
    // posts itself a message there and takes it with Listed.
    explicit TPageFill(std::function<void()> listed = {});
    // Waits for the listings under way (each at most one folder's listing) and drops them.
    ~TPageFill();
    TPageFill(const TPageFill&) = delete;
    TPageFill& operator=(const TPageFill&) = delete;

    // Lists `folder`, the folder of `page` (bound already), on a thread of its own, so that a
    // folder of thousands of files holds the window for no part of its listing either.
    void List(int32_t page, const std::wstring& folder);
    // The listings done since: each with its page as numbered now and its items, whose writing
    // has started. The listing of a page gone meanwhile is dropped: the page's next refresh lists
    // it again.
    std::vector<std::pair<int32_t, TPageEntries>> Listed();
    // The page's folder is being listed.
    bool Listing(int32_t page) const;

    // Writes for about `budgetMs`; true while items remain.
    bool Step(double budgetMs);
    // Waits for the listings and writes what remains, at once (the program closing).
    void Finish();
    bool Busy() const;
    // The items of `page` still to be written.
    size_t Pending(int32_t page) const;

  private:
    using TWrites = std::deque<std::pair<std::wstring, std::wstring>>;
    // The items of a folder page to be written: each under its name, as the folder's listing
    // makes them (the first listed of two that share a name).
    struct TJob {
        TPageId page;
        TWrites items;
    };
    // A listing and its thread; `page` is the window's thread's, the rest the lister's until it is
    // done: the rows' items with their names' sort keys, and the same as writes, so that the
    // window's thread copies and compares nothing.
    struct TListing {
        TPageId page;
        TPageEntries items;
        TWrites writes;
        bool done = false;
        std::thread thread;
    };

    void JobEnd(TJob& job);

    std::function<void()> listed_;
    std::deque<TJob> jobs_;
    // A list: each listing's thread writes into its own node, which never moves.
    std::list<TListing> listings_;
    mutable std::mutex mutex_;
};

// The search's index: every page's items in memory, their names folded for matching. It follows
// the store: every page a store operation changes is read from the store again before the index
// is next used, and nothing else feeds it.
//
// The pages are read on a thread of the index's own (the reader), so the window never waits for
// a whole tree: Build asks for every page, and each page comes in as soon as it is read. A page
// changed after it came in is read again on the window's thread at its next use, as one page; a
// page still on its way is asked for again. Until every page has come in, Match finds in the
// pages read so far and Whole says so.
#pragma once

#include "uCmnFile.h"
#include "uCmnMatch.h"
#include "uOvReg.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// One item of the index: what the store holds, the name as the platform's sort key (the order
// lstrcmpW gives, compared as bytes), and what the file system last answered for the path. The
// name folded for matching is the page's (TFoldedNames).
struct TIndexItem {
    TItemTextPtr text;
    const std::wstring& Name() const noexcept { return text->name; }
    const std::wstring& Path() const noexcept { return text->path; }
    TSortKey order;
    FindRecord record;
    bool found = false;
    // The path has been looked up (by a search that showed it).
    bool looked = false;
    // Its place among every item of the index by name (while the order by name is made).
    uint32_t rank = 0;
};

// A page's names folded once (TextFold), one after another in one text: a match walks them in a
// row of memory, not through every item's record (some 3 ms at 50,000 items).
class TFoldedNames {
  public:
    void Add(std::wstring_view folded) {
        text_.append(folded);
        ends_.push_back(text_.size());
    }
    size_t Size() const noexcept { return ends_.size(); }
    std::wstring_view At(size_t item) const noexcept {
        const size_t begin = item == 0 ? 0 : ends_[item - 1];
        return std::wstring_view(text_).substr(begin, ends_[item] - begin);
    }

  private:
    std::wstring text_;
    // Where each name ends in `text_`.
    std::vector<size_t> ends_;
};

// A page as the reader read it from the store.
struct TIndexPageRead {
    std::vector<TIndexItem> items;
    TFoldedNames folded;
    // The page's name.
    std::wstring name;
};

// A match: the item's page and its position among that page's items.
struct TIndexHit {
    int32_t page = 0;
    size_t item = 0;
};

class TIndexReader;

// Pages are counted from 1. Until it is built the index holds nothing and hears nothing, so it
// costs nothing while no search was ever opened. Used from one thread (the window's), which is
// also the thread that writes the store.
class TItemIndex : private TPageStoreListener {
  public:
    // `arrived` is called on the reader's thread after each page it read, which then waits to be
    // taken (Take). The window posts itself a message there.
    explicit TItemIndex(std::function<void()> arrived = {});
    ~TItemIndex();
    TItemIndex(const TItemIndex&) = delete;
    TItemIndex& operator=(const TItemIndex&) = delete;

    bool Built() const noexcept { return built_; }
    // Asks for every page of the store afresh; what was read before is forgotten, and every path
    // is looked up again when a search next shows it.
    void Build();
    // Forgets everything and stops the reader; nothing is heard until the next Build.
    void Clear();
    // Takes the pages the reader has read since; true when any came in (or failed to, and is to
    // be read here at its next use).
    bool Take();
    // Every page had come in by the last Take (Match takes first). It takes nothing itself, so
    // it speaks for the pages the last Match saw: a page that arrives between the two is the next
    // Take's news, not missing from results that claim to be whole.
    bool Whole() const;
    // Waits until every page has come in.
    void Wait();

    // The pages as the store holds them now, once every page has come in.
    int32_t PageCount();
    size_t ItemCount();
    // The page's items in store order.
    const std::vector<TIndexItem>& PageItems(int32_t page);
    const TIndexItem& Item(const TIndexHit& hit) const {
        return pages_[static_cast<size_t>(hit.page - 1)].items[hit.item];
    }
    // The page's name as the store held it when the page was read.
    const std::wstring& PageName(int32_t page) const {
        return pages_[static_cast<size_t>(page - 1)].name;
    }

    // The order of a match's hits: page by page in store order, or by name as the list's sort by
    // its name column orders them (sort keys, up or down; equal names in store order), so that
    // results shown sorted by name need no sort.
    enum class TOrder { Store, NameUp, NameDown };
    // The items whose name contains `text` (TextFold on both sides), of the pages come in so far,
    // in store order.
    std::vector<TIndexHit> Match(const std::wstring& text);
    // The places in `hits` (the last Match's, in store order) taken in `order`, first to last: the
    // results made in store order, where the items lie in a row in memory, and shown in this one.
    std::vector<size_t> Ordered(const std::vector<TIndexHit>& hits, TOrder order);
    // The hit's item, its path looked up the first time a search shows it: the item's record and
    // whether it was found.
    const TIndexItem& Looked(const TIndexHit& hit);

  private:
    enum class TPageState { Unread, Stale, Fresh };
    struct TIndexPage {
        std::vector<TIndexItem> items;
        TFoldedNames folded;
        std::wstring name;
        TPageState state = TPageState::Unread;
        // The reader's read of the page that is waited for; 0 for none.
        uint64_t wanted = 0;
    };

    void PageChanged(int32_t page) override;
    void PageRemoved(int32_t page) override;
    void PagesChanged() override;
    // Every page of the store asked for, none of them read.
    void PagesAsk();
    void PageAsk(size_t slot);
    // Takes what came in, then reads the changed pages here.
    void Fresh();
    // Puts a read page in place, keeping what the file system answered for the items that kept
    // their name and path.
    void PagePut(TIndexPage& page, TIndexPageRead read);

    // Every item of the pages come in given its rank by name up (equal names in store order);
    // made at the first match by name after a page came in or went.
    void ByNameMake();

    std::vector<TIndexPage> pages_;
    // By rank: whether the name equals the one before it.
    std::vector<bool> sameAsBefore_;
    bool byNameMade_ = false;
    std::unique_ptr<TIndexReader> reader_;
    uint64_t asked_ = 0;
    bool built_ = false;
};

// A page's items as the index holds them, read from the store: names folded and sort keys made.
// What the reader does for each page, on its thread.
TIndexPageRead IndexPageRead(int32_t page);

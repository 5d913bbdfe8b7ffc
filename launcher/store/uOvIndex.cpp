// The search's index of every page's items, and the thread that reads the pages for it.
#include "uOvIndex.h"

#include "uCmnMatch.h"
#include "uOvPages.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <numeric>
#include <thread>
#include <unordered_map>
#include <utility>

TIndexPageRead IndexPageRead(int32_t page) {
    TPageEntries entries;
    PageItemsRead(page, entries);
    TIndexPageRead read;
    read.name = PageNameRead(page);
    read.items.resize(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        TIndexItem& item = read.items[i];
        read.folded.Add(TextFold(entries[i].name));
        item.order = TSortKey(entries[i].name);
        item.text = ItemTextMake(std::move(entries[i].name), std::move(entries[i].path));
    }
    return read;
}

// The reader: one thread that reads the pages asked for, in the order asked, and keeps them until
// the window's thread takes them. It touches the store only to read, and nothing of the window.
class TIndexReader {
  public:
    struct TRead {
        int32_t page = 0;
        uint64_t stamp = 0;
        TIndexPageRead content;
        bool failed = false;
    };

    explicit TIndexReader(std::function<void()> arrived) : arrived_(std::move(arrived)) {}
    ~TIndexReader() {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
            asked_.clear();
        }
        wake_.notify_all();
        // A page being read is finished first: at most one page's read.
        if (thread_.joinable())
            thread_.join();
    }
    TIndexReader(const TIndexReader&) = delete;
    TIndexReader& operator=(const TIndexReader&) = delete;

    void Ask(int32_t page, uint64_t stamp) {
        {
            std::lock_guard lock(mutex_);
            asked_.push_back({page, stamp});
            if (!thread_.joinable())
                thread_ = std::thread([this] { Run(); });
        }
        wake_.notify_all();
    }
    // Nothing asked before is read any more (a read under way is still handed over, and its
    // stamp tells it apart).
    void Forget() {
        std::lock_guard lock(mutex_);
        asked_.clear();
        done_.clear();
    }
    std::vector<TRead> Take() {
        std::lock_guard lock(mutex_);
        return std::exchange(done_, {});
    }
    // Waits until a read page waits to be taken; false when the reader has nothing left to read
    // and nothing read.
    bool Await() {
        std::unique_lock lock(mutex_);
        came_.wait(lock, [this] { return !done_.empty() || (asked_.empty() && !reading_); });
        return !done_.empty();
    }

  private:
    struct TAsked {
        int32_t page;
        uint64_t stamp;
    };

    void Run() {
        std::unique_lock lock(mutex_);
        for (;;) {
            wake_.wait(lock, [this] { return stop_ || !asked_.empty(); });
            if (stop_)
                return;
            const TAsked asked = asked_.front();
            asked_.pop_front();
            reading_ = true;
            lock.unlock();
            TRead read{asked.page, asked.stamp, {}, false};
            // A page the store cannot read now (its key going while it is read, say) is read
            // again on the window's thread at its next use, where an error is told as ever.
            try {
                read.content = IndexPageRead(asked.page);
            } catch (...) {
                read.failed = true;
            }
            lock.lock();
            reading_ = false;
            if (stop_)
                return;
            done_.push_back(std::move(read));
            came_.notify_all();
            if (arrived_) {
                lock.unlock();
                arrived_();
                lock.lock();
            }
        }
    }

    std::function<void()> arrived_;
    std::mutex mutex_;
    std::condition_variable wake_, came_;
    std::deque<TAsked> asked_;
    std::vector<TRead> done_;
    bool reading_ = false;
    bool stop_ = false;
    std::thread thread_;
};

TItemIndex::TItemIndex(std::function<void()> arrived)
    : reader_(std::make_unique<TIndexReader>(std::move(arrived))) {}

TItemIndex::~TItemIndex() = default;

void TItemIndex::Build() {
    pages_.clear();
    byNameMade_ = false;
    built_ = true;
    PagesAsk();
}

void TItemIndex::Clear() {
    reader_->Forget();
    pages_.clear();
    byNameMade_ = false;
    built_ = false;
}

void TItemIndex::PagesAsk() {
    reader_->Forget();
    byNameMade_ = false;
    pages_.resize(static_cast<size_t>(::PageCount()));
    for (size_t slot = 0; slot < pages_.size(); ++slot) {
        pages_[slot].state = TPageState::Unread;
        pages_[slot].items.clear();
        PageAsk(slot);
    }
}

void TItemIndex::PageAsk(size_t slot) {
    pages_[slot].wanted = ++asked_;
    reader_->Ask(static_cast<int32_t>(slot + 1), asked_);
}

void TItemIndex::PageChanged(int32_t page) {
    if (!built_ || page < 1)
        return;
    // A page created beyond the last one the index knows brings the pages before it along.
    while (pages_.size() < static_cast<size_t>(page)) {
        pages_.emplace_back();
        PageAsk(pages_.size() - 1);
    }
    const size_t slot = static_cast<size_t>(page - 1);
    // Read here at the next use, unless the reader has it by then; a page still on its way is
    // asked for again, as the read under way may have been made before the change.
    if (pages_[slot].state == TPageState::Fresh)
        pages_[slot].state = TPageState::Stale;
    PageAsk(slot);
}

void TItemIndex::PageRemoved(int32_t page) {
    if (!built_ || page < 1 || static_cast<size_t>(page) > pages_.size())
        return;
    pages_.erase(pages_.begin() + (page - 1));
    byNameMade_ = false;
    // The pages after it have new numbers: what is waited for is asked for by them.
    for (size_t slot = static_cast<size_t>(page - 1); slot < pages_.size(); ++slot)
        if (pages_[slot].wanted)
            PageAsk(slot);
}

void TItemIndex::PagesChanged() {
    if (built_)
        PagesAsk();
}

bool TItemIndex::Take() {
    bool came = false;
    for (TIndexReader::TRead& read : reader_->Take()) {
        const size_t slot = static_cast<size_t>(read.page - 1);
        // A read overtaken by a change, a removal or a new build is not the page any more.
        if (read.page < 1 || slot >= pages_.size() || pages_[slot].wanted != read.stamp)
            continue;
        came = true;
        if (read.failed) {
            pages_[slot].wanted = 0;
            pages_[slot].state = TPageState::Stale;
            continue;
        }
        PagePut(pages_[slot], std::move(read.content));
    }
    return came;
}

bool TItemIndex::Whole() const {
    for (const TIndexPage& page : pages_)
        if (page.state == TPageState::Unread)
            return false;
    return true;
}

void TItemIndex::Wait() {
    Take();
    while (!Whole()) {
        if (!reader_->Await()) {
            // Nothing on its way any more: what is still missing is read here.
            for (size_t slot = 0; slot < pages_.size(); ++slot) {
                if (pages_[slot].state == TPageState::Unread)
                    PagePut(pages_[slot], IndexPageRead(static_cast<int32_t>(slot + 1)));
            }
        }
        Take();
    }
}

void TItemIndex::Fresh() {
    if (!built_)
        return;
    Take();
    for (size_t slot = 0; slot < pages_.size(); ++slot) {
        if (pages_[slot].state == TPageState::Stale)
            PagePut(pages_[slot], IndexPageRead(static_cast<int32_t>(slot + 1)));
    }
}

void TItemIndex::PagePut(TIndexPage& page, TIndexPageRead read) {
    std::vector<TIndexItem>& items = read.items;
    // What the file system answered for an item that kept its name and path still holds: a page
    // read again after one item was added does not look every other one up again.
    std::unordered_map<std::wstring, const TIndexItem*> before;
    before.reserve(page.items.size());
    for (const TIndexItem& item : page.items)
        if (item.looked)
            before.emplace(item.Name(), &item);
    for (TIndexItem& item : items) {
        if (auto known = before.find(item.Name());
            known != before.end() && known->second->Path() == item.Path()) {
            item.record = known->second->record;
            item.found = known->second->found;
            item.looked = true;
        }
    }
    page.items = std::move(items);
    page.folded = std::move(read.folded);
    page.name = std::move(read.name);
    byNameMade_ = false;
    page.state = TPageState::Fresh;
    page.wanted = 0;
}

int32_t TItemIndex::PageCount() {
    Wait();
    Fresh();
    return static_cast<int32_t>(pages_.size());
}

size_t TItemIndex::ItemCount() {
    Wait();
    Fresh();
    size_t count = 0;
    for (const TIndexPage& page : pages_)
        count += page.items.size();
    return count;
}

const std::vector<TIndexItem>& TItemIndex::PageItems(int32_t page) {
    Wait();
    Fresh();
    static const std::vector<TIndexItem> none;
    if (page < 1 || static_cast<size_t>(page) > pages_.size())
        return none;
    return pages_[static_cast<size_t>(page - 1)].items;
}

void TItemIndex::ByNameMake() {
    // Sorted with their keys beside them: a comparison reads two neighbours, not two items.
    std::vector<std::pair<TSortKey, TIndexHit>> keyed;
    for (size_t page = 0; page < pages_.size(); ++page) {
        if (pages_[page].state != TPageState::Fresh)
            continue;
        const std::vector<TIndexItem>& items = pages_[page].items;
        for (size_t i = 0; i < items.size(); ++i)
            keyed.push_back({items[i].order, {static_cast<int32_t>(page + 1), i}});
    }
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first.Compare(b.first) < 0; });
    sameAsBefore_.resize(keyed.size());
    for (size_t rank = 0; rank < keyed.size(); ++rank) {
        const TIndexHit& hit = keyed[rank].second;
        sameAsBefore_[rank] = rank > 0 && keyed[rank].first.Compare(keyed[rank - 1].first) == 0;
        pages_[static_cast<size_t>(hit.page - 1)].items[hit.item].rank =
            static_cast<uint32_t>(rank);
    }
    byNameMade_ = true;
}

std::vector<TIndexHit> TItemIndex::Match(const std::wstring& text) {
    Fresh();
    std::vector<TIndexHit> hits;
    const std::wstring part = TextFold(text);
    for (size_t page = 0; page < pages_.size(); ++page) {
        if (pages_[page].state != TPageState::Fresh)
            continue;
        const TFoldedNames& folded = pages_[page].folded;
        for (size_t i = 0; i < folded.Size(); ++i)
            if (TextFoldedContains(folded.At(i), part))
                hits.push_back({static_cast<int32_t>(page + 1), i});
    }
    return hits;
}

std::vector<size_t> TItemIndex::Ordered(const std::vector<TIndexHit>& hits, TOrder order) {
    std::vector<size_t> places(hits.size());
    if (order == TOrder::Store) {
        std::iota(places.begin(), places.end(), size_t{0});
        return places;
    }
    // Put in order by their ranks: one pass over the ranks, no comparison of names.
    if (!byNameMade_)
        ByNameMake();
    // Each rank's place in `hits`, plus one; 0 where the rank's item is no hit.
    std::vector<size_t> atRank(sameAsBefore_.size());
    for (size_t place = 0; place < hits.size(); ++place)
        atRank[Item(hits[place]).rank] = place + 1;
    places.clear();
    if (order == TOrder::NameUp) {
        for (size_t place : atRank)
            if (place)
                places.push_back(place - 1);
        return places;
    }
    // Down: from the last name back, each run of equal names still in store order.
    for (size_t end = atRank.size(); end > 0;) {
        size_t begin = end - 1;
        while (begin > 0 && sameAsBefore_[begin])
            --begin;
        for (size_t rank = begin; rank < end; ++rank)
            if (atRank[rank])
                places.push_back(atRank[rank] - 1);
        end = begin;
    }
    return places;
}

const TIndexItem& TItemIndex::Looked(const TIndexHit& hit) {
    TIndexItem& item = pages_[static_cast<size_t>(hit.page - 1)].items[hit.item];
    if (!item.looked) {
        item.found = FileRecordGet(item.Path(), item.record);
        // The row needs the record's figures only; the name is the item's own.
        item.record.Name.clear();
        item.looked = true;
    }
    return item;
}

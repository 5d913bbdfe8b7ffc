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

void TPageFill::Start(int32_t page, const TPageEntries& items) {
    TJob& job = jobs_.emplace_back();
    job.page = page;
    for (const TPageEntry& item : items)
        job.items.emplace_back(item.name, item.path);
    if (job.items.empty())
        jobs_.pop_back();
}

bool TPageFill::Step(double budgetMs) {
    const double end = Now() + budgetMs;
    while (!jobs_.empty()) {
        TJob& job = jobs_.front();
        const std::wstring key = PageKeyPath(job.page);
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
    const int32_t page = job.page;
    jobs_.pop_front();
    // Told once the page is whole: the search reads it then.
    PageChangedTell(page);
}

void TPageFill::Finish() {
    while (Step(1000)) {
    }
}

size_t TPageFill::Pending(int32_t page) const {
    size_t pending = 0;
    for (const TJob& job : jobs_)
        if (job.page == page)
            pending += job.items.size();
    return pending;
}

void TPageFill::PageRemoved(int32_t page) {
    std::erase_if(jobs_, [page](const TJob& job) { return job.page == page; });
    for (TJob& job : jobs_)
        if (job.page > page)
            --job.page;
}

// The benchmark's memory case.
#include "uBenchMemory.h"

#include "uBenchCommon.h"

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

// The committed pages that belong to this process alone (heaps, stacks, private allocations),
// summed region by region: the same quantity as PrivateUsage, for platforms that leave that
// counter at 0 (Wine 8 does).
SIZE_T PrivateCommitted() {
    SYSTEM_INFO system{};
    ::GetSystemInfo(&system);
    SIZE_T total = 0;
    auto address = static_cast<const char*>(system.lpMinimumApplicationAddress);
    MEMORY_BASIC_INFORMATION region{};
    while (address < system.lpMaximumApplicationAddress &&
           ::VirtualQuery(address, &region, sizeof(region)) == sizeof(region)) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            total += region.RegionSize;
        address = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
    }
    return total;
}

std::string Kilobytes(SIZE_T bytes) {
    return Grouped(static_cast<long long>(bytes / 1024)) + " KB";
}

long long Growth(const TMemory& from, const TMemory& to) {
    return static_cast<long long>(to.privateBytes) - static_cast<long long>(from.privateBytes);
}

void GrowthLine(const char* what, const TMemory& from, const TMemory& to, int refreshes) {
    const long long growth = Growth(from, to);
    Line("  %-30s %s -> %s: growth %s KB, %.2f KB per refresh", what,
         Kilobytes(from.privateBytes).c_str(), Kilobytes(to.privateBytes).c_str(),
         Grouped(growth / 1024).c_str(),
         refreshes ? static_cast<double>(growth) / 1024.0 / refreshes : 0.0);
}

} // namespace

TMemory MemoryNow() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof(counters);
    TMemory m;
    if (::GetProcessMemoryInfo(::GetCurrentProcess(),
                               reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                               sizeof(counters))) {
        m.privateBytes = counters.PrivateUsage;
        m.workingSet = counters.WorkingSetSize;
        m.source = "PrivateUsage of GetProcessMemoryInfo";
    }
    if (m.privateBytes == 0) {
        m.privateBytes = PrivateCommitted();
        m.source = "committed private pages by VirtualQuery: PrivateUsage reads 0 here";
    }
    return m;
}

TMemoryResult MemoryCase(const std::function<void()>& refresh, int planned, double budgetMs) {
    std::printf("  memory: %d refreshes of (b) ...", planned);
    std::fflush(stdout);
    TMemoryResult m;
    m.planned = planned;
    refresh();
    m.before = MemoryNow();
    const double start = Now();
    const int minimum = std::min(planned, MemoryWarmRefreshes);
    while (m.done < planned && (m.done < minimum || budgetMs <= 0 || Now() - start < budgetMs)) {
        refresh();
        if (++m.done == MemoryWarmRefreshes)
            m.warm = MemoryNow();
    }
    m.seconds = (Now() - start) / 1000.0;
    m.after = MemoryNow();
    Line(" %d done in %.1f s", m.done, m.seconds);
    return m;
}

void MemoryReport(const TMemoryResult& m) {
    Line("%s", "");
    if (m.done < m.planned)
        Line("private memory over %d of %d refreshes of (b), stopped when the budget was used:",
             m.done, m.planned);
    else
        Line("private memory over %d refreshes of (b):", m.done);
    if (m.done <= MemoryWarmRefreshes) {
        GrowthLine("all refreshes", m.before, m.after, m.done);
    } else {
        char first[64], later[64];
        std::snprintf(first, sizeof(first), "refreshes 1 to %d", MemoryWarmRefreshes);
        std::snprintf(later, sizeof(later), "refreshes %d to %d", MemoryWarmRefreshes + 1, m.done);
        GrowthLine(first, m.before, m.warm, MemoryWarmRefreshes);
        GrowthLine(later, m.warm, m.after, m.done - MemoryWarmRefreshes);
        const long long growth = Growth(m.warm, m.after);
        Line("  target: at most %s after the first %d refreshes: %s",
             Kilobytes(MemoryGrowthTarget).c_str(), MemoryWarmRefreshes,
             growth <= static_cast<long long>(MemoryGrowthTarget) ? "met" : "MISSED");
    }
    Line("  (%s; working set %s before, %s after)", m.after.source,
         Kilobytes(m.before.workingSet).c_str(), Kilobytes(m.after.workingSet).c_str());
}

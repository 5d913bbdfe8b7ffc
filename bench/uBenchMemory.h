// The benchmark's memory case: the process's private memory over many refreshes of a page,
// its growth over the first refreshes (the heap's high-water mark) and over the rest (a leak).
#pragma once

#include <windows.h>

#include <functional>

// Refreshes after which the heap is taken as warm: growth after them is what a leak would show.
constexpr int MemoryWarmRefreshes = 100;
// The most the private memory may grow after the warm refreshes.
constexpr SIZE_T MemoryGrowthTarget = 64 * 1024;

struct TMemory {
    SIZE_T privateBytes = 0;
    SIZE_T workingSet = 0;
    const char* source = "";
};

struct TMemoryResult {
    int planned = 0;
    int done = 0;
    double seconds = 0;
    // Before the first refresh, after the warm refreshes (when done), after the last.
    TMemory before, warm, after;
};

// The process's private memory now.
TMemory MemoryNow();

// Runs `refresh` (one refresh of the page and its icons) `planned` times, or until `budgetMs`
// is used (0: no budget) but not before the warm refreshes are done, noting the memory at the
// start, after the warm refreshes and at the end.
TMemoryResult MemoryCase(const std::function<void()>& refresh, int planned, double budgetMs);

// Prints the growth over the warm refreshes and after them, against the target.
void MemoryReport(const TMemoryResult& m);

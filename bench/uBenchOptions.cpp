// The benchmark program's options, from its command line.
#include "uBenchOptions.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <utility>

namespace {

bool OptionParse(const char* arg, const char* name, int& value) {
    const size_t n = std::strlen(name);
    if (std::strncmp(arg, name, n) != 0 || arg[n] != '=')
        return false;
    value = std::atoi(arg + n + 1);
    return true;
}

} // namespace

bool OptionsParse(int argc, char** argv, TOptions& options) {
    const std::pair<const char*, int*> known[] = {
        {"--runs", &options.runs},
        {"--runs-large", &options.runsLarge},
        {"--memory-refreshes", &options.memoryRefreshes},
        {"--budget", &options.budgetSeconds},
        {"--memory-budget", &options.memoryBudgetSeconds},
        {"--memory-only", &options.memoryOnly},
        {"--start-runs", &options.startRuns},
        {"--start-only", &options.startOnly},
        {"--scroll-runs", &options.scrollRuns},
        {"--scroll-only", &options.scrollOnly},
        {"--move-runs", &options.moveRuns},
        {"--move-only", &options.moveOnly},
        {"--large-runs", &options.largeRuns},
        {"--large-only", &options.largeOnly},
        {"--backup-runs", &options.backupRuns},
        {"--backup-only", &options.backupOnly},
        {"--search-runs", &options.searchRuns},
        {"--search-only", &options.searchOnly},
        {"--callup-runs", &options.callUpRuns},
        {"--callup-only", &options.callUpOnly},
        {"--probe", &options.probe},
    };
    for (int i = 1; i < argc; ++i) {
        if (std::none_of(std::begin(known), std::end(known), [&](const auto& option) {
                return OptionParse(argv[i], option.first, *option.second);
            })) {
            std::fprintf(stderr, "usage: ovbench [--runs=N] [--runs-large=N] "
                                 "[--memory-refreshes=N] [--budget=S] [--memory-budget=S] "
                                 "[--memory-only=1] [--start-runs=N] [--start-only=1] "
                                 "[--scroll-runs=N] [--scroll-only=1] [--move-runs=N] "
                                 "[--move-only=1] [--large-runs=N] [--large-only=1] "
                                 "[--backup-runs=N] [--backup-only=1] [--search-runs=N] "
                                 "[--search-only=1] [--callup-runs=N] [--callup-only=1] "
                                 "[--probe=1]\n");
            return false;
        }
    }
    options.runs = std::max(options.runs, 1);
    options.runsLarge = std::max(options.runsLarge, 1);
    options.memoryRefreshes = std::max(options.memoryRefreshes, 0);
    options.budgetSeconds = std::max(options.budgetSeconds, 0);
    options.memoryBudgetSeconds = std::max(options.memoryBudgetSeconds, 0);
    options.startRuns = std::max(options.startRuns, 1);
    options.scrollRuns = std::max(options.scrollRuns, 1);
    options.searchRuns = std::max(options.searchRuns, 1);
    options.callUpRuns = std::max(options.callUpRuns, 1);
    options.largeRuns = std::max(options.largeRuns, 1);
    return true;
}

// The benchmark program's options, from its command line.
#pragma once

struct TOptions {
    int runs = 5;      // timed runs of each case on 1,000 entries
    int runsLarge = 3; // timed runs of each case on 10,000 entries
    int memoryRefreshes = 1000;
    // Seconds a case may take before it stops adding runs; 0 for no limit.
    int budgetSeconds = 60;
    int memoryBudgetSeconds = 1200;
    int memoryOnly = 0; // nothing but the memory case
    int startRuns = 15; // rounds of timed starts, one of each program per round
    int startOnly = 0;  // nothing but the start-up case
    int scrollRuns = 3; // rounds of the drag through a page of programs
    int scrollOnly = 0; // nothing but that case
    int probe = 0;      // the refresh cases with the probe of their stages, no shell baseline
    int searchRuns = 5; // rounds of the search's opening and typed letters
    int searchOnly = 0; // nothing but that case
    int moveRuns = 3;   // rounds of the drop of 1,000 files and their move to another page
    int moveOnly = 0;   // nothing but that case
    int largeOnly = 0;  // nothing but the large selection and the large drop
    int largeRuns = 5;  // rounds of the large selection and of the large drop
    int backupRuns = 3; // rounds of the export and import of 50 pages of 1,000 items
    int backupOnly = 0; // nothing but that case
    int callUpRuns = 5; // rounds of the hot key from outside and the trips typed after it
    int callUpOnly = 0; // nothing but that case
};

// Reads `--name=N` arguments into `options`, each bounded below; false (with the usage printed)
// for an argument it does not know.
bool OptionsParse(int argc, char** argv, TOptions& options);

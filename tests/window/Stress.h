// Long runs of the libraries, and what the process holds before and after them.
//   ProcessHoldingsNow  the handles, windows and busy heap bytes of the process
//   StressMessages      `count` messages posted to a library window, each taken
//                       through the event wait and checked
//   StressCycles        `rounds` of a library window with a browser gadget in it,
//                       both closed again, by number and by identifier, every
//                       other round through the close-all
// Both run one round first, so that what the system makes once per process (the
// browser's library, its classes) is there before the first count.
#pragma once
#include <windows.h>
#include <stdint.h>

struct ProcessHoldings {
    int64_t handles;   // GetProcessHandleCount
    int64_t windows;   // the thread's windows and all their descendants
    int64_t heapBytes; // busy bytes of every heap of the process
};

ProcessHoldings ProcessHoldingsNow();

struct StressOutcome {
    int32_t done;           // messages or rounds that behaved as they should
    double seconds;         // for all of them
    char fault[160];        // the first thing that went wrong; empty when none did
    ProcessHoldings leaked; // after minus before
};

StressOutcome StressMessages(int32_t count);
StressOutcome StressCycles(int32_t rounds);

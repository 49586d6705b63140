// stress_messages_per_s, stress_cycles_per_s: a hundred thousand posted messages
// through the event wait, and ten thousand rounds of a window with a browser
// gadget made and closed. stress_leaked_*: what the process holds after both
// beyond what it held before (0 when nothing leaks).
#include "../window/Stress.h"
#include "Bench.h"
#include <stdio.h>
#include <initializer_list>

void BenchStress() {
    StressOutcome messages = StressMessages(100000);
    StressOutcome cycles = StressCycles(10000);
    for (const StressOutcome* run : {&messages, &cycles})
        if (run->fault[0]) printf("stress_fault %s\n", run->fault);
    BenchReport("stress_messages_per_s", messages.done / messages.seconds);
    BenchReport("stress_cycles_per_s", cycles.done / cycles.seconds);
    printf("stress_leaked_handles %lld\n",
           (long long)(messages.leaked.handles + cycles.leaked.handles));
    printf("stress_leaked_windows %lld\n",
           (long long)(messages.leaked.windows + cycles.leaked.windows));
    printf("stress_leaked_heap_bytes %lld\n",
           (long long)(messages.leaked.heapBytes + cycles.leaked.heapBytes));
    fflush(stdout);
}

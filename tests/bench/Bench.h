// Benchmarks print one figure a line as "name value". Figures are ratios
// against a baseline timed in the same run, so a busy machine cancels out.
#pragma once
#include <windows.h>

double BenchSeconds(); // a monotonic clock
void BenchReport(const char* name, double value);
// The smallest of `rounds` timings of a function, which is the least disturbed.
template <class F> double BenchBest(int rounds, F f) {
    double best = 1e30;
    for (int i = 0; i < rounds; i++) {
        double start = BenchSeconds();
        f();
        double t = BenchSeconds() - start;
        if (t < best) best = t;
    }
    return best;
}

void BenchReadLine();
void BenchPage();
void BenchStartup();
void BenchAuthorCheck();
void BenchStress();
// The child side of page_10mb_peak_mb, run when the bench program is given "page-peak".
int BenchPagePeak();

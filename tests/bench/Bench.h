// Benchmarks print one figure a line as "name value". A figure is a ratio
// against a baseline timed in the same round, so that a busy moment of the
// machine falls on both; it is the median of its rounds, with the smallest and
// the largest beside it, and how far off the median may be (95% confidence):
//   name MEDIAN min MIN max MAX rounds N within P%
//   BenchSeconds   a monotonic clock
//   BenchReport    one plain figure
//   BenchDetail    whether BENCH_DETAIL asks for each round's timings too
//   BenchRatios    runs rounds until every median is known closely enough
#pragma once
#include <windows.h>
#include <functional>

double BenchSeconds();
void BenchReport(const char* name, double value);
bool BenchDetail();

// Seconds one call of `f` takes.
template <class F> double BenchTime(F f) {
    double start = BenchSeconds();
    f();
    return BenchSeconds() - start;
}

// Calls `round` at least `least` and at most `most` times; each call gives one
// ratio for each of the `count` figures named, or false when it went wrong (the
// figures are then not printed). Rounds stop once each median's 95% interval
// lies within 2% of it. False when a round went wrong.
typedef std::function<bool(double* ratios)> BenchRound;
bool BenchRatios(const char* const* names, int count, int least, int most, const BenchRound& round);

void BenchReadLine();
void BenchPage();
void BenchStartup();
void BenchAuthorCheck();
void BenchStress();
// The child side of page_10mb_peak_mb, run when the bench program is given "page-peak".
int BenchPagePeak();

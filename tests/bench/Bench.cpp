#include "Bench.h"
#include "builder/Program.h"
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <algorithm>
#include <vector>

double BenchSeconds() {
    static LARGE_INTEGER frequency;
    if (!frequency.QuadPart) QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return (double)now.QuadPart / (double)frequency.QuadPart;
}

void BenchReport(const char* name, double value) {
    printf("%s %.3f\n", name, value);
    fflush(stdout);
}

bool BenchDetail() {
    return getenv("BENCH_DETAIL") != nullptr;
}

namespace {

// How far the median may stand from its 95% interval's ends, as a share of it.
const double kSettledSpread = 0.02;

struct Spread {
    double median, low, high, least, most;
};

Spread SpreadOf(std::vector<double> ratios) {
    std::sort(ratios.begin(), ratios.end());
    size_t n = ratios.size();
    double median = n % 2 ? ratios[n / 2] : (ratios[n / 2 - 1] + ratios[n / 2]) / 2;
    // The median lies between these two ranks with 95% confidence.
    double half = 0.98 * sqrt((double)n);
    double lowRank = floor(n / 2.0 - half), highRank = ceil(n / 2.0 + half);
    size_t low = lowRank < 0 ? 0 : (size_t)lowRank;
    size_t high = highRank > n - 1.0 ? n - 1 : (size_t)highRank;
    return {median, ratios[low], ratios[high], ratios.front(), ratios.back()};
}

// The larger distance from the median to an end of its interval, as a share of it.
double Uncertainty(const Spread& spread) {
    return std::max(spread.high - spread.median, spread.median - spread.low) / spread.median;
}

bool Settled(const Spread& spread) {
    return Uncertainty(spread) <= kSettledSpread;
}

} // namespace

bool BenchRatios(const char* const* names, int count, int least, int most,
                 const BenchRound& round) {
    std::vector<std::vector<double>> ratios(count);
    std::vector<double> one(count);
    int rounds = 0;
    while (rounds < most) {
        if (!round(one.data())) {
            for (int i = 0; i < count; i++) printf("%s failed in round %d\n", names[i], rounds);
            fflush(stdout);
            return false;
        }
        rounds++;
        bool settled = rounds >= least;
        for (int i = 0; i < count; i++) {
            ratios[i].push_back(one[i]);
            if (settled) settled = Settled(SpreadOf(ratios[i]));
        }
        if (BenchDetail()) {
            printf("  round %d:", rounds);
            for (int i = 0; i < count; i++) printf(" %.4f", one[i]);
            printf("\n");
        }
        if (settled) break;
    }
    for (int i = 0; i < count; i++) {
        Spread spread = SpreadOf(ratios[i]);
        printf("%s %.3f min %.3f max %.3f rounds %d within %.1f%%\n", names[i], spread.median,
               spread.least, spread.most, rounds, 100 * Uncertainty(spread));
    }
    fflush(stdout);
    return true;
}

// With no arguments, every benchmark; else those named (readline, page,
// startup, author, stress).
int main(int argc, char** argv) {
    ProgramStart(GetModuleHandleA(nullptr));
    if (argc > 1 && strcmp(argv[1], "page-peak") == 0) return BenchPagePeak();
    static const struct {
        const char* name;
        void (*run)();
    } kBenches[] = {{"readline", BenchReadLine},
                    {"page", BenchPage},
                    {"startup", BenchStartup},
                    {"author", BenchAuthorCheck},
                    {"stress", BenchStress}};
    for (const auto& bench : kBenches) {
        bool wanted = argc == 1;
        for (int i = 1; i < argc; i++) wanted = wanted || strcmp(argv[i], bench.name) == 0;
        if (wanted) bench.run();
    }
    return 0;
}

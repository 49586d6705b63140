#include "Bench.h"
#include "builder/Program.h"
#include <stdio.h>
#include <string.h>

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

int main(int argc, char** argv) {
    ProgramStart(GetModuleHandleA(nullptr));
    if (argc > 1 && strcmp(argv[1], "page-peak") == 0) return BenchPagePeak();
    // The stress figures alone, for a look at them after a change to the libraries.
    if (argc > 1 && strcmp(argv[1], "stress") == 0) return BenchStress(), 0;
    BenchReadLine();
    BenchPage();
    BenchStartup();
    BenchAuthorCheck();
    BenchStress();
    return 0;
}

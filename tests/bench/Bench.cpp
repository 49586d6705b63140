#include "Bench.h"
#include "builder/Program.h"
#include <stdio.h>

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

int main() {
    ProgramStart(GetModuleHandleA(nullptr));
    BenchReadLine();
    return 0;
}

// startup_vs_bare_window: the time from starting the built program to its
// presentation window being visible, over the same for a bare program that
// opens one full-screen popup. The two take turns; the best of each counts.
#include "../PageData.h"
#include "Bench.h"
#include <stdio.h>
#include <stdlib.h>
#include <algorithm>

namespace {

// Seconds from CreateProcess to a visible window of the new process, which is
// then closed; a negative result when no window came up.
double StartupSeconds(const std::string& exe, const std::string& folder) {
    PROCESS_INFORMATION process;
    double start = BenchSeconds();
    if (!ProcessStartIn(exe, folder, &process)) return -1;
    HWND window = nullptr;
    double seconds = -1;
    while (BenchSeconds() - start < 20) {
        window = ProcessVisibleWindow(process.dwProcessId);
        if (window) {
            seconds = BenchSeconds() - start;
            break;
        }
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) break;
    }
    if (window) PostMessageA(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 99);
        WaitForSingleObject(process.hProcess, 5000);
    }
    CloseHandle(process.hProcess);
    return seconds;
}

} // namespace

void BenchStartup() {
    std::string folder = ModuleFolder();
    TempFolder data;
    WriteDataFiles(data.Path(), SampleDataFiles());
    double program = 1e30, bare = 1e30;
    for (int round = 0; round < 25; round++) {
        double p = StartupSeconds(folder + "lumivane.exe", data.Path());
        double b = StartupSeconds(folder + "lumivane_bare_window.exe", data.Path());
        if (p < 0 || b < 0) {
            printf("startup_no_window %d %d\n", p < 0, b < 0);
            return;
        }
        if (getenv("BENCH_DETAIL")) printf("startup round %d: %.4f %.4f\n", round, p, b);
        program = std::min(program, p);
        bare = std::min(bare, b);
    }
    if (getenv("BENCH_DETAIL"))
        printf("startup: program %.4f s, bare window %.4f s\n", program, bare);
    BenchReport("startup_vs_bare_window", program / bare);
}

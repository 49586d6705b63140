// startup_vs_bare_window: the time from starting the built program to its
// presentation window being visible, over the same for a bare program that
// opens one full-screen popup. The two take turns, each first in every other round.
#include "../PageData.h"
#include "Bench.h"
#include <stdio.h>

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
        // A millisecond between looks leaves the processor to the program, which
        // on a machine of two cores would otherwise share it with this loop.
        if (WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0) break;
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
    const std::string program = folder + "lumivane.exe", bare = folder + "lumivane_bare_window.exe";
    static const char* const kNames[] = {"startup_vs_bare_window"};
    int round = 0;
    BenchRatios(kNames, 1, 15, 300, [&](double* ratio) {
        double p = -1, b = -1;
        if (round++ % 2) {
            b = StartupSeconds(bare, data.Path());
            p = StartupSeconds(program, data.Path());
        } else {
            p = StartupSeconds(program, data.Path());
            b = StartupSeconds(bare, data.Path());
        }
        if (p < 0 || b < 0) {
            printf("startup_no_window %d %d\n", p < 0, b < 0);
            return false;
        }
        if (BenchDetail()) printf("  program %.4f s, bare window %.4f s\n", p, b);
        *ratio = p / b;
        return true;
    });
}

// startup_vs_bare_window: the time from starting the built program to its
// presentation window being visible, over the same for a bare program that
// opens one full-screen popup. startup_vs_bare_window_with_common_controls: the
// same over a bare program that first initialises the common controls, as the
// program's start-up does; under Wine, loading them is most of what the program
// takes beyond a bare window. The three take turns.
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
    const std::string exes[] = {folder + "lumivane.exe", folder + "lumivane_bare_window.exe",
                                folder + "lumivane_bare_controls_window.exe"};
    static const char* const kNames[] = {"startup_vs_bare_window",
                                         "startup_vs_bare_window_with_common_controls"};
    int round = 0;
    BenchRatios(kNames, 2, 30, 200, [&](double* ratios) {
        // Each starts first in every third round.
        double seconds[3];
        for (int i = 0; i < 3; i++) {
            int which = (round + i) % 3;
            // The program writes its page file anew, as at its first start: on
            // Linux's ext4 one cut to nothing and written again is flushed at its
            // close, as slowly as the disk is busy.
            DeleteFileA(data.File("data\\1014.dat").c_str());
            seconds[which] = StartupSeconds(exes[which], data.Path());
        }
        round++;
        if (seconds[0] < 0 || seconds[1] < 0 || seconds[2] < 0) {
            printf("startup_no_window %d %d %d\n", seconds[0] < 0, seconds[1] < 0, seconds[2] < 0);
            return false;
        }
        if (BenchDetail())
            printf("  program %.4f s, bare window %.4f s, with common controls %.4f s\n",
                   seconds[0], seconds[1], seconds[2]);
        ratios[0] = seconds[0] / seconds[1];
        ratios[1] = seconds[0] / seconds[2];
        return true;
    });
}

// page_10mb_vs_copy: assembling and writing a 10 MB page from fragments of
// 100-byte lines, over a plain read and write of the same fragment bytes.
// page_scaling_10mb_over_1mb: the same assembly for 10 MB over 1 MB.
// page_10mb_peak_mb: how far the peak working set of a fresh process rises
// above its working set while it assembles and writes the 10 MB page.
#include "../TestSupport.h"
#include "Bench.h"
#include "builder/Page.h"
#include "builder/Settings.h"
#include <psapi.h>
#include <stdio.h>
#include <string>

static const char* const kFragments[] = {"1010.dat", "1015.dat", "1016.dat",
                                         "1017.dat", "1018.dat", "1019.dat"};

// A data folder whose fragments hold `fileBytes` in all, in lines of 99 bytes
// and a line feed; the settings are empty. Returns the length the page will have.
static size_t BenchPageData(const std::string& folder, size_t fileBytes) {
    std::string data = folder + "\\data";
    CreateDirectoryA(data.c_str(), nullptr);
    WriteWholeFile(data + "\\1013.dat", "");
    WriteWholeFile(data + "\\1011.dat", "x\n");
    size_t lines = fileBytes / 100 / 6;
    std::string line = "<p>" + std::string(92, 'w') + "</p>\n";
    std::string fragment;
    fragment.reserve(lines * 100 + 20);
    for (size_t i = 0; i < lines; i++) fragment += line;
    fragment += "codebase random>\n";
    for (const char* name : kFragments) WriteWholeFile(data + "\\" + name, fragment);
    char size[64];
    int sizeLength =
        wsprintfA(size, "%d%d", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    return 6 * lines * 99 + 1 + 2 * (size_t)sizeLength;
}

// Both timings write a new file. On Linux's ext4 a file cut to nothing and
// written again is flushed to the disk at its close, which takes as long as the
// disk is busy: the same on both sides, it would hide the difference and make
// it unsteady.

// One assembly and write of the page in the current folder. The program builds
// its page once, so the freeing of this one is not timed with the next.
static double BenchPageBuild(size_t* length) {
    SettingsRead();
    DeleteFileA("data\\1014.dat");
    double seconds = BenchTime([&] {
        PageBuild();
        PageSave();
        *length = PageLength();
    });
    PageClear();
    return seconds;
}

// Every fragment read in large blocks and written to one file, nothing else.
static double BenchPageCopy() {
    static char buffer[1 << 16];
    DeleteFileA("data\\copy.dat");
    return BenchTime([&] {
        HANDLE out = CreateFileA("data\\copy.dat", GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                 CREATE_ALWAYS, 0, nullptr);
        for (const char* name : kFragments) {
            std::string path = std::string("data\\") + name;
            HANDLE in = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
            DWORD got = 0, written = 0;
            while (ReadFile(in, buffer, sizeof buffer, &got, nullptr) && got)
                WriteFile(out, buffer, got, &written, nullptr);
            CloseHandle(in);
        }
        CloseHandle(out);
    });
}

// Run by the bench program started again with "page-peak" in a folder made by
// BenchPageData: the rise of the peak working set in KB, as the exit code.
int BenchPagePeak() {
    PROCESS_MEMORY_COUNTERS before = {}, after = {};
    before.cb = after.cb = sizeof before;
    SettingsRead();
    GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof before);
    if (!PageBuild() || !PageSave()) return -1;
    GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof after);
    if (BenchDetail())
        printf("peak child: working set %lu KB before, peak %lu KB after; page %lu bytes\n",
               (unsigned long)(before.WorkingSetSize / 1024),
               (unsigned long)(after.PeakWorkingSetSize / 1024), (unsigned long)PageLength());
    return (int)((after.PeakWorkingSetSize - before.WorkingSetSize) / 1024);
}

static double BenchPagePeakInFreshProcess(const std::string& folder) {
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, sizeof exe);
    std::string command = "\"" + std::string(exe) + "\" page-peak";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(exe, &command[0], nullptr, nullptr, TRUE, 0, nullptr, folder.c_str(),
                        &startup, &process))
        return -1;
    DWORD code = (DWORD)-1;
    if (WaitForSingleObject(process.hProcess, 120000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    else
        TerminateProcess(process.hProcess, code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return (int)code < 0 ? -1 : (double)code / 1024.0;
}

void BenchPage() {
    TempFolder large, small;
    size_t largeExpected = BenchPageData(large.Path(), 10u << 20);
    size_t smallExpected = BenchPageData(small.Path(), 1u << 20);
    // First, while this process has built nothing yet: the peak, in a process of its own.
    BenchReport("page_10mb_peak_mb", BenchPagePeakInFreshProcess(large.Path()));

    // The three timings take turns, so that a busy moment of the machine falls
    // on all of them alike.
    static const char* const kNames[] = {"page_10mb_vs_copy", "page_scaling_10mb_over_1mb"};
    BenchRatios(kNames, 2, 30, 300, [&](double* ratios) {
        size_t largeLength = 0, smallLength = 0;
        double copy, build;
        {
            CurrentFolder here(large.Path());
            copy = BenchPageCopy();
            build = BenchPageBuild(&largeLength);
        }
        CurrentFolder here(small.Path());
        double buildSmall = BenchPageBuild(&smallLength);
        if (largeLength != largeExpected || smallLength != smallExpected) {
            printf("page_bytes_wrong %lu %lu\n", (unsigned long)largeLength,
                   (unsigned long)smallLength);
            return false;
        }
        if (BenchDetail())
            printf("  build and write %.4f s, copy %.4f s; a tenth of the page %.4f s\n", build,
                   copy, buildSmall);
        ratios[0] = build / copy;
        ratios[1] = build / buildSmall;
        return true;
    });
}

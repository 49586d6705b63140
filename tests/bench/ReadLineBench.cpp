// readline_vs_readfile: reading a 10 MB file of 100-byte lines with FileReadLine,
// over one plain ReadFile pass of the same file.
#include "Bench.h"
#include "files/File.h"
#include <stdio.h>
#include <string>

void BenchReadLine() {
    const char* path = "bench-lines.dat";
    std::string line(99, 'x');
    line += '\n';
    std::string bytes;
    for (int i = 0; i < 100000; i++) bytes += line;
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, nullptr);
    CloseHandle(file);

    static char buffer[1 << 16];
    size_t total = 0;
    static const char* const kNames[] = {"readline_vs_readfile"};
    BenchRatios(kNames, 1, 30, 200, [&](double* ratio) {
        // A plain pass takes well under a millisecond, too short to time alone.
        const int passes = 20;
        double plain = BenchTime([&] {
                           for (int pass = 0; pass < passes; pass++) {
                               HANDLE f = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                      OPEN_EXISTING, 0, nullptr);
                               DWORD got = 0;
                               while (ReadFile(f, buffer, sizeof buffer, &got, nullptr) && got) {
                               }
                               CloseHandle(f);
                           }
                       }) /
                       passes;
        double lines = BenchTime([&] {
            FileOpenRead(0, path);
            total = 0;
            size_t length = 0;
            for (;;) {
                FileReadLine(&length);
                if (length == 0 && FileAtEnd(0)) break;
                total += length;
            }
            FileClose(0);
        });
        if (total != 100000u * 99u) printf("readline_bytes_wrong %u\n", (unsigned)total);
        if (BenchDetail()) printf("  plain %.4f s, lines %.4f s\n", plain, lines);
        *ratio = lines / plain;
        return total == 100000u * 99u;
    });
    DeleteFileA(path);
}

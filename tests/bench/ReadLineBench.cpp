// readline_vs_readfile: reading a 10 MB file of 100-byte lines with FileReadLine,
// over one plain ReadFile pass of the same file.
#include "Bench.h"
#include "files/File.h"
#include <stdio.h>
#include <stdlib.h>
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
    double plain = BenchBest(5, [&] {
        HANDLE f =
            CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        DWORD got = 0;
        while (ReadFile(f, buffer, sizeof buffer, &got, nullptr) && got) {
        }
        CloseHandle(f);
    });
    size_t total = 0;
    double lines = BenchBest(5, [&] {
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
    if (getenv("BENCH_DETAIL")) printf("plain %.4f s, lines %.4f s\n", plain, lines);
    BenchReport("readline_vs_readfile", lines / plain);
    DeleteFileA(path);
}

// author_check_vs_build_10m_lines: lumivane-author check on a folder whose first
// fragment holds ten million empty lines, over lumivane-author build of the same
// folder. The two take turns.
#include "../PageData.h"
#include "Bench.h"
#include <stdio.h>

namespace {

double AuthorSeconds(const std::string& arguments, const std::string& folder) {
    std::string exe = ModuleFolder() + "lumivane-author.exe";
    std::string command = "\"" + exe + "\" " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES; // what the tool says is not wanted
    PROCESS_INFORMATION process = {};
    double start = BenchSeconds();
    if (!CreateProcessA(exe.c_str(), &command[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                        nullptr, folder.c_str(), &startup, &process))
        return -1;
    WaitForSingleObject(process.hProcess, INFINITE);
    double seconds = BenchSeconds() - start;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return seconds;
}

} // namespace

void BenchAuthorCheck() {
    TempFolder folder;
    auto files = SampleDataFiles();
    std::string& first = files["1010.dat"];
    first = first.substr(0, first.rfind("codebase random>")) + std::string(10000000, '\n') +
            "codebase random>\n";
    WriteDataFiles(folder.Path(), files);
    static const char* const kNames[] = {"author_check_vs_build_10m_lines"};
    BenchRatios(kNames, 1, 15, 60, [&](double* ratio) {
        double check = AuthorSeconds("check .", folder.Path());
        double build = AuthorSeconds("build . --screen 800x600 -o page.html", folder.Path());
        *ratio = check / build;
        return check > 0 && build > 0;
    });
}

// Runs the built lumivane-author.exe with a command line and collects what it says.
#pragma once
#include <windows.h>
#include <functional>
#include <string>

struct AuthorOutcome {
    bool started = false;
    DWORD exitCode = 0xFFFFFFFF;
    std::string out; // standard output, byte for byte
    std::string err; // standard error
};

// `arguments` follow the program's name on the command line as they are; the
// tool runs in `folder` (the test's current directory when empty). With
// `started`, it is given the tool's process id before the tool runs.
AuthorOutcome AuthorRun(const std::string& arguments, const std::string& folder = "",
                        const std::function<void(DWORD)>& started = nullptr);
// The same with `arguments` in UTF-8, given to the tool in wide characters.
AuthorOutcome AuthorRunUtf8(const std::string& arguments, const std::string& folder = "");
// A path quoted for a command line.
std::string Quoted(const std::string& path);
// A file `size` bytes long that holds `bytes` at its start and nothing written
// after them, so that it takes no room on the disk.
bool WriteSparseFile(const std::string& path, const std::string& bytes, int64_t size);

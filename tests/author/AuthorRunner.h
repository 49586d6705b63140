// Runs the built lumivane-author.exe with a command line and collects what it says.
#pragma once
#include <windows.h>
#include <string>

struct AuthorOutcome {
    bool started = false;
    DWORD exitCode = 0xFFFFFFFF;
    std::string out; // standard output, byte for byte
    std::string err; // standard error
};

// `arguments` follow the program's name on the command line as they are; the
// tool runs in `folder` (the test's current directory when empty).
AuthorOutcome AuthorRun(const std::string& arguments, const std::string& folder = "");
// A path quoted for a command line.
std::string Quoted(const std::string& path);

// Data folders as the program reads them, for the tests that build pages.
#pragma once
#include "TestSupport.h"
#include "builder/Cipher.h"
#include "builder/Settings.h"
#include <map>
#include <memory>
#include <string>
#include <vector>

// A plain value as the settings file stores it.
inline std::string Encipher(const std::string& plain) {
    std::string out(plain.size() + 1, '\0');
    out.resize(Decode(plain.data(), plain.size(), SettingsShift, 0, &out[0]));
    return out;
}

// Settings file bytes from plain values, one line each, CR LF after every line.
inline std::string SettingsBytes(const std::vector<std::string>& values) {
    std::string bytes;
    for (const std::string& value : values) bytes += Encipher(value) + "\r\n";
    return bytes;
}

// Files by name ("1013.dat" ...) written into `folder`\data.
inline bool WriteDataFiles(const std::string& folder,
                           const std::map<std::string, std::string>& files) {
    std::string data = folder + "\\data";
    CreateDirectoryA(data.c_str(), nullptr);
    for (const auto& file : files)
        if (!WriteWholeFile(data + "\\" + file.first, file.second)) return false;
    return true;
}

// A complete data set: settings with the insert text "Hi!" and adjustments
// 0, 0, -40, +32, and seven fragments whose lines end in every way the reader
// knows, with spaces and tabs round them.
inline std::map<std::string, std::string> SampleDataFiles() {
    return {
        {"1013.dat", SettingsBytes({"demo", "", "Hi!", "", "", "", "0", "0", "-40", "+32"})},
        {"1010.dat", "<html>\r\n  <body style=\"width:\r\ncodebase random>\r\n<ignored>"},
        {"1011.dat", "  px;height:  \nnot this line\n"},
        {"1015.dat", "px\">\n\t<h1>\ncodebase random>"},
        {"1016.dat", "</h1>\r<p>\rcodebase random>\r"},
        {"1017.dat", std::string("</p>\0<i>\ncodebase random>\n", 26)},
        {"1018.dat", "x\n\n  \ncodebase random>  \n"},
        {"1019.dat", "</i></body>\n</html>\n  codebase random>\nafter the end\n"},
    };
}

// The screen's width and height as the page texts give them, each with an adjustment.
inline std::string ScreenWidthText(int adjustment = 0) {
    return std::to_string(GetSystemMetrics(SM_CXSCREEN) + adjustment);
}
inline std::string ScreenHeightText(int adjustment = 0) {
    return std::to_string(GetSystemMetrics(SM_CYSCREEN) + adjustment);
}

// The page SampleDataFiles gives on this screen.
inline std::string SamplePage() {
    std::string width = ScreenWidthText(-40), height = ScreenHeightText(32);
    return "<html><body style=\"width:" + width + "px;height:" + height +
           "px\">\t<h1>Hi!</h1><p>Hi!</p><i>" + width + "x" + height + "</i></body></html>";
}

// The sample presentation in the source tree, found from this file's place.
inline std::string SampleFolder() {
    std::string source = __FILE__;
    std::string root = source.substr(0, source.rfind("tests"));
    char full[MAX_PATH];
    if (!GetFullPathNameA((root + "examples/sample").c_str(), MAX_PATH, full, nullptr)) return "";
    return full;
}

// The page the sample gives on this screen, or "" when it cannot be read. The
// expected page was made on a screen of 1024 by 768 with no adjustments: its
// size texts become this screen's.
inline std::string SampleExpectedPage() {
    std::string expected;
    if (!ReadWholeFile(SampleFolder() + "\\expected-1024x768.html", &expected)) return "";
    for (const auto& side : {std::make_pair(std::string("1024"), ScreenWidthText()),
                             std::make_pair(std::string("768"), ScreenHeightText())}) {
        for (size_t at = 0; (at = expected.find(side.first, at)) != std::string::npos;) {
            expected.replace(at, side.first.size(), side.second);
            at += side.second.size();
        }
    }
    return expected;
}

// Whether the tests run under Wine, where a Unix program can be started.
inline bool UnderWine() {
    return GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name") != nullptr;
}

// Runs a program of the system under Wine itself (which starts a Unix program
// given by its path on drive Z:) with the Unix form of `path` as its last
// argument. False when that is not possible here.
inline bool UnixRunOnPath(const char* program, const std::string& arguments,
                          const std::string& path) {
    typedef char*(CDECL * UnixName)(const WCHAR*);
    UnixName unixName =
        (UnixName)GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name");
    if (!unixName) return false;
    WCHAR wide[MAX_PATH];
    if (!MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH)) return false;
    char* target = unixName(wide);
    if (!target) return false;
    std::string command = std::string(program) + " " + arguments + " \"" + target + "\"";
    HeapFree(GetProcessHeap(), 0, target);
    std::string image = std::string("Z:") + program;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(image.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

inline bool CanOpenForWriting(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

// A file at `path` that takes no bytes, as on a full disk: a link to the
// system's /dev/full. Wine lists no such link in its folder and cannot delete
// it, so the object removes it again with the system's rm.
class FullDiskFile {
  public:
    explicit FullDiskFile(const std::string& path) : path_(path) {
        made_ = UnixRunOnPath("/bin/ln", "-s /dev/full", path);
        for (int i = 0; made_ && i < 100 && !CanOpenForWriting(path); i++) Sleep(50);
        made_ = made_ && CanOpenForWriting(path);
    }
    ~FullDiskFile() {
        if (!UnixRunOnPath("/bin/rm", "-f", path_)) return;
        for (int i = 0; i < 100 && CanOpenForWriting(path_); i++) Sleep(50);
    }
    bool Made() const { return made_; }

  private:
    std::string path_;
    bool made_;
};

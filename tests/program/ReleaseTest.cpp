// The zip a Windows user downloads, unpacked by the test run into a fresh
// folder ("unpacked" beside the tests' working files): one folder whose
// presenter shows the sample from there, and whose programs carry the version.
#include "../PageData.h"
#include "PresentationRunner.h"
#include <gtest/gtest.h>
#include <tlhelp32.h>
#include <algorithm>
#include <ctype.h>
#include <stdio.h>

namespace {

const char kUnpacked[] = "unpacked";
const char kFolder[] = "unpacked\\lumivane-" LUMIVANE_VERSION;

// The names in a folder, sorted.
std::vector<std::string> FolderNames(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        std::string name = found.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

struct VersionInfo {
    DWORD fileMS = 0, fileLS = 0, productMS = 0, productLS = 0;
    std::map<std::string, std::string> strings;
};

bool VersionRead(const std::string& exe, VersionInfo* info) {
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(exe.c_str(), &ignored);
    if (!size) return false;
    std::vector<char> block(size);
    if (!GetFileVersionInfoA(exe.c_str(), 0, size, block.data())) return false;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), "\\", (void**)&fixed, &length) || !fixed) return false;
    info->fileMS = fixed->dwFileVersionMS;
    info->fileLS = fixed->dwFileVersionLS;
    info->productMS = fixed->dwProductVersionMS;
    info->productLS = fixed->dwProductVersionLS;
    // The strings are under the language and code page the resource names.
    WORD* translation = nullptr;
    if (!VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", (void**)&translation,
                        &length) ||
        length < 4)
        return false;
    for (const char* name :
         {"ProductName", "FileDescription", "FileVersion", "ProductVersion", "OriginalFilename"}) {
        char path[128];
        snprintf(path, sizeof path, "\\StringFileInfo\\%04x%04x\\%s", translation[0],
                 translation[1], name);
        char* value = nullptr;
        if (VerQueryValueA(block.data(), path, (void**)&value, &length) && value)
            info->strings[name] = value;
    }
    return true;
}

// Starts the unpacked lumivane-author.exe in `folder` with `arguments`, its
// standard output into `out` (a file), as a Command Prompt would.
bool ToolStart(const std::string& folder, const std::string& arguments, const std::string& out,
               PROCESS_INFORMATION* process) {
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE file = CreateFileA(out.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                              CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    std::string commandLine = "lumivane-author.exe " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = file;
    bool started = CreateProcessA((folder + "\\lumivane-author.exe").c_str(), &commandLine[0],
                                  nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                                  folder.c_str(), &startup, process);
    CloseHandle(file);
    if (started) CloseHandle(process->hThread);
    return started;
}

DWORD ToolRun(const std::string& folder, const std::string& arguments, std::string* out) {
    PROCESS_INFORMATION process = {};
    std::string file = folder + "\\tool-output.txt";
    DWORD code = 99;
    if (!ToolStart(folder, arguments, file, &process)) return code;
    if (WaitForSingleObject(process.hProcess, 30000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    ReadWholeFile(file, out);
    return code;
}

// The presenter that `parent` started, or 0.
DWORD PresenterStartedBy(DWORD parent) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    DWORD child = 0;
    for (BOOL more = Process32First(snapshot, &entry); more && !child;
         more = Process32Next(snapshot, &entry))
        if (entry.th32ParentProcessID == parent && lstrcmpiA(entry.szExeFile, "lumivane.exe") == 0)
            child = entry.th32ProcessID;
    CloseHandle(snapshot);
    return child;
}

} // namespace

TEST(Release, ZipHoldsOneFolderWithBothProgramsTheSampleAndTheReadme) {
    EXPECT_EQ(std::vector<std::string>{"lumivane-" LUMIVANE_VERSION}, FolderNames(kUnpacked));
    std::string folder = kFolder;
    EXPECT_EQ((std::vector<std::string>{"README.txt", "data", "lumivane-author.exe",
                                        "lumivane.exe"}),
              FolderNames(folder));
    // The 32-bit presenter keeps within its budget, its resources included.
    WIN32_FILE_ATTRIBUTE_DATA presenter = {};
    ASSERT_TRUE(GetFileAttributesExA((folder + "\\lumivane.exe").c_str(), GetFileExInfoStandard,
                                     &presenter));
    if (sizeof(void*) == 4) {
        EXPECT_LE(presenter.nFileSizeLow, 48u * 1024);
    }
    // The page file is the program's to write.
    std::vector<std::string> data = FolderNames(folder + "\\data");
    for (const char* name : {"1010.dat", "1011.dat", "1013.dat", "1015.dat", "1016.dat",
                             "1017.dat", "1018.dat", "1019.dat"})
        EXPECT_EQ(1, std::count(data.begin(), data.end(), name)) << name;
    EXPECT_EQ(0, std::count(data.begin(), data.end(), "1014.dat"));
    // Notepad of older Windows shows a text without carriage returns as one line.
    std::string readme;
    ASSERT_TRUE(ReadWholeFile(folder + "\\README.txt", &readme));
    EXPECT_NE(std::string::npos, readme.find("Lumivane " LUMIVANE_VERSION "\r\n"));
    for (size_t at = 0; (at = readme.find('\n', at)) != std::string::npos; at++)
        ASSERT_TRUE(at > 0 && readme[at - 1] == '\r') << "a bare line feed at byte " << at;
}

// Started in its own folder, as a double-click starts it, the unpacked
// presenter reads the enciphered settings there and shows the sample.
TEST(Release, UnpackedPresenterShowsTheSampleAndEndsOnEscape) {
    std::string folder = kFolder;
    PresentationProcess run(folder + "\\lumivane.exe", folder);
    ASSERT_TRUE(run.Started());
    ASSERT_TRUE(run.Window()) << "no presentation window came up";
    RECT outer = {};
    GetWindowRect(run.Window(), &outer);
    EXPECT_EQ(0, outer.left);
    EXPECT_EQ(0, outer.top);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), outer.right);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), outer.bottom);
    std::string page, expected = SampleExpectedPage();
    ASSERT_NE("", expected);
    EXPECT_TRUE(ReadWholeFile(folder + "\\data\\1014.dat", &page));
    EXPECT_EQ(expected, page);
    ASSERT_TRUE(run.Foreground());
    PressKeys(VK_ESCAPE);
    DWORD code = 99;
    EXPECT_TRUE(run.Ended(10000, &code)) << "still running after Escape";
    EXPECT_EQ(0u, code);
}

TEST(Release, BothProgramsCarryTheVersionAndTheIcon) {
    unsigned part[4] = {};
    sscanf(LUMIVANE_VERSION, "%u.%u.%u.%u", &part[0], &part[1], &part[2], &part[3]);
    const DWORD ms = MAKELONG(part[1], part[0]), ls = MAKELONG(part[3], part[2]);
    for (const char* name : {"lumivane", "lumivane-author"}) {
        SCOPED_TRACE(name);
        std::string exe = std::string(kFolder) + "\\" + name + ".exe";
        VersionInfo info;
        ASSERT_TRUE(VersionRead(exe, &info));
        EXPECT_EQ(ms, info.fileMS);
        EXPECT_EQ(ls, info.fileLS);
        EXPECT_EQ(ms, info.productMS);
        EXPECT_EQ(ls, info.productLS);
        EXPECT_EQ("Lumivane", info.strings["ProductName"]);
        EXPECT_EQ(LUMIVANE_VERSION, info.strings["FileVersion"]);
        EXPECT_EQ(LUMIVANE_VERSION, info.strings["ProductVersion"]);
        EXPECT_EQ(std::string(name) + ".exe", info.strings["OriginalFilename"]);
        EXPECT_EQ(0u, info.strings["FileDescription"].find("Lumivane "))
            << info.strings["FileDescription"];
        // The window class of the presenter takes icon 1 of its module.
        HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_TRUE(module);
        EXPECT_TRUE(LoadIconA(module, MAKEINTRESOURCEA(1)));
        FreeLibrary(module);
    }
}

// Neither a manifest entry (dpiAware, dpiAwareness) nor a call (SetProcessDPIAware,
// SetProcessDpiAwareness...) makes the presenter aware of the display's scaling:
// above 100% Windows gives it the screen size divided by the scale, and enlarges
// the page laid out at that size, as its author saw it.
TEST(Release, PresenterDeclaresNoDpiAwareness) {
    std::string exe;
    ASSERT_TRUE(ReadWholeFile(std::string(kFolder) + "\\lumivane.exe", &exe));
    for (char& c : exe) c = (char)tolower((unsigned char)c);
    EXPECT_EQ(std::string::npos, exe.find("dpiaware")) << "a DPI awareness in lumivane.exe";
}

// Last, as it leaves its files in the unpacked folder. The author's path from the unpacked zip: a page written, packed into a folder
// of its own, which then holds the presenter, and shown by the tool until Escape.
TEST(Release, AuthorPacksAPageAndShowsItUntilEscape) {
    const std::string folder = kFolder;
    ASSERT_TRUE(WriteWholeFile(folder + "\\talk.html",
                               "<!DOCTYPE html>\n<html><head>\n<meta http-equiv=\"X-UA-Compatible\" "
                               "content=\"IE=edge\">\n<meta charset=\"utf-8\">\n<title>Talk</title>"
                               "\n</head><body style=\"width:{{width}}px;height:{{height}}px\">\n"
                               "<h1>{{insert}}</h1>\n<p title=\"{{insert}}\">{{width}} by "
                               "{{height}}</p>\n</body></html>\n"));
    std::string said;
    ASSERT_EQ(0u, ToolRun(folder, "pack talk.html talk --insert Welcome", &said)) << said;
    // pack put the presenter beside the data folder; without it there, show
    // puts it there again, since the presenter shows its own folder's page.
    EXPECT_TRUE(DeleteFileA((folder + "\\talk\\lumivane.exe").c_str())) << said;
    PROCESS_INFORMATION show = {};
    std::string shown = folder + "\\show-output.txt";
    ASSERT_TRUE(ToolStart(folder, "show talk", shown, &show));
    HWND window = nullptr;
    DWORD presenter = 0;
    // A presenter left running by a failed check would hold the test's output.
    struct Ender {
        DWORD& id;
        ~Ender() {
            HANDLE process = id ? OpenProcess(PROCESS_TERMINATE, FALSE, id) : nullptr;
            if (process) TerminateProcess(process, 99), CloseHandle(process);
        }
    } ender{presenter};
    WaitUntil([&] {
        presenter = PresenterStartedBy(show.dwProcessId);
        window = presenter ? ProcessVisibleWindow(presenter) : nullptr;
        return window || WaitForSingleObject(show.hProcess, 0) == WAIT_OBJECT_0;
    });
    ASSERT_TRUE(window) << "no presentation window came up";
    // Keys reach it once its browser is made, as a user's do.
    EXPECT_TRUE(WaitUntil(
        [&] { return IsWindowVisible(FindWindowExA(window, nullptr, "AtlAxWin", nullptr)); }));
    RECT outer = {};
    GetWindowRect(window, &outer);
    EXPECT_EQ(0, outer.left);
    EXPECT_EQ(0, outer.top);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), outer.right);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), outer.bottom);
    std::string page, built;
    EXPECT_TRUE(ReadWholeFile(folder + "\\talk\\data\\1014.dat", &page));
    std::string screen = std::to_string(GetSystemMetrics(SM_CXSCREEN)) + "x" +
                         std::to_string(GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(0u, ToolRun(folder, "build talk --screen " + screen, &built));
    EXPECT_EQ(built, page);
    EXPECT_NE(std::string::npos, page.find("<h1>Welcom&#101;</h1>"));
    EXPECT_EQ((DWORD)WAIT_TIMEOUT, WaitForSingleObject(show.hProcess, 0))
        << "show did not wait for the presenter";
    EXPECT_TRUE(WaitForeground(window));
    PressKeys(VK_ESCAPE);
    DWORD code = 99;
    EXPECT_EQ((DWORD)WAIT_OBJECT_0, WaitForSingleObject(show.hProcess, 20000))
        << "show still runs after Escape";
    GetExitCodeProcess(show.hProcess, &code);
    if (code == STILL_ACTIVE) TerminateProcess(show.hProcess, 99);
    CloseHandle(show.hProcess);
    EXPECT_EQ(0u, code);
    ASSERT_TRUE(ReadWholeFile(shown, &said));
    char full[MAX_PATH];
    ASSERT_TRUE(GetFullPathNameA((folder + "\\talk\\lumivane.exe").c_str(), MAX_PATH, full, nullptr));
    EXPECT_EQ(std::string(full) + ": the presenter, copied from beside lumivane-author.exe\n"
              "talk: shown by " + std::string(full) + " until Escape ends it\n"
              "talk: the presenter ended\n",
              said);
}

// The built program on data folders from a seeded generator. Each run ends by
// itself with exit code 0; a folder with a file the program can't read gives
// the read box and keeps the earlier page file; any other gives the page that
// lumivane-author builds for it on this screen, with no line end in it.
// LUMIVANE_SEED replays a seed, LUMIVANE_RUN one run of it, LUMIVANE_RUNS sets
// how many runs there are (200; fewer when they take more than 150 s).
#include "../PageData.h"
#include "PresentationRunner.h"
#include "ProgramRunner.h"
#include "authoring/AuthorPage.h"
#include <gtest/gtest.h>
#include <stdlib.h>
#include <random>

namespace {

const char* const kInputs[] = {"1013.dat", "1010.dat", "1011.dat", "1015.dat",
                               "1016.dat", "1017.dat", "1018.dat", "1019.dat"};
const char kMarker[] = "codebase random>";
const char* const kLineEnds[] = {"\n", "\r\n", "\r", "\0", "\n\r"};
const size_t kLineEndLengths[] = {1, 2, 1, 1, 2};

enum FileState { Present, Missing, Folder, Locked };

struct DataFolder {
    std::map<std::string, std::string> files; // the eight inputs by name
    std::map<std::string, FileState> states;
    bool noData = false;
    bool markerText = false; // marker text placed where it does not end a fragment
};

class Random {
  public:
    explicit Random(uint32_t seed) : engine_(seed) {}
    uint32_t Below(uint32_t n) { return n ? engine_() % n : 0; }
    bool OneIn(uint32_t n) { return Below(n) == 0; }
    std::string Bytes(size_t n, int least) { // bytes from `least` to 255
        std::string bytes(n, ' ');
        for (char& c : bytes) c = (char)(least + Below(256 - least));
        return bytes;
    }
    const char* Fragment() { // any but the one-line 1011.dat
        static const int kFragments[] = {1, 3, 4, 5, 6, 7};
        return kInputs[kFragments[Below(6)]];
    }
    std::string LineEnd() {
        uint32_t i = Below(5);
        return std::string(kLineEnds[i], kLineEndLengths[i]);
    }

  private:
    std::mt19937 engine_;
};

// A line of text with spaces and tabs round it, as authors write them.
std::string TextLine(Random& r) {
    static const char* const kWords[] = {"<p>", "</div>", "Lumivane", "ä", "\t", "  ", "x=1;"};
    std::string line = std::string(r.Below(3), ' ');
    for (uint32_t i = r.Below(6); i > 0; i--) line += kWords[r.Below(7)];
    return line + std::string(r.Below(3), ' ');
}

std::string Lines(Random& r, uint32_t most) {
    std::string bytes;
    for (uint32_t i = r.Below(most + 1); i > 0; i--) bytes += TextLine(r) + r.LineEnd();
    return bytes;
}

// Ten plain values enciphered; the adjustments are numbers, mostly small.
std::string Settings(Random& r) {
    std::string bytes;
    for (int line = 1; line <= 10; line++) {
        std::string value =
            line < 7 ? TextLine(r)
                     : std::to_string((int)r.Below(201) - 100) + (r.OneIn(4) ? "px" : "");
        if (line >= 7 && r.OneIn(20)) value = r.OneIn(2) ? "-2147483648" : "4294967396";
        bytes += std::string(r.Below(2), ' ') + Encipher(value) + r.LineEnd();
    }
    return bytes;
}

void MakeFolder(DataFolder& d, Random& r) {
    for (const char* name : kInputs) d.states[name] = Present;
    d.files["1013.dat"] = Settings(r);
    d.files["1011.dat"] = Lines(r, 3);
    for (int i = 1; i < 8; i++)
        if (i != 2) d.files[kInputs[i]] = Lines(r, 6) + kMarker + r.LineEnd() + Lines(r, 2);
}

// The insert text goes into the page as it is, so a line end in it would be
// the author's own: settings bytes that decipher to CR or LF are moved aside.
std::string InsertSafe(std::string bytes) {
    const char lf = Encipher("\n")[0], cr = Encipher("\r")[0];
    for (char& c : bytes)
        if (c == lf || c == cr) c++;
    return bytes;
}

// A fragment's first end marker line, to be put in another form.
void MarkerReplace(DataFolder& d, Random& r, const std::string& form) {
    std::string& bytes = d.files[r.Fragment()];
    size_t at = bytes.find(kMarker);
    if (at != std::string::npos) bytes.replace(at, sizeof kMarker - 1, form);
}

// What a run's folder gets besides its ordinary lines: one to three of these,
// drawn by weight.
struct Twist {
    const char* what;
    uint32_t weight;
    void (*apply)(DataFolder& d, Random& r);
};

const Twist kTwists[] = {
    {"random bytes with zero bytes in a fragment", 6,
     [](DataFolder& d, Random& r) {
         d.files[r.Fragment()].insert(0, r.Bytes(r.Below(300), 0) + r.LineEnd());
     }},
    {"random bytes for the settings", 3,
     [](DataFolder& d, Random& r) { d.files["1013.dat"] = InsertSafe(r.Bytes(r.Below(400), 0)); }},
    {"every line end in one fragment", 4,
     [](DataFolder& d, Random& r) {
         std::string bytes;
         for (int i = 0; i < 10; i++)
             bytes += TextLine(r) + std::string(kLineEnds[i % 5], kLineEndLengths[i % 5]);
         d.files[r.Fragment()] = bytes + kMarker;
     }},
    {"end marker among spaces", 3,
     [](DataFolder& d, Random& r) {
         MarkerReplace(d, r,
                       std::string(1 + r.Below(3), ' ') + kMarker + std::string(r.Below(3), ' '));
     }},
    {"end marker with a tab", 2,
     [](DataFolder& d, Random& r) {
         MarkerReplace(d, r,
                       r.OneIn(2) ? std::string("\t") + kMarker : std::string(kMarker) + "\t");
         d.markerText = true;
     }},
    {"end marker in another case", 2,
     [](DataFolder& d, Random& r) {
         MarkerReplace(d, r, r.OneIn(2) ? "Codebase random>" : "CODEBASE RANDOM>");
     }},
    {"end marker with one more character", 2,
     [](DataFolder& d, Random& r) {
         MarkerReplace(d, r, std::string(kMarker) + (char)(33 + r.Below(90)));
         d.markerText = true;
     }},
    {"fragment without its end marker", 3,
     [](DataFolder& d, Random& r) {
         std::string& bytes = d.files[r.Fragment()];
         bytes = bytes.substr(0, bytes.find(kMarker)) + Lines(r, 2);
     }},
    {"first line of 1011.dat is the end marker", 1,
     [](DataFolder& d, Random& r) {
         d.files["1011.dat"] = kMarker + r.LineEnd() + Lines(r, 2);
         d.markerText = true;
     }},
    {"an empty file", 2, [](DataFolder& d, Random& r) { d.files[kInputs[r.Below(8)]].clear(); }},
    {"a line of a few MB", 1,
     [](DataFolder& d, Random& r) {
         std::string line = r.Bytes((1 + r.Below(3)) << 20, 33);
         if (r.OneIn(3))
             d.files["1013.dat"] = "\n\n" + InsertSafe(line) + "\n";
         else
             d.files[r.Fragment()].insert(0, line + r.LineEnd());
     }},
    {"a file missing", 2,
     [](DataFolder& d, Random& r) { d.states[kInputs[r.Below(8)]] = Missing; }},
    {"a folder where a file should be", 2,
     [](DataFolder& d, Random& r) { d.states[kInputs[r.Below(8)]] = Folder; }},
    {"a file held open by another program", 1,
     [](DataFolder& d, Random& r) { d.states[kInputs[r.Below(8)]] = Locked; }},
    {"no data folder", 1, [](DataFolder& d, Random&) { d.noData = true; }},
};

std::string RunTwists(DataFolder& d, Random& r) {
    uint32_t total = 0;
    for (const Twist& t : kTwists) total += t.weight;
    std::string names;
    for (uint32_t n = 1 + r.Below(3); n > 0; n--) {
        uint32_t pick = r.Below(total);
        const Twist* t = kTwists;
        while (pick >= t->weight) pick -= (t++)->weight;
        t->apply(d, r);
        names += std::string(names.empty() ? "" : "; ") + t->what;
    }
    return names;
}

// Files held open without sharing while the program runs.
struct Locks {
    std::vector<HANDLE> handles;
    ~Locks() {
        for (HANDLE lock : handles) CloseHandle(lock);
    }
};

bool WriteFolder(const TempFolder& folder, const DataFolder& d, Locks* locks) {
    if (d.noData) return true;
    std::map<std::string, std::string> files;
    for (const auto& file : d.files)
        if (d.states.at(file.first) != Missing && d.states.at(file.first) != Folder)
            files.insert(file);
    files["1014.dat"] = "earlier page";
    if (!WriteDataFiles(folder.Path(), files)) return false;
    for (const auto& state : d.states) {
        std::string path = folder.File("data\\" + state.first);
        if (state.second == Folder && !CreateDirectoryA(path.c_str(), nullptr)) return false;
        if (state.second != Locked) continue;
        HANDLE lock =
            CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (lock == INVALID_HANDLE_VALUE) return false;
        locks->handles.push_back(lock);
    }
    return true;
}

bool Unreadable(const DataFolder& d) {
    if (d.noData) return true;
    for (const auto& state : d.states)
        if (state.second != Present) return true;
    return false;
}

// The page lumivane-author builds for the folder on this screen.
std::string AuthorPage(const TempFolder& folder) {
    TempFolder out;
    std::string bytes;
    CurrentFolder keep(folder.Path()); // the tool moves into the folder
    if (AuthorBuild(folder.Path().c_str(), GetSystemMetrics(SM_CXSCREEN),
                    GetSystemMetrics(SM_CYSCREEN), out.File("page").c_str()) != 0 ||
        !ReadWholeFile(out.File("page"), &bytes))
        return "(lumivane-author build failed)";
    return bytes;
}

// Runs the program once on a folder and checks all that the run must do.
void RunOnce(const DataFolder& d) {
    TempFolder folder;
    Locks locks;
    ASSERT_TRUE(WriteFolder(folder, d, &locks));
    std::string page;
    if (Unreadable(d)) {
        EXPECT_TRUE(
            ProgramReported(ProgramRunInFolder(folder.Path()), "Error: can't read the file"));
        if (d.noData) {
            EXPECT_FALSE(FileExists(folder.File("data")));
            return;
        }
        EXPECT_TRUE(ReadWholeFile(folder.File("data\\1014.dat"), &page));
        EXPECT_EQ("earlier page", page);
        return;
    }
    PresentationProcess run(ProgramExe(), folder.Path());
    ASSERT_TRUE(run.Window()) << "no window came up";
    char title[32] = "";
    GetWindowTextA(run.Window(), title, sizeof title);
    ASSERT_STREQ("", title) << "a box came up instead of the presentation";
    ASSERT_TRUE(run.Foreground());
    PressKeys(VK_ESCAPE);
    DWORD code = 99;
    EXPECT_TRUE(run.Ended(10000, &code)) << "Escape did not end it";
    EXPECT_EQ(0u, code);
    ASSERT_TRUE(ReadWholeFile(folder.File("data\\1014.dat"), &page));
    EXPECT_EQ(std::string::npos, page.find_first_of("\r\n"));
    if (!d.markerText) {
        EXPECT_EQ(std::string::npos, page.find(kMarker));
    }
    std::string built = AuthorPage(folder);
    EXPECT_TRUE(page == built) << "the page (" << page.size() << " bytes) is not the author's ("
                               << built.size() << " bytes): " << page.substr(0, 200);
}

uint32_t EnvironmentNumber(const char* name, uint32_t otherwise) {
    const char* text = getenv(name);
    return text && *text ? (uint32_t)strtoul(text, nullptr, 10) : otherwise;
}

} // namespace

TEST(RandomRun, EveryFolderEndsInTheBoxOrTheAuthorsPage) {
    uint32_t seed = EnvironmentNumber("LUMIVANE_SEED", GetTickCount() ^ GetCurrentProcessId());
    uint32_t runs = EnvironmentNumber("LUMIVANE_RUNS", 200);
    uint32_t only = EnvironmentNumber("LUMIVANE_RUN", UINT32_MAX);
    printf("seed %u (LUMIVANE_SEED=%u replays it), %u runs\n", seed, seed, runs);
    const testing::TestResult* result =
        testing::UnitTest::GetInstance()->current_test_info()->result();
    int failed = 0;
    // On a loaded machine the runs stop early rather than hold up the suite.
    const DWORD kBudgetMs = 150000, start = GetTickCount();
    for (uint32_t i = 0; i < runs && failed < 5; i++) {
        if (only != UINT32_MAX && i != only) continue;
        if (GetTickCount() - start > kBudgetMs) {
            printf("the time is up after %u runs\n", i);
            break;
        }
        Random r(seed * 2654435761u + i);
        DataFolder d;
        MakeFolder(d, r);
        std::string twists = RunTwists(d, r);
        SCOPED_TRACE("seed " + std::to_string(seed) + ", run " + std::to_string(i) +
                     " (LUMIVANE_RUN=" + std::to_string(i) + "): " + twists);
        int parts = result->total_part_count();
        RunOnce(d);
        if (result->total_part_count() != parts) failed++;
    }
    printf("%.1f s\n", (GetTickCount() - start) / 1000.0);
}

#include "../PageData.h"
#include "../program/ProgramRunner.h"
#include "AuthorRunner.h"
#include "builder/Settings.h"
#include <gtest/gtest.h>

namespace {

std::string ScreenArgument() {
    return ScreenWidthText() + "x" + ScreenHeightText();
}

} // namespace

// What the tool builds is what the presenter writes: both run on the same
// folder, the tool told this screen's size.
TEST(AuthorBuild, PageIsThePresentersPageFile) {
    TempFolder sample;
    AuthorOutcome init = AuthorRun("init " + Quoted(sample.Path()));
    ASSERT_EQ(0u, init.exitCode) << init.err;
    TempFolder mixed;
    ASSERT_TRUE(WriteDataFiles(mixed.Path(), SampleDataFiles()));
    for (const TempFolder* folder : {&sample, &mixed}) {
        SCOPED_TRACE(folder->Path());
        AuthorOutcome toFile = AuthorRun("build " + Quoted(folder->Path()) + " --screen " +
                                             ScreenArgument() + " -o page.html",
                                         folder->Path());
        EXPECT_EQ(0u, toFile.exitCode) << toFile.err;
        AuthorOutcome toOut =
            AuthorRun("build --screen " + ScreenArgument() + " " + Quoted(folder->Path()));
        EXPECT_EQ(0u, toOut.exitCode) << toOut.err;
        ProgramOutcome run = ProgramRunInFolder(folder->Path());
        ASSERT_TRUE(run.started);
        EXPECT_FALSE(run.boxShown) << run.boxText;
        std::string presented, built;
        ASSERT_TRUE(ReadWholeFile(folder->File("data\\1014.dat"), &presented));
        ASSERT_TRUE(ReadWholeFile(folder->File("page.html"), &built));
        EXPECT_FALSE(presented.empty());
        EXPECT_EQ(presented, built);
        EXPECT_EQ(presented, toOut.out);
        // Started outside the presentation, a relative -o names a file where it started.
        TempFolder elsewhere;
        AuthorOutcome outside = AuthorRun("build " + Quoted(folder->Path()) + " --screen " +
                                              ScreenArgument() + " -o outside.html",
                                          elsewhere.Path());
        EXPECT_EQ(0u, outside.exitCode) << outside.err;
        std::string there;
        EXPECT_TRUE(ReadWholeFile(elsewhere.File("outside.html"), &there));
        EXPECT_EQ(presented, there);
        EXPECT_FALSE(FileExists(folder->File("outside.html")));
    }
    AuthorOutcome other = AuthorRun("build " + Quoted(mixed.Path()) + " --screen 640x-1");
    EXPECT_EQ(2u, other.exitCode);
    other = AuthorRun("build " + Quoted(mixed.Path()) + " --screen 640x480");
    EXPECT_EQ(0u, other.exitCode);
    EXPECT_NE(std::string::npos, other.out.find("width:600px;height:512px")) << other.out;
}

TEST(AuthorBuild, UnreadableFileIsNamed) {
    TempFolder folder;
    auto files = SampleDataFiles();
    files.erase("1016.dat");
    files.erase("1018.dat");
    ASSERT_TRUE(WriteDataFiles(folder.Path(), files));
    AuthorOutcome outcome = AuthorRun("build . --screen 800x600 -o page.html", folder.Path());
    EXPECT_EQ(1u, outcome.exitCode);
    EXPECT_EQ("./data/1016.dat: can't read the file\n", outcome.err);
    EXPECT_FALSE(FileExists(folder.File("page.html")));
}

// init writes the sample as the source tree holds it, and nothing over what is there.
TEST(AuthorInit, WritesTheSampleOnceAndNothingOver) {
    TempFolder folder;
    std::string target = folder.File("new\\talk"); // two folders to make
    AuthorOutcome first = AuthorRun("init " + Quoted(target));
    ASSERT_EQ(0u, first.exitCode) << first.err;
    std::string sample = SampleFolder();
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((sample + "\\data\\*").c_str(), &found);
    ASSERT_NE(INVALID_HANDLE_VALUE, search);
    int files = 0;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        std::string original, written;
        ASSERT_TRUE(ReadWholeFile(sample + "\\data\\" + found.cFileName, &original));
        EXPECT_TRUE(ReadWholeFile(target + "\\data\\" + found.cFileName, &written))
            << found.cFileName;
        EXPECT_EQ(original, written) << found.cFileName;
        files++;
    } while (FindNextFileA(search, &found));
    FindClose(search);
    EXPECT_GE(files, 7);
    std::string plain;
    if (ReadWholeFile(sample + "\\settings.txt", &plain)) {
        ASSERT_TRUE(SettingsReadFile((target + "\\data\\1013.dat").c_str(), 0, 0));
        std::string values;
        for (int n = 1; n <= SettingsCount; n++) values += std::string(SettingsValue(n)) + "\n";
        std::string lines; // the plain file with every line end an LF
        for (size_t i = 0; i < plain.size(); i++)
            if (plain[i] != '\r')
                lines += plain[i];
            else if (i + 1 >= plain.size() || plain[i + 1] != '\n')
                lines += '\n';
        if (!lines.empty() && lines.back() != '\n') lines += '\n';
        EXPECT_EQ(lines, values);
    }

    // The sample as written is clean.
    AuthorOutcome checked = AuthorRun("check " + Quoted(target));
    EXPECT_EQ(0u, checked.exitCode) << checked.out;
    EXPECT_EQ("", checked.out);

    // A second init, or one over a single file of the sample, writes nothing.
    ASSERT_TRUE(WriteWholeFile(target + "\\data\\1015.dat", "mine"));
    AuthorOutcome again = AuthorRun("init " + Quoted(target));
    EXPECT_EQ(1u, again.exitCode);
    EXPECT_NE(std::string::npos, again.err.find("1015.dat: already there")) << again.err;
    std::string kept;
    ASSERT_TRUE(ReadWholeFile(target + "\\data\\1015.dat", &kept));
    EXPECT_EQ("mine", kept);
    TempFolder other;
    ASSERT_TRUE(WriteDataFiles(other.Path(), {{"1019.dat", "mine"}}));
    AuthorOutcome partial = AuthorRun("init " + Quoted(other.Path()));
    EXPECT_EQ(1u, partial.exitCode);
    EXPECT_FALSE(FileExists(other.File("data\\1010.dat")));

    // A file that can't be written after others were: nothing of the sample is left.
    TempFolder blocked;
    DWORD pid = 0;
    AuthorOutcome failed = AuthorRun("init talk", blocked.Path(), [&](DWORD id) {
        pid = id;
        CreateDirectoryA(blocked.File("talk").c_str(), nullptr);
        CreateDirectoryA(blocked.File("talk\\data").c_str(), nullptr);
        CreateDirectoryA(blocked.File("talk\\data\\1019.dat." + std::to_string(id) + ".tmp").c_str(),
                         nullptr);
    });
    EXPECT_EQ(1u, failed.exitCode);
    EXPECT_NE(std::string::npos, failed.err.find("1019.dat: can't write the file")) << failed.err;
    WIN32_FIND_DATAA left;
    HANDLE listing = FindFirstFileA(blocked.File("talk\\data\\*").c_str(), &left);
    ASSERT_NE(INVALID_HANDLE_VALUE, listing);
    std::string names;
    do names += std::string(left.cFileName) + " ";
    while (FindNextFileA(listing, &left));
    FindClose(listing);
    EXPECT_EQ(". .. 1019.dat." + std::to_string(pid) + ".tmp ", names);
}

TEST(AuthorUsage, WrongCommandLinesSayWhatIsWrong) {
    struct Case {
        const char* arguments;
        const char* says;
    } cases[] = {
        {"", "no command"},
        {"play x", "no command \"play\""},
        {"show a b", "show takes DIR"},
        {"encode a", "encode takes PLAIN and SETTINGS"},
        {"encode a b c", "encode takes PLAIN and SETTINGS"},
        {"encode a --entities b", "--entities is the only option"},
        {"decode", "decode takes SETTINGS"},
        {"check", "check takes DIR"},
        {"check a b", "check takes DIR"},
        {"init", "init takes DIR"},
        {"build x", "no --screen"},
        {"build --screen 800x600", "no DIR"},
        {"build x --screen", "a value must follow"},
        {"build x --screen 800", "--screen takes WIDTHxHEIGHT"},
        {"build x --screen 0x600", "--screen takes WIDTHxHEIGHT"},
        {"build x --screen 800x600px", "--screen takes WIDTHxHEIGHT"},
        {"build x --screen 9999999x600", "--screen takes WIDTHxHEIGHT"},
        {"build x y --screen 800x600", "takes one DIR"},
        {"build x --sreen 800x600", "takes one DIR"},
        {"pack x", "pack takes PAGE and DIR"},
        {"pack x y z", "takes one PAGE and one DIR"},
        {"pack x y --insert", "a value must follow"},
        {"pack x y --insert a --settings b", "not both"},
        {"pack x y --inserts a", "takes PAGE, DIR, --insert TEXT"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        AuthorOutcome outcome = AuthorRun(c.arguments);
        EXPECT_EQ(2u, outcome.exitCode);
        EXPECT_EQ("", outcome.out);
        std::string first = outcome.err.substr(0, outcome.err.find('\n'));
        EXPECT_EQ(0u, first.find("lumivane-author: ")) << first;
        EXPECT_NE(std::string::npos, first.find(c.says)) << first;
        EXPECT_NE(std::string::npos, outcome.err.find("usage: lumivane-author")) << outcome.err;
    }
    AuthorOutcome help = AuthorRun("--help");
    EXPECT_EQ(0u, help.exitCode);
    EXPECT_EQ(0u, help.out.find("usage: lumivane-author COMMAND")) << help.out;
    EXPECT_EQ("", help.err);
    AuthorOutcome version = AuthorRun("--version");
    EXPECT_EQ(0u, version.exitCode);
    EXPECT_EQ("lumivane-author " LUMIVANE_VERSION "\n", version.out);
}

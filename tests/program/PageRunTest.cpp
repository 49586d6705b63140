#include "../PageData.h"
#include "ProgramRunner.h"
#include <gtest/gtest.h>

namespace {

// The built program in a fresh folder that holds a data folder.
class PageRun : public testing::Test {
  protected:
    std::string PageFile() {
        std::string bytes;
        if (!ReadWholeFile(folder_.File("data\\1014.dat"), &bytes)) return "(no page file)";
        return bytes;
    }
    TempFolder folder_;
};

} // namespace

TEST_F(PageRun, WritesThePageFileAndEnds) {
    auto files = SampleDataFiles();
    files["1014.dat"] = std::string(3000, 'o'); // an earlier, longer page
    ASSERT_TRUE(WriteDataFiles(folder_.Path(), files));
    ProgramOutcome outcome = ProgramRunInFolder(folder_.Path());
    ASSERT_TRUE(outcome.started);
    EXPECT_FALSE(outcome.boxShown) << outcome.boxText;
    EXPECT_TRUE(outcome.presented);
    EXPECT_TRUE(outcome.exited);
    EXPECT_EQ(0u, outcome.exitCode);
    EXPECT_EQ(SamplePage(), PageFile());
}

TEST_F(PageRun, UnreadableDataLeavesTheEarlierPageFile) {
    struct Case {
        const char* what;
        const char* missing; // a file left out
        const char* folder;  // a folder in place of a file
    } cases[] = {
        {"no settings file", "1013.dat", nullptr},
        {"first fragment missing", "1010.dat", nullptr},
        {"one-line fragment missing", "1011.dat", nullptr},
        {"a middle fragment missing, a later one a folder", "1016.dat", "1018.dat"},
        {"a folder in place of a fragment", nullptr, "1015.dat"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        auto files = SampleDataFiles();
        if (c.missing) files.erase(c.missing);
        if (c.folder) files.erase(c.folder);
        files["1014.dat"] = "earlier page";
        ASSERT_TRUE(WriteDataFiles(folder.Path(), files));
        if (c.folder) {
            std::string path = folder.Path() + "\\data\\" + c.folder;
            ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
        }
        ProgramOutcome outcome = ProgramRunInFolder(folder.Path());
        EXPECT_TRUE(ProgramReported(outcome, "Error: can't read the file"));
        std::string bytes;
        EXPECT_TRUE(ReadWholeFile(folder.File("data\\1014.dat"), &bytes));
        EXPECT_EQ("earlier page", bytes);
    }
}

TEST_F(PageRun, PageFileThatCannotBeWrittenIsReported) {
    ASSERT_TRUE(WriteDataFiles(folder_.Path(), SampleDataFiles()));
    // A folder where the page file belongs, then a page file on a full disk.
    ASSERT_TRUE(CreateDirectoryA(folder_.File("data\\1014.dat").c_str(), nullptr));
    for (int round = 0; round < 2; round++) {
        SCOPED_TRACE(round == 0 ? "folder" : "full disk");
        std::unique_ptr<FullDiskFile> full;
        if (round == 1) {
            if (!UnderWine()) break; // a full disk is made from the Unix side only
            ASSERT_TRUE(RemoveDirectoryA(folder_.File("data\\1014.dat").c_str()));
            full.reset(new FullDiskFile(folder_.File("data\\1014.dat")));
            ASSERT_TRUE(full->Made());
        }
        ProgramOutcome outcome = ProgramRunInFolder(folder_.Path());
        EXPECT_TRUE(ProgramReported(outcome, "Error: can't write the file"));
    }
}

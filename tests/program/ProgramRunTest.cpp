#include "../TestSupport.h"
#include "ProgramRunner.h"
#include <gtest/gtest.h>

static int FolderEntryCount(const std::string& folder) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    int count = 0;
    if (search == INVALID_HANDLE_VALUE) return 0;
    do {
        std::string name = found.cFileName;
        if (name != "." && name != "..") count++;
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return count;
}

TEST(ProgramRun, WithoutDataFolderReportsUnreadableFile) {
    TempFolder folder;
    ProgramOutcome outcome = ProgramRunInFolder(folder.Path());
    EXPECT_TRUE(ProgramReported(outcome, "Error: can't read the file"));
    EXPECT_EQ(0, FolderEntryCount(folder.Path())) << "the run left files behind";
}

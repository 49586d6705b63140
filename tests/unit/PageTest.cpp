#include "../LibraryQueries.h"
#include "../PageData.h"
#include "builder/Page.h"
#include "builder/PageUrl.h"
#include "builder/Program.h"
#include "files/File.h"
#include <gtest/gtest.h>

namespace {

// Page building in a fresh folder that is the current directory for the test.
class Page : public testing::Test {
  protected:
    Page() : here_(folder_.Path()) {}
    bool Write(const std::map<std::string, std::string>& files) {
        return WriteDataFiles(folder_.Path(), files);
    }
    // The page text that one fragment file alone gives.
    std::string Fragment(const std::string& bytes) {
        EXPECT_TRUE(Write({{"f.dat", bytes}}));
        PageClear();
        EXPECT_NE(0, PageFragmentRead("data/f.dat"));
        EXPECT_EQ(0, FileAtEnd(0)) << "file 0 left open";
        return std::string(PageText(), PageLength());
    }
    std::string PageFile() {
        std::string bytes;
        EXPECT_TRUE(ReadWholeFile(folder_.File("data\\1014.dat"), &bytes));
        return bytes;
    }
    TempFolder folder_;
    CurrentFolder here_;
};

const std::string kMarker = "codebase random>";

} // namespace

TEST_F(Page, FragmentEndsAtItsMarkerLine) {
    struct Case {
        const char* what;
        std::string file;
        std::string page;
    } cases[] = {
        {"lines join with nothing between", "a\nb\n" + kMarker + "\n", "ab"},
        {"nothing after the marker is read", "a\n" + kMarker + "\nb\n" + kMarker + "\nc", "a"},
        {"marker first", kMarker + "\r\nlater", ""},
        {"spaces round the marker", "x\n   " + kMarker + "  \ny", "x"},
        {"a tab is not a space", "\t" + kMarker + "\n" + kMarker + "\t\n" + kMarker,
         "\t" + kMarker + kMarker + "\t"},
        {"letter case counts", "Codebase random>\nCODEBASE RANDOM>\n" + kMarker,
         "Codebase random>CODEBASE RANDOM>"},
        {"extra or missing characters",
         kMarker + ">\n" + "codebase random\ncodebase  random>\nx" + kMarker + "\n" + kMarker,
         kMarker + ">codebase randomcodebase  random>x" + kMarker},
        {"space indentation goes, tab indentation stays",
         "   <p>  \n\t<b>\t\n \t i \t \n" + kMarker, "<p>\t<b>\t\t i \t"},
        {"blank lines add nothing", "\n\n   \na\r\n\r\n" + kMarker, "a"},
        {"every line end",
         std::string("a\r\nb\rc\nd", 8) + std::string(1, '\0') + "e\n\rf\r\r\n" + kMarker + "\rz",
         "abcdef"},
        {"bytes above 127 pass unchanged", "\xe9t\xe9\r\n\x80\xff\xa0\n" + kMarker,
         "\xe9t\xe9\x80\xff\xa0"},
        {"marker after a zero byte",
         "q" + std::string(1, '\0') + kMarker + std::string(1, '\0') + "r", "q"},
        {"no marker: the file's end ends it", "a\nb", "ab"},
        {"no marker, line end last", "a\r\nb\r\n", "ab"},
        {"no marker, lone CR last", "a\r", "a"},
        {"no marker, blank lines last", "a\n\n  \n\n", "a"},
        {"empty file", "", ""},
        {"marker cut short at the end", "a\ncodebase rand", "acodebase rand"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.page, Fragment(c.file)) << c.what;
}

TEST_F(Page, LineEndsAcrossReadBlocks) {
    // Line ends that fall on the edge of a 64 KB read, and lines longer than one.
    const size_t block = 1 << 16;
    std::string x(block - 1, 'x'), y(3 * block + 5, 'y');
    struct Case {
        std::string file;
        std::string page;
    } cases[] = {
        {x + "\r\nv\n" + kMarker, x + "v"},
        {x + "\rv\n" + kMarker, x + "v"},
        {x + "\r" + kMarker + "\nv", x},
        {x + std::string(1, '\0') + "v\n" + kMarker, x + "v"},
        {x + " \n  " + kMarker, x},
        {y + "\n" + y + "\r\n" + kMarker, y + y},
        {y, y},
        {"a\n" + x + "x" + kMarker, "a" + x + "x" + kMarker},
    };
    for (const Case& c : cases) {
        std::string page = Fragment(c.file);
        EXPECT_EQ(c.page.size(), page.size());
        EXPECT_TRUE(c.page == page) << "file of " << c.file.size() << " bytes";
    }
}

TEST_F(Page, FirstLineFragmentTakesOneLineWithoutLookingForTheMarker) {
    struct Case {
        std::string file;
        std::string page;
    } cases[] = {
        {kMarker + "\nmore", kMarker},
        {"  a b  \r\nc\n" + kMarker, "a b"},
        {"\tx\rc", "\tx"},
        {"", ""},
        {"\nnot this", ""},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(Write({{"1.dat", c.file}}));
        PageClear();
        EXPECT_NE(0, PageLineRead("data/1.dat"));
        EXPECT_EQ(c.page, PageText());
    }
}

TEST_F(Page, BuildsThePiecesInOrderAndWritesThemExactly) {
    ASSERT_TRUE(Write(SampleDataFiles()));
    ASSERT_NE(0, SettingsRead());
    ASSERT_NE(0, PageBuild());
    EXPECT_EQ(SamplePage(), PageText());
    // An earlier, longer page file is replaced, not overwritten in part.
    ASSERT_TRUE(Write({{"1014.dat", std::string(5000, 'o')}}));
    ASSERT_NE(0, PageSave());
    EXPECT_EQ(SamplePage(), PageFile());

    // An empty insert text joins its neighbours; an empty page gives an empty file.
    auto files = SampleDataFiles();
    files["1013.dat"] = SettingsBytes({"", "", "", "", "", "", "", "", "", ""});
    ASSERT_TRUE(Write(files));
    ASSERT_NE(0, SettingsRead());
    ASSERT_NE(0, PageBuild());
    const std::string width = ScreenWidthText(), height = ScreenHeightText();
    EXPECT_EQ("<html><body style=\"width:" + width + "px;height:" + height +
                  "px\">\t<h1></h1><p></p><i>" + width + "x" + height + "</i></body></html>",
              std::string(PageText()));
    for (const char* name :
         {"1010.dat", "1011.dat", "1015.dat", "1016.dat", "1017.dat", "1018.dat", "1019.dat"})
        files[name] = "\r\n  \n" + kMarker;
    ASSERT_TRUE(Write(files));
    ASSERT_NE(0, PageBuild());
    EXPECT_EQ(width + height + width + height, std::string(PageText()));
    PageClear();
    ASSERT_NE(0, PageSave());
    EXPECT_EQ("", PageFile());
}

TEST_F(Page, FirstMissingFragmentStopsTheBuildBeforeAnyWrite) {
    auto files = SampleDataFiles();
    files["1016.dat"] = "LATER-FRAGMENT\n" + kMarker;
    files["1014.dat"] = "earlier page";
    for (const char* missing : {"1010.dat", "1011.dat", "1015.dat", "1019.dat"}) {
        SCOPED_TRACE(missing);
        TempFolder folder;
        CurrentFolder here(folder.Path());
        auto present = files;
        present.erase(missing);
        ASSERT_TRUE(WriteDataFiles(folder.Path(), present));
        ASSERT_NE(0, SettingsRead());
        EXPECT_EQ(0, PageBuild());
        EXPECT_EQ(0, FileAtEnd(0)) << "file 0 left open";
        // A failed open leaves no current file and a later successful one would
        // leave its handle: no file was opened after the missing one.
        EXPECT_EQ(nullptr, FileSelect(0)) << "a file was opened after the missing one";
        std::string page = PageText();
        if (std::string(missing) != "1019.dat") {
            EXPECT_EQ(std::string::npos, page.find("LATER")) << "read past the missing fragment";
        }
        std::string bytes;
        ASSERT_TRUE(ReadWholeFile(folder.File("data\\1014.dat"), &bytes));
        EXPECT_EQ("earlier page", bytes);
    }
}

// Memory for the page that runs out at any point fails the build (the program
// then shows the read error); memory that holds the page whole gives it whole.
// Each piece in turn is long among short ones, so that the pieces after one
// that can't be taken still fit.
TEST_F(Page, PageMemoryRunningOutFailsTheBuild) {
    const std::string names[] = {"1010.dat", "1011.dat", "1015.dat", "1016.dat",
                                 "1017.dat", "1018.dat", "1019.dat", "insert"};
    for (const std::string& longPiece : names) {
        std::map<std::string, std::string> files;
        for (const std::string& name : names)
            files[name] = (name == longPiece ? std::string(40, 'L') : "s") + "\n" + kMarker;
        files["1013.dat"] =
            SettingsBytes({"", "", files["insert"].substr(0, files["insert"].find('\n')), "", "",
                           "", "", "", "", ""});
        files.erase("insert");
        ASSERT_TRUE(Write(files));
        ASSERT_NE(0, SettingsRead());
        ASSERT_NE(0, PageBuild());
        const std::string whole = PageText();
        for (size_t most = 0; most <= whole.size() + 8; most++) {
            TextLimit(most);
            int built = PageBuild();
            TextLimit(SIZE_MAX);
            ASSERT_EQ(most >= whole.size(), built != 0) << longPiece << ", room for " << most;
            if (built) {
                ASSERT_EQ(whole, PageText()) << longPiece << ", room for " << most;
            }
        }
    }
}

TEST_F(Page, PageFileThatCannotBeCreatedOrWrittenFails) {
    ASSERT_TRUE(Write(SampleDataFiles()));
    ASSERT_NE(0, SettingsRead());
    ASSERT_NE(0, PageBuild());
    // A folder in the way.
    ASSERT_TRUE(CreateDirectoryA("data\\1014.dat", nullptr));
    EXPECT_EQ(0, PageSave());
    ASSERT_TRUE(RemoveDirectoryA("data\\1014.dat"));
    // Another program holds the file and shares it with nobody.
    ASSERT_TRUE(Write({{"1014.dat", "held"}}));
    HANDLE held =
        CreateFileA("data\\1014.dat", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_EQ(0, PageSave());
    CloseHandle(held);
    EXPECT_EQ("held", PageFile());
}

TEST_F(Page, LargePageIsBuiltExactly) {
    // Over a megabyte from many short lines and single lines far longer than 64,000 bytes.
    std::string lines, expected;
    for (int i = 0; i < 40000; i++) {
        std::string line = "<p>line " + std::to_string(i) + std::string(i % 50, '.') + "</p>";
        lines += "  " + line + (i % 3 == 0 ? "\r\n" : i % 3 == 1 ? "\n" : "\r");
        expected += line;
    }
    std::string longLine(300000, 'L');
    longLine[12345] = '\xf0';
    auto files = SampleDataFiles();
    files["1015.dat"] = lines + kMarker;
    files["1017.dat"] = longLine + "\n" + longLine + "\n" + kMarker;
    ASSERT_TRUE(Write(files));
    ASSERT_NE(0, SettingsRead());
    ASSERT_NE(0, PageBuild());
    std::string page = SamplePage();
    page.replace(page.find("px\">\t<h1>"), 9, expected);
    page.replace(page.find("</p><i>"), 7, longLine + longLine);
    ASSERT_GT(page.size(), 1u << 20);
    EXPECT_EQ(page.size(), PageLength());
    EXPECT_TRUE(page == PageText()) << "the page differs";
    ASSERT_NE(0, PageSave());
    EXPECT_TRUE(page == PageFile()) << "the page file differs";
    EXPECT_EQ(std::string::npos, page.find_first_of("\r\n"));
}

TEST_F(Page, UrlPointsAtThePageFileInTheProgramFolder) {
    EXPECT_EQ("file:\\\\" + ModuleFolder() + "data/1014.dat", PageUrl());
}

TEST_F(Page, PageFileThatTakesNoBytesFails) {
    ASSERT_TRUE(Write(SampleDataFiles()));
    ASSERT_NE(0, SettingsRead());
    ASSERT_NE(0, PageBuild());
    if (!UnderWine()) GTEST_SKIP() << "a full disk is made from the Unix side only";
    FullDiskFile full(folder_.File("data\\1014.dat"));
    ASSERT_TRUE(full.Made());
    // The file is created, but the page does not go into it.
    EXPECT_EQ(0, PageSave());
    EXPECT_EQ(0, FileAtEnd(0)) << "file 0 left open";
}

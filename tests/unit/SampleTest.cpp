#include "../PageData.h"
#include "builder/Page.h"
#include "builder/PageRules.h"
#include "base/TextRules.h"
#include <gtest/gtest.h>
#include <string.h>

static std::vector<std::string> Lines(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        lines.push_back(bytes.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

TEST(Sample, AssemblesToTheExpectedPage) {
    std::string sample = SampleFolder();
    std::string settings, expected = SampleExpectedPage();
    ASSERT_TRUE(ReadWholeFile(sample + "\\settings.txt", &settings)) << sample;
    ASSERT_NE("", expected);

    // Every value survives being stored: nothing enciphers to a line end, and
    // nothing that becomes a space stands first or last.
    std::vector<std::string> values = Lines(settings);
    ASSERT_EQ(10u, values.size());
    for (const std::string& value : values) {
        std::string stored = Encipher(value);
        EXPECT_EQ(value.size(), stored.size()) << value;
        EXPECT_EQ(std::string::npos, stored.find_first_of("\r\n")) << value;
        size_t trimmed = 0;
        TextTrim(stored.data(), stored.size(), &trimmed);
        EXPECT_EQ(stored.size(), trimmed) << value;
    }

    std::map<std::string, std::string> files = {{"1013.dat", SettingsBytes(values)}};
    for (const char* name :
         {"1010.dat", "1011.dat", "1015.dat", "1016.dat", "1017.dat", "1018.dat", "1019.dat"}) {
        ASSERT_TRUE(ReadWholeFile(sample + "\\data\\" + name, &files[name])) << name;
        // Each fragment but the one-line one ends with its marker, not with its file.
        std::vector<std::string> lines = Lines(files[name]);
        if (strcmp(name, "1011.dat") != 0) {
            ASSERT_FALSE(lines.empty()) << name;
            EXPECT_TRUE(PageLineIsEndMarker(lines.back().data(), lines.back().size())) << name;
        }
    }
    TempFolder folder;
    CurrentFolder here(folder.Path());
    ASSERT_TRUE(WriteDataFiles(folder.Path(), files));
    ASSERT_NE(0, SettingsRead());
    ASSERT_NE(0, PageBuild());
    ASSERT_NE(0, PageSave());
    std::string page;
    ASSERT_TRUE(ReadWholeFile(folder.File("data\\1014.dat"), &page));
    EXPECT_EQ(expected, page);
}

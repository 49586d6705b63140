#include "../PageData.h"
#include "builder/Settings.h"
#include "files/File.h"
#include <gtest/gtest.h>

namespace {

// The settings reader against a file in a fresh folder.
class Settings : public testing::Test {
  protected:
    int Read(const std::string& bytes) {
        CurrentFolder here(folder_.Path());
        EXPECT_TRUE(WriteDataFiles(folder_.Path(), {{"1013.dat", bytes}}));
        return SettingsRead();
    }
    TempFolder folder_;
};

std::string E(const std::string& plain) {
    return Encipher(plain);
}
// The page width or height text for a screen side and an adjustment: their
// sum as a signed 32-bit number.
std::string Side(int metric, int64_t adjustment) {
    return std::to_string((int32_t)(uint32_t)(GetSystemMetrics(metric) + adjustment));
}
// What a stored byte deciphers to, by plain arithmetic.
std::string Plain(unsigned char stored) {
    return std::string(1, (char)((stored + 256 - 187) % 256));
}

} // namespace

TEST_F(Settings, ReadsTrimsAndDeciphersTenLines) {
    struct Case {
        const char* what;
        std::string file;
        std::vector<std::string> values; // values 1 to 10
        int64_t width;                   // adjustments of the screen's width and height
        int64_t height;
    } cases[] = {
        {"plain lines",
         SettingsBytes({"a", "b", "Hi!", "d", "f", "g", "7", "8", "-40", "32"}),
         {"a", "b", "Hi!", "d", "f", "g", "7", "8", "-40", "32"},
         -40,
         32},
        {"spaces round a line go, tabs stay",
         "  " + E("a b") + "   \r\n\t" + E("x") + "\t\r\n   \r\n\r\n" + E("5") + " \t \r\n",
         {"a b", Plain('\t') + "x" + Plain('\t'), "", "", "5" + Plain(' ') + Plain('\t'), "", "",
          "", "", ""},
         0,
         0},
        {"lines after line 10 are ignored",
         SettingsBytes({"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "-500"}),
         {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"},
         9,
         10},
        {"a short file",
         SettingsBytes({"uno", "two", "Hi!"}),
         {"uno", "two", "Hi!", "", "", "", "", "", "", ""},
         0,
         0},
        {"no line end after line 10",
         E("1") + "\n" + E("2") + "\n\n\n\n\n\n\n" + E("-1024") + "\n" + E("-800"),
         {"1", "2", "", "", "", "", "", "", "-1024", "-800"},
         -1024,
         -800},
        {"every line end",
         E("a") + "\r" + E("b") + "\n" + E("c") + std::string(1, '\0') + E("d") + "\r\n" + "\n\r" +
             E("g") + "\r\r\n" + E("x9") + "\n" + E("7") + "\r" + E("1"),
         {"a", "b", "c", "d", "", "", "g", "", "x9", "7"},
         0,
         7},
        {"a stored byte equal to the shift is dropped",
         E("H") + "\xbb" + E("i") + "\r\n\r\n" + E("1") + "\xbb\xbb" + E("2"),
         {"Hi", "", "12", "", "", "", "", "", "", ""},
         0,
         0},
        {"lines 1 and 2 hold anything",
         std::string("\x01\x7f\x80\xff\t-99x\xbb", 10) + "\n" + E("123456") + "\n",
         {std::string("F\xc4\xc5\x44", 4) + Plain('\t') + Plain('-') + Plain('9') + Plain('9') +
              Plain('x'),
          "123456", "", "", "", "", "", "", "", ""},
         0,
         0},
        {"sums wrap past 2^31",
         SettingsBytes({"", "", "", "", "", "", "", "", "2147483000", "2147483647"}),
         {"", "", "", "", "", "", "", "", "2147483000", "2147483647"},
         2147483000,
         2147483647},
        {"numbers by their leading digits",
         SettingsBytes({"", "", "", "", "", "", "", "", " 16px", "x1"}),
         {"", "", "", "", "", "", "", "", " 16px", "x1"},
         16,
         0},
        // A plain E enciphers to a zero byte: written by hand, it ends its line,
        // and every later value moves down one line ("HEY!", -40 and 32 were meant).
        {"an E stored by hand ends the line",
         E("demo") + "\r\n\r\n" + E("H") + std::string(1, '\0') + E("Y!") + "\r\n" + E("4") +
             "\r\n\r\n\r\n" + E("0") + "\r\n" + E("0") + "\r\n" + E("-40") + "\r\n" + E("32") +
             "\r\n",
         {"demo", "", "H", "Y!", "4", "", "", "0", "0", "-40"},
         0,
         -40},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_NE(0, Read(c.file));
        for (int n = 1; n <= 10; n++) EXPECT_EQ(c.values[n - 1], SettingsValue(n)) << "value " << n;
        EXPECT_EQ(Side(SM_CXSCREEN, c.width), SettingsPageWidth());
        EXPECT_EQ(Side(SM_CYSCREEN, c.height), SettingsPageHeight());
        EXPECT_EQ(0, FileAtEnd(0)) << "file 0 left open";
    }
    EXPECT_STREQ("", SettingsValue(0));
    EXPECT_STREQ("", SettingsValue(11));
}

TEST_F(Settings, MissingFileFailsAndChangesNothing) {
    ASSERT_NE(0, Read(SettingsBytes({"keep", "", "Hi!", "", "", "", "", "", "-40", "1"})));
    CurrentFolder here(folder_.Path());
    ASSERT_TRUE(DeleteFileA("data\\1013.dat"));
    EXPECT_EQ(0, SettingsRead());
    EXPECT_STREQ("keep", SettingsValue(1));
    EXPECT_STREQ("Hi!", SettingsValue(3));
    EXPECT_EQ(Side(SM_CXSCREEN, -40), SettingsPageWidth());
    EXPECT_EQ(Side(SM_CYSCREEN, 1), SettingsPageHeight());
}

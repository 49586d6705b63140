#include "../PageData.h"
#include "AuthorRunner.h"
#include "ImportWatch.h"
#include "authoring/AuthorOutput.h"
#include "authoring/AuthorPack.h"
#include "authoring/AuthorSettings.h"
#include "builder/Settings.h"
#include <gtest/gtest.h>
#include <functional>

namespace {

const std::string kHuge = "(a plain file of 4 GiB and more)";

// The values a settings file gives to the presenter's own reader.
std::vector<std::string> StoredValues(const std::string& path) {
    std::vector<std::string> values;
    if (!SettingsReadFile(path.c_str(), 0, 0)) return values;
    for (int n = 1; n <= SettingsCount; n++) values.push_back(SettingsValue(n));
    return values;
}

std::string Joined(const std::vector<std::string>& values, const std::string& end) {
    std::string bytes;
    for (const std::string& value : values) bytes += value + end;
    return bytes;
}

} // namespace

// Which plain bytes the rule says can't be stored, against what the presenter's
// reader makes of them: a byte in the middle of a value and at its end.
TEST(AuthorSettings, CharacterRuleMatchesTheReader) {
    TempFolder folder;
    std::string path = folder.File("1013.dat");
    int refusedInside = 0, refusedAtEdge = 0;
    for (int c = 1; c < 256; c++) {
        SCOPED_TRACE(c);
        std::string inside = "a" + std::string(1, (char)c) + "b";
        std::string edge = std::string(1, (char)c) + "b";
        ASSERT_TRUE(
            WriteWholeFile(path, SettingsBytes({inside, edge, "", "", "", "", "", "", "", ""})));
        std::vector<std::string> values = StoredValues(path);
        ASSERT_EQ(10u, values.size());
        bool keptInside = values[0] == inside;
        bool keptAtEdge = values[1] == edge;
        EXPECT_EQ(keptInside, SettingsCharFault((unsigned char)c, false) == nullptr);
        EXPECT_EQ(keptAtEdge, SettingsCharFault((unsigned char)c, true) == nullptr);
        refusedInside += SettingsCharFault((unsigned char)c, false) != nullptr;
        refusedAtEdge += SettingsCharFault((unsigned char)c, true) != nullptr;
    }
    EXPECT_EQ(3, refusedInside); // E, O, R
    EXPECT_EQ(4, refusedAtEdge); // and e
    EXPECT_NE(nullptr, SettingsCharFault(0, false));
}

TEST(AuthorEncode, DecodeGivesTheValuesBack) {
    const std::vector<std::string> values = {"Lumivan\xe9 d\xe9mo",
                                             "",
                                             "<h1 class=\"big\">Hi\tthere \\ 100%</h1>",
                                             "  inner  spaces  ",
                                             "\x01\x7f",
                                             "an e in the midst",
                                             "-10",
                                             "+15",
                                             "-40",
                                             "32"};
    struct Case {
        const char* what;
        std::string plain;
    } cases[] = {
        {"CR LF", Joined(values, "\r\n")},
        {"LF, no end after the last",
         Joined(values, "\n").substr(0, Joined(values, "\n").size() - 1)},
        {"lone CR", Joined(values, "\r")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        ASSERT_TRUE(WriteWholeFile(folder.File("plain.txt"), c.plain));
        AuthorOutcome encoded = AuthorRun("encode plain.txt 1013.dat", folder.Path());
        ASSERT_TRUE(encoded.started);
        EXPECT_EQ(0u, encoded.exitCode) << encoded.err;
        EXPECT_EQ("", encoded.err);
        std::string stored;
        ASSERT_TRUE(ReadWholeFile(folder.File("1013.dat"), &stored));
        EXPECT_EQ(SettingsBytes(values), stored);
        EXPECT_EQ(values, StoredValues(folder.File("1013.dat")));

        AuthorOutcome decoded = AuthorRun("decode 1013.dat", folder.Path());
        EXPECT_EQ(0u, decoded.exitCode) << decoded.err;
        EXPECT_EQ(" 1                    Lumivan\xe9 d\xe9mo\n"
                  " 2\n"
                  " 3 insert text        <h1 class=\"big\">Hi\\x09there \\\\ 100%</h1>\n"
                  " 4                      inner  spaces  \n"
                  " 5                    \\x01\\x7F\n"
                  " 6                    an e in the midst\n"
                  " 7 x adjustment       -10\n"
                  " 8 y adjustment       +15\n"
                  " 9 width adjustment   -40\n"
                  "10 height adjustment  32\n",
                  decoded.out);
    }
}

TEST(AuthorEncode, RefusesWhatCannotBeStoredAndLeavesTheFile) {
    const std::vector<std::string> good = {"a", "b", "c", "d", "f", "g", "1", "2", "3", "4"};
    auto with = [&](int n, const std::string& value) {
        std::vector<std::string> values = good;
        values[n - 1] = value;
        return Joined(values, "\n");
    };
    struct Case {
        std::string plain;
        const char* entities;
        std::string where; // what the message starts with
        std::string why;   // part of the reason
    } cases[] = {
        {with(1, "ABCDEF"), "", "plain.txt:1:5: the character \"E\" (69)", "zero byte"},
        {with(5, "foo"), "", "", ""}, // a control case: "o" is fine
        // A file of 4 GiB and more whose length cut to 32 bits reads as ten good lines.
        {kHuge, "", "plain.txt: can't read the file: 4 GiB or more", ""},
        {with(5, "xxOxx"), "", "plain.txt:5:3: the character \"O\" (79)", "line feed"},
        {with(10, "1R"), "", "plain.txt:10:2: the character \"R\" (82)", "carriage return"},
        {with(2, "ex"), "", "plain.txt:2:1: the character \"e\" (101)", "trimmed away"},
        {with(4, "xe"), "", "plain.txt:4:2: the character \"e\" (101)", "trimmed away"},
        {with(6, std::string("ab\0c", 4)), "", "plain.txt:6:3: the character 0", "zero byte"},
        {with(3, "<p>OK</p>"), "", "plain.txt:3:4: the character \"O\" (79)", "--entities"},
        {with(1, "HEY"), "--entities ", "plain.txt:1:2: the character \"E\"", "zero byte"},
        {with(3, std::string("a\0b", 3)), "--entities ", "plain.txt:3:2: the character 0", ""},
        {Joined({"1", "2", "3", "4", "5", "6", "7", "8", "9"}, "\n"), "",
         "plain.txt:10: only 9 lines", ""},
        {Joined(good, "\n") + "\n", "", "plain.txt:11: more than ten lines", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where.empty() ? "control" : c.where);
        TempFolder folder;
        if (c.plain == kHuge)
            ASSERT_TRUE(WriteSparseFile(folder.File("plain.txt"), Joined(good, "\n"),
                                        ((int64_t)1 << 32) + (int64_t)Joined(good, "\n").size()));
        else
            ASSERT_TRUE(WriteWholeFile(folder.File("plain.txt"), c.plain));
        ASSERT_TRUE(WriteWholeFile(folder.File("1013.dat"), "the earlier settings"));
        AuthorOutcome outcome =
            AuthorRun(std::string("encode ") + c.entities + "plain.txt 1013.dat", folder.Path());
        std::string stored;
        ASSERT_TRUE(ReadWholeFile(folder.File("1013.dat"), &stored));
        if (c.where.empty()) {
            EXPECT_EQ(0u, outcome.exitCode) << outcome.err;
            EXPECT_EQ(SettingsBytes({"a", "b", "c", "d", "foo", "g", "1", "2", "3", "4"}), stored);
            continue;
        }
        EXPECT_EQ(c.plain == kHuge ? 1u : 2u, outcome.exitCode);
        EXPECT_EQ(0u, outcome.err.find(c.where)) << outcome.err;
        EXPECT_NE(std::string::npos, outcome.err.find(c.why)) << outcome.err;
        EXPECT_EQ("the earlier settings", stored);
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA(folder.File("*.tmp").c_str(), &found);
        EXPECT_EQ(INVALID_HANDLE_VALUE, search) << "a temporary file was left";
        if (search != INVALID_HANDLE_VALUE) FindClose(search);
    }
}

TEST(AuthorEncode, EntitiesWriteTheInsertTextAsReferences) {
    TempFolder folder;
    std::vector<std::string> values = {"a", "b", "e<b>ROSE</b> e", "", "", "", "0", "0", "0", "0"};
    ASSERT_TRUE(WriteWholeFile(folder.File("plain.txt"), Joined(values, "\r\n")));
    AuthorOutcome outcome = AuthorRun("encode --entities plain.txt 1013.dat", folder.Path());
    EXPECT_EQ(0u, outcome.exitCode) << outcome.err;
    std::vector<std::string> stored = StoredValues(folder.File("1013.dat"));
    ASSERT_EQ(10u, stored.size());
    EXPECT_EQ("&#101;<b>&#82;&#79;S&#69;</b> &#101;", stored[2]);
    values[2] = stored[2];
    EXPECT_EQ(values, stored);
}

TEST(AuthorEncode, AdjustmentThatIsNoNumberIsToldButStored) {
    TempFolder folder;
    std::vector<std::string> values = {"", "", "", "", "", "", "12px", "", "1.5", "-7"};
    ASSERT_TRUE(WriteWholeFile(folder.File("plain.txt"), Joined(values, "\n")));
    AuthorOutcome outcome = AuthorRun("encode plain.txt 1013.dat", folder.Path());
    EXPECT_EQ(0u, outcome.exitCode);
    EXPECT_EQ("plain.txt:7:1: warning: the x adjustment is not a plain whole number\n"
              "plain.txt:9:1: warning: the width adjustment is not a plain whole number\n",
              outcome.err);
    EXPECT_EQ(values, StoredValues(folder.File("1013.dat")));
}

// A settings file that can't be replaced stays as it was, and nothing is left beside it.
TEST(AuthorEncode, SettingsThatCannotBeWrittenStayAsTheyWere) {
    TempFolder folder;
    ASSERT_TRUE(WriteWholeFile(folder.File("plain.txt"), "1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n"));
    ASSERT_TRUE(WriteWholeFile(folder.File("1013.dat"), "the earlier settings"));
    ASSERT_TRUE(SetFileAttributesA(folder.File("1013.dat").c_str(), FILE_ATTRIBUTE_READONLY));
    struct Case {
        const char* target;
        const char* says;
    } cases[] = {
        {"1013.dat", "1013.dat: can't write the file; it is left as it was\n"},
        {"nowhere\\1013.dat", "nowhere\\1013.dat: can't write the file; it is left as it was\n"},
        {"folder", "folder: can't write the file; it is left as it was\n"},
    };
    ASSERT_TRUE(CreateDirectoryA(folder.File("folder").c_str(), nullptr));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        AuthorOutcome outcome =
            AuthorRun(std::string("encode plain.txt ") + c.target, folder.Path());
        EXPECT_EQ(1u, outcome.exitCode);
        EXPECT_EQ(c.says, outcome.err);
    }
    std::string stored;
    ASSERT_TRUE(ReadWholeFile(folder.File("1013.dat"), &stored));
    EXPECT_EQ("the earlier settings", stored);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(folder.File("*").c_str(), &found);
    ASSERT_NE(INVALID_HANDLE_VALUE, search);
    int entries = 0;
    do entries += found.cFileName[0] != '.';
    while (FindNextFileA(search, &found));
    FindClose(search);
    EXPECT_EQ(3, entries) << "a temporary file was left";
    SetFileAttributesA(folder.File("1013.dat").c_str(), FILE_ATTRIBUTE_NORMAL);
}

namespace {

std::string gCalls; // "f" for a flush, "m" for a move, in their order
BOOL(WINAPI* gFlush)(HANDLE);
BOOL(WINAPI* gMove)(LPCSTR, LPCSTR, DWORD);

BOOL WINAPI FlushWatched(HANDLE file) {
    gCalls += "f";
    return gFlush(file);
}

BOOL WINAPI MoveWatched(LPCSTR from, LPCSTR to, DWORD flags) {
    gCalls += "m";
    return gMove(from, to, flags);
}

} // namespace

// A file that replaces another reaches the disk before it is moved over it, so
// that a power loss never leaves the settings or a fragment empty.
TEST(AuthorFiles, ReplacementsAreFlushedBeforeTheyMove) {
    TempFolder folder;
    PackResult packed;
    const char page[] = "{{width}}{{height}}{{insert}}{{insert}}{{width}}{{height}}";
    ASSERT_TRUE(PackPage(page, sizeof page - 1, "", &packed));
    struct Case {
        const char* what;
        std::function<int()> write;
        const char* calls;
    } cases[] = {
        {"one file", [&] { return AuthorFileReplace(folder.File("1013.dat").c_str(), "x", 1); },
         "fm"},
        {"a packed page", [&] {
             return PackWrite(folder.Path().c_str(), folder.File("data").c_str(), packed, "s", 1) == 0;
         }, "fffffffffmmmmmmmmm"}, // the presenter beside the tests, seven fragments, settings
    };
    gFlush = (BOOL(WINAPI*)(HANDLE))ImportWatch("kernel32.dll", "FlushFileBuffers", (void*)FlushWatched);
    gMove = (BOOL(WINAPI*)(LPCSTR, LPCSTR, DWORD))ImportWatch("kernel32.dll", "MoveFileExA",
                                                              (void*)MoveWatched);
    ASSERT_TRUE(gFlush && gMove);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        gCalls.clear();
        EXPECT_TRUE(c.write());
        EXPECT_EQ(c.calls, gCalls);
    }
    ImportUnwatch("kernel32.dll", "FlushFileBuffers", (void*)gFlush);
    ImportUnwatch("kernel32.dll", "MoveFileExA", (void*)gMove);
    PackResultFree(&packed);
}

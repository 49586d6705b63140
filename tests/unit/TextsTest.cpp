// Stored texts, the string base and the program's folder.
#include "../TestSupport.h"
#include "builder/Directory.h"
#include "base/Texts.h"
#include <gtest/gtest.h>
#include <string.h>

TEST(Texts, UnsetReadsEmptyAndSetReplaces) {
    Text text = {};
    EXPECT_STREQ("", TextGet(&text));
    EXPECT_STREQ("", TextGet(nullptr));
    ASSERT_TRUE(TextSet(&text, "abc", 3));
    EXPECT_STREQ("abc", TextGet(&text));
    EXPECT_EQ(3u, text.room) << "a stored text holds exactly its length";
    ASSERT_TRUE(TextSet(&text, "\xe9\t", 2));
    EXPECT_STREQ("\xe9\t", TextGet(&text));
    ASSERT_TRUE(TextSet(&text, "", 0));
    EXPECT_STREQ("", TextGet(&text));
    TextClear(&text);
    EXPECT_STREQ("", TextGet(&text));
}

TEST(Texts, AppendsBuildExactlyWithoutCopyingEachTime) {
    Text text = {};
    std::string expected;
    size_t growths = 0;
    size_t room = 0;
    for (int i = 0; i < 20000; i++) {
        std::string piece = std::to_string(i) + (i % 7 ? "x" : "");
        ASSERT_TRUE(TextAppend(&text, piece.data(), piece.size()));
        ASSERT_TRUE(TextAppend(&text, "", 0));
        expected += piece;
        if (text.room != room) growths++;
        room = text.room;
    }
    EXPECT_EQ(expected.size(), text.length);
    EXPECT_EQ(expected, TextGet(&text));
    EXPECT_EQ(expected.size(), strlen(TextGet(&text)));
    // Geometric growth: the block grows now and then, not at every append
    // (counted by its room: a block at the heap's end grows in place).
    EXPECT_LT(growths, 40u);
    TextClear(&text);
}

TEST(Texts, StringBaseGrowsKeepingItsBytes) {
    char* base = StringBaseRoom(100);
    ASSERT_NE(nullptr, base);
    memcpy(base, "keep me", 8);
    char* bigger = StringBaseRoom(5 * 1024 * 1024);
    ASSERT_NE(nullptr, bigger);
    EXPECT_STREQ("keep me", bigger);
    bigger[5 * 1024 * 1024 - 1] = 'z'; // the whole room is usable
}

TEST(Program, DirectoryIsTheExecutablesFolder) {
    std::string folder = ProgramDirectory();
    EXPECT_EQ(ModuleFolder(), folder);
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ('\\', folder.back());
}

TEST(Texts, ReserveKeepsTheTextAndAppendsWithinItStayInPlace) {
    Text text = {};
    ASSERT_NE(0, TextReserve(&text, 0));
    EXPECT_STREQ("", TextGet(&text));
    ASSERT_NE(0, TextSet(&text, "abc", 3));
    ASSERT_NE(0, TextReserve(&text, 100000));
    EXPECT_STREQ("abc", TextGet(&text));
    const char* block = TextGet(&text);
    std::string expected = "abc";
    for (int i = 0; i < 999; i++) {
        ASSERT_NE(0, TextAppend(&text, "0123456789", 10));
        expected += "0123456789";
    }
    EXPECT_EQ(block, TextGet(&text)) << "the text moved within its reserved room";
    EXPECT_EQ(expected, TextGet(&text));
    // Less room than the text has changes nothing.
    ASSERT_NE(0, TextReserve(&text, 5));
    EXPECT_EQ(expected, TextGet(&text));
    EXPECT_EQ(0, TextReserve(&text, (size_t)-1));
    EXPECT_EQ(expected, TextGet(&text));
    TextClear(&text);
    ASSERT_NE(0, TextReserve(&text, 10));
    EXPECT_STREQ("", TextGet(&text));
    TextClear(&text);
}

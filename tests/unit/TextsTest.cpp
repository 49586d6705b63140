#include "builder/Texts.h"
#include <gtest/gtest.h>
#include <string>

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

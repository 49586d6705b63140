#include "base/TextRules.h"
#include <gtest/gtest.h>
#include <string.h>

TEST(TextRules, ToNumber) {
    struct Case {
        const char* text;
        int32_t number;
    } cases[] = {
        {" 12px", 12},
        {"-7", -7},
        {"- 7", 0},
        {"1.9", 1},
        {"", 0},
        {"2147483648", INT32_MIN},
        {"4294967297", 1},
        {"+15", 15},
        {"   -0", 0},
        {"\t5", 0},
        {"abc", 0},
        {"--5", 0},
        {"-2147483648", INT32_MIN},
        {"2147483647", INT32_MAX},
        {"-4294967295", 1},
        {"  +", 0},
        {"007", 7},
    };
    for (const Case& c : cases) EXPECT_EQ(c.number, TextToNumber(c.text)) << '"' << c.text << '"';
    EXPECT_EQ(0, TextToNumber(nullptr));
}

TEST(TextRules, FromNumber) {
    struct Case {
        int32_t number;
        const char* text;
    } cases[] = {
        {0, "0"},
        {7, "7"},
        {-7, "-7"},
        {984, "984"},
        {INT32_MAX, "2147483647"},
        {INT32_MIN, "-2147483648"},
        {-1, "-1"},
        {100, "100"},
    };
    for (const Case& c : cases) {
        char out[TextNumberMax + 1];
        size_t length = TextFromNumber(c.number, out);
        EXPECT_STREQ(c.text, out);
        EXPECT_EQ(strlen(c.text), length);
        EXPECT_EQ(c.number, TextToNumber(out)) << "round trip";
    }
}

TEST(TextRules, Trim) {
    struct Case {
        const char* text;
        const char* trimmed;
    } cases[] = {
        {"  abc  ", "abc"},
        {"abc", "abc"},
        {"     ", ""},
        {"", ""},
        {"\tabc\t", "\tabc\t"},
        {" \t a b \t ", "\t a b \t"},
        {" x", "x"},
        {"x ", "x"},
    };
    for (const Case& c : cases) {
        size_t length = 0;
        const char* start = TextTrim(c.text, strlen(c.text), &length);
        EXPECT_EQ(std::string(c.trimmed), std::string(start, length)) << '"' << c.text << '"';
    }
}

TEST(TextRules, Equals) {
    EXPECT_TRUE(TextEquals("codebase random>", "codebase random>"));
    EXPECT_FALSE(TextEquals("Codebase random>", "codebase random>"));
    EXPECT_FALSE(TextEquals("codebase random", "codebase random>"));
    EXPECT_FALSE(TextEquals("codebase random> ", "codebase random>"));
    EXPECT_TRUE(TextEquals(nullptr, ""));
    EXPECT_TRUE(TextEquals("", nullptr));
    EXPECT_FALSE(TextEquals(nullptr, "a"));
    EXPECT_TRUE(TextEquals("\xe9\xff", "\xe9\xff"));
}

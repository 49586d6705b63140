#include "builder/PageRules.h"
#include "files/LineSplit.h"
#include <gtest/gtest.h>
#include <string>

TEST(PageRules, EndMarkerIsExactlyTheMarkerText) {
    struct Case {
        std::string line;
        bool marker;
    } cases[] = {
        {"codebase random>", true},
        {"codebase random", false},
        {"codebase random>>", false},
        {"Codebase random>", false},
        {" codebase random>", false},
        {"codebase\trandom>", false},
        {"", false},
        {std::string("codebase random>\0", 17), false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.marker, PageLineIsEndMarker(c.line.data(), c.line.size())) << c.line;
}

TEST(LineSplit, PlainRunStopsAtTheFirstLineEndByte) {
    // Every filler byte, among them the small ones that are no line end, before
    // each line end byte at every offset, in runs of every length to 13.
    const unsigned char fillers[] = {'a', '\t', 1, 9, 11, 12, 14, 0x0e, 0x7f, 0x80, 0x8d, 0xff};
    const unsigned char ends[] = {0, '\n', '\r'};
    for (unsigned char filler : fillers) {
        for (size_t length = 0; length <= 13; length++) {
            std::string run(length, (char)filler);
            EXPECT_EQ(length, LinePlainRun(run.data(), run.size())) << (int)filler;
            for (size_t at = 0; at < length; at++) {
                for (unsigned char end : ends) {
                    std::string bytes = run;
                    bytes[at] = (char)end;
                    if (at + 1 < length) bytes[at + 1] = (char)end; // a second one after it
                    EXPECT_EQ(at, LinePlainRun(bytes.data(), bytes.size()))
                        << "filler " << (int)filler << ", end " << (int)end << " at " << at
                        << " of " << length;
                }
            }
        }
    }
    // A small byte just before a line end byte in the same word.
    EXPECT_EQ(5u, LinePlainRun("ab\x01\x0c\x0b\r\n", 7));
    EXPECT_EQ(2u, LinePlainRun("\t\t\n\t", 4));
}

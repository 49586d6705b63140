#include "Stress.h"
#include <gtest/gtest.h>

// The bench's long runs cut to a hundredth: every message comes back as it was
// posted, every round closes what it made, and the process holds no more
// handles, windows or heap bytes afterwards than before.
TEST(Stress, LibrariesGiveBackWhatTheyTake) {
    struct Case {
        const char* what;
        StressOutcome (*run)(int32_t count);
        int32_t count;
    } cases[] = {
        {"posted messages", StressMessages, 1000},
        {"windows with a browser gadget", StressCycles, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StressOutcome outcome = c.run(c.count);
        EXPECT_STREQ("", outcome.fault);
        EXPECT_EQ(c.count, outcome.done);
        EXPECT_EQ(0, outcome.leaked.handles);
        EXPECT_EQ(0, outcome.leaked.windows);
        EXPECT_EQ(0, outcome.leaked.heapBytes);
    }
}

// Every test program starts the libraries as the program does, then runs its tests.
#include "builder/Program.h"
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ProgramStart(GetModuleHandleA(nullptr));
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

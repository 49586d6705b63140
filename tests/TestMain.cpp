// Every test program starts the libraries as the program does, then runs its tests.
// No test ends the run by hanging or by starting the system's debugger: a test
// that runs past its limit or crashes ends the program with its name printed.
#include "builder/Program.h"
#include <gtest/gtest.h>
#include <stdio.h>

namespace {

const DWORD TestLimitMs = 240000;
HANDLE gTestStarted; // set at every test's start, so the watch begins again
char gTestName[256] = "(before the first test)";

void Abandon(const char* why, DWORD code) {
    fprintf(stderr, "\n%s: %s\n", gTestName, why);
    fflush(stderr);
    ExitProcess(code);
}

DWORD WINAPI Watch(void*) {
    for (;;)
        if (WaitForSingleObject(gTestStarted, TestLimitMs) == WAIT_TIMEOUT)
            Abandon("did not end within its time limit", 3);
}

LONG WINAPI Crashed(EXCEPTION_POINTERS* info) {
    char why[96];
    wsprintfA(why, "crashed (exception 0x%08lx at %p)", info->ExceptionRecord->ExceptionCode,
              info->ExceptionRecord->ExceptionAddress);
    Abandon(why, 4);
    return EXCEPTION_EXECUTE_HANDLER;
}

class TestWatch : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo& test) override {
        wsprintfA(gTestName, "%.120s.%.120s", test.test_suite_name(), test.name());
        SetEvent(gTestStarted);
    }
};

} // namespace

int main(int argc, char** argv) {
    ProgramStart(GetModuleHandleA(nullptr));
    testing::InitGoogleTest(&argc, argv);
    SetUnhandledExceptionFilter(Crashed);
    gTestStarted = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    CloseHandle(CreateThread(nullptr, 0, Watch, nullptr, 0, nullptr));
    testing::UnitTest::GetInstance()->listeners().Append(new TestWatch);
    return RUN_ALL_TESTS();
}

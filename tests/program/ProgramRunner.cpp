#include "ProgramRunner.h"
#include "../TestSupport.h"

namespace {

struct BoxSearch {
    DWORD processId;
    HWND box;
    HWND other; // a visible window of the program that is not the box
};

BOOL CALLBACK FindBox(HWND window, LPARAM parameter) {
    BoxSearch* search = (BoxSearch*)parameter;
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char title[64] = "";
    GetWindowTextA(window, title, sizeof title);
    if (process != search->processId || !IsWindowVisible(window)) return TRUE;
    if (lstrcmpA(title, "Lumivane") != 0) {
        search->other = window;
        return TRUE;
    }
    search->box = window;
    return FALSE;
}

BOOL CALLBACK CollectStaticText(HWND child, LPARAM parameter) {
    std::string* text = (std::string*)parameter;
    char className[32] = "";
    GetClassNameA(child, className, sizeof className);
    char buffer[1024] = "";
    if (lstrcmpiA(className, "Static") == 0 && GetWindowTextA(child, buffer, sizeof buffer) > 0) {
        if (!text->empty()) *text += '|';
        *text += buffer;
    }
    return TRUE;
}

} // namespace

ProgramOutcome ProgramRunInFolder(const std::string& folder, DWORD waitMilliseconds) {
    ProgramOutcome outcome;
    PROCESS_INFORMATION process;
    if (!ProcessStartIn(ModuleFolder() + "lumivane.exe", folder, &process)) return outcome;
    outcome.started = true;

    // A box or the presentation comes up, or the program ends without either.
    BoxSearch search = {process.dwProcessId, nullptr, nullptr};
    WaitUntil(
        [&] {
            search.box = search.other = nullptr;
            EnumWindows(FindBox, (LPARAM)&search);
            return search.box || search.other ||
                   WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0;
        },
        waitMilliseconds);
    // Keys go to a window once it is the foreground window.
    if (!search.box && search.other) {
        // The presentation came up: Escape ends it.
        outcome.presented = true;
        if (WaitForeground(search.other)) SendKey(VK_ESCAPE);
    } else if (search.box) {
        outcome.boxShown = true;
        // The box fills in its text while it comes up.
        WaitUntil([&] {
            outcome.boxText.clear();
            EnumChildWindows(search.box, CollectStaticText, (LPARAM)&outcome.boxText);
            return !outcome.boxText.empty();
        });
        if (WaitForeground(search.box)) SendKey(VK_RETURN);
    }
    if (WaitForSingleObject(process.hProcess, waitMilliseconds) == WAIT_OBJECT_0) {
        outcome.exited = true;
        GetExitCodeProcess(process.hProcess, &outcome.exitCode);
    } else {
        TerminateProcess(process.hProcess, 99);
        WaitForSingleObject(process.hProcess, 5000);
    }
    CloseHandle(process.hProcess);
    return outcome;
}

testing::AssertionResult ProgramReported(const ProgramOutcome& outcome,
                                         const std::string& message) {
    if (!outcome.started) return testing::AssertionFailure() << "the program did not start";
    if (!outcome.boxShown) return testing::AssertionFailure() << "no box came up";
    if (outcome.presented) return testing::AssertionFailure() << "the presentation came up";
    if (outcome.boxText != message)
        return testing::AssertionFailure() << "the box said \"" << outcome.boxText << '"';
    if (!outcome.exited) return testing::AssertionFailure() << "Enter did not end the program";
    if (outcome.exitCode != 0)
        return testing::AssertionFailure() << "exit code " << outcome.exitCode;
    return testing::AssertionSuccess();
}

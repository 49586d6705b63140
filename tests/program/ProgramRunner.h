// Runs the built lumivane.exe in a folder, as a user would: waits for its
// message box, reads what it says, presses Enter on it and waits for the exit;
// when the presentation comes up instead, presses Escape on it.
#pragma once
#include <windows.h>
#include <gtest/gtest.h>
#include <string>

struct ProgramOutcome {
    bool started = false;
    bool boxShown = false;  // a window titled "Lumivane" of the program came up
    std::string boxText;    // the texts of the box's static controls, joined by '|'
    bool presented = false; // the presentation window came up (Escape was pressed on it)
    bool exited = false;    // the process ended within the wait
    DWORD exitCode = 0xFFFFFFFF;
};

// Starts the program with `folder` as its current directory. When a box comes
// up, Enter is pressed on it through the system's keyboard input.
ProgramOutcome ProgramRunInFolder(const std::string& folder, DWORD waitMilliseconds = 20000);

// Whether the run showed exactly `message` in its box, ended after Enter and
// exited with code 0.
testing::AssertionResult ProgramReported(const ProgramOutcome& outcome, const std::string& message);

// The built program started as a user starts it, kept running while a test
// looks at its presentation window and sends it real input.
#pragma once
#include <windows.h>
#include <string>

class PresentationProcess {
  public:
    // Starts `exe` with `folder` as its current directory and waits for its
    // presentation window: a visible top-level window of the process.
    PresentationProcess(const std::string& exe, const std::string& folder);
    ~PresentationProcess(); // ends the process if it still runs
    bool Started() const { return process_ != nullptr; }
    HWND Window() const { return window_; }
    // The host window of the browser inside the presentation window, or null.
    HWND Browser() const;
    // Makes the window the foreground window and waits until it is (and the
    // program's active window), so that real key presses reach it.
    bool Foreground() const;
    // True when the process ended within `ms`; its exit code goes to `code`.
    bool Ended(DWORD ms, DWORD* code);
    // The window that has the keyboard focus in the program, or null.
    HWND Focus() const;
    // Gives the keyboard focus to a window of the program, as its own SetFocus would.
    void FocusInto(HWND window) const;

  private:
    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
    DWORD threadId_ = 0;
    HWND window_ = nullptr;
};

// The folder of the test programs, where the built program sits beside them.
std::string ProgramExe();
// Real keyboard input: a key down and up, with Alt held around it when asked.
// Call Foreground() first.
void PressKeys(WORD key, bool alt = false);
// A real left click at a point of the screen.
void ClickAt(int x, int y);

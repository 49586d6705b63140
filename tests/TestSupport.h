// Helpers the tests share: temporary folders, whole-file reads and writes,
// programs started in a folder, and the bounded waits for input and its effects.
#pragma once
#include <windows.h>
#include <functional>
#include <string>

// A fresh empty folder under the system's temporary folder, removed with all
// its contents when the object goes.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "\\" + name; }

  private:
    std::string path_;
};

bool WriteWholeFile(const std::string& path, const std::string& bytes);
bool ReadWholeFile(const std::string& path, std::string* bytes);
bool FileExists(const std::string& path);
// The folder of the running test program, with a trailing backslash.
std::string ModuleFolder();
// Starts `exe` with `folder` as its current directory; its thread handle is
// closed at once, its process handle is the caller's to close.
bool ProcessStartIn(const std::string& exe, const std::string& folder,
                    PROCESS_INFORMATION* process);
// A visible top-level window of the process, or null.
HWND ProcessVisibleWindow(DWORD processId);
// Makes a folder the current directory for the object's life.
class CurrentFolder {
  public:
    explicit CurrentFolder(const std::string& path);
    ~CurrentFolder();

  private:
    std::string previous_;
};

// Every test that sends real input waits through these two, each wait bounded:
// first until the window that should take the input is the foreground window,
// then until the input's effect is seen. A late input is no fault of the code.
const DWORD WaitLimitMs = 20000;
// Polls `done` until it holds or `ms` pass, handling the messages sent to this
// thread meanwhile (posted ones stay queued); true when it held.
bool WaitUntil(const std::function<bool()>& done, DWORD ms = WaitLimitMs);
// Asks for `window` as the foreground window until it is that and its thread's
// active window, so that keys reach it.
bool WaitForeground(HWND window, DWORD ms = WaitLimitMs);
// Real keyboard input: `key` down and up, with `held` (VK_SHIFT, VK_MENU, or 0
// for none) down around it.
void SendKey(WORD key, WORD held = 0);

// Helpers the tests share: temporary folders, whole-file reads and writes, and
// programs started in a folder.
#pragma once
#include <windows.h>
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

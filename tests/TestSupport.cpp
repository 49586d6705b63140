#include "TestSupport.h"

static void RemoveTree(const std::string& path) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            std::string full = path + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(full);
            else {
                SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(full.c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

TempFolder::TempFolder() {
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    static unsigned serial;
    for (;;) {
        char name[MAX_PATH + 64];
        wsprintfA(name, "%slumivane-%lu-%u", base, GetCurrentProcessId(), ++serial);
        if (CreateDirectoryA(name, nullptr)) {
            path_ = name;
            return;
        }
    }
}

TempFolder::~TempFolder() {
    RemoveTree(path_);
}

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok =
        bytes.empty() || WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

bool ReadWholeFile(const std::string& path, std::string* bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD size = GetFileSize(file, nullptr);
    bytes->assign(size, '\0');
    DWORD got = 0;
    BOOL ok = size == 0 || ReadFile(file, &(*bytes)[0], size, &got, nullptr);
    CloseHandle(file);
    return ok && got == size;
}

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ModuleFolder() {
    char path[4096];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder(path, length);
    return folder.substr(0, folder.rfind('\\') + 1);
}

bool ProcessStartIn(const std::string& exe, const std::string& folder,
                    PROCESS_INFORMATION* process) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    *process = {};
    std::string commandLine = "\"" + exe + "\"";
    if (!CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, process))
        return false;
    CloseHandle(process->hThread);
    process->hThread = nullptr;
    return true;
}

struct WindowSearch {
    DWORD processId;
    HWND found;
};

static BOOL CALLBACK FindVisibleWindow(HWND window, LPARAM parameter) {
    WindowSearch* search = (WindowSearch*)parameter;
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != search->processId || !IsWindowVisible(window)) return TRUE;
    search->found = window;
    return FALSE;
}

HWND ProcessVisibleWindow(DWORD processId) {
    WindowSearch search = {processId, nullptr};
    EnumWindows(FindVisibleWindow, (LPARAM)&search);
    return search.found;
}

CurrentFolder::CurrentFolder(const std::string& path) {
    char previous[4096];
    GetCurrentDirectoryA(sizeof previous, previous);
    previous_ = previous;
    SetCurrentDirectoryA(path.c_str());
}

CurrentFolder::~CurrentFolder() {
    SetCurrentDirectoryA(previous_.c_str());
}

bool WaitUntil(const std::function<bool()>& done, DWORD ms) {
    for (DWORD start = GetTickCount();;) {
        if (done()) return true;
        if (GetTickCount() - start >= ms) return false;
        MSG waiting;
        PeekMessageA(&waiting, nullptr, 0, 0, PM_NOREMOVE);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_SENDMESSAGE);
    }
}

// Another thread makes its window active after the system made it the
// foreground; keys sent before then are lost. Another process's window is
// ready once that process waits for input with none left to handle.
bool WaitForeground(HWND window, DWORD ms) {
    DWORD processId = 0;
    const DWORD thread = GetWindowThreadProcessId(window, &processId);
    const DWORD start = GetTickCount();
    bool foreground = WaitUntil(
        [&] {
            if (GetForegroundWindow() != window) SetForegroundWindow(window);
            GUITHREADINFO info = {};
            info.cbSize = sizeof info;
            return GetForegroundWindow() == window && GetGUIThreadInfo(thread, &info) &&
                   info.hwndActive == window;
        },
        ms);
    if (!foreground || processId == GetCurrentProcessId()) return foreground;
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, processId);
    if (!process) return false;
    const DWORD spent = GetTickCount() - start;
    DWORD idle = WaitForInputIdle(process, spent < ms ? ms - spent : 0);
    CloseHandle(process);
    return idle == 0 && GetForegroundWindow() == window;
}

void SendKey(WORD key, WORD held) {
    INPUT inputs[4] = {};
    UINT count = 0;
    auto add = [&](WORD k, DWORD flags) {
        inputs[count].type = INPUT_KEYBOARD;
        inputs[count].ki.wVk = k;
        inputs[count++].ki.dwFlags = flags;
    };
    if (held) add(held, 0);
    add(key, 0);
    add(key, KEYEVENTF_KEYUP);
    if (held) add(held, KEYEVENTF_KEYUP);
    SendInput(count, inputs, sizeof(INPUT));
}

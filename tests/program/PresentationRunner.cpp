#include "PresentationRunner.h"
#include "../TestSupport.h"

std::string ProgramExe() {
    return ModuleFolder() + "lumivane.exe";
}

PresentationProcess::PresentationProcess(const std::string& exe, const std::string& folder) {
    PROCESS_INFORMATION process;
    if (!ProcessStartIn(exe, folder, &process)) return;
    process_ = process.hProcess;
    processId_ = process.dwProcessId;
    threadId_ = process.dwThreadId;
    WaitUntil([&] {
        window_ = ProcessVisibleWindow(processId_);
        return window_ || WaitForSingleObject(process_, 0) == WAIT_OBJECT_0;
    });
    // The browser is made right after the window: wait until it is made, which
    // it is once it shows (its window exists while its creation is under way).
    if (window_) WaitUntil([&] { return IsWindowVisible(Browser()) != FALSE; });
}

PresentationProcess::~PresentationProcess() {
    if (!process_) return;
    if (WaitForSingleObject(process_, 0) != WAIT_OBJECT_0) {
        TerminateProcess(process_, 99);
        WaitForSingleObject(process_, 5000);
    }
    CloseHandle(process_);
}

HWND PresentationProcess::Browser() const {
    return window_ ? FindWindowExA(window_, nullptr, "AtlAxWin", nullptr) : nullptr;
}

bool PresentationProcess::Foreground() const {
    return window_ && WaitForeground(window_);
}

bool PresentationProcess::Ended(DWORD ms, DWORD* code) {
    if (!process_ || WaitForSingleObject(process_, ms) != WAIT_OBJECT_0) return false;
    GetExitCodeProcess(process_, code);
    return true;
}

HWND PresentationProcess::Focus() const {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(threadId_, &info) ? info.hwndFocus : nullptr;
}

void PresentationProcess::FocusInto(HWND window) const {
    // Sharing the program's input state lets this thread set the focus in it.
    DWORD self = GetCurrentThreadId();
    if (!AttachThreadInput(self, threadId_, TRUE)) return;
    SetFocus(window);
    AttachThreadInput(self, threadId_, FALSE);
}

void PressKeys(WORD key, bool alt) {
    SendKey(key, alt ? VK_MENU : 0);
}

void ClickAt(int x, int y) {
    INPUT inputs[3] = {};
    for (INPUT& input : inputs) {
        input.type = INPUT_MOUSE;
        input.mi.dx = MulDiv(x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
        input.mi.dy = MulDiv(y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    }
    inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE;
    inputs[2].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE;
    SendInput(3, inputs, sizeof(INPUT));
}

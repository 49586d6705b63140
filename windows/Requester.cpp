#include "windows/Requester.h"
#include "files/ObjectList.h"

struct DisabledWindow {
    DWORD threadId;
    HWND window;
};

static ObjectList gDisabled;

int MessageBoxShow(const char* title, const char* text, UINT flags) {
    RequesterSuspendWindows(1);
    // Asked after the suspension, so the owner may be a window just disabled.
    HWND owner = RequesterOwnerWindow();
    int result = MessageBoxA(owner, text, title, flags);
    RequesterSuspendWindows(0);
    return result;
}

void RequesterSuspendWindows(int on) {
    if (on) {
        EnumWindows(RequesterEnumProc, (LPARAM)on);
        return;
    }
    DWORD thread = GetCurrentThreadId();
    void* payload = ObjectListFirst(gDisabled);
    while (payload) {
        void* next = ObjectListNext(payload);
        DisabledWindow* record = (DisabledWindow*)payload;
        if (record->threadId == thread) {
            EnableWindow(record->window, TRUE);
            ObjectListRemove(&gDisabled, payload);
        }
        payload = next;
    }
}

BOOL CALLBACK RequesterEnumProc(HWND window, LPARAM) {
    DWORD thread = GetCurrentThreadId();
    if (GetWindowThreadProcessId(window, nullptr) != thread) return TRUE;
    if (!IsWindowVisible(window)) return TRUE;
    if (!IsWindowEnabled(window)) return TRUE;
    DisabledWindow* record = (DisabledWindow*)ObjectListAdd(&gDisabled, sizeof(DisabledWindow));
    // Without a record the window could never be enabled again: leave it alone.
    if (!record) return TRUE;
    record->threadId = thread;
    record->window = window;
    EnableWindow(window, FALSE);
    return TRUE;
}

HWND RequesterOwnerWindow() {
    HWND foreground = GetForegroundWindow();
    if (!foreground) return nullptr;
    DWORD process = 0;
    GetWindowThreadProcessId(foreground, &process);
    return process == GetCurrentProcessId() ? foreground : nullptr;
}

int RequesterRecordCount(DWORD threadId) {
    int count = 0;
    for (void* p = ObjectListFirst(gDisabled); p; p = ObjectListNext(p))
        if (((DisabledWindow*)p)->threadId == threadId) count++;
    return count;
}

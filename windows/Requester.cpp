#include "windows/Requester.h"
#include "base/ObjectList.h"

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

// The calling thread's newest record, or null.
static DisabledWindow* RequesterRecordOf(DWORD thread) {
    for (void* payload = ObjectListFirst(gDisabled); payload; payload = ObjectListNext(payload))
        if (((DisabledWindow*)payload)->threadId == thread) return (DisabledWindow*)payload;
    return nullptr;
}

void RequesterSuspendWindows(int on) {
    if (on) {
        EnumWindows(RequesterEnumProc, (LPARAM)on);
        return;
    }
    // EnableWindow sends messages, and what they run may show a box of its own
    // and free records: each record goes before its window is enabled, and the
    // walk starts again from the newest.
    DWORD thread = GetCurrentThreadId();
    while (DisabledWindow* record = RequesterRecordOf(thread)) {
        HWND window = record->window;
        ObjectListRemove(&gDisabled, record);
        EnableWindow(window, TRUE);
    }
}

BOOL CALLBACK RequesterEnumProc(HWND window, LPARAM) {
    DWORD thread = GetCurrentThreadId();
    if (GetWindowThreadProcessId(window, nullptr) != thread) return TRUE;
    if (!IsWindowVisible(window)) return TRUE;
    if (!IsWindowEnabled(window)) return TRUE;
    EnableWindow(window, FALSE);
    DisabledWindow* record = (DisabledWindow*)ObjectListAdd(&gDisabled, sizeof(DisabledWindow));
    // Without a record the window could never be enabled again: give it back now.
    if (!record) {
        EnableWindow(window, TRUE);
        return TRUE;
    }
    record->threadId = thread;
    record->window = window;
    return TRUE;
}

HWND RequesterOwnerWindow() {
    HWND foreground = GetForegroundWindow();
    if (!foreground) return nullptr;
    DWORD process = 0;
    GetWindowThreadProcessId(foreground, &process);
    return process == GetCurrentProcessId() ? foreground : nullptr;
}

// The message requester with real windows: what the box disables while it is
// up, and that everything is as it was afterwards.
#include "../LibraryQueries.h"
#include "../TestSupport.h"
#include "windows/Requester.h"
#include <gtest/gtest.h>

namespace {

const char* kTitle = "Requester test";

HWND MakeWindow(DWORD style) {
    static bool registered;
    if (!registered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "RequesterTestWindow";
        RegisterClassA(&wc);
        registered = true;
    }
    return CreateWindowExA(0, "RequesterTestWindow", "plain", style, 10, 10, 200, 100, nullptr,
                           nullptr, GetModuleHandleA(nullptr), nullptr);
}

// What the test saw while the box was up.
struct DuringBox {
    HWND box;
    HWND owner;
    int records;
    HWND watched[5];
    BOOL enabled[5];
    BOOL visible[5];
};
DuringBox gDuring;

BOOL CALLBACK FindBox(HWND window, LPARAM) {
    char title[64] = "";
    GetWindowTextA(window, title, sizeof title);
    if (lstrcmpA(title, kTitle) != 0) return TRUE;
    gDuring.box = window;
    return FALSE;
}

// Runs inside the box's own message loop: records the state, then presses OK.
void CALLBACK LookAndDismiss(HWND, UINT, UINT_PTR timer, DWORD) {
    gDuring.box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindBox, 0);
    if (!gDuring.box) return; // not up yet: look again at the next tick
    KillTimer(nullptr, timer);
    gDuring.owner = GetWindow(gDuring.box, GW_OWNER);
    gDuring.records = RequesterRecordCount(GetCurrentThreadId());
    for (int i = 0; i < 5; i++) {
        gDuring.enabled[i] = IsWindowEnabled(gDuring.watched[i]);
        gDuring.visible[i] = IsWindowVisible(gDuring.watched[i]);
    }
    PostMessageA(gDuring.box, WM_COMMAND, IDOK, 0);
}

int ShowBoxAndLook(HWND a, HWND b, HWND c, HWND d, HWND e = nullptr) {
    gDuring = {};
    HWND watched[5] = {a, b, c, d, e};
    for (int i = 0; i < 5; i++) gDuring.watched[i] = watched[i];
    SetTimer(nullptr, 0, 50, LookAndDismiss);
    return MessageBoxShow(kTitle, "Is everything else disabled?");
}

// A visible, enabled window that belongs to another thread of the process.
struct OtherThread {
    HANDLE thread = nullptr;
    DWORD id = 0;
    HWND window = nullptr;
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE go = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    bool suspend = false; // whether it shows its own suspension when told to go

    static DWORD WINAPI Run(void* p) {
        OtherThread* self = (OtherThread*)p;
        self->window = MakeWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
        SetEvent(self->ready);
        // Keep answering messages while waiting: a box on another thread may
        // send to this thread's window.
        MSG msg;
        while (MsgWaitForMultipleObjects(1, &self->go, FALSE, INFINITE, QS_ALLINPUT) !=
               WAIT_OBJECT_0)
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        if (self->suspend) RequesterSuspendWindows(1);
        SetEvent(self->done);
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
        if (self->suspend) RequesterSuspendWindows(0);
        DestroyWindow(self->window);
        return 0;
    }
    void Start() {
        thread = CreateThread(nullptr, 0, Run, this, 0, &id);
        WaitForSingleObject(ready, 5000);
    }
    ~OtherThread() {
        SetEvent(go);
        PostThreadMessageA(id, WM_QUIT, 0, 0);
        WaitForSingleObject(thread, 5000);
        CloseHandle(thread);
        CloseHandle(ready);
        CloseHandle(go);
        CloseHandle(done);
    }
};

} // namespace

TEST(Requester, DisablesOnlyVisibleEnabledWindowsOfTheThreadWhileUp) {
    HWND shown = MakeWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    HWND hidden = MakeWindow(WS_OVERLAPPEDWINDOW);
    HWND disabled = MakeWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_DISABLED);
    HWND second = MakeWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    OtherThread other;
    other.Start();
    ASSERT_TRUE(shown && hidden && disabled && second && other.window);
    ASSERT_TRUE(WaitForeground(shown));

    EXPECT_EQ(IDOK, ShowBoxAndLook(shown, hidden, disabled, other.window, second));
    ASSERT_NE(nullptr, gDuring.box) << "the box never came up";
    EXPECT_FALSE(gDuring.enabled[0]) << "the visible window stayed enabled";
    EXPECT_TRUE(gDuring.enabled[1]) << "the hidden window was touched";
    EXPECT_FALSE(gDuring.visible[1]);
    EXPECT_FALSE(gDuring.enabled[2]);
    EXPECT_TRUE(gDuring.enabled[3]) << "another thread's window was disabled";
    EXPECT_FALSE(gDuring.enabled[4]) << "a visible window besides the owner stayed enabled";
    EXPECT_NE(second, gDuring.owner);
    EXPECT_EQ(2, gDuring.records);

    EXPECT_TRUE(IsWindowEnabled(shown));
    EXPECT_TRUE(IsWindowEnabled(hidden));
    EXPECT_FALSE(IsWindowVisible(hidden));
    EXPECT_FALSE(IsWindowEnabled(disabled)) << "a window disabled before the box was enabled";
    EXPECT_TRUE(IsWindowEnabled(other.window));
    EXPECT_TRUE(IsWindowEnabled(second));
    EXPECT_EQ(0, RequesterRecordCount(GetCurrentThreadId()));
    DestroyWindow(second);
    DestroyWindow(shown);
    DestroyWindow(hidden);
    DestroyWindow(disabled);
}

TEST(Requester, WithNoWindowsNothingIsRecorded) {
    EXPECT_EQ(IDOK, ShowBoxAndLook(nullptr, nullptr, nullptr, nullptr));
    ASSERT_NE(nullptr, gDuring.box);
    EXPECT_EQ(0, gDuring.records);
    EXPECT_EQ(0, RequesterRecordCount(GetCurrentThreadId()));
}

TEST(Requester, OwnerIsTheForegroundWindowOfThisProcess) {
    HWND shown = MakeWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    ASSERT_TRUE(WaitForeground(shown));
    EXPECT_EQ(shown, RequesterOwnerWindow());
    EXPECT_EQ(IDOK, ShowBoxAndLook(shown, nullptr, nullptr, nullptr));
    EXPECT_EQ(shown, gDuring.owner);
    EXPECT_TRUE(IsWindowEnabled(shown));
    DestroyWindow(shown);
}

TEST(Requester, EnablingAgainLeavesOtherThreadsRecords) {
    OtherThread other;
    other.suspend = true;
    other.Start();
    SetEvent(other.go);
    WaitForSingleObject(other.done, 5000);
    ASSERT_FALSE(IsWindowEnabled(other.window));
    EXPECT_EQ(1, RequesterRecordCount(other.id));

    RequesterSuspendWindows(0);
    EXPECT_FALSE(IsWindowEnabled(other.window)) << "this thread enabled another thread's window";
    EXPECT_EQ(1, RequesterRecordCount(other.id));
}

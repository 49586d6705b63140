// Calls that send messages re-enter the library: a window that closes itself
// while it is destroyed, a creation that opens other windows, a message box
// shown while the requester enables windows again. Each must end with no crash,
// no window or class left behind and no stale entry.
#include "../LibraryQueries.h"
#include "../TestSupport.h"
#include "base/Heap.h"
#include "windows/Requester.h"
#include "windows/Window.h"
#include <gtest/gtest.h>
#include <string>

namespace {

static bool ClassRegistered(const std::string& name) {
    WNDCLASSA found;
    return GetClassInfoA(InstanceHandle(), name.c_str(), &found) != 0;
}

static bool ClassRegistered(intptr_t number) {
    return ClassRegistered("WindowClass_" + std::to_string((long long)number));
}

// Every heap of the process passes the system's own check.
bool HeapsSound() {
    HANDLE heaps[64];
    DWORD count = GetProcessHeaps(64, heaps);
    for (DWORD i = 0; i < count && i < 64; i++)
        if (!HeapValidate(heaps[i], 0, nullptr)) return false;
    return true;
}

// Closes its own number from WM_DESTROY, as a careless window procedure might.
intptr_t gSelfCloser;
WNDPROC gLibraryProc;
int gLiveAtDestroy; // entries found still live while their window was destroyed
LRESULT CALLBACK CloseSelfOnDestroy(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        if (WindowLookup(gSelfCloser)) gLiveAtDestroy++;
        WindowClose(gSelfCloser);
    }
    return CallWindowProcA(gLibraryProc, window, message, wParam, lParam);
}

// Opens another window while the library creates one.
intptr_t gOpenDuringCreate;
HWND gOpenedDuringCreate;
LRESULT CALLBACK OpenDuringCreate(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && gOpenDuringCreate) {
        intptr_t number = gOpenDuringCreate;
        gOpenDuringCreate = 0; // once: the inner creation comes through here too
        gOpenedDuringCreate = (HWND)WindowOpen(number, 0, 0, 50, 40, WS_POPUP, "inner");
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Closes every window while the library creates one, and notes the class of
// the window being created.
bool gCloseAllDuringCreate;
std::string gClassCreated;
LRESULT CALLBACK CloseAllDuringCreate(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && gCloseAllDuringCreate) {
        gCloseAllDuringCreate = false;
        gClassCreated = ((CBT_CREATEWNDA*)lParam)->lpcs->lpszClass;
        WindowCloseAll();
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Presses OK on the box with the given title once it is up.
const char* gDismissTitle;
void CALLBACK DismissBox(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND box = FindWindowA(nullptr, gDismissTitle);
    if (!box || GetWindowThreadProcessId(box, nullptr) != GetCurrentThreadId()) return;
    KillTimer(nullptr, timer);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
}

// Shows a box of its own the first time it is enabled again.
int gNestedBoxes;
LRESULT CALLBACK BoxOnEnable(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ENABLE && wParam && gNestedBoxes == 0) {
        gNestedBoxes++;
        gDismissTitle = "Nested box";
        SetTimer(nullptr, 0, 30, DismissBox);
        MessageBoxShow("Nested box", "shown from WM_ENABLE");
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND MakeEnableWatcher() {
    static bool registered;
    if (!registered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = BoxOnEnable;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "ReentryEnableWatcher";
        registered = RegisterClassA(&wc) != 0;
    }
    return CreateWindowExA(0, "ReentryEnableWatcher", "watcher", WS_POPUP | WS_VISIBLE, 0, 0, 80,
                           60, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

} // namespace

TEST(Reentry, ClosesAndCreationsThatSendMessages) {
    // A window that closes its own number while it is destroyed, by a close of
    // its number, by a reopen of its number and by the close of all windows.
    enum How { Close, Reopen, CloseAll };
    for (intptr_t asked : {(intptr_t)3, WindowAny}) {
        for (How how : {Close, Reopen, CloseAll}) {
            SCOPED_TRACE(testing::Message() << "number " << asked << ", way " << how);
            intptr_t result = WindowOpen(asked, 0, 0, 60, 40, WS_POPUP, "self-closer");
            ASSERT_NE(0, result);
            intptr_t number = asked == WindowAny ? result : asked;
            HWND window = WindowLookup(number)->handle;
            gSelfCloser = number;
            gLiveAtDestroy = 0;
            gLibraryProc =
                (WNDPROC)SetWindowLongPtrA(window, GWLP_WNDPROC, (LONG_PTR)CloseSelfOnDestroy);
            if (how == Close) WindowClose(number);
            if (how == Reopen) {
                intptr_t again = WindowOpen(number, 0, 0, 60, 40, WS_POPUP, "reopened");
                ASSERT_NE(0, again);
                if (asked == WindowAny) {
                    EXPECT_EQ(number, again);
                }
            }
            if (how == CloseAll) WindowCloseAll();
            EXPECT_FALSE(IsWindow(window));
            EXPECT_EQ(0, gLiveAtDestroy) << "the entry was emptied only after its window went";
            EXPECT_TRUE(HeapsSound());
            if (how == Reopen) {
                ASSERT_NE(nullptr, WindowLookup(number));
                EXPECT_NE(window, WindowLookup(number)->handle);
                EXPECT_TRUE(IsWindow(WindowLookup(number)->handle));
                WindowClose(number);
            }
            EXPECT_EQ(nullptr, WindowLookup(number));
            EXPECT_FALSE(ClassRegistered(number));
            EXPECT_EQ(0, WindowAnyCount());
        }
    }

    // A creation that opens a number far above the table (which moves it), or
    // the very number being opened.
    HHOOK hook = SetWindowsHookExA(WH_CBT, OpenDuringCreate, nullptr, GetCurrentThreadId());
    ASSERT_NE(nullptr, hook);
    for (intptr_t inner : {(intptr_t)5000, (intptr_t)2}) {
        SCOPED_TRACE(testing::Message() << "opened during creation: " << inner);
        gOpenDuringCreate = inner;
        gOpenedDuringCreate = nullptr;
        HWND outer = (HWND)WindowOpen(2, 0, 0, 60, 40, WS_POPUP, "outer");
        ASSERT_NE(nullptr, outer);
        ASSERT_NE(nullptr, gOpenedDuringCreate);
        ASSERT_NE(nullptr, WindowLookup(2));
        EXPECT_EQ(outer, WindowLookup(2)->handle);
        EXPECT_EQ(outer, WindowHandle());
        if (inner == 2) {
            EXPECT_FALSE(IsWindow(gOpenedDuringCreate)) << "the window opened meanwhile lived on";
        } else {
            ASSERT_NE(nullptr, WindowLookup(inner));
            EXPECT_EQ(gOpenedDuringCreate, WindowLookup(inner)->handle);
        }
        WindowCloseAll();
        EXPECT_FALSE(IsWindow(outer));
        EXPECT_FALSE(IsWindow(gOpenedDuringCreate));
        EXPECT_EQ(nullptr, WindowLookup(2));
        EXPECT_EQ(nullptr, WindowLookup(inner));
    }
    UnhookWindowsHookEx(hook);

    // All windows closed while an any-numbered one is created: the close of all
    // ends, though the new record holds no window to close yet, and the open
    // fails, leaving no window, record, class or table growth behind.
    hook = SetWindowsHookExA(WH_CBT, CloseAllDuringCreate, nullptr, GetCurrentThreadId());
    ASSERT_NE(nullptr, hook);
    gCloseAllDuringCreate = true;
    const int32_t count = WindowCount();
    EXPECT_EQ(0, WindowOpen(WindowAny, 0, 0, 60, 40, WS_POPUP, "closed meanwhile"));
    UnhookWindowsHookEx(hook);
    EXPECT_FALSE(gCloseAllDuringCreate) << "the hook never ran";
    EXPECT_EQ(nullptr, FindWindowA(nullptr, "closed meanwhile"));
    EXPECT_EQ(0, WindowAnyCount());
    EXPECT_EQ(count, WindowCount());
    EXPECT_FALSE(ClassRegistered(gClassCreated)) << gClassCreated;

    // A box shown while the requester enables the windows it disabled.
    // The box's owner is enabled again by the system before the requester's
    // walk: the watchers must not be it.
    HWND watcher = MakeEnableWatcher();
    HWND bystander = MakeEnableWatcher();
    HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 0, 0, 80, 60, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(watcher && bystander && owner);
    ASSERT_TRUE(WaitForeground(owner));
    gNestedBoxes = 0;
    gDismissTitle = "Outer box";
    SetTimer(nullptr, 0, 30, DismissBox);
    EXPECT_EQ(IDOK, MessageBoxShow("Outer box", "enable us again"));
    EXPECT_EQ(1, gNestedBoxes);
    EXPECT_TRUE(IsWindowEnabled(watcher));
    EXPECT_TRUE(IsWindowEnabled(bystander));
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(0, RequesterRecordCount(GetCurrentThreadId()));
    EXPECT_TRUE(HeapsSound());
    DestroyWindow(watcher);
    DestroyWindow(bystander);
    DestroyWindow(owner);
}

#include "../LibraryQueries.h"
#include "EventPump.h"
#include "base/Heap.h"
#include "windows/Event.h"
#include "windows/Shortcut.h"
#include "windows/Window.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <string>

class WindowRegistry : public testing::Test {
  protected:
    void TearDown() override { WindowCloseAll(); }
};

static const uint32_t kPopup = WS_POPUP;
static const uint32_t kHiddenPopup = WS_POPUP | WindowFlagHidden;

// Each number's class is named after the whole number.
static std::string ClassNameOf(intptr_t number) {
    return "WindowClass_" + std::to_string((long long)number);
}

static bool ClassRegistered(intptr_t number) {
    WNDCLASSA found;
    return GetClassInfoA(InstanceHandle(), ClassNameOf(number).c_str(), &found) &&
           found.lpfnWndProc == WindowCallback;
}

static bool AcceleratorAlive(HACCEL table) {
    return CopyAcceleratorTableA(table, nullptr, 0) > 0;
}

static RECT OuterRect(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

TEST_F(WindowRegistry, StylesAndSizes) {
    const int32_t screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int32_t screenHeight = GetSystemMetrics(SM_CYSCREEN);
    struct Case {
        uint32_t flags;
        RECT asked; // left, top, then client width and height
        DWORD style;
        bool exactOuter; // no frame: the outer rectangle is the one asked for
    } cases[] = {
        {0x80000000, {0, 0, screenWidth, screenHeight}, 0x90000000, true},
        {0x90000000, {40, 30, 200, 100}, 0x80000000, true},
        {0, {20, 30, 300, 200}, 0x10C00000, false},
        {0x10000000, {20, 30, 300, 200}, 0x00C00000, false},
        // The system adds a caption to a window that is neither popup nor child.
        {0x10000000 | WS_THICKFRAME, {5, 6, 250, 150}, 0x00C40000, false},
        {WS_BORDER | 0x10000000, {5, 6, 250, 150}, 0x00C00000, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "flags 0x" << std::hex << c.flags);
        HWND window = (HWND)WindowOpen(0, c.asked.left, c.asked.top, c.asked.right, c.asked.bottom,
                                       c.flags, "Styled");
        ASSERT_TRUE(IsWindow(window));
        EXPECT_EQ(window, WindowHandle());
        // The system adds WS_CLIPSIBLINGS to every window that is neither popup nor child.
        EXPECT_EQ(c.style, (DWORD)GetWindowLongA(window, GWL_STYLE) & ~WS_CLIPSIBLINGS);
        EXPECT_EQ((c.style & WS_VISIBLE) != 0, IsWindowVisible(window) != 0);
        RECT client, outer = OuterRect(window);
        GetClientRect(window, &client);
        EXPECT_EQ(c.asked.right, client.right);
        EXPECT_EQ(c.asked.bottom, client.bottom);
        EXPECT_EQ(c.asked.left, outer.left);
        EXPECT_EQ(c.asked.top, outer.top);
        if (c.exactOuter) {
            EXPECT_EQ(c.asked.left + c.asked.right, outer.right);
            EXPECT_EQ(c.asked.top + c.asked.bottom, outer.bottom);
        } else {
            EXPECT_GT(outer.right - outer.left, c.asked.right);
            EXPECT_GT(outer.bottom - outer.top, c.asked.bottom);
        }
        char title[16] = "";
        GetWindowTextA(window, title, sizeof title);
        EXPECT_STREQ("Styled", title);
    }
}

// The centred windows are hidden, so none of them becomes the active window.
TEST_F(WindowRegistry, Centring) {
    const int32_t screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int32_t screenHeight = GetSystemMetrics(SM_CYSCREEN);
    ASSERT_EQ(nullptr, GetActiveWindow()) << "no window of this thread may be active yet";
    struct Case {
        RECT anchor; // the active window when the centred one opens; empty: none
        uint32_t flags;
        int32_t width, height;
        POINT corner;
    } cases[] = {
        {{}, kHiddenPopup | 1, 300, 200, {screenWidth / 2 - 150, screenHeight / 2 - 100}},
        {{}, kHiddenPopup | 1, 301, 201, {screenWidth / 2 - 150, screenHeight / 2 - 100}},
        {{}, kHiddenPopup | 1, 2 * screenWidth, 100, {0, screenHeight / 2 - 50}},
        {{}, kHiddenPopup | 1, 100, 3 * screenHeight, {screenWidth / 2 - 50, 0}},
        {{}, kHiddenPopup | 2, 300, 200, {screenWidth / 2 - 150, screenHeight / 2 - 100}},
        {{100, 50, 400, 300}, kHiddenPopup | 2, 200, 100, {200, 150}},
        {{100, 50, 400, 300}, kHiddenPopup | 3, 200, 100, {200, 150}},
        {{100, 50, 400, 300},
         kHiddenPopup | 1,
         200,
         100,
         {screenWidth / 2 - 100, screenHeight / 2 - 50}},
        {{0, 0, 100, 100}, kHiddenPopup | 2, 400, 300, {0, 0}},
        {{900, 700, 100, 100}, kHiddenPopup | 2, 400, 300, {750, 600}},
    };
    HWND anchor = nullptr;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "anchor at " << c.anchor.left << "," << c.anchor.top
                                        << " flags 0x" << std::hex << c.flags);
        if (c.anchor.right && !anchor) {
            anchor = (HWND)WindowOpen(1, 0, 0, 10, 10, kPopup, "");
            ASSERT_TRUE(WaitForeground(anchor));
        }
        if (anchor)
            MoveWindow(anchor, c.anchor.left, c.anchor.top, c.anchor.right, c.anchor.bottom, FALSE);
        HWND window = (HWND)WindowOpen(2, 7, 9, c.width, c.height, c.flags, "");
        RECT outer = OuterRect(window);
        EXPECT_EQ(c.corner.x, outer.left);
        EXPECT_EQ(c.corner.y, outer.top);
    }
    // A framed window is centred by its outer size.
    HWND framed = (HWND)WindowOpen(3, 0, 0, 300, 200, WindowFlagHidden | 1, "");
    RECT outer = OuterRect(framed);
    EXPECT_GT(outer.right - outer.left, 300);
    EXPECT_EQ(screenWidth / 2 - (outer.right - outer.left) / 2, outer.left);
    EXPECT_EQ(screenHeight / 2 - (outer.bottom - outer.top) / 2, outer.top);
}

// Unregistering a class deletes its background brush: a closed window's class
// must not take the brush of the classes still in use.
TEST_F(WindowRegistry, ClassRecord) {
    ASSERT_TRUE(WindowOpen(5, 0, 0, 40, 40, kHiddenPopup, ""));
    ASSERT_TRUE(WindowOpen(6, 0, 0, 40, 40, kHiddenPopup, ""));
    WindowClose(6);
    ASSERT_TRUE(WindowOpen(7, 0, 0, 40, 40, kHiddenPopup, ""));
    for (std::string name : {std::string("TemplateClass"), ClassNameOf(5), ClassNameOf(7)}) {
        SCOPED_TRACE(name);
        WNDCLASSA found;
        ASSERT_TRUE(GetClassInfoA(InstanceHandle(), name.c_str(), &found));
        EXPECT_EQ(0u, found.style);
        EXPECT_EQ(WindowCallback, found.lpfnWndProc);
        EXPECT_EQ(0, found.cbClsExtra + found.cbWndExtra);
        EXPECT_EQ(nullptr, found.hIcon) << "the module's icon 1: the test program has none";
        EXPECT_EQ(LoadCursorA(nullptr, IDC_ARROW), found.hCursor);
        LOGBRUSH brush = {};
        ASSERT_EQ((int)sizeof brush, GetObjectA(found.hbrBackground, sizeof brush, &brush));
        EXPECT_EQ((UINT)BS_SOLID, brush.lbStyle);
        EXPECT_EQ(GetSysColor(COLOR_BTNFACE), brush.lbColor);
    }
}

TEST_F(WindowRegistry, ReopeningANumberStartsAfresh) {
    HWND first = (HWND)WindowOpen(0, 0, 0, 100, 100, kHiddenPopup, "");
    ASSERT_TRUE(ShortcutAdd(0, VK_ESCAPE, 40));
    HACCEL firstTable = WindowLookup(0)->accelerators;
    ASSERT_EQ(3, WindowLookup(0)->shortcutCount);

    HWND second = (HWND)WindowOpen(0, 0, 0, 100, 100, kHiddenPopup, "");
    ASSERT_TRUE(IsWindow(second));
    EXPECT_FALSE(IsWindow(first));
    EXPECT_FALSE(AcceleratorAlive(firstTable));
    EXPECT_TRUE(ClassRegistered(0));
    const WindowEntry* entry = WindowLookup(0);
    ASSERT_EQ(2, entry->shortcutCount);
    ACCEL copied[4];
    ASSERT_EQ(2, CopyAcceleratorTableA(entry->accelerators, copied, 4));
    const ACCEL defaults[2] = {{FVIRTKEY | FNOINVERT, VK_TAB, 1212},
                               {FVIRTKEY | FNOINVERT | FSHIFT, VK_TAB, 1213}};
    for (int i = 0; i < 2; i++) {
        for (const ACCEL* record : {&entry->shortcuts[i], &copied[i]}) {
            EXPECT_EQ(defaults[i].fVirt, record->fVirt & ~0x80) << i;
            EXPECT_EQ(defaults[i].key, record->key) << i;
            EXPECT_EQ(defaults[i].cmd, record->cmd) << i;
        }
    }

    WindowClose(0);
    EXPECT_FALSE(IsWindow(second));
    EXPECT_FALSE(ClassRegistered(0));
    EXPECT_EQ(nullptr, WindowLookup(0));
    EXPECT_EQ(second, WindowHandle()) << "closing leaves the current window as it was";
}

TEST_F(WindowRegistry, TableGrowsPastTheCount) {
    const int32_t count = WindowCount();
    EXPECT_EQ(10, count) << "no earlier test opens a number at or above 10";
    HWND kept = (HWND)WindowOpen(2, 0, 0, 50, 50, kHiddenPopup, "");
    ASSERT_TRUE(WindowOpen(count - 1, 0, 0, 50, 50, kHiddenPopup, ""));
    EXPECT_EQ(count, WindowCount());
    ASSERT_TRUE(WindowOpen(count, 0, 0, 50, 50, kHiddenPopup, ""));
    EXPECT_EQ(count + 30, WindowCount());
    ASSERT_TRUE(WindowOpen(count + 35, 0, 0, 50, 50, kHiddenPopup, ""));
    EXPECT_EQ(count + 65, WindowCount());
    ASSERT_NE(nullptr, WindowLookup(2));
    EXPECT_EQ(kept, WindowLookup(2)->handle);
    EXPECT_NE(nullptr, WindowLookup(count));
    EXPECT_EQ(nullptr, WindowLookup(count + 1));

    // Numbers whose table would overflow the count or the address space are refused.
    const int32_t grown = WindowCount();
    for (intptr_t number : {(intptr_t)INT32_MAX, (intptr_t)INT32_MAX - 30, (intptr_t)INT32_MAX - 32,
                            (intptr_t)-2, (intptr_t)INT32_MIN}) {
        EXPECT_EQ(0, WindowOpen(number, 0, 0, 50, 50, kHiddenPopup, "")) << number;
        EXPECT_EQ(grown, WindowCount()) << number;
        EXPECT_EQ(nullptr, WindowLookup(number)) << number;
    }
}

// An identifier is an address: in a 64-bit build it may need all 64 bits.
TEST(WindowClassName, TheWholeNumber) {
    std::vector<intptr_t> numbers = {0, 9, 10, -1, INT32_MAX, INT32_MIN, INTPTR_MAX, INTPTR_MIN};
    for (int shift = 30; shift < (int)sizeof(intptr_t) * 8 - 1; shift++)
        numbers.push_back(((intptr_t)1 << shift) + 7);
    for (intptr_t number : numbers) {
        char name[WindowClassNameSize];
        WindowClassName(number, name);
        EXPECT_EQ(ClassNameOf(number), name);
    }
}

TEST_F(WindowRegistry, AnyNumberedWindows) {
    intptr_t first = WindowOpen(WindowAny, 0, 0, 60, 60, kHiddenPopup, "");
    intptr_t second = WindowOpen(WindowAny, 0, 0, 60, 60, kHiddenPopup, "");
    ASSERT_NE(0, first);
    ASSERT_NE(0, second);
    EXPECT_NE(first, second);
    for (intptr_t id : {first, second}) {
        EXPECT_FALSE(id >= -1 && id <= WindowCount()) << id;
        ASSERT_NE(nullptr, WindowLookup(id));
        EXPECT_TRUE(IsWindow(WindowLookup(id)->handle));
        EXPECT_TRUE(ClassRegistered(id));
    }
    EXPECT_EQ(WindowLookup(second)->handle, WindowHandle());
    EXPECT_EQ(2, WindowAnyCount());

    // An identifier given to WindowOpen reopens that window in its own record.
    HWND old = WindowLookup(second)->handle;
    const int32_t count = WindowCount();
    EXPECT_EQ(second, WindowOpen(second, 0, 0, 60, 60, kHiddenPopup, ""));
    EXPECT_FALSE(IsWindow(old));
    EXPECT_EQ(2, WindowAnyCount());
    EXPECT_EQ(count, WindowCount()) << "an identifier is no table number";

    WindowClose(first);
    EXPECT_EQ(nullptr, WindowLookup(first));
    EXPECT_FALSE(ClassRegistered(first));
    EXPECT_EQ(1, WindowAnyCount());
    // A closed, a made-up or a negative identifier names no window.
    for (intptr_t stale : {first, second + 4, second - 8, (intptr_t)-5}) {
        EXPECT_EQ(nullptr, WindowLookup(stale)) << stale;
        EXPECT_EQ(nullptr, ShortcutAdd(stale, VK_F2, 1)) << stale;
        WindowClose(stale);
    }
    EXPECT_NE(nullptr, WindowLookup(second));

    // A child style without a parent cannot be created: nothing is left behind.
    HWND current = WindowHandle();
    EXPECT_EQ(0, WindowOpen(WindowAny, 0, 0, 60, 60, WS_CHILD, ""));
    EXPECT_EQ(1, WindowAnyCount());
    EXPECT_EQ(current, WindowHandle());
}

TEST_F(WindowRegistry, FailedOpenClosesWhatWasThere) {
    HWND before = (HWND)WindowOpen(4, 0, 0, 60, 60, kHiddenPopup, "");
    ASSERT_TRUE(IsWindow(before));
    EXPECT_EQ(0, WindowOpen(4, 0, 0, 60, 60, WS_CHILD, ""));
    EXPECT_FALSE(IsWindow(before));
    EXPECT_EQ(nullptr, WindowLookup(4));
    EXPECT_EQ(nullptr, ShortcutAdd(4, VK_F2, 1));
    EXPECT_EQ(before, WindowHandle()) << "the current window stays as it was";
    EXPECT_NE(0, WindowOpen(4, 0, 0, 60, 60, kHiddenPopup, "")) << "the number opens again";
}

static std::vector<HWND> gDestroyed;

static LRESULT CALLBACK RecordDestroy(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_DESTROYWND) gDestroyed.push_back((HWND)wParam);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(WindowRegistry, CloseAllOrder) {
    std::vector<HWND> opened;
    for (intptr_t number : {(intptr_t)3, WindowAny, (intptr_t)0, WindowAny, (intptr_t)7}) {
        ASSERT_NE(0, WindowOpen(number, 0, 0, 40, 40, kHiddenPopup, ""));
        opened.push_back(WindowHandle());
    }
    gDestroyed.clear();
    HHOOK hook = SetWindowsHookExA(WH_CBT, RecordDestroy, nullptr, GetCurrentThreadId());
    ASSERT_NE(nullptr, hook);
    WindowCloseAll();
    UnhookWindowsHookEx(hook);
    // Any-numbered newest first, then the table from the top down.
    std::vector<HWND> ours;
    for (HWND destroyed : gDestroyed)
        if (std::find(opened.begin(), opened.end(), destroyed) != opened.end())
            ours.push_back(destroyed);
    std::vector<HWND> expected = {opened[3], opened[1], opened[4], opened[0], opened[2]};
    EXPECT_EQ(expected, ours);
    EXPECT_EQ(0, WindowAnyCount());
}

TEST_F(WindowRegistry, ShortcutTableByHandle) {
    intptr_t any = WindowOpen(WindowAny, 0, 0, 40, 40, kHiddenPopup, "");
    WindowOpen(6, 0, 0, 40, 40, kHiddenPopup, "");
    for (intptr_t number : {any, (intptr_t)6}) {
        const WindowEntry* entry = WindowLookup(number);
        ASSERT_NE(nullptr, entry);
        ASSERT_NE(nullptr, entry->accelerators);
        EXPECT_EQ(entry->accelerators, WindowShortcutTable(entry->handle));
    }
    EXPECT_EQ(nullptr, WindowShortcutTable(nullptr));
    EXPECT_EQ(nullptr, WindowShortcutTable(HelperWindow()));
}

// Sum of the busy blocks of a heap.
static size_t HeapBusyBytes(HANDLE heap) {
    size_t busy = 0;
    PROCESS_HEAP_ENTRY walk = {};
    HeapLock(heap);
    while (HeapWalk(heap, &walk))
        if (walk.wFlags & PROCESS_HEAP_ENTRY_BUSY) busy += walk.cbData;
    HeapUnlock(heap);
    return busy;
}

static void OpenAndCloseWithShortcuts(int rounds, bool check) {
    for (int round = 0; round < rounds; round++) {
        intptr_t number = round % 2 ? WindowAny : 3;
        intptr_t opened = WindowOpen(number, 0, 0, 80, 60, kHiddenPopup, "");
        ASSERT_NE(0, opened);
        if (number == WindowAny) number = opened;
        ShortcutAdd(number, VK_ESCAPE, 40);
        HACCEL table = ShortcutAdd(number, VK_F3 | ShortcutControl, 41);
        HWND window = WindowLookup(number)->handle;
        HGDIOBJ brush = (HGDIOBJ)GetClassLongPtrA(window, GCLP_HBRBACKGROUND);
        WindowClose(number);
        if (!check) continue;
        ASSERT_FALSE(IsWindow(window)) << round;
        ASSERT_EQ(0u, GetObjectType(brush)) << round;
        ASSERT_FALSE(AcceleratorAlive(table)) << round;
        ASSERT_FALSE(ClassRegistered(number)) << round;
    }
}

// Only a window kept by WindowKeepScreen refuses to start the screen saver or turn
// the display off; other windows, other commands and the number reopened pass.
TEST_F(WindowRegistry, KeptScreenRefusesTheScreenSaverAndThePowerOff) {
    ASSERT_TRUE(WindowOpen(0, 0, 0, 100, 100, kHiddenPopup, ""));
    ASSERT_TRUE(WindowOpen(1, 0, 0, 100, 100, kHiddenPopup, ""));
    intptr_t any = WindowOpen(WindowAny, 0, 0, 100, 100, kHiddenPopup, "");
    ASSERT_TRUE(any);
    EXPECT_NE(0, WindowKeepScreen(0));
    EXPECT_NE(0, WindowKeepScreen(any));
    EXPECT_EQ(0, WindowKeepScreen(2));
    const HWND kept[] = {WindowLookup(0)->handle, WindowLookup(any)->handle};
    const HWND other = WindowLookup(1)->handle;
    struct Case {
        WPARAM command;
        LPARAM lParam;
        bool refused;
    } cases[] = {
        {SC_SCREENSAVE, 0, true},     {SC_SCREENSAVE | 3, 0, true}, // low bits: the system's
        {SC_MONITORPOWER, 1, true},   {SC_MONITORPOWER | 1, 2, true},
        {SC_MONITORPOWER, -1, false}, // the display on
        {SC_CLOSE, 0, false},         {SC_MINIMIZE, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.command << " " << c.lParam);
        for (HWND window : kept)
            EXPECT_EQ(!c.refused, SystemCommandPassed(window, c.command, c.lParam));
        EXPECT_TRUE(SystemCommandPassed(other, c.command, c.lParam));
    }
    ASSERT_TRUE(WindowOpen(0, 0, 0, 100, 100, kHiddenPopup, ""));
    EXPECT_TRUE(SystemCommandPassed(WindowLookup(0)->handle, SC_SCREENSAVE, 0));
}

TEST_F(WindowRegistry, OpeningAndClosingReleasesEverything) {
    OpenAndCloseWithShortcuts(2, true);
    size_t busy = HeapBusyBytes(HeapMain());
    OpenAndCloseWithShortcuts(1000, true);
    EXPECT_EQ(busy, HeapBusyBytes(HeapMain())) << "shortcut arrays go back to the main heap";
    EXPECT_EQ(0, WindowAnyCount());
}

TEST_F(WindowRegistry, GuiObjectCountsStayPut) {
    HANDLE process = GetCurrentProcess();
    OpenAndCloseWithShortcuts(2, false);
    DWORD user = GetGuiResources(process, GR_USEROBJECTS);
    DWORD gdi = GetGuiResources(process, GR_GDIOBJECTS);
    if (!user && !gdi)
        GTEST_SKIP() << "GetGuiResources reports no objects here (Wine's is a stub); "
                        "OpeningAndClosingReleasesEverything checks each handle instead";
    OpenAndCloseWithShortcuts(1000, false);
    EXPECT_EQ(user, GetGuiResources(process, GR_USEROBJECTS));
    EXPECT_EQ(gdi, GetGuiResources(process, GR_GDIOBJECTS));
}

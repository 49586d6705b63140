#include "EventPump.h"
#include "base/Heap.h"
#include "windows/Event.h"
#include "windows/Shortcut.h"
#include "windows/Window.h"
#include <gtest/gtest.h>

static bool AcceleratorAlive(HACCEL table) {
    return CopyAcceleratorTableA(table, nullptr, 0) > 0;
}

TEST(Shortcuts, RecordsAndRebinding) {
    ASSERT_TRUE(WindowOpen(0, 0, 0, 50, 50, WS_POPUP | WindowFlagHidden, ""));
    EXPECT_EQ(nullptr, ShortcutAdd(8, VK_ESCAPE, 40)) << "number 8 was never opened";
    struct Case {
        uint32_t key;
        int32_t menuId;
        int index; // of the record it makes or rebinds
        ACCEL record;
    } cases[] = {
        {VK_ESCAPE, 40, 2, {FVIRTKEY | FNOINVERT, VK_ESCAPE, 40}},
        {VK_ESCAPE, 41, 2, {FVIRTKEY | FNOINVERT, VK_ESCAPE, 41}},
        {VK_ESCAPE | ShortcutShift, 42, 3, {FVIRTKEY | FNOINVERT | FSHIFT, VK_ESCAPE, 42}},
        {VK_F3 | ShortcutControl | ShortcutAlt,
         43,
         4,
         {FVIRTKEY | FNOINVERT | FCONTROL | FALT, VK_F3, 43}},
        {VK_F4, 0x10000 + 40, 5, {FVIRTKEY | FNOINVERT, VK_F4, 40}},
        {0x80000000u | VK_ESCAPE, 44, 2, {FVIRTKEY | FNOINVERT, VK_ESCAPE, 44}},
        {VK_TAB, 99, 0, {FVIRTKEY | FNOINVERT, VK_TAB, 99}},
        {VK_TAB | ShortcutShift, -1, 1, {FVIRTKEY | FNOINVERT | FSHIFT, VK_TAB, 0xFFFF}},
    };
    int32_t count = 2;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "key word 0x" << std::hex << c.key);
        HACCEL old = WindowLookup(0)->accelerators;
        HACCEL table = ShortcutAdd(0, c.key, c.menuId);
        const WindowEntry* entry = WindowLookup(0);
        if (c.index == count) count++;
        ASSERT_EQ(count, entry->shortcutCount);
        EXPECT_EQ(entry->accelerators, table);
        EXPECT_FALSE(AcceleratorAlive(old)) << "the old table is destroyed";
        const ACCEL& made = entry->shortcuts[c.index];
        EXPECT_EQ(c.record.fVirt, made.fVirt);
        EXPECT_EQ(c.record.key, made.key);
        EXPECT_EQ(c.record.cmd, made.cmd);
        ACCEL copied[16];
        ASSERT_EQ(count, CopyAcceleratorTableA(table, copied, 16));
        for (int i = 0; i < count; i++) {
            EXPECT_EQ(entry->shortcuts[i].fVirt, copied[i].fVirt & ~0x80) << i;
            EXPECT_EQ(entry->shortcuts[i].key, copied[i].key) << i;
            EXPECT_EQ(entry->shortcuts[i].cmd, copied[i].cmd) << i;
        }
    }
    WindowCloseAll();
}

static HWND gCounted[2];
static WNDPROC gCountedProc[2];
static int gKeyDowns[2]; // presses of keys other than Shift that reached the window

static LRESULT CALLBACK CountKeyDowns(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    int which = window == gCounted[1];
    if (message == WM_KEYDOWN && wParam != VK_SHIFT) gKeyDowns[which]++;
    return CallWindowProcA(gCountedProc[which], window, message, wParam, lParam);
}

// A visible popup, active, with controls in this order: A (tab stop), B (disabled),
// C (no tab stop), D (hidden), a container holding E (tab stop), F (tab stop) and
// the edit X (no tab stop).
class Keys : public testing::Test {
  protected:
    HWND window, a, c, e, f, x;

    HWND Child(HWND parent, const char* className, DWORD style, int y) {
        return CreateWindowExA(0, className, "", WS_CHILD | style, 10, y, 100, 22, parent, nullptr,
                               InstanceHandle(), nullptr);
    }
    void SetUp() override {
        window = (HWND)WindowOpen(0, 0, 0, 300, 260, WS_POPUP, "");
        ASSERT_TRUE(WaitForeground(window)) << "keyboard input needs the foreground window";
        a = Child(window, "Button", WS_VISIBLE | WS_TABSTOP, 5);
        Child(window, "Edit", WS_VISIBLE | WS_TABSTOP | WS_DISABLED, 30);
        c = Child(window, "Static", WS_VISIBLE, 55);
        Child(window, "Button", WS_TABSTOP, 80);
        HWND container = Child(window, "Static", WS_VISIBLE, 105);
        e = Child(container, "Button", WS_VISIBLE | WS_TABSTOP, 0);
        f = Child(window, "Button", WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 130);
        x = Child(window, "Edit", WS_VISIBLE | WS_BORDER, 155);
        gCounted[0] = window;
        gCounted[1] = x;
        for (int i = 0; i < 2; i++) {
            gCountedProc[i] =
                (WNDPROC)SetWindowLongPtrA(gCounted[i], GWLP_WNDPROC, (LONG_PTR)CountKeyDowns);
        }
        PumpAll();
    }
    void TearDown() override { WindowCloseAll(); }

    // The edit's focus notifications are events of their own: let them pass first.
    void Focus(HWND target) {
        SetFocus(target);
        PumpAll();
        gKeyDowns[0] = gKeyDowns[1] = 0;
    }
};

TEST_F(Keys, ShortcutsTakeKeyPresses) {
    ASSERT_TRUE(ShortcutAdd(0, VK_ESCAPE, 40));
    ASSERT_TRUE(ShortcutAdd(0, VK_ESCAPE | ShortcutShift, 41));
    ASSERT_TRUE(ShortcutAdd(0, VK_F4, 0x10000 + 45));
    struct Case {
        bool inEdit; // the focus in the edit control X, else in the window itself
        WORD key;
        bool shift;
        int32_t code;   // of the key's own press
        int32_t menuId; // for a menu event; the key's code as wParam for a key message
    } cases[] = {
        {false, VK_ESCAPE, false, EventMenu, 40}, {true, VK_ESCAPE, false, EventMenu, 40},
        {false, VK_ESCAPE, true, EventMenu, 41},  {true, VK_ESCAPE, true, EventMenu, 41},
        {true, VK_F4, false, EventMenu, 45},      {false, VK_F5, false, WM_KEYDOWN, 0},
        {true, VK_F5, false, WM_KEYDOWN, 0},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << "key " << k.key << (k.shift ? " with Shift" : "")
                                        << (k.inEdit ? " in the edit" : " in the window"));
        HWND target = k.inEdit ? x : window;
        Focus(target);
        ASSERT_EQ(target, GetFocus());
        std::vector<Seen> seen = PumpKey(window, k.key, k.shift);
        ASSERT_GT(seen.size(), k.shift ? 1u : 0u);
        const Seen& result = seen[k.shift ? 1 : 0];
        EXPECT_EQ(k.code, result.code);
        if (k.code == EventMenu) {
            EXPECT_EQ(k.menuId, result.id);
        } else {
            EXPECT_EQ((WPARAM)k.key, result.wParam);
        }
        EXPECT_EQ(WM_KEYUP, seen.back().code) << "the key's release ends the pump";
        // A shortcut's key message is not dispatched; any other reaches the focus.
        EXPECT_EQ(k.code == EventMenu ? 0 : 1, gKeyDowns[k.inEdit]);
    }
}

TEST_F(Keys, TabAndShiftTabMoveTheFocus) {
    struct Step {
        HWND from; // null: keep the focus where the previous step left it
        bool shift;
        HWND to;
    } steps[] = {
        {window, false, a}, {nullptr, false, e}, {nullptr, false, f}, {nullptr, false, a},
        {nullptr, true, f}, {nullptr, true, e},  {nullptr, true, a},  {nullptr, true, f},
        {window, true, f},  {c, false, c},       {c, true, f},
    };
    for (const Step& step : steps) {
        if (step.from) Focus(step.from);
        HWND before = GetFocus();
        std::vector<Seen> seen = PumpKey(window, VK_TAB, step.shift);
        SCOPED_TRACE(testing::Message()
                     << "from " << before << (step.shift ? " Shift+Tab" : " Tab"));
        EXPECT_EQ(step.to, GetFocus());
        // The shortcut moved the focus and made no event: the wait gave the key message.
        ASSERT_GT(seen.size(), step.shift ? 1u : 0u);
        const Seen& press = seen[step.shift ? 1 : 0];
        EXPECT_EQ(WM_KEYDOWN, press.code);
        EXPECT_EQ((WPARAM)VK_TAB, press.wParam);
        EXPECT_EQ(0, gKeyDowns[0]) << "Tab never reaches the window procedure";
    }
}

TEST_F(Keys, RebindingTabTurnsItIntoAMenuEvent) {
    ASSERT_TRUE(ShortcutAdd(0, VK_TAB, 99));
    Focus(a);
    std::vector<Seen> seen = PumpKey(window, VK_TAB);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ((Seen{EventMenu, 99, EventTypeNone}), seen[0]);
    EXPECT_EQ(a, GetFocus()) << "Tab no longer moves the focus";
    PumpKey(window, VK_TAB, true);
    EXPECT_EQ(f, GetFocus()) << "Shift+Tab still does";
}

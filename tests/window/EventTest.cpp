#include "EventPump.h"
#include "base/Heap.h"
#include "windows/Event.h"
#include "windows/Shortcut.h"
#include "windows/Window.h"
#include <commctrl.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <string.h>

static const int32_t kNone = EventTypeNone;
static const int32_t kKept = 4242; // the event id every row starts from
static const int32_t kHelper = HelperRunMessage;

// A visible popup window, active, with one control of each kind the message table knows.
class EventTable : public testing::Test {
  protected:
    HWND window, button, menuButton, list, scroll, tree, listView, upDown;
    HTREEITEM treeItem;

    HWND Control(const char* className, int32_t id, DWORD style, int x, int y, int w, int h) {
        return CreateWindowExA(0, className, "", WS_CHILD | WS_VISIBLE | style, x, y, w, h, window,
                               (HMENU)(INT_PTR)id, InstanceHandle(), nullptr);
    }

    void SetUp() override {
        window = (HWND)WindowOpen(0, 0, 0, 600, 400, WS_POPUP, "");
        ASSERT_TRUE(WaitForeground(window));
        button = Control("Button", 31, BS_PUSHBUTTON, 10, 10, 80, 24);
        menuButton = Control("Button", ControlMenuCommands, BS_PUSHBUTTON, 100, 10, 80, 24);
        list = Control("ListBox", 32, LBS_NOTIFY, 10, 40, 120, 90);
        for (const char* item : {"one", "two", "three"})
            SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)item);
        scroll = Control("ScrollBar", 33, SBS_HORZ, 10, 140, 150, 18);
        SetScrollRange(scroll, SB_CTL, 0, 10, FALSE);
        tree = Control(WC_TREEVIEWA, 34, WS_BORDER, 200, 40, 150, 100);
        TVINSERTSTRUCTA insert = {};
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT;
        insert.item.pszText = (char*)"root";
        SendMessageA(tree, TVM_INSERTITEMA, 0, (LPARAM)&insert);
        insert.item.pszText = (char*)"second";
        treeItem = (HTREEITEM)SendMessageA(tree, TVM_INSERTITEMA, 0, (LPARAM)&insert);
        listView = Control(WC_LISTVIEWA, 35, LVS_LIST | WS_BORDER, 200, 150, 150, 100);
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        for (const char* text : {"alpha", "beta"}) {
            item.pszText = (char*)text;
            SendMessageA(listView, LVM_INSERTITEMA, 0, (LPARAM)&item);
            item.iItem++;
        }
        upDown = Control(UPDOWN_CLASSA, 36, 0, 10, 170, 20, 40);
        SendMessageA(upDown, UDM_SETRANGE32, 0, 100);
        SendMessageA(upDown, UDM_SETPOS32, 0, 50);
        PumpAll();
    }
    void TearDown() override { WindowCloseAll(); }

    std::function<void()> Post(HWND to, UINT message, WPARAM wParam, LPARAM lParam) {
        return [=] { PostMessageA(to, message, wParam, lParam); };
    }
    std::function<void()> Send(UINT message, WPARAM wParam, LPARAM lParam) {
        HWND to = window;
        return [=] { RunDuringWait([=] { SendMessageA(to, message, wParam, lParam); }); };
    }
    std::function<void()> Notify(HWND from, int32_t id, UINT code, int delta = 0) {
        HWND to = window;
        return [=] {
            RunDuringWait([=] {
                NMUPDOWN record = {};
                record.hdr.hwndFrom = from;
                record.hdr.idFrom = (UINT_PTR)id;
                record.hdr.code = code;
                record.iDelta = delta;
                SendMessageA(to, WM_NOTIFY, id, (LPARAM)&record);
            });
        };
    }
    // A left click, or a double click, at the middle of a rectangle of a control,
    // which first gets the focus in a wait of its own.
    std::function<void()> Click(HWND control, RECT at, bool twice = false) {
        LPARAM point = MAKELPARAM((at.left + at.right) / 2, (at.top + at.bottom) / 2);
        return [=] {
            RunDuringWait([=] { SetFocus(control); });
            PostMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, point);
            PostMessageA(control, WM_LBUTTONUP, 0, point);
            if (!twice) return;
            PostMessageA(control, WM_LBUTTONDBLCLK, MK_LBUTTON, point);
            PostMessageA(control, WM_LBUTTONUP, 0, point);
        };
    }
};

static bool IsEventCode(int32_t code) {
    return code == EventSize || code == EventClose || code == EventGadget || code == EventMenu ||
           code == EventNotifyClick;
}

TEST_F(EventTable, EveryRow) {
    RECT listItem = {}, treeRect = {}, viewItem = {LVIR_LABEL}, upperArrow = {0, 0, 20, 16};
    SendMessageA(list, LB_GETITEMRECT, 1, (LPARAM)&listItem);
    memcpy(&treeRect, &treeItem, sizeof treeItem); // the item goes in, its rectangle comes out
    SendMessageA(tree, TVM_GETITEMRECT, TRUE, (LPARAM)&treeRect);
    SendMessageA(listView, LVM_GETITEMRECT, 1, (LPARAM)&viewItem);
    const HWND w = window;
    const int32_t menuWord = (uint16_t)ControlMenuCommands;
    const WPARAM accelerator = 1 << 16;

    struct Row {
        const char* name;
        std::function<void()> deliver;
        std::vector<Seen> expected; // exactly what the waits return, sentinel left out
    };
    // clang-format off
    const Row rows[] = {
        {"menu command 0", Post(w, WM_COMMAND, 0, 0), {{EventMenu, 0, kNone}}},
        {"menu command 77", Post(w, WM_COMMAND, 77, 0), {{EventMenu, 77, kNone}}},
        {"accelerator 55", Post(w, WM_COMMAND, accelerator | 55, 0), {{EventMenu, 55, kNone}}},
        {"accelerator 1212", Post(w, WM_COMMAND, accelerator | 1212, 0), {{WM_COMMAND, kKept, kNone}}},
        {"accelerator 1213", Post(w, WM_COMMAND, accelerator | 1213, 0), {{WM_COMMAND, kKept, kNone}}},
        {"button command", Post(w, WM_COMMAND, 31, (LPARAM)button), {{EventGadget, 31, 0}}},
        {"button code 5", Post(w, WM_COMMAND, MAKEWPARAM(31, 5), (LPARAM)button), {{EventGadget, 31, 5}}},
        {"control -10000", Post(w, WM_COMMAND, 40, (LPARAM)menuButton), {{EventMenu, 40, 0}}},
        {"list box selection", Post(w, WM_COMMAND, MAKEWPARAM(32, 1), (LPARAM)list), {{EventGadget, 32, 0}}},
        {"list box double click", Post(w, WM_COMMAND, MAKEWPARAM(32, 2), (LPARAM)list), {{EventGadget, 32, 2}}},
        {"list box focus", Post(w, WM_COMMAND, MAKEWPARAM(32, 4), (LPARAM)list), {{WM_COMMAND, 32, 4}}},
        {"list box focus lost", Post(w, WM_COMMAND, MAKEWPARAM(32, 5), (LPARAM)list), {{WM_COMMAND, 32, 5}}},
        {"own scroll bar", Post(w, WM_HSCROLL, SB_LINEDOWN, 0), {{EventGadget, 0, kNone}}},
        {"scroll bar control", Post(w, WM_VSCROLL, SB_LINEDOWN, (LPARAM)scroll), {{EventGadget, 33, kNone}}},
        {"12502 mouse move", Post(w, 12502, 9, WM_MOUSEMOVE), {{12502, 9, kNone}}},
        {"12502 left double", Post(w, 12502, 9, WM_LBUTTONDBLCLK), {{EventNotifyClick, 9, 2}}},
        {"12502 right double", Post(w, 12502, 9, WM_RBUTTONDBLCLK), {{EventNotifyClick, 9, 3}}},
        {"12502 left up", Post(w, 12502, 9, WM_LBUTTONUP), {{EventNotifyClick, 9, 0}}},
        {"12502 right up", Post(w, 12502, 9, WM_RBUTTONUP), {{EventNotifyClick, 9, 1}}},
        {"12502 left down", Post(w, 12502, 9, WM_LBUTTONDOWN), {{12502, 9, kNone}}},
        {"12501 posted", Post(w, 12501, 8, WM_LBUTTONUP), {{12501, kKept, kNone}, {EventNotifyClick, 8, 0}}},
        {"12501 sent", Send(12501, 8, WM_RBUTTONDBLCLK), {{kHelper, kKept, kNone}, {EventNotifyClick, 8, 3}}},
        {"12504", Post(w, 12504, 0, 0), {{EventSize, kKept, kNone}}},
        {"WM_SIZE sent", Send(WM_SIZE, 0, MAKELPARAM(10, 10)), {{kHelper, kKept, kNone}, {EventSize, kKept, kNone}}},
        {"WM_CLOSE posted", Post(w, WM_CLOSE, 0, 0), {{EventClose, kKept, kNone}}},
        {"WM_CLOSE sent", Send(WM_CLOSE, 0, 0), {{EventClose, kKept, kNone}}},
        {"unknown message", Post(w, WM_APP + 50, 1, 2), {{WM_APP + 50, kKept, kNone}}},
        {"quit message", Post(w, WM_QUIT, 0, 0), {{WM_QUIT, kKept, kNone}}},
        {"tree click", Notify(tree, 34, NM_CLICK), {{EventGadget, 34, 0}}},
        {"tree double click", Notify(tree, 34, NM_DBLCLK), {{EventGadget, 34, 2}}},
        {"tree right click", Notify(tree, 34, NM_RCLICK), {{EventGadget, 34, 1}}},
        {"tree right double click", Notify(tree, 34, NM_RDBLCLK), {{EventGadget, 34, 3}}},
        {"tree selection", Notify(tree, 34, TVN_SELCHANGEDA), {{EventGadget, 34, kNone}}},
        {"tree other code", Notify(tree, 34, NM_CUSTOMDRAW), {{kHelper, kKept, kNone}}},
        {"list view activation", Notify(listView, 35, LVN_ITEMACTIVATE), {{EventGadget, 35, 2}}},
        {"list view item change", Notify(listView, 35, LVN_ITEMCHANGED), {{EventGadget, 35, kNone}}},
        {"button click code", Notify(button, 31, NM_CLICK), {{kHelper, kKept, kNone}}},
        {"up-down delta", Notify(upDown, 36, UDN_DELTAPOS, -3), {{EventGadget, 36, -3}}},
        {"up-down code from a tree", Notify(tree, 34, UDN_DELTAPOS, 5), {{EventGadget, 34, 5}}},
        {"notify without header", Send(WM_NOTIFY, 0, 0), {{kHelper, kKept, kNone}}},
    };
    // Real controls send more than the one notification: the expected event is among them.
    const Row controls[] = {
        {"list box click", Click(list, listItem), {{EventGadget, 32, 0}}},
        {"list box double click", Click(list, listItem, true), {{EventGadget, 32, 2}}},
        {"tree view click", Click(tree, treeRect), {{EventGadget, 34, 0}}},
        {"list view click", Click(listView, viewItem), {{EventGadget, 35, 0}}},
        {"scroll bar key", Post(scroll, WM_KEYDOWN, VK_RIGHT, 0), {{EventGadget, 33, kNone}}},
        {"up-down click", Click(upDown, upperArrow), {{EventGadget, 36, 1}}},
        {"button click", Post(button, BM_CLICK, 0, 0), {{EventGadget, 31, 0}}},
        {"click on control -10000", Post(menuButton, BM_CLICK, 0, 0), {{EventMenu, menuWord, 0}}},
    };
    // clang-format on
    auto check = [&](const Row& row, bool exact) {
        SCOPED_TRACE(row.name);
        PostMessageA(window, WM_COMMAND, kKept, 0);
        ASSERT_EQ(EventMenu, PumpAll().at(0).code);
        row.deliver();
        std::vector<Seen> seen = PumpAll();
        if (exact) {
            EXPECT_EQ(row.expected, seen);
        }
        for (const Seen& want : row.expected)
            EXPECT_NE(seen.end(), std::find(seen.begin(), seen.end(), want)) << "missing " << want;
        for (const Seen& one : seen) {
            if (IsEventCode(one.code)) {
                EXPECT_EQ(window, one.window) << one;
            }
        }
    };
    for (const Row& row : rows) check(row, true);
    for (const Row& row : controls) check(row, false);
    EXPECT_TRUE(IsWindow(window)) << "a close request leaves the window open";
}

TEST_F(EventTable, SizeChangeComesFromTheQueue) {
    ASSERT_TRUE(MoveWindow(window, 10, 10, 320, 240, TRUE));
    EXPECT_EQ(0, EventPending()) << "the size message itself makes no event";
    std::vector<Seen> seen = PumpAll();
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ(EventSize, seen[0].code);
}

TEST_F(EventTable, PendingCodeFromOutsideAWait) {
    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(EventClose, EventPending());
    // Kept until a wait returns it, after that wait has dispatched its own message...
    PostMessageA(window, WM_APP + 51, 0, 0);
    EXPECT_EQ(EventClose, EventWait());
    EXPECT_EQ(0, EventPending());
    // ...unless handling that message makes an event of its own.
    SendMessageA(window, WM_CLOSE, 0, 0);
    PostMessageA(window, WM_COMMAND, 77, 0);
    EXPECT_EQ(EventMenu, EventWait());
    EXPECT_EQ(77, EventMenuId());
}

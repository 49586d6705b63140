#include "windows/Event.h"
#include "windows/LiveSizing.h"
#include "windows/Window.h"
#include <commctrl.h>
#include <string.h>

struct EventRecord {
    int32_t pending;
    int32_t type;
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    int32_t id;
};

static EventRecord gEvent;

void EventRecordClear() {
    memset(&gEvent, 0, sizeof gEvent);
}

void EventWaitBegin() {
    gEvent.type = EventTypeNone;
}

int32_t EventWaitEnd(const MSG* retrieved) {
    int32_t result = gEvent.pending;
    if (!result) {
        result = (int32_t)retrieved->message;
        gEvent.wParam = retrieved->wParam;
        gEvent.lParam = retrieved->lParam;
    }
    gEvent.pending = 0;
    return result;
}

int32_t EventPending() {
    return gEvent.pending;
}
int32_t EventType() {
    return gEvent.type;
}
HWND EventWindow() {
    return gEvent.window;
}
UINT EventMessage() {
    return gEvent.message;
}
WPARAM EventWParam() {
    return gEvent.wParam;
}
LPARAM EventLParam() {
    return gEvent.lParam;
}
int32_t EventMenuId() {
    return gEvent.id;
}

LRESULT CALLBACK WindowCallback(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    gEvent.window = window;
    gEvent.message = message;
    gEvent.wParam = wParam;
    gEvent.lParam = lParam;
    if (message == WM_SYSCOMMAND && WindowRefusesCommand(window, wParam, lParam)) return 0;
    LRESULT result = LiveSizingFilter(window, message, wParam, lParam);
    if (result != EventNotHandled) return result;
    result = EventTranslate(window, message, wParam, lParam);
    if (result != EventNotHandled) return result;
    return DefWindowProcA(window, message, wParam, lParam);
}

// A class name that cannot be read counts as empty.
static bool EventClassBegins(HWND control, const char* prefix) {
    char name[8];
    if (!GetClassNameA(control, name, sizeof name)) name[0] = 0;
    return strncmp(name, prefix, 4) == 0;
}

static void EventGadgetFrom(int32_t id) {
    HWND outermost = gEvent.window;
    for (HWND parent = GetParent(outermost); parent; parent = GetParent(parent)) outermost = parent;
    gEvent.pending = EventGadget;
    gEvent.id = id;
    gEvent.window = outermost;
}

static void EventTranslateNotify(const NMHDR* header) {
    if (EventClassBegins(header->hwndFrom, "SysT") || EventClassBegins(header->hwndFrom, "SysL")) {
        switch (header->code) {
        case NM_CLICK:
            gEvent.type = EventTypeLeftClick;
            break;
        case NM_DBLCLK:
            gEvent.type = EventTypeLeftDoubleClick;
            break;
        case NM_RCLICK:
            gEvent.type = EventTypeRightClick;
            break;
        case NM_RDBLCLK:
            gEvent.type = EventTypeRightDoubleClick;
            break;
        case LVN_ITEMACTIVATE:
            gEvent.type = EventTypeLeftDoubleClick;
            break;
        }
        if (gEvent.type != EventTypeNone || header->code == TVN_SELCHANGEDA ||
            header->code == LVN_ITEMCHANGED) {
            EventGadgetFrom((int32_t)header->idFrom);
            return;
        }
    }
    if (header->code == UDN_DELTAPOS) {
        EventGadgetFrom((int32_t)header->idFrom);
        gEvent.type = ((const NMUPDOWN*)header)->iDelta;
    }
}

static void EventTranslateCommand(WPARAM wParam, LPARAM lParam) {
    if (lParam) {
        HWND control = (HWND)lParam;
        int32_t id = GetWindowLongA(control, GWL_ID);
        gEvent.type = HIWORD(wParam);
        gEvent.pending = EventGadget;
        gEvent.id = id;
        if (id == ControlMenuCommands) {
            gEvent.pending = EventMenu;
            gEvent.id = LOWORD(wParam);
        }
        if (EventClassBegins(control, "List")) {
            if (gEvent.type == LBN_SELCHANGE)
                gEvent.type = EventTypeLeftClick;
            else if (gEvent.type != LBN_DBLCLK)
                gEvent.pending = 0;
        }
        return;
    }
    if (HIWORD(wParam) == 0) {
        gEvent.pending = EventMenu;
        gEvent.id = (int32_t)wParam;
        return;
    }
    switch (LOWORD(wParam)) {
    case CommandFocusNext:
        FocusNext();
        break;
    case CommandFocusPrevious:
        FocusPrevious();
        break;
    default:
        gEvent.pending = EventMenu;
        gEvent.id = LOWORD(wParam);
    }
}

static void EventTranslateNotifyClick(WPARAM wParam, LPARAM lParam) {
    gEvent.pending = 0;
    gEvent.id = (int32_t)wParam;
    int32_t type;
    switch (lParam) {
    case WM_LBUTTONUP:
        type = EventTypeLeftClick;
        break;
    case WM_RBUTTONUP:
        type = EventTypeRightClick;
        break;
    case WM_LBUTTONDBLCLK:
        type = EventTypeLeftDoubleClick;
        break;
    case WM_RBUTTONDBLCLK:
        type = EventTypeRightDoubleClick;
        break;
    default:
        return;
    }
    gEvent.pending = EventNotifyClick;
    gEvent.type = type;
}

LRESULT EventTranslate(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NOTIFY:
        // Nothing to read without a header: no event.
        if (lParam) EventTranslateNotify((const NMHDR*)lParam);
        return 0;
    case WM_HSCROLL:
    case WM_VSCROLL:
        EventGadgetFrom(lParam ? GetWindowLongA((HWND)lParam, GWL_ID) : 0);
        return 0;
    case WM_COMMAND:
        EventTranslateCommand(wParam, lParam);
        return 0;
    case MessageNotifyClickQueued:
        EventTranslateNotifyClick(wParam, lParam);
        return 0;
    case MessageSizeQueued:
        gEvent.pending = EventSize;
        return 0;
    // Sent messages never come out of the queue: post them again to make events.
    case WM_SIZE:
        PostMessageA(window, MessageSizeQueued, wParam, lParam);
        return 0;
    case MessageNotifyClick:
        PostMessageA(window, MessageNotifyClickQueued, wParam, lParam);
        return 0;
    case WM_CLOSE:
        gEvent.pending = EventClose;
        return 0;
    }
    return EventNotHandled;
}

static bool FocusIsTabStop(HWND window) {
    return IsWindowEnabled(window) && IsWindowVisible(window) &&
           (GetWindowLongA(window, GWL_STYLE) & WS_TABSTOP);
}

struct FocusWalk {
    HWND start;    // the focused descendant, or null
    bool found;    // FocusNext: the start has been passed
    HWND previous; // FocusPrevious: the last tab stop visited
    bool done;
};

static BOOL CALLBACK FocusNextVisit(HWND window, LPARAM parameter) {
    FocusWalk* walk = (FocusWalk*)parameter;
    if (!FocusIsTabStop(window)) return TRUE;
    if (walk->found || !walk->start) {
        SetFocus(window);
        walk->found = false;
        return FALSE;
    }
    if (window == walk->start) walk->found = true;
    return TRUE;
}

static BOOL CALLBACK FocusPreviousVisit(HWND window, LPARAM parameter) {
    FocusWalk* walk = (FocusWalk*)parameter;
    if (!FocusIsTabStop(window)) return TRUE;
    if (window == walk->start && walk->previous) {
        SetFocus(walk->previous);
        walk->done = true;
        return FALSE;
    }
    walk->previous = window;
    return TRUE;
}

// With no active window there are no tab stops: enumerating the children of
// null would walk every top-level window of the desktop instead.
static HWND FocusStart(FocusWalk* walk) {
    HWND active = GetActiveWindow();
    memset(walk, 0, sizeof *walk);
    if (!active) return nullptr;
    HWND focus = GetFocus();
    if (focus && IsChild(active, focus)) walk->start = focus;
    return active;
}

void FocusNext() {
    FocusWalk walk;
    HWND active = FocusStart(&walk);
    if (!active) return;
    EnumChildWindows(active, FocusNextVisit, (LPARAM)&walk);
    if (!walk.found) return;
    walk.start = nullptr;
    walk.found = false;
    EnumChildWindows(active, FocusNextVisit, (LPARAM)&walk);
}

void FocusPrevious() {
    FocusWalk walk;
    HWND active = FocusStart(&walk);
    if (!active) return;
    EnumChildWindows(active, FocusPreviousVisit, (LPARAM)&walk);
    if (!walk.done && walk.previous) SetFocus(walk.previous);
}

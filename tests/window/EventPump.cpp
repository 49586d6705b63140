#include "EventPump.h"
#include "windows/Event.h"
#include "windows/Shortcut.h"
#include <gtest/gtest.h>

bool operator==(const Seen& a, const Seen& b) {
    return a.code == b.code && a.id == b.id && a.type == b.type;
}

std::ostream& operator<<(std::ostream& out, const Seen& seen) {
    return out << "{code " << seen.code << ", id " << seen.id << ", type " << seen.type << "}";
}

std::vector<Seen> PumpUntil(const std::function<bool(const Seen&)>& stop, UINT guardMs) {
    UINT_PTR guard = SetTimer(nullptr, 0, guardMs, nullptr);
    std::vector<Seen> seen;
    for (int i = 0; i < 400; i++) {
        Seen one = {EventWait(),   EventMenuId(), EventType(),
                    EventWParam(), EventWindow(), EventLParam()};
        seen.push_back(one);
        if (one.code == WM_TIMER && one.wParam == guard) break;
        if (stop(one)) break;
    }
    KillTimer(nullptr, guard);
    return seen;
}

static std::function<void()> gAction;
static bool gSentinelArrived;

// The sentinel is known by its arrival, not by the wait's result: a code left
// pending outside a wait comes out of the wait that takes the sentinel. Messages
// posted while the pump runs come after it: go round until no posted message is left.
std::vector<Seen> PumpAll() {
    std::vector<Seen> all;
    for (int round = 0; round < 10; round++) {
        gSentinelArrived = false;
        PostMessageA(HelperWindow(), SentinelMessage, 0, 0);
        std::vector<Seen> seen = PumpUntil([](const Seen&) { return gSentinelArrived; });
        if (gSentinelArrived && seen.back().code == (int32_t)SentinelMessage) seen.pop_back();
        all.insert(all.end(), seen.begin(), seen.end());
        MSG waiting;
        if (!gSentinelArrived ||
            !PeekMessageA(&waiting, nullptr, 0, 0, PM_NOREMOVE | PM_QS_POSTMESSAGE))
            break;
    }
    return all;
}

std::vector<Seen> PumpQueuedInput() {
    std::vector<Seen> all;
    MSG queued;
    for (int i = 0; i < 100 && PeekMessageA(&queued, nullptr, 0, 0, PM_NOREMOVE | PM_QS_INPUT);
         i++) {
        std::vector<Seen> one = PumpUntil([](const Seen&) { return true; });
        all.insert(all.end(), one.begin(), one.end());
    }
    return all;
}

static LRESULT CALLBACK HelperProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == SentinelMessage) gSentinelArrived = true;
    if (message == HelperRunMessage && gAction) {
        std::function<void()> action = gAction;
        gAction = nullptr;
        action();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND HelperWindow() {
    static HWND helper;
    if (helper) return helper;
    WNDCLASSA helperClass = {};
    helperClass.lpfnWndProc = HelperProc;
    helperClass.hInstance = GetModuleHandleA(nullptr);
    helperClass.lpszClassName = "LumivaneTestHelper";
    RegisterClassA(&helperClass);
    helper = CreateWindowExA(0, "LumivaneTestHelper", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                             helperClass.hInstance, nullptr);
    return helper;
}

void RunDuringWait(const std::function<void()>& action) {
    gAction = action;
    PostMessageA(HelperWindow(), HelperRunMessage, 0, 0);
}

std::vector<Seen> PumpKey(HWND to, WORD key, bool shift) {
    if (!WaitForeground(to)) {
        ADD_FAILURE() << "the window for the key never became the foreground window";
        return {};
    }
    PumpQueuedInput();
    SendKey(key, shift ? VK_SHIFT : 0);
    WORD last = shift ? VK_SHIFT : key;
    return PumpUntil([last](const Seen& s) { return s.code == WM_KEYUP && s.wParam == last; });
}

static int gCommandsAsked;

static LRESULT CALLBACK CountSystemCommands(int code, WPARAM wParam, LPARAM lParam) {
    if (code != HCBT_SYSCOMMAND) return CallNextHookEx(nullptr, code, wParam, lParam);
    gCommandsAsked++;
    return 1;
}

bool SystemCommandPassed(HWND window, WPARAM command, LPARAM lParam) {
    HHOOK hook = SetWindowsHookExA(WH_CBT, CountSystemCommands, nullptr, GetCurrentThreadId());
    gCommandsAsked = 0;
    SendMessageA(window, WM_SYSCOMMAND, command, lParam);
    if (hook) UnhookWindowsHookEx(hook);
    return gCommandsAsked > 0;
}

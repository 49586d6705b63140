#include "Stress.h"
#include "EventPump.h"
#include "gadgets/Browser.h"
#include "gadgets/Gadget.h"
#include "windows/Event.h"
#include "windows/Shortcut.h"
#include "windows/Window.h"
#include <stdio.h>
#include <string.h>

namespace {

const UINT kValueMessage = WM_APP + 9; // carries its serial number in wParam
const int32_t kBatch = 100;            // messages posted before they are taken

BOOL CALLBACK CountChild(HWND, LPARAM parameter) {
    (*(int64_t*)parameter)++;
    return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM parameter) {
    (*(int64_t*)parameter)++;
    EnumChildWindows(window, CountChild, parameter);
    return TRUE;
}

// The process's entries in the system's list of handles. The list is taken
// from pages of its own, so that counting allocates nothing from a heap.
int64_t HandlesListed() {
    typedef LONG(WINAPI * QuerySystem)(ULONG what, void* buffer, ULONG size, ULONG* needed);
    struct HandleEntry {
        ULONG process;
        BYTE type;
        BYTE flags;
        USHORT value;
        void* object;
        ACCESS_MASK access;
    };
    const ULONG kSystemHandleInformation = 16;
    const LONG kLengthMismatch = (LONG)0xC0000004;
    QuerySystem query = (QuerySystem)(void*)GetProcAddress(GetModuleHandleA("ntdll.dll"),
                                                           "NtQuerySystemInformation");
    if (!query) return -1;
    for (SIZE_T size = 1 << 20; size <= (SIZE_T)1 << 28; size *= 2) {
        void* list = VirtualAlloc(nullptr, size, MEM_COMMIT, PAGE_READWRITE);
        if (!list) return -1;
        ULONG needed = 0;
        LONG status = query(kSystemHandleInformation, list, (ULONG)size, &needed);
        int64_t count = -1;
        if (status == 0) {
            // The entries follow the count, aligned as a pointer is.
            ULONG entries = *(ULONG*)list;
            HandleEntry* entry = (HandleEntry*)((char*)list + sizeof(void*));
            DWORD self = GetCurrentProcessId();
            count = 0;
            for (ULONG i = 0; i < entries; i++)
                if (entry[i].process == self) count++;
        }
        VirtualFree(list, 0, MEM_RELEASE);
        if (status != kLengthMismatch) return count;
    }
    return -1;
}

// Busy bytes of one heap; the heap is locked while it is walked.
int64_t HeapBusyBytes(HANDLE heap) {
    int64_t bytes = 0;
    if (!HeapLock(heap)) return 0;
    PROCESS_HEAP_ENTRY entry = {};
    while (HeapWalk(heap, &entry))
        if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) bytes += entry.cbData;
    HeapUnlock(heap);
    return bytes;
}

void Fault(StressOutcome* outcome, const char* what, int32_t at) {
    if (!outcome->fault[0])
        snprintf(outcome->fault, sizeof outcome->fault, "%s at %ld", what, (long)at);
}

ProcessHoldings Difference(const ProcessHoldings& after, const ProcessHoldings& before) {
    return {after.handles - before.handles, after.windows - before.windows,
            after.heapBytes - before.heapBytes};
}

// Posts one batch of messages, alternately menu commands and plain messages,
// and takes them through the wait; false at the first one that does not come
// back as it went.
bool MessageBatch(HWND window, int32_t first, int32_t count, StressOutcome* outcome) {
    for (int32_t i = first; i < first + count; i++) {
        if (i % 2)
            PostMessageA(window, kValueMessage, (WPARAM)i, (LPARAM)~i);
        else
            PostMessageA(window, WM_COMMAND, MAKEWPARAM(i % 30000 + 100, 0), 0);
    }
    for (int32_t i = first; i < first + count; i++) {
        int32_t code = EventWait();
        bool ok = i % 2 ? code == (int32_t)kValueMessage && EventWParam() == (WPARAM)i &&
                              EventLParam() == (LPARAM)~i
                        : code == EventMenu && EventMenuId() == i % 30000 + 100;
        if (!ok) {
            Fault(outcome,
                  i % 2 ? "a posted message came back otherwise"
                        : "a posted command came back otherwise",
                  i);
            return false;
        }
        outcome->done++;
    }
    return true;
}

void MessagesRun(int32_t count, StressOutcome* outcome) {
    intptr_t id = WindowOpen(WindowAny, 0, 0, 120, 80, WS_POPUP | WindowFlagHidden, "stress");
    WindowEntry* entry = WindowLookup(id);
    if (!id || !entry) {
        Fault(outcome, "no window", 0);
        return;
    }
    HWND window = entry->handle;
    PumpAll(); // what was posted so far goes through the event wait
    for (int32_t first = 0; first < count; first += kBatch) {
        int32_t n = count - first < kBatch ? count - first : kBatch;
        if (!MessageBatch(window, first, n, outcome)) break;
    }
    WindowClose(id);
    PumpAll();
}

// One round: window and browser gadget made, looked at, and closed again. The
// round's number chooses table number or identifier for each, and the close.
bool CycleRound(int32_t round, const char* url, StressOutcome* outcome) {
    bool windowById = round & 1, gadgetById = round & 2, closeAll = round & 4;
    intptr_t window = WindowOpen(windowById ? WindowAny : 3, 0, 0, 160, 120,
                                 WS_POPUP | WindowFlagHidden, "stress");
    intptr_t windowNumber = windowById ? window : 3;
    HWND parent = window ? WindowHandle() : nullptr;
    GadgetListCreate(parent);
    intptr_t gadget = BrowserGadgetCreate(gadgetById ? GadgetAny : 1, -10, -15, 187, 167, url);
    intptr_t gadgetNumber = gadgetById ? gadget : 1;
    GadgetEntry* entry = gadget ? GadgetLookup(gadgetNumber) : nullptr;
    HWND host = entry ? entry->window : nullptr;
    if (!parent || !host || GetParent(host) != parent) {
        Fault(outcome, "no window with a browser gadget in it", round);
        WindowCloseAll();
        return false;
    }
    PumpAll();
    if (closeAll) {
        WindowCloseAll();
    } else {
        GadgetFree(gadgetNumber);
        WindowClose(windowNumber);
    }
    PumpAll();
    if (IsWindow(host) || IsWindow(parent) || GadgetLookup(gadgetNumber) ||
        WindowLookup(windowNumber)) {
        Fault(outcome, "a window or its gadget outlived its close", round);
        return false;
    }
    outcome->done++;
    return true;
}

void CyclesRun(int32_t rounds, StressOutcome* outcome) {
    char url[MAX_PATH + 32] = "file:\\\\";
    size_t length = strlen(url);
    GetModuleFileNameA(nullptr, url + length, MAX_PATH);
    strcpy(strrchr(url, '\\') + 1, "data/1014.dat");
    for (int32_t round = 0; round < rounds; round++)
        if (!CycleRound(round, url, outcome)) break;
    GadgetListCreate(nullptr);
}

// Runs `run` once for `warm` to warm up, then counts what `run` for `count`
// leaves behind.
template <class Run> StressOutcome StressMeasure(int32_t warm, int32_t count, Run run) {
    StressOutcome outcome = {};
    run(warm, &outcome);
    if (outcome.fault[0]) return outcome;
    outcome.done = 0;
    ProcessHoldings before = ProcessHoldingsNow();
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    run(count, &outcome);
    QueryPerformanceCounter(&end);
    outcome.seconds = (double)(end.QuadPart - start.QuadPart) / (double)frequency.QuadPart;
    outcome.leaked = Difference(ProcessHoldingsNow(), before);
    return outcome;
}

} // namespace

ProcessHoldings ProcessHoldingsNow() {
    ProcessHoldings holdings = {};
    // Wine's count is always 0, which no process has: its handle list counts there.
    DWORD handles = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &handles)) holdings.handles = handles;
    if (holdings.handles == 0) holdings.handles = HandlesListed();
    EnumThreadWindows(GetCurrentThreadId(), CountTopLevel, (LPARAM)&holdings.windows);
    static HANDLE heaps[256];
    DWORD count = GetProcessHeaps(256, heaps);
    for (DWORD i = 0; i < count && i < 256; i++) holdings.heapBytes += HeapBusyBytes(heaps[i]);
    return holdings;
}

StressOutcome StressMessages(int32_t count) {
    return StressMeasure(kBatch, count, MessagesRun);
}

StressOutcome StressCycles(int32_t rounds) {
    WindowCloseAll();
    // Eight warm rounds go through every choice once.
    return StressMeasure(8, rounds, CyclesRun);
}

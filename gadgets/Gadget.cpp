#include "gadgets/Gadget.h"
#include "base/Heap.h"
#include "base/NumberTable.h"
#include <commctrl.h>

static NumberTable gTable; // entries: one GadgetEntry
static HWND gParent;

// A window being destroyed whose entry is already empty, while another
// procedure in front keeps the registry's in its chain: its messages still go
// on to the procedure the registry stood in front of. One per destruction, on
// the stack, newest first.
struct GadgetLeaving {
    HWND window;
    WNDPROC proc;
    GadgetLeaving* next;
};
static GadgetLeaving* gLeaving;

static WNDPROC GadgetLeavingProc(HWND window) {
    for (GadgetLeaving* leaving = gLeaving; leaving; leaving = leaving->next)
        if (leaving->window == window) return leaving->proc;
    return nullptr;
}

int GadgetLibraryInit() {
    gParent = nullptr;
    if (!NumberTableInit(&gTable, sizeof(GadgetEntry), 30, 30, 2)) return 0;
    InitCommonControls();
    return 1;
}

void CommonControlsInit() {
    InitCommonControls();
}

HWND GadgetListCreate(HWND parent) {
    gParent = parent;
    return parent;
}

HWND GadgetParent() {
    return gParent;
}

GadgetEntry* GadgetLookup(intptr_t number) {
    return (GadgetEntry*)NumberTableLookup(&gTable, number);
}

// Destroys the window of an entry already emptied. The empty entry no longer
// knows the window's own procedure, and the destruction messages must still
// reach it: it goes back in front, or, behind another procedure, the registry's
// passes them on to it from the leaving list.
static void GadgetDestroy(intptr_t, void* held) {
    GadgetEntry* gadget = (GadgetEntry*)held;
    GadgetLeaving leaving = {gadget->window, gadget->previousProc, gLeaving};
    bool inFront =
        GetWindowLongPtrA(gadget->window, GWLP_WNDPROC) == (LONG_PTR)GadgetSubclassProc;
    if (gadget->previousProc && inFront)
        SetWindowLongPtrA(gadget->window, GWLP_WNDPROC, (LONG_PTR)gadget->previousProc);
    else if (gadget->previousProc)
        gLeaving = &leaving;
    if (gadget->kind && gadget->kind->free)
        gadget->kind->free(gadget->window);
    else
        DestroyWindow(gadget->window);
    if (gLeaving == &leaving) gLeaving = leaving.next;
}

GadgetEntry* GadgetSlotClaim(intptr_t number) {
    return (GadgetEntry*)NumberTableSlot(&gTable, &number, GadgetDestroy);
}

// The entry is emptied, and an identifier's record freed, before the window goes:
// its WM_NCDESTROY no longer passes the registry's procedure to do it.
void GadgetFree(intptr_t number) {
    NumberTableClose(&gTable, number, GadgetDestroy);
}

void GadgetSubclass(GadgetEntry* entry) {
    entry->previousProc =
        (WNDPROC)SetWindowLongPtrA(entry->window, GWLP_WNDPROC, (LONG_PTR)GadgetSubclassProc);
}

void GadgetSlotRelease(intptr_t number) {
    NumberTableRelease(&gTable, number);
}

LRESULT CALLBACK GadgetSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    intptr_t number = GetWindowLongPtrA(window, GWLP_ID);
    GadgetEntry* entry = GadgetLookup(number);
    if (!entry || entry->window != window) {
        WNDPROC leaving = GadgetLeavingProc(window);
        if (leaving) return CallWindowProcA(leaving, window, message, wParam, lParam);
        return DefWindowProcA(window, message, wParam, lParam);
    }
    // Read before the release, which may free the record that holds it.
    WNDPROC proc = entry->previousProc;
    // A hosted control may put its own procedure back in front while the window
    // is destroyed (ATL's host does at WM_DESTROY), and WM_NCDESTROY would then
    // never come here: while still in front, the registry steps out and lets go
    // of the entry at WM_DESTROY.
    if (message == WM_DESTROY &&
        GetWindowLongPtrA(window, GWLP_WNDPROC) == (LONG_PTR)GadgetSubclassProc) {
        SetWindowLongPtrA(window, GWLP_WNDPROC, (LONG_PTR)proc);
        GadgetSlotRelease(number);
    }
    if (message == WM_NCDESTROY) GadgetSlotRelease(number);
    return CallWindowProcA(proc, window, message, wParam, lParam);
}

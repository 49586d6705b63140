// The gadget registry: numbered child controls placed in a window. Gadgets live
// in one numbered table (30 to start, growing in steps of 30) or, under the any
// number, in records whose address is their identifier. A gadget's number (or
// identifier) is also its window's control identifier.
//   GadgetLibraryInit   table of 30 gadgets, no gadget parent; 0 without memory
//   CommonControlsInit  makes the system's common control classes available
//   GadgetListCreate    the window that receives the gadgets created from now on;
//                       returns it, so 0 when given none
//   GadgetParent        that window
//   GadgetSlotClaim     the empty entry to record a new gadget in; a gadget living
//                       under the number is destroyed first; null when the number
//                       can't be given one. For the any number the entry's
//                       address is the new gadget's identifier
//   GadgetSubclass      puts the registry's procedure in front of the entry's window
//   GadgetLookup        the entry of a living gadget, or null
//   GadgetFree          destroys a living gadget through its kind (or DestroyWindow);
//                       an identifier's record is freed, the identifier names nothing;
//                       the window's own procedure still sees its destruction, also
//                       behind a procedure put in front of the registry's
//   GadgetSlotRelease   empties an entry; an identifier's record is freed
//   GadgetSubclassProc  passes every message on; at WM_DESTROY it steps out of the
//                       window and empties the entry (at WM_NCDESTROY when another
//                       procedure came in front of it)
// Creation by a kind: GadgetSlotClaim, create the window as a child of the
// gadget parent with the number as its identifier, fill `window` and `kind`,
// then GadgetSubclass.
#pragma once
#include <windows.h>
#include <stdint.h>

// The operations of one kind of gadget, shared by all gadgets of the kind. Any
// slot may be empty; the registry calls only `free`.
struct GadgetKind {
    void (*free)(HWND window);
    int32_t (*getState)(HWND window);
    void (*setState)(HWND window, int32_t state);
    const char* (*getText)(HWND window);
    void (*setText)(HWND window, const char* text);
};

// The window comes first: an entry with none is empty.
struct GadgetEntry {
    HWND window;
    const GadgetKind* kind;
    WNDPROC previousProc;
};

const intptr_t GadgetAny = -1;

int GadgetLibraryInit();
void CommonControlsInit();
HWND GadgetListCreate(HWND parent);
HWND GadgetParent();
GadgetEntry* GadgetSlotClaim(intptr_t number);
void GadgetSubclass(GadgetEntry* entry);
GadgetEntry* GadgetLookup(intptr_t number);
void GadgetFree(intptr_t number);
void GadgetSlotRelease(intptr_t number);
LRESULT CALLBACK GadgetSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

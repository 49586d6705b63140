// The gadget registry: numbered child controls placed in a window.
//   GadgetLibraryInit   table of 30 gadgets, no gadget parent; 0 without memory
//   CommonControlsInit  makes the system's common control classes available
#pragma once
#include <windows.h>
#include <stdint.h>

struct GadgetKind;

// The window comes first: an entry with none is empty.
struct GadgetEntry {
    HWND window;
    const GadgetKind* kind;
    WNDPROC previousProc;
};

int GadgetLibraryInit();
void CommonControlsInit();

// The gadget registry: numbered child controls placed in a window.
//   GadgetLibraryInit   table of 30 gadgets, no gadget parent
//   CommonControlsInit  makes the system's common control classes available
#pragma once
#include <windows.h>
#include <stdint.h>

struct GadgetKind;

struct GadgetEntry {
    HWND window;
    const GadgetKind* kind;
    WNDPROC previousProc;
};

void GadgetLibraryInit();
void CommonControlsInit();

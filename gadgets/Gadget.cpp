#include "gadgets/Gadget.h"
#include "builder/Program.h"
#include <commctrl.h>

static GadgetEntry* gTable; // count + 2 entries
static int32_t gCount;

void GadgetLibraryInit() {
    gCount = 30;
    gTable = (GadgetEntry*)HeapAlloc(ProgramHeap(), HEAP_ZERO_MEMORY,
                                     (gCount + 2) * sizeof(GadgetEntry));
}

void CommonControlsInit() {
    InitCommonControls();
}


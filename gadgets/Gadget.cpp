#include "gadgets/Gadget.h"
#include "base/NumberTable.h"
#include <commctrl.h>

static NumberTable gTable; // entries: one GadgetEntry

int GadgetLibraryInit() {
    if (!NumberTableInit(&gTable, sizeof(GadgetEntry), 30, 30, 2)) return 0;
    InitCommonControls();
    return 1;
}

void CommonControlsInit() {
    InitCommonControls();
}

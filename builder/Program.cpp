#include "builder/Program.h"
#include "builder/Page.h"
#include "builder/Settings.h"
#include "builder/Texts.h"
#include "files/File.h"
#include "files/ObjectList.h"
#include "gadgets/Gadget.h"
#include "windows/Requester.h"
#include "windows/Window.h"
#include <string.h>

static HINSTANCE gInstance;
static HANDLE gMainHeap;
static Text gDirectory;

HINSTANCE ProgramInstance() {
    return gInstance;
}
HANDLE ProgramHeap() {
    return gMainHeap;
}

void ProgramStart(HINSTANCE instance) {
    gInstance = instance;
    gMainHeap = HeapCreate(0, 4000, 0);
    ObjectHeapCreate();
    FileLibraryInit();
    WindowLibraryInit();
    GadgetLibraryInit();
    CommonControlsInit();
    StringBaseInit();
}

void ProgramRun() {
    SettingsLoad();
    PageAssemble();
    PageWrite();
    ProgramEnd();
}

void ProgramFail(const char* message) {
    MessageBoxShow("Lumivane", message, 0);
    ProgramEnd();
}

void ProgramEnd() {
    WindowCloseAll();
    FileCloseAll();
    ObjectHeapDestroy();
    HeapDestroy(gMainHeap);
    ExitProcess(0);
}

const char* ProgramDirectory() {
    // A path longer than the buffer comes back cut short: try again with more room
    // rather than take the folder of a truncated path.
    DWORD size = 1000;
    for (;;) {
        char* path = StringBaseRoom(size);
        if (!path) return "";
        DWORD length = GetModuleFileNameA(nullptr, path, size);
        if (length == 0) return "";
        if (length < size) {
            const char* slash = strrchr(path, '\\');
            if (!slash) return "";
            TextSet(&gDirectory, path, (size_t)(slash - path) + 1);
            return TextGet(&gDirectory);
        }
        size *= 2;
    }
}

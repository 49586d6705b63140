#include "builder/Program.h"
#include "base/Heap.h"
#include "base/ObjectList.h"
#include "base/Texts.h"
#include "builder/Page.h"
#include "builder/Presentation.h"
#include "builder/Settings.h"
#include "files/File.h"
#include "gadgets/Gadget.h"
#include "windows/Requester.h"
#include "windows/Window.h"

void ProgramStart(HINSTANCE instance) {
    InstanceSet(instance);
    // Nothing can run without these: a failure ends the run at once, before
    // anything relies on them.
    bool ready = HeapMainCreate() && ObjectHeapCreate() && FileLibraryInit() &&
                 WindowLibraryInit() && GadgetLibraryInit();
    if (ready) CommonControlsInit();
    if (!ready || !StringBaseInit()) ProgramEnd();
}

void ProgramRun() {
    SettingsLoad();
    PageAssemble();
    PageWrite();
    PresentationRun();
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
    HeapMainDestroy();
    ExitProcess(0);
}

void SettingsLoad() {
    if (!SettingsRead()) ProgramFail("Error: can't read the file");
}

void PageAssemble() {
    if (!PageBuild()) ProgramFail("Error: can't read the file");
}

void FragmentAppend(const char* path) {
    if (!PageFragmentRead(path)) ProgramFail("Error: can't read the file");
}

void PageWrite() {
    if (!PageSave()) ProgramFail("Error: can't write the file");
}

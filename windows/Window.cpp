#include "windows/Window.h"
#include "base/Heap.h"
#include "base/NumberTable.h"
#include "windows/Event.h"
#include <string.h>

static NumberTable gTable; // entries: one WindowEntry
static HWND gCurrent;
static WNDCLASSA gClass;
static LOGBRUSH gBackground;
static char gClassName[WindowClassNameSize];
// A window property: the window keeps the screen (WindowKeepScreen).
static const char kKeepsScreen[] = "LumivaneKeepsScreen";

static bool WindowIsTableNumber(intptr_t number) {
    return NumberTableIsIndex(&gTable, number);
}

// Every class the library registers is named after its window's number or
// identifier, all of it: an identifier is an address, 64 bits wide in a 64-bit
// build, where the system's formatting of a long would keep only 32.
void WindowClassName(intptr_t number, char* name) {
    static const char kPrefix[] = "WindowClass_";
    memcpy(name, kPrefix, sizeof kPrefix - 1);
    char* at = name + sizeof kPrefix - 1;
    if (number < 0) *at++ = '-';
    uintptr_t rest = number < 0 ? 0 - (uintptr_t)number : (uintptr_t)number;
    char digits[24];
    int count = 0;
    do {
        digits[count++] = (char)('0' + rest % 10);
        rest /= 10;
    } while (rest);
    while (count) *at++ = digits[--count];
    *at = 0;
}

static void WindowFormatClassName(intptr_t number) {
    WindowClassName(number, gClassName);
}

// The system deletes a class's background brush when the class is unregistered,
// so every registration gets a brush of its own.
static void WindowClassRegister() {
    gClass.hbrBackground = CreateBrushIndirect(&gBackground);
    if (!RegisterClassA(&gClass)) DeleteObject(gClass.hbrBackground);
}

int WindowLibraryInit() {
    EventRecordClear();
    gCurrent = nullptr;
    if (!NumberTableInit(&gTable, sizeof(WindowEntry), 10, 30, 2)) return 0;

    gBackground.lbStyle = BS_SOLID;
    gBackground.lbColor = GetSysColor(COLOR_BTNFACE);
    gBackground.lbHatch = 0;
    gClass.style = 0;
    gClass.lpfnWndProc = WindowCallback;
    gClass.cbClsExtra = 0;
    gClass.cbWndExtra = 0;
    gClass.hInstance = InstanceHandle();
    gClass.hIcon = LoadIconA(InstanceHandle(), MAKEINTRESOURCEA(1));
    gClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    gClass.lpszMenuName = nullptr;
    gClass.lpszClassName = "TemplateClass";
    WindowClassRegister();
    gClass.lpszClassName = gClassName;
    return 1;
}

HWND WindowHandle() {
    return gCurrent;
}

WindowEntry* WindowLookup(intptr_t number) {
    return (WindowEntry*)NumberTableLookup(&gTable, number);
}

// Destroys what an emptied entry held: the window, its class and its shortcuts.
static void WindowDestroy(intptr_t number, void* held) {
    WindowEntry* entry = (WindowEntry*)held;
    RemovePropA(entry->handle, kKeepsScreen);
    DestroyWindow(entry->handle);
    WindowFormatClassName(number);
    UnregisterClassA(gClassName, InstanceHandle());
    if (entry->shortcuts) HeapFree(HeapMain(), 0, entry->shortcuts);
    if (entry->accelerators) DestroyAcceleratorTable(entry->accelerators);
}

void WindowClose(intptr_t number) {
    NumberTableClose(&gTable, number, WindowDestroy);
}

void WindowCloseAll() {
    NumberTableCloseAll(&gTable, WindowClose, true);
}

HACCEL WindowShortcutTable(HWND handle) {
    if (!handle) return nullptr;
    for (void* payload = ObjectListFirst(gTable.any); payload; payload = ObjectListNext(payload)) {
        WindowEntry* entry = (WindowEntry*)payload;
        if (entry->handle == handle) return entry->accelerators;
    }
    for (int32_t number = 0; number < gTable.count; number++) {
        WindowEntry* entry = (WindowEntry*)NumberTableFind(&gTable, number);
        if (entry->handle == handle) return entry->accelerators;
    }
    return nullptr;
}

int WindowKeepScreen(intptr_t number) {
    WindowEntry* entry = WindowLookup(number);
    return entry && SetPropA(entry->handle, kKeepsScreen, (HANDLE)1);
}

// The system sends these to the foreground window first; one that does not hand
// them on to the default procedure keeps the screen saver away and the display
// on. Turning the display on (-1) is never refused.
bool WindowRefusesCommand(HWND handle, WPARAM command, LPARAM lParam) {
    command &= 0xFFF0;
    if (command != SC_SCREENSAVE && !(command == SC_MONITORPOWER && lParam != -1)) return false;
    return GetPropA(handle, kKeepsScreen) != nullptr;
}

enum WindowCentring { CentreNone, CentreScreen, CentreActive };

static DWORD WindowStyle(uint32_t flags, WindowCentring* centring) {
    *centring = CentreNone;
    if (flags & WindowFlagCentreScreen) {
        *centring = CentreScreen;
        flags &= ~WindowFlagCentreScreen;
    }
    if (flags & WindowFlagCentreActive) {
        *centring = CentreActive;
        flags &= ~WindowFlagCentreActive;
    }
    if (flags == 0 || flags == WindowFlagHidden) flags |= WS_CAPTION;
    if (flags & WindowFlagHidden)
        flags &= ~WindowFlagHidden;
    else
        flags |= WS_VISIBLE;
    return flags;
}

static void WindowCentre(WindowCentring centring, int32_t width, int32_t height, int32_t* x,
                         int32_t* y) {
    HWND active = centring == CentreActive ? GetActiveWindow() : nullptr;
    RECT around;
    if (active && GetWindowRect(active, &around)) {
        *x = around.left - (width >> 1) + ((around.right - around.left) >> 1);
        *y = around.top - (height >> 1) + ((around.bottom - around.top) >> 1);
        if (*x < 0) *x = 0;
        if (*y < 0) *y = 0;
        return;
    }
    int32_t screenWidth = GetSystemMetrics(SM_CXSCREEN);
    int32_t screenHeight = GetSystemMetrics(SM_CYSCREEN);
    *x = (screenWidth >> 1) - ((width < screenWidth ? width : screenWidth) >> 1);
    *y = (screenHeight >> 1) - ((height < screenHeight ? height : screenHeight) >> 1);
}

static void WindowDefaultShortcuts(WindowEntry* entry) {
    ACCEL* shortcuts = (ACCEL*)HeapAlloc(HeapMain(), 0, 2 * sizeof(ACCEL));
    if (!shortcuts) return;
    shortcuts[0].fVirt = FVIRTKEY | FNOINVERT;
    shortcuts[0].key = VK_TAB;
    shortcuts[0].cmd = CommandFocusNext;
    shortcuts[1].fVirt = FVIRTKEY | FNOINVERT | FSHIFT;
    shortcuts[1].key = VK_TAB;
    shortcuts[1].cmd = CommandFocusPrevious;
    entry->shortcutCount = 2;
    entry->shortcuts = shortcuts;
    entry->accelerators = CreateAcceleratorTableA(shortcuts, 2);
}

intptr_t WindowOpen(intptr_t number, int32_t x, int32_t y, int32_t width, int32_t height,
                    uint32_t flags, const char* title) {
    if (!NumberTableSlot(&gTable, &number, WindowDestroy)) return 0;
    bool identifier = !WindowIsTableNumber(number);
    WindowFormatClassName(number);
    WindowClassRegister();

    WindowCentring centring;
    DWORD style = WindowStyle(flags, &centring);
    // The client area is width x height; the outer size does not depend on the corner.
    // A window neither popup nor child always gets a caption from the system.
    RECT outer = {0, 0, width, height};
    AdjustWindowRect(&outer, style & (WS_POPUP | WS_CHILD) ? style : style | WS_CAPTION, FALSE);
    int32_t outerWidth = outer.right - outer.left;
    int32_t outerHeight = outer.bottom - outer.top;
    if (centring != CentreNone) WindowCentre(centring, outerWidth, outerHeight, &x, &y);

    HWND handle = CreateWindowExA(0, gClassName, title, style, x, y, outerWidth, outerHeight,
                                  nullptr, nullptr, InstanceHandle(), nullptr);
    // The creation's own messages may have opened other numbers and moved the
    // table, or opened this number again: the entry is found anew, and a window
    // opened under the number meanwhile is closed like any earlier one. A close
    // of all windows meanwhile took an identifier's record: the open fails, and
    // the identifier, naming nothing now, is not taken for a table number.
    bool recordGone = identifier && !ObjectListHas(gTable.any, (void*)number);
    WindowEntry* entry =
        recordGone ? nullptr : (WindowEntry*)NumberTableSlot(&gTable, &number, WindowDestroy);
    if (entry && handle) {
        entry->handle = handle;
        gCurrent = handle;
        WindowDefaultShortcuts(entry);
        return identifier ? number : (intptr_t)handle;
    }
    if (handle) DestroyWindow(handle);
    // A failed any-numbered open leaves nothing behind: no record, no class.
    if (identifier) {
        if (!recordGone) NumberTableRelease(&gTable, number);
        WindowFormatClassName(number);
        UnregisterClassA(gClassName, InstanceHandle());
    }
    return 0;
}

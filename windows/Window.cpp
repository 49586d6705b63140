#include "windows/Window.h"
#include "builder/Program.h"
#include "files/ObjectList.h"
#include "windows/Event.h"

static WindowEntry* gTable; // count + 2 entries; a zero handle is a free number
static int32_t gCount;
static ObjectList gAnyWindows; // payload: one WindowEntry
static HWND gCurrent;
static WNDCLASSA gClass;
static LOGBRUSH gBackground;
static char gClassName[32];

static const int32_t kFirstCount = 10;
static const int32_t kGrowth = 30;

static bool WindowIsTableNumber(intptr_t number) {
    return number >= 0 && number <= gCount;
}

// Every class the library registers is named after its window's number or identifier.
static void WindowFormatClassName(intptr_t number) {
    wsprintfA(gClassName, "WindowClass_%ld", (long)number);
}

// The system deletes a class's background brush when the class is unregistered,
// so every registration gets a brush of its own.
static void WindowClassRegister() {
    gClass.hbrBackground = CreateBrushIndirect(&gBackground);
    if (!RegisterClassA(&gClass)) DeleteObject(gClass.hbrBackground);
}

void WindowLibraryInit() {
    EventRecordClear();
    gAnyWindows = nullptr;
    gCurrent = nullptr;
    gCount = kFirstCount;
    gTable = (WindowEntry*)HeapAlloc(ProgramHeap(), HEAP_ZERO_MEMORY,
                                     (gCount + 2) * sizeof(WindowEntry));

    gBackground.lbStyle = BS_SOLID;
    gBackground.lbColor = GetSysColor(COLOR_BTNFACE);
    gBackground.lbHatch = 0;
    gClass.style = 0;
    gClass.lpfnWndProc = WindowCallback;
    gClass.cbClsExtra = 0;
    gClass.cbWndExtra = 0;
    gClass.hInstance = ProgramInstance();
    gClass.hIcon = LoadIconA(ProgramInstance(), MAKEINTRESOURCEA(1));
    gClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    gClass.lpszMenuName = nullptr;
    gClass.lpszClassName = "TemplateClass";
    WindowClassRegister();
    gClass.lpszClassName = gClassName;
}

int32_t WindowCount() {
    return gCount;
}

int32_t WindowAnyCount() {
    int32_t count = 0;
    for (void* payload = ObjectListFirst(gAnyWindows); payload; payload = ObjectListNext(payload))
        count++;
    return count;
}

HWND WindowHandle() {
    return gCurrent;
}

// Identifiers are checked against the list, so a stale or made-up one finds nothing.
WindowEntry* WindowLookup(intptr_t number) {
    WindowEntry* entry = nullptr;
    if (WindowIsTableNumber(number))
        entry = &gTable[number];
    else if (ObjectListHas(gAnyWindows, (void*)number))
        entry = (WindowEntry*)number;
    return entry && entry->handle ? entry : nullptr;
}

// A count that would overflow, or a table the address space cannot hold, is refused.
static int WindowTableGrow(intptr_t number) {
    if (number > INT32_MAX - (kGrowth + 2)) return 0;
    uint64_t bytes = ((uint64_t)number + kGrowth + 2) * sizeof(WindowEntry);
    if (bytes > SIZE_MAX) return 0;
    WindowEntry* table =
        (WindowEntry*)HeapReAlloc(ProgramHeap(), HEAP_ZERO_MEMORY, gTable, (size_t)bytes);
    if (!table) return 0;
    gTable = table;
    gCount = (int32_t)number + kGrowth;
    return 1;
}

// Destroys the window in an entry with its class and shortcuts; the entry is left empty.
static void WindowEmpty(intptr_t number, WindowEntry* entry) {
    DestroyWindow(entry->handle);
    WindowFormatClassName(number);
    UnregisterClassA(gClassName, ProgramInstance());
    if (entry->shortcutCount) {
        HeapFree(ProgramHeap(), 0, entry->shortcuts);
        DestroyAcceleratorTable(entry->accelerators);
    }
    entry->handle = nullptr;
    entry->shortcutCount = 0;
    entry->shortcuts = nullptr;
    entry->accelerators = nullptr;
}

void WindowClose(intptr_t number) {
    WindowEntry* entry = WindowLookup(number);
    if (!entry) return;
    WindowEmpty(number, entry);
    if (!WindowIsTableNumber(number)) ObjectListRemove(&gAnyWindows, entry);
}

void WindowCloseAll() {
    void* payload = ObjectListFirst(gAnyWindows);
    while (payload) {
        void* next = ObjectListNext(payload);
        WindowClose((intptr_t)payload);
        payload = next;
    }
    for (int32_t number = gCount - 1; number >= 0; number--) WindowClose(number);
}

HACCEL WindowShortcutTable(HWND handle) {
    if (!handle) return nullptr;
    for (void* payload = ObjectListFirst(gAnyWindows); payload; payload = ObjectListNext(payload)) {
        WindowEntry* entry = (WindowEntry*)payload;
        if (entry->handle == handle) return entry->accelerators;
    }
    for (int32_t number = 0; number < gCount; number++)
        if (gTable[number].handle == handle) return gTable[number].accelerators;
    return nullptr;
}

// The entry a window opens in, and the number it is known by afterwards. A live
// identifier is reopened in its own record, like a table number in its entry.
static WindowEntry* WindowSlot(intptr_t* number) {
    if (*number == WindowAny) {
        WindowEntry* entry = (WindowEntry*)ObjectListAdd(&gAnyWindows, sizeof(WindowEntry));
        *number = (intptr_t)entry;
        return entry;
    }
    if (!WindowIsTableNumber(*number) && ObjectListHas(gAnyWindows, (void*)*number)) {
        WindowEntry* entry = (WindowEntry*)*number;
        if (entry->handle) WindowEmpty(*number, entry);
        return entry;
    }
    if (*number < 0) return nullptr;
    if (*number >= gCount && !WindowTableGrow(*number)) return nullptr;
    WindowEntry* entry = &gTable[*number];
    if (entry->handle) WindowEmpty(*number, entry);
    return entry;
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
    ACCEL* shortcuts = (ACCEL*)HeapAlloc(ProgramHeap(), 0, 2 * sizeof(ACCEL));
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
    WindowEntry* entry = WindowSlot(&number);
    if (!entry) return 0;
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
                                  nullptr, nullptr, ProgramInstance(), nullptr);
    entry->handle = handle;
    if (!handle) {
        // A failed any-numbered open leaves nothing behind: no record, no class.
        if (!WindowIsTableNumber(number)) {
            ObjectListRemove(&gAnyWindows, entry);
            WindowFormatClassName(number);
            UnregisterClassA(gClassName, ProgramInstance());
        }
        return 0;
    }
    gCurrent = handle;
    WindowDefaultShortcuts(entry);
    return WindowIsTableNumber(number) ? (intptr_t)handle : number;
}

#include "windows/Shortcut.h"
#include "base/Heap.h"
#include "windows/Event.h"
#include "windows/Window.h"

static MSG gMessage;

HACCEL ShortcutAdd(intptr_t number, uint32_t key, int32_t menuId) {
    WindowEntry* entry = WindowLookup(number);
    if (!entry) return nullptr;
    BYTE fVirt = FVIRTKEY | FNOINVERT;
    if (key & ShortcutShift) fVirt |= FSHIFT;
    if (key & ShortcutControl) fVirt |= FCONTROL;
    if (key & ShortcutAlt) fVirt |= FALT;
    WORD code = LOWORD(key);

    ACCEL* record = nullptr;
    for (int32_t i = 0; i < entry->shortcutCount; i++) {
        if (entry->shortcuts[i].key == code && entry->shortcuts[i].fVirt == fVirt) {
            record = &entry->shortcuts[i];
            break;
        }
    }
    if (!record) {
        size_t bytes = ((size_t)entry->shortcutCount + 1) * sizeof(ACCEL);
        ACCEL* shortcuts = entry->shortcuts
                               ? (ACCEL*)HeapReAlloc(HeapMain(), 0, entry->shortcuts, bytes)
                               : (ACCEL*)HeapAlloc(HeapMain(), 0, bytes);
        // Without room the shortcuts stay as they were.
        if (!shortcuts) return nullptr;
        entry->shortcuts = shortcuts;
        record = &shortcuts[entry->shortcutCount++];
        record->fVirt = fVirt;
        record->key = code;
    }
    record->cmd = (WORD)menuId;

    if (entry->accelerators) DestroyAcceleratorTable(entry->accelerators);
    entry->accelerators = CreateAcceleratorTableA(entry->shortcuts, entry->shortcutCount);
    return entry->accelerators;
}

int32_t EventWait() {
    EventWaitBegin();
    GetMessageA(&gMessage, nullptr, 0, 0);
    // The active window's shortcuts apply whichever of its descendants has the focus.
    HWND active = GetActiveWindow();
    HACCEL table = WindowShortcutTable(active);
    if (!table || !TranslateAcceleratorA(active, table, &gMessage)) {
        TranslateMessage(&gMessage);
        DispatchMessageA(&gMessage);
    }
    return EventWaitEnd(&gMessage);
}

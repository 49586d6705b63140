#include "ImportWatch.h"
#include <string.h>

static void** ImportEntry(const char* dll, const char* function) {
    BYTE* base = (BYTE*)GetModuleHandleA(nullptr);
    IMAGE_NT_HEADERS* headers = (IMAGE_NT_HEADERS*)(base + ((IMAGE_DOS_HEADER*)base)->e_lfanew);
    IMAGE_DATA_DIRECTORY directory =
        headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!directory.VirtualAddress) return nullptr;
    for (IMAGE_IMPORT_DESCRIPTOR* d = (IMAGE_IMPORT_DESCRIPTOR*)(base + directory.VirtualAddress);
         d->Name; d++) {
        if (lstrcmpiA((const char*)(base + d->Name), dll) != 0) continue;
        IMAGE_THUNK_DATA* names = (IMAGE_THUNK_DATA*)(base + d->OriginalFirstThunk);
        IMAGE_THUNK_DATA* entries = (IMAGE_THUNK_DATA*)(base + d->FirstThunk);
        for (; names->u1.AddressOfData; names++, entries++) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            IMAGE_IMPORT_BY_NAME* name = (IMAGE_IMPORT_BY_NAME*)(base + names->u1.AddressOfData);
            if (strcmp((const char*)name->Name, function) == 0) return (void**)&entries->u1.Function;
        }
    }
    return nullptr;
}

static void EntrySet(void** entry, void* to) {
    DWORD old = 0;
    VirtualProtect(entry, sizeof *entry, PAGE_READWRITE, &old);
    *entry = to;
    VirtualProtect(entry, sizeof *entry, old, &old);
}

void* ImportWatch(const char* dll, const char* function, void* watcher) {
    void** entry = ImportEntry(dll, function);
    if (!entry) return nullptr;
    void* real = *entry;
    EntrySet(entry, watcher);
    return real;
}

void ImportUnwatch(const char* dll, const char* function, void* real) {
    void** entry = ImportEntry(dll, function);
    if (entry && real) EntrySet(entry, real);
}

#include "files/File.h"
#include "builder/Program.h"
#include "builder/Texts.h"
#include "files/LineSplit.h"
#include "files/ObjectList.h"
#include <string.h>

static HANDLE* gTable; // count + 1 entries; a zero entry is a closed number
static int32_t gCount;
static ObjectList gAnyFiles; // payload: one HANDLE
static HANDLE gCurrent;

// Line reads fetch this much at first and double it while the line goes on.
static const DWORD kReadAheadFirst = 512;
static const DWORD kReadAheadMost = 1u << 20;

void FileLibraryInit() {
    gCount = 10;
    gTable = (HANDLE*)HeapAlloc(ProgramHeap(), HEAP_ZERO_MEMORY, (gCount + 1) * sizeof(HANDLE));
    gAnyFiles = nullptr;
    gCurrent = nullptr;
}

int32_t FileCount() {
    return gCount;
}

// The slot holding an open number's handle, or null when the number is not open.
// Identifiers are checked against the list, so a stale or made-up one finds nothing.
static HANDLE* FileSlot(intptr_t number) {
    HANDLE* slot = nullptr;
    if (number >= 0 && number <= gCount)
        slot = &gTable[number];
    else if (ObjectListHas(gAnyFiles, (void*)number))
        slot = (HANDLE*)number;
    return slot && *slot ? slot : nullptr;
}

static int FileTableGrow(intptr_t number) {
    if (number > INT32_MAX - 10) return 0;
    int32_t count = (int32_t)number + 10;
    HANDLE* table = (HANDLE*)HeapReAlloc(ProgramHeap(), HEAP_ZERO_MEMORY, gTable,
                                         ((size_t)count + 1) * sizeof(HANDLE));
    if (!table) return 0;
    gTable = table;
    gCount = count;
    return 1;
}

static intptr_t FileOpen(intptr_t number, const char* path, DWORD access, DWORD share,
                         DWORD disposition) {
    HANDLE handle =
        CreateFileA(path, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) handle = nullptr;
    gCurrent = handle;
    if (!handle) return 0;

    HANDLE* slot = nullptr;
    if (number == -1) {
        slot = (HANDLE*)ObjectListAdd(&gAnyFiles, sizeof(HANDLE));
    } else if (number >= 0) {
        if (number >= gCount && !FileTableGrow(number))
            slot = nullptr;
        else
            slot = &gTable[number];
        if (slot) FileClose(number);
    }
    // No room for the number, or a negative number other than -1: the file is
    // not kept, and the open fails like any other.
    if (!slot) {
        CloseHandle(handle);
        gCurrent = nullptr;
        return 0;
    }
    *slot = handle;
    return number == -1 ? (intptr_t)slot : (intptr_t)handle;
}

intptr_t FileOpenRead(intptr_t number, const char* path) {
    return FileOpen(number, path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
}

intptr_t FileOpenReadWrite(intptr_t number, const char* path) {
    return FileOpen(number, path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, OPEN_ALWAYS);
}

intptr_t FileCreate(intptr_t number, const char* path) {
    return FileOpen(number, path, GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS);
}

intptr_t FileOpenExclusive(intptr_t number, const char* path) {
    return FileOpen(number, path, GENERIC_READ | GENERIC_WRITE, 0, OPEN_EXISTING);
}

void FileClose(intptr_t number) {
    HANDLE* slot = FileSlot(number);
    if (!slot) return;
    CloseHandle(*slot);
    *slot = nullptr;
    if (!(number >= 0 && number <= gCount)) ObjectListRemove(&gAnyFiles, slot);
}

void FileCloseAll() {
    void* payload = ObjectListFirst(gAnyFiles);
    while (payload) {
        void* next = ObjectListNext(payload);
        FileClose((intptr_t)payload);
        payload = next;
    }
    for (int32_t number = 0; number < gCount; number++) FileClose(number);
}

HANDLE FileSelect(intptr_t number) {
    HANDLE* slot = FileSlot(number);
    if (slot) gCurrent = *slot;
    return gCurrent;
}

char* FileReadLine(size_t* length) {
    static char empty[1];
    char* base = StringBaseRoom(1);
    if (!base) base = empty;
    size_t have = 0;     // bytes read into the string base so far
    size_t scanFrom = 0; // where the line end has not been looked for yet
    size_t lineLength = 0;
    DWORD chunk = kReadAheadFirst;
    while (gCurrent) {
        char* room = StringBaseRoom(have + chunk + 1);
        if (!room) {
            // Out of memory: the line ends with what has been read, and the
            // bytes not yet decided on go back to the file.
            if (have > scanFrom)
                SetFilePointer(gCurrent, -(LONG)(have - scanFrom), nullptr, FILE_CURRENT);
            lineLength = scanFrom;
            break;
        }
        base = room;
        DWORD got = 0;
        if (!ReadFile(gCurrent, base + have, chunk, &got, nullptr)) got = 0;
        have += got;
        LineEnd end = LineSplit(base + scanFrom, have - scanFrom, got == 0);
        if (!end.complete) {
            scanFrom += end.length;
            if (chunk < kReadAheadMost) chunk *= 2;
            continue;
        }
        // Give back what the line did not use, so that the system's position
        // is right after the last byte consumed.
        size_t unused = have - scanFrom - end.consumed;
        if (unused) SetFilePointer(gCurrent, -(LONG)unused, nullptr, FILE_CURRENT);
        lineLength = scanFrom + end.length;
        break;
    }
    base[lineLength] = 0;
    if (length) *length = lineLength;
    return base;
}

DWORD FileWriteText(const char* text) {
    if (!gCurrent || !text || !*text) return 0;
    DWORD written = 0;
    WriteFile(gCurrent, text, (DWORD)strlen(text), &written, nullptr);
    return written;
}

int FileAtEnd(intptr_t number) {
    HANDLE* slot = FileSlot(number);
    if (!slot) return 0;
    char byte;
    DWORD got = 0;
    if (ReadFile(*slot, &byte, 1, &got, nullptr) && got == 1) {
        SetFilePointer(*slot, -1, nullptr, FILE_CURRENT);
        return 0;
    }
    return -1;
}

DWORD FileReadBlock(void* destination, DWORD count) {
    if (!gCurrent) return 0;
    DWORD got = 0;
    ReadFile(gCurrent, destination, count, &got, nullptr);
    return got;
}

// One read of the value's width into a zeroed value: bytes missing at the end
// of the file leave the high-order bytes zero.
static uint32_t FileReadValue(DWORD width) {
    uint32_t value = 0;
    FileReadBlock(&value, width);
    return value;
}

int32_t FileReadByte() {
    return (int8_t)FileReadValue(1);
}
int32_t FileReadWord() {
    return (int16_t)FileReadValue(2);
}
int32_t FileReadLong() {
    return (int32_t)FileReadValue(4);
}

float FileReadFloat() {
    uint32_t bits = FileReadValue(4);
    float value;
    memcpy(&value, &bits, sizeof value);
    return value;
}

void FileSetPosition(int32_t offset) {
    if (gCurrent) SetFilePointer(gCurrent, offset, nullptr, FILE_BEGIN);
}

int32_t FileGetPosition() {
    if (!gCurrent) return -1;
    return (int32_t)SetFilePointer(gCurrent, 0, nullptr, FILE_CURRENT);
}

int32_t FileGetLength() {
    if (!gCurrent) return -1;
    return (int32_t)GetFileSize(gCurrent, nullptr);
}

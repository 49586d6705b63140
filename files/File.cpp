#include "files/File.h"
#include "base/NumberTable.h"
#include "base/Texts.h"
#include "files/LineSplit.h"
#include <string.h>

// One open file. A handle that cannot seek (a pipe, a device) takes no byte
// back, so what was read ahead of the next read is kept here, for this file alone.
struct FileEntry {
    HANDLE handle;
    bool crEnded;  // the last line ended at a CR: an LF read next belongs to it
    bool held;     // the end test read `heldByte` from a device: the next read gives it
    char heldByte;
};

static NumberTable gTable; // entries: one FileEntry
static HANDLE gCurrent;
static intptr_t gCurrentNumber; // the number the current file is open under
static bool gCurrentSeeks;      // the current file's position can be moved back

static void FileMakeCurrent(intptr_t number, HANDLE handle) {
    gCurrent = handle;
    gCurrentNumber = number;
    gCurrentSeeks = handle && GetFileType(handle) == FILE_TYPE_DISK;
}

// Looked up at each use: an open may move the table.
static FileEntry* FileCurrentEntry() {
    FileEntry* entry = gCurrent ? (FileEntry*)NumberTableLookup(&gTable, gCurrentNumber) : nullptr;
    return entry && entry->handle == gCurrent ? entry : nullptr;
}

int FileLibraryInit() {
    gCurrent = nullptr;
    return NumberTableInit(&gTable, sizeof(FileEntry), 10, 10, 1);
}

static void FileDestroy(intptr_t, void* held) {
    HANDLE handle = ((FileEntry*)held)->handle;
    // The system may hand the same value to the next file it opens: a closed
    // current file must not live on as the current one.
    if (handle == gCurrent) gCurrent = nullptr;
    CloseHandle(handle);
}

static intptr_t FileOpen(intptr_t number, const char* path, DWORD access, DWORD share,
                         DWORD disposition) {
    HANDLE handle =
        CreateFileA(path, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) handle = nullptr;
    gCurrent = handle;
    if (!handle) return 0;
    FileEntry* slot = (FileEntry*)NumberTableSlot(&gTable, &number, FileDestroy);
    // No room for the number, or a number that is neither a table number nor a
    // live identifier: the file is not kept, and the open fails like any other.
    if (!slot) {
        CloseHandle(handle);
        gCurrent = nullptr;
        return 0;
    }
    *slot = FileEntry{handle, false, false, 0};
    FileMakeCurrent(number, handle);
    return NumberTableIsIndex(&gTable, number) ? (intptr_t)handle : number;
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
    NumberTableClose(&gTable, number, FileDestroy);
}

void FileCloseAll() {
    NumberTableCloseAll(&gTable, FileClose, false);
}

HANDLE FileSelect(intptr_t number) {
    FileEntry* entry = (FileEntry*)NumberTableLookup(&gTable, number);
    if (entry) FileMakeCurrent(number, entry->handle);
    return gCurrent;
}

DWORD FileWriteText(const char* text) {
    if (!gCurrent || !text || !*text) return 0;
    DWORD written = 0;
    WriteFile(gCurrent, text, (DWORD)strlen(text), &written, nullptr);
    return written;
}

// Reads from a handle that cannot seek, after what was read ahead of it: a
// byte held is given first, and the LF of a line ended at CR is skipped.
static DWORD FileStreamRead(FileEntry* entry, char* destination, DWORD count) {
    DWORD given = 0, got = 0;
    if (count && entry->held) {
        entry->held = false;
        destination[given++] = entry->heldByte;
    } else if (count && entry->crEnded) {
        entry->crEnded = false;
        if (!ReadFile(entry->handle, destination, 1, &got, nullptr) || got == 0) return 0;
        if (destination[0] != '\n') given = 1;
    }
    if (given == count) return given;
    got = 0;
    ReadFile(entry->handle, destination + given, count - given, &got, nullptr);
    return given + got;
}

// A pipe is asked what it holds instead: it is at its end once its writer has
// gone and nothing is left. An LF that finishes the CR of the line before is
// taken here, as the next read would take it.
static int FilePipeAtEnd(FileEntry* entry) {
    for (;;) {
        char byte;
        DWORD peeked = 0, available = 0;
        if (!PeekNamedPipe(entry->handle, &byte, 1, &peeked, &available, nullptr)) return -1;
        if (available == 0 || !entry->crEnded) return 0;
        entry->crEnded = false;
        DWORD got = 0;
        if (byte == '\n') ReadFile(entry->handle, &byte, 1, &got, nullptr);
    }
}

// A device can't be asked: the byte read to see whether there is one is held
// for the next read.
static int FileDeviceAtEnd(FileEntry* entry) {
    char byte;
    if (entry->held) return 0;
    if (!FileStreamRead(entry, &byte, 1)) return -1;
    entry->held = true;
    entry->heldByte = byte;
    return 0;
}

int FileAtEnd(intptr_t number) {
    FileEntry* entry = (FileEntry*)NumberTableLookup(&gTable, number);
    if (!entry) return 0;
    HANDLE handle = entry->handle;
    DWORD type = GetFileType(handle);
    if (type == FILE_TYPE_PIPE) return FilePipeAtEnd(entry);
    if (type != FILE_TYPE_DISK) return FileDeviceAtEnd(entry);
    char byte;
    DWORD got = 0;
    if (ReadFile(handle, &byte, 1, &got, nullptr) && got == 1) {
        SetFilePointer(handle, -1, nullptr, FILE_CURRENT);
        return 0;
    }
    return -1;
}

DWORD FileReadBlock(void* destination, DWORD count) {
    if (!gCurrent) return 0;
    FileEntry* entry = gCurrentSeeks ? nullptr : FileCurrentEntry();
    if (entry) return FileStreamRead(entry, (char*)destination, count);
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

// Line reads double their block while a line goes on, up to this much a read.
static const DWORD kLineBlockMost = 1u << 20;
static const DWORD kLineBlockFirst = 512;

// Moves the current file's position back over bytes read but not consumed.
static void FileGiveBack(size_t bytes) {
    if (bytes && gCurrent) SetFilePointer(gCurrent, -(LONG)bytes, nullptr, FILE_CURRENT);
}

// A handle that cannot seek is read a byte at a time, so that nothing is read
// past the line taken. A CR ends its line at once; the LF that may follow is
// skipped by the next read.
static int FileReadLinesByByte(FileLineTake take, void* context) {
    size_t room = kLineBlockFirst;
    char* base = StringBaseRoom(room);
    if (!base) return 0;
    for (;;) {
        // Found anew for every line: what `take` runs may open files and move the table.
        FileEntry* entry = FileCurrentEntry();
        if (!entry) return 1;
        size_t length = 0;
        bool ended = false;
        char byte;
        while (FileStreamRead(entry, &byte, 1) == 1) {
            if (byte == '\n' || byte == '\r' || byte == 0) {
                entry->crEnded = byte == '\r';
                ended = true;
                break;
            }
            if (length + 1 >= room) {
                // A line that can't be held is a failed read; what was read of it is gone.
                char* bigger = room < SIZE_MAX / 2 ? StringBaseRoom(room * 2) : nullptr;
                if (!bigger) return 0;
                base = bigger;
                room *= 2;
            }
            base[length++] = byte;
        }
        if (!ended && length == 0) return 1;
        base[length] = 0;
        if (!take(context, base, length)) return 1;
    }
}

static char* FileLineRoom(void*, size_t bytes) {
    return StringBaseRoom(bytes);
}

static size_t FileLineRead(void*, char* destination, size_t count) {
    return FileReadBlock(destination, (DWORD)count);
}

static void FileLineGiveBack(void*, size_t bytes) {
    FileGiveBack(bytes);
}

int FileReadLines(FileLineTake take, void* context, DWORD firstBlock) {
    if (!gCurrentSeeks) return FileReadLinesByByte(take, context);
    static const LineSource kCurrentFile = {nullptr, FileLineRoom, FileLineRead, FileLineGiveBack};
    return LineBlocksRead(&kCurrentFile, firstBlock ? firstBlock : kLineBlockFirst, kLineBlockMost,
                         take, context);
}

struct FileLineKept {
    char* line;
    size_t length;
};

static int FileLineKeep(void* context, char* line, size_t length) {
    FileLineKept* kept = (FileLineKept*)context;
    kept->line = line;
    kept->length = length;
    return 0;
}

char* FileReadLine(size_t* length) {
    static char empty[1];
    FileLineKept kept = {empty, 0};
    if (gCurrent && !FileReadLines(FileLineKeep, &kept, kLineBlockFirst)) return nullptr;
    if (length) *length = kept.length;
    return kept.line;
}

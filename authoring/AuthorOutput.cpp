#include "authoring/AuthorOutput.h"
#include "base/Heap.h"
#include "files/File.h"
#include <stdarg.h>
#include <stdio.h>
#include <string.h>

static int HandleWrite(HANDLE handle, const char* bytes, size_t length) {
    while (length > 0) {
        DWORD chunk = length > (1u << 30) ? (1u << 30) : (DWORD)length;
        DWORD written = 0;
        if (!WriteFile(handle, bytes, chunk, &written, nullptr) || written == 0) return 0;
        bytes += written;
        length -= written;
    }
    return 1;
}

static void HandlePrint(DWORD which, const char* format, va_list arguments) {
    char buffer[4096];
    int length = vsnprintf(buffer, sizeof buffer, format, arguments);
    if (length < 0) return;
    // A message longer than the buffer is cut rather than lost.
    if ((size_t)length >= sizeof buffer) length = sizeof buffer - 1;
    HandleWrite(GetStdHandle(which), buffer, (size_t)length);
}

void OutPrint(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    HandlePrint(STD_OUTPUT_HANDLE, format, arguments);
    va_end(arguments);
}

void ErrPrint(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    HandlePrint(STD_ERROR_HANDLE, format, arguments);
    va_end(arguments);
}

int OutWrite(const char* bytes, size_t length) {
    return HandleWrite(GetStdHandle(STD_OUTPUT_HANDLE), bytes, length);
}

static const char* gReadFault = "";

const char* AuthorFileReadFault() {
    return gReadFault;
}

char* AuthorFileRead(const char* path, size_t* length) {
    HANDLE handle = (HANDLE)FileOpenRead(0, path);
    if (!handle) {
        gReadFault = "missing or can't be opened";
        return nullptr;
    }
    // The whole length: a file of 4 GiB or more must not pass for its low 32 bits.
    LARGE_INTEGER size = {};
    char* bytes = nullptr;
    gReadFault = "can't be read";
    if (!GetFileSizeEx(handle, &size)) {
    } else if (size.QuadPart >= ((LONGLONG)1 << 32)) {
        gReadFault = "4 GiB or more: too large to read";
    } else if ((uint64_t)size.QuadPart >= SIZE_MAX ||
               !(bytes = (char*)HeapAlloc(HeapMain(), 0, (size_t)size.QuadPart + 1))) {
        gReadFault = "too large to hold in memory";
    } else if (FileReadBlock(bytes, (DWORD)size.QuadPart) != (DWORD)size.QuadPart) {
        HeapFree(HeapMain(), 0, bytes);
        bytes = nullptr;
    }
    FileClose(0);
    if (!bytes) return nullptr;
    bytes[size.QuadPart] = 0;
    *length = (size_t)size.QuadPart;
    return bytes;
}

void AuthorFileFree(char* bytes) {
    if (bytes) HeapFree(HeapMain(), 0, bytes);
}

// With `flush`, the data reaches the disk before the call returns, so that a
// file moved over another after it never stands there empty after a power loss.
static int FileWriteWhole(const char* path, const char* bytes, size_t length, bool flush) {
    HANDLE handle = (HANDLE)FileCreate(0, path);
    if (!handle) return 0;
    int ok = HandleWrite(handle, bytes, length) && (!flush || FlushFileBuffers(handle));
    FileClose(0);
    return ok;
}

int AuthorFileStage(const char* path, const char* bytes, size_t length, char* temporary) {
    // A read-only file is kept as it is, the same everywhere: Windows refuses to
    // move a file over it, Wine may not.
    DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return 0;
    int n = snprintf(temporary, AuthorTemporaryMax, "%s.%lu.tmp", path,
                     (unsigned long)GetCurrentProcessId());
    if (n < 0 || n >= AuthorTemporaryMax) return 0;
    if (FileWriteWhole(temporary, bytes, length, true)) return 1;
    DeleteFileA(temporary);
    return 0;
}

int AuthorFileCommit(const char* temporary, const char* path) {
    if (MoveFileExA(temporary, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return 1;
    DeleteFileA(temporary);
    return 0;
}

int AuthorFileReplace(const char* path, const char* bytes, size_t length) {
    char temporary[AuthorTemporaryMax];
    return AuthorFileStage(path, bytes, length, temporary) && AuthorFileCommit(temporary, path);
}

int AuthorFileMake(const char* path, const char* bytes, size_t length) {
    if (FileWriteWhole(path, bytes, length, true)) return 1;
    DeleteFileA(path);
    return 0;
}

#include "builder/Directory.h"
#include "base/Heap.h"
#include "base/Texts.h"
#include <windows.h>
#include <string.h>

static Text gDirectory;

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
            if (!TextSet(&gDirectory, path, (size_t)(slash - path) + 1)) return "";
            return TextGet(&gDirectory);
        }
        if (size > MAXDWORD / 2) return "";
        size *= 2;
    }
}

static wchar_t* gWideDirectory;

static void WideDirectoryForget() {
    if (gWideDirectory) HeapFree(HeapMain(), 0, gWideDirectory);
    gWideDirectory = nullptr;
}

// Whether the ANSI code page spells `wide` (of `length` characters) as `ansi`:
// read back, the ANSI text is the same characters, not '?' or look-alikes.
static bool DirectorySpelled(const char* ansi, const wchar_t* wide, int length) {
    int ansiLength = MultiByteToWideChar(CP_ACP, 0, ansi, -1, nullptr, 0) - 1;
    if (ansiLength != length) return false;
    if (length == 0) return true;
    wchar_t* back = (wchar_t*)HeapAlloc(HeapMain(), 0, (size_t)length * sizeof(wchar_t));
    if (!back) return false;
    MultiByteToWideChar(CP_ACP, 0, ansi, (int)strlen(ansi), back, length);
    bool same = memcmp(back, wide, (size_t)length * sizeof(wchar_t)) == 0;
    HeapFree(HeapMain(), 0, back);
    return same;
}

const wchar_t* ProgramDirectoryWide() {
    WideDirectoryForget();
    const char* ansi = ProgramDirectory();
    DWORD size = 1000;
    for (;;) {
        wchar_t* path = (wchar_t*)HeapAlloc(HeapMain(), 0, (size_t)size * sizeof(wchar_t));
        if (!path) return nullptr;
        DWORD length = GetModuleFileNameW(nullptr, path, size);
        if (length > 0 && length < size) {
            const wchar_t* slash = wcsrchr(path, L'\\');
            int folder = slash ? (int)(slash - path) + 1 : 0;
            if (!slash || DirectorySpelled(ansi, path, folder)) {
                HeapFree(HeapMain(), 0, path);
                return nullptr;
            }
            path[folder] = 0;
            gWideDirectory = path;
            return gWideDirectory;
        }
        HeapFree(HeapMain(), 0, path);
        if (length == 0 || size > MAXDWORD / 2 / sizeof(wchar_t)) return nullptr;
        size *= 2;
    }
}

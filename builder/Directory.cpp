#include "builder/Directory.h"
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

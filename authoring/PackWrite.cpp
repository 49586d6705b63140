#include "authoring/AuthorPack.h"
#include "authoring/AuthorOutput.h"
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static const char* const kFragmentNames[] = {"1010.dat", "1011.dat", "1015.dat", "1016.dat",
                                             "1017.dat", "1018.dat", "1019.dat"};

struct PackFile {
    char path[MAX_PATH];
    char temporary[AuthorTemporaryMax];
    const char* bytes;
    size_t length;
    bool staged;
};

// Makes a folder that is missing; true when it made it.
static bool FolderMake(const char* path) {
    return GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES && CreateDirectoryA(path, nullptr);
}

int PackWrite(const char* folder, const char* data, const PackResult& result, const char* stored,
              size_t storedLength) {
    size_t count = PackFragmentCount + result.scriptCount + (stored ? 1 : 0);
    PackFile* files = (PackFile*)calloc(count, sizeof(PackFile));
    if (!files) {
        ErrPrint("out of memory\n");
        return 1;
    }
    int code = 0;
    for (size_t i = 0; i < count && !code; i++) {
        PackFile& file = files[i];
        int n = 0;
        if (i < PackFragmentCount) {
            n = snprintf(file.path, sizeof file.path, "%s/%s", data, kFragmentNames[i]);
            file.bytes = result.fragments[i].bytes;
            file.length = result.fragments[i].length;
        } else if (i < PackFragmentCount + result.scriptCount) {
            size_t s = i - PackFragmentCount;
            n = snprintf(file.path, sizeof file.path, "%s/page-%lu.js", data, (unsigned long)s + 1);
            file.bytes = result.scripts[s].bytes;
            file.length = result.scripts[s].length;
        } else {
            n = snprintf(file.path, sizeof file.path, "%s/1013.dat", data);
            file.bytes = stored;
            file.length = storedLength;
        }
        if (n < 0 || (size_t)n >= sizeof file.path - 24) {
            ErrPrint("%s: the folder's name is too long\n", folder);
            code = 2;
        }
        DWORD attributes = GetFileAttributesA(file.path);
        if (!code && attributes != INVALID_FILE_ATTRIBUTES &&
            (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) {
            ErrPrint("%s: %s; nothing is written\n", file.path,
                     attributes & FILE_ATTRIBUTE_DIRECTORY ? "a folder stands there"
                                                          : "read-only");
            code = 1;
        }
    }
    bool madeFolder = false, madeData = false;
    if (!code) {
        madeFolder = FolderMake(folder);
        madeData = FolderMake(data);
    }
    for (size_t i = 0; i < count && !code; i++) {
        files[i].staged = AuthorFileStage(files[i].path, files[i].bytes, files[i].length,
                                          files[i].temporary) != 0;
        if (!files[i].staged) {
            ErrPrint("%s: can't write the file; the folder is left as it was\n", files[i].path);
            code = 1;
        }
    }
    for (size_t i = 0; i < count; i++) {
        if (!files[i].staged) continue;
        if (code) {
            DeleteFileA(files[i].temporary);
        } else if (!AuthorFileCommit(files[i].temporary, files[i].path)) {
            ErrPrint("%s: can't move the file into place; the files before it are written\n",
                     files[i].path);
            code = 1;
        }
    }
    if (code) {
        if (madeData) RemoveDirectoryA(data);
        if (madeFolder) RemoveDirectoryA(folder);
    } else {
        OutPrint("%s: the page in seven fragments", data);
        if (result.scriptCount == 1)
            OutPrint(", and a script that spans lines in page-1.js");
        else if (result.scriptCount)
            OutPrint(", and %lu scripts that span lines in page-1.js ... page-%lu.js",
                     (unsigned long)result.scriptCount, (unsigned long)result.scriptCount);
        OutPrint("%s\n", stored ? "; the settings in 1013.dat" : "");
    }
    free(files);
    return code;
}

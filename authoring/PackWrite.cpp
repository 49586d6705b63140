#include "authoring/AuthorPack.h"
#include "authoring/AuthorOutput.h"
#include "authoring/AuthorPresenter.h"
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
    bool same;   // the file there holds these bytes already: it is left as it is
    bool staged;
};

// Makes a folder that is missing; true when it made it.
static bool FolderMake(const char* path) {
    return GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES && CreateDirectoryA(path, nullptr);
}

static bool FileHolds(const char* path, const char* bytes, size_t length) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || data.nFileSizeHigh ||
        data.nFileSizeLow != length)
        return false;
    size_t held = 0;
    char* there = AuthorFileRead(path, &held);
    bool same = there && held == length && memcmp(there, bytes, length) == 0;
    AuthorFileFree(there);
    return same;
}

// Each script file that the data folder's fragments name ("page-3.js"), as a
// bit of `named` (scripts 1 to 64).
static unsigned long long ScriptsNamed(const char* data) {
    unsigned long long named = 0;
    for (const char* name : kFragmentNames) {
        char path[MAX_PATH];
        snprintf(path, sizeof path, "%s/%s", data, name);
        size_t length = 0;
        char* bytes = AuthorFileRead(path, &length);
        for (size_t i = 0; bytes && i + 9 < length; i++) {
            if (memcmp(bytes + i, "page-", 5) != 0 || (i > 0 && bytes[i - 1] != '"' &&
                                                       bytes[i - 1] != '/'))
                continue;
            char* end = nullptr;
            unsigned long n = strtoul(bytes + i + 5, &end, 10);
            if (n >= 1 && n <= 64 && bytes[i + 5] >= '1' && bytes[i + 5] <= '9' &&
                strncmp(end, ".js\"", 4) == 0)
                named |= 1ull << (n - 1);
        }
        AuthorFileFree(bytes);
    }
    return named;
}

// The scripts an earlier pack wrote and this one did not; their names are said.
static void ScriptsStaleRemove(const char* data, unsigned long long named, size_t written) {
    char removed[512] = "";
    for (unsigned long n = (unsigned long)written + 1; n <= 64; n++) {
        if (!(named >> (n - 1) & 1)) continue;
        char path[MAX_PATH];
        snprintf(path, sizeof path, "%s/page-%lu.js", data, n);
        if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) continue;
        if (!DeleteFileA(path)) {
            ErrPrint("%s: warning: can't remove this script of the earlier pack, which the page "
                     "no longer names\n",
                     path);
            continue;
        }
        size_t used = strlen(removed);
        snprintf(removed + used, sizeof removed - used, "%spage-%lu.js", used ? ", " : "", n);
    }
    if (*removed) OutPrint("%s: removed %s, which the earlier pack wrote\n", data, removed);
}

int PackWrite(const char* folder, const char* data, const PackResult& result, const char* stored,
              size_t storedLength) {
    // The presenter goes first, so that a running one, which can't be replaced,
    // stops the pack before any other file is moved.
    char presenter[MAX_PATH];
    size_t presenterLength = 0;
    char* presenterBytes = nullptr;
    if (PresenterBesideTool(presenter) &&
        !(presenterBytes = AuthorFileRead(presenter, &presenterLength))) {
        ErrPrint("%s: can't read the file: %s\n", presenter, AuthorFileReadFault());
        return 1;
    }
    size_t first = presenterBytes ? 0 : 1;
    size_t count = 1 + PackFragmentCount + result.scriptCount + (stored ? 1 : 0);
    PackFile* files = (PackFile*)calloc(count, sizeof(PackFile));
    if (!files) {
        AuthorFileFree(presenterBytes);
        ErrPrint("out of memory\n");
        return 1;
    }
    int code = 0;
    for (size_t i = first; i < count && !code; i++) {
        PackFile& file = files[i];
        int n = 0;
        size_t k = i - 1;
        if (i == 0) {
            n = snprintf(file.path, sizeof file.path, "%s/lumivane.exe", folder);
            file.bytes = presenterBytes;
            file.length = presenterLength;
        } else if (k < PackFragmentCount) {
            n = snprintf(file.path, sizeof file.path, "%s/%s", data, kFragmentNames[k]);
            file.bytes = result.fragments[k].bytes;
            file.length = result.fragments[k].length;
        } else if (k < PackFragmentCount + result.scriptCount) {
            size_t s = k - PackFragmentCount;
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
            break;
        }
        file.same = FileHolds(file.path, file.bytes, file.length);
        DWORD attributes = GetFileAttributesA(file.path);
        if (!file.same && attributes != INVALID_FILE_ATTRIBUTES &&
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
    for (size_t i = first; i < count && !code; i++) {
        if (files[i].same) continue;
        files[i].staged = AuthorFileStage(files[i].path, files[i].bytes, files[i].length,
                                          files[i].temporary) != 0;
        if (!files[i].staged) {
            ErrPrint("%s: can't write the file; the folder is left as it was\n", files[i].path);
            code = 1;
        }
    }
    unsigned long long named = code ? 0 : ScriptsNamed(data);
    bool moved = false;
    for (size_t i = first; i < count; i++) {
        if (!files[i].staged) continue;
        if (code) {
            DeleteFileA(files[i].temporary);
        } else if (!AuthorFileCommit(files[i].temporary, files[i].path)) {
            ErrPrint(moved ? "%s: can't move the file into place; the files before it are "
                             "written\n"
                           : "%s: can't move the file into place; nothing is written\n",
                     files[i].path);
            code = 1;
        } else {
            moved = true;
        }
    }
    if (code) {
        if (madeData) RemoveDirectoryA(data);
        if (madeFolder) RemoveDirectoryA(folder);
    } else {
        size_t same = 0;
        for (size_t i = 1; i < count; i++) same += files[i].same;
        OutPrint("%s: the page in seven fragments", data);
        if (result.scriptCount == 1)
            OutPrint(", and a script that spans lines in page-1.js");
        else if (result.scriptCount)
            OutPrint(", and %lu scripts that span lines in page-1.js ... page-%lu.js",
                     (unsigned long)result.scriptCount, (unsigned long)result.scriptCount);
        OutPrint("%s", stored ? "; the settings in 1013.dat" : "");
        if (same) OutPrint(" (%lu of these files unchanged, left as they were)", (unsigned long)same);
        OutPrint("\n");
        ScriptsStaleRemove(data, named, result.scriptCount);
        char there[MAX_PATH];
        snprintf(there, sizeof there, "%s/lumivane.exe", folder);
        if (!presenterBytes && GetFileAttributesA(there) != INVALID_FILE_ATTRIBUTES)
            OutPrint("%s: the presenter, as it was\n", there);
        else if (!presenterBytes)
            OutPrint("%s: no lumivane.exe beside lumivane-author.exe to copy: put the "
                     "presenter beside the data folder to show it\n",
                     folder);
        else if (files[0].same)
            OutPrint("%s: the presenter, as it was: double-click it to show the page\n", there);
        else
            OutPrint("%s: the presenter, copied from beside lumivane-author.exe: double-click "
                     "it to show the page\n",
                     there);
    }
    free(files);
    AuthorFileFree(presenterBytes);
    return code;
}

#include "authoring/AuthorPage.h"
#include "authoring/AuthorOutput.h"
#include "authoring/AuthorSample.h"
#include "authoring/AuthorSettings.h"
#include "builder/Page.h"
#include "builder/Settings.h"
#include "base/Heap.h"
#include "files/File.h"
#include <stdio.h>
#include <string.h>

static const char* const kFragments[] = {"data/1010.dat", "data/1011.dat", "data/1015.dat",
                                         "data/1016.dat", "data/1017.dat", "data/1018.dat",
                                         "data/1019.dat"};

int AuthorBuild(const char* folder, int32_t width, int32_t height, const char* outPath) {
    // The output is named from where the tool started, before it moves to the folder.
    char out[MAX_PATH];
    if (outPath) {
        DWORD n = GetFullPathNameA(outPath, sizeof out, out, nullptr);
        if (n == 0 || n >= sizeof out) {
            ErrPrint("%s: not a usable file name\n", outPath);
            return 2;
        }
    }
    if (!SetCurrentDirectoryA(folder)) {
        ErrPrint("%s: can't open the folder\n", folder);
        return 1;
    }
    if (!SettingsReadFile("data/1013.dat", width, height)) {
        ErrPrint("%s/data/1013.dat: can't read the file\n", folder);
        return 1;
    }
    if (!PageBuild()) {
        // The page names no file: the first one that does not open is the one.
        const char* missing = nullptr;
        for (const char* name : kFragments) {
            if (!FileOpenRead(0, name)) {
                missing = name;
                break;
            }
            FileClose(0);
        }
        if (missing)
            ErrPrint("%s/%s: can't read the file\n", folder, missing);
        else
            ErrPrint("%s: out of memory while joining the page\n", folder);
        return 1;
    }
    int ok = outPath ? AuthorFileReplace(out, PageText(), PageLength())
                     : OutWrite(PageText(), PageLength());
    if (!ok) {
        ErrPrint("%s: can't write the page\n", outPath ? outPath : "standard output");
        return 1;
    }
    return 0;
}

static int InitPath(char* path, const char* folder, const char* name) {
    int n = snprintf(path, MAX_PATH, "%s/data/%s", folder, name);
    return n > 0 && n < MAX_PATH;
}

// Makes every folder on the way to a file, as far as they are missing: the
// presentation's folder, its data folder and any folder below that.
static void InitFolders(char* path) {
    for (char* p = path + 1; *p; p++) {
        if (*p != '/' && *p != '\\') continue;
        char separator = *p;
        *p = 0;
        CreateDirectoryA(path, nullptr);
        *p = separator;
    }
}

// The sample's settings made into the stored file, as `encode --entities` does.
static int InitSettings(char** stored, size_t* length) {
    return AuthorEncodeBytes("(the sample's settings.txt)", kSampleSettings.bytes,
                             kSampleSettings.length, true, stored, length);
}

int AuthorInit(const char* folder) {
    bool settingsToo = kSampleSettings.bytes != nullptr;
    for (size_t i = 0; i < kSampleFileCount; i++)
        if (strcmp(kSampleFiles[i].name, "1013.dat") == 0) settingsToo = false;
    // Every file is looked at before any is written: all or none.
    char path[MAX_PATH];
    int existing = 0;
    for (size_t i = 0; i <= kSampleFileCount; i++) {
        const char* name = i < kSampleFileCount ? kSampleFiles[i].name : "1013.dat";
        if (i == kSampleFileCount && !settingsToo) break;
        if (!InitPath(path, folder, name)) {
            ErrPrint("%s: the folder's name is too long\n", folder);
            return 2;
        }
        if (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES) {
            ErrPrint("%s: already there; init writes over nothing\n", path);
            existing++;
        }
    }
    if (existing) return 1;
    char* settings = nullptr;
    size_t settingsLength = 0;
    if (settingsToo && !InitSettings(&settings, &settingsLength)) return 1;
    int ok = 1;
    for (size_t i = 0; i < kSampleFileCount && ok; i++) {
        InitPath(path, folder, kSampleFiles[i].name);
        InitFolders(path);
        ok = AuthorFileMake(path, kSampleFiles[i].bytes, kSampleFiles[i].length);
    }
    if (ok && settingsToo) {
        InitPath(path, folder, "1013.dat");
        InitFolders(path);
        ok = AuthorFileMake(path, settings, settingsLength);
    }
    if (settings) HeapFree(HeapMain(), 0, settings);
    if (!ok) {
        ErrPrint("%s: can't write the file\n", path);
        return 1;
    }
    OutPrint("The sample presentation is in %s/data. See it with:\n"
             "  lumivane-author check %s\n"
             "  lumivane-author build %s --screen 1280x720 -o page.html\n",
             folder, folder, folder);
    return 0;
}

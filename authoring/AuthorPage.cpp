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

// The folders init made, so that a failed init can take them back.
static char gMade[8][MAX_PATH];
static int gMadeCount;

// Makes every folder on the way to a file, as far as they are missing: the
// presentation's folder, its data folder and any folder below that.
static void InitFolders(char* path) {
    for (char* p = path + 1; *p; p++) {
        if (*p != '/' && *p != '\\') continue;
        char separator = *p;
        *p = 0;
        if (CreateDirectoryA(path, nullptr) && gMadeCount < 8)
            snprintf(gMade[gMadeCount++], MAX_PATH, "%s", path);
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
    // Every file goes to a temporary file beside its place first, and only when
    // all are written are they moved into place: a failure leaves nothing behind.
    size_t count = kSampleFileCount + (settingsToo ? 1 : 0);
    char (*temporaries)[AuthorTemporaryMax] =
        (char (*)[AuthorTemporaryMax])HeapAlloc(HeapMain(), HEAP_ZERO_MEMORY, count * AuthorTemporaryMax);
    size_t staged = 0;
    gMadeCount = 0;
    bool ok = temporaries != nullptr;
    for (; ok && staged < count; staged++) {
        bool sample = staged < kSampleFileCount;
        InitPath(path, folder, sample ? kSampleFiles[staged].name : "1013.dat");
        InitFolders(path);
        ok = AuthorFileStage(path, sample ? kSampleFiles[staged].bytes : settings,
                             sample ? kSampleFiles[staged].length : settingsLength,
                             temporaries[staged]);
    }
    if (!ok && staged) staged--; // the one that failed left nothing
    size_t placed = 0; // moved into place; the temporary file of a failed move is gone
    bool moving = ok;
    for (; ok && placed < staged; placed++) {
        InitPath(path, folder, placed < kSampleFileCount ? kSampleFiles[placed].name : "1013.dat");
        if (!AuthorFileCommit(temporaries[placed], path)) ok = false;
    }
    if (!ok) {
        ErrPrint("%s: can't write the file; init leaves the folder as it was\n", path);
        size_t failed = moving ? placed - 1 : staged; // the temporary files from here on are left
        char other[MAX_PATH];
        for (size_t i = 0; i < failed; i++) {
            InitPath(other, folder, i < kSampleFileCount ? kSampleFiles[i].name : "1013.dat");
            DeleteFileA(moving ? other : temporaries[i]);
        }
        for (size_t i = failed + 1; moving && i < staged; i++) DeleteFileA(temporaries[i]);
        for (int i = gMadeCount - 1; i >= 0; i--) RemoveDirectoryA(gMade[i]);
    }
    if (temporaries) HeapFree(HeapMain(), 0, temporaries);
    if (settings) HeapFree(HeapMain(), 0, settings);
    if (!ok) return 1;
    OutPrint("The sample presentation is in %s/data. See it with:\n"
             "  lumivane-author check %s\n"
             "  lumivane-author build %s --screen 1280x720 -o page.html\n",
             folder, folder, folder);
    return 0;
}

#include "authoring/AuthorPack.h"
#include "authoring/AuthorOutput.h"
#include "authoring/AuthorSample.h"
#include "authoring/AuthorSettings.h"
#include "authoring/PackInsert.h"
#include "authoring/PackPage.h"
#include "builder/Cipher.h"
#include "builder/Settings.h"
#include "base/Heap.h"
#include "files/LineSplit.h"
#include <windows.h>
#include <stdio.h>
#include <string.h>

// The plain settings of the sample with the insert text as value 3 and every
// adjustment 0, lines ended by CR LF, into `plain` (room enough).
static size_t SettingsWithInsert(const char* insert, char* plain) {
    size_t kept = 0, at = 0;
    for (int32_t n = 1; n <= SettingsCount; n++) {
        const char* value = "";
        size_t length = 0;
        if (at < kSampleSettings.length) {
            LineEnd end = LineSplit(kSampleSettings.bytes + at, kSampleSettings.length - at, true);
            value = kSampleSettings.bytes + at;
            length = end.length;
            at += end.consumed;
        }
        if (n == 3) value = insert, length = strlen(insert);
        if (SettingsIsAdjustment(n)) value = "0", length = 1;
        memcpy(plain + kept, value, length);
        kept += length;
        memcpy(plain + kept, "\r\n", 2);
        kept += 2;
    }
    return kept;
}

struct PackSettings {
    char* stored; // the settings file to write, or null to keep the one there
    size_t storedLength;
    char insert[4096]; // the insert text, for reading the page with it
};

// The settings as the options ask; 2 for a value the settings can't hold.
static int SettingsChoose(const PackOptions& options, const char* page, size_t pageLength,
                          const char* settingsPath, PackSettings* settings) {
    const char* plainName = "--insert";
    char* plain = nullptr;
    size_t length = 0;
    if (options.insert) {
        InsertCoded coded;
        int code = 0;
        if (!PackInsertPlain(options.page, page, pageLength, options.insert, options.entities,
                             &coded, &code))
            return code;
        size_t room = kSampleSettings.length + coded.length + 64;
        plain = (char*)HeapAlloc(HeapMain(), 0, room);
        if (plain) length = SettingsWithInsert(coded.bytes, plain);
        InsertCodedFree(&coded);
    } else if (options.settings) {
        plainName = options.settings;
        plain = AuthorFileRead(options.settings, &length);
        if (!plain) {
            ErrPrint("%s: can't read the file: %s\n", options.settings, AuthorFileReadFault());
            return 1;
        }
    } else if (SettingsReadFile(settingsPath, 0, 0)) {
        snprintf(settings->insert, sizeof settings->insert, "%s", SettingsValue(3));
        return 0;
    } else {
        plainName = "(the sample's settings.txt)";
        length = kSampleSettings.length;
        plain = (char*)HeapAlloc(HeapMain(), 0, length + 1);
        if (plain) memcpy(plain, kSampleSettings.bytes, length);
    }
    if (!plain) {
        ErrPrint("out of memory\n");
        return 1;
    }
    // The sample's own settings are written as init writes them; the insert
    // text holds its references already.
    bool sample = !options.insert && !options.settings;
    int ok = AuthorEncodeBytes(plainName, plain, length,
                               (options.entities && !options.insert) || sample,
                               &settings->stored, &settings->storedLength);
    HeapFree(HeapMain(), 0, plain);
    if (!ok) return 2;
    // The insert text as the presenter will read it back.
    char* copy = (char*)HeapAlloc(HeapMain(), 0, settings->storedLength + 1);
    if (copy) {
        memcpy(copy, settings->stored, settings->storedLength);
        copy[settings->storedLength] = 0;
        size_t at = 0;
        for (int n = 1; n < 3 && at < settings->storedLength; n++)
            at += LineSplit(copy + at, settings->storedLength - at, true).consumed;
        LineEnd end = LineSplit(copy + at, settings->storedLength - at, true);
        size_t take = end.length < sizeof settings->insert ? end.length : sizeof settings->insert - 1;
        size_t kept = Decode(copy + at, take, SettingsShift, 1, settings->insert);
        settings->insert[kept] = 0;
        HeapFree(HeapMain(), 0, copy);
    }
    return 0;
}

// What pack tells and does not refuse, each note as PAGE:LINE:COLUMN: message.
static void NotesPrint(const char* page, const PackBuffer& notes) {
    for (size_t at = 0; at < notes.length;) {
        const char* end = (const char*)memchr(notes.bytes + at, '\n', notes.length - at);
        size_t n = end ? (size_t)(end - notes.bytes) - at : notes.length - at;
        ErrPrint("%s:%.*s\n", page, (int)n, notes.bytes + at);
        at += n + 1;
    }
}

int AuthorPack(const PackOptions& options) {
    size_t length = 0;
    char* page = AuthorFileRead(options.page, &length);
    if (!page) {
        ErrPrint("%s: can't read the file: %s\n", options.page, AuthorFileReadFault());
        return 1;
    }
    char data[MAX_PATH], settingsPath[MAX_PATH];
    int n = snprintf(data, sizeof data, "%s/data", options.folder);
    int m = snprintf(settingsPath, sizeof settingsPath, "%s/data/1013.dat", options.folder);
    if (n < 0 || m < 0 || (size_t)m + 16 >= sizeof settingsPath) {
        AuthorFileFree(page);
        ErrPrint("%s: the folder's name is too long\n", options.folder);
        return 2;
    }
    PackSettings settings = {};
    int code = SettingsChoose(options, page, length, settingsPath, &settings);
    PackResult result;
    if (code == 0 && !PackPage(page, length, settings.insert, &result)) {
        ErrPrint("%s:%lu:%lu: %s; nothing is written\n", options.page, (unsigned long)result.line,
                 (unsigned long)result.column, PackResultMessage(result));
        PackResultFree(&result);
        code = 1;
    }
    AuthorFileFree(page);
    if (code == 0) {
        NotesPrint(options.page, result.notes);
        code = PackWrite(options.folder, data, result, settings.stored, settings.storedLength);
        PackResultFree(&result);
    }
    if (settings.stored) HeapFree(HeapMain(), 0, settings.stored);
    return code;
}

#include "authoring/AuthorCheck.h"
#include "authoring/AuthorOutput.h"
#include "authoring/AuthorSettings.h"
#include "authoring/CheckRead.h"
#include "builder/PageRules.h"
#include "builder/Settings.h"
#include "base/TextRules.h"
#include "files/File.h"
#include <stdarg.h>
#include <stdio.h>
#include <string.h>

static const char* gFolder;
static int gProblems;

void CheckReport(const char* name, int32_t line, size_t column, const char* format, ...) {
    char message[1024];
    va_list arguments;
    va_start(arguments, format);
    vsnprintf(message, sizeof message, format, arguments);
    va_end(arguments);
    if (column)
        OutPrint("%s/%s:%d:%lu: %s\n", gFolder, name, line, (unsigned long)column, message);
    else
        OutPrint("%s/%s:%d: %s\n", gFolder, name, line, message);
    gProblems++;
}

static const char kSettingsName[] = "data/1013.dat";

static void CheckSettings() {
    if (!FileOpenRead(0, kSettingsName)) {
        CheckReport(kSettingsName, 1, 0,
                    "missing or can't be opened: the presenter stops with "
                    "\"Error: can't read the file\"");
        return;
    }
    int32_t lines = 0;
    while (lines < SettingsCount && FileAtEnd(0) == 0 && FileReadLine()) lines++;
    FileClose(0);
    if (lines < SettingsCount)
        CheckReport(kSettingsName, lines + 1, 0,
                    "only %d lines: the settings hold ten values, one a line; the presenter "
                    "reads the missing ones as empty",
                    lines);
    if (!SettingsReadFile(kSettingsName, 0, 0)) return;
    for (int32_t n = 7; n <= SettingsCount; n++) {
        const char* value = SettingsValue(n);
        if (!*value || SettingsIsWholeNumber(value)) continue;
        char shown[4 * 40 + 1];
        size_t length = strlen(value);
        AuthorEscape(value, length < 40 ? length : 40, shown);
        CheckReport(kSettingsName, n, 0,
                    "the %s \"%s%s\" is not a plain whole number: the presenter reads it as %d",
                    SettingsRoleName(n), shown, length > 40 ? "..." : "", (int)TextToNumber(value));
    }
}

static void CheckTakeFinding(void*, const char* name, int32_t line, size_t column,
                             const char* message) {
    CheckReport(name, line, column, "%s", message);
}

// The fragments with the values as on a screen of 1024 by 768, the insert
// text as the settings hold it.
static void CheckFragments() {
    bool settings = SettingsReadFile(kSettingsName, 1024, 768) != 0;
    CheckValues values = {settings ? SettingsPageWidth() : "1024",
                          settings ? SettingsPageHeight() : "768",
                          settings ? SettingsValue(3) : ""};
    CheckFile files[CheckFragmentCount] = {};
    char* read[CheckFragmentCount] = {};
    for (int i = 0; i < CheckFragmentCount; i++) {
        read[i] = AuthorFileRead(CheckFragmentName(i), &files[i].length);
        files[i].bytes = read[i];
        if (!read[i]) files[i].fault = AuthorFileReadFault();
    }
    CheckRead(files, values, CheckTakeFinding, nullptr);
    for (char* bytes : read) AuthorFileFree(bytes);
}

int AuthorCheck(const char* folder) {
    char shown[MAX_PATH];
    int n = snprintf(shown, sizeof shown, "%s", folder);
    while (n > 1 && (shown[n - 1] == '/' || shown[n - 1] == '\\')) shown[--n] = 0;
    gFolder = shown;
    gProblems = 0;
    if (!SetCurrentDirectoryA(folder)) {
        OutPrint("%s: can't open the folder\n", shown);
        return 1;
    }
    DWORD data = GetFileAttributesA("data");
    if (data == INVALID_FILE_ATTRIBUTES || !(data & FILE_ATTRIBUTE_DIRECTORY)) {
        OutPrint("%s/data: no data folder: the presenter stops with \"Error: can't read the "
                 "file\"\n",
                 shown);
        return 1;
    }
    CheckSettings();
    CheckFragments();
    return gProblems ? 1 : 0;
}

#include "authoring/AuthorCheck.h"
#include "authoring/AuthorOutput.h"
#include "authoring/AuthorSettings.h"
#include "builder/Page.h"
#include "builder/PageRules.h"
#include "builder/Settings.h"
#include "base/TextRules.h"
#include "files/File.h"
#include <stdarg.h>
#include <stdio.h>
#include <string.h>

static const char* gFolder;
static int gProblems;

static void CheckReport(const char* name, int32_t line, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

static void CheckReport(const char* name, int32_t line, const char* format, ...) {
    char message[1024];
    va_list arguments;
    va_start(arguments, format);
    vsnprintf(message, sizeof message, format, arguments);
    va_end(arguments);
    OutPrint("%s/%s:%d: %s\n", gFolder, name, line, message);
    gProblems++;
}

static char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? (char)(c - 'A' + 'a') : c;
}

// The length of `word` (lower case) matched at `bytes` in any case, or 0.
static size_t MatchNoCase(const char* bytes, size_t length, const char* word) {
    size_t i = 0;
    for (; word[i]; i++)
        if (i >= length || Lower(bytes[i]) != word[i]) return 0;
    return i;
}

bool CheckFindNoCase(const char* bytes, size_t length, const char* needle) {
    for (size_t at = 0; at < length; at++)
        if (MatchNoCase(bytes + at, length - at, needle)) return true;
    return false;
}

const char* CheckNearMarker(const char* line, size_t length) {
    if (PageLineIsEndMarker(line, length)) return nullptr;
    for (size_t at = 0; at < length; at++) {
        size_t i = at + MatchNoCase(line + at, length - at, "codebase");
        if (i == at) continue;
        size_t gap = i;
        while (i < length && (line[i] == ' ' || line[i] == '\t')) i++;
        if (i == gap || !MatchNoCase(line + i, length - i, "random")) continue;
        if (memchr(line, '\t', length)) return "a tab";
        if (length == 16 && MatchNoCase(line, length, "codebase random>"))
            return "another letter case";
        return "extra or missing characters";
    }
    return nullptr;
}

// A fragment, or with `oneLine` the file of which only the first line is read.
static void CheckFragment(const char* name, bool oneLine) {
    if (!FileOpenRead(0, name)) {
        CheckReport(name, 1,
                    "missing or can't be opened: the presenter stops with \"Error: "
                    "can't read the file\"");
        return;
    }
    int32_t line = 0, markerLine = 0;
    bool toldAfter = false;
    while (FileAtEnd(0) == 0) {
        size_t length = 0;
        char* text = FileReadLine(&length);
        line++;
        if (!text) {
            CheckReport(name, line, "a line too long to hold in memory");
            break;
        }
        size_t trimmedLength = 0;
        const char* trimmed = TextTrim(text, length, &trimmedLength);
        bool after = oneLine ? line > 1 : markerLine > 0;
        if (after) {
            if (trimmedLength > 0 && !toldAfter) {
                if (oneLine)
                    CheckReport(name, line,
                                "only the first line of this file is read: this "
                                "line and those after it never reach the page");
                else
                    CheckReport(name, line,
                                "after the end marker of line %d: this line and those after "
                                "it are never read",
                                markerLine);
                toldAfter = true;
            }
            continue;
        }
        if (oneLine) continue;
        if (PageLineIsEndMarker(trimmed, trimmedLength)) {
            markerLine = line;
            continue;
        }
        const char* why = CheckNearMarker(trimmed, trimmedLength);
        if (why)
            CheckReport(name, line,
                        "nearly the end marker \"codebase random>\" but not it (%s): it goes "
                        "into the page like any line, and the fragment does not end here",
                        why);
    }
    FileClose(0);
    if (!oneLine && markerLine == 0)
        CheckReport(name, line + 1,
                    "no end marker line \"codebase random>\": the fragment runs to the end of "
                    "the file");
}

static const char kSettingsName[] = "data/1013.dat";

static void CheckSettings() {
    if (!FileOpenRead(0, kSettingsName)) {
        CheckReport(kSettingsName, 1,
                    "missing or can't be opened: the presenter stops with "
                    "\"Error: can't read the file\"");
        return;
    }
    int32_t lines = 0;
    while (lines < SettingsCount && FileAtEnd(0) == 0 && FileReadLine()) lines++;
    FileClose(0);
    if (lines < SettingsCount)
        CheckReport(kSettingsName, lines + 1,
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
        CheckReport(kSettingsName, n,
                    "the %s \"%s%s\" is not a plain whole number: the presenter reads it as %d",
                    SettingsRoleName(n), shown, length > 40 ? "..." : "", (int)TextToNumber(value));
    }
}

// The page as the presenter joins it, for what only the whole page shows.
static void CheckPage() {
    if (!SettingsReadFile(kSettingsName, 1024, 768) || !PageBuild()) return;
    if (!CheckFindNoCase(PageText(), PageLength(), "x-ua-compatible"))
        CheckReport("data/1010.dat", 1,
                    "warning: the page declares no document mode (<meta "
                    "http-equiv=\"X-UA-Compatible\" content=\"IE=edge\">): the system's "
                    "browser control then shows it in its oldest standards mode");
    PageClear();
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
    CheckFragment("data/1010.dat", false);
    CheckFragment("data/1011.dat", true);
    static const char* const kMarked[] = {"data/1015.dat", "data/1016.dat", "data/1017.dat",
                                          "data/1018.dat", "data/1019.dat"};
    for (const char* name : kMarked) CheckFragment(name, false);
    CheckPage();
    return gProblems ? 1 : 0;
}

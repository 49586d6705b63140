#include "authoring/AuthorSettings.h"
#include "authoring/AuthorOutput.h"
#include "builder/Cipher.h"
#include "builder/Settings.h"
#include "base/Heap.h"
#include "files/LineSplit.h"
#include <windows.h>
#include <stdio.h>
#include <string.h>

const char* SettingsCharFault(unsigned char plain, bool edge) {
    unsigned char stored = (unsigned char)(plain + SettingsShift);
    if (plain == 0) return "a zero byte: a text never holds one";
    if (stored == 0) return "it enciphers to a zero byte, which ends the line";
    if (stored == '\n') return "it enciphers to a line feed, which ends the line";
    if (stored == '\r') return "it enciphers to a carriage return, which ends the line";
    if (stored == ' ' && edge)
        return "it enciphers to a space, which is trimmed away at either end of a value";
    return nullptr;
}

int SettingsEncipher(const char* value, size_t length, bool entities, char* out, size_t* outLength,
                     size_t* faultColumn) {
    size_t kept = 0;
    for (size_t i = 0; i < length; i++) {
        unsigned char c = (unsigned char)value[i];
        bool edge = i == 0 || i + 1 == length;
        if (!SettingsCharFault(c, edge)) {
            kept += Decode((const char*)&c, 1, SettingsShift, 0, out + kept);
            continue;
        }
        // A zero byte has no reference that a page may hold.
        if (!entities || c == 0) {
            *faultColumn = i + 1;
            return 0;
        }
        char reference[8];
        int n = snprintf(reference, sizeof reference, "&#%u;", (unsigned)c);
        kept += Decode(reference, (size_t)n, SettingsShift, 0, out + kept);
    }
    out[kept] = 0;
    *outLength = kept;
    return 1;
}

const char* SettingsRoleName(int32_t n) {
    switch (n) {
    case 3:
        return "insert text";
    case 7:
        return "x adjustment";
    case 8:
        return "y adjustment";
    case 9:
        return "width adjustment";
    case 10:
        return "height adjustment";
    default:
        return nullptr;
    }
}

bool SettingsIsAdjustment(int32_t n) {
    return n >= 7 && n <= SettingsCount;
}

bool SettingsIsWholeNumber(const char* text) {
    bool negative = *text == '-';
    if (*text == '+' || *text == '-') text++;
    if (!*text) return false;
    uint64_t value = 0;
    for (; *text; text++) {
        if (*text < '0' || *text > '9') return false;
        value = value * 10 + (uint64_t)(*text - '0');
        if (value > (uint64_t)INT32_MAX + (negative ? 1 : 0)) return false;
    }
    return true;
}

// The plain file's lines as the settings reader would split them; a zero byte,
// which would end a line there, is refused instead.
int AuthorEncodeBytes(const char* plainName, const char* plain, size_t length, bool entities,
                      char** stored, size_t* storedLength) {
    // Every plain byte gives at most a six-byte reference, and each line two more.
    char* out = nullptr;
    if (length <= (SIZE_MAX - 64) / 8)
        out = (char*)HeapAlloc(HeapMain(), 0, length * 6 + SettingsCount * 2 + 1);
    if (!out) {
        ErrPrint("%s: out of memory\n", plainName);
        return 0;
    }
    size_t kept = 0, at = 0;
    int32_t line = 0;
    int ok = 1;
    while (ok && at < length) {
        LineEnd end = LineSplit(plain + at, length - at, true);
        line++;
        const char* value = plain + at;
        if (end.consumed > end.length && value[end.length] == 0) {
            ErrPrint("%s:%d:%lu: the character 0 (a zero byte) can't be stored: %s\n", plainName,
                     line, (unsigned long)end.length + 1, SettingsCharFault(0, false));
            ok = 0;
            break;
        }
        if (line > SettingsCount) {
            ErrPrint("%s:%d: more than ten lines: the settings hold ten values, one a line\n",
                     plainName, line);
            ok = 0;
            break;
        }
        size_t column = 0, written = 0;
        if (!SettingsEncipher(value, end.length, entities && line == 3, out + kept, &written,
                              &column)) {
            unsigned char c = (unsigned char)value[column - 1];
            ErrPrint("%s:%d:%lu: the character \"%c\" (%u) can't be stored in value %d: %s%s\n",
                     plainName, line, (unsigned long)column, c, (unsigned)c, line,
                     SettingsCharFault(c, column == 1 || column == end.length),
                     line == 3 ? " (--entities writes it as an HTML reference)" : "");
            ok = 0;
            break;
        }
        kept += written;
        out[kept++] = '\r';
        out[kept++] = '\n';
        char copy[64];
        if (SettingsIsAdjustment(line) && end.length < sizeof copy) {
            memcpy(copy, value, end.length);
            copy[end.length] = 0;
        }
        if (SettingsIsAdjustment(line) &&
            (end.length >= sizeof copy || (end.length > 0 && !SettingsIsWholeNumber(copy))))
            ErrPrint("%s:%d:1: warning: the %s is not a plain whole number\n", plainName, line,
                     SettingsRoleName(line));
        at += end.consumed;
    }
    if (ok && line < SettingsCount) {
        ErrPrint("%s:%d: only %d lines: the settings hold ten values, one a line (an empty "
                 "line for a value not used)\n",
                 plainName, line + 1, line);
        ok = 0;
    }
    if (!ok) {
        HeapFree(HeapMain(), 0, out);
        return 0;
    }
    *stored = out;
    *storedLength = kept;
    return 1;
}

int AuthorEncode(const char* plainPath, const char* settingsPath, bool entities) {
    size_t length = 0;
    char* plain = AuthorFileRead(plainPath, &length);
    if (!plain) {
        ErrPrint("%s: can't read the file: %s\n", plainPath, AuthorFileReadFault());
        return 1;
    }
    char* stored = nullptr;
    size_t storedLength = 0;
    int ok = AuthorEncodeBytes(plainPath, plain, length, entities, &stored, &storedLength);
    AuthorFileFree(plain);
    if (!ok) return 2;
    ok = AuthorFileReplace(settingsPath, stored, storedLength);
    HeapFree(HeapMain(), 0, stored);
    if (!ok) {
        ErrPrint("%s: can't write the file; it is left as it was\n", settingsPath);
        return 1;
    }
    return 0;
}

int AuthorDecode(const char* settingsPath) {
    if (!SettingsReadFile(settingsPath, 0, 0)) {
        ErrPrint("%s: can't read the file\n", settingsPath);
        return 1;
    }
    for (int32_t n = 1; n <= SettingsCount; n++) {
        const char* value = SettingsValue(n);
        size_t length = strlen(value);
        char* shown = (char*)HeapAlloc(HeapMain(), 0, length * 4 + 1);
        if (!shown) {
            ErrPrint("%s: out of memory\n", settingsPath);
            return 1;
        }
        AuthorEscape(value, length, shown);
        const char* role = SettingsRoleName(n);
        // The value goes out whole, however long: the formatted part has a bound.
        if (length == 0) {
            OutPrint("%2d%s%s\n", n, role ? " " : "", role ? role : "");
        } else {
            OutPrint("%2d %-18s ", n, role ? role : "");
            OutWrite(shown, strlen(shown));
            OutWrite("\n", 1);
        }
        HeapFree(HeapMain(), 0, shown);
    }
    return 0;
}

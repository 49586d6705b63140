#include "authoring/InsertText.h"
#include "authoring/AuthorSettings.h"
#include "base/Heap.h"
#include <windows.h>
#include <stdio.h>
#include <string.h>
#include <wchar.h>

int InsertCodePageSpells(unsigned codePage, const wchar_t* text, char* out, size_t room) {
    size_t length = wcslen(text);
    if (length == 0) {
        if (room) *out = 0;
        return room > 0;
    }
    if (length > 0x7FFFFFF || room < 2 || room > 0x7FFFFFFF) return 0;
    int n = WideCharToMultiByte(codePage, 0, text, (int)length, out, (int)room - 1, nullptr,
                                nullptr);
    if (n <= 0) return 0;
    out[n] = 0;
    // Read back, a best fit ("a" for "ä") or the default character shows.
    wchar_t back[64];
    wchar_t* readBack = length < 64 ? back : (wchar_t*)HeapAlloc(HeapMain(), 0,
                                                                 (length + 1) * sizeof(wchar_t));
    if (!readBack) return 0;
    int m = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, out, n, readBack, (int)length);
    bool same = m == (int)length && memcmp(readBack, text, length * sizeof(wchar_t)) == 0;
    if (readBack != back) HeapFree(HeapMain(), 0, readBack);
    return same;
}

// One character (`units` UTF-16 units) in the page's encoding; 0 bytes when it
// can't be written there.
static size_t CharacterBytes(const wchar_t* units, size_t count, uint32_t code, unsigned codePage,
                             char* out) {
    if (code < 0x80) {
        out[0] = (char)code;
        return 1;
    }
    if (codePage == 65001) {
        if (code >= 0xD800 && code < 0xE000) return 0; // a lone surrogate
        if (code < 0x800) {
            out[0] = (char)(0xC0 | (code >> 6));
            out[1] = (char)(0x80 | (code & 0x3F));
            return 2;
        }
        size_t n = code < 0x10000 ? 3 : 4;
        out[0] = (char)(n == 3 ? 0xE0 | (code >> 12) : 0xF0 | (code >> 18));
        for (size_t i = 1; i < n; i++)
            out[i] = (char)(0x80 | ((code >> (6 * (n - 1 - i))) & 0x3F));
        return n;
    }
    if (codePage == 0) return 0;
    wchar_t one[3] = {units[0], count > 1 ? units[1] : L'\0', L'\0'};
    char bytes[16];
    if (!InsertCodePageSpells(codePage, one, bytes, sizeof bytes)) return 0;
    size_t n = strlen(bytes);
    memcpy(out, bytes, n);
    return n;
}

// A character for a message: "e", "ä" (U+00E4) as the code page of messages
// writes it, or U+0416 where it can't.
static void ShownAdd(InsertCoded* coded, const wchar_t* units, size_t count, uint32_t code,
                     const char* reference) {
    size_t used = strlen(coded->shown);
    if (used > sizeof coded->shown - 64) {
        if (!strstr(coded->shown, ", ...")) strcat(coded->shown, ", ...");
        return;
    }
    wchar_t one[3] = {units[0], count > 1 ? units[1] : L'\0', L'\0'};
    char spelled[16], shown[40];
    if (code < 0x80)
        snprintf(shown, sizeof shown, "\"%c\"", (char)code);
    else if (InsertCodePageSpells(CP_ACP, one, spelled, sizeof spelled))
        snprintf(shown, sizeof shown, "\"%s\" (U+%04X)", spelled, (unsigned)code);
    else
        snprintf(shown, sizeof shown, "U+%04X", (unsigned)code);
    snprintf(coded->shown + used, sizeof coded->shown - used, "%s%s%s%s", used ? ", " : "", shown,
             reference ? " as " : "", reference ? reference : "");
}

int InsertEncode(const wchar_t* text, unsigned codePage, bool references, InsertCoded* coded) {
    memset(coded, 0, sizeof *coded);
    size_t units = wcslen(text);
    // A character gives at most a reference of 10 bytes, "&#1114111;".
    if (units > ((size_t)-1 - 1) / 12) return 0;
    coded->bytes = (char*)HeapAlloc(HeapMain(), 0, units * 12 + 1);
    if (!coded->bytes) return 0;
    bool refused = false;
    for (size_t i = 0; i < units;) {
        uint32_t code = (uint16_t)text[i];
        size_t count = 1;
        if (code >= 0xD800 && code < 0xDC00 && i + 1 < units && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000) {
            code = 0x10000 + ((code - 0xD800) << 10) + ((uint16_t)text[i + 1] - 0xDC00);
            count = 2;
        }
        if (code >= 0x80) coded->nonAscii = true;
        char bytes[16];
        size_t n = CharacterBytes(text + i, count, code, codePage, bytes);
        bool forEncoding = n == 0, forSettings = false;
        for (size_t b = 0; b < n; b++) {
            bool edge = (i == 0 && b == 0) || (i + count == units && b + 1 == n);
            if (SettingsCharFault((unsigned char)bytes[b], edge)) forSettings = true;
        }
        if (forEncoding || forSettings) {
            char reference[16];
            snprintf(reference, sizeof reference, "&#%u;", (unsigned)code);
            ShownAdd(coded, text + i, count, code, references ? reference : nullptr);
            refused = refused || !references;
            (forEncoding ? coded->forEncoding : coded->forSettings)++;
            memcpy(bytes, reference, n = strlen(reference));
        }
        memcpy(coded->bytes + coded->length, bytes, n);
        coded->length += n;
        i += count;
    }
    coded->bytes[coded->length] = 0;
    return !refused;
}

void InsertCodedFree(InsertCoded* coded) {
    if (coded->bytes) HeapFree(HeapMain(), 0, coded->bytes);
    coded->bytes = nullptr;
}

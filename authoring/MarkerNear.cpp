#include "authoring/MarkerNear.h"
#include "builder/PageRules.h"
#include <string.h>

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

// A byte that may stand between the two words of a line meant as the marker:
// spaces, tabs, "_", "-", "." and the no-break space (0xA0; C2 A0 in UTF-8).
static size_t MarkerGap(const char* line, size_t length, size_t at, bool* noBreak) {
    size_t i = at;
    while (i < length && i - at < 4) {
        unsigned char c = (unsigned char)line[i];
        if (c == 0xC2 && i + 1 < length && (unsigned char)line[i + 1] == 0xA0) {
            *noBreak = true;
            i += 2;
        } else if (c == 0xA0) {
            *noBreak = true;
            i++;
        } else if (c == ' ' || c == '\t' || c == '_' || c == '-' || c == '.') {
            i++;
        } else {
            break;
        }
    }
    return i - at;
}

// A line meant as the marker, not a sentence that holds its words: the words
// are followed by ">", or little else stands on the line.
const char* CheckNearMarker(const char* line, size_t length) {
    if (PageLineIsEndMarker(line, length)) return nullptr;
    size_t filled = 0; // bytes of the line that are neither spaces nor tabs
    for (size_t k = 0; k < length; k++) filled += line[k] != ' ' && line[k] != '\t';
    for (size_t at = 0; at < length; at++) {
        size_t i = at + MatchNoCase(line + at, length - at, "codebase");
        if (i == at) continue;
        bool noBreak = false;
        i += MarkerGap(line, length, i, &noBreak);
        size_t words = MatchNoCase(line + i, length - i, "random");
        if (!words) continue;
        i += words;
        bool arrow = i < length && line[i] == '>';
        while (i < length && line[i] == '>') i++;
        size_t edge = filled; // what stands round the words but spaces and tabs
        for (size_t k = at; k < i; k++) edge -= line[k] != ' ' && line[k] != '\t';
        if (!arrow && edge > 2) continue;
        if (memchr(line, '\t', length)) return "a tab";
        if (noBreak) return "a no-break space between the words";
        if (length == 16 && MatchNoCase(line, length, "codebase random>"))
            return "another letter case";
        return "extra or missing characters";
    }
    return nullptr;
}

// The output lines: made with the origin of each byte, so that a line that
// could be taken for the end marker can be mended in the place of its word.
#include "authoring/scan/PackCutSteps.h"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static bool OriginsRoom(Cut* c, size_t length) {
    if (length <= c->originRoom) return true;
    size_t room = c->originRoom ? c->originRoom : 256;
    while (room < length) {
        if (room > (size_t)-1 / 2 / sizeof(size_t)) return false;
        room *= 2;
    }
    size_t* grown = (size_t*)realloc(c->origins, room * sizeof(size_t));
    if (!grown) return false;
    c->origins = grown;
    c->originRoom = room;
    return true;
}

bool CutPut(Cut* c, const char* bytes, size_t length, size_t origin) {
    size_t at = c->line.length;
    if (!OriginsRoom(c, at + length) || !PackAppend(&c->line, bytes, length)) return false;
    for (size_t i = 0; i < length; i++)
        c->origins[at + i] = origin == CutInserted ? CutInserted : origin + i;
    return true;
}

void CutFree(Cut* c) {
    PackBufferFree(&c->line);
    free(c->origins);
    c->origins = nullptr;
    c->originRoom = 0;
}

// Replaces the byte at `at` of the line by `text`.
static bool Splice(Cut* c, size_t at, const char* text) {
    size_t n = strlen(text), tail = c->line.length - at - 1;
    if (!OriginsRoom(c, c->line.length + n) || !PackAppend(&c->line, text, n - 1)) return false;
    memmove(c->line.bytes + at + n, c->line.bytes + at + 1, tail);
    memmove(c->origins + at + n, c->origins + at + 1, tail * sizeof(size_t));
    memcpy(c->line.bytes + at, text, n);
    for (size_t i = 0; i < n; i++) c->origins[at + i] = CutInserted;
    return true;
}

// The first letter of "codebase" as an escape of its place, or false where
// the place has none that means the letter itself.
static bool LetterEscape(unsigned char place, unsigned char letter, char out[16]) {
    bool escaped = (place & PlaceEscaped) != 0;
    switch (place & PlaceMask) {
    case PlaceText:
        snprintf(out, 16, "&#%d;", letter);
        return true;
    case PlaceCssString:
        snprintf(out, 16, "\\%06x", letter);
        return !escaped;
    case PlaceJsString:
        snprintf(out, 16, "\\x%02x", letter);
        return !escaped && !(place & PlaceShown);
    case PlaceJsonString:
        snprintf(out, 16, "\\u%04x", letter);
        return !escaped;
    default:
        return false;
    }
}

static bool WordAt(const char* s, size_t n, size_t at) {
    static const char word[] = "codebase";
    if (n - at < 8) return false;
    for (size_t k = 0; k < 8; k++)
        if ((s[at + k] | 0x20) != word[k]) return false;
    return true;
}

static bool Write(Cut* c, size_t from, size_t to) {
    return PackAppend(c->out, c->line.bytes + from, to - from) && PackAppend(c->out, "\n", 1);
}

// A line that is, or could be taken for, the end marker gets an escape for
// the first letter of its word, or is cut inside the word ("code" | "base"):
// the join gives the same bytes back. 1011.dat is never cut, and the presenter
// looks for no marker in it: its line stays where no escape exists.
bool CutLineOut(Cut* c) {
    if (!c->line.length) return true;
    size_t from = 0, look = 0;
    while (c->near(c->line.bytes + from, c->line.length - from)) {
        size_t p = look;
        while (p < c->line.length && !WordAt(c->line.bytes, c->line.length, p)) p++;
        if (p == c->line.length) break;
        size_t origin = c->origins[p];
        char escape[16];
        unsigned char letter = (unsigned char)c->line.bytes[p];
        if (origin != CutInserted && LetterEscape(c->plan->places[origin], letter, escape)) {
            if (!Splice(c, p, escape)) return false;
            look = p + strlen(escape);
        } else if (!c->oneLine) {
            if (!Write(c, from, p + 4)) return false;
            from = look = p + 4;
        } else {
            look = p + 1;
        }
    }
    bool ok = Write(c, from, c->line.length);
    c->line.length = 0;
    return ok;
}

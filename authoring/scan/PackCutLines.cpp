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

// The first letter of "codebase" as an escape of its place, or false where
// the place has none that means the letter itself.
static bool LetterEscape(unsigned char place, unsigned char letter, bool afterAmpersand,
                         char out[32]) {
    bool escaped = (place & PlaceEscaped) != 0;
    switch (place & PlaceMask) {
    case PlaceReference: // "&codebase" names no character: its "&" stays as it is
        if (!afterAmpersand) return false;
        snprintf(out, 32, "&#%d;", letter);
        return true;
    case PlaceText:
        snprintf(out, 32, "&#%d;", letter);
        return true;
    case PlaceCdata: // the section ends for the reference, which decodes outside it
        snprintf(out, 32, "]]>&#%d;<![CDATA[", letter);
        return true;
    case PlaceCss: // "code" | "base" would read as two names where the line ends
    case PlaceCssString:
        snprintf(out, 32, "\\%06x", letter);
        return !escaped;
    case PlaceJsString:
        snprintf(out, 32, "\\x%02x", letter);
        return !escaped && !(place & PlaceShown);
    case PlaceJsonString:
        snprintf(out, 32, "\\u%04x", letter);
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

// In a tag a cut inside the word would leave two names, and no escape exists:
// the end of the white space after the word, where the line may be cut, or 0.
static size_t TagGapEnd(const Cut* c, const char* line, size_t n, size_t p) {
    size_t e = p + 8;
    while (e < n && (line[e] == ' ' || line[e] == '\t') && c->origins[e] != CutInserted &&
           (c->plan->places[c->origins[e]] & PlaceMask) == PlaceTag)
        e++;
    return e > p + 8 && e < n ? e : 0;
}

// Whether the "codebase" at `p` is followed by the marker's second word, with
// no more between them than may stand there in a line meant as the marker.
static bool SecondWordAfter(const char* line, size_t n, size_t p) {
    static const char word[] = "random";
    size_t k = p + 8;
    for (size_t gap = 0; gap < 4 && k < n; gap++) {
        unsigned char b = (unsigned char)line[k];
        if (b != ' ' && b != '\t' && b != '_' && b != '-' && b != '.' && b != 0xA0 && b != 0xC2)
            break;
        k++;
    }
    if (n - k < 6) return false;
    for (size_t i = 0; i < 6; i++)
        if ((line[k + i] | 0x20) != word[i]) return false;
    return true;
}

// A line that is, or could be taken for, the end marker gets an escape for
// the first letter of each "codebase" on it, or a cut inside the word ("code"
// | "base"): the join gives the same bytes back, and no line is left with the
// word, which both markers need; in a tag, a cut after the white space that
// follows the word, written as tabs, and a refusal where the two words stand
// in one name (any cut in a tag's name would change it). 1011.dat is never
// cut, and the presenter looks for no marker in it: a word there stays where
// no escape exists.
bool CutLineOut(Cut* c) {
    const char* line = c->line.bytes;
    size_t n = c->line.length, from = 0;
    if (!n) return true;
    bool ok = true;
    for (size_t p = c->near(line, n) ? 0 : n; p < n && ok;) {
        if (!WordAt(line, n, p)) {
            p++;
            continue;
        }
        size_t origin = c->origins[p], gap = 0;
        char escape[32];
        bool tag = origin != CutInserted && (c->plan->places[origin] & PlaceMask) == PlaceTag;
        if (origin != CutInserted &&
            LetterEscape(c->plan->places[origin], (unsigned char)line[p],
                         p > 0 && line[p - 1] == '&', escape)) {
            ok = PackAppend(c->out, line + from, p - from) && PackAppendText(c->out, escape);
            from = ++p;
        } else if (!c->oneLine && tag && (gap = TagGapEnd(c, line, n, p)) != 0) {
            ok = PackAppend(c->out, line + from, p + 8 - from);
            for (size_t k = p + 8; k < gap && ok; k++) ok = PackAppend(c->out, "\t", 1);
            ok = ok && PackAppend(c->out, "\n", 1);
            from = p = gap;
        } else if (!c->oneLine && tag && SecondWordAfter(line, n, p)) {
            PackRefuse(&c->plan->refusal, PackPlanAuthor(c->plan, origin), PackReasonMarker,
                       "a name in a tag holds the words of the end marker \"codebase random>\" "
                       "with no space after \"codebase\": the presenter could take the line for "
                       "its end marker, and a tag has no escape for them; rename it");
            return false;
        } else if (!c->oneLine && tag) {
            p += 8;
        } else if (!c->oneLine) {
            ok = PackAppend(c->out, line + from, p + 4 - from) && PackAppend(c->out, "\n", 1);
            from = p += 4;
        } else {
            p++;
        }
    }
    ok = ok && PackAppend(c->out, line + from, n - from) && PackAppend(c->out, "\n", 1);
    c->line.length = 0;
    return ok;
}

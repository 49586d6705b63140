#include "authoring/PackPage.h"
#include "authoring/MarkerNear.h"
#include "authoring/PackLines.h"
#include "authoring/PageScan.h"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static const char kMarkerLine[] = "codebase random>\n";

static bool Append(PackBuffer* buffer, const char* bytes, size_t length) {
    if (length == 0) return true;
    if (length > buffer->room - buffer->length) {
        size_t room = buffer->room ? buffer->room : 256;
        while (room - buffer->length < length) {
            if (room > (size_t)-1 / 2) return false;
            room *= 2;
        }
        char* grown = (char*)realloc(buffer->bytes, room);
        if (!grown) return false;
        buffer->bytes = grown;
        buffer->room = room;
    }
    memcpy(buffer->bytes + buffer->length, bytes, length);
    buffer->length += length;
    return true;
}

static bool AppendText(PackBuffer* buffer, const char* text) {
    return Append(buffer, text, strlen(text));
}

void PackResultFree(PackResult* result) {
    for (PackBuffer& fragment : result->fragments) free(fragment.bytes);
    for (size_t i = 0; i < result->scriptCount; i++) free(result->scripts[i].bytes);
    free(result->scripts);
    memset(result, 0, sizeof *result);
}

// Spaces at an edge of a line, where the trim would take them: written as what
// they are in that place. Beside a value they are whitespace the page needs.
static bool SpacesWrite(PackBuffer* out, unsigned char place, size_t count, bool besideValue,
                        bool lineStart) {
    if (place == ScanKept || place == ScanValue) {
        for (size_t i = 0; i < count; i++)
            if (!AppendText(out, "&#32;")) return false;
        return true;
    }
    if (place == ScanScriptQuote) {
        for (size_t i = 0; i < count; i++)
            if (!AppendText(out, "\\x20")) return false;
        return true;
    }
    if (besideValue) return count == 0 || AppendText(out, "\t");
    // Indentation stays for the eye; the trim takes it, and nothing needs it.
    for (size_t i = 0; lineStart && i < count; i++)
        if (!AppendText(out, " ")) return false;
    return true;
}

// A written line that the presenter would take for the end marker, or that its
// check would take for a near one, gets its first letter as a reference where
// the page reads references.
static bool MarkerGuard(PackBuffer* out, size_t start, unsigned char place) {
    const char* line = out->bytes + start;
    size_t length = out->length - start;
    size_t a = 0, b = length;
    while (a < b && line[a] == ' ') a++;
    while (b > a && line[b - 1] == ' ') b--;
    bool exact = b - a == 16 && memcmp(line + a, "codebase random>", 16) == 0;
    if (!exact && !CheckNearMarker(line + a, b - a)) return true;
    if (place != ScanText && place != ScanKept && place != ScanValue) return true;
    for (size_t i = 0; i + 8 <= length; i++) {
        char c = line[i];
        if ((c != 'c' && c != 'C') || !CheckFindNoCase(line + i, 8, "codebase")) continue;
        size_t n = length - i - 1;
        char reference[8];
        snprintf(reference, sizeof reference, "&#%d;", c);
        char* rest = (char*)malloc(n ? n : 1);
        if (!rest) return false;
        memcpy(rest, line + i + 1, n);
        out->length = start + i;
        bool ok = AppendText(out, reference) && Append(out, rest, n);
        free(rest);
        return ok;
    }
    return true;
}

int PackPage(const char* page, size_t length, const char* insert, PackResult* result) {
    memset(result, 0, sizeof *result);
    PackPlan plan;
    if (!PackPlanMake(page, length, insert, &plan, result)) return 0;
    static const char* const kJoins[] = {"", "\t", "&#10;", "\t"};
    int fragment = 0;
    PackBuffer* out = &result->fragments[0];
    size_t holder = 0, script = 0; // the next value and the next script to go out
    PackBuffer* body = nullptr;    // the file a script's lines go to, while they do
    bool ok = true;
    for (size_t i = 0; ok && i < plan.lineCount; i++) {
        const PackLine& line = plan.lines[i];
        const char* text = page + line.start;
        size_t pos = 0, lineStart = out->length;
        bool afterValue = false;
        for (;;) {
            // The next cut on this line: a value, the ">" of a script that goes
            // out, or the "<" of its end tag.
            size_t cut = line.length;
            int what = 0;
            if (body && plan.scripts[script].closeLine == i) {
                cut = plan.scripts[script].closeColumn, what = 3;
            } else if (!body) {
                if (holder < plan.holderCount && plan.holders[holder].line == i)
                    cut = plan.holders[holder].column, what = 1;
                while (script < plan.scriptCount && !plan.scripts[script].out) script++;
                if (script < plan.scriptCount && plan.scripts[script].openLine == i &&
                    plan.scripts[script].openColumn < cut)
                    cut = plan.scripts[script].openColumn, what = 2;
            }
            if (body) {
                ok = Append(body, text + pos, cut - pos);
                if (what != 3) {
                    ok = ok && Append(body, "\n", 1);
                    break;
                }
                body = nullptr;
                pos = cut;
                script++;
                continue;
            }
            size_t a = pos, b = cut;
            while (a < b && text[a] == ' ') a++;
            while (b > a && text[b - 1] == ' ') b--;
            const PackHolder* h = what == 1 ? &plan.holders[holder] : nullptr;
            unsigned char lead = afterValue ? plan.holders[holder - 1].after : line.placeStart;
            if (a == b && a > pos) { // spaces only
                unsigned char place = h ? h->before : lead;
                ok = SpacesWrite(out, place, cut - pos, afterValue || h, pos == 0 && !h);
            } else {
                ok = SpacesWrite(out, lead, a - pos, afterValue, pos == 0) &&
                     Append(out, text + a, b - a);
                if (what == 1) ok = ok && SpacesWrite(out, h->before, cut - b, true, false);
                if (what == 0) ok = ok && SpacesWrite(out, line.placeEnd, cut - b, false, false);
            }
            if (what == 0) break;
            if (what == 2) {
                char reference[40];
                snprintf(reference, sizeof reference, "\tsrc=\"page-%lu.js\">",
                         (unsigned long)(result->scriptCount + 1));
                PackBuffer* grown = (PackBuffer*)realloc(
                    result->scripts, (result->scriptCount + 1) * sizeof(PackBuffer));
                if (grown) result->scripts = grown;
                ok = ok && grown && AppendText(out, reference);
                if (!ok) break;
                body = &result->scripts[result->scriptCount++];
                memset(body, 0, sizeof *body);
                pos = cut + 1;
                continue;
            }
            // A value: this fragment ends and the next one starts after it.
            if (out->length && out->bytes[out->length - 1] != '\n') ok = ok && Append(out, "\n", 1);
            if (fragment != 1)
                ok = ok && MarkerGuard(out, lineStart, line.placeStart) && AppendText(out, kMarkerLine);
            out = &result->fragments[++fragment];
            lineStart = 0;
            pos = cut + strlen(PackHolderText(h->kind));
            holder++;
            afterValue = true;
        }
        if (!ok || body) continue;
        if (i + 1 < plan.lineCount) ok = AppendText(out, kJoins[line.join]);
        if (fragment != 1) {
            ok = ok && MarkerGuard(out, lineStart, line.placeStart) && Append(out, "\n", 1);
        }
    }
    if (ok && out->length && out->bytes[out->length - 1] != '\n') ok = Append(out, "\n", 1);
    ok = ok && AppendText(out, kMarkerLine);
    PackPlanFree(&plan);
    if (!ok) {
        snprintf(result->message, sizeof result->message, "out of memory");
        return 0;
    }
    return 1;
}

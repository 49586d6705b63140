#include "authoring/scan/PackScript.h"
#include "authoring/scan/HtmlTokenizer.h"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

void PackMovesFree(PackMoves* moves) {
    for (size_t i = 0; i < moves->count; i++) PackBufferFree(&moves->moves[i].reference);
    free(moves->moves);
    memset(moves, 0, sizeof *moves);
}

static bool Lower(const char* s, size_t n, const char* word) {
    if (strlen(word) != n) return false;
    for (size_t i = 0; i < n; i++)
        if ((s[i] >= 'A' && s[i] <= 'Z' ? s[i] + 32 : s[i]) != word[i]) return false;
    return true;
}

// A path segment's dots as the URL parser counts them ("%2e" is a dot too).
static int Dots(const char* s, size_t n) {
    if (Lower(s, n, ".") || Lower(s, n, "%2e")) return 1;
    if (Lower(s, n, "..") || Lower(s, n, ".%2e") || Lower(s, n, "%2e.") || Lower(s, n, "%2e%2e"))
        return 2;
    return 0;
}

static bool IsAlpha(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The folders below the presentation's own that the base names: each segment
// but the last (the file's name), "." and ".." read as a URL reads them. The
// page stands in data/, so that is where a base of "" leaves it.
static int Reach(const char* p, size_t n, size_t* up, bool* data) {
    size_t depth = 1;
    bool firstData = true;
    for (size_t start = 0, k = 0; start <= n; k++) {
        size_t end = start;
        while (end < n && p[end] != '/' && p[end] != '\\') end++;
        bool last = end == n;
        int dots = Dots(p + start, end - start);
        if (dots == 2 && depth == 0) return 0; // above the presentation's folder
        if (dots == 2) depth--;
        if (!dots && last) break;
        // "C:" or "C|" first: a drive, from the root
        if (!dots && k == 0 && end - start == 2 && IsAlpha(p[start]) &&
            (p[start + 1] == ':' || p[start + 1] == '|'))
            return 0;
        if (!dots && depth++ == 0) firstData = end - start == 4 && memcmp(p + start, "data", 4) == 0;
        start = end + 1;
    }
    *data = depth == 0 || !firstData;
    *up = *data ? depth : depth - 1;
    return 1;
}

int PackBaseReach(const char* href, size_t length, size_t* up, bool* data) {
    // The URL parser drops C0 controls and spaces at both ends, and tabs and
    // line ends anywhere.
    while (length && (unsigned char)href[0] <= 0x20) href++, length--;
    while (length && (unsigned char)href[length - 1] <= 0x20) length--;
    char* p = (char*)malloc(length + 1);
    if (!p) return -1;
    size_t n = 0;
    for (size_t i = 0; i < length; i++)
        if (href[i] != '\t' && href[i] != '\n' && href[i] != '\r') p[n++] = href[i];
    size_t scheme = 0;
    while (scheme < n && (IsAlpha(p[scheme]) || (scheme && strchr("0123456789+-.", p[scheme]))))
        scheme++;
    int reached = 0;
    if (n && ((scheme && scheme < n && p[scheme] == ':') || p[0] == '/' || p[0] == '\\')) {
        reached = 0; // a scheme of its own, or a path from the root
    } else {
        size_t path = 0;
        while (path < n && p[path] != '?' && p[path] != '#') path++;
        reached = Reach(p, path, up, data);
    }
    free(p);
    return reached;
}

// Room for one more of `count` items of `size` bytes, by doubling (the room is
// a power of two from 8 on, so it is full exactly when `count` is one of them).
static bool RoomFor(void** items, size_t count, size_t size) {
    if (count < 8 ? count != 0 : (count & (count - 1)) != 0) return true;
    size_t room = count < 8 ? 8 : count * 2;
    if (room > (size_t)-1 / size) return false;
    void* grown = realloc(*items, room * size);
    if (!grown) return false;
    *items = grown;
    return true;
}

static bool NoteAdd(PackPlan* plan, size_t at, const char* message) {
    if (!RoomFor((void**)&plan->notes, plan->noteCount, sizeof(PackNote))) return false;
    plan->notes[plan->noteCount++] = {at, message};
    return true;
}

// A classic script that spans lines, to a file of its own: unless a value
// stands in it, or what it is would change there.
static int Move(PackPlan* plan, const PackRegion& r, PackMoves* moves) {
    PackRefusal* refusal = &plan->refusal;
    size_t at = PackPlanAuthor(plan, r.tagStart);
    for (int k = 0; k < PackValueCount; k++) {
        size_t v = plan->values[k], end = v + plan->valueLengths[k];
        if ((v >= r.contentStart && v < r.contentEnd) || (v < r.tagEnd && end >= r.tagEnd))
            return PackRefuse(
                refusal, plan->holders[k], PackReasonScriptValue,
                "%s stands in a script that spans lines: such a script goes whole to a file of "
                "its own, where no value reaches; give the value a one-line script of its own, "
                "such as <script>var pageWidth = {{width}};</script>, and use pageWidth here",
                PackHolderText(k));
    }
    if (!r.closed)
        return PackRefuse(refusal, at, PackReasonScriptOpen,
                          "a script that spans lines is never closed, so it can't go to a file of "
                          "its own; end it with </script>");
    if (r.src)
        return PackRefuse(refusal, at, PackReasonScriptSrc,
                          "a script with src holds lines of its own, which browsers never run and "
                          "the join would change; remove them");
    if (r.blocker)
        return PackRefuse(refusal, at, PackReasonScriptAttribute,
                          "a script that spans lines goes to a file of its own, where its %s "
                          "attribute, which a script in the page ignores, would take effect; "
                          "remove it",
                          r.blocker);
    size_t number = moves->count + 1, up = 0;
    bool data = false;
    if (plan->base && !r.baseBefore)
        return PackRefuse(refusal, at, PackReasonBase,
                          "a script that spans lines goes to a file of its own, page-%lu.js, "
                          "and a <base href> further down changes where some readers look for "
                          "it; put the <base> first in the head",
                          (unsigned long)number);
    int reached = plan->base ? PackBaseReach(plan->base, plan->baseLength, &up, &data) : 1;
    if (reached < 0) return PackRefuse(refusal, 0, PackReasonMemory, "out of memory");
    if (!reached)
        return PackRefuse(refusal, PackPlanAuthor(plan, plan->baseAt), PackReasonBase,
                          "<base href=\"%s\">: a script that spans lines goes to a file of its "
                          "own, data/page-%lu.js, which no relative path reaches from under this "
                          "base; give the base a folder of the presentation, such as media/",
                          plan->base, (unsigned long)number);
    if (!RoomFor((void**)&moves->moves, moves->count, sizeof(PackMove)))
        return PackRefuse(refusal, 0, PackReasonMemory, "out of memory");
    PackMove* move = &moves->moves[moves->count++];
    memset(move, 0, sizeof *move);
    move->gt = PackPlanAuthor(plan, r.tagEnd - 1);
    move->contentStart = PackPlanAuthor(plan, r.contentStart);
    move->contentEnd = PackPlanAuthor(plan, r.contentEnd);
    char name[40];
    snprintf(name, sizeof name, "%spage-%lu.js\"", data ? "data/" : "", (unsigned long)number);
    // After "type=" the ">" ends an empty value, and the src would become it.
    bool empty = plan->states[r.tagEnd - 1] == HtmlStateBeforeAttributeValue;
    bool ok = PackAppendText(&move->reference, empty ? "\"\"\tsrc=\"" : "\tsrc=\"");
    for (size_t i = 0; i < up && ok; i++) ok = PackAppendText(&move->reference, "../");
    if (!ok || !PackAppendText(&move->reference, name))
        return PackRefuse(refusal, 0, PackReasonMemory, "out of memory");
    return 1;
}

int PackScriptsPlan(PackPlan* plan, PackMoves* moves) {
    PackRefusal* refusal = &plan->refusal;
    for (size_t i = 0; i < plan->regionCount; i++) {
        const PackRegion& r = plan->regions[i];
        size_t at = PackPlanAuthor(plan, r.tagStart);
        if (r.kind == RegionModule && !r.lines &&
            !NoteAdd(plan, at, "a module script: the presenter's browser control runs no "
                               "module scripts; it stays in the page as it is"))
            return PackRefuse(refusal, 0, PackReasonMemory, "out of memory");
        if (!r.lines) continue;
        switch (r.kind) {
        case RegionClassic:
            if (!Move(plan, r, moves)) return 0;
            break;
        case RegionModule:
            return PackRefuse(refusal, at, PackReasonModule,
                              "a module script that spans lines: the presenter's browser control "
                              "runs no module scripts, and browsers load none from a file of its "
                              "own; make it a classic script");
        case RegionJson:
            if (r.valid) break;
            return PackRefuse(refusal, at, PackReasonLines,
                              "a JSON block (<script type=\"%s\">) that spans lines is no valid "
                              "JSON, so the join would change its text; make it valid JSON, or "
                              "one line",
                              r.type);
        case RegionData:
            return PackRefuse(refusal, at, PackReasonLines,
                              "a <script type=\"%s\"> that spans lines: browsers keep its text as "
                              "it is, the join takes its line ends, and nothing can stand for them "
                              "there; put the text in a <template>, or in a <pre> with &#10; for "
                              "each line end",
                              r.type);
        case RegionXmp:
        case RegionPlaintext:
            return PackRefuse(refusal, at, PackReasonLines,
                              "%s that spans lines: its text keeps its line ends, the join takes "
                              "them, and references mean nothing there; use a <pre> with &lt; "
                              "for < and &#10; for each line end",
                              r.kind == RegionXmp ? "an <xmp>" : "a <plaintext>");
        default:
            break;
        }
    }
    return 1;
}

bool PackScriptText(const PackPlan* plan, const PackMove& move, PackBuffer* out) {
    const char* page = plan->page;
    for (size_t i = move.contentStart; i < move.contentEnd; i++) {
        if (page[i] != '\r') {
            size_t run = i;
            while (run < move.contentEnd && page[run] != '\r') run++;
            if (!PackAppend(out, page + i, run - i)) return false;
            i = run - 1;
            continue;
        }
        if (i + 1 < move.contentEnd && page[i + 1] == '\n') i++;
        if (!PackAppend(out, "\n", 1)) return false;
    }
    return true;
}

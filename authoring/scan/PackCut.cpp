// The stream, fragment by fragment: line ends replaced by their place, spaces
// at a line's edge escaped, moved scripts left out; cut after each line end.
#include "authoring/scan/PackCutSteps.h"
#include <string.h>

static const char kMarkerLine[] = "codebase random>\n";

static bool CssWhite(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

// What stands for a space at a line's edge in its place, or null where
// nothing does. `followed`: the next byte written after it is white space,
// which a CSS escape would take; `beforeValue`: the value comes next.
static const char* SpaceEscape(unsigned char place, bool followed, bool beforeValue,
                               const char** where) {
    bool escaped = (place & PlaceEscaped) != 0, shown = (place & PlaceShown) != 0;
    *where = escaped ? "that an escape takes" : "in raw text (<xmp>, <plaintext>, a <script> of "
                                                "a type browsers don't run)";
    switch (place & PlaceMask) {
    case PlaceText: return "&#32;";
    case PlaceTag: case PlaceHidden: case PlaceCss: case PlaceCssComment: case PlaceJsonCode:
        return "\t";
    case PlaceCdata: return "]]>&#32;<![CDATA[";
    case PlaceCssString:
        if (followed && beforeValue) *where = "in a CSS string, before white space";
        if (escaped || (followed && beforeValue)) return nullptr;
        return followed ? "\\000020 " : "\\000020";
    case PlaceJsCode: case PlaceJsString:
        if (shown) *where = "in a script that may read its functions' source text, which a tab "
                            "or an escape would change";
        if (shown || escaped) return nullptr;
        return (place & PlaceMask) == PlaceJsCode ? "\t" : "\\x20";
    case PlaceJsonString: return escaped ? nullptr : "\\u0020";
    case PlaceJsLiteral: *where = "in a template literal or a regular expression"; return nullptr;
    default: return nullptr;
    }
}

struct Segment {
    size_t from, to; // the page's bytes
    size_t filled;   // where `from` stands in the filled page
    int before, after; // the values on either side, or -1
};

static size_t Filled(const Segment& s, size_t at) {
    return s.filled + (at - s.from);
}

static int SpaceRefuse(Cut* c, const Segment& s, size_t at, bool trailing, const char* where) {
    int value = trailing ? s.after : s.before;
    return PackRefuse(&c->plan->refusal, at, PackReasonSpace,
                      "a space beside %s %s: the trim takes it, and no escape keeps it there; "
                      "write the value with no space beside it",
                      value >= 0 ? PackHolderText(value) : "the line's edge", where);
}

// Spaces [i, j): the first escaped at a line's start, the last before a value.
static int Spaces(Cut* c, const Segment& s, size_t i, size_t j, bool leading, bool trailing) {
    const PackPlan* plan = c->plan;
    if (!leading && !trailing) return CutPut(c, plan->page + i, j - i, Filled(s, i));
    for (size_t k = i; k < j; k++) {
        bool edge = (k == i && leading) || (k == j - 1 && trailing);
        if (!edge) {
            if (!CutPut(c, " ", 1, Filled(s, k))) return 0;
            continue;
        }
        size_t f = Filled(s, k);
        bool last = k == j - 1;
        bool followed = last ? f + 1 < plan->filledLength && CssWhite(plan->filled[f + 1])
                             : !(k + 1 == j - 1 && trailing);
        const char* where = "";
        const char* escape = SpaceEscape(plan->places[f], followed, last && trailing, &where);
        if (!escape) return SpaceRefuse(c, s, k, last && trailing, where);
        if (!CutPut(c, escape, strlen(escape), CutInserted)) return 0;
    }
    return 1;
}

// A line end at `at`: 1 when the line may be cut after what stands for it,
// 0 when it stands for nothing (the line goes on), -1 refused.
static int LineEnd(Cut* c, const Segment& s, size_t at) {
    PackPlan* plan = c->plan;
    size_t f = Filled(s, at);
    unsigned char place = plan->places[f];
    // A \ of the page's own just before the line end (not the value's last byte).
    bool lone = (place & PlaceEscaped) && at > s.from && plan->page[at - 1] == '\\';
    bool valueLone = (place & PlaceEscaped) && at == s.from && f && plan->filled[f - 1] == '\\';
    const char* with = nullptr;
    switch (place & PlaceMask) {
    case PlaceText: with = "&#10;"; break;
    case PlaceCdata: with = "]]>&#10;<![CDATA["; break;
    case PlaceTag: case PlaceHidden: case PlaceCssComment: case PlaceJsonCode: with = "\t"; break;
    case PlaceCss:
        if (lone || valueLone)
            return PackRefuse(&plan->refusal, at, PackReasonStyleLine,
                              "a \\ at the end of a line of a style sheet: joined, it escapes the "
                              "next line's first character; remove it") - 1;
        // The white space that ends an escape (\2 and a line end): a tab ends it
        // as well, and the line goes on, so that the name goes on after it.
        if (place & PlaceEscaped)
            return CutPut(c, "\t", 1, CutInserted) ? 0 : PackRefuse(&plan->refusal, 0,
                                                                     PackReasonMemory,
                                                                     "out of memory") - 1;
        with = "\t";
        break;
    case PlaceCssString:
        // A \ before the line end goes on with the string: the two mean nothing.
        if (lone) {
            c->line.length--;
            return 0;
        }
        // The white space that ends an escape: a tab ends it as well. The line
        // goes on, so that no line of the fragment ends inside the string.
        if ((place & PlaceEscaped) && !valueLone)
            return CutPut(c, "\t", 1, CutInserted) ? 0 : PackRefuse(&plan->refusal, 0,
                                                                     PackReasonMemory,
                                                                     "out of memory") - 1;
        return PackRefuse(&plan->refusal, at, PackReasonStyleLine,
                          "a line end inside a CSS string: browsers end the string there and "
                          "drop what it stands in; close the string on its line, or end the line "
                          "with \\ to go on") - 1;
    default:
        return PackRefuse(&plan->refusal, at, PackReasonLines,
                          "a line end where nothing can stand for it") - 1;
    }
    return CutPut(c, with, strlen(with), CutInserted) ? 1 : PackRefuse(&plan->refusal, 0,
                                                                        PackReasonMemory,
                                                                        "out of memory") - 1;
}

static int SegmentWrite(Cut* c, const Segment& s) {
    const char* page = c->plan->page;
    const PackMoves* moves = c->moves;
    bool lineStart = true, ok = true;
    for (size_t i = s.from; i < s.to && ok;) {
        while (c->move < moves->count && moves->moves[c->move].contentStart < i) c->move++;
        if (c->move < moves->count) {
            const PackMove& m = moves->moves[c->move];
            if (i == m.contentStart) {
                i = m.contentEnd;
                c->move++;
                continue;
            }
            if (i == m.gt) ok = CutPut(c, m.reference.bytes, m.reference.length, CutInserted);
        }
        char ch = page[i];
        if (ch == '\r' || ch == '\n') {
            int cut = LineEnd(c, s, i);
            if (cut < 0) return 0;
            i += ch == '\r' && i + 1 < s.to && page[i + 1] == '\n' ? 2 : 1;
            if (cut && !c->oneLine) {
                ok = CutLineOut(c);
                lineStart = true;
            }
            continue;
        }
        if (ch == ' ') {
            size_t j = i;
            while (j < s.to && page[j] == ' ') j++;
            if (!Spaces(c, s, i, j, lineStart, j == s.to)) return 0;
            lineStart = false;
            i = j;
            continue;
        }
        ok = CutPut(c, page + i, 1, Filled(s, i));
        lineStart = false;
        i++;
    }
    return ok ? 1 : PackRefuse(&c->plan->refusal, 0, PackReasonMemory, "out of memory");
}

int PackCutMake(PackPlan* plan, const PackMoves* moves, PackMarkerTest near,
                PackBuffer fragments[PackFragmentCount]) {
    Cut c;
    memset(&c, 0, sizeof c);
    c.plan = plan;
    c.moves = moves;
    c.near = near;
    int ok = 1;
    for (int k = 0; k < PackFragmentCount && ok; k++) {
        Segment s;
        s.from = k ? plan->holders[k - 1] + strlen(PackHolderText(k - 1)) : 0;
        s.to = k < PackValueCount ? plan->holders[k] : plan->length;
        s.filled = k ? plan->values[k - 1] + plan->valueLengths[k - 1] : 0;
        s.before = k - 1;
        s.after = k < PackValueCount ? k : -1;
        c.out = &fragments[k];
        c.oneLine = k == 1;
        ok = SegmentWrite(&c, s);
        if (ok && (!CutLineOut(&c) || (k != 1 && !PackAppendText(c.out, kMarkerLine))))
            ok = PackRefuse(&plan->refusal, 0, PackReasonMemory, "out of memory");
    }
    CutFree(&c);
    return ok && !plan->refusal.reason;
}

// Which rules of a sheet pick an element, and what wins among them.
#include "authoring/scan/CssRules.h"
#include <string.h>

static bool SameName(const char* a, const char* b, size_t n, bool anyCase) {
    for (size_t i = 0; i < n; i++) {
        char x = a[i], y = b[i];
        if (anyCase && x >= 'A' && x <= 'Z') x = (char)(x | 0x20);
        if (anyCase && y >= 'A' && y <= 'Z') y = (char)(y | 0x20);
        if (x != y) return false;
    }
    return true;
}

static bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

static bool HasClass(const CssElement* e, const char* name, size_t n) {
    if (!e->classes) return false;
    for (size_t i = 0; i < e->classesLength;) {
        while (i < e->classesLength && IsSpace(e->classes[i])) i++;
        size_t start = i;
        while (i < e->classesLength && !IsSpace(e->classes[i])) i++;
        if (i - start == n && n && SameName(e->classes + start, name, n, e->quirks)) return true;
    }
    return false;
}

// Whether the selector part at `at` picks the element; its weight in
// `specificity` (ids, classes, types, a byte each). `at` moves past it.
static bool Picks(const CssSheet* s, size_t* at, const CssElement* e, uint32_t* specificity) {
    const char* b = s->bytes;
    size_t i = *at + 1;
    bool picks = true;
    *specificity = 0;
    while (b[i]) {
        char kind = b[i];
        size_t n = (unsigned char)b[i + 1];
        const char* name = b + i + 2;
        if (kind == 't') {
            picks = picks && e->nameLength == n && SameName(e->name, name, n, true);
            *specificity += 1;
        } else if (kind == '#') {
            picks = picks && e->id && e->idLength == n && SameName(e->id, name, n, e->quirks);
            *specificity += 1 << 16;
        } else {
            picks = picks && HasClass(e, name, n);
            *specificity += 1 << 8;
        }
        i += 2 + n;
    }
    *at = i + 1;
    return picks;
}

struct Weight {
    bool important;
    uint32_t specificity; // past every selector's for a style attribute
    size_t order;
};

static bool Outranks(Weight a, Weight b) {
    if (a.important != b.important) return a.important;
    if (a.specificity != b.specificity) return a.specificity > b.specificity;
    return a.order >= b.order;
}

static int Shown(int value) { return value == CssWhiteInherit ? CssWhiteNone : value; }

CssVerdict CssWhiteSpaceOf(const CssSheet* sheet, const CssElement* e) {
    int value = CssWhiteNone;
    Weight best = {false, 0, 0};
    bool found = false;
    // first what holds for certain, then what only may
    for (int pass = 0; pass < 2; pass++) {
        for (size_t r = 0; r < sheet->ruleCount; r++) {
            const CssRule* rule = &sheet->rules[r];
            size_t at = rule->selectors;
            for (unsigned k = 0; k < rule->count; k++) {
                // the part is all of its selector, or more must hold (and weigh) besides
                bool whole = sheet->bytes[at] != 0;
                bool exact = whole && !rule->conditional;
                uint32_t specificity;
                if (!Picks(sheet, &at, e, &specificity)) continue;
                Weight w = {rule->important, specificity, r + 1};
                if (pass == 0 && exact && (!found || Outranks(w, best))) {
                    best = w, value = rule->value, found = true;
                } else if (pass == 1 && !exact && Shown(rule->value) != Shown(value) &&
                           (!whole || !found || Outranks(w, best))) {
                    return CssVerdict{(unsigned char)Shown(value), true};
                }
            }
        }
        bool important = false;
        int inline_ = pass == 0 && e->style ? CssStyleWhiteSpace(e->style, e->styleLength, sheet->ansi, &important)
                                            : CssWhiteNone;
        Weight w = {important, 0xFFFFFFFF, (size_t)-1}; // a style attribute weighs more than any selector
        if (inline_ != CssWhiteNone && (!found || Outranks(w, best))) best = w, value = inline_, found = true;
    }
    return CssVerdict{(unsigned char)Shown(value), sheet->failed};
}

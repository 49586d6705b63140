// The style-sheet reading on a table of cases that no reference parser here
// holds: where a style sheet leaves its last byte, and what the rules set for
// an element. Exits 1 with the failing rows named.
#include "authoring/scan/CssRules.h"
#include <stdio.h>
#include <string.h>

// A sheet of lines ('\n' stands for the caller's line end), and an element
// "name.class1.class2#id" with a style attribute.
struct Case {
    const char* sheet;
    const char* element;
    const char* style;
    int value;
    bool unsure;
};

enum { N = CssWhiteNone, K = CssWhiteKeeps, C = CssWhiteCollapses, U = CssWhiteUnknown };

static const Case kCases[] = {
    {"p { white-space: pre }", "p", 0, K, false},
    {"p { white-space: pre }", "div", 0, N, false},
    {".poem { white-space: pre-line }", "div.x.poem", 0, K, false},
    {"#addr{white-space:pre-wrap}", "p#addr", 0, K, false},
    {"#addr{white-space:pre-wrap}", "p#ADDR", 0, N, false},
    {"p.a { white-space: pre } p { white-space: normal }", "p.a", 0, K, false},
    {"p { white-space: pre } p { white-space: normal }", "p", 0, C, false},
    {"p { white-space: pre !important } p { white-space: normal }", "p", 0, K, false},
    {"p { white-space: normal }", "p", "white-space: pre", K, false},
    {"p { white-space: normal ! IMPORTANT }", "p", "white-space: pre", C, false},
    {"", "p", "color: red; white-space:pre-line", K, false},
    {"", "p", "white-space: pre; } white-space: normal", C, false},
    {"div p { white-space: pre }", "p", 0, N, true},
    {"div p { white-space: pre }", "span", 0, N, false},
    {"p:first-child { white-space: pre }", "p", 0, N, true},
    {"p > span, em{white-space:pre}", "em", 0, K, false},
    {"p > span, em{white-space:pre}", "span", 0, N, true},
    {"@media print { p { white-space: pre } }", "p", 0, N, true},
    {"@media print { p { white-space: pre } } p{white-space:pre}", "p", 0, K, false},
    {"@font-face { white-space: pre } p{}", "p", 0, N, false},
    {"p { white-space: inherit } p.a { white-space: pre }", "p", 0, N, false},
    {"p { white-space: var(--ws) }", "p", 0, U, false},
    {"p { white-space: revert }", "p", 0, U, false},
    {"p { white-space: foo }", "p", 0, N, false},
    {"P { WHITE-SPACE: PRE }", "p", 0, K, false},
    {"p { white-space: pre; white-space: normal }", "p", 0, C, false},
    {"\\70 { white-space: pre }", "p", 0, K, false},
    {".a\\:b { white-space: pre }", "p.a:b", 0, K, false},
    {".poem { white-space: pre }", "p.Poem", 0, N, false},
    {"p { white-space-collapse: preserve-breaks }", "p", 0, K, false},
    {"p { white-space-collapse: pre }", "p", 0, N, false},
    {"p { white-space: break-spaces }", "p", 0, K, false},
    {"p { white-space: preserve nowrap }", "p", 0, K, false},
    {"*{white-space:pre}", "td", 0, K, false},
    {"p, { white-space: pre }", "p", 0, K, false},
    {"p /* a */ { white-space: /* b */ pre }", "p", 0, K, false},
    {"p {\nwhite-space:\npre\n}", "p", 0, K, false},
    {"p { content: \"}\"; white-space: pre }", "p", 0, K, false},
    {"p { white-space: pre", "p", 0, K, false},                              // closed by the sheet's end
    {"p { white-space: pre\x01p { white-space: normal }", "p", 0, C, false}, // \x01: the next sheet
    {"p { white-space: pre } /* p { white-space: normal } */", "p", 0, K, false},
    {"p[title] { white-space: pre }", "p", 0, N, true},
    {"p { a: b { white-space: normal } white-space: pre }", "p", 0, N, false}, // all a's value
};

static void Element(const char* text, CssElement* e) {
    memset(e, 0, sizeof *e);
    const char* id = strchr(text, '#');
    const char* dot = strchr(text, '.');
    size_t nameEnd = strcspn(text, ".#");
    e->name = text;
    e->nameLength = nameEnd;
    if (dot && (!id || dot < id)) {
        // the class attribute: the classes with spaces between them
        static char classes[64];
        size_t n = (id ? (size_t)(id - dot) : strlen(dot)) - 1;
        for (size_t i = 0; i < n && i < sizeof classes; i++) classes[i] = dot[1 + i] == '.' ? ' ' : dot[1 + i];
        e->classes = classes;
        e->classesLength = n < sizeof classes ? n : sizeof classes;
    }
    if (id) {
        e->id = id + 1;
        e->idLength = strlen(id + 1);
    }
}

// Where the reader stands at the end of these lines.
struct Place {
    const char* text;
    CssPlace place;
};

static const Place kPlaces[] = {
    {"a { color: \"x", CssInString2},
    {"a { content: 'it\\'s", CssInString1},
    {"a { content: \"a\nb", CssOutside}, // the line end made it a bad string
    {"a { content: \"a\\\nb", CssInString2}, // a line continuation
    {"/* c", CssInComment},
    {"/* c */", CssOutside},
    {"a { b: url( x.png", CssInUrl},
    {"a { b: url( \"x.png", CssInString2},
    {"a { b: url(x) c", CssOutside},
};

static CssPlace PlaceAfter(const char* text) {
    CssRead read;
    CssStart(&read, false, nullptr, nullptr);
    uint32_t line = 1;
    for (const char* p = text;; line++) {
        size_t n = strcspn(p, "\n");
        CssFeed(&read, p, n, ScanPos{line, 1});
        if (!p[n]) break;
        CssLineEnd(&read, ScanPos{line, (uint32_t)n + 1});
        p += n + 1;
    }
    return CssPlaceNow(&read);
}

int main() {
    int failed = 0;
    for (const Case& c : kCases) {
        CssSheet sheet;
        CssSheetStart(&sheet, false);
        uint32_t line = 1;
        for (const char* p = c.sheet;; line++) {
            size_t n = strcspn(p, "\n\x01");
            CssSheetFeed(&sheet, p, n, ScanPos{line, 1});
            if (!p[n]) break;
            if (p[n] == '\n') CssSheetLineEnd(&sheet, ScanPos{line, (uint32_t)n + 1});
            else CssSheetNext(&sheet);
            p += n + 1;
        }
        CssSheetNext(&sheet);
        CssElement e;
        Element(c.element, &e);
        e.style = c.style;
        e.styleLength = c.style ? strlen(c.style) : 0;
        CssVerdict v = CssWhiteSpaceOf(&sheet, &e);
        if (v.value != c.value || v.unsure != c.unsure) {
            printf("css rules: \"%s\" for %s (style \"%s\"): %d%s, expected %d%s\n", c.sheet, c.element,
                   c.style ? c.style : "", v.value, v.unsure ? " unsure" : "", c.value, c.unsure ? " unsure" : "");
            failed++;
        }
        CssSheetFree(&sheet);
    }
    for (const Place& p : kPlaces) {
        CssPlace place = PlaceAfter(p.text);
        if (place != p.place) {
            printf("css place: \"%s\": %d, expected %d\n", p.text, place, p.place);
            failed++;
        }
    }
    size_t total = sizeof kCases / sizeof *kCases + sizeof kPlaces / sizeof *kPlaces;
    printf("style sheets: %zu cases, %d failed\n", total, failed);
    return failed ? 1 : 0;
}

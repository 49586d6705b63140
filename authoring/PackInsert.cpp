#include "authoring/PackInsert.h"
#include "authoring/AuthorOutput.h"
#include "authoring/scan/HtmlEncoding.h"
#include "authoring/scan/PackPlan.h"
#include <windows.h>
#include <stdio.h>
#include <string.h>
#include <wchar.h>

// The presenter's line and column (in bytes) of a byte of the page.
static void PlaceOf(const char* page, size_t at, unsigned long* line, unsigned long* column) {
    size_t start = 0;
    *line = 1;
    for (size_t i = 0; i < at; i++) {
        if (page[i] == '\n' || page[i] == 0 || (page[i] == '\r' && page[i + 1] != '\n')) {
            ++*line;
            start = i + 1;
        }
    }
    *column = (unsigned long)(at - start + 1);
}

static const char* WhereName(unsigned char where) {
    static const char* const kNames[] = {"text", "text", "an attribute value", "a tag",
                                         "a comment", "a CDATA section", "a style sheet",
                                         "a script", "a data block", "raw text"};
    return where < sizeof kNames / sizeof kNames[0] ? kNames[where] : "raw text";
}

// Where the page reads "&#69;" as "E" at each {{insert}} (nothing of a comment
// shows, so a reference there harms nothing); 0 with the first that doesn't in
// `first`. The page is read with a plain letter for the insert text, whose own
// markup is the author's to answer for. A page pack can't read counts as read
// alike: pack refuses it later, with its reason.
static int InsertReferencesRead(const char* page, size_t length, PackValueWhere* first,
                                bool* memory) {
    PackValueWhere where[PackValueCount];
    PackRefusal refusal = {};
    *memory = true;
    if (!PackValuesWhere(page, length, "x", where, &refusal)) {
        *memory = refusal.reason != PackReasonMemory;
        PackRefusalFree(&refusal);
        return *memory;
    }
    for (int k = 2; k <= 3; k++) {
        if (where[k].references || where[k].where == WhereComment) continue;
        *first = where[k];
        return 0;
    }
    return 1;
}

// The code page the page is written in, and how that is known, for the line
// that says it.
static unsigned PageCodePage(const char* page, size_t length, char* how, size_t room) {
    HtmlEncodingFound found = HtmlEncodingSniff(page, length);
    if (found.encoding == HtmlNoEncoding) {
        snprintf(how, room, "the ANSI code page %u: the page declares no encoding, and the "
                 "browser control reads it in this system's code page", GetACP());
        return GetACP();
    }
    static const char* const kSources[] = {"", "its byte order mark", "its <meta charset>",
                                           "its <meta http-equiv=\"Content-Type\">",
                                           "its first bytes"};
    const char* name = HtmlEncodingName(found.encoding);
    unsigned codePage = HtmlEncodingCodePage(found.encoding);
    if (codePage && codePage != 65001 && !IsValidCodePage(codePage)) codePage = 0;
    int n = snprintf(how, room, "%s, as the page declares with %s", name, kSources[found.source]);
    unsigned long line, column;
    PlaceOf(page, found.at, &line, &column);
    if (n > 0 && (size_t)n < room && found.source >= HtmlEncodingMeta && found.source <= HtmlEncodingPragma)
        snprintf(how + n, room - (size_t)n, " on line %lu", line);
    return codePage;
}

// Why characters became references, or must: `detail` adds what the settings
// can't hold.
static const char* Reasons(const InsertCoded& coded, const char* how, bool detail) {
    static char reasons[400];
    snprintf(reasons, sizeof reasons, "%s%s%s%s%s%s",
             coded.forSettings ? "the settings can't hold them as characters" : "",
             coded.forSettings && detail ? " (E, O and R encipher to a line end or a zero byte, "
                                           "e at either end of the value to a space, which is "
                                           "trimmed)"
                                         : "",
             coded.forSettings && coded.forEncoding ? ", or " : "",
             coded.forEncoding ? "the page's encoding can't write them" : "",
             coded.forEncoding && detail ? ": " : "", coded.forEncoding && detail ? how : "");
    return reasons;
}

int PackInsertPlain(const char* pageName, const char* page, size_t length, const wchar_t* insert,
                    bool entities, InsertCoded* coded, int* code) {
    memset(coded, 0, sizeof *coded);
    *code = 1;
    if (wcspbrk(insert, L"\r\n")) {
        ErrPrint("--insert: the insert text holds a line end; it is one line of the settings\n");
        *code = 2;
        return 0;
    }
    PackValueWhere first = {};
    bool memory = true;
    bool references = InsertReferencesRead(page, length, &first, &memory) != 0;
    if (!memory) {
        ErrPrint("%s: out of memory\n", pageName);
        return 0;
    }
    unsigned long line = 0, column = 0;
    if (!references) PlaceOf(page, first.at, &line, &column);
    char how[200];
    unsigned codePage = PageCodePage(page, length, how, sizeof how);
    int ok = InsertEncode(insert, codePage, references || entities, coded);
    if (!ok && !coded->bytes) {
        ErrPrint("--insert: out of memory\n");
        return 0;
    }
    if (!ok) {
        ErrPrint("%s:%lu:%lu: {{insert}} stands in %s, where the page reads no references "
                 "(\"&#69;\"), and the insert text holds %s: %s; nothing is written\n",
                 pageName, line, column, WhereName(first.where), coded->shown,
                 Reasons(*coded, how, true));
        InsertCodedFree(coded);
        *code = 2;
        return 0;
    }
    if (coded->nonAscii) OutPrint("--insert: the insert text in %s\n", how);
    if (coded->forSettings || coded->forEncoding) {
        if (references)
            OutPrint("--insert: written with references, which the page reads where each "
                     "{{insert}} stands: %s (%s)\n",
                     coded->shown, Reasons(*coded, how, false));
        else
            OutPrint("%s:%lu:%lu: warning: --entities wrote %s, but {{insert}} stands in %s, "
                     "where the page shows a reference as it is written\n",
                     pageName, line, column, coded->shown, WhereName(first.where));
    }
    *code = 0;
    return 1;
}

#include "authoring/PackInsert.h"
#include "authoring/AuthorOutput.h"
#include "authoring/InsertPlace.h"
#include "authoring/scan/HtmlEncoding.h"
#include <windows.h>
#include <stdio.h>
#include <string.h>
#include <wchar.h>

static size_t LineOf(const char* page, size_t at) {
    size_t line = 1;
    for (size_t i = 0; i < at; i++)
        if (page[i] == '\n' || page[i] == 0 || (page[i] == '\r' && page[i + 1] != '\n')) line++;
    return line;
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
    if (n > 0 && (size_t)n < room && found.source >= HtmlEncodingMeta && found.source <= HtmlEncodingPragma)
        snprintf(how + n, room - (size_t)n, " on line %lu", (unsigned long)LineOf(page, found.at));
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
    InsertPlace places[8];
    size_t count = 0;
    if (!InsertPlacesFind(page, length, places, 8, &count)) {
        ErrPrint("%s: out of memory\n", pageName);
        return 0;
    }
    const InsertPlace* first = nullptr;
    bool references = InsertPlaceAll(places, count, &first) != 0;
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
                 pageName, (unsigned long)first->line, (unsigned long)first->column, first->what,
                 coded->shown, Reasons(*coded, how, true));
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
                     pageName, (unsigned long)first->line, (unsigned long)first->column,
                     coded->shown, first->what);
    }
    *code = 0;
    return 1;
}

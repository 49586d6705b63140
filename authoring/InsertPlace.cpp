#include "authoring/InsertPlace.h"
#include "authoring/scan/HtmlRead.h"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static const char kInsert[] = "{{insert}}";

struct PlaceReading {
    InsertPlace* places;
    size_t count;
    size_t named; // places that know the last start tag before them
    char last[16]; // the name of the last start tag read, lower case
};

static void Named(PlaceReading* reading, size_t upTo) {
    for (; reading->named < reading->count && reading->places[reading->named].at < upTo;
         reading->named++)
        snprintf(reading->places[reading->named].what, sizeof reading->places[0].what, "%s",
                 reading->last);
}

static int PlaceTake(void* context, const HtmlTree*, const HtmlToken* token) {
    PlaceReading* reading = (PlaceReading*)context;
    if (token->kind != HtmlTokenStartTag) return 1;
    Named(reading, token->span.start);
    size_t n = token->textLength < sizeof reading->last ? token->textLength
                                                        : sizeof reading->last - 1;
    memcpy(reading->last, token->text, n);
    reading->last[n] = 0;
    return 1;
}

// What the state that reads the insert's "{" makes of it. RAWTEXT is named after
// its element (a style sheet, <xmp>, <noscript> ...).
static void PlaceJudge(InsertPlace* place, unsigned char state) {
    const char* what = nullptr;
    place->references = false;
    if (state == HtmlStateData || (state >= HtmlStateRcdataLessThan &&
                                   state <= HtmlStateRcdataEndTagName) ||
        state == HtmlStateRcdata) {
        what = "text", place->references = true;
    } else if (state >= HtmlStateAttributeValueDouble && state <= HtmlStateAttributeValueUnquoted) {
        what = "an attribute value", place->references = true;
    } else if (state >= HtmlStateBogusComment && state <= HtmlStateCommentEndBang) {
        // Nothing of a comment shows: a reference there harms nothing.
        what = "a comment", place->references = true;
    } else if (state == HtmlStateScriptData ||
               (state >= HtmlStateScriptLessThan && state <= HtmlStateScriptDoubleEscapeEnd)) {
        what = "a script";
    } else if (state == HtmlStateRawtext ||
               (state >= HtmlStateRawtextLessThan && state <= HtmlStateRawtextEndTagName)) {
        if (strcmp(place->what, "style") == 0) what = "a style sheet";
    } else if (state == HtmlStatePlaintext) {
        what = "the text of <plaintext>";
    } else if (state >= HtmlStateCdataSection && state <= HtmlStateCdataSectionEnd) {
        what = "a CDATA section";
    } else if (state >= HtmlStateDoctype && state <= HtmlStateBogusDoctype) {
        what = "the DOCTYPE";
    } else {
        what = "a tag";
    }
    if (what) {
        snprintf(place->what, sizeof place->what, "%s", what);
        return;
    }
    char name[16];
    snprintf(name, sizeof name, "%s", place->what);
    snprintf(place->what, sizeof place->what, "the raw text of <%s>", name);
}

int InsertPlacesFind(const char* page, size_t length, InsertPlace* places, size_t room,
                     size_t* count) {
    *count = 0;
    size_t line = 1, lineStart = 0;
    const size_t n = sizeof kInsert - 1;
    for (size_t i = 0; i < length && *count < room; i++) {
        // Lines end as the presenter reads them: LF, CR LF, a lone CR, a zero byte.
        if (page[i] == '\n' || page[i] == 0 ||
            (page[i] == '\r' && (i + 1 == length || page[i + 1] != '\n'))) {
            line++;
            lineStart = i + 1;
            continue;
        }
        if (page[i] != '{' || length - i < n || memcmp(page + i, kInsert, n) != 0) continue;
        InsertPlace& place = places[(*count)++];
        memset(&place, 0, sizeof place);
        place.at = i;
        place.line = line;
        place.column = i - lineStart + 1;
        i += n - 1;
    }
    if (*count == 0) return 1;
    unsigned char* states = (unsigned char*)malloc(length);
    if (!states) return 0;
    PlaceReading reading = {places, *count, 0, ""};
    int read = HtmlRead(page, length, states, PlaceTake, &reading);
    Named(&reading, length);
    for (size_t k = 0; read && k < *count; k++) {
        InsertPlace& place = places[k];
        // A reference's states give way to the state that read its "&".
        size_t at = place.at;
        while (at > 0 && states[at] >= HtmlStateCharacterReference) at--;
        // In text after "<" or "</", the insert text starts a tag.
        bool afterOpen = (place.at >= 1 && page[place.at - 1] == '<') ||
                         (place.at >= 2 && page[place.at - 2] == '<' && page[place.at - 1] == '/');
        unsigned char state = states[at];
        PlaceJudge(&place, afterOpen && state == HtmlStateData ? (unsigned char)HtmlStateTagOpen
                                                               : state);
    }
    free(states);
    return read;
}

int InsertPlaceAll(const InsertPlace* places, size_t count, const InsertPlace** first) {
    for (size_t k = 0; k < count; k++) {
        if (places[k].references) continue;
        *first = &places[k];
        return 0;
    }
    return 1;
}

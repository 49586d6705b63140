#include "authoring/CheckWords.h"
#include "authoring/AuthorEscape.h"
#include "authoring/CheckRead.h"
#include "authoring/scan/JsJoin.h"
#include "authoring/scan/JsNewer.h"
#include <stdio.h>
#include <string.h>

enum { WordMost = 24 };

static bool IsSpace(unsigned char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

// The piece of the page that ends just before `at`: a tag whole, or a word
// (`text`: a word of text, whatever it ends with).
static void WordBefore(const char* page, size_t at, bool text, char* out) {
    size_t n = 0;
    if (!text && at && page[at - 1] == '>') {
        while (n < at && n < WordMost && page[at - n - 1] != '<') n++;
        if (n < at && n < WordMost) n++;
    } else {
        while (n < at && n < WordMost && !IsSpace((unsigned char)page[at - n - 1]) &&
               (page[at - n - 1] != '>' || (text && n == 0)))
            n++;
    }
    if (!n && at) n = 1;
    AuthorEscape(page + at - n, n, out);
}

// The piece that starts at `at`: a tag whole, or a word.
static void WordAfter(const char* page, size_t length, size_t at, bool text, char* out) {
    size_t n = 0;
    if (!text && at < length && page[at] == '<') {
        while (at + n < length && n < WordMost && page[at + n] != '>') n++;
        if (at + n < length && n < WordMost) n++;
    } else {
        while (at + n < length && n < WordMost && !IsSpace((unsigned char)page[at + n]) &&
               (page[at + n] != '<' || (text && n == 0)))
            n++;
    }
    if (!n && at < length) n = 1;
    AuthorEscape(page + at, n, out);
}

// An element's name from its start tag at `tag`.
static void NameAt(const char* page, size_t length, size_t tag, char* out) {
    size_t n = 0;
    while (tag + 1 + n < length && n < WordMost && !IsSpace((unsigned char)page[tag + 1 + n]) &&
           page[tag + 1 + n] != '>' && page[tag + 1 + n] != '/')
        n++;
    AuthorEscape(page + tag + 1, n, out);
}

static const char* ScriptReason(int reason) {
    static const char* const kReasons[] = {
        "the script changes",
        "two of its words run together",
        "the comment on this line takes in what follows, up to the end of the script, and the "
        "script silently does less",
        "a /* */ comment ends at another place",
        "the --> on the next line no longer starts a line and is read as code",
        "a string goes on past this line end, and the join takes the line end out of it",
        "the string's line continuation meets the next line's first character",
        "a template literal holds this line break, and the join takes it out",
        "a regular expression runs into the next line",
        "the statement ends only at this line end, and the next line goes on with it",
        "a return, break, continue, throw or yield ends at this line end, and the next line "
        "goes on with it",
        "the ++ or -- that starts the next line belongs to this one",
        "the => that starts the next line belongs to this one",
        "the async at the end of this line makes a function of what follows",
        "an arrow function's body ends the statement here, and the next line goes on with it",
        "it is nested deeper than check follows"};
    return reason >= 0 && reason < (int)(sizeof kReasons / sizeof *kReasons) ? kReasons[reason]
                                                                          : kReasons[0];
}

static const char* MarkupReason(int reason) {
    static const char* const kReasons[] = {
        "read differently", "make or break a tag", "end or start a comment at another place",
        "make or break the end tag of a script, a style sheet or other raw text",
        "make or break a character reference"};
    return reason >= 0 && reason < 5 ? kReasons[reason] : kReasons[0];
}

void CheckJoinWords(const JoinFinding& f, const char* page, size_t length, size_t cutEnd,
                    const char* value, char* out) {
    bool lineEnd = !value;
    char spaces[64];
    snprintf(spaces, sizeof spaces, "the spaces beside %s", value ? value : "");
    char before[4 * WordMost + 1] = "", after[4 * WordMost + 1] = "", name[4 * WordMost + 1] = "";
    if (f.cut != (size_t)-1) {
        bool text = f.kind == JoinGlueText;
        WordBefore(page, text ? f.nameAt : f.at, text, before);
        WordAfter(page, length, text ? f.nameAt + f.nameLength : cutEnd, text, after);
    }
    char what[80];
    snprintf(what, sizeof what, "%s %s", lineEnd ? "the line end" : spaces, lineEnd ? "is" : "are");
    const char* join = lineEnd ? "joined, they run together"
                               : "the presenter trims them away, and the two run together";
    const size_t room = CheckMessageMax;
    switch (f.kind) {
    case JoinGlueText:
        snprintf(out, room, "%s the only space between \"%s\" and \"%s\": %s", what, before, after, join);
        return;
    case JoinKeepLost:
        NameAt(page, length, f.nameAt, name);
        snprintf(out, room, "the line breaks and spaces inside <%s> show on the page, and %s: %s",
                 name, lineEnd ? "the join takes them away" : "the presenter trims away those beside it",
                 lineEnd ? "its lines run together" : "they are lost");
        return;
    case JoinTagGlue:
        snprintf(out, room, "%s the only space in a tag between \"%s\" and \"%s\": %s", what, before, after, join);
        return;
    case JoinMarkup:
        snprintf(out, room, "joined, \"%s\" and \"%s\" %s, and the page reads differently from here on",
                 before, after, MarkupReason(f.reason));
        return;
    case JoinValue:
        AuthorEscape(page + f.nameAt, f.nameLength < (size_t)WordMost ? f.nameLength : (size_t)WordMost, name);
        snprintf(out, room, "the value of %s holds %s: %s", name,
                 lineEnd ? "this line end, and the join takes it out of the value" : spaces,
                 lineEnd ? "it loses its line break" : "the presenter trims them away");
        return;
    case JoinClassGlue:
        snprintf(out, room, "%s the only space between the class names \"%s\" and \"%s\": %s", what, before, after, join);
        return;
    case JoinScriptLine:
        snprintf(out, room, "the script %s this line end: joined, %s",
                 f.effect == JsChanges ? "needs" : "may need", ScriptReason(f.reason));
        return;
    case JoinScriptSpaces:
        snprintf(out, room, "%s stand in a string of the script, or between \"%s\" and \"%s\": the "
                 "presenter trims them away, and the script changes", spaces, before, after);
        return;
    case JoinStyleGlue:
        snprintf(out, room, "%s the only space in the style sheet between \"%s\" and \"%s\": %s", what, before, after, join);
        return;
    case JoinStyleString:
        snprintf(out, room, "a string or url() of the style sheet holds %s: %s", lineEnd ? "this line end" : spaces,
                 lineEnd ? "joined, it loses it" : "the presenter trims them away");
        return;
    case JoinStyleComment:
        snprintf(out, room, "joined, the \"*\" and \"/\" on either side of this line end close the style "
                 "sheet's comment here, and what follows becomes part of the sheet");
        return;
    case JoinJson:
        snprintf(out, room, "the JSON data holds %s in a string, or between two values: %s",
                 lineEnd ? "this line end" : spaces,
                 lineEnd ? "joined, it changes" : "the presenter trims them away, and it changes");
        return;
    case JoinDataBlock:
        snprintf(out, room, "this script's text is data, read exactly as written (its type is none "
                 "that browsers run): the join runs its lines together");
        return;
    case JoinNewer:
        snprintf(out, room, "the presenter's browser control stops this script here: it does not run "
                 "%s (newer than ES5), so none of this script runs", JsNewerName(f.reason));
        return;
    case JoinModule:
        snprintf(out, room, "the presenter's browser control runs no modules: this <script "
                 "type=\"module\"> never runs");
        return;
    case JoinNoDocumentMode:
        snprintf(out, room, "warning: the page declares no document mode (<meta "
                 "http-equiv=\"X-UA-Compatible\" content=\"IE=edge\">): the presenter's browser "
                 "control then shows it in its oldest standards mode, where most of today's "
                 "styles and scripts fail");
        return;
    }
    snprintf(out, room, "joined, the page changes here");
}

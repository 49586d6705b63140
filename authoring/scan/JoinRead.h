// A page (as written, or as joined) read as a reader meets it, into items for
// the join's judge to hold side by side: each character of shown text, each
// tag (its name, its attributes' names and unquoted values; block or inline),
// and between two items, whether white space stood there. Text inside <pre>,
// <listing>, <xmp>, <plaintext>, <textarea>, SVG text with xml:space="preserve"
// and elements that the page's own styles make keep their white space is
// kept character for character, white space too; elsewhere white space is only
// a mark on the next item. Comments, scripts, style sheets and the raw text of
// <noscript>, <iframe>, <noembed> and <noframes> make no items: scripts and
// style sheets are judged in their own languages as the written page is read
// (JoinContent). Pure byte rules; what is read grows on the heap.
//   JoinReadSheet  the page's style sheets into `sheet`, for the rules that keep
//                  white space
//   JoinReadPage   reads the page into `items`: 1, or 0 when memory ran out
//   JoinReadFree   gives back what the reading holds
#pragma once
#include "authoring/scan/CssRules.h"
#include "authoring/scan/JoinContent.h"

enum JoinItemKind { JoinItemContent, JoinItemInline, JoinItemBlock };

struct JoinItem {
    uint32_t key;
    unsigned char kind;  // JoinItemKind
    bool spaced;         // white space stands between it and the content or block before it
    bool afterContent;   // what stands before it (inline tags aside) is content
    size_t at, end;      // its bytes in the written page
    size_t gapStart;     // where the content or block before it ends
    size_t element;      // text kept as written: its element's start tag, else (size_t)-1
};

// An open element as the reading sees it. The element itself may be gone
// once the tree has closed it: only its place is compared then.
struct JoinFrame {
    const HtmlElement* element;
    size_t tagStart, tagEnd;
    uint32_t name; // a hash of its name in lower case
    unsigned char ns;
    unsigned char text; // JoinText
    bool block, keep, dropLf;
    size_t keepElement;
};

struct JoinReading {
    const char* bytes; // the page read
    size_t length;
    const size_t* toWritten; // the joined page: each byte's place in the written page
    unsigned char* states;   // room for `length`: the state that reads each byte
    const CssSheet* sheet;
    JoinContent* content; // the written page's judges, or null
    JoinItem* items;
    size_t count, room;
    JoinFrame* frames;
    size_t depth, frameRoom;
    bool space, lastContent, quirks, failed;
    bool lineFeed; // the text since the last tag ends with a line feed written as a reference
    size_t lastEnd;
};

int JoinReadSheet(const char* bytes, size_t length, CssSheet* sheet);
int JoinReadPage(JoinReading* reading);
void JoinReadFree(JoinReading* reading);

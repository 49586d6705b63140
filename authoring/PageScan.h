// A page read as a browser reads it (text, tags, attribute values, comments,
// scripts, style sheets, <pre> and <textarea>), line by line as its author
// wrote it, so that each line end can be judged: what the presenter's join,
// which trims every line of its spaces and puts nothing between the lines,
// takes away there. Pure byte rules, free of platform calls.
//   ScanStart      a scanner at the start of a page; `mark` (may be null) hears
//                  where each script's opening tag ends and where it is closed
//   ScanFeed       bytes of the current line (no line end)
//   ScanFeedValue  a value spliced into the line: read like the line's bytes, but
//                  it takes up `columns` columns of the line (0 for none)
//   ScanLineEnd    judges the end of the current line, given the next line that
//                  holds more than spaces (trimmed of its spaces; empty when the
//                  page goes on with a value), then reads it as a line end
//   ScanNewFile    the next bytes start line 1 of another file (a new column count)
//   ScanPlaceNow   where the next byte would fall, for what an escape must be
#pragma once
#include "authoring/ScriptScan.h"

enum ScanPlace {
    ScanText,        // text of the page, where whitespace runs count as one space
    ScanKept,        // text whose every character counts: <pre>, <textarea>, ...
    ScanTag,         // inside a tag, between its name and attributes
    ScanValue,       // inside a quoted attribute value
    ScanComment,     // a comment or a declaration
    ScanScript,      // script code or a style sheet outside its strings
    ScanScriptQuote, // a string, template literal or regular expression of a script
};

enum ScanMarkKind { ScanScriptOpened, ScanScriptClosed };
// `column` is that of the ">" of <script ...> or of the "<" of </script>.
typedef void (*ScanMarkTake)(void* context, ScanMarkKind kind, size_t column);

struct PageScan {
    unsigned char mode; // the HTML mode
    unsigned char raw;  // what kind of raw text a script-like element holds
    char name[12];      // the name of the tag being read, lower case
    unsigned char nameLength;
    bool nameLong;
    bool endTag;
    unsigned char endMatch; // bytes of "</name" matched inside raw text
    unsigned char dashes;
    unsigned pre;      // <pre> and <listing> elements open
    bool breakTold;    // the element's lost line breaks were reported
    bool opened;       // right after <pre>, <textarea> ...: a line end here is dropped anyway
    bool inlineTag;    // the last tag closed an inline element, or was an inline void
    char last;         // the last byte that is not whitespace
    bool lastTab;      // the line so far ends with a tab, which the trim keeps
    bool blank;        // the line so far holds nothing but spaces
    char tail[6];      // its last bytes that are not spaces, the latest last
    size_t column;     // columns of the line so far
    size_t endColumn;  // column just past its last byte that is not a space
    ScriptScan script;
    ScanMarkTake mark;
    void* markContext;
};

void ScanStart(PageScan* scan, ScanMarkTake mark, void* context);
void ScanFeed(PageScan* scan, const char* bytes, size_t length);
void ScanFeedValue(PageScan* scan, const char* bytes, size_t length, size_t columns);
ScanJoin ScanLineEnd(PageScan* scan, const char* next, size_t nextLength);
void ScanNewFile(PageScan* scan);
ScanPlace ScanPlaceNow(const PageScan* scan);

// The inside of a <script> or a <style> read as far as its line ends matter:
// comments, strings, template literals, regular expressions against division,
// and whether a line end ends a statement. Pure byte rules, free of platform
// calls, so they build anywhere.
//   ScriptStart     at the start of a script, or with `style` of a style sheet
//   ScriptByte      the next byte of it; `column` is its 1-based place in its line
//   ScriptLineEnd   what joining this line to the next one takes away (the next
//                   line that holds more than spaces, trimmed; empty when none
//                   follows), then reads the line end as the author meant it
#pragma once
#include <stddef.h>
#include <stdint.h>

// What a join does at a line end, and what it takes away.
enum ScanJoinKind {
    JoinFree,    // nothing is lost
    JoinSpace,   // whitespace is lost: a tab, which the trim keeps, restores it
    JoinBreak,   // a line break of the page is lost: "&#10;" restores it
    JoinLineEnd, // the script needs this very line end
};

enum ScanFinding {
    FindNone,
    FindGlued,         // two words of text run together
    FindGluedTag,      // a tag's name or attributes run together
    FindGluedValue,    // two words of an attribute value run together
    FindGluedCode,     // two words of a script or style sheet run together
    FindBreakLost,     // a line break inside <pre>, <textarea>, <listing> or <xmp>
    FindLineComment,   // a // comment swallows what the join puts after it
    FindStatement,     // the next line would continue the statement
    FindStringSpans,   // a string goes on past the line end
    FindTemplateSpans, // a template literal holds the line break
};

struct ScanJoin {
    ScanJoinKind kind;
    ScanFinding finding;
    size_t column; // 1-based column of what was found in the line
};

// Where a byte of a script falls; from ScriptQuote1 on, inside a literal.
enum ScriptPlace {
    ScriptCode,
    ScriptLineComment,
    ScriptBlockComment,
    ScriptQuote1,
    ScriptQuote2,
    ScriptTemplate,
    ScriptRegex,
    ScriptRegexClass,
};

struct ScriptScan {
    bool style;
    unsigned char place; // a ScriptPlace
    unsigned char token; // the kind of the last token of code
    char last;           // the last byte of code that is not whitespace
    bool slash;          // a "/" whose meaning the next byte decides
    bool escape;         // a backslash inside a string, template or regex
    bool dollar;         // a "$" inside a template literal
    bool star;           // a "*" inside a block comment
    char word[12];
    unsigned char wordLength; // bytes of the word being read, up to 12
    bool wordLong;            // the word is longer than any keyword
    size_t slashColumn;
    size_t commentColumn;
    uint32_t depth;         // braces open
    uint32_t templates[16]; // the brace depth at each template substitution
    unsigned char templateCount;
    uint64_t controlParens; // a bit per open parenthesis: it follows if, for, while or with
    uint32_t parens;
};

void ScriptStart(ScriptScan* scan, bool style);
void ScriptByte(ScriptScan* scan, unsigned char c, size_t column);
ScanJoin ScriptLineEnd(ScriptScan* scan, const char* next, size_t nextLength, bool blank,
                       size_t column);

// A script read as the language defines it, a byte at a time: names and
// reserved words, punctuators by longest match, numbers, strings, template
// literals, regular expressions told from division as a parser tells them,
// and comments, HTML-like ones too, as browsers read classic scripts. The
// script may come in pieces of any size (a line at a time, with values spliced
// in between); the caller gives each piece's place. Pure byte rules.
//   JsStart     a lexer at the start of a script, or of an event handler's body
//               (`handler`: a function body, fed with the attribute's character
//               references already read); `ansi`: bytes above 127 are each a
//               character of a name or a string, else the bytes are UTF-8
//   JsFeed      the next bytes; byte i stands at line `at.line`, column
//               `at.column + i`. LF and CR in them end lines of the script but
//               are no line ends of the caller's (which come by JsLineEnd)
//   JsLineEnd   a line end of the caller's at `at` (just past the line's last byte)
//   JsEnd       the end of the script: what is still open is handed over
//   JsPlaceNow  where the next byte would fall
//   JsSameState whether two lexers that have read the same bytes since they
//               were alike will read what follows alike
// Every token and comment goes to `take` once it has ended. A token that
// follows a line end says what joining that line end (taking it away) does to
// the script, as far as the tokens on both sides of it tell (JsToken::effect).
// The first syntax that an ES5 engine does not run is kept in `newer`.
#pragma once
#include "authoring/scan/ScanText.h"
#include <stddef.h>
#include <stdint.h>

typedef ScanPos JsPos;

enum JsKind {
    JsName,     // a name or a reserved word; `id` says which word (JsWord), 0 for others
    JsPrivate,  // #name
    JsNumber,
    JsString,
    JsTemplate, // a part of a template literal, from ` or } up to ${ or `
    JsRegex,
    JsPunct,    // `id` is a JsPunctId
    JsComment,  // `id` is a JsCommentId
    JsInvalid,  // a character that starts no token
};

enum JsCommentId { JsCommentLine, JsCommentBlock, JsCommentHtmlOpen, JsCommentHtmlClose, JsCommentHashbang };

// Template parts: whether the part opens with ` (else with }) and closes with ` (else with ${).
enum { JsTemplateOpens = 1, JsTemplateCloses = 2 };

// What taking a line end away does to the script.
enum JsEffect { JsHarmless, JsMayChange, JsChanges };

enum JsReason {
    JsReasonNone,
    JsReasonGlued,        // the tokens on both sides run together
    JsReasonCommentTakes, // a // or <!-- comment takes in what follows
    JsReasonCommentEnds,  // a /* */ comment ends at another place
    JsReasonCloseComment, // --> no longer starts its line, so it is read as code
    JsReasonString,       // a string goes on past the line end
    JsReasonContinuation, // a string's line continuation meets the next line's first byte
    JsReasonTemplate,     // a template literal holds the line break
    JsReasonRegex,        // a regular expression runs into the line end
    JsReasonStatementEnd, // the statement ends only by its line end
    JsReasonRestricted,   // return, break, continue, throw, yield, debugger: the line end ends it
    JsReasonPostfix,      // ++ or -- starts the next line: joined, it belongs to this one
    JsReasonArrow,        // => starts the next line
    JsReasonAsync,        // async, then a function, an arrow or a method on the next line
    JsReasonArrowBody,    // an arrow function's body ends the statement
    JsReasonUnsure,       // nested deeper than the reading follows
};

struct JsToken {
    unsigned char kind;   // JsKind
    unsigned char id;     // JsWord, JsPunctId or JsCommentId; template part flags
    bool newline;         // a line terminator stands between it and the token before
    bool error;           // not closed, or a number run into a name
    bool keyword;         // a reserved word read as one (not a property name or key)
    unsigned char effect; // with `newline`: JsEffect of taking the line terminator away
    unsigned char reason; // JsReason
    JsPos start, end;     // `end` is just past its last byte
};

typedef void (*JsTake)(void* context, const JsToken* token);

enum JsPlace { JsPlaceCode, JsPlaceLineComment, JsPlaceBlockComment, JsPlaceString, JsPlaceTemplate, JsPlaceRegex };

const uint32_t JsFrameMost = 48;

// One open (, [, {, or ${ and what it is.
struct JsFrame {
    unsigned char kind, flags, questions, misc;
};

struct JsLex {
    bool ansi, handler;
    JsTake take;
    void* context;
    ScanUtf8 utf; // the UTF-8 sequence being read
    // the token being read
    unsigned char mode, sub, quote;
    bool escape, begun, lineStart, newline, commentBreak, commentKeeps, error;
    JsPos start, last; // where it starts; just past its last character
    unsigned char punct[4];
    JsPos punctAt[4], punctEnd[4];
    unsigned char punctLength;
    bool punctLineStart;
    char word[12];
    unsigned char wordLength;
    bool wordOther; // longer than any reserved word, or spelled with an escape
    unsigned char newerHere; // newer syntax found inside the token being read
    // the reading of the script around the tokens (JsContext)
    unsigned char after;                   // what the last token leaves open
    unsigned char lastKind, lastId;        // the last token
    unsigned char beforeWord;              // the word of the token before it, if a name
    unsigned char closedKind, closedFlags; // the frame the last token closed
    unsigned char pendFunc, pendArrow;     // a function or an arrow whose body comes
    bool lastKey, doWhile, asyncStart;
    unsigned char pendLet; // a let that may start a declaration (JsNewer)
    JsFrame frames[JsFrameMost];
    uint32_t depth; // frames open; those past JsFrameMost are not kept
    // the first syntax an ES5 engine does not run (JsNewer), and where
    unsigned char newer;
    JsPos newerAt;
};

void JsStart(JsLex* lex, bool handler, bool ansi, JsTake take, void* context);
void JsFeed(JsLex* lex, const char* bytes, size_t length, JsPos at);
void JsLineEnd(JsLex* lex, JsPos at);
void JsEnd(JsLex* lex);
JsPlace JsPlaceNow(const JsLex* lex);
bool JsSameState(const JsLex* a, const JsLex* b);

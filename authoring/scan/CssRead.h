// A style sheet, or a style attribute's value, read into tokens as CSS's own
// tokenizer reads it: comments, strings (a line end inside one ends it as a
// bad string), url(...), escapes, names, numbers and the rest. Pure byte
// rules, streaming like the script lexer: pieces of any size, placed by the
// caller.
//   CssStart      a reader at the start of a style sheet (`ansi` as for JsStart)
//   CssFeed       the next bytes; byte i stands at line `at.line`, column `at.column + i`
//   CssLineEnd    a line end of the caller's at `at` (a newline to CSS)
//   CssEnd        the end: what is open is handed over
//   CssPlaceNow   where the next byte would fall, once what came before is read
// Tokens go to `take` as they end. A name token's `name` holds its value with
// the escapes read (the first CssNameMost bytes of it, UTF-8).
#pragma once
#include "authoring/scan/ScanText.h"
#include <stddef.h>

enum CssKind {
    CssIdent, CssFunction, CssAtKeyword, CssHash, CssString, CssBadString, CssUrl, CssBadUrl,
    CssDelim, CssNumber, CssPercentage, CssDimension, CssWhitespace, CssCDO, CssCDC, CssColon,
    CssSemicolon, CssComma, CssBracketL, CssBracketR, CssParenL, CssParenR, CssBraceL, CssBraceR,
    CssComment,
};

enum CssPlace { CssOutside, CssInString1, CssInString2, CssInComment, CssInUrl };

const unsigned CssNameMost = 48;

struct CssToken {
    unsigned char kind;   // CssKind
    uint32_t delim;       // the character of a CssDelim
    ScanPos start, end;   // `end` is just past its last byte
    const char* name;     // ident, function, at-keyword, hash: the name; dimension: the unit
    unsigned nameLength;
    bool nameLong;        // longer than CssNameMost bytes
};

typedef void (*CssTake)(void* context, const CssToken* token);

struct CssRead {
    bool ansi;
    CssTake take;
    void* context;
    ScanUtf8 utf;
    unsigned char mode, decide, quote, escape, kind;
    bool star, urlSpace;
    uint32_t hex; // the value of a hex escape being read
    ScanPos start, last;
    uint32_t pend[4]; // characters read on trial, while what they start is undecided
    ScanPos pendAt[4], pendEnd[4];
    unsigned char pendLength;
    char name[CssNameMost];
    unsigned nameLength;
    bool nameLong;
};

void CssStart(CssRead* css, bool ansi, CssTake take, void* context);
void CssFeed(CssRead* css, const char* bytes, size_t length, ScanPos at);
void CssLineEnd(CssRead* css, ScanPos at);
void CssEnd(CssRead* css);
CssPlace CssPlaceNow(const CssRead* css);

// The CSS reader's own states and steps, shared by its units.
//   CssUnit       reads one character, from `at` to just before `end`
//   CssData       the first character of a token, between tokens
//   CssRest       a character inside a name, a number or a url(...)
//   CssDecide     what the characters read on trial start, once they tell
//                 (`ended`: no more will come)
//   CssFinish     hands over the token that is open at the end
//   CssHand       hands a token over; CssPend starts a trial
//   CssNameBegin, CssNameAdd   a name token and the characters of its value
//   CssEscape     a character of an escape: whether it was taken, and the
//                 character read once the escape is complete
#pragma once
#include "authoring/scan/CssRead.h"

enum CssMode { MData, MWhite, MPend, MComment, MString, MName, MNumber, MUrlSpace, MUrl, MBadUrl };

// What characters read on trial decide: what a -, +, ., <, @, #, \ or / starts
// (in this order: CssData picks by it); a number's . or e, or what follows a
// number; a \ inside a name.
enum CssDecideWhat { DMinus, DPlus, DDot, DLess, DAt, DHash, DBackslash, DSlash, DNumDot, DNumE, DUnit, DNameEscape };

// Number phases, kept in `quote` while a number is read.
enum { NumSign, NumInt, NumFrac, NumExp };

enum : uint32_t { CssEndOfInput = 0xFFFFFFFF, CssNotYet = 0xFFFFFFFE };

inline bool CssIsDigit(uint32_t c) { return c >= '0' && c <= '9'; }
inline bool CssIsWhite(uint32_t c) { return c == '\n' || c == '\t' || c == ' '; }
inline bool CssIsNameStart(uint32_t c) {
    return ((c | 0x20) >= 'a' && (c | 0x20) <= 'z') || c == '_' || (c >= 0x80 && c < CssNotYet);
}
inline bool CssIsNameChar(uint32_t c) { return CssIsNameStart(c) || CssIsDigit(c) || c == '-'; }

void CssUnit(CssRead* x, uint32_t c, ScanPos at, ScanPos end);
void CssData(CssRead* x, uint32_t c, ScanPos at, ScanPos end);
void CssRest(CssRead* x, uint32_t c, ScanPos at, ScanPos end);
void CssDecide(CssRead* x, bool ended);
void CssFinish(CssRead* x);
void CssHand(CssRead* x, int kind, ScanPos start, ScanPos end, uint32_t delim = 0);
void CssPend(CssRead* x, int decide, uint32_t c, ScanPos at, ScanPos end);
void CssNameBegin(CssRead* x, int kind, ScanPos start);
void CssNameAdd(CssRead* x, uint32_t c);
bool CssEscape(CssRead* x, uint32_t c, uint32_t* value);

// The lexer's own states and steps, shared by its units.
//   JsUnit         reads one character (a code point, or a byte of an ANSI
//                  page) standing from `at` to just before `end`
//   JsHand         hands a token over, after the context has read it
//   JsPunctBegin   starts a punctuator with `c`, if one starts so
//   JsPunctUnit    the next character after the start of a punctuator
//   JsNumberUnit   whether `c` goes on the number being read
//   JsNumberEnd    hands the number over
//   JsFinish       hands over whatever token is open, at the end of the script
#pragma once
#include "authoring/scan/JsLex.h"

enum JsMode {
    ModeCode, ModeName, ModeNameEscape, ModeHash, ModeNumber, ModePunct, ModeSlash,
    ModeString, ModeTemplate, ModeRegex, ModeRegexFlags, ModeLineComment, ModeBlockComment,
};

enum JsNumberPhase {
    NumZero, NumInt, NumLegacy, NumFrac, NumExpStart, NumExpSign, NumExp, NumHex, NumOctal,
    NumBinary, NumAfter, NumGlued,
};

// Bytes above 127 of an ANSI page are read as letters (ScanAnsiBase + byte).
enum : uint32_t { JsBroken = ScanBroken };

inline bool JsIsLineTerminator(uint32_t c) {
    return c == '\n' || c == '\r' || c == 0x2028 || c == 0x2029;
}
bool JsIsSpace(uint32_t c);
bool JsIsNameStart(uint32_t c);

void JsUnit(JsLex* x, uint32_t c, JsPos at, JsPos end);
void JsHand(JsLex* x, int kind, int id, JsPos start, JsPos end);
bool JsPunctBegin(JsLex* x, uint32_t c, JsPos at, JsPos end);
void JsPunctUnit(JsLex* x, uint32_t c, JsPos at, JsPos end);
bool JsNumberUnit(JsLex* x, uint32_t c);
void JsNumberEnd(JsLex* x);

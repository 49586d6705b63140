// What the lexer's units share: the words and punctuators by number, the
// reading of the script around the tokens, and the newer-syntax notes.
//   JsWordFind         the number of a word, 0 for a name with no meaning of its own
//   JsPunctText        a punctuator's text
//   JsPunctMatch       the punctuator that `text` is (0 for none), and whether
//                      a longer one starts with it
//   JsContextStart     the reading at the start of a script
//   JsContextToken     reads a token into the context before it is handed over:
//                      sets its `effect`, `reason` and `keyword`
//   JsRegexAllowed     whether a / here starts a regular expression
//   JsTemplatePush/Pop the frame of a template substitution, opened or closed
//   JsTemplateOpen     whether a } here closes a template substitution
//   JsContextEqual     whether two readings stand at the same place alike
//   JsNewerToken       looks at a token for newer syntax, before the context
//                      reads it
//   JsNewerNote        keeps the first newer syntax found
#pragma once
#include "authoring/scan/JsLex.h"

enum JsWord {
    JsWordNone,
    // reserved words
    JsWordBreak, JsWordCase, JsWordCatch, JsWordClass, JsWordConst, JsWordContinue,
    JsWordDebugger, JsWordDefault, JsWordDelete, JsWordDo, JsWordElse, JsWordExport,
    JsWordExtends, JsWordFalse, JsWordFinally, JsWordFor, JsWordFunction, JsWordIf,
    JsWordImport, JsWordIn, JsWordInstanceof, JsWordNew, JsWordNull, JsWordReturn,
    JsWordSuper, JsWordSwitch, JsWordThis, JsWordThrow, JsWordTrue, JsWordTry,
    JsWordTypeof, JsWordVar, JsWordVoid, JsWordWhile, JsWordWith,
    // names that mean something in some places only
    JsWordAsync, JsWordAwait, JsWordGet, JsWordLet, JsWordOf, JsWordSet, JsWordStatic,
    JsWordYield,
    JsWordCount
};
enum { JsWordLastReserved = JsWordWith };

enum JsPunctId {
    JsPunctNone,
    JsPBraceL, JsPBraceR, JsPParenL, JsPParenR, JsPBracketL, JsPBracketR, JsPDot,
    JsPEllipsis, JsPSemi, JsPComma, JsPLt, JsPGt, JsPLe, JsPGe, JsPEq2, JsPNe, JsPEq3,
    JsPNe2, JsPPlus, JsPMinus, JsPStar, JsPPercent, JsPStar2, JsPInc, JsPDec, JsPShl,
    JsPShr, JsPShr3, JsPAmp, JsPBar, JsPCaret, JsPBang, JsPTilde, JsPAnd, JsPOr,
    JsPNullish, JsPQuestion, JsPQuestionDot, JsPColon, JsPAssign, JsPPlusEq, JsPMinusEq,
    JsPStarEq, JsPPercentEq, JsPStar2Eq, JsPShlEq, JsPShrEq, JsPShr3Eq, JsPAmpEq, JsPBarEq,
    JsPCaretEq, JsPAndEq, JsPOrEq, JsPNullishEq, JsPArrow, JsPSlash, JsPSlashEq,
    JsPunctCount
};

int JsWordFind(const char* word, size_t length);
const char* JsPunctText(int id);
int JsPunctMatch(const unsigned char* text, size_t length, bool* longer);

void JsContextStart(JsLex* lex);
void JsContextToken(JsLex* lex, JsToken* token);
bool JsRegexAllowed(const JsLex* lex);
void JsTemplatePush(JsLex* lex);
void JsTemplatePop(JsLex* lex);
bool JsTemplateOpen(const JsLex* lex);
bool JsContextEqual(const JsLex* a, const JsLex* b);

void JsNewerToken(JsLex* lex, const JsToken* token);
void JsNewerNote(JsLex* lex, int id, JsPos at);

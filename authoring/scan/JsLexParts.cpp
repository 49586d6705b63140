// Numbers, punctuators, the bytes decoded into characters, and the lexer's
// operations.
#include "authoring/scan/JsLexInternal.h"
#include "authoring/scan/JsLexModes.h"
#include "authoring/scan/JsNewer.h"
#include <string.h>

static bool IsDigit(uint32_t c) { return c >= '0' && c <= '9'; }

static bool RadixDigit(int phase, uint32_t c) {
    if (phase == NumBinary) return c == '0' || c == '1';
    if (phase == NumOctal) return c >= '0' && c <= '7';
    return IsDigit(c) || ((c | 0x20) >= 'a' && (c | 0x20) <= 'f');
}

static bool Newer(JsLex* x, int id) {
    if (!x->newerHere) x->newerHere = (unsigned char)id;
    return true;
}

static bool Exponent(JsLex* x, uint32_t c) {
    if ((c | 0x20) != 'e') return false;
    x->sub = NumExpStart;
    return true;
}

bool JsNumberUnit(JsLex* x, uint32_t c) {
    switch (x->sub) {
    case NumZero:
        if ((c | 0x20) == 'x') return x->sub = NumHex, true;
        if ((c | 0x20) == 'o') return x->sub = NumOctal, Newer(x, JsNewerRadix);
        if ((c | 0x20) == 'b') return x->sub = NumBinary, Newer(x, JsNewerRadix);
        // 0 then digits: a legacy octal, or a decimal if an 8 or a 9 is among them
        if (IsDigit(c)) return x->sub = NumLegacy, x->quote = c >= '8', true;
        if (c == '.') return x->sub = NumFrac, true;
        if (c == 'n') return x->sub = NumAfter, Newer(x, JsNewerBigInt);
        if (Exponent(x, c)) return true;
        break;
    case NumInt:
        if (IsDigit(c)) return true;
        if (c == '_') return Newer(x, JsNewerSeparator);
        if (c == '.') return x->sub = NumFrac, true;
        if (c == 'n') return x->sub = NumAfter, Newer(x, JsNewerBigInt);
        if (Exponent(x, c)) return true;
        break;
    case NumLegacy:
        if (IsDigit(c)) return x->quote |= c >= '8', true;
        if (c == '.' && x->quote) return x->sub = NumFrac, true;
        if (x->quote && Exponent(x, c)) return true;
        break;
    case NumFrac:
    case NumExp:
        if (IsDigit(c)) return true;
        if (c == '_') return Newer(x, JsNewerSeparator);
        if (x->sub == NumFrac && Exponent(x, c)) return true;
        break;
    case NumExpStart:
        if (c == '+' || c == '-') return x->sub = NumExpSign, true;
        if (IsDigit(c)) return x->sub = NumExp, true;
        break;
    case NumExpSign:
        if (IsDigit(c)) return x->sub = NumExp, true;
        break;
    case NumHex:
    case NumOctal:
    case NumBinary:
        if (RadixDigit(x->sub, c)) return true;
        if (c == '_') return Newer(x, JsNewerSeparator);
        if (c == 'n') return x->sub = NumAfter, Newer(x, JsNewerBigInt);
        break;
    }
    // A name or a digit right after a number is no token of its own: the
    // number runs into it, which is an error.
    if (c == '\\' || JsIsNameStart(c) || IsDigit(c)) {
        x->sub = NumGlued;
        x->error = true;
        return true;
    }
    return false;
}

void JsNumberEnd(JsLex* x) {
    if (x->sub == NumExpStart || x->sub == NumExpSign) x->error = true;
    JsHand(x, JsNumber, 0, x->start, x->last);
}

// Texts that start no punctuator but may start an HTML-like comment.
static bool CommentPrefix(const unsigned char* text, size_t length) {
    return (length == 2 && memcmp(text, "<!", 2) == 0) || (length == 3 && memcmp(text, "<!-", 3) == 0);
}

// Hands over the longest punctuator the buffer starts with, no longer than
// `most`, and reads the rest of the buffer again.
static void PunctFlush(JsLex* x, size_t most) {
    bool longer = false;
    size_t n = x->punctLength, k = most;
    int id = 0;
    while (k > 0 && !(id = JsPunctMatch(x->punct, k, &longer))) k--;
    if (k == 0) k = 1; // every character that starts the buffer is a punctuator itself
    unsigned char rest[4];
    JsPos restAt[4], restEnd[4];
    size_t restLength = n - k;
    memcpy(rest, x->punct + k, restLength);
    memcpy(restAt, x->punctAt + k, restLength * sizeof(JsPos));
    memcpy(restEnd, x->punctEnd + k, restLength * sizeof(JsPos));
    x->punctLength = 0;
    JsHand(x, JsPunct, id, x->punctAt[0], x->punctEnd[k - 1]);
    for (size_t i = 0; i < restLength; i++) JsUnit(x, rest[i], restAt[i], restEnd[i]);
}

bool JsPunctBegin(JsLex* x, uint32_t c, JsPos at, JsPos end) {
    bool longer = false;
    unsigned char text = (unsigned char)c;
    if (c >= 0x80 || !JsPunctMatch(&text, 1, &longer)) return false;
    x->mode = ModePunct;
    x->punct[0] = text;
    x->punctAt[0] = at;
    x->punctEnd[0] = end;
    x->punctLength = 1;
    x->punctLineStart = x->lineStart;
    if (!longer) PunctFlush(x, 1);
    return true;
}

static void HtmlComment(JsLex* x, int id, JsPos end) {
    x->mode = ModeLineComment;
    x->quote = (unsigned char)id;
    x->start = x->punctAt[0];
    x->last = end;
    x->punctLength = 0;
}

void JsPunctUnit(JsLex* x, uint32_t c, JsPos at, JsPos end) {
    size_t n = x->punctLength;
    bool digit = IsDigit(c);
    if (c < 0x80 && n < sizeof x->punct) {
        unsigned char text[4];
        memcpy(text, x->punct, n);
        text[n] = (unsigned char)c;
        if (n + 1 == 4 && memcmp(text, "<!--", 4) == 0) return HtmlComment(x, JsCommentHtmlOpen, end);
        // --> is a comment where only whitespace and comments stand before it on its line
        if (n + 1 == 3 && memcmp(text, "-->", 3) == 0 && x->punctLineStart)
            return HtmlComment(x, JsCommentHtmlClose, end);
        bool longer = false;
        int id = JsPunctMatch(text, n + 1, &longer);
        if (id || longer || CommentPrefix(text, n + 1)) {
            x->punct[n] = text[n];
            x->punctAt[n] = at;
            x->punctEnd[n] = end;
            x->punctLength = (unsigned char)(n + 1);
            // Wait for the next character where it may still change the token:
            // ?. before a digit is ? and a number; -- at a line start may open -->.
            bool wait = longer || CommentPrefix(text, n + 1) || id == JsPQuestionDot ||
                        (id == JsPDec && x->punctLineStart);
            if (!wait) PunctFlush(x, n + 1);
            return;
        }
        if (n == 1 && x->punct[0] == '.' && digit) {
            x->mode = ModeNumber;
            x->sub = NumFrac;
            x->start = x->punctAt[0];
            x->last = end;
            x->punctLength = 0;
            return;
        }
    }
    bool questionDot = n == 2 && x->punct[0] == '?' && x->punct[1] == '.';
    PunctFlush(x, questionDot && digit ? 1 : n);
    JsUnit(x, c, at, end);
}

// Hands over whatever token is open, as the end of the script ends it.
static void Finish(JsLex* x) {
    for (int guard = 0; x->mode != ModeCode && guard < 8; guard++) {
        switch (x->mode) {
        case ModePunct:
            PunctFlush(x, x->punctLength);
            break;
        case ModeNumber:
            JsNumberEnd(x);
            break;
        case ModeSlash:
            if (JsRegexAllowed(x)) {
                x->error = true;
                JsHand(x, JsRegex, 0, x->start, x->last);
            } else {
                JsHand(x, JsPunct, JsPSlash, x->start, x->last);
            }
            break;
        case ModeHash:
            JsHand(x, JsInvalid, 0, x->start, x->last);
            break;
        case ModeLineComment:
            JsHand(x, JsComment, x->quote, x->start, x->last);
            break;
        case ModeBlockComment:
            x->error = true;
            JsHand(x, JsComment, JsCommentBlock, x->start, x->last);
            break;
        case ModeNameEscape:
            x->error = true;
            x->mode = ModeName;
            break;
        default:
            // a name ends well; a string, template or regular expression does not
            x->error = x->mode != ModeName && x->mode != ModeRegexFlags;
            // a name that ends the script is a reserved word as much as any other
            JsHand(x, x->mode == ModeName ? (x->quote ? JsPrivate : JsName)
                      : x->mode == ModeString ? JsString
                      : x->mode == ModeTemplate ? JsTemplate : JsRegex,
                   x->mode == ModeTemplate ? x->quote
                   : x->mode == ModeName && !x->wordOther ? JsWordFind(x->word, x->wordLength) : 0,
                   x->start, x->last);
            break;
        }
    }
}

// A UTF-8 sequence cut short counts as one broken character.
static void UtfCut(JsLex* x) {
    uint32_t c;
    JsPos start, end;
    if (ScanUtf8Cut(&x->utf, &c, &start, &end)) JsUnit(x, c, start, end);
}

static void Byte(JsLex* x, unsigned char b, JsPos at) {
    uint32_t c;
    JsPos start, end;
    bool again = true;
    while (again)
        if (ScanUtf8Byte(&x->utf, x->ansi, b, at, &c, &start, &end, &again)) JsUnit(x, c, start, end);
}

void JsStart(JsLex* lex, bool handler, bool ansi, JsTake take, void* context) {
    memset(lex, 0, sizeof *lex);
    lex->handler = handler;
    lex->ansi = ansi;
    lex->take = take;
    lex->context = context;
    lex->lineStart = true;
    JsContextStart(lex);
}

void JsFeed(JsLex* lex, const char* bytes, size_t length, JsPos at) {
    for (size_t i = 0; i < length; i++)
        Byte(lex, (unsigned char)bytes[i], JsPos{at.line, at.column + (uint32_t)i});
}

void JsLineEnd(JsLex* lex, JsPos at) {
    UtfCut(lex);
    JsUnit(lex, '\n', at, at);
}

void JsEnd(JsLex* lex) {
    UtfCut(lex);
    Finish(lex);
}

JsPlace JsPlaceNow(const JsLex* lex) {
    switch (lex->mode) {
    case ModeLineComment: return JsPlaceLineComment;
    case ModeBlockComment: return JsPlaceBlockComment;
    case ModeString: return JsPlaceString;
    case ModeTemplate: return JsPlaceTemplate;
    case ModeRegex: return JsPlaceRegex;
    default: return JsPlaceCode;
    }
}


static bool SamePos(JsPos a, JsPos b) { return a.line == b.line && a.column == b.column; }

bool JsSameState(const JsLex* a, const JsLex* b) {
    if (a->mode != b->mode || a->utf.need != b->utf.need || a->lineStart != b->lineStart ||
        a->newline != b->newline || a->newer != b->newer || !JsContextEqual(a, b))
        return false;
    if (a->utf.need && (a->utf.have != b->utf.have || a->utf.value != b->utf.value ||
                        !SamePos(a->utf.start, b->utf.start)))
        return false;
    if (a->mode == ModeCode) return true;
    // inside a token: the same token, read alike so far
    return SamePos(a->start, b->start) && a->sub == b->sub && a->quote == b->quote &&
           a->escape == b->escape && a->error == b->error && a->newerHere == b->newerHere &&
           a->commentBreak == b->commentBreak && a->punctLength == b->punctLength &&
           memcmp(a->punct, b->punct, a->punctLength) == 0 && a->punctLineStart == b->punctLineStart &&
           a->wordLength == b->wordLength && a->wordOther == b->wordOther &&
           memcmp(a->word, b->word, a->wordLength) == 0;
}

#include "authoring/scan/CssReadSteps.h"
#include <string.h>

void CssData(CssRead* x, uint32_t c, ScanPos at, ScanPos end) {
    x->start = at;
    x->last = end;
    if (CssIsWhite(c)) return (void)(x->mode = MWhite);
    if (c == '"' || c == '\'') {
        x->mode = MString;
        x->quote = (unsigned char)c;
        x->escape = 0;
        return;
    }
    static const char kSingle[] = "(),:;[]{}";
    static const unsigned char kKinds[] = {CssParenL, CssParenR, CssComma, CssColon, CssSemicolon,
                                           CssBracketL, CssBracketR, CssBraceL, CssBraceR};
    const char* single = c < 0x80 && c ? strchr(kSingle, (int)c) : nullptr;
    if (single) return CssHand(x, kKinds[single - kSingle], at, end);
    if (CssIsDigit(c)) {
        x->mode = MNumber;
        x->quote = NumInt;
        return;
    }
    if (CssIsNameStart(c)) {
        CssNameBegin(x, CssIdent, at);
        x->last = end;
        return CssNameAdd(x, c);
    }
    static const char kTrial[] = "-+.<@#\\/";
    const char* trial = c < 0x80 && c ? strchr(kTrial, (int)c) : nullptr;
    if (trial) return CssPend(x, DMinus + (int)(trial - kTrial), c, at, end);
    CssHand(x, CssDelim, at, end, c);
}

void CssUnit(CssRead* x, uint32_t c, ScanPos at, ScanPos end) {
    switch (x->mode) {
    case MData:
        return CssData(x, c, at, end);
    case MWhite:
        if (CssIsWhite(c)) return (void)(x->last = end);
        CssHand(x, CssWhitespace, x->start, x->last);
        return CssData(x, c, at, end);
    case MPend:
        x->pend[x->pendLength] = c;
        x->pendAt[x->pendLength] = at;
        x->pendEnd[x->pendLength] = end;
        x->pendLength++;
        return CssDecide(x, false);
    case MComment:
        x->last = end;
        if (c == '/' && x->star) return CssHand(x, CssComment, x->start, end);
        x->star = c == '*';
        return;
    case MString: {
        uint32_t value;
        if (x->escape == 1 && c == '\n') return (void)(x->escape = 0, x->last = end); // a line continuation
        if (x->escape && CssEscape(x, c, &value)) return (void)(x->last = end);
        if (c == '\\') return (void)(x->escape = 1, x->last = end);
        if (c == x->quote) return CssHand(x, CssString, x->start, end);
        if (c == '\n') {
            // a line end ends the string as a bad one, and is read again as whitespace
            CssHand(x, CssBadString, x->start, x->last);
            return CssData(x, c, at, end);
        }
        x->last = end;
        return;
    }
    default:
        return CssRest(x, c, at, end);
    }
}

static bool IsUrlName(const CssRead* x) {
    return x->nameLength == 3 && (x->name[0] | 0x20) == 'u' && (x->name[1] | 0x20) == 'r' &&
           (x->name[2] | 0x20) == 'l';
}

static void Name(CssRead* x, uint32_t c, ScanPos at, ScanPos end) {
    uint32_t value;
    if (x->escape) {
        bool taken = CssEscape(x, c, &value);
        if (value != CssNotYet) CssNameAdd(x, value);
        if (taken) return (void)(x->last = end);
    }
    if (CssIsNameChar(c)) {
        CssNameAdd(x, c);
        x->last = end;
        return;
    }
    if (c == '\\') return CssPend(x, DNameEscape, c, at, end);
    if (x->kind == CssIdent && c == '(') {
        if (!IsUrlName(x)) return CssHand(x, CssFunction, x->start, end);
        // url( then a quote is a function; anything else, a url token
        x->mode = MUrlSpace;
        x->last = end;
        x->urlSpace = false;
        return;
    }
    CssHand(x, x->kind, x->start, x->last);
    CssData(x, c, at, end);
}

static void Number(CssRead* x, uint32_t c, ScanPos at, ScanPos end) {
    int phase = x->quote;
    if (CssIsDigit(c)) {
        if (phase == NumSign) x->quote = NumInt;
        x->last = end;
        return;
    }
    if (phase == NumSign && c == '.') return (void)(x->quote = NumFrac, x->last = end);
    if (phase == NumInt && c == '.') return CssPend(x, DNumDot, c, at, end);
    if ((phase == NumInt || phase == NumFrac) && (c | 0x20) == 'e') return CssPend(x, DNumE, c, at, end);
    if (c == '%' || c == '-' || c == '\\' || CssIsNameStart(c)) return CssPend(x, DUnit, c, at, end);
    CssHand(x, CssNumber, x->start, x->last);
    CssData(x, c, at, end);
}

static bool Unprintable(uint32_t c) {
    return c <= 8 || c == 0x0B || (c >= 0x0E && c <= 0x1F) || c == 0x7F;
}

static void Url(CssRead* x, uint32_t c, ScanPos at, ScanPos end) {
    uint32_t value;
    if (x->escape == 1 && c == '\n') {
        x->escape = 0;
        x->mode = MBadUrl;
    } else if (x->escape && CssEscape(x, c, &value)) {
    } else if (c == ')') {
        return CssHand(x, CssUrl, x->start, end);
    } else if (CssIsWhite(c)) {
        x->urlSpace = true;
    } else if (x->urlSpace || c == '"' || c == '\'' || c == '(' || Unprintable(c)) {
        x->mode = MBadUrl;
        x->escape = c == '\\';
    } else if (c == '\\') {
        x->escape = 1;
    }
    (void)at;
    x->last = end;
}

void CssRest(CssRead* x, uint32_t c, ScanPos at, ScanPos end) {
    switch (x->mode) {
    case MName:
        return Name(x, c, at, end);
    case MNumber:
        return Number(x, c, at, end);
    case MUrlSpace:
        if (CssIsWhite(c)) {
            if (!x->urlSpace) x->pendAt[0] = at;
            x->urlSpace = true;
            x->pendEnd[0] = end;
            return;
        }
        if (c == '"' || c == '\'') {
            ScanPos spaceAt = x->pendAt[0], spaceEnd = x->pendEnd[0];
            bool space = x->urlSpace;
            CssHand(x, CssFunction, x->start, x->last);
            if (space) CssHand(x, CssWhitespace, spaceAt, spaceEnd);
            return CssData(x, c, at, end);
        }
        x->mode = MUrl;
        x->urlSpace = false;
        x->escape = 0;
        return Url(x, c, at, end);
    case MUrl:
        return Url(x, c, at, end);
    case MBadUrl:
        // what is left of a bad url, up to ), an escaped character skipped
        x->last = end;
        if (x->escape) return (void)(x->escape = 0);
        if (c == '\\') return (void)(x->escape = 1);
        if (c == ')') CssHand(x, CssBadUrl, x->start, end);
        return;
    }
}

void CssFinish(CssRead* x) {
    uint32_t value;
    switch (x->mode) {
    case MPend: return CssDecide(x, true);
    case MWhite: return CssHand(x, CssWhitespace, x->start, x->last);
    case MComment: return CssHand(x, CssComment, x->start, x->last);
    case MString: return CssHand(x, CssString, x->start, x->last);
    case MNumber: return CssHand(x, CssNumber, x->start, x->last);
    case MName:
        if (x->escape) {
            CssEscape(x, CssEndOfInput, &value);
            if (value != CssNotYet) CssNameAdd(x, value);
        }
        return CssHand(x, x->kind, x->start, x->last);
    case MBadUrl: return CssHand(x, CssBadUrl, x->start, x->last);
    default: return CssHand(x, CssUrl, x->start, x->last);
    }
}

void CssStart(CssRead* css, bool ansi, CssTake take, void* context) {
    memset(css, 0, sizeof *css);
    css->ansi = ansi;
    css->take = take;
    css->context = context;
}

static void Byte(CssRead* x, unsigned char b, ScanPos at) {
    uint32_t c;
    ScanPos start, end;
    bool again = true;
    while (again) {
        if (!ScanUtf8Byte(&x->utf, x->ansi, b, at, &c, &start, &end, &again)) continue;
        // the tokenizer's preprocessing: a form feed is a newline, a zero byte the replacement character
        CssUnit(x, c == '\f' || c == '\r' ? '\n' : c == 0 ? 0xFFFD : c, start, end);
    }
}

void CssFeed(CssRead* css, const char* bytes, size_t length, ScanPos at) {
    for (size_t i = 0; i < length; i++) Byte(css, (unsigned char)bytes[i], ScanPos{at.line, at.column + (uint32_t)i});
}

static void Cut(CssRead* x) {
    uint32_t c;
    ScanPos start, end;
    if (ScanUtf8Cut(&x->utf, &c, &start, &end)) CssUnit(x, c, start, end);
}

void CssLineEnd(CssRead* css, ScanPos at) {
    Cut(css);
    CssUnit(css, '\n', at, at);
}

void CssEnd(CssRead* css) {
    Cut(css);
    for (int guard = 0; css->mode != MData && guard < 16; guard++) CssFinish(css);
}

CssPlace CssPlaceNow(const CssRead* css) {
    switch (css->mode) {
    case MString: return css->quote == '\'' ? CssInString1 : CssInString2;
    case MComment: return CssInComment;
    case MUrlSpace: case MUrl: case MBadUrl: return CssInUrl;
    default: return CssOutside;
    }
}

// The CSS reader's steps: trials, names, numbers, url(...), and the end.
#include "authoring/scan/CssReadSteps.h"
#include <string.h>

static bool IsHex(uint32_t c) { return CssIsDigit(c) || ((c | 0x20) >= 'a' && (c | 0x20) <= 'f'); }
static uint32_t HexValue(uint32_t c) { return CssIsDigit(c) ? c - '0' : (c | 0x20) - 'a' + 10; }

void CssHand(CssRead* x, int kind, ScanPos start, ScanPos end, uint32_t delim) {
    CssToken t;
    memset(&t, 0, sizeof t);
    t.kind = (unsigned char)kind;
    t.delim = delim;
    t.start = start;
    t.end = end;
    if (kind == CssIdent || kind == CssFunction || kind == CssAtKeyword || kind == CssHash || kind == CssDimension) {
        t.name = x->name;
        t.nameLength = x->nameLength;
        t.nameLong = x->nameLong;
    }
    x->mode = MData;
    if (x->take) x->take(x->context, &t);
}

void CssNameAdd(CssRead* x, uint32_t c) {
    char bytes[4];
    unsigned n = 0;
    if (c >= ScanAnsiBase) c = 0xFFFD; // no character of its own: the replacement character
    if (c < 0x80) {
        bytes[n++] = (char)c;
    } else {
        unsigned tail = c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
        bytes[n++] = (char)((0xF00 >> tail) | (c >> (6 * tail)));
        for (unsigned i = tail; i-- > 0;) bytes[n++] = (char)(0x80 | ((c >> (6 * i)) & 0x3F));
    }
    if (x->nameLength + n > CssNameMost) {
        x->nameLong = true;
        return;
    }
    memcpy(x->name + x->nameLength, bytes, n);
    x->nameLength += n;
}

void CssNameBegin(CssRead* x, int kind, ScanPos start) {
    x->mode = MName;
    x->kind = (unsigned char)kind;
    x->start = start;
    x->nameLength = 0;
    x->nameLong = false;
    x->escape = 0;
}

bool CssEscape(CssRead* x, uint32_t c, uint32_t* value) {
    *value = CssNotYet;
    if (x->escape == 1) {
        x->escape = 0;
        if (IsHex(c)) {
            x->hex = HexValue(c);
            x->escape = 2;
            return true;
        }
        *value = c == CssEndOfInput ? 0xFFFD : c;
        return c != CssEndOfInput;
    }
    if (IsHex(c) && x->escape < 7) {
        x->hex = x->hex * 16 + HexValue(c);
        x->escape++;
        return true;
    }
    x->escape = 0;
    uint32_t h = x->hex;
    *value = h == 0 || h > 0x10FFFF || (h >= 0xD800 && h <= 0xDFFF) ? 0xFFFD : h;
    return CssIsWhite(c); // one whitespace after the hex digits belongs to the escape
}

void CssPend(CssRead* x, int decide, uint32_t c, ScanPos at, ScanPos end) {
    x->mode = MPend;
    x->decide = (unsigned char)decide;
    x->pend[0] = c;
    x->pendAt[0] = at;
    x->pendEnd[0] = end;
    x->pendLength = 1;
}

// Reads the trial's characters from `from` on once more, as what was decided.
static void Again(CssRead* x, unsigned from) {
    uint32_t rest[4];
    ScanPos at[4], end[4];
    unsigned n = x->pendLength - from;
    memcpy(rest, x->pend + from, n * sizeof *rest);
    memcpy(at, x->pendAt + from, n * sizeof *at);
    memcpy(end, x->pendEnd + from, n * sizeof *end);
    x->pendLength = 0;
    for (unsigned i = 0; i < n; i++) CssUnit(x, rest[i], at[i], end[i]);
}

static uint32_t Peek(const CssRead* x, unsigned i, bool ended) {
    return i < x->pendLength ? x->pend[i] : ended ? CssEndOfInput : CssNotYet;
}

// Whether the characters from `i` start a name: 1, 0, or -1 while unknown.
static int StartsName(const CssRead* x, unsigned i, bool ended) {
    uint32_t a = Peek(x, i, ended), b = Peek(x, i + 1, ended);
    if (a == CssNotYet) return -1;
    if (CssIsNameStart(a)) return 1;
    if (a != '-' && a != '\\') return 0;
    if (b == CssNotYet) return -1;
    if (a == '\\') return b != '\n' && b != CssEndOfInput;
    if (CssIsNameStart(b) || b == '-') return 1;
    if (b != '\\') return 0;
    uint32_t c = Peek(x, i + 2, ended);
    if (c == CssNotYet) return -1;
    return c != '\n' && c != CssEndOfInput;
}

static int StartsNumber(const CssRead* x, bool ended) {
    uint32_t a = Peek(x, 0, ended), b = Peek(x, 1, ended);
    if (CssIsDigit(a)) return 1;
    if (a != '+' && a != '-' && a != '.') return 0;
    if (b == CssNotYet) return -1;
    if (CssIsDigit(b)) return 1;
    if (a == '.' || b != '.') return 0;
    uint32_t c = Peek(x, 2, ended);
    return c == CssNotYet ? -1 : CssIsDigit(c);
}

static void Delim(CssRead* x) {
    CssHand(x, CssDelim, x->pendAt[0], x->pendEnd[0], x->pend[0]);
    Again(x, 1);
}

static void Number(CssRead* x, int phase, unsigned taken) {
    x->mode = MNumber;
    x->quote = (unsigned char)phase;
    x->start = x->pendAt[0];
    x->last = x->pendEnd[taken - 1];
    Again(x, taken);
}

// A name token from the trial's characters on; `taken` of them are read
// already, the first of them into the name where `first` says so.
static void NameFrom(CssRead* x, int kind, ScanPos start, unsigned taken, bool first = false) {
    CssNameBegin(x, kind, start);
    if (first) CssNameAdd(x, x->pend[0]);
    if (taken) x->last = x->pendEnd[taken - 1];
    Again(x, taken);
}

static void NumberEnd(CssRead* x) { CssHand(x, CssNumber, x->start, x->last); }

void CssDecide(CssRead* x, bool ended) {
    uint32_t b = Peek(x, 1, ended), c = Peek(x, 2, ended);
    int is;
    switch (x->decide) {
    case DMinus:
        if ((is = StartsNumber(x, ended)) != 0) return is > 0 ? Number(x, NumSign, 1) : (void)0;
        if (b == CssNotYet || (b == '-' && c == CssNotYet)) return;
        if (b == '-' && c == '>') {
            CssHand(x, CssCDC, x->pendAt[0], x->pendEnd[2]);
            return Again(x, 3);
        }
        if ((is = StartsName(x, 0, ended)) < 0) return;
        if (is) return NameFrom(x, CssIdent, x->pendAt[0], 1, true);
        return Delim(x);
    case DPlus: case DDot:
        if ((is = StartsNumber(x, ended)) < 0) return;
        return is ? Number(x, x->decide == DDot ? NumFrac : NumSign, 1) : Delim(x);
    case DLess:
        for (unsigned i = 1; i < 4; i++) {
            uint32_t k = Peek(x, i, ended);
            if (k == CssNotYet) return;
            if (k != (uint32_t)"<!--"[i]) return Delim(x);
        }
        CssHand(x, CssCDO, x->pendAt[0], x->pendEnd[3]);
        return Again(x, 4);
    case DAt:
        if ((is = StartsName(x, 1, ended)) < 0) return;
        return is ? NameFrom(x, CssAtKeyword, x->pendAt[0], 1) : Delim(x);
    case DHash:
        if (b == CssNotYet || (b == '\\' && c == CssNotYet)) return;
        if (CssIsNameChar(b) || (b == '\\' && c != '\n' && c != CssEndOfInput))
            return NameFrom(x, CssHash, x->pendAt[0], 1);
        return Delim(x);
    case DBackslash:
        if (b == CssNotYet) return;
        if (b == '\n' || b == CssEndOfInput) return Delim(x);
        CssNameBegin(x, CssIdent, x->pendAt[0]);
        x->escape = 1;
        x->last = x->pendEnd[0];
        return Again(x, 1);
    case DSlash:
        if (b == CssNotYet) return;
        if (b != '*') return Delim(x);
        x->mode = MComment;
        x->start = x->pendAt[0];
        x->last = x->pendEnd[1];
        x->star = false;
        return Again(x, 2);
    case DNumDot:
        if (b == CssNotYet) return;
        if (!CssIsDigit(b)) return NumberEnd(x), Again(x, 0);
        x->mode = MNumber;
        x->quote = NumFrac;
        x->last = x->pendEnd[0];
        return Again(x, 1);
    case DNumE:
        if (b == CssNotYet || ((b == '+' || b == '-') && c == CssNotYet)) return;
        if (CssIsDigit(b) || ((b == '+' || b == '-') && CssIsDigit(c))) {
            unsigned taken = CssIsDigit(b) ? 1 : 2;
            x->mode = MNumber;
            x->quote = NumExp;
            x->last = x->pendEnd[taken - 1];
            return Again(x, taken);
        }
        return NameFrom(x, CssDimension, x->start, 0);
    case DUnit:
        if (x->pend[0] == '%') {
            CssHand(x, CssPercentage, x->start, x->pendEnd[0]);
            return Again(x, 1);
        }
        if ((is = StartsName(x, 0, ended)) < 0) return;
        if (is) return NameFrom(x, CssDimension, x->start, 0);
        return NumberEnd(x), Again(x, 0);
    case DNameEscape:
        if (b == CssNotYet) return;
        if (b == '\n' || b == CssEndOfInput) return CssHand(x, x->kind, x->start, x->last), Again(x, 0);
        x->mode = MName;
        x->escape = 1;
        x->last = x->pendEnd[0];
        return Again(x, 1);
    }
}

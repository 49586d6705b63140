// The script around the tokens, read as far as a lexer needs it: what each
// open (, [, { and ${ is, whether a / starts a regular expression, and what a
// line end before a token does. A light reading, not a parser: it follows the
// statement and expression forms through the token before and a frame per
// bracket.
#include "authoring/scan/JsContextFrames.h"
#include <string.h>

static bool IsPunct(const JsToken* t, int id) { return t->kind == JsPunct && t->id == id; }
static bool IsWord(const JsToken* t, int id) { return t->kind == JsName && t->id == id; }

static bool StatementFrame(const JsFrame* f) {
    return f->kind == FrameTop || f->kind == FrameBlock || f->kind == FrameBody ||
           f->kind == FrameBodyExpr || f->kind == FrameArrowBody;
}

// Whether the token can go on with an expression that the line before ended:
// then no line end was ever needed before it.
static bool Continues(JsLex* x, const JsToken* t) {
    // a template after a value tags it; one that goes on after } closes a substitution
    if (t->kind == JsTemplate) return true;
    if (t->kind == JsName)
        return t->id == JsWordIn || t->id == JsWordInstanceof ||
               (t->id == JsWordOf && JsTop(x)->kind == FrameHead);
    if (t->kind != JsPunct) return false;
    switch (t->id) {
    case JsPBraceL: case JsPBang: case JsPTilde: case JsPEllipsis: case JsPInc: case JsPDec:
    case JsPArrow:
        return false;
    }
    return true;
}

static bool OneOf(const JsToken* t, const int* ids, int count) {
    for (int i = 0; i < count; i++)
        if (IsPunct(t, ids[i])) return true;
    return false;
}

// What taking away the line end before `t` does, from the token before it.
static void LineEffect(JsLex* x, JsToken* t, bool goesOn) {
    static const int kEnds[] = {JsPSemi, JsPBraceR, JsPParenR, JsPBracketR, JsPComma, JsPColon};
    int effect = JsChanges, reason = JsReasonNone;
    bool lastAsync = x->lastKind == JsName && x->lastId == JsWordAsync;
    switch (x->after) {
    case AfterValue:
        if (IsPunct(t, JsPInc) || IsPunct(t, JsPDec)) reason = JsReasonPostfix;
        else if (IsPunct(t, JsPArrow)) reason = JsReasonArrow;
        else if (lastAsync && IsWord(t, JsWordFunction)) reason = JsReasonAsync;
        else if (lastAsync && IsPunct(t, JsPParenL)) effect = JsMayChange, reason = JsReasonAsync;
        else if (goesOn) effect = JsHarmless;
        // a class's name goes on with its heritage or its body
        else if ((IsPunct(t, JsPBraceL) || IsWord(t, JsWordExtends)) && (JsTop(x)->misc & MiscClass))
            effect = JsHarmless;
        // let, then a name or a pattern, declares either way
        else if (x->lastKind == JsName && x->lastId == JsWordLet &&
                 (IsPunct(t, JsPBraceL) || IsPunct(t, JsPBracketL) || t->kind == JsName))
            effect = JsHarmless;
        else reason = JsReasonStatementEnd;
        break;
    case AfterArrowBody:
        if (OneOf(t, kEnds, 6)) effect = JsHarmless;
        else reason = JsReasonArrowBody;
        break;
    case AfterRestricted:
        if (OneOf(t, kEnds, 2)) effect = JsHarmless;
        else reason = JsReasonRestricted;
        break;
    case AfterYield:
        if (OneOf(t, kEnds, 6)) effect = JsHarmless;
        else reason = JsReasonRestricted;
        break;
    case AfterModifier:
        if (lastAsync && (IsPunct(t, JsPBracketL) || IsPunct(t, JsPStar) || t->kind == JsString ||
                          t->kind == JsNumber || t->kind == JsPrivate))
            reason = JsReasonAsync;
        else effect = JsHarmless;
        break;
    default:
        effect = JsHarmless;
    }
    if (effect != JsHarmless && JsTop(x)->kind == FrameUnknown) {
        effect = JsMayChange;
        reason = JsReasonUnsure;
    }
    t->effect = (unsigned char)effect;
    t->reason = (unsigned char)reason;
}

static void NameToken(JsLex* x, JsToken* t, JsFrame* f, bool start) {
    int w = t->id;
    if (x->after == AfterDot) {
        x->after = AfterValue;
        return;
    }
    t->keyword = w > 0 && w <= JsWordLastReserved;
    int before = x->after;
    bool afterAsync = x->lastKind == JsName && x->lastId == JsWordAsync && !t->newline;
    x->after = AfterOperator;
    switch (w) {
    case JsWordBreak: case JsWordContinue: case JsWordReturn: case JsWordThrow: case JsWordDebugger:
        x->after = AfterRestricted;
        break;
    case JsWordThis: case JsWordSuper: case JsWordNull: case JsWordTrue: case JsWordFalse:
        x->after = AfterValue;
        break;
    case JsWordFunction:
        // async function stands where async stood
        if (afterAsync) start = x->asyncStart;
        x->pendFunc = PendFunction | (start ? 0 : FlagExpr) | (afterAsync ? FlagAsync : 0);
        break;
    case JsWordClass:
        f->misc = (unsigned char)((f->misc & ~MiscClass) | (start ? MiscClassDecl : MiscClassExpr));
        break;
    case JsWordDo:
        if ((f->misc & MiscDo) != MiscDo) f->misc = (unsigned char)(f->misc + MiscDoOne);
        x->after = AfterStart;
        break;
    case JsWordWhile:
        x->doWhile = start && (f->misc & MiscDo);
        if (x->doWhile) f->misc = (unsigned char)(f->misc - MiscDoOne);
        break;
    case JsWordElse: case JsWordTry: case JsWordFinally:
        x->after = AfterStart;
        break;
    case JsWordCatch:
        x->after = AfterBlockHead;
        break;
    case JsWordYield:
        t->keyword = JsInFunction(x, FlagGen);
        x->after = t->keyword ? AfterYield : AfterValue;
        break;
    case JsWordAwait:
        if (JsInFunction(x, FlagAsync)) break;
        // for await ( reads as for (
        if (x->lastKind == JsName && x->lastId == JsWordFor) return;
        x->after = AfterValue;
        break;
    case JsWordOf:
        if (!(f->kind == FrameHead && (f->flags & FlagFor) && !(f->flags & FlagSemi) && before == AfterValue))
            x->after = AfterValue;
        break;
    case JsWordAsync:
        x->asyncStart = start;
        x->after = AfterValue;
        break;
    case JsWordLet: case JsWordGet: case JsWordSet: case JsWordStatic: case 0:
        x->after = AfterValue;
        break;
    }
}

void JsContextToken(JsLex* x, JsToken* t) {
    JsFrame* f = JsTop(x);
    bool goesOn = Continues(x, t);
    if (t->newline) LineEffect(x, t, goesOn);
    bool ended = x->after == AfterValue || x->after == AfterArrowBody ||
                 x->after == AfterRestricted || x->after == AfterYield;
    bool asi = t->newline && !goesOn && ended;
    bool start = StatementFrame(f) && (x->after == AfterStart || x->after == AfterHead || asi);
    // a class member ended by its line end: the next one starts
    if ((f->kind == FrameClass || f->kind == FrameClassExpr) && asi) f->flags = FlagKey;
    unsigned char pendArrow = 0;
    x->lastKey = false;
    bool consumed = JsKeyToken(x, t, f);
    if (!consumed) {
        switch (t->kind) {
        case JsName:
            NameToken(x, t, f, start);
            break;
        case JsTemplate:
            if (!(t->id & JsTemplateCloses)) JsPush(x, FrameTemplate, 0);
            x->after = (t->id & JsTemplateCloses) ? AfterValue : AfterOperator;
            break;
        case JsPunct:
            pendArrow = JsPunctToken(x, t, f, start);
            break;
        case JsInvalid:
            x->after = AfterOperator;
            break;
        default:
            x->after = AfterValue;
        }
    }
    if (!(t->kind == JsName || IsPunct(t, JsPStar) || IsPunct(t, JsPParenL))) x->pendFunc = 0;
    x->pendArrow = pendArrow;
    if (!IsPunct(t, JsPParenR) && !IsPunct(t, JsPBracketR) && !IsPunct(t, JsPBraceR))
        x->closedKind = x->closedFlags = 0;
    x->beforeWord = x->lastKind == JsName ? x->lastId : 0;
    x->lastKind = t->kind;
    x->lastId = t->id;
}

void JsContextStart(JsLex* x) {
    x->depth = 1;
    x->frames[0].kind = x->handler ? FrameBody : FrameTop;
    x->after = AfterStart;
}

bool JsRegexAllowed(const JsLex* x) {
    return x->after != AfterValue && x->after != AfterDot && x->after != AfterModifier;
}

void JsTemplatePush(JsLex* x) { JsPush(x, FrameTemplate, 0); }

void JsTemplatePop(JsLex* x) { JsPop(x); }

bool JsTemplateOpen(const JsLex* x) { return JsTop((JsLex*)x)->kind == FrameTemplate; }

bool JsContextEqual(const JsLex* a, const JsLex* b) {
    if (a->after != b->after || a->lastKind != b->lastKind || a->lastId != b->lastId ||
        a->beforeWord != b->beforeWord || a->closedKind != b->closedKind ||
        a->closedFlags != b->closedFlags || a->pendFunc != b->pendFunc ||
        a->pendArrow != b->pendArrow || a->lastKey != b->lastKey || a->doWhile != b->doWhile ||
        a->asyncStart != b->asyncStart ||
        a->depth != b->depth || a->lineStart != b->lineStart || a->newline != b->newline)
        return false;
    uint32_t kept = a->depth < JsFrameMost ? a->depth : JsFrameMost;
    return memcmp(a->frames, b->frames, kept * sizeof(JsFrame)) == 0;
}

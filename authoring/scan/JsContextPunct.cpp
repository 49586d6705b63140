// Brackets and the other punctuators in the script's reading, and the keys of
// object and class members.
#include "authoring/scan/JsContextFrames.h"
#include <string.h>

JsFrame* JsTop(JsLex* x) {
    return &x->frames[(x->depth < JsFrameMost ? x->depth : JsFrameMost) - 1];
}

void JsPush(JsLex* x, int kind, int flags) {
    if (x->depth < UINT32_MAX) x->depth++;
    JsFrame* f = JsTop(x);
    memset(f, 0, sizeof *f);
    f->kind = (unsigned char)kind;
    f->flags = (unsigned char)flags;
}

// The last frame kept stands for every frame past it: once one of those
// closes, what the one below it was is no longer known.
JsFrame JsPop(JsLex* x) {
    JsFrame closed = *JsTop(x);
    if (x->depth <= 1) return closed;
    x->depth--;
    if (x->depth >= JsFrameMost) {
        memset(JsTop(x), 0, sizeof(JsFrame));
        JsTop(x)->kind = FrameUnknown;
    }
    return closed;
}

bool JsInFunction(JsLex* x, int flag) {
    uint32_t kept = x->depth < JsFrameMost ? x->depth : JsFrameMost;
    for (uint32_t i = kept; i-- > 0;) {
        const JsFrame* f = &x->frames[i];
        if (f->kind == FrameBody || f->kind == FrameBodyExpr || f->kind == FrameArrowBody ||
            f->kind == FrameParams)
            return (f->flags & flag) != 0 && !(f->kind == FrameArrowBody && flag == FlagGen);
    }
    return false;
}

static bool IsPunct(const JsToken* t, int id) { return t->kind == JsPunct && t->id == id; }

bool JsKeyToken(JsLex* x, JsToken* t, JsFrame* f) {
    if (f->kind != FrameObject && f->kind != FrameClass && f->kind != FrameClassExpr) return false;
    int keep = f->flags & (FlagGetSet | FlagModGen | FlagModAsync);
    bool modifierWord = t->kind == JsName && (t->id == JsWordGet || t->id == JsWordSet ||
                                              t->id == JsWordStatic || t->id == JsWordAsync);
    if (f->flags & FlagKey) {
        if (t->kind == JsName || t->kind == JsString || t->kind == JsNumber || t->kind == JsPrivate) {
            x->lastKey = t->kind == JsName;
            if (modifierWord && !(f->flags & FlagModifier)) {
                // get, set, static or async: a modifier, unless it is the key itself
                f->flags = (unsigned char)(FlagKey | FlagAfterKey | FlagModifier | keep |
                                           (t->id == JsWordGet || t->id == JsWordSet ? FlagGetSet : 0) |
                                           (t->id == JsWordAsync ? FlagModAsync : 0));
                x->after = AfterModifier;
                return true;
            }
            f->flags = (unsigned char)(FlagAfterKey | keep);
            x->after = AfterValue;
            return true;
        }
        if (IsPunct(t, JsPStar)) {
            f->flags |= FlagModGen;
            x->after = AfterModifier;
            return true;
        }
        if (IsPunct(t, JsPBracketL)) {
            f->flags = (unsigned char)keep;
            JsPush(x, FrameKey, 0);
            x->after = AfterOperator;
            return true;
        }
        if (IsPunct(t, JsPBraceL) && f->kind != FrameObject) {
            // static { ... }: a block run once, ended like a member
            f->flags = 0;
            JsPush(x, FrameBlock, FlagMember);
            x->after = AfterStart;
            return true;
        }
        if (IsPunct(t, JsPSemi)) return x->after = AfterStart, true;
        if (IsPunct(t, JsPEllipsis)) {
            f->flags = 0;
            x->after = AfterOperator;
            return true;
        }
        if (!(f->flags & FlagAfterKey)) return false;
    }
    if (!(f->flags & FlagAfterKey)) {
        if (IsPunct(t, JsPComma) && f->kind == FrameObject && !f->questions) f->flags = FlagKey;
        if (IsPunct(t, JsPSemi) && f->kind != FrameObject) f->flags = FlagKey;
        return false;
    }
    // the key is read: parameters, a value, or the next member
    bool modifierIsKey = (f->flags & FlagModifier) && (f->flags & FlagKey);
    if (IsPunct(t, JsPParenL)) {
        int flags = FlagMember;
        if (!modifierIsKey) flags |= (keep & FlagModAsync ? FlagAsync : 0);
        if (keep & FlagModGen) flags |= FlagGen;
        f->flags = 0;
        JsPush(x, FrameParams, flags);
        x->after = AfterOperator;
        return true;
    }
    f->flags = 0;
    if (IsPunct(t, JsPComma) || IsPunct(t, JsPSemi)) f->flags = FlagKey;
    if (IsPunct(t, JsPBraceR)) return false;
    x->after = IsPunct(t, JsPSemi) ? AfterStart : AfterOperator;
    return IsPunct(t, JsPColon) || IsPunct(t, JsPAssign) || IsPunct(t, JsPComma) || IsPunct(t, JsPSemi);
}

static void BraceOpen(JsLex* x, JsFrame* f, bool start, int before) {
    int kind = FrameObject, flags = FlagKey;
    if (f->misc & MiscClass) {
        kind = (f->misc & MiscClass) == MiscClassDecl ? FrameClass : FrameClassExpr;
        f->misc &= (unsigned char)~MiscClass;
    } else if (x->closedKind == FrameParams && x->lastKind == JsPunct && x->lastId == JsPParenR) {
        kind = (x->closedFlags & FlagExpr) ? FrameBodyExpr : FrameBody;
        flags = x->closedFlags & (FlagGen | FlagAsync | FlagMember);
    } else if (x->pendArrow) {
        kind = FrameArrowBody;
        flags = (x->pendArrow & PendArrowAsync) ? FlagAsync : 0;
    } else if (start || before == AfterBlockHead || before == AfterStart) {
        kind = FrameBlock;
        flags = 0;
    }
    JsPush(x, kind, flags);
    x->after = kind == FrameObject || kind == FrameClass || kind == FrameClassExpr ? AfterOperator
                                                                                    : AfterStart;
}

static void BraceClose(JsLex* x) {
    JsFrame c = JsPop(x);
    x->closedKind = c.kind;
    x->closedFlags = c.flags;
    switch (c.kind) {
    case FrameBlock: case FrameBody:
        x->after = (c.flags & FlagMember) ? AfterMember : AfterStart;
        break;
    case FrameClass: case FrameTop:
        x->after = AfterStart;
        break;
    case FrameArrowBody:
        x->after = AfterArrowBody;
        break;
    default:
        x->after = AfterValue;
    }
    JsFrame* f = JsTop(x);
    if (x->after == AfterMember && (f->kind == FrameClass || f->kind == FrameClassExpr)) f->flags = FlagKey;
}

static void ParenOpen(JsLex* x, const JsToken* t, int before) {
    int kind = FrameParen, flags = 0;
    // a reserved word read as one (not a property name) leaves no value
    bool afterWord = x->lastKind == JsName && before != AfterValue;
    if (x->pendFunc) {
        kind = FrameParams;
        flags = x->pendFunc & (FlagGen | FlagAsync | FlagExpr);
    } else if (afterWord && (x->lastId == JsWordIf || x->lastId == JsWordWhile || x->lastId == JsWordFor ||
                             x->lastId == JsWordWith ||
                             (x->lastId == JsWordAwait && x->beforeWord == JsWordFor))) {
        kind = x->lastId == JsWordWhile && x->doWhile ? FrameDoWhile : FrameHead;
        flags = x->lastId == JsWordFor || x->lastId == JsWordAwait ? FlagFor : 0;
    } else if (afterWord && (x->lastId == JsWordSwitch || x->lastId == JsWordCatch)) {
        kind = FrameHead;
        flags = FlagBlockNext | (x->lastId == JsWordCatch ? FlagCatch : 0);
    } else if (x->lastKind == JsName && x->lastId == JsWordAsync && !t->newline) {
        flags = FlagAsyncCall;
    }
    JsPush(x, kind, flags);
    x->after = AfterOperator;
}

static void ParenClose(JsLex* x) {
    JsFrame c = JsPop(x);
    x->closedKind = c.kind;
    x->closedFlags = c.flags;
    if (c.kind == FrameHead) x->after = (c.flags & FlagBlockNext) ? AfterBlockHead : AfterHead;
    else if (c.kind == FrameParams) x->after = AfterBlockHead;
    else if (c.kind == FrameDoWhile) x->after = AfterStart;
    else x->after = AfterValue;
}

unsigned char JsPunctToken(JsLex* x, JsToken* t, JsFrame* f, bool start) {
    int before = x->after;
    x->after = AfterOperator;
    switch (t->id) {
    case JsPParenL: ParenOpen(x, t, before); break;
    case JsPParenR: ParenClose(x); break;
    case JsPBracketL: JsPush(x, before == AfterValue ? FrameMember : FrameArray, 0); break;
    case JsPBracketR: {
        JsFrame c = JsPop(x);
        x->closedKind = c.kind;
        x->closedFlags = c.flags;
        if (c.kind == FrameKey) JsTop(x)->flags |= FlagAfterKey;
        x->after = AfterValue;
        break;
    }
    case JsPBraceL: BraceOpen(x, f, start, before); break;
    case JsPBraceR: BraceClose(x); break;
    case JsPSemi:
        if (f->kind == FrameHead) f->flags |= FlagSemi;
        else x->after = AfterStart;
        break;
    case JsPQuestion:
        if (f->questions < 255) f->questions++;
        break;
    case JsPColon:
        if (f->questions) f->questions--;
        else if (f->kind == FrameTop || f->kind == FrameBlock || f->kind == FrameBody ||
                 f->kind == FrameBodyExpr || f->kind == FrameArrowBody)
            x->after = AfterStart; // a label, or a case
        break;
    case JsPDot: case JsPQuestionDot:
        x->after = AfterDot;
        break;
    case JsPInc: case JsPDec:
        if (before == AfterValue && !t->newline) x->after = AfterValue; // postfix
        break;
    case JsPStar:
        if (x->pendFunc) x->pendFunc |= FlagGen;
        break;
    case JsPArrow: {
        bool async = (x->closedKind == FrameParen && (x->closedFlags & FlagAsyncCall)) ||
                     (x->lastKind == JsName && x->beforeWord == JsWordAsync);
        return (unsigned char)(PendArrow | (async ? PendArrowAsync : 0));
    }
    }
    return 0;
}

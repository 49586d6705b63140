// The newer syntax, read from each token and the token before it.
#include "authoring/scan/JsContextFrames.h"
#include "authoring/scan/JsNewer.h"

void JsNewerNote(JsLex* x, int id, JsPos at) {
    if (x->newer || !id) return;
    x->newer = (unsigned char)id;
    x->newerAt = at;
}

static bool LastPunct(const JsLex* x, int id) { return x->lastKind == JsPunct && x->lastId == id; }
static bool LastWord(const JsLex* x, int id) {
    return x->lastKind == JsName && x->lastId == id && x->after != AfterValue;
}

static int PunctNewer(JsLex* x, const JsToken* t, const JsFrame* f) {
    bool member = f->kind == FrameObject || f->kind == FrameClass || f->kind == FrameClassExpr;
    switch (t->id) {
    case JsPArrow: return JsNewerArrow;
    case JsPEllipsis: return JsNewerSpread;
    case JsPQuestionDot: return JsNewerOptional;
    case JsPNullish: case JsPNullishEq: return JsNewerNullish;
    case JsPAndEq: case JsPOrEq: return JsNewerLogicalAssign;
    case JsPStar2: case JsPStar2Eq: return JsNewerExponent;
    case JsPBraceL: case JsPBracketL:
        if (LastWord(x, JsWordVar) || LastWord(x, JsWordConst) || x->pendLet) return JsNewerDestructuring;
        if ((f->kind == FrameParams || (f->kind == FrameHead && (f->flags & FlagCatch))) &&
            (LastPunct(x, JsPParenL) || LastPunct(x, JsPComma)))
            return JsNewerDestructuring;
        if (t->id == JsPBraceL && LastWord(x, JsWordCatch)) return JsNewerCatchBinding;
        if (t->id == JsPBracketL && f->kind == FrameObject && (f->flags & FlagKey)) return JsNewerComputed;
        return 0;
    case JsPAssign:
        if ((LastPunct(x, JsPBracketR) && x->closedKind == FrameArray) ||
            (LastPunct(x, JsPBraceR) && x->closedKind == FrameObject))
            return JsNewerDestructuring;
        return f->kind == FrameParams ? JsNewerDefault : 0;
    case JsPParenR:
        return LastPunct(x, JsPComma) && (f->kind == FrameParen || f->kind == FrameParams)
                   ? JsNewerTrailingComma : 0;
    case JsPStar:
        return x->pendFunc || (member && (f->flags & FlagKey)) ? JsNewerGenerator : 0;
    case JsPDot:
        return LastWord(x, JsWordNew) ? JsNewerNewTarget : 0;
    case JsPComma: case JsPBraceR:
        return f->kind == FrameObject && x->lastKey && (f->flags & FlagAfterKey) ? JsNewerShorthand : 0;
    case JsPParenL:
        // a getter or a setter is ES5; get() and set() are methods named so
        if (f->kind == FrameObject && (f->flags & FlagAfterKey) &&
            (!(f->flags & FlagGetSet) || (f->flags & FlagKey)))
            return JsNewerMethod;
        return 0;
    }
    return 0;
}

static int NameNewer(JsLex* x, const JsToken* t, const JsFrame* f) {
    if (x->after == AfterDot) return 0;
    bool member = f->kind == FrameObject || f->kind == FrameClass || f->kind == FrameClassExpr;
    if (member && (f->flags & FlagKey))
        return (f->flags & FlagModAsync) && (f->flags & FlagModifier) ? JsNewerAsync : 0;
    bool forStart = f->kind == FrameHead && (f->flags & FlagFor) && LastPunct(x, JsPParenL);
    switch (t->id) {
    case JsWordClass: return JsNewerClass;
    case JsWordImport: case JsWordExport: return JsNewerModule;
    case JsWordFunction: return x->lastKind == JsName && x->lastId == JsWordAsync && !t->newline ? JsNewerAsync : 0;
    case JsWordOf:
        return f->kind == FrameHead && (f->flags & FlagFor) && !(f->flags & FlagSemi) &&
                       x->after == AfterValue && !LastPunct(x, JsPParenL)
                   ? JsNewerForOf : 0;
    case JsWordConst: return forStart ? JsNewerLetInFor : 0;
    case JsWordLet:
        if (forStart) x->pendLet = 2;
        else if (x->after == AfterStart || x->after == AfterHead) x->pendLet = 1;
        return 0;
    }
    return 0;
}

void JsNewerToken(JsLex* x, const JsToken* t) {
    if (x->newer) return;
    const JsFrame* f = JsTop(x);
    int found = 0;
    unsigned char pendLet = x->pendLet;
    if (pendLet == 2 && t->kind == JsName && t->id != JsWordIn && t->id != JsWordOf && t->id != JsWordInstanceof)
        found = JsNewerLetInFor;
    if (!found && t->kind == JsTemplate) found = JsNewerTemplate;
    if (!found && t->kind == JsPunct) found = PunctNewer(x, t, f);
    if (pendLet == 2 && found == JsNewerDestructuring) found = JsNewerLetInFor;
    x->pendLet = 0;
    if (!found && t->kind == JsName) found = NameNewer(x, t, f);
    JsNewerNote(x, found, t->start);
}

// Each filled byte's place: by the tokenizer state that reads it and, inside
// raw text, by the language of its element. A space takes the place it leaves
// its reader in (after "/" a space may be in a regular expression); any other
// byte the place it is read in.
#include "authoring/scan/CssRead.h"
#include "authoring/scan/HtmlTokenizer.h"
#include "authoring/scan/JsLexInternal.h"
#include "authoring/scan/JsonRead.h"
#include "authoring/scan/PackPlan.h"
#include <stdlib.h>
#include <string.h>

static unsigned char StatePlace(unsigned char s) {
    switch (s) {
    case HtmlStateData:
    case HtmlStateRcdata:
    case HtmlStateAttributeValueDouble:
    case HtmlStateAttributeValueSingle:
        return PlaceText;
    case HtmlStatePlaintext:
        return PlaceRaw;
    case HtmlStateCdataSection:
    case HtmlStateCdataSectionBracket:
    case HtmlStateCdataSectionEnd:
        return PlaceCdata;
    default:
        return s >= HtmlStateCharacterReference ? PlaceReference : PlaceTag;
    }
}

struct JsScan {
    bool shown, afterParen;
};

// A script shows a function's source text where it has one: function, class,
// =>, or ") {" (a method, a getter; a block after if, too: a few too many).
static void JsTokenTake(void* context, const JsToken* t) {
    JsScan* scan = (JsScan*)context;
    if (t->kind == JsComment) return;
    if ((t->kind == JsName && t->keyword && (t->id == JsWordFunction || t->id == JsWordClass)) ||
        (t->kind == JsPunct && (t->id == JsPArrow || (t->id == JsPBraceL && scan->afterParen))))
        scan->shown = true;
    scan->afterParen = t->kind == JsPunct && t->id == JsPParenR;
}

static unsigned char JsPlaceOf(JsPlace p) {
    if (p == JsPlaceString) return PlaceJsString;
    if (p == JsPlaceTemplate || p == JsPlaceRegex) return PlaceJsLiteral;
    return PlaceJsCode;
}

static void JsPlaces(PackPlan* plan, const PackRegion& r) {
    JsLex lex;
    JsScan scan = {false, false};
    JsStart(&lex, false, false, JsTokenTake, &scan);
    for (size_t f = r.contentStart; f < r.contentEnd; f++) {
        JsPlace before = JsPlaceNow(&lex);
        bool escaped = lex.escape && before != JsPlaceCode && before != JsPlaceLineComment &&
                       before != JsPlaceBlockComment;
        JsFeed(&lex, plan->filled + f, 1, JsPos{0, (uint32_t)(f - r.contentStart)});
        JsPlace p = plan->filled[f] == ' ' ? JsPlaceNow(&lex) : before;
        plan->places[f] = (unsigned char)(JsPlaceOf(p) | (escaped ? PlaceEscaped : 0));
    }
    JsEnd(&lex);
    for (size_t f = r.contentStart; f < r.contentEnd && scan.shown; f++)
        plan->places[f] |= PlaceShown;
}

static unsigned char CssPlaceOf(CssPlace p) {
    if (p == CssInString1 || p == CssInString2) return PlaceCssString;
    return p == CssInComment ? PlaceCssComment : PlaceCss;
}

// A byte that an escape takes: one the reader is escaping, or the byte after a
// backslash that nothing escapes (outside strings the reader only decides on
// it later).
static void CssPlaces(PackPlan* plan, const PackRegion& r) {
    CssRead css;
    CssStart(&css, false, nullptr, nullptr);
    for (size_t f = r.contentStart; f < r.contentEnd; f++) {
        char c = plan->filled[f];
        unsigned char before = CssPlaceOf(CssPlaceNow(&css));
        bool lone = f > r.contentStart && plan->filled[f - 1] == '\\' &&
                    !(plan->places[f - 1] & PlaceEscaped) && before != PlaceCssComment;
        bool escaped = (css.escape != 0 && before != PlaceCssComment) || lone;
        ScanPos at = {0, (uint32_t)(f - r.contentStart)};
        unsigned char place = before;
        if (c == '\r' || c == '\n') {
            CssLineEnd(&css, at);
            if (c == '\r' && f + 1 < r.contentEnd && plan->filled[f + 1] == '\n')
                plan->places[f++] = (unsigned char)(place | (escaped ? PlaceEscaped : 0));
        } else {
            CssFeed(&css, &c, 1, at);
            if (c == ' ') place = CssPlaceOf(CssPlaceNow(&css));
        }
        plan->places[f] = (unsigned char)(place | (escaped ? PlaceEscaped : 0));
    }
    CssEnd(&css);
}

// JSON.parse reads the element's text, whose line ends are LF: CR and LF
// are both JSON white space.
static void JsonPlaces(PackPlan* plan, PackRegion* r) {
    unsigned char* places = plan->places + r->contentStart;
    size_t n = r->contentEnd - r->contentStart;
    r->valid = JsonRead(plan->filled + r->contentStart, n, places) != 0;
    for (size_t i = 0; i < n; i++) {
        unsigned char p = places[i];
        places[i] = !r->valid ? (unsigned char)PlaceRaw
                              : (unsigned char)(((p & JsonInString) ? PlaceJsonString : PlaceJsonCode) |
                                                ((p & JsonEscaped) ? PlaceEscaped : 0));
    }
}

int PackPlacesMake(PackPlan* plan) {
    for (size_t f = 0; f < plan->filledLength; f++) plan->places[f] = StatePlace(plan->states[f]);
    for (size_t i = 0; i < plan->regionCount; i++) {
        PackRegion* r = &plan->regions[i];
        unsigned char all = PlaceRaw;
        switch (r->kind) {
        case RegionStyle:
            CssPlaces(plan, *r);
            continue;
        case RegionJson:
            JsonPlaces(plan, r);
            continue;
        case RegionClassic:
        case RegionModule:
            if (!r->lines) {
                JsPlaces(plan, *r);
                continue;
            }
            all = r->kind == RegionClassic ? PlaceMoved : PlaceRaw;
            break;
        case RegionHidden:
            all = PlaceHidden;
            break;
        default:
            break;
        }
        memset(plan->places + r->contentStart, all, r->contentEnd - r->contentStart);
    }
    return 1;
}

static unsigned char Where(const PackPlan* plan, size_t f) {
    for (size_t i = 0; i < plan->regionCount; i++) {
        const PackRegion& r = plan->regions[i];
        if (f < r.contentStart || f >= r.contentEnd) continue;
        if (r.kind == RegionStyle) return WhereStyle;
        if (r.kind == RegionClassic || r.kind == RegionModule) return WhereScript;
        return r.kind == RegionJson || r.kind == RegionData ? WhereData : WhereRawText;
    }
    unsigned char s = plan->states[f];
    switch (plan->places[f] & PlaceMask) {
    case PlaceText:
    case PlaceReference:
        if (s == HtmlStateRcdata) return WhereRcdata;
        if (s == HtmlStateAttributeValueDouble || s == HtmlStateAttributeValueSingle)
            return WhereAttribute;
        return WhereText;
    case PlaceCdata:
        return WhereCdata;
    case PlaceRaw:
        return WhereRawText;
    default:
        if (s == HtmlStateAttributeValueUnquoted) return WhereAttribute;
        return s >= HtmlStateBogusComment && s <= HtmlStateBogusDoctype ? WhereComment : WhereTag;
    }
}

int PackValuesWhere(const char* page, size_t length, const char* insert,
                    PackValueWhere where[PackValueCount], PackRefusal* refusal) {
    PackPlan plan;
    if (!PackPlanMake(page, length, insert, &plan)) {
        *refusal = plan.refusal;
        plan.refusal.message = nullptr;
        PackPlanFree(&plan);
        return 0;
    }
    for (int k = 0; k < PackValueCount; k++) {
        size_t f = plan.values[k], end = f + plan.valueLengths[k];
        size_t first = f < plan.filledLength ? f : f - 1; // a page that ends with a value
        where[k].at = plan.holders[k];
        where[k].where = Where(&plan, first);
        where[k].references = true;
        for (; f < end; f++) {
            // An unquoted value decodes references too; its white space, which
            // ends it, is why it is no PlaceText.
            unsigned char p = plan.places[f] & PlaceMask;
            if (p == PlaceText || p == PlaceReference ||
                plan.states[f] == HtmlStateAttributeValueUnquoted || !where[k].references)
                continue;
            where[k].references = false;
            where[k].where = Where(&plan, f);
        }
    }
    PackPlanFree(&plan);
    return 1;
}

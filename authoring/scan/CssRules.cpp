#include "authoring/scan/CssRules.h"
#include <stdlib.h>
#include <string.h>

enum State { STop, SAt, SSkip, SPrelude, SName, SColon, SValue, SDeclSkip };

// A selector is kept by its last part (the element it picks): a flag (1 where
// that part is all of the selector, 0 where more must hold), then entries,
// each a kind ('t' type, '#' id, '.' class), a length and the name, ended by
// a zero kind.
static bool Grow(CssSheet* s, size_t more) {
    if (s->failed) return false;
    if (s->byteCount + more <= s->byteRoom) return true;
    size_t room = s->byteRoom ? s->byteRoom : 256;
    while (room < s->byteCount + more && room < ((size_t)-1) / 2) room *= 2;
    char* grown = room >= s->byteCount + more ? (char*)realloc(s->bytes, room) : nullptr;
    if (!grown) return !(s->failed = true);
    s->bytes = grown;
    s->byteRoom = room;
    return true;
}

static void Entry(CssSheet* s, char kind, const CssToken* t) {
    s->parts = true;
    if (t->nameLong) s->exact = false; // a name cut short matches no element for certain
    if (t->nameLong || !Grow(s, 2 + t->nameLength)) return;
    s->bytes[s->byteCount++] = kind;
    s->bytes[s->byteCount++] = (char)t->nameLength;
    for (unsigned i = 0; i < t->nameLength; i++) {
        char c = t->name[i];
        // element names match in any letter case
        s->bytes[s->byteCount++] = kind == 't' && c >= 'A' && c <= 'Z' ? (char)(c | 0x20) : c;
    }
}

static void PartBegin(CssSheet* s) {
    s->byteCount = s->compound;
    if (Grow(s, 1)) s->bytes[s->byteCount++] = 0;
    s->wantClass = s->pseudo = s->spaced = s->parts = false;
}

static void SelectorEnd(CssSheet* s) {
    // an empty selector picks nothing; one of :hover alone may pick anything
    if ((s->parts || !s->exact) && Grow(s, 1)) {
        s->bytes[s->compound] = s->exact && !s->wantClass;
        s->bytes[s->byteCount++] = 0;
        s->rule.count++;
        s->compound = s->byteCount;
    }
    s->exact = true;
    PartBegin(s);
}

static void Selector(CssSheet* s, const CssToken* t) {
    bool open = t->kind == CssFunction || t->kind == CssParenL || t->kind == CssBracketL;
    if (s->depth) {
        // inside :not(...), [attr=...]: more that must hold, nothing of the part's own
        if (open) s->depth++;
        if (t->kind == CssParenR || t->kind == CssBracketR) s->depth--;
        return;
    }
    if (t->kind == CssWhitespace || t->kind == CssComment) return (void)(s->spaced = s->parts || s->pseudo);
    if (t->kind == CssComma) return SelectorEnd(s);
    bool combinator = t->kind == CssDelim && (t->delim == '>' || t->delim == '+' || t->delim == '~');
    if (combinator || s->spaced) {
        // the part so far picks another element: the one that counts comes after it
        s->exact = false;
        PartBegin(s);
        if (combinator) return;
    }
    bool pseudo = s->pseudo;
    s->pseudo = false;
    if (open || t->kind == CssColon) {
        s->exact = false;
        s->pseudo = t->kind == CssColon; // :hover, ::before: the name after it is no type
        if (open) s->depth = 1;
        return;
    }
    if (pseudo && t->kind == CssIdent) return;
    if (s->wantClass && t->kind != CssIdent) s->exact = false;
    if (t->kind == CssIdent) Entry(s, s->wantClass ? '.' : 't', t);
    else if (t->kind == CssHash && t->nameLength && !(t->name[0] >= '0' && t->name[0] <= '9')) Entry(s, '#', t);
    else if (t->kind == CssDelim && t->delim == '.') return (void)(s->wantClass = true);
    else if (t->kind == CssDelim && t->delim == '*') s->parts = true;
    else s->exact = false;
    s->wantClass = false;
}

static bool Named(const CssToken* t, const char* word) {
    size_t n = strlen(word);
    if (t->nameLong || t->nameLength != n) return false;
    for (size_t i = 0; i < n; i++)
        if ((t->name[i] | 0x20) != word[i] && t->name[i] != word[i]) return false;
    return true;
}

// The keywords a white-space value may hold, a bit each.
static const char* const kKeywords[] = {
    "pre", "pre-wrap", "pre-line", "break-spaces", "preserve", "preserve-breaks",  // keep
    "normal", "nowrap", "initial", "collapse", "discard", "preserve-spaces", "wrap", // do not
    "inherit", "unset", "revert", "revert-layer",
};
enum { KeepWords = 0x3F, CollapseWords = 0x7C0, WrapWords = 0x1080, Inherits = 0x6000, Reverts = 0x18000 };

static int Classify(const CssSheet* s) {
    uint32_t k = s->keywords;
    if (s->other || !s->idents) return s->other ? CssWhiteUnknown : -1;
    if (s->idents == 1) {
        if (k & Reverts) return CssWhiteUnknown;
        if (k & Inherits) return CssWhiteInherit;
        // white-space-collapse takes none of white-space's own old values
        if (s->property == 2 && (k & 0x7 || k & 0xC0)) return -1;
        if (k & KeepWords) return CssWhiteKeeps;
        if (k & (CollapseWords | 0x1000)) return s->property == 2 && k & 0x1000 ? -1 : CssWhiteCollapses;
        return -1; // an invalid value: the declaration is dropped
    }
    if (s->property == 2 || !k) return k ? -1 : CssWhiteUnknown;
    if (k & KeepWords) return CssWhiteKeeps;
    if (k & (CollapseWords & ~WrapWords)) return CssWhiteCollapses;
    return CssWhiteUnknown;
}

static void DeclarationEnd(CssSheet* s) {
    int value = s->property ? Classify(s) : -1;
    // the last declaration of a rule wins, unless an earlier one is important and it is not
    if (value >= 0 && (s->important || !s->rule.important)) {
        s->rule.value = (unsigned char)value;
        s->rule.important = s->important;
    }
    s->property = 0;
    s->state = SName;
}

static void RuleEnd(CssSheet* s) {
    s->state = STop;
    if (s->declarationsOnly) return;
    if (s->rule.value == CssWhiteNone || !s->rule.count) {
        s->byteCount = s->rule.selectors;
        return;
    }
    if (s->ruleCount == s->ruleRoom) {
        size_t room = s->ruleRoom ? s->ruleRoom * 2 : 16;
        CssRule* grown = room < ((size_t)-1) / sizeof(CssRule) ? (CssRule*)realloc(s->rules, room * sizeof(CssRule)) : nullptr;
        if (!grown) return (void)(s->failed = true);
        s->rules = grown;
        s->ruleRoom = room;
    }
    s->rules[s->ruleCount++] = s->rule;
}

static void Value(CssSheet* s, const CssToken* t) {
    if (t->kind == CssWhitespace || t->kind == CssComment) return;
    if (s->depth == 0 && t->kind == CssSemicolon) return DeclarationEnd(s);
    if (s->depth == 0 && t->kind == CssBraceR) {
        DeclarationEnd(s);
        return s->declarationsOnly ? (void)(s->other = false) : RuleEnd(s);
    }
    if (t->kind == CssFunction || t->kind == CssParenL || t->kind == CssBracketL || t->kind == CssBraceL) s->depth++;
    if ((t->kind == CssParenR || t->kind == CssBracketR || t->kind == CssBraceR) && s->depth) s->depth--;
    if (s->bang && t->kind == CssIdent && Named(t, "important")) {
        s->important = true;
        s->bang = false;
        return;
    }
    if (t->kind == CssDelim && t->delim == '!' && s->depth == 0) return (void)(s->bang = true);
    if (t->kind != CssIdent || s->depth || s->important) return (void)(s->other = true);
    s->idents++;
    size_t i = 0;
    while (i < sizeof kKeywords / sizeof *kKeywords && !Named(t, kKeywords[i])) i++;
    if (i < sizeof kKeywords / sizeof *kKeywords) s->keywords |= 1u << i;
    else s->other = s->property == 1 && s->idents > 1; // an unknown word among several: can't tell
}

static void Take(void* context, const CssToken* t) {
    CssSheet* s = (CssSheet*)context;
    bool open = t->kind == CssBraceL || t->kind == CssParenL || t->kind == CssBracketL || t->kind == CssFunction;
    bool close = t->kind == CssBraceR || t->kind == CssParenR || t->kind == CssBracketR;
    switch (s->state) {
    case STop:
        if (t->kind == CssWhitespace || t->kind == CssComment || t->kind == CssCDO || t->kind == CssCDC) return;
        if (t->kind == CssBraceR) return (void)(s->groups ? s->groups-- : 0);
        memset(&s->rule, 0, sizeof s->rule);
        s->rule.selectors = s->compound = s->byteCount;
        s->rule.conditional = s->groups > 0;
        s->rule.at = t->start;
        s->depth = 0;
        if (t->kind == CssAtKeyword) {
            // the groups whose rules apply where a condition holds, or in a layer's order
            static const char* const kGroups[] = {"media", "supports", "container", "layer", "document", "scope", "starting-style"};
            s->skipBlock = true;
            for (const char* g : kGroups)
                if (Named(t, g)) s->skipBlock = false;
            return (void)(s->state = SAt);
        }
        s->exact = true;
        PartBegin(s);
        s->state = SPrelude;
        return Selector(s, t);
    case SAt:
        if (t->kind == CssSemicolon && !s->depth) return (void)(s->state = STop);
        if (t->kind == CssBraceL && !s->depth) {
            if (s->skipBlock) return (void)(s->state = SSkip, s->depth = 1);
            s->groups++;
            return (void)(s->state = STop);
        }
        if (open) s->depth++;
        if (close && s->depth) s->depth--;
        return;
    case SSkip:
        if (open) s->depth++;
        if (close && --s->depth == 0) s->state = STop;
        return;
    case SPrelude:
        if (t->kind == CssBraceL && !s->depth) {
            SelectorEnd(s);
            s->byteCount = s->compound; // the part begun after the last selector
            return (void)(s->state = SName);
        }
        return Selector(s, t);
    case SName:
        if (t->kind == CssWhitespace || t->kind == CssComment || t->kind == CssSemicolon) return;
        if (t->kind == CssBraceR) return s->declarationsOnly ? (void)0 : RuleEnd(s);
        s->property = t->kind != CssIdent ? 0 : Named(t, "white-space") ? 1 : Named(t, "white-space-collapse") ? 2 : 0;
        s->keywords = s->idents = 0;
        s->other = s->bang = s->important = false;
        s->depth = open ? 1 : 0;
        s->state = t->kind == CssIdent ? SColon : SDeclSkip;
        return;
    case SColon:
        if (t->kind == CssWhitespace || t->kind == CssComment) return;
        s->state = t->kind == CssColon ? SValue : SDeclSkip;
        if (s->state == SDeclSkip) return Take(context, t);
        return;
    case SValue:
        return Value(s, t);
    case SDeclSkip:
        s->property = 0;
        if (s->depth == 0 && (t->kind == CssSemicolon || t->kind == CssBraceR)) return Value(s, t);
        if (open) s->depth++;
        if (close && s->depth) s->depth--;
        return;
    }
}

void CssSheetStart(CssSheet* sheet, bool ansi) {
    memset(sheet, 0, sizeof *sheet);
    sheet->ansi = ansi;
    CssStart(&sheet->read, ansi, Take, sheet);
}

void CssSheetFeed(CssSheet* sheet, const char* bytes, size_t length, ScanPos at) {
    CssFeed(&sheet->read, bytes, length, at);
}

void CssSheetLineEnd(CssSheet* sheet, ScanPos at) { CssLineEnd(&sheet->read, at); }

void CssSheetNext(CssSheet* sheet) {
    CssEnd(&sheet->read);
    // a rule left open at the end of its sheet ends there
    if (sheet->state == SValue || sheet->state == SName || sheet->state == SDeclSkip) {
        if (sheet->state == SValue) DeclarationEnd(sheet);
        RuleEnd(sheet);
    }
    sheet->state = STop;
    sheet->groups = 0;
    CssStart(&sheet->read, sheet->ansi, Take, sheet);
}

void CssSheetFree(CssSheet* sheet) {
    free(sheet->bytes);
    free(sheet->rules);
    memset(sheet, 0, sizeof *sheet);
}

int CssStyleWhiteSpace(const char* style, size_t length, bool ansi, bool* important) {
    CssSheet sheet;
    CssSheetStart(&sheet, ansi);
    sheet.declarationsOnly = true;
    sheet.state = SName;
    CssSheetFeed(&sheet, style, length, ScanPos{1, 1});
    CssSheetNext(&sheet);
    int value = sheet.rule.value;
    *important = sheet.rule.important;
    CssSheetFree(&sheet);
    return value;
}

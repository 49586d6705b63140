// The states that read a tag: its "<", its name, its attributes and its end.
#include "authoring/scan/HtmlTokenizerSteps.h"
#include <stdlib.h>
#include <string.h>

void HtmlTagCreate(HtmlTokenizer* t, int kind) {
    HtmlMarkupReset(t, kind);
}

void HtmlTagNameEnd(HtmlTokenizer* t) {
    t->nameLength = t->markup.length;
    t->nameSpan.end = t->pos;
}

void HtmlAttributeStart(HtmlTokenizer* t) {
    if (t->attributeCount == t->attributeRoom) {
        size_t room = t->attributeRoom ? t->attributeRoom * 2 : 8;
        if (room > (size_t)-1 / sizeof(HtmlAttributeBuild)) {
            t->failed = true;
            return;
        }
        HtmlAttributeBuild* grown =
            (HtmlAttributeBuild*)realloc(t->attributes, room * sizeof *grown);
        if (grown) t->attributes = grown;
        HtmlAttribute* out = (HtmlAttribute*)realloc(t->attributeOut, room * sizeof *out);
        if (out) t->attributeOut = out;
        if (!grown || !out) {
            t->failed = true;
            return;
        }
        t->attributeRoom = room;
    }
    HtmlAttributeBuild* a = &t->attributes[t->attributeCount++];
    memset(a, 0, sizeof *a);
    a->name = t->markup.length;
    a->nameSpan = {t->pos, t->pos};
}

void HtmlAttributeNameEnd(HtmlTokenizer* t) {
    if (t->failed) return;
    HtmlAttributeBuild* a = &t->attributes[t->attributeCount - 1];
    a->nameLength = t->markup.length - a->name;
    a->nameSpan.end = t->pos;
    a->value = t->markup.length;
    a->valueSpan = {t->pos, t->pos};
    const char* name = t->markup.bytes + a->name;
    for (size_t i = 0; i + 1 < t->attributeCount && !a->duplicate; i++) {
        const HtmlAttributeBuild& b = t->attributes[i];
        a->duplicate = b.nameLength == a->nameLength &&
                       memcmp(t->markup.bytes + b.name, name, a->nameLength) == 0;
    }
}

void HtmlAttributeValueStart(HtmlTokenizer* t, size_t at, int quote) {
    HtmlAttributeBuild* a = &t->attributes[t->attributeCount - 1];
    a->value = t->markup.length;
    a->valueSpan = {at, at};
    a->quote = (unsigned char)quote;
}

void HtmlAttributeValueEnd(HtmlTokenizer* t) {
    if (t->failed) return;
    HtmlAttributeBuild* a = &t->attributes[t->attributeCount - 1];
    a->valueLength = t->markup.length - a->value;
    a->valueSpan.end = t->pos;
}

// The end of the page inside a tag: the tag is lost.
static void EndInTag(HtmlTokenizer* t) {
    HtmlSkip(t, t->markupStart);
    HtmlEmitEndOfFile(t);
}

static void TagEnd(HtmlTokenizer* t) {
    t->state = HtmlStateData;
    HtmlEmitMarkup(t);
}

static void NameByte(HtmlTokenizer* t, int c) {
    if (c == 0) HtmlMarkupCodePoint(t, 0xFFFD);
    else HtmlMarkupByte(t, HtmlLower(c));
}

static void BogusComment(HtmlTokenizer* t) {
    HtmlMarkupReset(t, HtmlTokenComment);
    HtmlReconsume(t, HtmlStateBogusComment);
}

static void StepOpen(HtmlTokenizer* t, int c) {
    bool end = t->state == HtmlStateEndTagOpen;
    if (HtmlIsAlpha(c)) {
        HtmlTagCreate(t, end ? HtmlTokenEndTag : HtmlTokenStartTag);
        HtmlReconsume(t, HtmlStateTagName);
    } else if (!end && c == '!') {
        t->state = HtmlStateMarkupDeclarationOpen;
    } else if (!end && c == '/') {
        t->state = HtmlStateEndTagOpen;
    } else if (c == HtmlEof) {
        HtmlEmitSource(t, t->markupStart, t->pos);
        HtmlEmitEndOfFile(t);
    } else if (end && c == '>') {
        t->state = HtmlStateData;
        HtmlSkip(t, t->markupStart);
    } else if (end || c == '?') {
        BogusComment(t);
    } else {
        HtmlEmitByte(t, '<');
        HtmlReconsume(t, HtmlStateData);
    }
}

static void StepValue(HtmlTokenizer* t, int c) {
    int state = t->state;
    int quote = state == HtmlStateAttributeValueDouble   ? '"'
                : state == HtmlStateAttributeValueSingle ? '\''
                                                         : 0;
    if (c == HtmlEof) {
        EndInTag(t);
    } else if (c == '&') {
        t->returnState = (unsigned char)state;
        t->referenceStart = t->pos;
        t->state = HtmlStateCharacterReference;
    } else if (quote && c == quote) {
        HtmlAttributeValueEnd(t);
        t->state = HtmlStateAfterAttributeValueQuoted;
    } else if (!quote && HtmlIsSpace(c)) {
        HtmlAttributeValueEnd(t);
        t->state = HtmlStateBeforeAttributeName;
    } else if (!quote && c == '>') {
        HtmlAttributeValueEnd(t);
        TagEnd(t);
    } else if (c == 0) {
        HtmlMarkupCodePoint(t, 0xFFFD);
    } else {
        HtmlMarkupByte(t, c);
    }
}

void HtmlStepTag(HtmlTokenizer* t, int c) {
    switch (t->state) {
    case HtmlStateTagOpen:
    case HtmlStateEndTagOpen: StepOpen(t, c); return;
    case HtmlStateTagName:
        if (c == HtmlEof) {
            EndInTag(t);
        } else if (HtmlIsSpace(c) || c == '/' || c == '>') {
            HtmlTagNameEnd(t);
            if (c == '>') TagEnd(t);
            else t->state = c == '/' ? HtmlStateSelfClosingStartTag : HtmlStateBeforeAttributeName;
        } else {
            NameByte(t, c);
        }
        return;
    case HtmlStateBeforeAttributeName:
        if (HtmlIsSpace(c)) return;
        if (c == '/' || c == '>' || c == HtmlEof) {
            HtmlReconsume(t, HtmlStateAfterAttributeName);
            return;
        }
        HtmlAttributeStart(t);
        if (c != '=') {
            HtmlReconsume(t, HtmlStateAttributeName);
            return;
        }
        HtmlMarkupByte(t, c);
        t->state = HtmlStateAttributeName;
        return;
    case HtmlStateAttributeName:
        if (HtmlIsSpace(c) || c == '/' || c == '>' || c == HtmlEof) {
            HtmlAttributeNameEnd(t);
            HtmlReconsume(t, HtmlStateAfterAttributeName);
        } else if (c == '=') {
            HtmlAttributeNameEnd(t);
            t->state = HtmlStateBeforeAttributeValue;
        } else {
            NameByte(t, c);
        }
        return;
    case HtmlStateAfterAttributeName:
        if (HtmlIsSpace(c)) return;
        if (c == '/') t->state = HtmlStateSelfClosingStartTag;
        else if (c == '=') t->state = HtmlStateBeforeAttributeValue;
        else if (c == '>') TagEnd(t);
        else if (c == HtmlEof) EndInTag(t);
        else {
            HtmlAttributeStart(t);
            HtmlReconsume(t, HtmlStateAttributeName);
        }
        return;
    case HtmlStateBeforeAttributeValue:
        if (HtmlIsSpace(c)) return;
        if (c == '"' || c == '\'') {
            HtmlAttributeValueStart(t, t->pos + 1, c == '"' ? HtmlDoubleQuoted : HtmlSingleQuoted);
            t->state = c == '"' ? HtmlStateAttributeValueDouble : HtmlStateAttributeValueSingle;
        } else if (c == '>') {
            TagEnd(t);
        } else {
            HtmlAttributeValueStart(t, t->pos, HtmlUnquoted);
            HtmlReconsume(t, HtmlStateAttributeValueUnquoted);
        }
        return;
    case HtmlStateAttributeValueDouble:
    case HtmlStateAttributeValueSingle:
    case HtmlStateAttributeValueUnquoted: StepValue(t, c); return;
    default: // after a quoted value, or after "/"
        if (c == '>') {
            if (t->state == HtmlStateSelfClosingStartTag) t->selfClosing = true;
            TagEnd(t);
        } else if (c == HtmlEof) {
            EndInTag(t);
        } else if (c == '/' && t->state == HtmlStateAfterAttributeValueQuoted) {
            t->state = HtmlStateSelfClosingStartTag;
        } else if (HtmlIsSpace(c) && t->state == HtmlStateAfterAttributeValueQuoted) {
            t->state = HtmlStateBeforeAttributeName;
        } else {
            HtmlReconsume(t, HtmlStateBeforeAttributeName);
        }
        return;
    }
}

// The states that read text: data, RCDATA, RAWTEXT, PLAINTEXT, script data with
// its escaped and double-escaped states, and CDATA sections; and the end tags
// that close raw text.
#include "authoring/scan/HtmlTokenizerSteps.h"
#include <string.h>

// The states of one kind of raw text: its own, "<", "</" and "</name".
struct RawKind {
    int text, lessThan, endTagOpen, endTagName;
};

static const RawKind kRcdata = {HtmlStateRcdata, HtmlStateRcdataLessThan,
                                HtmlStateRcdataEndTagOpen, HtmlStateRcdataEndTagName};
static const RawKind kRawtext = {HtmlStateRawtext, HtmlStateRawtextLessThan,
                                 HtmlStateRawtextEndTagOpen, HtmlStateRawtextEndTagName};
static const RawKind kScript = {HtmlStateScriptData, HtmlStateScriptLessThan,
                                HtmlStateScriptEndTagOpen, HtmlStateScriptEndTagName};
static const RawKind kEscaped = {HtmlStateScriptEscaped, HtmlStateScriptEscapedLessThan,
                                 HtmlStateScriptEscapedEndTagOpen,
                                 HtmlStateScriptEscapedEndTagName};

static void LessThan(HtmlTokenizer* t, int state) {
    t->markupStart = t->pos;
    t->state = (unsigned char)state;
}

static void Reference(HtmlTokenizer* t) {
    t->returnState = t->state;
    t->referenceStart = t->pos;
    t->state = HtmlStateCharacterReference;
}

// Only an end tag named as the last start tag ends raw text.
static bool Appropriate(const HtmlTokenizer* t) {
    return t->hasLastStartTag && t->markup.length == t->lastStartTag.length &&
           memcmp(t->markup.bytes, t->lastStartTag.bytes, t->markup.length) == 0;
}

static void EndTagOpen(HtmlTokenizer* t, int c, const RawKind& kind) {
    if (HtmlIsAlpha(c)) {
        HtmlTagCreate(t, HtmlTokenEndTag);
        HtmlReconsume(t, kind.endTagName);
        return;
    }
    HtmlEmitSource(t, t->markupStart, t->pos);
    HtmlReconsume(t, kind.text);
}

static void EndTagName(HtmlTokenizer* t, int c, const RawKind& kind) {
    if ((HtmlIsSpace(c) || c == '/' || c == '>') && Appropriate(t)) {
        HtmlTagNameEnd(t);
        if (c == '>') {
            t->state = HtmlStateData;
            HtmlEmitMarkup(t);
        } else {
            t->state = c == '/' ? HtmlStateSelfClosingStartTag : HtmlStateBeforeAttributeName;
        }
        return;
    }
    if (HtmlIsAlpha(c)) {
        HtmlMarkupByte(t, HtmlLower(c));
        return;
    }
    // Not the end tag: "</" and the letters are text.
    HtmlEmitSource(t, t->markupStart, t->pos);
    HtmlReconsume(t, kind.text);
}

static bool TempIsScript(const HtmlTokenizer* t) {
    static const char word[] = "script";
    if (t->pos - t->tempStart != 6) return false;
    for (size_t i = 0; i < 6; i++)
        if (HtmlLower((unsigned char)t->bytes[t->tempStart + i]) != word[i]) return false;
    return true;
}

// The escaped states of script data: "<!--" ... "-->", within which
// "<script" ... "</script" does not end the script.
static void StepEscaped(HtmlTokenizer* t, int c) {
    bool doubled = t->state >= HtmlStateScriptDoubleEscaped;
    int plain = doubled ? HtmlStateScriptDoubleEscaped : HtmlStateScriptEscaped;
    int dash = doubled ? HtmlStateScriptDoubleEscapedDash : HtmlStateScriptEscapedDash;
    int dashDash = doubled ? HtmlStateScriptDoubleEscapedDashDash : HtmlStateScriptEscapedDashDash;
    if (c == HtmlEof) {
        HtmlEmitEndOfFile(t);
        return;
    }
    if (c == '-') {
        if (t->state == plain) t->state = (unsigned char)dash;
        else t->state = (unsigned char)dashDash;
        HtmlEmitByte(t, c);
        return;
    }
    if (c == '<') {
        if (doubled) {
            t->state = HtmlStateScriptDoubleEscapedLessThan;
            HtmlEmitByte(t, c);
        } else {
            LessThan(t, HtmlStateScriptEscapedLessThan);
        }
        return;
    }
    if (c == '>' && t->state == dashDash) {
        t->state = HtmlStateScriptData;
        HtmlEmitByte(t, c);
        return;
    }
    t->state = (unsigned char)plain;
    if (c == 0) HtmlEmitCodePoint(t, 0xFFFD);
    else HtmlEmitByte(t, c);
}

// "<script" after "<!--", or "</script" inside it: whether the word is
// "script" decides which escaped state follows.
static void StepEscapeWord(HtmlTokenizer* t, int c, bool start) {
    int fallback = start ? HtmlStateScriptEscaped : HtmlStateScriptDoubleEscaped;
    if (HtmlIsSpace(c) || c == '/' || c == '>') {
        bool script = TempIsScript(t);
        if (start) t->state = script ? HtmlStateScriptDoubleEscaped : HtmlStateScriptEscaped;
        else t->state = script ? HtmlStateScriptEscaped : HtmlStateScriptDoubleEscaped;
        HtmlEmitByte(t, c);
        return;
    }
    if (HtmlIsAlpha(c)) {
        HtmlEmitByte(t, c);
        return;
    }
    HtmlReconsume(t, fallback);
}

static void StepPlain(HtmlTokenizer* t, int c) {
    int state = t->state;
    if (c == '&' && (state == HtmlStateData || state == HtmlStateRcdata)) {
        Reference(t);
    } else if (c == '<' && state != HtmlStatePlaintext) {
        LessThan(t, state == HtmlStateData      ? HtmlStateTagOpen
                    : state == HtmlStateRcdata  ? HtmlStateRcdataLessThan
                    : state == HtmlStateRawtext ? HtmlStateRawtextLessThan
                                                : HtmlStateScriptLessThan);
    } else if (c == HtmlEof) {
        HtmlEmitEndOfFile(t);
    } else if (c == 0 && state != HtmlStateData) {
        HtmlEmitCodePoint(t, 0xFFFD);
    } else {
        HtmlEmitByte(t, c);
    }
}

static void StepCdata(HtmlTokenizer* t, int c) {
    int state = t->state;
    if (state == HtmlStateCdataSection) {
        if (c == ']') {
            t->tempStart = t->pos;
            t->state = HtmlStateCdataSectionBracket;
        } else if (c == HtmlEof) {
            HtmlEmitEndOfFile(t);
        } else {
            HtmlEmitByte(t, c);
        }
    } else if (state == HtmlStateCdataSectionBracket && c == ']') {
        t->state = HtmlStateCdataSectionEnd;
    } else if (state == HtmlStateCdataSectionEnd && c == ']') {
        HtmlEmitByte(t, ']');
        t->tempStart++;
    } else if (state == HtmlStateCdataSectionEnd && c == '>') {
        t->state = HtmlStateData;
        HtmlSkip(t, t->tempStart);
    } else {
        HtmlEmitSource(t, t->tempStart, t->pos);
        HtmlReconsume(t, HtmlStateCdataSection);
    }
}

void HtmlStepText(HtmlTokenizer* t, int c) {
    switch (t->state) {
    case HtmlStateData:
    case HtmlStateRcdata:
    case HtmlStateRawtext:
    case HtmlStateScriptData:
    case HtmlStatePlaintext: StepPlain(t, c); return;
    case HtmlStateRcdataLessThan:
    case HtmlStateRawtextLessThan:
        if (c == '/') {
            t->state++;
            return;
        }
        HtmlEmitByte(t, '<');
        HtmlReconsume(t, t->state == HtmlStateRcdataLessThan ? HtmlStateRcdata : HtmlStateRawtext);
        return;
    case HtmlStateRcdataEndTagOpen: EndTagOpen(t, c, kRcdata); return;
    case HtmlStateRcdataEndTagName: EndTagName(t, c, kRcdata); return;
    case HtmlStateRawtextEndTagOpen: EndTagOpen(t, c, kRawtext); return;
    case HtmlStateRawtextEndTagName: EndTagName(t, c, kRawtext); return;
    case HtmlStateScriptLessThan:
        if (c == '/') {
            t->state = HtmlStateScriptEndTagOpen;
        } else if (c == '!') {
            t->state = HtmlStateScriptEscapeStart;
            HtmlEmitSource(t, t->markupStart, t->pos + 1);
        } else {
            HtmlEmitByte(t, '<');
            HtmlReconsume(t, HtmlStateScriptData);
        }
        return;
    case HtmlStateScriptEndTagOpen: EndTagOpen(t, c, kScript); return;
    case HtmlStateScriptEndTagName: EndTagName(t, c, kScript); return;
    case HtmlStateScriptEscapeStart:
    case HtmlStateScriptEscapeStartDash:
        if (c != '-') {
            HtmlReconsume(t, HtmlStateScriptData);
            return;
        }
        t->state = t->state == HtmlStateScriptEscapeStart ? HtmlStateScriptEscapeStartDash
                                                          : HtmlStateScriptEscapedDashDash;
        HtmlEmitByte(t, c);
        return;
    case HtmlStateScriptEscapedLessThan:
        if (c == '/') {
            t->state = HtmlStateScriptEscapedEndTagOpen;
            return;
        }
        HtmlEmitByte(t, '<');
        if (HtmlIsAlpha(c)) {
            t->tempStart = t->pos;
            HtmlReconsume(t, HtmlStateScriptDoubleEscapeStart);
        } else {
            HtmlReconsume(t, HtmlStateScriptEscaped);
        }
        return;
    case HtmlStateScriptEscapedEndTagOpen: EndTagOpen(t, c, kEscaped); return;
    case HtmlStateScriptEscapedEndTagName: EndTagName(t, c, kEscaped); return;
    case HtmlStateScriptDoubleEscapeStart: StepEscapeWord(t, c, true); return;
    case HtmlStateScriptDoubleEscapedLessThan:
        if (c != '/') {
            HtmlReconsume(t, HtmlStateScriptDoubleEscaped);
            return;
        }
        t->tempStart = t->pos + 1;
        t->state = HtmlStateScriptDoubleEscapeEnd;
        HtmlEmitByte(t, c);
        return;
    case HtmlStateScriptDoubleEscapeEnd: StepEscapeWord(t, c, false); return;
    case HtmlStateCdataSection:
    case HtmlStateCdataSectionBracket:
    case HtmlStateCdataSectionEnd: StepCdata(t, c); return;
    default: StepEscaped(t, c); return;
    }
}

// The DOCTYPE states: its name, its public and system identifiers, and the
// bogus DOCTYPE that swallows what does not fit.
#include "authoring/scan/HtmlTokenizerSteps.h"

static bool AheadNoCase(const HtmlTokenizer* t, const char* word) {
    if (t->length - t->pos < 6) return false;
    for (size_t i = 0; i < 6; i++)
        if (HtmlLower((unsigned char)t->bytes[t->pos + i]) != word[i]) return false;
    return true;
}

static void End(HtmlTokenizer* t, bool quirks) {
    if (quirks) t->forceQuirks = true;
    t->state = HtmlStateData;
    HtmlEmitMarkup(t);
}

static void EndOfFile(HtmlTokenizer* t) {
    t->forceQuirks = true;
    HtmlEmitMarkup(t);
    HtmlEmitEndOfFile(t);
}

static void Bogus(HtmlTokenizer* t, bool quirks) {
    if (quirks) t->forceQuirks = true;
    HtmlReconsume(t, HtmlStateBogusDoctype);
}

// A quote that opens an identifier: public ones before the system keyword.
static void IdentifierOpen(HtmlTokenizer* t, int c, bool system) {
    if (system) {
        t->hasSystem = true;
        t->systemAt = t->markup.length;
        t->state = c == '"' ? HtmlStateDoctypeSystemIdDouble : HtmlStateDoctypeSystemIdSingle;
    } else {
        t->hasPublic = true;
        t->publicAt = t->markup.length;
        t->state = c == '"' ? HtmlStateDoctypePublicIdDouble : HtmlStateDoctypePublicIdSingle;
    }
}

static void Identifier(HtmlTokenizer* t, int c) {
    int state = t->state;
    bool system = state >= HtmlStateDoctypeSystemIdDouble;
    int quote = state == HtmlStateDoctypePublicIdDouble || state == HtmlStateDoctypeSystemIdDouble
                    ? '"'
                    : '\'';
    if (c == quote) {
        t->state = system ? HtmlStateAfterDoctypeSystemId : HtmlStateAfterDoctypePublicId;
        return;
    }
    if (c == '>') return End(t, true);
    if (c == HtmlEof) return EndOfFile(t);
    if (c == 0) HtmlMarkupCodePoint(t, 0xFFFD);
    else HtmlMarkupByte(t, c);
    if (system) t->systemLength = t->markup.length - t->systemAt;
    else t->publicLength = t->markup.length - t->publicAt;
}

static void Name(HtmlTokenizer* t, int c) {
    if (c == 0) HtmlMarkupCodePoint(t, 0xFFFD);
    else HtmlMarkupByte(t, HtmlLower(c));
    t->nameLength = t->markup.length;
    t->nameSpan.end = t->pos + t->width;
}

// After a keyword or an identifier: what may come next. `quoteOpens`: a quote
// opens an identifier (public when `system` is false); `bare`: the state
// ends here without its identifier.
static void Between(HtmlTokenizer* t, int c, int spaceState, bool quoteOpens, bool system,
                    bool quirksAtEnd) {
    if (HtmlIsSpace(c)) {
        if (spaceState >= 0) t->state = (unsigned char)spaceState;
    } else if (c == '>') {
        End(t, quirksAtEnd);
    } else if (c == HtmlEof) {
        EndOfFile(t);
    } else if (quoteOpens && (c == '"' || c == '\'')) {
        IdentifierOpen(t, c, system);
    } else {
        Bogus(t, true);
    }
}

void HtmlStepDoctype(HtmlTokenizer* t, int c) {
    switch (t->state) {
    case HtmlStateDoctype:
        if (c == HtmlEof) return EndOfFile(t);
        if (HtmlIsSpace(c)) t->state = HtmlStateBeforeDoctypeName;
        else HtmlReconsume(t, HtmlStateBeforeDoctypeName);
        return;
    case HtmlStateBeforeDoctypeName:
        if (HtmlIsSpace(c)) return;
        if (c == '>') return End(t, true);
        if (c == HtmlEof) return EndOfFile(t);
        t->hasName = true;
        t->nameSpan.start = t->pos;
        Name(t, c);
        t->state = HtmlStateDoctypeName;
        return;
    case HtmlStateDoctypeName:
        if (HtmlIsSpace(c)) t->state = HtmlStateAfterDoctypeName;
        else if (c == '>') End(t, false);
        else if (c == HtmlEof) EndOfFile(t);
        else Name(t, c);
        return;
    case HtmlStateAfterDoctypeName:
        if (c == HtmlEof || c == '>' || HtmlIsSpace(c)) {
            Between(t, c, -1, false, false, false);
        } else if (AheadNoCase(t, "public") || AheadNoCase(t, "system")) {
            t->state = HtmlLower(c) == 'p' ? HtmlStateAfterDoctypePublicKeyword
                                           : HtmlStateAfterDoctypeSystemKeyword;
            t->width = 6;
        } else {
            Bogus(t, true);
        }
        return;
    case HtmlStateAfterDoctypePublicKeyword:
        return Between(t, c, HtmlStateBeforeDoctypePublicId, true, false, true);
    case HtmlStateBeforeDoctypePublicId: return Between(t, c, -1, true, false, true);
    case HtmlStateAfterDoctypePublicId:
        return Between(t, c, HtmlStateBetweenDoctypeIds, true, true, false);
    case HtmlStateBetweenDoctypeIds: return Between(t, c, -1, true, true, false);
    case HtmlStateAfterDoctypeSystemKeyword:
        return Between(t, c, HtmlStateBeforeDoctypeSystemId, true, true, true);
    case HtmlStateBeforeDoctypeSystemId: return Between(t, c, -1, true, true, true);
    case HtmlStateAfterDoctypeSystemId:
        if (c == HtmlEof || c == '>' || HtmlIsSpace(c)) Between(t, c, -1, false, false, false);
        else Bogus(t, false);
        return;
    case HtmlStateBogusDoctype:
        if (c == '>') {
            End(t, false);
        } else if (c == HtmlEof) {
            HtmlEmitMarkup(t);
            HtmlEmitEndOfFile(t);
        }
        return;
    default: Identifier(t, c); return;
    }
}

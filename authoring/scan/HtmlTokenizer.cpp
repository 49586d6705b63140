#include "authoring/scan/HtmlTokenizerSteps.h"
#include <stdlib.h>
#include <string.h>

void HtmlTokenizerStart(HtmlTokenizer* t, const char* bytes, size_t length,
                        unsigned char* states, HtmlTokenTake take, void* context) {
    memset(t, 0, sizeof *t);
    t->bytes = bytes;
    t->length = length;
    t->states = states;
    t->take = take;
    t->context = context;
    t->state = HtmlStateData;
}

void HtmlTokenizerFree(HtmlTokenizer* t) {
    free(t->text.bytes);
    free(t->markup.bytes);
    free(t->lastStartTag.bytes);
    free(t->attributes);
    free(t->attributeOut);
    memset(t, 0, sizeof *t);
}

void HtmlTokenizerSwitch(HtmlTokenizer* t, HtmlState state) { t->state = (unsigned char)state; }

int HtmlTokenizerAssumeStartTag(HtmlTokenizer* t, const char* name, size_t length) {
    t->lastStartTag.length = 0;
    t->hasLastStartTag = HtmlAppend(t, &t->lastStartTag, name, length);
    return t->hasLastStartTag;
}

// A lone CR and CR LF are one line feed.
static int Current(HtmlTokenizer* t) {
    if (t->pos >= t->length) {
        t->width = 0;
        return HtmlEof;
    }
    unsigned char c = (unsigned char)t->bytes[t->pos];
    t->width = 1;
    if (c != '\r') return c;
    if (t->pos + 1 < t->length && t->bytes[t->pos + 1] == '\n') t->width = 2;
    return '\n';
}

int HtmlTokenizerRun(HtmlTokenizer* t) {
    while (!t->done && !t->stopped && !t->failed) {
        int c = Current(t);
        unsigned char state = t->state;
        t->reconsume = false;
        if (state >= HtmlStateCharacterReference)
            HtmlStepReference(t, c);
        else if (state >= HtmlStateCdataSection)
            HtmlStepText(t, c);
        else if (state >= HtmlStateDoctype)
            HtmlStepDoctype(t, c);
        else if (state >= HtmlStateBogusComment)
            HtmlStepComment(t, c);
        else if (state >= HtmlStateBeforeAttributeName || (state >= HtmlStateTagOpen &&
                                                            state <= HtmlStateTagName))
            HtmlStepTag(t, c);
        else
            HtmlStepText(t, c);
        if (t->reconsume || t->width == 0) continue;
        if (t->states) memset(t->states + t->pos, state, t->width);
        t->pos += t->width;
    }
    return t->done && !t->stopped && !t->failed;
}

bool HtmlAppend(HtmlTokenizer* t, HtmlBuffer* buffer, const void* bytes, size_t length) {
    if (t->failed) return false;
    if (length > buffer->room - buffer->length) {
        size_t room = buffer->room ? buffer->room : 64;
        while (room - buffer->length < length) {
            if (room > (size_t)-1 / 2) {
                t->failed = true;
                return false;
            }
            room *= 2;
        }
        char* grown = (char*)realloc(buffer->bytes, room);
        if (!grown) {
            t->failed = true;
            return false;
        }
        buffer->bytes = grown;
        buffer->room = room;
    }
    if (length) memcpy(buffer->bytes + buffer->length, bytes, length);
    buffer->length += length;
    return true;
}

static size_t Utf8(uint32_t c, char* out) {
    if (c < 0x80) {
        out[0] = (char)c;
        return 1;
    }
    if (c < 0x800) {
        out[0] = (char)(0xC0 | c >> 6);
        out[1] = (char)(0x80 | (c & 0x3F));
        return 2;
    }
    if (c < 0x10000) {
        out[0] = (char)(0xE0 | c >> 12);
        out[1] = (char)(0x80 | (c >> 6 & 0x3F));
        out[2] = (char)(0x80 | (c & 0x3F));
        return 3;
    }
    out[0] = (char)(0xF0 | c >> 18);
    out[1] = (char)(0x80 | (c >> 12 & 0x3F));
    out[2] = (char)(0x80 | (c >> 6 & 0x3F));
    out[3] = (char)(0x80 | (c & 0x3F));
    return 4;
}

static void Take(HtmlTokenizer* t, const HtmlToken* token) {
    if (!t->take(t->context, t, token)) t->stopped = true;
}

// The run gathered so far, as a token that ends at `end`.
void HtmlFlushText(HtmlTokenizer* t, size_t end) {
    if (!t->textOpen || t->stopped || t->failed) return;
    HtmlToken token;
    memset(&token, 0, sizeof token);
    token.kind = HtmlTokenCharacters;
    token.span = {t->textStart, end};
    token.text = t->text.bytes;
    token.textLength = t->text.length;
    token.textSpan = token.span;
    t->textOpen = false;
    t->text.length = 0;
    Take(t, &token);
}

static void EmitBytes(HtmlTokenizer* t, const char* bytes, size_t length) {
    if (!t->textOpen) {
        t->textOpen = true;
        t->textStart = t->stretchStart;
    }
    HtmlAppend(t, &t->text, bytes, length);
}

void HtmlEmitByte(HtmlTokenizer* t, int c) {
    char byte = (char)c;
    EmitBytes(t, &byte, 1);
}

void HtmlEmitCodePoint(HtmlTokenizer* t, uint32_t codePoint) {
    char out[4];
    EmitBytes(t, out, Utf8(codePoint, out));
}

void HtmlEmitSource(HtmlTokenizer* t, size_t start, size_t end) {
    EmitBytes(t, t->bytes + start, end - start);
}

void HtmlSkip(HtmlTokenizer* t, size_t start) {
    HtmlFlushText(t, start);
    t->stretchStart = t->pos + t->width;
}

void HtmlEmitEndOfFile(HtmlTokenizer* t) {
    HtmlFlushText(t, t->length);
    t->done = true;
    if (t->stopped || t->failed) return;
    HtmlToken token;
    memset(&token, 0, sizeof token);
    token.kind = HtmlTokenEndOfFile;
    token.span = token.textSpan = {t->length, t->length};
    Take(t, &token);
}

void HtmlEmitMarkup(HtmlTokenizer* t) {
    HtmlFlushText(t, t->markupStart);
    t->stretchStart = t->pos + t->width;
    if (t->stopped || t->failed) return;
    if (t->kind == HtmlTokenStartTag) {
        t->lastStartTag.length = 0;
        t->hasLastStartTag = HtmlAppend(t, &t->lastStartTag, t->markup.bytes, t->nameLength);
        if (t->failed) return;
    }
    for (size_t i = 0; i < t->attributeCount; i++) {
        const HtmlAttributeBuild& in = t->attributes[i];
        HtmlAttribute& out = t->attributeOut[i];
        out.name = t->markup.bytes + in.name;
        out.nameLength = in.nameLength;
        out.value = t->markup.bytes + in.value;
        out.valueLength = in.valueLength;
        out.nameSpan = in.nameSpan;
        out.valueSpan = in.valueSpan;
        out.quote = in.quote;
        out.duplicate = in.duplicate;
    }
    HtmlToken token;
    memset(&token, 0, sizeof token);
    token.kind = t->kind;
    token.span = {t->markupStart, t->pos + t->width};
    token.text = t->markup.bytes ? t->markup.bytes : "";
    token.textLength = t->kind == HtmlTokenComment ? t->markup.length : t->nameLength;
    token.textSpan = t->nameSpan;
    token.attributes = t->attributeOut;
    token.attributeCount = t->attributeCount;
    token.selfClosing = t->selfClosing;
    token.publicId = token.text + t->publicAt;
    token.publicLength = t->publicLength;
    token.systemId = token.text + t->systemAt;
    token.systemLength = t->systemLength;
    token.hasName = t->hasName;
    token.hasPublic = t->hasPublic;
    token.hasSystem = t->hasSystem;
    token.forceQuirks = t->forceQuirks;
    Take(t, &token);
}

void HtmlMarkupByte(HtmlTokenizer* t, int c) {
    char byte = (char)c;
    HtmlAppend(t, &t->markup, &byte, 1);
}

void HtmlMarkupCodePoint(HtmlTokenizer* t, uint32_t codePoint) {
    char out[4];
    HtmlAppend(t, &t->markup, out, Utf8(codePoint, out));
}

void HtmlMarkupReset(HtmlTokenizer* t, int kind) {
    t->kind = (unsigned char)kind;
    t->markup.length = 0;
    t->nameLength = 0;
    t->nameSpan = {t->pos, t->pos};
    t->selfClosing = false;
    t->attributeCount = 0;
    t->publicAt = t->publicLength = t->systemAt = t->systemLength = 0;
    t->hasName = t->hasPublic = t->hasSystem = t->forceQuirks = false;
}

void HtmlCommentByte(HtmlTokenizer* t, int c) {
    if (c == 0)
        HtmlMarkupCodePoint(t, 0xFFFD);
    else
        HtmlMarkupByte(t, c);
    t->nameSpan.end = t->pos + t->width;
}

void HtmlCommentDeferred(HtmlTokenizer* t, const char* bytes, size_t length) {
    HtmlAppend(t, &t->markup, bytes, length);
    t->nameSpan.end = t->pos;
}

const char* HtmlStateName(HtmlState state) {
    static const char* const names[HtmlStateCount] = {
        "data", "RCDATA", "RAWTEXT", "script data", "PLAINTEXT", "tag open", "end tag open",
        "tag name", "RCDATA less-than sign", "RCDATA end tag open", "RCDATA end tag name",
        "RAWTEXT less-than sign", "RAWTEXT end tag open", "RAWTEXT end tag name",
        "script data less-than sign", "script data end tag open", "script data end tag name",
        "script data escape start", "script data escape start dash", "script data escaped",
        "script data escaped dash", "script data escaped dash dash",
        "script data escaped less-than sign", "script data escaped end tag open",
        "script data escaped end tag name", "script data double escape start",
        "script data double escaped", "script data double escaped dash",
        "script data double escaped dash dash", "script data double escaped less-than sign",
        "script data double escape end", "before attribute name", "attribute name",
        "after attribute name", "before attribute value", "attribute value (double-quoted)",
        "attribute value (single-quoted)", "attribute value (unquoted)",
        "after attribute value (quoted)", "self-closing start tag", "bogus comment",
        "markup declaration open", "comment start", "comment start dash", "comment",
        "comment less-than sign", "comment less-than sign bang",
        "comment less-than sign bang dash", "comment less-than sign bang dash dash",
        "comment end dash", "comment end", "comment end bang", "DOCTYPE",
        "before DOCTYPE name", "DOCTYPE name", "after DOCTYPE name",
        "after DOCTYPE public keyword", "before DOCTYPE public identifier",
        "DOCTYPE public identifier (double-quoted)", "DOCTYPE public identifier (single-quoted)",
        "after DOCTYPE public identifier", "between DOCTYPE public and system identifiers",
        "after DOCTYPE system keyword", "before DOCTYPE system identifier",
        "DOCTYPE system identifier (double-quoted)", "DOCTYPE system identifier (single-quoted)",
        "after DOCTYPE system identifier", "bogus DOCTYPE", "CDATA section",
        "CDATA section bracket", "CDATA section end", "character reference",
        "named character reference", "ambiguous ampersand", "numeric character reference",
        "hexadecimal character reference start", "decimal character reference start",
        "hexadecimal character reference", "decimal character reference",
        "numeric character reference end"};
    return (unsigned)state < HtmlStateCount ? names[state] : "?";
}

// Character references: "&name;", "&#10;", "&#x20AC;", in text, in RCDATA and in
// attribute values, with what browsers put for numbers that name no character.
#include "authoring/scan/HtmlEntities.h"
#include "authoring/scan/HtmlTokenizerSteps.h"
#include <string.h>

// 0x80 to 0x9F read as the Windows-1252 characters of those bytes; 0 keeps the number.
static const uint16_t kC1[32] = {
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0, 0x017D, 0, 0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013,
    0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178};

static bool InAttribute(const HtmlTokenizer* t) {
    return t->returnState >= HtmlStateAttributeValueDouble &&
           t->returnState <= HtmlStateAttributeValueUnquoted;
}

// The bytes read since "&", as they stand.
static void Flush(HtmlTokenizer* t, size_t end) {
    if (InAttribute(t)) HtmlAppend(t, &t->markup, t->bytes + t->referenceStart, end - t->referenceStart);
    else HtmlEmitSource(t, t->referenceStart, end);
}

static int HexValue(int c) {
    if (HtmlIsDigit(c)) return c - '0';
    c = HtmlLower(c);
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

static void Named(HtmlTokenizer* t) {
    long entry = HtmlEntityLongest(t->bytes + t->pos, t->length - t->pos);
    if (entry < 0) {
        Flush(t, t->pos);
        HtmlReconsume(t, HtmlStateAmbiguousAmpersand);
        return;
    }
    size_t n = kHtmlEntities[entry].nameLength;
    t->width = n;
    t->state = t->returnState;
    size_t after = t->pos + n;
    int next = after < t->length ? (int)(unsigned char)t->bytes[after] : (int)HtmlEof;
    // In an attribute, "&copy=" and "&copyx" stay as written (old URLs hold them).
    if (InAttribute(t) && HtmlEntityName(entry)[n - 1] != ';' &&
        (next == '=' || HtmlIsAlnum(next))) {
        Flush(t, after);
        return;
    }
    const char* value = HtmlEntityValue(entry);
    size_t length = kHtmlEntities[entry].valueLength;
    if (InAttribute(t)) {
        HtmlAppend(t, &t->markup, value, length);
    } else {
        for (size_t i = 0; i < length; i++) HtmlEmitByte(t, (unsigned char)value[i]);
    }
}

static void NumericEnd(HtmlTokenizer* t) {
    uint32_t code = t->referenceCode;
    if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) code = 0xFFFD;
    else if (code >= 0x80 && code <= 0x9F && kC1[code - 0x80]) code = kC1[code - 0x80];
    if (InAttribute(t)) HtmlMarkupCodePoint(t, code);
    else HtmlEmitCodePoint(t, code);
    HtmlReconsume(t, t->returnState);
}

static void Digit(HtmlTokenizer* t, int value, uint32_t base) {
    // Past the last code point the number only needs to stay out of range.
    if (t->referenceCode <= 0x10FFFF) t->referenceCode = t->referenceCode * base + (uint32_t)value;
}

void HtmlStepReference(HtmlTokenizer* t, int c) {
    switch (t->state) {
    case HtmlStateCharacterReference:
        if (HtmlIsAlnum(c)) {
            HtmlReconsume(t, HtmlStateNamedCharacterReference);
        } else if (c == '#') {
            t->referenceCode = 0;
            t->state = HtmlStateNumericCharacterReference;
        } else {
            Flush(t, t->pos);
            HtmlReconsume(t, t->returnState);
        }
        return;
    case HtmlStateNamedCharacterReference: Named(t); return;
    case HtmlStateAmbiguousAmpersand:
        if (!HtmlIsAlnum(c)) {
            HtmlReconsume(t, t->returnState);
        } else if (InAttribute(t)) {
            HtmlMarkupByte(t, c);
        } else {
            HtmlEmitByte(t, c);
        }
        return;
    case HtmlStateNumericCharacterReference:
        if (c == 'x' || c == 'X') t->state = HtmlStateHexReferenceStart;
        else HtmlReconsume(t, HtmlStateDecimalReferenceStart);
        return;
    case HtmlStateHexReferenceStart:
    case HtmlStateDecimalReferenceStart: {
        bool hex = t->state == HtmlStateHexReferenceStart;
        if (hex ? HexValue(c) >= 0 : HtmlIsDigit(c)) {
            HtmlReconsume(t, hex ? HtmlStateHexReference : HtmlStateDecimalReference);
            return;
        }
        Flush(t, t->pos);
        HtmlReconsume(t, t->returnState);
        return;
    }
    case HtmlStateHexReference:
    case HtmlStateDecimalReference: {
        bool hex = t->state == HtmlStateHexReference;
        int value = hex ? HexValue(c) : (HtmlIsDigit(c) ? c - '0' : -1);
        if (value >= 0) Digit(t, value, hex ? 16 : 10);
        else if (c == ';') t->state = HtmlStateNumericReferenceEnd;
        else HtmlReconsume(t, HtmlStateNumericReferenceEnd);
        return;
    }
    default: NumericEnd(t); return;
    }
}

long HtmlEntityLongest(const char* bytes, size_t length) {
    size_t low = 0, high = kHtmlEntityCount;
    long best = -1;
    // [low, high) holds the names that start with the first k bytes.
    for (size_t k = 0; k < length && low < high; k++) {
        unsigned char c = (unsigned char)bytes[k];
        size_t a = low, b = high;
        while (a < b) { // the first name whose byte k is c or more
            size_t m = a + (b - a) / 2;
            const HtmlEntity& e = kHtmlEntities[m];
            if (e.nameLength <= k || (unsigned char)kHtmlEntityBlob[e.offset + k] < c) a = m + 1;
            else b = m;
        }
        low = a;
        b = high;
        while (a < b) { // the first name whose byte k is past c
            size_t m = a + (b - a) / 2;
            if ((unsigned char)kHtmlEntityBlob[kHtmlEntities[m].offset + k] <= c) a = m + 1;
            else b = m;
        }
        high = a;
        if (low < high && kHtmlEntities[low].nameLength == k + 1) best = (long)low;
    }
    return best;
}

const char* HtmlEntityName(long entry) { return kHtmlEntityBlob + kHtmlEntities[entry].offset; }

const char* HtmlEntityValue(long entry) {
    return HtmlEntityName(entry) + kHtmlEntities[entry].nameLength;
}

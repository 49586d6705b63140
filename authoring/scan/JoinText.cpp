#include "authoring/scan/JoinText.h"
#include "authoring/scan/HtmlEntities.h"
#include <string.h>

void JoinWalkStart(JoinWalk* walk, const char* page, size_t pageLength, const unsigned char* states,
                   HtmlSpan span, const char* decoded, size_t decodedLength, bool attribute) {
    walk->page = page;
    walk->pageLength = pageLength;
    walk->states = states;
    walk->at = span.start;
    walk->end = span.end;
    walk->decoded = decoded;
    walk->next = 0;
    walk->decodedLength = decodedLength;
    walk->attribute = attribute;
}

static bool InReference(unsigned char state) {
    return state >= HtmlStateCharacterReference && state != HtmlStateAmbiguousAmpersand;
}

static size_t Utf8Length(unsigned char lead) {
    return lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
}

static bool IsAlnum(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// What the reference at `start` (bytes [start, end)) decodes to, in bytes of
// the decoded text; the bytes as they stand when it is no reference after all.
static size_t ReferenceLength(const JoinWalk* w, size_t start, size_t end) {
    const char* p = w->page;
    if (p[start + 1] == '#') {
        for (size_t i = start + 1; i < end; i++)
            if (w->states[i] == HtmlStateHexReference || w->states[i] == HtmlStateDecimalReference)
                return w->next < w->decodedLength ? Utf8Length((unsigned char)w->decoded[w->next])
                                                  : 0;
        return end - start;
    }
    size_t n = end - start - 1;
    long entry = HtmlEntityLongest(p + start + 1, n);
    if (entry < 0 || kHtmlEntities[entry].nameLength != n) return end - start;
    unsigned char after = end < w->pageLength ? (unsigned char)p[end] : 0;
    if (w->attribute && HtmlEntityName(entry)[n - 1] != ';' && (after == '=' || IsAlnum(after)))
        return end - start;
    return kHtmlEntities[entry].valueLength;
}

int JoinWalkNext(JoinWalk* w, JoinChar* out) {
    if (w->at >= w->end) return 0;
    size_t start = w->at, end = start + 1, length = 1;
    const char* p = w->page;
    if (p[start] == '&' && end < w->end && InReference(w->states[end])) {
        while (end < w->end && InReference(w->states[end])) end++;
        length = ReferenceLength(w, start, end);
    } else if (p[start] == '\r' && end < w->end && p[end] == '\n') {
        end++;
    } else if (p[start] == 0 && w->next < w->decodedLength &&
               (unsigned char)w->decoded[w->next] == 0xEF) {
        length = 3; // U+FFFD
    }
    if (length > w->decodedLength - w->next) length = w->decodedLength - w->next;
    out->start = start;
    out->end = end;
    out->decoded = w->decoded + w->next;
    out->length = length;
    w->at = end;
    w->next += length;
    return 1;
}

// Whether the bytes before `at` end with a reference to a line feed ("&#10;",
// "&#xA;", "&NewLine;").
static bool EndsWithLineFeed(const char* page, size_t at) {
    if (at < 5 || page[at - 1] != ';') return false;
    size_t start = at - 1;
    while (start > 0 && at - start < 12 && page[start] != '&') start--;
    if (page[start] != '&') return false;
    const char* p = page + start + 1;
    size_t n = at - 1 - (start + 1);
    if (n == 7 && (unsigned char)p[0] == 'N' && !memcmp(p, "NewLine", 7)) return true;
    if (n < 2 || p[0] != '#') return false;
    bool hex = p[1] == 'x' || p[1] == 'X';
    uint32_t value = 0;
    for (size_t i = hex ? 2 : 1; i < n; i++) {
        int digit = p[i] >= '0' && p[i] <= '9' ? p[i] - '0'
                  : hex && (p[i] | 0x20) >= 'a' && (p[i] | 0x20) <= 'f' ? (p[i] | 0x20) - 'a' + 10 : -1;
        if (digit < 0 || value > 0xFFFF) return false;
        value = value * (hex ? 16 : 10) + (uint32_t)digit;
    }
    return n > (hex ? 2u : 1u) && value == 10;
}

bool JoinWrittenBreakAt(const char* page, const unsigned char* states, size_t at) {
    unsigned char s = states[at];
    // In a CDATA section the break is written "]]>&#10;<![CDATA[", the
    // reference outside it
    static const char kOpen[] = "<![CDATA[";
    const size_t open = sizeof kOpen - 1;
    if (s == HtmlStateCdataSection && at >= open && memcmp(page + at - open, kOpen, open) == 0 &&
        (page[at] == '\n' || page[at] == '\r'))
        return EndsWithLineFeed(page, at - open);
    bool references = s == HtmlStateData || s == HtmlStateRcdata ||
                      (s >= HtmlStateAttributeValueDouble && s <= HtmlStateAttributeValueUnquoted);
    return references && (page[at] == '\n' || page[at] == '\r') && EndsWithLineFeed(page, at);
}

bool JoinInMarkup(const unsigned char* states, size_t at) {
    unsigned char s = states[at];
    return (s >= HtmlStateTagOpen && s <= HtmlStateTagName) ||
           (s >= HtmlStateBeforeAttributeName && s <= HtmlStateBeforeAttributeValue) ||
           (s >= HtmlStateAfterAttributeValueQuoted && s <= HtmlStateBogusDoctype);
}

bool JoinWrittenBreak(const char* page, const JoinChar& c, bool* lineFeed) {
    bool after = *lineFeed;
    *lineFeed = page[c.start] == '&' && c.end - c.start > 1 && c.length == 1 && c.decoded[0] == '\n';
    return after && (page[c.start] == '\n' || page[c.start] == '\r');
}

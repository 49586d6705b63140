#include "authoring/scan/HtmlEncoding.h"
#include <string.h>

// Browsers look this far into a page for its declaration before they read it.
enum { kPrescanLength = 1024 };


struct Prescan {
    const char* bytes;
    size_t end;
    size_t pos;
};

// An attribute's name or value: it lies within the bytes examined.
struct PrescanText {
    char bytes[kPrescanLength];
    size_t length;
};

static bool Space(unsigned char c) {
    return c == 0x09 || c == 0x0A || c == 0x0C || c == 0x0D || c == 0x20;
}

static bool Letter(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

static void TextAdd(PrescanText* text, unsigned char c) {
    if (c >= 'A' && c <= 'Z') c = (unsigned char)(c + 32);
    if (text->length < kPrescanLength) text->bytes[text->length++] = (char)c;
}

static bool TextIs(const PrescanText& text, const char* word) {
    size_t n = strlen(word);
    return text.length == n && memcmp(text.bytes, word, n) == 0;
}

enum AttributeRead { AttributeNone, AttributeFound, AttributeCut };

// One attribute of a tag; AttributeCut when the bytes examined end first.
static AttributeRead AttributeGet(Prescan* p, PrescanText* name, PrescanText* value) {
    name->length = value->length = 0;
    const char* b = p->bytes;
    while (p->pos < p->end && (Space((unsigned char)b[p->pos]) || b[p->pos] == '/')) p->pos++;
    if (p->pos >= p->end) return AttributeCut;
    if (b[p->pos] == '>') return AttributeNone;
    for (;; p->pos++) {
        if (p->pos >= p->end) return AttributeCut;
        unsigned char c = (unsigned char)b[p->pos];
        if (c == '=' && name->length) break;
        if (Space(c)) {
            while (p->pos < p->end && Space((unsigned char)b[p->pos])) p->pos++;
            if (p->pos >= p->end) return AttributeCut;
            if (b[p->pos] != '=') return AttributeFound;
            break;
        }
        if (c == '/' || c == '>') return AttributeFound;
        TextAdd(name, c);
    }
    p->pos++; // the "="
    while (p->pos < p->end && Space((unsigned char)b[p->pos])) p->pos++;
    if (p->pos >= p->end) return AttributeCut;
    unsigned char quote = (unsigned char)b[p->pos];
    if (quote == '"' || quote == '\'') {
        for (p->pos++; p->pos < p->end; p->pos++) {
            if ((unsigned char)b[p->pos] == quote) {
                p->pos++;
                return AttributeFound;
            }
            TextAdd(value, (unsigned char)b[p->pos]);
        }
        return AttributeCut;
    }
    if (quote == '>') return AttributeFound;
    for (; p->pos < p->end; p->pos++) {
        unsigned char c = (unsigned char)b[p->pos];
        if (Space(c) || c == '>') return AttributeFound;
        TextAdd(value, c);
    }
    return AttributeCut;
}

// The encoding a content attribute ("text/html; charset=utf-8") names.
static int ContentEncoding(const PrescanText& content) {
    const char* s = content.bytes;
    size_t n = content.length;
    for (size_t at = 0; at + 7 <= n;) {
        if (memcmp(s + at, "charset", 7) != 0) { // the value is lower case already
            at++;
            continue;
        }
        size_t i = at + 7;
        while (i < n && Space((unsigned char)s[i])) i++;
        if (i >= n || s[i] != '=') {
            at = i;
            continue;
        }
        i++;
        while (i < n && Space((unsigned char)s[i])) i++;
        if (i >= n) return HtmlNoEncoding;
        if (s[i] == '"' || s[i] == '\'') {
            const char* close = (const char*)memchr(s + i + 1, s[i], n - i - 1);
            if (!close) return HtmlNoEncoding;
            return HtmlEncodingFromLabel(s + i + 1, (size_t)(close - (s + i + 1)));
        }
        size_t j = i;
        while (j < n && !Space((unsigned char)s[j]) && s[j] != ';') j++;
        return HtmlEncodingFromLabel(s + i, j - i);
    }
    return HtmlNoEncoding;
}

// A <meta> tag's attributes from `p->pos`; 1 with `found` set when it declares an
// encoding, 0 when it declares none, -1 when the bytes examined end inside it.
static int MetaRead(Prescan* p, HtmlEncodingFound* found) {
    // Only the first of each name counts; the names that matter are three.
    bool seenEquiv = false, seenContent = false, seenCharset = false;
    bool gotPragma = false;
    int needPragma = -1; // unknown
    int charset = HtmlNoEncoding;
    PrescanText name, value;
    for (;;) {
        AttributeRead read = AttributeGet(p, &name, &value);
        if (read == AttributeCut) return -1;
        if (read == AttributeNone) break;
        if (TextIs(name, "http-equiv") && !seenEquiv) {
            seenEquiv = true;
            if (TextIs(value, "content-type")) gotPragma = true;
        } else if (TextIs(name, "content") && !seenContent) {
            seenContent = true;
            int encoding = ContentEncoding(value);
            if (encoding != HtmlNoEncoding && charset == HtmlNoEncoding && needPragma == -1) {
                charset = encoding;
                needPragma = 1;
            }
        } else if (TextIs(name, "charset") && !seenCharset) {
            seenCharset = true;
            charset = HtmlEncodingFromLabel(value.bytes, value.length);
            needPragma = 0;
        }
    }
    if (needPragma == -1 || (needPragma == 1 && !gotPragma) || charset == HtmlNoEncoding) return 0;
    const char* named = HtmlEncodingName(charset);
    if (strncmp(named, "UTF-16", 6) == 0) charset = HtmlEncodingUtf8;
    if (strcmp(named, "x-user-defined") == 0) charset = HtmlEncodingFromLabel("windows-1252", 12);
    found->encoding = charset;
    found->source = needPragma ? HtmlEncodingPragma : HtmlEncodingMeta;
    return 1;
}

// Past the first ">" from `from`; false when the bytes examined end first.
static bool SkipPast(Prescan* p, size_t from) {
    const char* close = (const char*)memchr(p->bytes + from, '>', p->end - from);
    if (!close) return false;
    p->pos = (size_t)(close - p->bytes) + 1;
    return true;
}

static bool StartsWith(const Prescan& p, const char* text, size_t n) {
    return p.end - p.pos >= n && memcmp(p.bytes + p.pos, text, n) == 0;
}

HtmlEncodingFound HtmlEncodingSniff(const char* bytes, size_t length) {
    HtmlEncodingFound found = {HtmlNoEncoding, HtmlEncodingNone, 0};
    if (length >= 3 && memcmp(bytes, "\xEF\xBB\xBF", 3) == 0) {
        found.encoding = HtmlEncodingUtf8;
        found.source = HtmlEncodingBom;
        return found;
    }
    if (length >= 2 && (memcmp(bytes, "\xFE\xFF", 2) == 0 || memcmp(bytes, "\xFF\xFE", 2) == 0)) {
        found.encoding = HtmlEncodingFromLabel(bytes[0] == '\xFE' ? "utf-16be" : "utf-16le", 8);
        found.source = HtmlEncodingBom;
        return found;
    }
    Prescan p = {bytes, length < kPrescanLength ? length : (size_t)kPrescanLength, 0};
    if (StartsWith(p, "<\0?\0x\0", 6) || StartsWith(p, "\0<\0?\0x", 6)) {
        found.encoding = HtmlEncodingFromLabel(bytes[0] ? "utf-16le" : "utf-16be", 8);
        found.source = HtmlEncodingXml;
        return found;
    }
    while (p.pos < p.end) {
        size_t at = p.pos;
        if (bytes[at] != '<') {
            p.pos++;
            continue;
        }
        if (StartsWith(p, "<!--", 4)) {
            // "-->" ends it, its dashes may be those of "<!--".
            size_t i = at + 2;
            while (i + 2 < p.end && !(bytes[i] == '-' && bytes[i + 1] == '-' && bytes[i + 2] == '>'))
                i++;
            if (i + 2 >= p.end) break;
            p.pos = i + 3;
            continue;
        }
        unsigned char after = at + 5 < p.end ? (unsigned char)bytes[at + 5] : 0;
        if (at + 5 < p.end && (bytes[at + 1] | 32) == 'm' && (bytes[at + 2] | 32) == 'e' &&
            (bytes[at + 3] | 32) == 't' && (bytes[at + 4] | 32) == 'a' &&
            (Space(after) || after == '/')) {
            p.pos = at + 5;
            int meta = MetaRead(&p, &found);
            if (meta < 0) break;
            if (meta > 0) {
                found.at = at;
                return found;
            }
            p.pos++;
            continue;
        }
        unsigned char next = at + 1 < p.end ? (unsigned char)bytes[at + 1] : 0;
        unsigned char third = at + 2 < p.end ? (unsigned char)bytes[at + 2] : 0;
        if (Letter(next) || (next == '/' && Letter(third))) {
            p.pos = at + (next == '/' ? 2 : 1);
            while (p.pos < p.end && !Space((unsigned char)bytes[p.pos]) && bytes[p.pos] != '>')
                p.pos++;
            PrescanText name, value;
            AttributeRead read;
            while ((read = AttributeGet(&p, &name, &value)) == AttributeFound) {
            }
            if (read == AttributeCut) break;
            p.pos++;
            continue;
        }
        if (next == '!' || next == '/' || next == '?') {
            if (!SkipPast(&p, at + 1)) break;
            continue;
        }
        p.pos++;
    }
    return found;
}

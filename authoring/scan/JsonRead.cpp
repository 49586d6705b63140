#include "authoring/scan/JsonRead.h"
#include <string.h>

namespace {

enum Want { Value, ValueOrClose, KeyOrClose, Key, Colon, CommaOrClose, End };

struct Reader {
    const unsigned char* b;
    size_t n, i;
    unsigned char* places;
};

void Mark(Reader* r, size_t at, unsigned char place) {
    if (r->places) r->places[at] = place;
}

bool IsHex(unsigned char c) {
    return (c >= '0' && c <= '9') || ((c | 0x20) >= 'a' && (c | 0x20) <= 'f');
}

bool IsDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}

// A string from its opening quote; false when it is no JSON string.
bool String(Reader* r) {
    for (r->i++; r->i < r->n; r->i++) {
        unsigned char c = r->b[r->i];
        if (c == '"') {
            r->i++;
            return true;
        }
        if (c < 0x20) return false;
        Mark(r, r->i, JsonInString);
        if (c != '\\') continue;
        if (++r->i == r->n) return false;
        unsigned char e = r->b[r->i];
        Mark(r, r->i, JsonInString | JsonEscaped);
        if (strchr("\"\\/bfnrt", e) && e) continue;
        if (e != 'u' || r->n - r->i < 5) return false;
        for (int k = 0; k < 4; k++) {
            if (!IsHex(r->b[++r->i])) return false;
            Mark(r, r->i, JsonInString | JsonEscaped);
        }
    }
    return false;
}

size_t Digits(Reader* r) {
    size_t from = r->i;
    while (r->i < r->n && IsDigit(r->b[r->i])) r->i++;
    return r->i - from;
}

bool Number(Reader* r) {
    if (r->b[r->i] == '-') r->i++;
    if (r->i < r->n && r->b[r->i] == '0') {
        r->i++;
    } else if (!Digits(r)) {
        return false;
    }
    if (r->i < r->n && r->b[r->i] == '.') {
        r->i++;
        if (!Digits(r)) return false;
    }
    if (r->i < r->n && (r->b[r->i] | 0x20) == 'e') {
        r->i++;
        if (r->i < r->n && (r->b[r->i] == '+' || r->b[r->i] == '-')) r->i++;
        if (!Digits(r)) return false;
    }
    return true;
}

bool Literal(Reader* r) {
    static const char* const words[] = {"true", "false", "null"};
    for (const char* word : words) {
        size_t k = strlen(word);
        if (r->n - r->i >= k && memcmp(r->b + r->i, word, k) == 0) {
            r->i += k;
            return true;
        }
    }
    return false;
}

} // namespace

int JsonRead(const char* bytes, size_t length, unsigned char* places) {
    if (places) memset(places, JsonOutside, length);
    Reader reader = {(const unsigned char*)bytes, length, 0, places};
    Reader* r = &reader;
    char stack[JsonDepthMost];
    size_t depth = 0;
    int want = Value;
    for (;;) {
        while (r->i < r->n && strchr(" \t\n\r", r->b[r->i]) && r->b[r->i]) r->i++;
        if (r->i == r->n) return want == End;
        unsigned char c = r->b[r->i];
        char close = depth && stack[depth - 1] == '{' ? '}' : ']';
        if ((want == KeyOrClose && c == '}') || (want == ValueOrClose && c == ']') ||
            (want == CommaOrClose && c == close)) {
            r->i++;
            depth--;
            want = depth ? CommaOrClose : End;
            continue;
        }
        if (want == CommaOrClose) {
            if (c != ',') return 0;
            r->i++;
            want = close == '}' ? Key : Value;
            continue;
        }
        if (want == Colon) {
            if (c != ':') return 0;
            r->i++;
            want = Value;
            continue;
        }
        if (want == Key || want == KeyOrClose) {
            if (c != '"' || !String(r)) return 0;
            want = Colon;
            continue;
        }
        if (want == End) return 0;
        if (c == '{' || c == '[') {
            if (depth == JsonDepthMost) return 0;
            stack[depth++] = (char)c;
            r->i++;
            want = c == '{' ? KeyOrClose : ValueOrClose;
            continue;
        }
        bool ok = c == '"' ? String(r) : (c == '-' || IsDigit(c)) ? Number(r) : Literal(r);
        if (!ok) return 0;
        want = depth ? CommaOrClose : End;
    }
}

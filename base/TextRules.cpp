#include "base/TextRules.h"

const char* TextTrim(const char* text, size_t length, size_t* trimmedLength) {
    size_t start = 0;
    while (start < length && text[start] == ' ') start++;
    size_t end = length;
    while (end > start && text[end - 1] == ' ') end--;
    *trimmedLength = end - start;
    return text + start;
}

int32_t TextToNumber(const char* text) {
    if (!text) return 0;
    const unsigned char* p = (const unsigned char*)text;
    while (*p == ' ') p++;
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        p++;
    }
    // Unsigned arithmetic: the value is reduced modulo 2^32 as it is read.
    uint32_t value = 0;
    while (*p >= '0' && *p <= '9') {
        value = value * 10u + (uint32_t)(*p - '0');
        p++;
    }
    if (negative) value = 0u - value;
    return (int32_t)value;
}

size_t TextFromNumber(int32_t value, char* out) {
    char digits[TextNumberMax];
    size_t count = 0;
    uint32_t magnitude = value < 0 ? 0u - (uint32_t)value : (uint32_t)value;
    do {
        digits[count++] = (char)('0' + magnitude % 10u);
        magnitude /= 10u;
    } while (magnitude != 0);
    size_t length = 0;
    if (value < 0) out[length++] = '-';
    while (count > 0) out[length++] = digits[--count];
    out[length] = 0;
    return length;
}

bool TextEquals(const char* a, const char* b) {
    if (!a) a = "";
    if (!b) b = "";
    while (*a && *a == *b) {
        a++;
        b++;
    }
    return *a == *b;
}

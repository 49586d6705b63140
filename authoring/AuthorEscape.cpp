#include "authoring/AuthorEscape.h"

void AuthorEscape(const char* value, size_t length, char* out) {
    static const char kHex[] = "0123456789ABCDEF";
    for (size_t i = 0; i < length; i++) {
        unsigned char c = (unsigned char)value[i];
        if (c == '\\') {
            *out++ = '\\';
            *out++ = '\\';
        } else if (c < 32 || c == 127) {
            *out++ = '\\';
            *out++ = 'x';
            *out++ = kHex[c >> 4];
            *out++ = kHex[c & 15];
        } else {
            *out++ = (char)c;
        }
    }
    *out = 0;
}

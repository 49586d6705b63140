#include "builder/PageRules.h"
#include <stdint.h>
#include <string.h>

static const char kEndMarker[] = "codebase random>";

bool PageLineIsEndMarker(const char* line, size_t length) {
    return length == sizeof kEndMarker - 1 && memcmp(line, kEndMarker, length) == 0;
}

static bool PageEndsLine(unsigned char c) {
    return c == 0 || c == '\n' || c == '\r';
}

size_t PagePlainRun(const char* bytes, size_t count) {
    size_t i = 0;
    while (i < count) {
        // Four bytes at a time while none of them is below 14: then none is a
        // line end. A word with a small byte (most often a tab) is looked at
        // byte by byte.
        if (count - i >= 4) {
            uint32_t word;
            memcpy(&word, bytes + i, 4);
            if (((word - 0x0E0E0E0Eu) & ~word & 0x80808080u) == 0) {
                i += 4;
                continue;
            }
        }
        size_t stop = count - i >= 4 ? i + 4 : count;
        for (; i < stop; i++)
            if (PageEndsLine((unsigned char)bytes[i])) return i;
    }
    return count;
}

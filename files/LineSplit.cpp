#include "files/LineSplit.h"
#include <stdint.h>
#include <string.h>

static bool LineEndsAt(unsigned char c) {
    return c == 0 || c == '\n' || c == '\r';
}

size_t LinePlainRun(const char* bytes, size_t count) {
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
            if (LineEndsAt((unsigned char)bytes[i])) return i;
    }
    return count;
}

LineEnd LineSplit(const char* bytes, size_t count, bool atEnd) {
    size_t i = LinePlainRun(bytes, count);
    if (i == count) return {count, count, atEnd ? 1 : 0};
    if (bytes[i] != '\r') return {i, i + 1, 1};
    // A CR takes the LF after it along; any other byte starts the next line.
    if (i + 1 < count) return {i, i + 1 + (bytes[i + 1] == '\n' ? 1u : 0u), 1};
    if (atEnd) return {i, i + 1, 1};
    return {i, i, 0};
}

#include "files/LineSplit.h"

LineEnd LineSplit(const char* bytes, size_t count, bool atEnd) {
    for (size_t i = 0; i < count; i++) {
        char c = bytes[i];
        if (c == '\n' || c == 0) return {i, i + 1, 1};
        if (c != '\r') continue;
        // A CR takes the LF after it along; any other byte starts the next line.
        if (i + 1 < count) return {i, i + 1 + (bytes[i + 1] == '\n' ? 1u : 0u), 1};
        if (atEnd) return {i, i + 1, 1};
        return {i, i, 0};
    }
    if (atEnd) return {count, count, 1};
    return {count, count, 0};
}

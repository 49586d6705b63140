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

int LineBlocksRead(const LineSource* source, size_t firstBlock, size_t mostBlock, LineTake take,
                   void* takeContext) {
    size_t block = firstBlock;
    char* base = block < SIZE_MAX ? source->room(source->context, block + 1) : nullptr;
    if (!base) return 0;
    size_t have = 0;    // bytes held, read from the source
    size_t start = 0;   // where the current line starts
    size_t scanned = 0; // bytes of the current line known to hold no line end
    bool atEnd = false;
    for (;;) {
        if (atEnd && start == have) return 1;
        LineEnd end = LineSplit(base + start + scanned, have - start - scanned, atEnd);
        if (end.complete) {
            char* line = base + start;
            size_t length = scanned + end.length;
            start += scanned + end.consumed;
            scanned = 0;
            line[length] = 0;
            if (!take(takeContext, line, length)) {
                if (have > start) source->giveBack(source->context, have - start);
                return 1;
            }
            continue;
        }
        scanned += end.length;
        // Keep the unfinished line and read the next block after it.
        if (start > 0) {
            memmove(base, base + start, have - start);
            have -= start;
            start = 0;
        }
        // Blocks grow only for a line longer than a block, so that reading many
        // short lines keeps the room small.
        if (have >= block && block < mostBlock) block *= 2;
        char* room = have < SIZE_MAX - block - 1 ? source->room(source->context, have + block + 1)
                                                 : nullptr;
        if (!room) {
            // A line that can't be held is a failed read, never a shorter line.
            if (have) source->giveBack(source->context, have);
            return 0;
        }
        base = room;
        size_t got = source->read(source->context, base + have, block);
        if (got == 0) atEnd = true;
        have += got;
    }
}

// Where a line ends in a run of bytes: at LF, at CR LF, at a lone CR, at a zero
// byte, or at the end of the file. Pure byte rules, free of platform calls.
//   LineSplit     given the bytes read so far and whether the file has no more,
//                 the line's length and the bytes it consumes (line end included),
//                 or `complete` 0 when more bytes are needed to decide
//   LinePlainRun  how many leading bytes can't end a line (are none of 0, LF and CR)
//   LineBlocksRead  the block line reader: reads a source in blocks, the first of
//                 `firstBlock` bytes, doubling while a line goes on up to
//                 `mostBlock`, and hands each line to `take`, ended by a zero,
//                 until `take` returns 0 or the source ends; the bytes read past
//                 the last line taken are given back. 0 when the room for a line
//                 can't be had: what was read of it is given back, and nothing of
//                 it was handed over
#pragma once
#include <stddef.h>

struct LineEnd {
    size_t length;   // bytes of the line itself
    size_t consumed; // bytes taken from the input, line end included
    int complete;    // 0: no line end yet, or a CR whose next byte is unknown
};

LineEnd LineSplit(const char* bytes, size_t count, bool atEnd);
size_t LinePlainRun(const char* bytes, size_t count);

// Where LineBlocksRead keeps its bytes and reads them from. `room` gives a block
// of at least the bytes asked for, holding the bytes it held (it may move), or
// null; `read` gives at most `count` bytes, 0 at the end; `giveBack` moves the
// source back over bytes read and not used.
struct LineSource {
    void* context;
    char* (*room)(void* context, size_t bytes);
    size_t (*read)(void* context, char* destination, size_t count);
    void (*giveBack)(void* context, size_t bytes);
};
typedef int (*LineTake)(void* context, char* line, size_t length);

int LineBlocksRead(const LineSource* source, size_t firstBlock, size_t mostBlock, LineTake take,
                   void* takeContext);

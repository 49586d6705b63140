// Where a line ends in a run of bytes: at LF, at CR LF, at a lone CR, at a zero
// byte, or at the end of the file. Pure byte rules, free of platform calls.
//   LineSplit     given the bytes read so far and whether the file has no more,
//                 the line's length and the bytes it consumes (line end included),
//                 or `complete` 0 when more bytes are needed to decide
//   LinePlainRun  how many leading bytes can't end a line (are none of 0, LF and CR)
#pragma once
#include <stddef.h>

struct LineEnd {
    size_t length;   // bytes of the line itself
    size_t consumed; // bytes taken from the input, line end included
    int complete;    // 0: no line end yet, or a CR whose next byte is unknown
};

LineEnd LineSplit(const char* bytes, size_t count, bool atEnd);
size_t LinePlainRun(const char* bytes, size_t count);

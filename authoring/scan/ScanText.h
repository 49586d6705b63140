// What the page readers share: a place in the page, and bytes read as
// characters, UTF-8 or the ANSI code page's. Pure byte rules.
//   ScanUtf8Byte   takes the next byte; returns 1 with a character in `c`
//                  (from `start` to just before `end`), 0 while a sequence
//                  goes on. A byte that fits no sequence, or a sequence cut
//                  short, gives ScanBroken (a cut sequence sets `again`: the
//                  byte is to be read once more); with `ansi` every byte is a
//                  character, those above 127 as ScanAnsiBase + the byte
//   ScanUtf8Cut    a sequence cut short by a line end or the end: 1 with
//                  ScanBroken in `c` if one was open
#pragma once
#include <stdint.h>

struct ScanPos {
    uint32_t line, column;
};

// Bytes above 127 of an ANSI page are characters of their own; a byte that is
// no part of a UTF-8 sequence is read as no character at all.
enum : uint32_t { ScanAnsiBase = 0x110000, ScanBroken = 0x120000 };

struct ScanUtf8 {
    unsigned char need, have;
    uint32_t value;
    ScanPos start, last;
};

int ScanUtf8Byte(ScanUtf8* u, bool ansi, unsigned char b, ScanPos at, uint32_t* c, ScanPos* start,
                 ScanPos* end, bool* again);
int ScanUtf8Cut(ScanUtf8* u, uint32_t* c, ScanPos* start, ScanPos* end);

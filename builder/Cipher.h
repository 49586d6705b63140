// The settings cipher: an additive shift over the 256 byte values.
// Pure byte rule, free of platform calls, so it builds anywhere.
//   Decode  direction 0 adds the shift to every byte, direction 1 takes it away,
//           any other direction gives the empty text; a byte that comes out 0 is
//           dropped, and the bytes after it join the ones before
#pragma once
#include <stddef.h>
#include <stdint.h>

// Writes at most `length` bytes and a terminating zero to `out`, which needs room
// for length + 1 bytes; `out` may be `text` itself. Returns the bytes written
// before the zero. Every input byte counts, a zero byte included.
size_t Decode(const char* text, size_t length, int32_t shift, uint8_t direction, char* out);

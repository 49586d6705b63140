// The text rules: trimming, number conversion and comparison of texts.
// Pure byte rules, free of platform calls, so they build anywhere.
//   TextTrim        spaces (byte 32 only) off both ends
//   TextToNumber    leading spaces, one sign, the leading digit run; wraps modulo 2^32
//   TextFromNumber  signed decimal, as "%ld" writes it
//   TextEquals      the same bytes; a null text is the empty text
#pragma once
#include <stddef.h>
#include <stdint.h>

// Longest text TextFromNumber writes, without its terminating zero ("-2147483648").
enum { TextNumberMax = 11 };

const char* TextTrim(const char* text, size_t length, size_t* trimmedLength);
int32_t TextToNumber(const char* text);
size_t TextFromNumber(int32_t value, char* out);
bool TextEquals(const char* a, const char* b);

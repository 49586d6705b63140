// JSON as JSON.parse reads it, over bytes (UTF-8; every byte that JSON gives
// meaning to is ASCII): whether the text is one valid JSON value with white
// space around it, and where each byte stands. Pure byte rules.
//   JsonRead  1 when `bytes` are valid JSON, else 0; `places` (room for
//             `length`, or null) gets each byte's JsonPlace, with JsonEscaped
//             added to a byte that a backslash before it escapes
// Nesting deeper than JsonDepthMost counts as not valid.
#pragma once
#include <stddef.h>

enum JsonPlace { JsonOutside, JsonInString };
enum { JsonEscaped = 2, JsonDepthMost = 512 };

int JsonRead(const char* bytes, size_t length, unsigned char* places);

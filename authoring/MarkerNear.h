// Lines that look meant as the end marker "codebase random>" but are not it.
// Pure byte rules, free of platform calls.
//   CheckNearMarker   why a trimmed line that is not the end marker nearly is ("a
//                     tab", "another letter case", ...), or null; a sentence that
//                     merely holds the two words is not
//   CheckFindNoCase   whether `needle` (lower case) is in the bytes, in any case
#pragma once
#include <stddef.h>

const char* CheckNearMarker(const char* line, size_t length);
bool CheckFindNoCase(const char* bytes, size_t length, const char* needle);

// The check of a presentation folder: its data folder read as the presenter
// reads it, every problem reported as "file:line: message".
//   AuthorCheck          the command; 0 when it found nothing, 1 otherwise
//   CheckNearMarker      why a trimmed line that is not the end marker nearly is
//                        ("a tab", "another letter case", ...), or null
//   CheckFindNoCase      whether `needle` (lower case) is in the bytes, in any case
#pragma once
#include <stddef.h>

int AuthorCheck(const char* folder);
const char* CheckNearMarker(const char* line, size_t length);
bool CheckFindNoCase(const char* bytes, size_t length, const char* needle);

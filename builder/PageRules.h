// What the page builder looks for in a fragment. Pure byte rule, free of
// platform calls, so it builds anywhere.
//   PageLineIsEndMarker  whether a line, already trimmed of its spaces, is the
//                        line "codebase random>" that closes a fragment
//   PagePlainRun         how many leading bytes can't end a line (are none of
//                        0, LF and CR); a fast first step before LineSplit
#pragma once
#include <stddef.h>

bool PageLineIsEndMarker(const char* line, size_t length);
size_t PagePlainRun(const char* bytes, size_t count);

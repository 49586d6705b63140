// What the page builder looks for in a fragment. Pure byte rule, free of
// platform calls, so it builds anywhere.
//   PageLineIsEndMarker  whether a line, already trimmed of its spaces, is the
//                        line "codebase random>" that closes a fragment
#pragma once
#include <stddef.h>

bool PageLineIsEndMarker(const char* line, size_t length);

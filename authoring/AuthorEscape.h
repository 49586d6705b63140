// A value made fit for showing in a message. Pure byte rule.
//   AuthorEscape   control bytes and "\" as \xHH and \\, written to `out`
//                  (4 * length + 1 bytes)
#pragma once
#include <stddef.h>

void AuthorEscape(const char* value, size_t length, char* out);

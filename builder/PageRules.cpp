#include "builder/PageRules.h"
#include <string.h>

static const char kEndMarker[] = "codebase random>";

bool PageLineIsEndMarker(const char* line, size_t length) {
    return length == sizeof kEndMarker - 1 && memcmp(line, kEndMarker, length) == 0;
}

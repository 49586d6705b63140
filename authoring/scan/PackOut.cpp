#include "authoring/scan/PackOut.h"
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

bool PackAppend(PackBuffer* buffer, const char* bytes, size_t length) {
    if (length == 0) return true;
    if (length > buffer->room - buffer->length) {
        size_t room = buffer->room ? buffer->room : 256;
        while (room - buffer->length < length) {
            if (room > (size_t)-1 / 2) return false;
            room *= 2;
        }
        char* grown = (char*)realloc(buffer->bytes, room);
        if (!grown) return false;
        buffer->bytes = grown;
        buffer->room = room;
    }
    memcpy(buffer->bytes + buffer->length, bytes, length);
    buffer->length += length;
    return true;
}

bool PackAppendText(PackBuffer* buffer, const char* text) {
    return PackAppend(buffer, text, strlen(text));
}

void PackBufferFree(PackBuffer* buffer) {
    free(buffer->bytes);
    memset(buffer, 0, sizeof *buffer);
}

int PackRefuse(PackRefusal* refusal, size_t at, int reason, const char* format, ...) {
    if (refusal->reason) return 0;
    refusal->at = at;
    refusal->reason = reason;
    va_list arguments;
    va_start(arguments, format);
    int length = vsnprintf(nullptr, 0, format, arguments);
    va_end(arguments);
    if (length < 0) return 0;
    refusal->message = (char*)malloc((size_t)length + 1);
    if (!refusal->message) return 0;
    va_start(arguments, format);
    vsnprintf(refusal->message, (size_t)length + 1, format, arguments);
    va_end(arguments);
    return 0;
}

void PackRefusalFree(PackRefusal* refusal) {
    free(refusal->message);
    memset(refusal, 0, sizeof *refusal);
}

const char* PackReasonName(int reason) {
    static const char* const names[PackReasonCount] = {
        "none", "memory", "empty", "zero-byte", "placeholders", "script-value", "script-open",
        "script-src", "script-attribute", "base", "module", "lines", "space", "style-line",
        "marker"};
    return reason >= 0 && reason < PackReasonCount ? names[reason] : "?";
}

// What the units of pack write into: growing byte buffers, and the refusal
// that says where and why a page can't be cut. Pure byte rules.
//   PackAppend      bytes onto a buffer; false when memory ran out
//   PackAppendText  a zero-ended text onto a buffer
//   PackBufferFree  gives a buffer's bytes back
//   PackRefuse      sets the refusal (the first one holds): the byte of the
//                   page it is about, the reason and a message of any length,
//                   printf style; returns 0, for `return PackRefuse(...)`
//   PackRefusalFree gives the message back
//   PackReasonName  a reason's short name, for counting refusals by reason
#pragma once
#include <stddef.h>

struct PackBuffer {
    char* bytes;
    size_t length, room;
};

enum PackReason {
    PackReasonNone,
    PackReasonMemory,          // memory ran out
    PackReasonEmpty,           // the page is empty
    PackReasonZeroByte,        // the presenter would end a line at it
    PackReasonPlaceholders,    // missing, extra or out of order
    PackReasonScriptValue,     // a value in a script that spans lines
    PackReasonScriptOpen,      // a script that spans lines and is never closed
    PackReasonScriptSrc,       // a script with src and lines of its own
    PackReasonScriptAttribute, // defer, async, charset or integrity on a script that moves
    PackReasonBase,            // a <base href> from which the script's file can't be reached
    PackReasonModule,          // a module script that spans lines
    PackReasonLines,           // another script type, <xmp>, <plaintext> spanning lines
    PackReasonSpace,           // a space beside a value that no escape keeps
    PackReasonStyleLine,       // a line end that ends a CSS string, or a \ before it
    PackReasonMarker,          // the end marker's words in one name of a tag
    PackReasonCount
};

struct PackRefusal {
    size_t at; // the byte of the page it is about
    int reason;
    char* message; // null when memory ran out for it too
};

bool PackAppend(PackBuffer* buffer, const char* bytes, size_t length);
bool PackAppendText(PackBuffer* buffer, const char* text);
void PackBufferFree(PackBuffer* buffer);
int PackRefuse(PackRefusal* refusal, size_t at, int reason, const char* format, ...)
    __attribute__((format(printf, 4, 5)));
void PackRefusalFree(PackRefusal* refusal);
const char* PackReasonName(int reason);

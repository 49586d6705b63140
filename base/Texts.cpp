#include "base/Texts.h"
#include "base/Heap.h"
#include <stdint.h>
#include <string.h>

// The string base starts at this size; it grows when a text needs more.
static const size_t kStringBaseStart = 64000;
static char* gBase;
static size_t gBaseSize;
// Growth past this size fails as if memory had run out; tests lower it to see
// what the readers do then.
static size_t gBaseMost = SIZE_MAX;

// Stored texts likewise: a block for more than this fails.
static size_t gTextMost = SIZE_MAX;

// A block for `room` bytes and the terminating zero, holding what `bytes` held.
static char* TextBlock(char* bytes, size_t room) {
    if (room > gTextMost || room == SIZE_MAX) return nullptr;
    return bytes ? (char*)HeapReAlloc(HeapMain(), 0, bytes, room + 1)
                 : (char*)HeapAlloc(HeapMain(), 0, room + 1);
}

const char* TextGet(const Text* text) {
    return text && text->bytes ? text->bytes : "";
}

int TextSet(Text* text, const char* bytes, size_t length) {
    char* block = TextBlock(nullptr, length);
    if (!block) return 0;
    memcpy(block, bytes, length);
    block[length] = 0;
    TextClear(text);
    text->bytes = block;
    text->length = length;
    text->room = length;
    return 1;
}

int TextAppend(Text* text, const char* bytes, size_t length) {
    if (length == 0) return 1;
    size_t needed = text->length + length;
    if (needed < text->length) return 0;
    if (needed > text->room) {
        // Doubling keeps a long run of appends linear in the final length.
        size_t room = text->room * 2;
        if (room < needed) room = needed;
        if (room < 64) room = 64;
        char* block = TextBlock(text->bytes, room);
        // Memory that can't take the doubled block may still take the text.
        if (!block && room > needed) block = TextBlock(text->bytes, room = needed);
        if (!block) return 0;
        text->bytes = block;
        text->room = room;
    }
    memcpy(text->bytes + text->length, bytes, length);
    text->length = needed;
    text->bytes[needed] = 0;
    return 1;
}

int TextReserve(Text* text, size_t room) {
    if (room <= text->room) return 1;
    char* block = TextBlock(text->bytes, room);
    if (!block) return 0;
    block[text->length] = 0;
    text->bytes = block;
    text->room = room;
    return 1;
}

void TextClear(Text* text) {
    if (text->bytes) HeapFree(HeapMain(), 0, text->bytes);
    text->bytes = nullptr;
    text->length = 0;
    text->room = 0;
}

int StringBaseInit() {
    gBase = (char*)HeapAlloc(HeapMain(), HEAP_ZERO_MEMORY, kStringBaseStart);
    gBaseSize = gBase ? kStringBaseStart : 0;
    return gBase != nullptr;
}

char* StringBaseRoom(size_t n) {
    if (n > gBaseMost) return nullptr;
    if (n <= gBaseSize) return gBase;
    size_t size = gBaseSize * 2;
    if (size < n || size > gBaseMost) size = n;
    char* block = gBase ? (char*)HeapReAlloc(HeapMain(), 0, gBase, size)
                        : (char*)HeapAlloc(HeapMain(), 0, size);
    if (!block) return nullptr;
    gBase = block;
    gBaseSize = size;
    return gBase;
}

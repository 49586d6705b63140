// Stored texts on the main heap, and the string base: the scratch area in which
// texts are built before they are stored.
//   TextGet          the bytes of a stored text; "" when it was never stored
//   TextSet          replaces a stored text (a block of exactly its length plus one)
//   TextAppend       lengthens a stored text, growing its block geometrically
//                    (by just what it needs when memory can't take more); 0,
//                    with the text as it was, when memory can't hold it
//   TextClear        frees a stored text; it reads as empty again
//   TextReserve      room for at least n bytes in all, so appends up to that
//                    length don't move the text; its bytes stay as they are
//   StringBaseInit   takes the string base from the main heap
//   StringBaseRoom   the string base with room for at least n bytes, its bytes
//                    kept; it may move, so pointers into it die
// A text never holds a zero byte: callers hand over bytes without one.
#pragma once
#include <stddef.h>

struct Text {
    char* bytes;
    size_t length;
    size_t room; // bytes the block holds besides the terminating zero
};

const char* TextGet(const Text* text);
int TextSet(Text* text, const char* bytes, size_t length);
int TextAppend(Text* text, const char* bytes, size_t length);
void TextClear(Text* text);
int TextReserve(Text* text, size_t room);

int StringBaseInit();
char* StringBaseRoom(size_t n);

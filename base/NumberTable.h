// Numbered objects: the one scheme by which the file, window and gadget
// libraries name what they hold. A number from 0 to the count names an entry of
// a table on the main heap; the any number makes an entry in an object record
// whose address, the identifier, is used as the number from then on. A live
// identifier names its own record even when the table has grown past it.
// An entry begins with the system handle it holds; a zero handle is an empty
// entry. Each library has its own entry type, growth step and close.
//   NumberTableInit      a zero-filled table of `count` (+ `spare`) entries; 0 on failure
//   NumberTableIsIndex   whether a number names a table entry (0 to the count,
//                        and not a live identifier)
//   NumberTableFind      the entry of a table number or of a live identifier's
//                        record, empty or not; null for anything else
//   NumberTableLookup    the entry when it holds a handle, else null
//   NumberTableSlot      the empty entry to open a number in: a new record for the
//                        any number (the number becomes its identifier), its own
//                        record for a live identifier, the table entry (grown to)
//                        for a table number; what was there is destroyed first
//   NumberTableEmpty     empties a live entry, then destroys what it held
//   NumberTableClose     NumberTableEmpty, and an identifier's record is freed
//   NumberTableRelease   empties an entry without destroying anything, and frees
//                        an identifier's record
//   NumberTableCloseAll  every identifier newest first, then the live table
//                        numbers upwards or downwards, each through the library's close
// An entry is emptied before what it held is destroyed, and no entry address is
// kept across the destroy: a close re-entered from it finds nothing to close.
#pragma once
#include "base/ObjectList.h"
#include <stddef.h>
#include <stdint.h>

const intptr_t NumberAny = -1;

struct NumberTable {
    char* entries; // count + spare entries, zero-filled when made
    int32_t count;
    int32_t step;  // opening n at or above the count makes the count n + step
    int32_t spare; // entries held beyond the count
    size_t entrySize;
    ObjectList any; // any-numbered entries, newest first
};

// Destroys what an emptied entry held; `held` is a copy of the entry as it was.
typedef void (*NumberDestroy)(intptr_t number, void* held);
typedef void (*NumberClose)(intptr_t number);

// Entries are at most this large, so that a copy of one fits on the stack.
enum { NumberEntryMost = 64 };

int NumberTableInit(NumberTable* table, size_t entrySize, int32_t count, int32_t step,
                    int32_t spare);
bool NumberTableIsIndex(const NumberTable* table, intptr_t number);
void* NumberTableFind(const NumberTable* table, intptr_t number);
void* NumberTableLookup(const NumberTable* table, intptr_t number);
void* NumberTableSlot(NumberTable* table, intptr_t* number, NumberDestroy destroy);
void NumberTableEmpty(NumberTable* table, intptr_t number, NumberDestroy destroy);
void NumberTableClose(NumberTable* table, intptr_t number, NumberDestroy destroy);
void NumberTableRelease(NumberTable* table, intptr_t number);
void NumberTableCloseAll(NumberTable* table, NumberClose close, bool downwards);

#include "base/NumberTable.h"
#include "base/Heap.h"
#include <string.h>

static bool NumberEntryLive(const void* entry) {
    void* handle;
    memcpy(&handle, entry, sizeof handle);
    return handle != nullptr;
}

// No table may take more than a 32-bit process can address; 64-bit builds keep
// the same limit, so that they refuse the same numbers.
static const uint64_t kNumberTableMostBytes = INT32_MAX;

// The bytes for `entries` entries, or 0 when they are past the limit. With at
// most 2^32 entries of at most NumberEntryMost bytes the product can't overflow.
static size_t NumberTableBytes(const NumberTable* table, uint64_t entries) {
    if (entries > UINT32_MAX) return 0;
    uint64_t bytes = entries * table->entrySize;
    return bytes <= kNumberTableMostBytes ? (size_t)bytes : 0;
}

int NumberTableInit(NumberTable* table, size_t entrySize, int32_t count, int32_t step,
                    int32_t spare) {
    table->entrySize = entrySize;
    table->step = step;
    table->spare = spare;
    table->any = nullptr;
    table->count = 0;
    table->entries = nullptr;
    if (entrySize < sizeof(void*) || entrySize > NumberEntryMost) return 0;
    size_t bytes = NumberTableBytes(table, (uint64_t)count + (uint64_t)spare);
    table->entries = bytes ? (char*)HeapAlloc(HeapMain(), HEAP_ZERO_MEMORY, bytes) : nullptr;
    if (!table->entries) return 0;
    table->count = count;
    return 1;
}

// Identifiers are record addresses and may fall within the table's range once it
// has grown far enough: a live identifier always names its own record. Only a
// number that could be a record's address is looked for in the list, so an
// ordinary table number costs a bounds test and an index.
static bool NumberTableIsIdentifier(const NumberTable* table, intptr_t number) {
    return ObjectListMayHold(table->any, (uintptr_t)number) &&
           ObjectListHas(table->any, (void*)number);
}

static bool NumberTableInRange(const NumberTable* table, intptr_t number) {
    return number >= 0 && number <= table->count && table->entries;
}

bool NumberTableIsIndex(const NumberTable* table, intptr_t number) {
    return NumberTableInRange(table, number) && !NumberTableIsIdentifier(table, number);
}

void* NumberTableFind(const NumberTable* table, intptr_t number) {
    // A stale or made-up identifier is not in the list, so it finds nothing.
    if (NumberTableIsIdentifier(table, number)) return (void*)number;
    if (NumberTableInRange(table, number))
        return table->entries + (size_t)number * table->entrySize;
    return nullptr;
}

void* NumberTableLookup(const NumberTable* table, intptr_t number) {
    void* entry = NumberTableFind(table, number);
    return entry && NumberEntryLive(entry) ? entry : nullptr;
}

// A count that would overflow, or a table the address space cannot hold, is refused.
static int NumberTableGrow(NumberTable* table, intptr_t number) {
    if (!table->entries || number > (intptr_t)INT32_MAX - table->step) return 0;
    int32_t count = (int32_t)number + table->step;
    size_t bytes = NumberTableBytes(table, (uint64_t)count + (uint64_t)table->spare);
    if (!bytes) return 0;
    char* entries = (char*)HeapReAlloc(HeapMain(), HEAP_ZERO_MEMORY, table->entries, bytes);
    if (!entries) return 0;
    table->entries = entries;
    table->count = count;
    return 1;
}

void NumberTableEmpty(NumberTable* table, intptr_t number, NumberDestroy destroy) {
    void* entry = NumberTableLookup(table, number);
    if (!entry) return;
    char held[NumberEntryMost];
    memcpy(held, entry, table->entrySize);
    memset(entry, 0, table->entrySize);
    destroy(number, held);
}

void* NumberTableSlot(NumberTable* table, intptr_t* number, NumberDestroy destroy) {
    if (*number == NumberAny) {
        void* entry = ObjectListAdd(&table->any, table->entrySize);
        if (entry) *number = (intptr_t)entry;
        return entry;
    }
    // A live identifier opens again in its own record; a table number not below
    // the count grows the table first.
    bool identifier = NumberTableIsIdentifier(table, *number);
    if (!identifier) {
        if (*number < 0) return nullptr;
        if (*number >= table->count && !NumberTableGrow(table, *number)) return nullptr;
    }
    // What the destroy runs may open the number again or move the table, so the
    // entry is looked for anew until it is found empty.
    while (NumberTableLookup(table, *number)) NumberTableEmpty(table, *number, destroy);
    // An identifier the destroy closed names nothing any more.
    if (identifier && !NumberTableIsIdentifier(table, *number)) return nullptr;
    return NumberTableFind(table, *number);
}

void NumberTableRelease(NumberTable* table, intptr_t number) {
    bool identifier = NumberTableIsIdentifier(table, number);
    void* entry = NumberTableFind(table, number);
    if (!entry) return;
    memset(entry, 0, table->entrySize);
    if (identifier) ObjectListRemove(&table->any, entry);
}

void NumberTableClose(NumberTable* table, intptr_t number, NumberDestroy destroy) {
    void* entry = NumberTableLookup(table, number);
    if (!entry) return;
    char held[NumberEntryMost];
    memcpy(held, entry, table->entrySize);
    NumberTableRelease(table, number);
    destroy(number, held);
}

static bool NumberTableIndexLive(const NumberTable* table, int32_t number) {
    return NumberEntryLive(table->entries + (size_t)number * table->entrySize);
}

void NumberTableCloseAll(NumberTable* table, NumberClose close, bool downwards) {
    // The newest record each time: a close may free records besides its own.
    while (void* entry = ObjectListFirst(table->any)) {
        close((intptr_t)entry);
        // A record the close left in the list goes all the same, so that the walk ends.
        if (ObjectListFirst(table->any) == entry) {
            memset(entry, 0, table->entrySize);
            ObjectListRemove(&table->any, entry);
        }
    }
    // Only live entries are closed, so that a large table is passed over quickly;
    // each is read afresh, since a close may move the table.
    if (downwards) {
        for (int32_t number = table->count - 1; number >= 0; number--)
            if (NumberTableIndexLive(table, number)) close(number);
    } else {
        for (int32_t number = 0; number < table->count; number++)
            if (NumberTableIndexLive(table, number)) close(number);
    }
}

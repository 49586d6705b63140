#include "base/ObjectList.h"
#include <windows.h>

static HANDLE gObjectHeap;

static ObjectRecord* RecordOf(const void* payload) {
    return (ObjectRecord*)payload - 1;
}

static void* PayloadOf(ObjectRecord* record) {
    return record ? (void*)(record + 1) : nullptr;
}

int ObjectHeapCreate() {
    gObjectHeap = HeapCreate(0, 1024, 0);
    return gObjectHeap != nullptr;
}

void ObjectHeapDestroy() {
    if (gObjectHeap) HeapDestroy(gObjectHeap);
    gObjectHeap = nullptr;
}

void* ObjectListAdd(ObjectList* list, size_t payloadSize) {
    ObjectRecord* record =
        (ObjectRecord*)HeapAlloc(gObjectHeap, HEAP_ZERO_MEMORY, sizeof(ObjectRecord) + payloadSize);
    if (!record) return nullptr;
    if (*list) {
        (*list)->previous = record;
        record->next = *list;
    }
    *list = record;
    return PayloadOf(record);
}

void ObjectListRemove(ObjectList* list, void* payload) {
    ObjectRecord* record = RecordOf(payload);
    if (record->next) record->next->previous = record->previous;
    if (*list == record)
        *list = record->next;
    else if (record->previous)
        record->previous->next = record->next;
    HeapFree(gObjectHeap, 0, record);
}

void* ObjectListFirst(ObjectList list) {
    return PayloadOf(list);
}

void* ObjectListNext(void* payload) {
    return PayloadOf(RecordOf(payload)->next);
}

bool ObjectListHas(ObjectList list, const void* payload) {
    if (!payload) return false;
    for (ObjectRecord* record = list; record; record = record->next)
        if (PayloadOf(record) == payload) return true;
    return false;
}

size_t ObjectListLength(ObjectList list) {
    size_t length = 0;
    for (ObjectRecord* record = list; record; record = record->next) length++;
    return length;
}

// Payloads follow a two-link header in heap blocks, and the system maps nothing
// in the first 64 KiB of the address space.
static const uintptr_t kPayloadLowest = 0x10000;
static const uintptr_t kPayloadAlign = MEMORY_ALLOCATION_ALIGNMENT < sizeof(ObjectRecord)
                                           ? MEMORY_ALLOCATION_ALIGNMENT
                                           : sizeof(ObjectRecord);

bool ObjectListMayHold(ObjectList list, uintptr_t value) {
    return list && value >= kPayloadLowest && value % kPayloadAlign == 0;
}

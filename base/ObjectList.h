// Object records and object lists, shared by the file, window and gadget
// libraries and the message requester. A record is a zero-filled block from the
// object heap: a link to the next (older) record, a link to the previous (newer)
// one, then the payload. A list is named by its head, the newest record.
//   ObjectHeapCreate / ObjectHeapDestroy   the object heap, made and destroyed whole
//   ObjectListAdd      a new zero-filled payload, linked in as the newest
//   ObjectListRemove   unlinks a payload's record and frees it
//   ObjectListFirst    the newest payload, or null
//   ObjectListNext     the payload of the next older record, or null
//   ObjectListHas      whether a payload belongs to the list
//   ObjectListLength   how many records the list holds
//   ObjectListMayHold  false for any value that can't be a payload of the list
//                      (an empty list, an address the system never gives out,
//                      one not aligned as payloads are), without walking it
#pragma once
#include <stddef.h>
#include <stdint.h>

struct ObjectRecord {
    ObjectRecord* next;
    ObjectRecord* previous;
};
typedef ObjectRecord* ObjectList;

int ObjectHeapCreate();
void ObjectHeapDestroy();
void* ObjectListAdd(ObjectList* list, size_t payloadSize);
void ObjectListRemove(ObjectList* list, void* payload);
void* ObjectListFirst(ObjectList list);
void* ObjectListNext(void* payload);
bool ObjectListHas(ObjectList list, const void* payload);
bool ObjectListMayHold(ObjectList list, uintptr_t value);
size_t ObjectListLength(ObjectList list);

#include "base/Heap.h"

static HANDLE gMainHeap;
static HINSTANCE gInstance;

int HeapMainCreate() {
    gMainHeap = HeapCreate(0, 4000, 0);
    return gMainHeap != nullptr;
}

void HeapMainDestroy() {
    if (gMainHeap) HeapDestroy(gMainHeap);
    gMainHeap = nullptr;
}

HANDLE HeapMain() {
    return gMainHeap;
}

void InstanceSet(HINSTANCE instance) {
    gInstance = instance;
}

HINSTANCE InstanceHandle() {
    return gInstance;
}

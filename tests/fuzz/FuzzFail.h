// Allocations that fail on purpose, for a target linked with --wrap=malloc and
// --wrap=realloc (see CMakeLists.txt), which includes this once: armed, each
// allocation from the gFailAt-th on fails (none when gFailAt is 0), and
// gFailed says whether one did.
#pragma once
#include <stddef.h>

static size_t gFailAt, gAllocations;
static bool gArmed, gFailed;
extern "C" void* __real_malloc(size_t size);
extern "C" void* __real_realloc(void* block, size_t size);
static bool Fails() {
    if (!gArmed || !gFailAt || ++gAllocations < gFailAt) return false;
    gFailed = true;
    return true;
}
extern "C" void* __wrap_malloc(size_t size) { return Fails() ? nullptr : __real_malloc(size); }
extern "C" void* __wrap_realloc(void* block, size_t size) {
    return Fails() ? nullptr : __real_realloc(block, size);
}

static void FailArm(size_t at) {
    gFailAt = at;
    gAllocations = 0;
    gFailed = false;
    gArmed = true;
}

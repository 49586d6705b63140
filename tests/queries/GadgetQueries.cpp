// The gadgets floor's units with their queries; see FileQueries.cpp.
#include "gadgets/Browser.cpp"
#include "gadgets/Gadget.cpp"

int32_t GadgetCount() {
    return gTable.count;
}

size_t GadgetTableBytes() {
    return HeapSize(HeapMain(), 0, gTable.entries);
}

int32_t GadgetAnyCount() {
    return (int32_t)ObjectListLength(gTable.any);
}

int BrowserLoadCount() {
    return gLoads;
}

void BrowserLibraryName(const char* name) {
    gLibraryName = name;
}

// The next creation loads the library again, as at start-up.
void BrowserHostForget() {
    gReady = false;
}

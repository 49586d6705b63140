// The windows floor's units with their queries; see FileQueries.cpp.
#include "windows/LiveSizing.cpp"
#include "windows/Requester.cpp"
#include "windows/Window.cpp"

int32_t WindowCount() {
    return gTable.count;
}

int32_t WindowAnyCount() {
    return (int32_t)ObjectListLength(gTable.any);
}

int RequesterRecordCount(DWORD threadId) {
    int count = 0;
    for (void* p = ObjectListFirst(gDisabled); p; p = ObjectListNext(p))
        if (((DisabledWindow*)p)->threadId == threadId) count++;
    return count;
}

int LiveSizingActive() {
    return gSizing.active;
}

int32_t LiveSizingEdge() {
    return gSizing.edge;
}

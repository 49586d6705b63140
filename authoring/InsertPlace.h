// Where each {{insert}} of an author's page stands, as a browser reads the
// page: whether the page reads character references ("&#69;") there, so that
// the insert text may hold them. Pure byte rules.
//   InsertPlacesFind  the place of each {{insert}} (up to `room`), in the order
//                     they stand, and their number in `count`; 0 when memory ran out
//   InsertPlaceAll    1 when every place reads references; 0 with the first
//                     that doesn't in `first`
#pragma once
#include <stddef.h>

struct InsertPlace {
    size_t at;           // the byte of its "{"
    size_t line, column; // 1-based, columns in bytes
    bool references;     // the page reads "&#69;" there as "E"
    char what[48];       // "text", "an attribute value", "a script", "a style sheet", ...
};

int InsertPlacesFind(const char* page, size_t length, InsertPlace* places, size_t room,
                     size_t* count);
int InsertPlaceAll(const InsertPlace* places, size_t count, const InsertPlace** first);

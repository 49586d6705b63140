// One ordinary HTML page, with {{width}}, {{height}} and {{insert}} where the
// presenter splices its values, cut into the seven fragments so that the joined
// page is the same page: a line end the join would take away becomes a tab (the
// trim keeps tabs) or "&#10;" where a line break shows, spaces the trim would
// reach become references, and a script that needs its line ends goes to a file
// of its own. Pure byte rules, free of platform calls.
//   PackPage        cuts `page`; `insert` is the insert text the page will get.
//                   0 with `line`, `column` and `message` set when it can't be
//                   cut (placeholders out of order, a zero byte, no memory)
//   PackResultFree  gives back what a PackPage result holds
#pragma once
#include <stddef.h>

struct PackBuffer {
    char* bytes;
    size_t length;
    size_t room;
};

enum { PackFragmentCount = 7 };

struct PackResult {
    PackBuffer fragments[PackFragmentCount]; // 1010, 1011, 1015 ... 1019 in that order
    PackBuffer* scripts;                     // page-1.js, page-2.js, ...
    size_t scriptCount;
    size_t line, column; // where the page can't be cut, 1-based
    char message[200];
};

int PackPage(const char* page, size_t length, const char* insert, PackResult* result);
void PackResultFree(PackResult* result);

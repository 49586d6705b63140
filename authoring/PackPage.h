// One ordinary HTML page, with {{width}}, {{height}} and {{insert}} where the
// presenter splices its values, cut into the seven fragments so that the page
// the presenter joins is the author's page, character for character in the
// tree a browser builds: each line end the join takes becomes what stands for
// it where it stands ("&#10;" in text, a tab between attributes ...), a space
// that the trim would reach becomes a reference or an escape, and a script
// that spans lines goes whole to a file of its own. Pure byte rules, free of
// platform calls.
//   PackPage           cuts `page`; `insert` is the insert text the page will
//                      get. 0 with `line`, `column`, `reason` and `message` set
//                      when it can't be cut
//   PackResultMessage  the refusal's message ("out of memory" when even that
//                      could not be had)
//   PackResultFree     gives back what a PackPage result holds, packed or not
#pragma once
#include "authoring/scan/PackCut.h"

struct PackResult {
    PackBuffer fragments[PackFragmentCount]; // 1010, 1011, 1015 ... 1019 in that order
    PackBuffer* scripts;                     // page-1.js, page-2.js, ...
    size_t scriptCount;
    PackBuffer notes;     // "LINE:COLUMN: message\n" for what pack tells and does not refuse
    size_t line, column;  // where the page can't be cut, 1-based
    int reason;           // PackReason
    char* message;        // why, whole
};

int PackPage(const char* page, size_t length, const char* insert, PackResult* result);
const char* PackResultMessage(const PackResult& result);
void PackResultFree(PackResult* result);

// The plan of a page to cut: its lines, where its values stand and what the
// page scanner makes of each line end and of each script. Pure byte rules.
//   PackPlanMake    reads the page; 0 with the place and the reason in `result`
//                   when it can't be cut
//   PackPlanFree    gives the plan's tables back
//   PackHolderText  "{{width}}", "{{height}}" or "{{insert}}"
#pragma once
#include "authoring/PackPage.h"

enum PackHolderKind { HolderWidth, HolderHeight, HolderInsert };

struct PackLine {
    size_t start, length;    // the line's bytes in the page, without the line end
    unsigned char join;      // ScanJoinKind of its end
    unsigned char placeStart, placeEnd; // ScanPlace of its first and of its trailing spaces
};

struct PackHolder {
    size_t line, column; // 0-based
    int kind;
    unsigned char before, after; // ScanPlace of the spaces before and after it
    size_t script;               // 1 + the script it stands in, or 0
};

struct PackScript {
    size_t openLine, openColumn;   // the ">" of <script ...>, 0-based
    size_t closeLine, closeColumn; // the "<" of </script>
    bool out;                      // it needs its line ends: it goes to a file
};

struct PackPlan {
    PackLine* lines;
    size_t lineCount;
    PackHolder holders[6];
    size_t holderCount;
    PackScript* scripts;
    size_t scriptCount;
};

int PackPlanMake(const char* page, size_t length, const char* insert, PackPlan* plan,
                 PackResult* result);
void PackPlanFree(PackPlan* plan);
const char* PackHolderText(int kind);

// The elements of a page whose raw text spans lines, which the join would
// change: classic scripts go whole to files of their own (page-1.js, ...),
// referred to by a src that reaches data/ from under the page's <base href>;
// the rest are refused with their place and a hint. One-line module scripts
// stay, with a note. Pure byte rules.
//   PackScriptsPlan  decides for every such element; 0 with the plan's refusal
//                    set
//   PackScriptText   a moved script's text as the browser reads it from the
//                    page (each line end a LF), onto `out`
//   PackMovesFree    gives back what the moves hold
//   PackBaseReach    how data/page-N.js is reached from under the base URL
//                    `href` (the page is data/1014.dat): folders up, then
//                    "data/" or not; 0 where no relative path reaches it
#pragma once
#include "authoring/scan/PackPlan.h"

struct PackMove {
    size_t gt;                       // the ">" of its start tag, in the page
    size_t contentStart, contentEnd; // its content, in the page
    PackBuffer reference;            // what goes before the ">": a tab and src="..."
};

struct PackMoves {
    PackMove* moves;
    size_t count;
};

int PackScriptsPlan(PackPlan* plan, PackMoves* moves);
bool PackScriptText(const PackPlan* plan, const PackMove& move, PackBuffer* out);
void PackMovesFree(PackMoves* moves);
int PackBaseReach(const char* href, size_t length, size_t* up, bool* data);

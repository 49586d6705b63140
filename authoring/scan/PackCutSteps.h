// What the cut's two units share: the output line being made, with the
// filled byte each of its bytes comes from, and the fragment it goes to.
//   CutPut      bytes onto the line; `origin` is the filled byte of the first
//               (the rest follow it), or CutInserted for bytes pack adds
//   CutLineOut  ends the line: avoids the end marker on it, writes it to the
//               fragment with its line end; an empty line writes nothing
//   CutFree     gives back the line's room
#pragma once
#include "authoring/scan/PackCut.h"

const size_t CutInserted = (size_t)-1;

struct Cut {
    PackPlan* plan;
    const PackMoves* moves;
    size_t move; // the next moved script
    PackMarkerTest near;
    PackBuffer* out; // the fragment being written
    bool oneLine;    // 1011.dat: never cut
    PackBuffer line;
    size_t* origins;
    size_t originRoom;
};

bool CutPut(Cut* c, const char* bytes, size_t length, size_t origin);
bool CutLineOut(Cut* c);
void CutFree(Cut* c);

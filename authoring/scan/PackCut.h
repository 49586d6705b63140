// The stream that pack writes and its output lines. The stream is the page,
// fragment by fragment between the values, with every line end replaced by
// what stands for it where it stands (a reference in text, a tab between
// attributes ...), the content of moved scripts left out and their start
// tags given a src. It is cut into lines only after such a replacement and
// between two bytes that are not spaces, so the presenter's trim takes nothing
// and its join gives the stream back; a space that would stand at a line's
// edge becomes what it is in its place. Pure byte rules.
//   PackCutMake  writes the seven fragments, each but 1011.dat (one line, never
//                cut) ended by the end marker line. `near` tells a line that is,
//                or could be taken for, the end marker: its first word gets an
//                escape where its place has one, or a cut inside it. 0 with the
//                plan's refusal set
#pragma once
#include "authoring/scan/PackScript.h"

enum { PackFragmentCount = 7 };

typedef bool (*PackMarkerTest)(const char* line, size_t length);

int PackCutMake(PackPlan* plan, const PackMoves* moves, PackMarkerTest near,
                PackBuffer fragments[PackFragmentCount]);

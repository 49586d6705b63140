// A script or an event handler's body in the written page, read by the join's
// judge of scripts (JsJoin) a character at a time: each line end of the page
// judged there, the spaces beside a value that the trim takes judged by where
// they fall (in a string they are lost, in code two words may glue), and the
// first syntax newer than the presenter's engine runs. Pure byte rules.
//   JoinScriptStart  a script (or, with `handler`, a handler's body) begins;
//                    `engine`: tell newer syntax
//   JoinScriptChar   its next character
//   JoinScriptEnd    it ends: what is left is judged and told
#pragma once
#include "authoring/scan/JoinParts.h"
#include "authoring/scan/JoinText.h"
#include "authoring/scan/JsJoin.h"

struct JoinScript {
    JsJoin join;
    JoinSink* sink;
    bool active, engine;
    char run[128]; // literal bytes not yet fed, from `runAt` on
    size_t runLength, runAt;
    size_t lastSolid; // just past the last byte fed that is not a space
};

void JoinScriptStart(JoinScript* script, JoinSink* sink, bool handler, bool engine);
void JoinScriptChar(JoinScript* script, const JoinChar& c);
void JoinScriptEnd(JoinScript* script);

// Whether two bytes, side by side in code, read as one token or start a comment.
bool JoinCodeGlues(unsigned char before, unsigned char after);

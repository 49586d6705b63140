// What the presenter's join does to a script: it takes every line end away,
// with the spaces (byte 32, not tabs) at both ends of every line. Each line end
// is judged by reading the script twice at once: as written, and as joined from
// that line end on (the later line ends taken away too, as the join takes them
// all), until the two readings meet again. Tokens that differ change the script
// for certain; tokens alike, with a line end before one that only the written
// script has, change it as far as that line end ended a statement or a
// restricted production (JsToken::effect). A difference goes to the line end
// it comes from: the latest one before it that ends a line with more than
// spaces, so a blank line or a comment line is judged with the line before it.
// A line end inside a string, a template literal or a regular expression
// changes the script, except where a string's line continuation meets a
// character that escapes to itself.
//   JsJoinStart    a judge at the start of a script (or an event handler's body);
//                  `take` hears every finding
//   JsJoinFeed     bytes of the current line, or of a piece of it; see JsFeed
//   JsJoinLineEnd  the end of the current line, at `at` (just past its last byte)
//   JsJoinEnd      the end of the script
// A line end with no finding is harmless. A finding comes once the tokens after
// the line end tell, which may be lines later, so findings may come out of the
// order of their lines (and, rarely, twice for one line end). The written
// script's tokens go to `tokens`, if set; `main` holds its reading (the first
// newer syntax in it).
#pragma once
#include "authoring/scan/JsLex.h"

struct JsFinding {
    JsPos at;             // the line end, as JsJoinLineEnd had it
    unsigned char effect; // JsMayChange or JsChanges
    unsigned char reason; // JsReason
};

typedef void (*JsFindingTake)(void* context, const JsFinding* finding);

const unsigned JsJoinQueue = 16, JsJoinEnds = 8, JsJoinRuns = 6, JsJoinTold = 8;

// A line end of a run, and where its line's last byte that is not a space ends.
struct JsRunEnd {
    JsPos at, content;
    unsigned char place; // JsPlace of the written script at the line end
    bool blank;
};

// The reading of one line end: the script as joined from it on, held against
// the script as written until the two meet again.
struct JsRun {
    bool active, seenAfter;
    JsLex joined;
    JsToken mainQueue[JsJoinQueue], joinedQueue[JsJoinQueue];
    unsigned mainCount, joinedCount;
    JsRunEnd first;
    JsRunEnd ends[JsJoinEnds]; // the latest line ends it has taken away
    unsigned endCount;
};

struct JsJoin {
    JsLex main; // the script as written
    JsRun runs[JsJoinRuns];
    bool lineBegun;  // the line so far holds more than spaces
    uint32_t spaces; // spaces read and not yet given to the lexers: they may end the line
    JsPos spaceAt;
    bool continuation; // a string's line continuation, judged by the next line's first byte
    JsPos continuationAt;
    JsPos told[JsJoinTold]; // the latest line ends with a finding
    unsigned toldCount;
    JsFindingTake take;
    void* context;
    JsTake tokens;
    void* tokensContext;
};

void JsJoinStart(JsJoin* join, bool handler, bool ansi, JsFindingTake take, void* context);
void JsJoinFeed(JsJoin* join, const char* bytes, size_t length, JsPos at);
void JsJoinLineEnd(JsJoin* join, JsPos at);
void JsJoinEnd(JsJoin* join);

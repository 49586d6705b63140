// What the units of the join's judge share: the written page with its cuts
// (the runs of bytes the join takes away) and its lines, and the findings
// gathered so far. Internal to JoinJudge and the units it drives; JoinParts.cpp
// also holds JoinPage.h's cut operations.
//   JoinTell        keeps a finding; at most one per cut, the weightiest kind
//   JoinTellCut     a finding of `kind` at cut `cut`
//   JoinRemoved     whether the join takes byte `at` away
//   JoinCutsIn      the cuts that lie wholly or partly in [start, end): first, count
//   JoinPosOf       a byte's line and column (1-based) in the written page
//   JoinOffsetOf    the byte at a line and column
//   JoinIsSpace     the white space of HTML and CSS (space, tab, LF, CR, FF)
#pragma once
#include "authoring/scan/JoinPage.h"
#include "authoring/scan/ScanText.h"

struct JoinSink {
    const JoinPage* page;
    const unsigned char* states; // the tokenizer state that reads each written byte
    JoinCuts cuts;
    size_t* lines; // where each line of the written page starts
    size_t lineCount;
    JoinFinding* found;
    size_t foundCount, foundRoom;
    size_t* byCut; // for each cut, its finding's place in `found`, or (size_t)-1
    bool ansi;     // the page is not UTF-8
    bool failed;   // memory ran out
};

void JoinTell(JoinSink* sink, const JoinFinding& finding);
void JoinTellCut(JoinSink* sink, int kind, size_t cut);
bool JoinRemoved(const JoinSink* sink, size_t at);
size_t JoinCutsIn(const JoinSink* sink, size_t start, size_t end, size_t* count);
ScanPos JoinPosOf(const JoinSink* sink, size_t at);
size_t JoinOffsetOf(const JoinSink* sink, ScanPos pos);

inline bool JoinIsSpace(unsigned char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

// Runs the script reading over a batch of scripts, for tests/native/ScriptProof.js
// to hold against acorn. The batch: records "MODE LENGTH\n" then the bytes
// then "\n"; MODE is s (a script) or h (an event handler's body). Each script
// is fed a line at a time, as the presenter's line reader splits it. Per record
// it prints, with byte offsets into the script:
//   T KIND START END     each token and comment
//   J LINE EFFECT REASON what joining the end of line LINE does (1 may, 2 changes)
//   N FEATURE OFFSET     the first newer syntax, if any
//   E                    the end of the record
#include "authoring/scan/JsJoin.h"
#include "authoring/scan/JsNewer.h"
#include "files/LineSplit.h"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <vector>

static const char* const kKinds[] = {"word", "private", "num", "string", "template",
                                     "regex", "punct", "comment", "invalid"};

struct Record {
    std::vector<size_t> lineStarts; // the offset of each line's first byte
    JsPos last = {1, 1};
    bool ordered = true;
};

static size_t Offset(const Record* r, JsPos at) {
    if (at.line == 0 || at.line > r->lineStarts.size()) return (size_t)-1;
    return r->lineStarts[at.line - 1] + at.column - 1;
}

static bool Before(JsPos a, JsPos b) {
    return a.line < b.line || (a.line == b.line && a.column < b.column);
}

static void TakeToken(void* context, const JsToken* t) {
    Record* r = (Record*)context;
    if (Before(t->start, r->last) || Before(t->end, t->start)) r->ordered = false;
    r->last = t->end;
    printf("T %s %zu %zu\n", kKinds[t->kind], Offset(r, t->start), Offset(r, t->end));
}

static void TakeFinding(void* context, const JsFinding* f) {
    (void)context;
    printf("J %u %d %d\n", f->at.line, f->effect, f->reason);
}

static void Run(const std::string& script, bool handler) {
    Record record;
    JsJoin join;
    JsJoinStart(&join, handler, false, TakeFinding, &record);
    join.tokens = TakeToken;
    join.tokensContext = &record;
    size_t at = 0;
    for (uint32_t line = 1;; line++) {
        LineEnd end = LineSplit(script.data() + at, script.size() - at, true);
        record.lineStarts.push_back(at);
        JsJoinFeed(&join, script.data() + at, end.length, JsPos{line, 1});
        at += end.consumed;
        if (end.consumed == end.length) break;
        JsJoinLineEnd(&join, JsPos{line, (uint32_t)end.length + 1});
    }
    JsJoinEnd(&join);
    if (!record.ordered) printf("X tokens out of order\n");
    if (join.main.newer)
        printf("N %d %zu\n", join.main.newer, Offset(&record, join.main.newerAt));
    printf("E\n");
}

int main(int argc, char** argv) {
    FILE* in = argc > 1 ? fopen(argv[1], "rb") : stdin;
    if (!in) {
        fprintf(stderr, "can't open %s\n", argv[1]);
        return 2;
    }
    char mode = 0;
    size_t length = 0;
    while (fscanf(in, " %c %zu", &mode, &length) == 2) {
        fgetc(in);
        std::string script(length, '\0');
        if (length && fread(&script[0], 1, length, in) != length) return 2;
        Run(script, mode == 'h');
    }
    return 0;
}

// The written page's cuts and lines, and the findings the judge's units tell.
#include "authoring/scan/JoinParts.h"
#include "authoring/scan/JsJoin.h"
#include <stdlib.h>
#include <string.h>

int JoinCutsMake(const JoinPage* page, JoinCuts* cuts) {
    memset(cuts, 0, sizeof *cuts);
    size_t count = 0;
    for (size_t i = 0; i < page->length; i++)
        if (page->removed[i] && (i == 0 || !page->removed[i - 1])) count++;
    cuts->start = (size_t*)malloc((count ? count : 1) * sizeof(size_t));
    cuts->end = (size_t*)malloc((count ? count : 1) * sizeof(size_t));
    if (!cuts->start || !cuts->end) {
        JoinCutsFree(cuts);
        return 0;
    }
    for (size_t i = 0; i < page->length; i++) {
        if (!page->removed[i]) continue;
        if (i == 0 || !page->removed[i - 1]) cuts->start[cuts->count++] = i;
        cuts->end[cuts->count - 1] = i + 1;
    }
    return 1;
}

size_t JoinCutFind(const JoinCuts* cuts, size_t at) {
    size_t low = 0, high = cuts->count;
    while (low < high) {
        size_t middle = low + (high - low) / 2;
        if (cuts->end[middle] <= at) low = middle + 1;
        else high = middle;
    }
    return low;
}

void JoinCutsFree(JoinCuts* cuts) {
    free(cuts->start);
    free(cuts->end);
    memset(cuts, 0, sizeof *cuts);
}

bool JoinRemoved(const JoinSink* sink, size_t at) {
    return at < sink->page->length && sink->page->removed[at];
}

size_t JoinCutsIn(const JoinSink* sink, size_t start, size_t end, size_t* count) {
    size_t first = JoinCutFind(&sink->cuts, start), k = first;
    while (k < sink->cuts.count && sink->cuts.start[k] < end) k++;
    *count = k - first;
    return first;
}

ScanPos JoinPosOf(const JoinSink* sink, size_t at) {
    size_t low = 0, high = sink->lineCount; // the last line starting at or before `at`
    while (high - low > 1) {
        size_t middle = low + (high - low) / 2;
        if (sink->lines[middle] <= at) low = middle;
        else high = middle;
    }
    return ScanPos{(uint32_t)(low + 1), (uint32_t)(at - sink->lines[low] + 1)};
}

size_t JoinOffsetOf(const JoinSink* sink, ScanPos pos) {
    if (pos.line == 0 || pos.line > sink->lineCount) return sink->page->length;
    size_t at = sink->lines[pos.line - 1] + (pos.column ? pos.column - 1 : 0);
    return at < sink->page->length ? at : sink->page->length;
}

// Which finding a cut keeps when several judges tell of it: the one that says most.
static int Rank(const JoinFinding& f) {
    static const unsigned char kRanks[] = {
        4 /* GlueText */, 3 /* KeepLost */, 1 /* TagGlue */, 0 /* Markup */, 5 /* Value */,
        6 /* ClassGlue */, 2 /* ScriptLine */, 10 /* ScriptSpaces */, 7, 7, 7, 8, 9};
    if (f.kind == JoinScriptLine && f.effect != JsChanges) return 11;
    return f.kind < sizeof kRanks ? kRanks[f.kind] : 12;
}

void JoinTell(JoinSink* sink, const JoinFinding& finding) {
    if (finding.cut < sink->cuts.count) {
        size_t& told = sink->byCut[finding.cut];
        if (told != (size_t)-1) {
            if (Rank(finding) < Rank(sink->found[told])) sink->found[told] = finding;
            return;
        }
        told = sink->foundCount;
    }
    if (sink->foundCount == sink->foundRoom) {
        size_t room = sink->foundRoom ? sink->foundRoom * 2 : 32;
        void* grown = room <= (size_t)-1 / sizeof(JoinFinding)
                          ? realloc(sink->found, room * sizeof(JoinFinding)) : nullptr;
        if (!grown) {
            if (finding.cut < sink->cuts.count) sink->byCut[finding.cut] = (size_t)-1;
            sink->failed = true;
            return;
        }
        sink->found = (JoinFinding*)grown;
        sink->foundRoom = room;
    }
    sink->found[sink->foundCount++] = finding;
}

void JoinTellCut(JoinSink* sink, int kind, size_t cut) {
    JoinFinding f = {(unsigned char)kind, 0, 0, sink->cuts.start[cut], cut, 0, 0};
    JoinTell(sink, f);
}

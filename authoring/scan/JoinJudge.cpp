// The judge of the join: the written page and the joined page read side by
// side, and the other languages in the page judged as it is read.
#include "authoring/scan/JoinCompare.h"
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

static bool IsUtf8(const char* bytes, size_t length) {
    for (size_t i = 0; i < length;) {
        unsigned char c = (unsigned char)bytes[i];
        size_t n = c < 0x80 ? 0 : c >= 0xC2 && c < 0xE0 ? 1 : c >= 0xE0 && c < 0xF0 ? 2
                 : c >= 0xF0 && c < 0xF5 ? 3 : 9;
        if (n == 9 || n >= length - i) return n == 0;
        for (size_t k = 1; k <= n; k++)
            if (((unsigned char)bytes[i + k] & 0xC0) != 0x80) return false;
        i += n + 1;
    }
    return true;
}

// What the judge holds while it reads: the joined page and the maps between
// the two pages, the states, the readings.
struct Judging {
    JoinSink sink;
    char* joined;
    size_t joinedLength;
    size_t *toWritten, *toJoined;
    unsigned char *writtenStates, *joinedStates;
    CssSheet sheet;
    JoinContent* content;
    JoinReading written, joined2; // the written page's reading and the joined page's
};

static bool Prepare(Judging* j, const JoinPage* page) {
    JoinSink& s = j->sink;
    size_t n = page->length, lines = 1;
    for (size_t i = 0; i < n; i++)
        if (page->bytes[i] == '\n' || (page->bytes[i] == '\r' && (i + 1 == n || page->bytes[i + 1] != '\n')))
            lines++;
    if (!JoinCutsMake(page, &s.cuts)) return false;
    size_t room = n ? n : 1;
    s.lines = (size_t*)malloc(lines * sizeof(size_t));
    s.byCut = (size_t*)malloc((s.cuts.count ? s.cuts.count : 1) * sizeof(size_t));
    j->joined = (char*)malloc(room);
    j->toWritten = (size_t*)malloc(room * sizeof(size_t));
    j->toJoined = (size_t*)malloc(room * sizeof(size_t));
    j->writtenStates = (unsigned char*)malloc(room);
    j->joinedStates = (unsigned char*)malloc(room);
    j->content = (JoinContent*)malloc(sizeof(JoinContent));
    if (!s.lines || !s.byCut || !j->joined || !j->toWritten || !j->toJoined || !j->writtenStates ||
        !j->joinedStates || !j->content)
        return false;
    s.lines[0] = 0;
    s.lineCount = 1;
    for (size_t i = 0; i < n; i++) {
        bool end = page->bytes[i] == '\n' || (page->bytes[i] == '\r' && (i + 1 == n || page->bytes[i + 1] != '\n'));
        if (end) s.lines[s.lineCount++] = i + 1;
    }
    for (size_t k = 0; k < s.cuts.count; k++) s.byCut[k] = (size_t)-1;
    for (size_t i = 0; i < n; i++) {
        j->toJoined[i] = j->joinedLength;
        if (page->removed[i]) continue;
        j->toWritten[j->joinedLength] = i;
        j->joined[j->joinedLength++] = page->bytes[i];
    }
    return true;
}

static void Release(Judging* j) {
    JoinCutsFree(&j->sink.cuts);
    free(j->sink.lines);
    free(j->sink.byCut);
    free(j->sink.found);
    free(j->joined);
    free(j->toWritten);
    free(j->toJoined);
    free(j->writtenStates);
    free(j->joinedStates);
    free(j->content);
    JoinReadFree(&j->written);
    JoinReadFree(&j->joined2);
    CssSheetFree(&j->sheet);
}

static void Reader(JoinReading* r, const char* bytes, size_t length, const size_t* toWritten,
                   unsigned char* states, const CssSheet* sheet, JoinContent* content) {
    r->bytes = bytes;
    r->length = length;
    r->toWritten = toWritten;
    r->states = states;
    r->sheet = sheet;
    r->content = content;
}

int JoinJudge(const JoinPage* page, JoinTake take, void* context) {
    Judging j;
    memset(&j, 0, sizeof j);
    j.sink.page = page;
    j.sink.ansi = !IsUtf8(page->bytes, page->length);
    CssSheetStart(&j.sheet, j.sink.ansi);
    bool whole = Prepare(&j, page);
    if (whole) {
        j.sink.states = j.writtenStates;
        JoinReadSheet(page->bytes, page->length, &j.sheet);
        JoinContentStart(j.content, &j.sink);
        Reader(&j.written, page->bytes, page->length, nullptr, j.writtenStates, &j.sheet, j.content);
        whole = JoinReadPage(&j.written);
        JoinContentFinish(j.content);
        Reader(&j.joined2, j.joined, j.joinedLength, j.toWritten, j.joinedStates, &j.sheet, nullptr);
        whole = whole && JoinReadPage(&j.joined2);
        if (whole)
            JoinCompare(&j.sink, j.written.items, j.written.count, j.joined2.items, j.joined2.count,
                        j.joinedStates, j.toJoined);
    }
    for (size_t i = 0; i < j.sink.foundCount; i++) take(context, &j.sink.found[i]);
    whole = whole && !j.sink.failed;
    Release(&j);
    return whole;
}

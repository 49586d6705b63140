// The judge of the join: the written page and the joined page read side by
// side, and the other languages in the page judged as it is read.
#include "authoring/scan/JoinCompare.h"
#include <stdlib.h>
#include <string.h>

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

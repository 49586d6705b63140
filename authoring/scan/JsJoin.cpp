#include "authoring/scan/JsJoin.h"
#include "authoring/scan/JsLexInternal.h"
#include "authoring/scan/JsLexModes.h"
#include <string.h>

static bool Before(JsPos a, JsPos b) {
    return a.line < b.line || (a.line == b.line && a.column < b.column);
}

static bool Same(JsPos a, JsPos b) { return a.line == b.line && a.column == b.column; }

static JsPos Earliest(JsPos a, JsPos b) { return Before(a, b) ? a : b; }

static void Tell(JsJoin* j, JsPos at, int effect, int reason) {
    unsigned kept = j->toldCount < JsJoinTold ? j->toldCount : JsJoinTold;
    for (unsigned i = 0; i < kept; i++)
        if (Same(j->told[i], at)) return;
    j->told[j->toldCount++ % JsJoinTold] = at;
    JsFinding finding = {at, (unsigned char)effect, (unsigned char)reason};
    if (j->take) j->take(j->context, &finding);
}

// Comments are no tokens of the script: only where one reading is in a
// comment while the other reads a token do they count.
static void Queue(JsToken* queue, unsigned* count, const JsToken* t) {
    if (t->kind == JsComment) return;
    if (*count < JsJoinQueue) queue[*count] = *t;
    if (*count <= JsJoinQueue) (*count)++;
}

static void TakeMain(void* context, const JsToken* t) {
    JsJoin* j = (JsJoin*)context;
    if (j->tokens) j->tokens(j->tokensContext, t);
    for (JsRun& run : j->runs)
        if (run.active) Queue(run.mainQueue, &run.mainCount, t);
}

static void TakeJoined(void* context, const JsToken* t) {
    JsRun* run = (JsRun*)context;
    Queue(run->joinedQueue, &run->joinedCount, t);
}

static void Pop(JsToken* queue, unsigned* count) {
    memmove(queue, queue + 1, (*count - 1) * sizeof *queue);
    (*count)--;
}

// Whether the lexer is inside a token, not a comment, that starts where `t`
// starts and may still end where it ends. A punctuator may yet give back
// what it took on trial (<! before --).
static bool InTokenAt(const JsLex* x, const JsToken* t) {
    if (x->mode == ModeCode) return x->utf.need && Same(x->utf.start, t->start);
    if (x->mode == ModeLineComment || x->mode == ModeBlockComment) return false;
    if (!Same(x->start, t->start)) return false;
    return x->mode == ModePunct || x->mode == ModeSlash || !Before(t->end, x->last);
}

// The line end that the readings parted at, from `from` on: the run's first
// one up to `to` (where one reading's token ended and the other's went on),
// else the last one before `from`. Lines with nothing but spaces don't count.
static const JsRunEnd* Culprit(const JsRun* run, JsPos from, JsPos to) {
    const JsRunEnd* end = &run->first;
    unsigned kept = run->endCount < JsJoinEnds ? run->endCount : JsJoinEnds;
    for (unsigned i = 0; i < kept; i++) {
        const JsRunEnd* e = &run->ends[(run->endCount - kept + i) % JsJoinEnds];
        if (e->blank) continue;
        if (!Before(e->content, from) && !Before(to, e->content)) return e;
        if (!Before(from, e->content)) end = e;
    }
    return end;
}

// The readings differ: the script changes for certain.
static void Differ(JsJoin* j, JsRun* run, JsPos from, JsPos to) {
    const JsRunEnd* end = Culprit(run, from, to);
    int reason = JsReasonGlued;
    if (end->place == JsPlaceLineComment) reason = JsReasonCommentTakes;
    else if (end->place == JsPlaceBlockComment) reason = JsReasonCommentEnds;
    else if (j->main.mode == ModeLineComment && j->main.quote == JsCommentHtmlClose) reason = JsReasonCloseComment;
    Tell(j, end->at, JsChanges, reason);
    run->active = false;
}

// One reading has handed over `t` and the other has not: they part within it
// where the other reads on from the same start (a longer token, or a comment:
// / then /), else where it starts.
static void DifferAt(JsJoin* j, JsRun* run, const JsLex* other, const JsToken* t) {
    bool within = other->mode != ModeCode && Same(other->start, t->start);
    Differ(j, run, t->start, within ? t->end : t->start);
}

static JsPos LastEnd(const JsRun* run) {
    return run->ends[(run->endCount - 1) % JsJoinEnds].at;
}

static void Compare(JsJoin* j, JsRun* run) {
    while (run->active) {
        if (run->mainCount > JsJoinQueue || run->joinedCount > JsJoinQueue) {
            Tell(j, run->first.at, JsMayChange, JsReasonUnsure);
            run->active = false;
            return;
        }
        if (run->mainCount && run->joinedCount) {
            const JsToken* h = &run->mainQueue[0];
            const JsToken* s = &run->joinedQueue[0];
            if (!Same(h->start, s->start)) {
                JsPos first = Earliest(h->start, s->start);
                return Differ(j, run, first, first);
            }
            // what the line end before the token does holds even where a later one glues it
            if (h->newline && !s->newline && h->effect != JsHarmless) {
                Tell(j, Culprit(run, h->start, h->start)->at, h->effect, h->reason);
                run->active = false;
                return;
            }
            if (h->kind != s->kind || h->id != s->id || !Same(h->end, s->end))
                return Differ(j, run, h->start, Earliest(h->end, s->end));
            if (Before(LastEnd(run), h->start)) run->seenAfter = true;
            Pop(run->mainQueue, &run->mainCount);
            Pop(run->joinedQueue, &run->joinedCount);
            continue;
        }
        if (run->mainCount && !InTokenAt(&run->joined, &run->mainQueue[0])) {
            const JsToken* h = &run->mainQueue[0];
            bool sameStart = run->joined.mode != ModeCode && Same(run->joined.start, h->start);
            if (sameStart && h->newline && !run->joined.newline && h->effect != JsHarmless) {
                Tell(j, Culprit(run, h->start, h->start)->at, h->effect, h->reason);
                run->active = false;
                return;
            }
            return DifferAt(j, run, &run->joined, h);
        }
        if (run->joinedCount && !InTokenAt(&j->main, &run->joinedQueue[0]))
            return DifferAt(j, run, &j->main, &run->joinedQueue[0]);
        if (!run->mainCount && !run->joinedCount && run->seenAfter && JsSameState(&j->main, &run->joined))
            run->active = false;
        return;
    }
}

static void CompareAll(JsJoin* j) {
    for (JsRun& run : j->runs)
        if (run.active) Compare(j, &run);
}

// A string's line continuation joined with the next line's first byte: a
// character that escapes to itself reads as it did; anything else does not.
static void Continuation(JsJoin* j, int first) {
    if (!j->continuation) return;
    j->continuation = false;
    // ' ' is a space the trim takes; '\n' stands for a line with nothing on it
    bool same = first != ' ' && first != '\n' && first != 0 &&
                (first >= 0x80 || !strchr("'\"\\bfnrtvux0123456789", first));
    if (!same) Tell(j, j->continuationAt, JsChanges, JsReasonContinuation);
}

static void FeedRuns(JsJoin* j, unsigned char b, JsPos at) {
    for (JsRun& run : j->runs)
        if (run.active) JsFeed(&run.joined, (const char*)&b, 1, at);
}

static void Spaces(JsJoin* j, bool runsToo) {
    for (uint32_t i = 0; i < j->spaces; i++) {
        JsPos at = {j->spaceAt.line, j->spaceAt.column + i};
        JsFeed(&j->main, " ", 1, at);
        if (runsToo) FeedRuns(j, ' ', at);
    }
    j->spaces = 0;
}

void JsJoinStart(JsJoin* join, bool handler, bool ansi, JsFindingTake take, void* context) {
    memset(join, 0, sizeof *join);
    JsStart(&join->main, handler, ansi, TakeMain, join);
    join->take = take;
    join->context = context;
}

void JsJoinFeed(JsJoin* j, const char* bytes, size_t length, JsPos at) {
    for (size_t i = 0; i < length; i++) {
        unsigned char b = (unsigned char)bytes[i];
        JsPos here = {at.line, at.column + (uint32_t)i};
        if (b == ' ' && !j->lineBegun) {
            // the trim takes the spaces that start a line: only the script as written has them
            Continuation(j, ' ');
            JsFeed(&j->main, " ", 1, here);
            continue;
        }
        if (b == ' ') {
            if (!j->spaces) j->spaceAt = here;
            j->spaces++;
            continue;
        }
        Continuation(j, b);
        j->lineBegun = true;
        Spaces(j, true);
        JsFeed(&j->main, (const char*)&b, 1, here);
        FeedRuns(j, b, here);
        CompareAll(j);
    }
}

static void StartRun(JsJoin* j, const JsRunEnd* end) {
    JsRun* run = nullptr;
    for (JsRun& r : j->runs)
        if (!r.active) run = &r;
    if (!run) return Tell(j, end->at, JsMayChange, JsReasonUnsure);
    run->active = true;
    run->seenAfter = false;
    run->joined = j->main;
    run->joined.take = TakeJoined;
    run->joined.context = run;
    run->mainCount = run->joinedCount = 0;
    run->first = *end;
    run->endCount = 0;
}

void JsJoinLineEnd(JsJoin* j, JsPos at) {
    Continuation(j, '\n');
    JsPlace place = JsPlaceNow(&j->main);
    JsRunEnd end = {at, j->spaces ? j->spaceAt : at, (unsigned char)place, !j->lineBegun};
    if (place == JsPlaceString && j->main.escape && !j->spaces) {
        j->continuation = true;
        j->continuationAt = at;
    } else if (place == JsPlaceString || place == JsPlaceTemplate || place == JsPlaceRegex) {
        Tell(j, at, JsChanges, place == JsPlaceString ? JsReasonString
                               : place == JsPlaceTemplate ? JsReasonTemplate : JsReasonRegex);
    } else {
        StartRun(j, &end);
    }
    for (JsRun& run : j->runs) {
        if (!run.active) continue;
        run.ends[run.endCount % JsJoinEnds] = end;
        if (run.endCount < UINT32_MAX) run.endCount++;
    }
    Spaces(j, false);
    JsLineEnd(&j->main, at);
    j->lineBegun = false;
    CompareAll(j);
}

void JsJoinEnd(JsJoin* j) {
    j->continuation = false;
    Spaces(j, false);
    JsEnd(&j->main);
    for (JsRun& run : j->runs) {
        if (!run.active) continue;
        JsEnd(&run.joined);
        Compare(j, &run);
        if (run.active && (run.mainCount || run.joinedCount)) Differ(j, &run, LastEnd(&run), LastEnd(&run));
        run.active = false;
    }
}

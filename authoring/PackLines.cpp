#include "authoring/PackLines.h"
#include "authoring/PageScan.h"
#include "files/LineSplit.h"
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static const char* const kHolderTexts[] = {"{{width}}", "{{height}}", "{{insert}}"};
static const int kOrder[6] = {HolderWidth, HolderHeight, HolderInsert,
                              HolderInsert, HolderWidth, HolderHeight};
static const char kOrderText[] = "{{width}}, {{height}}, {{insert}}, {{insert}}, {{width}}, "
                                 "{{height}}";

const char* PackHolderText(int kind) {
    return kHolderTexts[kind];
}

static int Refuse(PackResult* result, size_t line, size_t column, const char* format, ...)
    __attribute__((format(printf, 4, 5)));

static int Refuse(PackResult* result, size_t line, size_t column, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    vsnprintf(result->message, sizeof result->message, format, arguments);
    va_end(arguments);
    result->line = line;
    result->column = column;
    return 0;
}

void PackPlanFree(PackPlan* plan) {
    free(plan->lines);
    free(plan->scripts);
    memset(plan, 0, sizeof *plan);
}

// The lines and the placeholders, which must come in the presenter's order.
static int PlanLines(const char* page, size_t length, PackPlan* plan, PackResult* result) {
    if (length == 0) return Refuse(result, 1, 1, "the page is empty");
    size_t count = 0;
    for (size_t at = 0; at < length; count++) {
        LineEnd end = LineSplit(page + at, length - at, true);
        if (end.consumed > end.length && page[at + end.length] == 0)
            return Refuse(result, count + 1, end.length + 1,
                          "a zero byte: the presenter would end the line there");
        at += end.consumed;
    }
    plan->lines = (PackLine*)calloc(count, sizeof(PackLine));
    if (!plan->lines) return Refuse(result, 1, 1, "out of memory");
    for (size_t at = 0; at < length; plan->lineCount++) {
        LineEnd end = LineSplit(page + at, length - at, true);
        PackLine* line = &plan->lines[plan->lineCount];
        line->start = at;
        line->length = end.length;
        for (size_t i = 0; i + 1 < end.length; i++) {
            if (page[at + i] != '{' || page[at + i + 1] != '{') continue;
            for (int kind = 0; kind < 3; kind++) {
                size_t n = strlen(kHolderTexts[kind]);
                if (end.length - i < n || memcmp(page + at + i, kHolderTexts[kind], n) != 0)
                    continue;
                if (plan->holderCount == 6)
                    return Refuse(result, plan->lineCount + 1, i + 1,
                                  "a seventh placeholder %s: the page takes six, in the "
                                  "order %s",
                                  kHolderTexts[kind], kOrderText);
                int expected = kOrder[plan->holderCount];
                if (kind != expected)
                    return Refuse(result, plan->lineCount + 1, i + 1,
                                  "%s where %s was expected: the values come in the order %s",
                                  kHolderTexts[kind], kHolderTexts[expected], kOrderText);
                plan->holders[plan->holderCount++] = {plan->lineCount, i, kind, 0, 0, 0};
                i += n - 1;
                break;
            }
        }
        at += end.consumed;
    }
    if (plan->holderCount < 6) {
        const PackLine& last = plan->lines[plan->lineCount - 1];
        return Refuse(result, plan->lineCount, last.length + 1,
                      "the page ends where %s was expected: the values come in the order %s",
                      kHolderTexts[kOrder[plan->holderCount]], kOrderText);
    }
    return 1;
}

struct PlanScan {
    PackPlan* plan;
    size_t line;
    size_t room;
    bool inScript;
    bool failed;
};

static void PlanMark(void* context, ScanMarkKind kind, size_t column) {
    PlanScan* scan = (PlanScan*)context;
    PackPlan* plan = scan->plan;
    if (kind == ScanScriptClosed) {
        if (!scan->inScript || !plan->scriptCount) return;
        plan->scripts[plan->scriptCount - 1].closeLine = scan->line;
        plan->scripts[plan->scriptCount - 1].closeColumn = column - 1;
        scan->inScript = false;
        return;
    }
    if (plan->scriptCount == scan->room) {
        size_t room = scan->room ? scan->room * 2 : 8;
        PackScript* grown = (PackScript*)realloc(plan->scripts, room * sizeof(PackScript));
        if (!grown) {
            scan->failed = true;
            return;
        }
        plan->scripts = grown;
        scan->room = room;
    }
    // Until its end tag is seen, a script runs to the end of the page.
    plan->scripts[plan->scriptCount++] = {scan->line, column - 1, (size_t)-1, 0, false};
    scan->inScript = true;
}

static size_t TrimmedEnd(const char* text, size_t from, size_t to) {
    while (to > from && text[to - 1] == ' ') to--;
    return to;
}

int PackPlanMake(const char* page, size_t length, const char* insert, PackPlan* plan,
                 PackResult* result) {
    memset(plan, 0, sizeof *plan);
    if (!PlanLines(page, length, plan, result)) {
        PackPlanFree(plan);
        return 0;
    }
    // Any width and height read alike: digits.
    const char* values[3] = {"1024", "768", insert};
    PlanScan marks = {plan, 0, 0, false, false};
    PageScan scan;
    ScanStart(&scan, PlanMark, &marks);
    size_t holder = 0, nextAt = 0, nextLength = 0;
    const char* next = nullptr;
    for (size_t i = 0; i < plan->lineCount; i++) {
        marks.line = i;
        PackLine& line = plan->lines[i];
        const char* text = page + line.start;
        line.placeStart = (unsigned char)ScanPlaceNow(&scan);
        size_t pos = 0;
        for (; holder < plan->holderCount && plan->holders[holder].line == i; holder++) {
            PackHolder& h = plan->holders[holder];
            size_t b = TrimmedEnd(text, pos, h.column);
            ScanFeed(&scan, text + pos, b - pos);
            h.before = (unsigned char)ScanPlaceNow(&scan);
            ScanFeed(&scan, text + b, h.column - b);
            h.script = marks.inScript ? plan->scriptCount : 0;
            const char* value = values[h.kind];
            ScanFeedValue(&scan, value, strlen(value), strlen(kHolderTexts[h.kind]));
            h.after = (unsigned char)ScanPlaceNow(&scan);
            pos = h.column + strlen(kHolderTexts[h.kind]);
        }
        size_t b = TrimmedEnd(text, pos, line.length);
        ScanFeed(&scan, text + pos, b - pos);
        line.placeEnd = (unsigned char)ScanPlaceNow(&scan);
        ScanFeed(&scan, text + b, line.length - b);
        if (i + 1 == plan->lineCount) break;
        if (nextAt <= i) { // the next line that holds more than spaces
            for (nextAt = i + 1; nextAt < plan->lineCount; nextAt++) {
                const PackLine& candidate = plan->lines[nextAt];
                const char* bytes = page + candidate.start;
                size_t a = 0;
                while (a < candidate.length && bytes[a] == ' ') a++;
                if (a == candidate.length) continue;
                next = bytes + a;
                nextLength = TrimmedEnd(bytes, a, candidate.length) - a;
                break;
            }
            if (nextAt == plan->lineCount) next = nullptr, nextLength = 0;
        }
        ScanJoin join = ScanLineEnd(&scan, next, nextLength);
        line.join = (unsigned char)join.kind;
        if (join.kind == JoinLineEnd && marks.inScript) plan->scripts[plan->scriptCount - 1].out = true;
    }
    if (marks.failed) {
        PackPlanFree(plan);
        return Refuse(result, 1, 1, "out of memory");
    }
    for (size_t s = 0; s < plan->scriptCount; s++) {
        const PackScript& script = plan->scripts[s];
        if (script.closeLine != (size_t)-1 || !script.out) continue;
        Refuse(result, script.openLine + 1, script.openColumn + 1,
               "a script that is never closed and needs its line ends: it can't go to a file "
               "of its own; end it with </script>");
        PackPlanFree(plan);
        return 0;
    }
    for (size_t k = 0; k < plan->holderCount; k++) {
        const PackHolder& h = plan->holders[k];
        if (!h.script || !plan->scripts[h.script - 1].out) continue;
        Refuse(result, h.line + 1, h.column + 1,
               "%s stands in a script that needs its line ends (a // comment, a statement "
               "ended by a line end, or a string across lines): such a script goes to a file "
               "of its own, where no value reaches; end its statements with \";\" and use /* "
               "*/ comments",
               kHolderTexts[h.kind]);
        PackPlanFree(plan);
        return 0;
    }
    return 1;
}

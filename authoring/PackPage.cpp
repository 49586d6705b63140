#include "authoring/PackPage.h"
#include "authoring/MarkerNear.h"
#include "base/TextRules.h"
#include "builder/PageRules.h"
#include "files/LineSplit.h"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

void PackResultFree(PackResult* result) {
    for (PackBuffer& fragment : result->fragments) PackBufferFree(&fragment);
    for (size_t i = 0; i < result->scriptCount; i++) PackBufferFree(&result->scripts[i]);
    free(result->scripts);
    PackBufferFree(&result->notes);
    free(result->message);
    memset(result, 0, sizeof *result);
}

const char* PackResultMessage(const PackResult& result) {
    return result.message ? result.message : "out of memory";
}

// A line the presenter would take for the end marker, or its check for a near one.
static bool MarkerNear(const char* line, size_t length) {
    size_t trimmed = 0;
    const char* bytes = TextTrim(line, length, &trimmed);
    return PageLineIsEndMarker(bytes, trimmed) || CheckNearMarker(bytes, trimmed) != nullptr;
}

// Counts lines with the presenter's line ends, up to places that come in order.
struct LineCount {
    size_t line, start; // the line reached, 1-based, and where it starts
};

// The 1-based line and column of byte `at`, from `count` on (`at` lies ahead).
static void Place(const char* page, size_t length, size_t at, LineCount* count, size_t* line,
                  size_t* column) {
    while (count->start < length) {
        LineEnd end = LineSplit(page + count->start, length - count->start, true);
        if (at < count->start + end.consumed || count->start + end.consumed >= length) break;
        count->start += end.consumed;
        count->line++;
    }
    *line = count->line;
    *column = at - count->start + 1;
}

static bool ScriptsWrite(PackPlan* plan, const PackMoves& moves, PackResult* result) {
    if (!moves.count) return true;
    result->scripts = (PackBuffer*)calloc(moves.count, sizeof(PackBuffer));
    if (!result->scripts) return false;
    result->scriptCount = moves.count;
    for (size_t i = 0; i < moves.count; i++)
        if (!PackScriptText(plan, moves.moves[i], &result->scripts[i])) return false;
    return true;
}

// The notes come in the page's order.
static bool NotesWrite(const PackPlan& plan, PackResult* result) {
    LineCount count = {1, 0};
    for (size_t i = 0; i < plan.noteCount; i++) {
        size_t line = 0, column = 0;
        Place(plan.page, plan.length, plan.notes[i].at, &count, &line, &column);
        char head[48];
        snprintf(head, sizeof head, "%lu:%lu: ", (unsigned long)line, (unsigned long)column);
        if (!PackAppendText(&result->notes, head) ||
            !PackAppendText(&result->notes, plan.notes[i].message) ||
            !PackAppendText(&result->notes, "\n"))
            return false;
    }
    return true;
}

static void Refused(PackPlan* plan, PackResult* result) {
    if (!plan->refusal.reason) PackRefuse(&plan->refusal, 0, PackReasonMemory, "out of memory");
    PackResultFree(result);
    LineCount count = {1, 0};
    Place(plan->page, plan->length, plan->refusal.at, &count, &result->line, &result->column);
    result->reason = plan->refusal.reason;
    result->message = plan->refusal.message;
    plan->refusal.message = nullptr;
}

int PackPage(const char* page, size_t length, const char* insert, PackResult* result) {
    memset(result, 0, sizeof *result);
    PackPlan plan;
    PackMoves moves = {nullptr, 0};
    int ok = PackPlanMake(page, length, insert, &plan) && PackScriptsPlan(&plan, &moves) &&
             PackCutMake(&plan, &moves, MarkerNear, result->fragments) &&
             ScriptsWrite(&plan, moves, result) && NotesWrite(plan, result);
    if (!ok) {
        plan.page = page;
        plan.length = length;
        Refused(&plan, result);
    }
    PackMovesFree(&moves);
    PackPlanFree(&plan);
    return ok;
}

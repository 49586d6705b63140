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

// The 1-based line and column of byte `at`, with the presenter's line ends.
static void Place(const char* page, size_t length, size_t at, size_t* line, size_t* column) {
    size_t start = 0;
    *line = 1;
    while (start < length) {
        LineEnd end = LineSplit(page + start, length - start, true);
        if (at < start + end.consumed || start + end.consumed >= length) break;
        start += end.consumed;
        ++*line;
    }
    *column = at - start + 1;
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

static bool NotesWrite(const PackPlan& plan, PackResult* result) {
    for (size_t i = 0; i < plan.noteCount; i++) {
        size_t line = 0, column = 0;
        Place(plan.page, plan.length, plan.notes[i].at, &line, &column);
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
    Place(plan->page, plan->length, plan->refusal.at, &result->line, &result->column);
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

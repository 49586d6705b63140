#include "authoring/scan/JoinScript.h"
#include <string.h>

static void FindingTake(void* context, const JsFinding* f) {
    JoinScript* script = (JoinScript*)context;
    JoinSink* sink = script->sink;
    size_t at = JoinOffsetOf(sink, f->at);
    size_t cut = JoinCutFind(&sink->cuts, at);
    if (cut >= sink->cuts.count) return;
    JoinFinding finding = {JoinScriptLine, f->effect, f->reason, sink->cuts.start[cut], cut, 0, 0};
    JoinTell(sink, finding);
}

void JoinScriptStart(JoinScript* script, JoinSink* sink, bool handler, bool engine) {
    script->sink = sink;
    script->active = true;
    script->engine = engine;
    script->runLength = 0;
    script->lastSolid = 0;
    JsJoinStart(&script->join, handler, sink->ansi, FindingTake, script);
}

static void Flush(JoinScript* script) {
    if (!script->runLength) return;
    JsJoinFeed(&script->join, script->run, script->runLength, JoinPosOf(script->sink, script->runAt));
    script->runLength = 0;
}

static bool IsWordByte(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '$' || c == '\\' || c >= 0x80;
}

bool JoinCodeGlues(unsigned char before, unsigned char after) {
    if (IsWordByte(before) && IsWordByte(after)) return true;
    if (before == '.' && after >= '0' && after <= '9') return true;
    static const char* const kPairs[] = {"++", "--", "//", "/*", "**", "==", "!=", "<=", ">=",
                                         "&&", "||", "??", "?.", "=>", "<<", ">>", "+=", "-=",
                                         "*=", "/=", "%=", "&=", "|=", "^=", "<!", "..", nullptr};
    for (const char* const* p = kPairs; *p; p++)
        if ((*p)[0] == before && (*p)[1] == after) return true;
    return false;
}

// Spaces beside a value that the trim takes, with no line end among them.
static void ValueSpaces(JoinScript* script, size_t cut) {
    JoinSink* sink = script->sink;
    size_t end = sink->cuts.end[cut];
    JsPlace place = JsPlaceNow(&script->join.main);
    bool lost = place == JsPlaceString || place == JsPlaceTemplate || place == JsPlaceRegex;
    if (!lost && place == JsPlaceCode && script->lastSolid && end < sink->page->length)
        lost = JoinCodeGlues((unsigned char)sink->page->bytes[script->lastSolid - 1],
                             (unsigned char)sink->page->bytes[end]);
    if (lost) JoinTellCut(sink, JoinScriptSpaces, cut);
}

void JoinScriptChar(JoinScript* script, const JoinChar& c) {
    if (!script->active) return;
    JoinSink* sink = script->sink;
    unsigned char first = (unsigned char)sink->page->bytes[c.start];
    if (first == '\n' || first == '\r') {
        Flush(script);
        JsJoinLineEnd(&script->join, JoinPosOf(sink, c.start));
        return;
    }
    if (first == ' ') {
        size_t cut = JoinCutFind(&sink->cuts, c.start);
        if (cut < sink->cuts.count && sink->cuts.start[cut] == c.start) {
            size_t n = sink->cuts.end[cut] - c.start;
            if (!memchr(sink->page->bytes + c.start, '\n', n) &&
                !memchr(sink->page->bytes + c.start, '\r', n)) {
                Flush(script);
                ValueSpaces(script, cut);
            }
        }
    } else {
        script->lastSolid = c.end;
    }
    bool literal = c.end - c.start == 1 && c.length == 1 && c.decoded[0] == (char)first;
    if (!literal || script->runLength == sizeof script->run ||
        (script->runLength && script->runAt + script->runLength != c.start)) {
        Flush(script);
    }
    if (!literal) {
        JsJoinFeed(&script->join, c.decoded, c.length, JoinPosOf(sink, c.start));
        return;
    }
    if (!script->runLength) script->runAt = c.start;
    script->run[script->runLength++] = (char)first;
}

void JoinScriptEnd(JoinScript* script) {
    if (!script->active) return;
    Flush(script);
    JsJoinEnd(&script->join);
    script->active = false;
    const JsLex& main = script->join.main;
    if (!script->engine || !main.newer) return;
    JoinFinding finding = {JoinNewer, 0, main.newer, JoinOffsetOf(script->sink, main.newerAt),
                           (size_t)-1, 0, 0};
    JoinTell(script->sink, finding);
}

#include "authoring/scan/JoinCompare.h"

static bool Alike(const JoinItem& a, const JoinItem& b) {
    return a.at == b.at && a.kind == b.kind && a.key == b.key;
}

// Whether joining at cut `k` runs a tag's name, an attribute's name or an
// unquoted value on into what follows.
static bool TagGlues(const JoinSink* sink, size_t k) {
    size_t before = sink->cuts.start[k], after = sink->cuts.end[k];
    if (!before || after >= sink->page->length) return false;
    unsigned char x = (unsigned char)sink->page->bytes[before - 1];
    unsigned char y = (unsigned char)sink->page->bytes[after];
    if (JoinIsSpace(x) || JoinIsSpace(y) || x == '>' || y == '>') return false;
    switch (sink->states[before - 1]) {
    case HtmlStateTagName: return y != '/';
    case HtmlStateAttributeName: return y != '/' && y != '=';
    case HtmlStateAttributeValueUnquoted: return true;
    }
    return false;
}

// Whether the tokenizer reads the byte after cut `k` in another state once joined.
static bool ReadsOtherwise(const JoinSink* sink, size_t k, const unsigned char* joinedStates,
                           const size_t* toJoined) {
    size_t after = sink->cuts.end[k];
    if (after >= sink->page->length) return false;
    return sink->states[after] != joinedStates[toJoined[after]];
}

// What the tokenizer's state at a byte says the cut made or broke there.
static int MarkupReason(unsigned char state) {
    if ((state >= HtmlStateTagOpen && state <= HtmlStateTagName) ||
        (state >= HtmlStateBeforeAttributeName && state <= HtmlStateSelfClosingStartTag))
        return 1;
    if (state >= HtmlStateBogusComment && state <= HtmlStateCommentEndBang) return 2;
    if (state >= HtmlStateRcdataLessThan && state <= HtmlStateScriptDoubleEscapeEnd) return 3;
    if (state >= HtmlStateCharacterReference) return 4;
    return 0;
}

static void TellMarkup(JoinSink* sink, size_t k, const unsigned char* joinedStates,
                       const size_t* toJoined) {
    size_t after = sink->cuts.end[k];
    int reason = 0;
    if (after < sink->page->length) {
        reason = MarkupReason(joinedStates[toJoined[after]]);
        if (!reason) reason = MarkupReason(sink->states[after]);
    }
    JoinFinding f = {JoinMarkup, 0, (unsigned char)reason, sink->cuts.start[k], k, 0, 0};
    JoinTell(sink, f);
}

// The cause of a stretch [start, end) where the readings part.
static void Blame(JoinSink* sink, size_t start, size_t end, const unsigned char* joinedStates,
                  const size_t* toJoined) {
    size_t count = 0, first = JoinCutsIn(sink, start, end, &count);
    bool told = false, glued = false;
    // every cut that runs a tag on into the next word changes it; the first
    // cut after which the tokenizer reads on another way says the rest
    for (size_t k = first; k < first + count; k++) {
        if (!TagGlues(sink, k)) continue;
        JoinTellCut(sink, JoinTagGlue, k);
        glued = true;
    }
    if (glued) return;
    for (size_t k = first; k < first + count; k++) {
        if (ReadsOtherwise(sink, k, joinedStates, toJoined)) return TellMarkup(sink, k, joinedStates, toJoined);
        told = told || sink->byCut[k] != (size_t)-1;
    }
    if (told) return; // what changed there was told already
    if (count) return TellMarkup(sink, first, joinedStates, toJoined);
    size_t k = JoinCutFind(&sink->cuts, start);
    if (k > 0) TellMarkup(sink, k - 1, joinedStates, toJoined);
    else if (k < sink->cuts.count) TellMarkup(sink, k, joinedStates, toJoined);
}

void JoinCompare(JoinSink* sink, const JoinItem* a, size_t na, const JoinItem* b, size_t nb,
                 const unsigned char* joinedStates, const size_t* toJoined) {
    size_t i = 0, j = 0, matched = 0, keepTold = (size_t)-1;
    while (i < na || j < nb) {
        if (i < na && j < nb && Alike(a[i], b[j])) {
            if (a[i].kind == JoinItemContent && a[i].afterContent && b[j].afterContent &&
                a[i].gapStart == b[j].gapStart && a[i].spaced && !b[j].spaced) {
                size_t count = 0, cut = JoinCutsIn(sink, a[i].gapStart, a[i].at, &count);
                JoinFinding f = {JoinGlueText, 0, 0, 0, cut, a[i].gapStart, a[i].at - a[i].gapStart};
                if (count) f.at = sink->cuts.start[cut], JoinTell(sink, f);
            }
            matched = a[i].end;
            i++, j++;
            continue;
        }
        if (i < na && JoinRemoved(sink, a[i].at)) {
            if (a[i].element != keepTold) {
                keepTold = a[i].element;
                size_t cut = JoinCutFind(&sink->cuts, a[i].at);
                JoinFinding f = {JoinKeepLost, 0, 0, sink->cuts.start[cut], cut, a[i].element, 0};
                JoinTell(sink, f);
            }
            i++;
            continue;
        }
        // the readings part here: on to where they meet again
        size_t start = matched;
        while ((i < na || j < nb) && !(i < na && j < nb && Alike(a[i], b[j]))) {
            if (j >= nb || (i < na && a[i].at < b[j].at)) i++;
            else if (i >= na || b[j].at < a[i].at) j++;
            else i++, j++;
        }
        size_t end = i < na ? a[i].at + 1 : sink->page->length;
        Blame(sink, start, end, joinedStates, toJoined);
    }
}

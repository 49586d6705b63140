#include "authoring/scan/JoinStyle.h"
#include <stdlib.h>
#include <string.h>

static void TokenTake(void* context, const CssToken* token) {
    JoinStyle* css = (JoinStyle*)context;
    if (css->sink->failed) return;
    if (css->count == css->room) {
        size_t room = css->room ? css->room * 2 : 64;
        void* grown = room <= (size_t)-1 / sizeof(JoinStyleToken)
                          ? realloc(css->tokens, room * sizeof(JoinStyleToken)) : nullptr;
        if (!grown) {
            css->sink->failed = true;
            return;
        }
        css->tokens = (JoinStyleToken*)grown;
        css->room = room;
    }
    bool rules = false;
    if (token->kind == CssAtKeyword) {
        static const char* const kDeclarations[] = {"font-face", "page"};
        rules = true;
        for (const char* name : kDeclarations) {
            size_t n = strlen(name);
            if (token->nameLength != n) continue;
            bool same = true;
            for (size_t i = 0; i < n; i++)
                same = same && (token->name[i] | 0x20) == name[i];
            if (same) rules = false;
        }
    }
    css->tokens[css->count++] = {token->kind, token->delim, JoinOffsetOf(css->sink, token->start),
                                 JoinOffsetOf(css->sink, token->end), rules};
}

void JoinStyleStart(JoinStyle* css, JoinSink* sink, bool declarations) {
    css->sink = sink;
    css->active = true;
    css->declarations = declarations;
    css->count = 0;
    CssStart(&css->read, sink->ansi, TokenTake, css);
}

// A line end goes in as the byte it is read as, so that the white space it
// makes covers it.
void JoinStyleChar(JoinStyle* css, const JoinChar& c) {
    if (css->active) CssFeed(&css->read, c.decoded, c.length, JoinPosOf(css->sink, c.start));
}

// Tokens beside which white space means nothing.
static bool Quiet(const JoinStyleToken* t, bool declarations) {
    if (!t) return true;
    switch (t->kind) {
    case CssBraceL: case CssBraceR: case CssSemicolon: case CssComma:
        return true;
    case CssColon:
        return declarations;
    case CssDelim:
        return declarations ? t->delim == '!' : t->delim == '>' || t->delim == '+' || t->delim == '~';
    }
    return false;
}

// The bytes of a word: a name, a number with its unit, a hash after its "#".
static bool WordByte(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-' || c == '.' || c == '%' || c == '\\' || c >= 0x80;
}

// Whether two tokens, side by side with nothing between them, read as others.
static bool Glue(const JoinStyle* css, const JoinStyleToken* before, const JoinStyleToken* after) {
    const char* page = css->sink->page->bytes;
    if (!before || !after || before->end <= before->start || after->start >= css->sink->page->length)
        return false;
    unsigned char x = (unsigned char)page[before->end - 1], y = (unsigned char)page[after->start];
    if (WordByte(x) && WordByte(y)) return true;
    if (after->kind == CssParenL && before->kind == CssIdent) return true;
    return (x == '+' && ((y >= '0' && y <= '9') || y == '.')) || (x == '/' && y == '*');
}

// A run of white space (with comments in it) between tokens `before` and
// `after` (null at the ends) that the join takes away whole.
static void JudgeSpace(JoinStyle* css, size_t from, size_t to, const JoinStyleToken* before,
                       const JoinStyleToken* after, bool declarations) {
    JoinSink* sink = css->sink;
    for (size_t k = from; k < to; k++) {
        const JoinStyleToken& t = css->tokens[k];
        if (t.kind != CssWhitespace) continue;
        for (size_t at = t.start; at < t.end; at++)
            if (!JoinRemoved(sink, at)) return;
    }
    if (Quiet(before, declarations) || Quiet(after, declarations)) return;
    if (declarations && !Glue(css, before, after)) return;
    size_t count = 0, cut = JoinCutsIn(sink, css->tokens[from].start, css->tokens[to - 1].end, &count);
    if (count) JoinTellCut(sink, JoinStyleGlue, cut);
}

static void JudgeInside(JoinStyle* css, const JoinStyleToken& t) {
    JoinSink* sink = css->sink;
    size_t end = t.end;
    // a bad string ends at the line end that the join takes away
    if (t.kind == CssBadString || t.kind == CssBadUrl) end++;
    size_t count = 0, cut = JoinCutsIn(sink, t.start, end, &count);
    if (!count) return;
    if (t.kind != CssComment) {
        // where references decode (a style attribute, SVG), a line end right
        // after a line feed written as one is its break, which the join keeps
        for (size_t k = cut; k < cut + count; k++)
            if (!JoinWrittenBreakAt(sink->page->bytes, sink->states, sink->cuts.start[k]) &&
                !JoinInMarkup(sink->states, sink->cuts.start[k]))
                JoinTellCut(sink, JoinStyleString, k);
        return;
    }
    const char* page = sink->page->bytes;
    for (size_t k = cut; k < cut + count; k++) {
        size_t a = sink->cuts.start[k], b = sink->cuts.end[k];
        if (a > t.start && b < t.end && page[a - 1] == '*' && page[b] == '/')
            return JoinTellCut(sink, JoinStyleComment, k);
    }
}

// A name whose last escape ends at a line end ("\31" and a line end): joined,
// what follows (a tab the trim keeps, or a hex digit) may be read into the
// escape, and the name with it.
static void JudgeEscapeEnd(JoinStyle* css, const JoinStyleToken& t) {
    JoinSink* sink = css->sink;
    if (t.end <= t.start || !JoinIsSpace((unsigned char)sink->page->bytes[t.end - 1])) return;
    size_t count = 0, cut = JoinCutsIn(sink, t.end - 1, t.end, &count);
    if (count) JoinTellCut(sink, JoinStyleGlue, cut);
}

void JoinStyleEnd(JoinStyle* css) {
    if (!css->active) return;
    CssEnd(&css->read);
    css->active = false;
    // what each open block holds: declarations, or rules (deeper ones count as
    // declarations); a block's kind is told by the first token of its prelude
    enum { Most = 64 };
    bool blocks[Most];
    uint32_t depth = 0;
    size_t prelude = 0;
    const JoinStyleToken* before = nullptr;
    for (size_t k = 0; k < css->count;) {
        const JoinStyleToken& t = css->tokens[k];
        bool declarations = depth ? depth > Most || blocks[depth - 1] : css->declarations;
        if (t.kind == CssWhitespace || t.kind == CssComment) {
            size_t to = k;
            while (to < css->count && (css->tokens[to].kind == CssWhitespace ||
                                       css->tokens[to].kind == CssComment)) {
                if (css->tokens[to].kind == CssComment) JudgeInside(css, css->tokens[to]);
                to++;
            }
            bool white = false;
            for (size_t i = k; i < to; i++) white = white || css->tokens[i].kind == CssWhitespace;
            if (white)
                JudgeSpace(css, k, to, before, to < css->count ? &css->tokens[to] : nullptr, declarations);
            k = to;
            continue;
        }
        if (t.kind == CssString || t.kind == CssBadString || t.kind == CssUrl || t.kind == CssBadUrl)
            JudgeInside(css, t);
        else
            JudgeEscapeEnd(css, t);
        if (t.kind == CssBraceL) {
            size_t first = prelude;
            while (first < k && (css->tokens[first].kind == CssWhitespace ||
                                 css->tokens[first].kind == CssComment))
                first++;
            if (depth < Most) blocks[depth] = !(first < k && css->tokens[first].rules);
            depth++;
        }
        if (t.kind == CssBraceR && depth) depth--;
        if (t.kind == CssBraceL || t.kind == CssBraceR || t.kind == CssSemicolon) prelude = k + 1;
        before = &css->tokens[k];
        k++;
    }
    free(css->tokens);
    css->tokens = nullptr;
    css->count = css->room = 0;
}

// The page reader on any bytes: the tokenizer alone from each state a test
// may start it in, or with the tree's rules (HtmlRead). Besides no crash, no
// undefined behaviour and no leak, what it reports must hold together:
// - tokens come in order, within the page, and one end of file comes last;
// - the bytes between tokens are only those that make none ("</>", the
//   brackets of a CDATA section, a tag cut off by the end, a byte order mark);
// - every byte is read in some state, and in a state of its token's kind;
// - a tag starts with "<" and ends with ">", its names and values stand where
//   their spans say, and text without references, CR or zero bytes is its bytes;
// - a failed allocation, or a stop asked for, ends the reading with 0;
// - the encoding the page declares is one the prescan knows, found within the
//   first 1024 bytes.
// Input: byte 0 the reading (0 to 5: the tokenizer from the data, RCDATA,
// RAWTEXT, script data, PLAINTEXT or CDATA section state, after a <title>;
// more: HtmlRead); byte 1 the allocation that fails (0: none); byte 2 the
// token after which the reading is stopped (0: none); then the page.
#include "authoring/scan/HtmlEncoding.h"
#include "authoring/scan/HtmlRead.h"
#include "tests/fuzz/FuzzCheck.h"
#include "tests/fuzz/FuzzFail.h"
#include <stdint.h>
#include <string.h>
#include <vector>

struct Seen {
    unsigned char kind;
    HtmlSpan span;
};

struct Reading {
    const char* page;
    size_t length;
    std::vector<Seen> tokens;
    size_t stopAt;
    bool eof;
};

static bool Plain(const char* page, HtmlSpan span) {
    for (size_t i = span.start; i < span.end; i++)
        if (page[i] == '&' || page[i] == '\r' || page[i] == 0) return false;
    return true;
}

static bool LowerEquals(const char* page, HtmlSpan span, const char* text, size_t length) {
    if (span.end - span.start != length) return false;
    for (size_t i = 0; i < length; i++) {
        char c = page[span.start + i];
        if ((c >= 'A' && c <= 'Z' ? c + 32 : c) != text[i]) return false;
    }
    return true;
}

static bool Within(HtmlSpan inner, HtmlSpan outer) {
    return outer.start <= inner.start && inner.start <= inner.end && inner.end <= outer.end;
}

static void CheckToken(Reading* r, const HtmlToken* t) {
    const char* page = r->page;
    FUZZ_CHECK(!r->eof);
    FUZZ_CHECK(t->span.start <= t->span.end && t->span.end <= r->length);
    FUZZ_CHECK(r->tokens.empty() || r->tokens.back().span.end <= t->span.start);
    if (t->kind == HtmlTokenEndOfFile) {
        FUZZ_CHECK(t->span.start == r->length);
        r->eof = true;
        return;
    }
    FUZZ_CHECK(t->span.start < t->span.end);
    if (t->kind == HtmlTokenCharacters) {
        FUZZ_CHECK(t->textLength > 0);
        if (Plain(page, t->span))
            FUZZ_CHECK(t->textLength == t->span.end - t->span.start &&
                       memcmp(t->text, page + t->span.start, t->textLength) == 0);
        return;
    }
    FUZZ_CHECK(page[t->span.start] == '<');
    FUZZ_CHECK(Within(t->textSpan, t->span));
    if (t->kind == HtmlTokenComment || t->kind == HtmlTokenDoctype) {
        FUZZ_CHECK(page[t->span.end - 1] == '>' || t->span.end == r->length);
        return;
    }
    FUZZ_CHECK(page[t->span.end - 1] == '>');
    if (!memchr(page + t->textSpan.start, 0, t->textSpan.end - t->textSpan.start))
        FUZZ_CHECK(LowerEquals(page, t->textSpan, t->text, t->textLength));
    HtmlSpan last = t->textSpan;
    for (size_t i = 0; i < t->attributeCount; i++) {
        const HtmlAttribute& a = t->attributes[i];
        FUZZ_CHECK(last.end <= a.nameSpan.start && Within(a.nameSpan, t->span));
        FUZZ_CHECK(a.nameSpan.end <= a.valueSpan.start && Within(a.valueSpan, t->span));
        last = a.valueSpan;
        if (!memchr(page + a.nameSpan.start, 0, a.nameSpan.end - a.nameSpan.start))
            FUZZ_CHECK(LowerEquals(page, a.nameSpan, a.name, a.nameLength));
        if (Plain(page, a.valueSpan))
            FUZZ_CHECK(a.valueLength == a.valueSpan.end - a.valueSpan.start &&
                       memcmp(a.value, page + a.valueSpan.start, a.valueLength) == 0);
        if (a.quote == HtmlDoubleQuoted || a.quote == HtmlSingleQuoted) {
            char quote = a.quote == HtmlDoubleQuoted ? '"' : '\'';
            FUZZ_CHECK(page[a.valueSpan.start - 1] == quote && page[a.valueSpan.end] == quote);
        }
    }
}

static int Take(Reading* r, const HtmlToken* t) {
    bool armed = gArmed;
    gArmed = false; // the checks' own allocations never fail
    CheckToken(r, t);
    r->tokens.push_back({t->kind, t->span});
    gArmed = armed;
    return r->tokens.size() != r->stopAt;
}

static int TakeAlone(void* context, HtmlTokenizer*, const HtmlToken* token) {
    return Take((Reading*)context, token);
}

static int TakeRead(void* context, const HtmlTree* tree, const HtmlToken* token) {
    for (size_t i = 0; i < tree->depth; i++) {
        const HtmlElement* e = tree->open[i];
        FUZZ_CHECK(e->refs > 0 && e->nameLength > 0 && e->ns <= HtmlNamespaceMathMl);
    }
    FUZZ_CHECK(!tree->depth || (tree->open[0]->ns == HtmlNamespaceHtml &&
                                strcmp(tree->open[0]->name, "html") == 0));
    return Take((Reading*)context, token);
}

static bool InSet(int state, int first, int last) { return state >= first && state <= last; }

// The states that may read a byte of a token of `kind` past its first.
static bool Reads(int kind, int state) {
    bool reference = state >= HtmlStateCharacterReference;
    bool comment = InSet(state, HtmlStateBogusComment, HtmlStateCommentEndBang);
    bool doctype = InSet(state, HtmlStateDoctype, HtmlStateBogusDoctype);
    bool attribute = InSet(state, HtmlStateBeforeAttributeName, HtmlStateSelfClosingStartTag);
    bool open = state == HtmlStateTagOpen || state == HtmlStateEndTagOpen;
    switch (kind) {
    case HtmlTokenCharacters: return !comment && !doctype && !attribute && state != HtmlStateTagName;
    case HtmlTokenComment: return open || comment;
    case HtmlTokenDoctype:
        return state == HtmlStateTagOpen || state == HtmlStateMarkupDeclarationOpen || doctype;
    default: // tags: their "<" and "/" in raw text too
        return open || state == HtmlStateTagName || attribute || reference ||
               InSet(state, HtmlStateRcdataLessThan, HtmlStateScriptEndTagName) ||
               InSet(state, HtmlStateScriptEscapedLessThan, HtmlStateScriptEscapedEndTagName);
    }
}

// Bytes that make no token: each piece one of those that may.
static void CheckGap(const Reading& r, size_t start, size_t end, bool read) {
    const char* page = r.page;
    size_t i = start;
    if (read && i == 0 && end >= 3 && memcmp(page, "\xEF\xBB\xBF", 3) == 0) i = 3;
    while (i < end) {
        size_t n = end - i;
        if (n >= 3 && (memcmp(page + i, "</>", 3) == 0 || memcmp(page + i, "]]>", 3) == 0)) i += 3;
        else if (n >= 9 && memcmp(page + i, "<![CDATA[", 9) == 0) i += 9;
        else break;
    }
    // A tag cut off by the end of the page.
    FUZZ_CHECK(i == end || (end == r.length && page[i] == '<'));
}

static void CheckStates(const Reading& r, const unsigned char* states, bool read) {
    size_t covered = 0;
    for (const Seen& t : r.tokens) {
        CheckGap(r, covered, t.span.start, read);
        for (size_t i = t.span.start; i < t.span.end; i++) {
            int state = states[i];
            FUZZ_CHECK(state < HtmlStateCount);
            if (i > t.span.start || t.kind == HtmlTokenCharacters) FUZZ_CHECK(Reads(t.kind, state));
            else FUZZ_CHECK(state <= HtmlStateScriptData || InSet(state, HtmlStateScriptEscaped,
                                                               HtmlStateScriptEscapedDashDash));
        }
        covered = t.span.end;
    }
    FUZZ_CHECK(covered == r.length);
    for (size_t i = 0; i < r.length; i++) FUZZ_CHECK(states[i] < HtmlStateCount);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    static const HtmlState kStarts[] = {HtmlStateData,       HtmlStateRcdata,
                                        HtmlStateRawtext,    HtmlStateScriptData,
                                        HtmlStatePlaintext,  HtmlStateCdataSection};
    bool read = data[0] >= 6;
    Reading r{(const char*)data + 3, size - 3, {}, data[2], false};
    HtmlEncodingFound found = HtmlEncodingSniff(r.page, r.length);
    FUZZ_CHECK(found.encoding == HtmlNoEncoding || *HtmlEncodingName(found.encoding));
    FUZZ_CHECK(found.at < 1024 && (found.at == 0 || r.page[found.at] == '<'));
    std::vector<unsigned char> states(r.length + 1, (unsigned char)HtmlStateCount);
    FailArm(data[1]);
    int result;
    if (read) {
        result = HtmlRead(r.page, r.length, states.data(), TakeRead, &r);
    } else {
        HtmlTokenizer tokenizer;
        HtmlTokenizerStart(&tokenizer, r.page, r.length, states.data(), TakeAlone, &r);
        HtmlTokenizerSwitch(&tokenizer, kStarts[data[0]]);
        HtmlTokenizerAssumeStartTag(&tokenizer, "title", 5);
        result = HtmlTokenizerRun(&tokenizer);
        HtmlTokenizerFree(&tokenizer);
    }
    gArmed = false;
    bool stopped = r.stopAt && r.tokens.size() >= r.stopAt;
    FUZZ_CHECK(result == (!gFailed && !stopped));
    if (!result) return 0;
    FUZZ_CHECK(r.eof);
    CheckStates(r, states.data(), read);
    return 0;
}

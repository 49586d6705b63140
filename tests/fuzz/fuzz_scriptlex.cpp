// The script and style-sheet readers on any bytes, split into lines as the
// presenter splits them: no crash, tokens in order, and the same tokens,
// findings and answers whether a line comes whole or in pieces of any size
// (the readers stream).
//
// Input: byte 0 says how (bit 0 an event handler's body, bit 1 an ANSI page,
// bits 2 to 7 the piece sizes); the rest is the script, and the style sheet.
#include "authoring/scan/CssRules.h"
#include "authoring/scan/JsJoin.h"
#include "files/LineSplit.h"
#include "tests/fuzz/FuzzCheck.h"
#include <string>
#include <vector>

struct Seen {
    std::vector<uint32_t> items; // tokens and findings, flattened
    ScanPos last = {0, 0};
};

static bool Before(ScanPos a, ScanPos b) { return a.line < b.line || (a.line == b.line && a.column < b.column); }

static void Place(Seen* s, ScanPos start, ScanPos end) {
    FUZZ_CHECK(!Before(end, start));
    FUZZ_CHECK(!Before(start, s->last));
    s->last = end;
    s->items.insert(s->items.end(), {start.line, start.column, end.line, end.column});
}

static void TakeJs(void* context, const JsToken* t) {
    Seen* s = (Seen*)context;
    Place(s, t->start, t->end);
    s->items.insert(s->items.end(), {t->kind, t->id, t->newline, t->effect, t->reason, t->error});
}

static void TakeFinding(void* context, const JsFinding* f) {
    Seen* s = (Seen*)context;
    s->items.insert(s->items.end(), {0xF1, f->at.line, f->at.column, f->effect, f->reason});
}

static void TakeCss(void* context, const CssToken* t) {
    Seen* s = (Seen*)context;
    Place(s, t->start, t->end);
    s->items.insert(s->items.end(), {t->kind, t->delim, t->nameLength});
}

struct Line {
    size_t at, length;
};

// Feeds each line whole (piece 0) or in pieces of 1 to 8 bytes drawn from `seed`.
template <typename Feed, typename End>
static void Lines(const std::string& text, const std::vector<Line>& lines, unsigned seed, Feed feed, End end) {
    for (size_t n = 0; n < lines.size(); n++) {
        const Line& line = lines[n];
        for (size_t i = 0; i < line.length;) {
            size_t piece = seed ? 1 + (seed >> (i % 5)) % 8 : line.length;
            if (piece > line.length - i) piece = line.length - i;
            feed(text.data() + line.at + i, piece, ScanPos{(uint32_t)n + 1, (uint32_t)i + 1});
            i += piece;
        }
        if (n + 1 < lines.size()) end(ScanPos{(uint32_t)n + 1, (uint32_t)line.length + 1});
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    bool handler = data[0] & 1, ansi = data[0] & 2;
    unsigned seed = data[0] >> 2;
    std::string text((const char*)data + 1, size - 1);
    std::vector<Line> lines;
    for (size_t at = 0;;) {
        LineEnd end = LineSplit(text.data() + at, text.size() - at, true);
        lines.push_back({at, end.length});
        at += end.consumed;
        if (end.consumed == end.length) break;
    }

    Seen js[2];
    unsigned newer[2];
    for (int run = 0; run < 2; run++) {
        JsJoin join;
        JsJoinStart(&join, handler, ansi, TakeFinding, &js[run]);
        join.tokens = TakeJs;
        join.tokensContext = &js[run];
        Lines(text, lines, run ? seed | 1 : 0, [&](const char* b, size_t n, ScanPos at) { JsJoinFeed(&join, b, n, at); },
              [&](ScanPos at) { JsJoinLineEnd(&join, at); });
        JsJoinEnd(&join);
        newer[run] = join.main.newer << 16 | join.main.newerAt.line;
    }
    FUZZ_CHECK(js[0].items == js[1].items);
    FUZZ_CHECK(newer[0] == newer[1]);

    // the lexer on its own, which the judge feeds a byte at a time
    Seen lex[2];
    for (int run = 0; run < 2; run++) {
        JsLex x;
        JsStart(&x, handler, ansi, TakeJs, &lex[run]);
        Lines(text, lines, run ? seed | 1 : 0, [&](const char* b, size_t n, ScanPos at) { JsFeed(&x, b, n, at); },
              [&](ScanPos at) { JsLineEnd(&x, at); });
        JsEnd(&x);
    }
    FUZZ_CHECK(lex[0].items == lex[1].items);

    Seen css[2];
    CssVerdict verdict[2];
    for (int run = 0; run < 2; run++) {
        CssSheet sheet;
        CssSheetStart(&sheet, ansi);
        CssRead* read = &sheet.read;
        // the sheet hears the tokens first, then the check
        CssTake rules = read->take;
        void* rulesContext = read->context;
        struct Both { CssTake rules; void* context; Seen* seen; } both = {rules, rulesContext, &css[run]};
        read->take = [](void* c, const CssToken* t) {
            Both* b = (Both*)c;
            TakeCss(b->seen, t);
            b->rules(b->context, t);
        };
        read->context = &both;
        Lines(text, lines, run ? seed | 1 : 0, [&](const char* b, size_t n, ScanPos at) { CssSheetFeed(&sheet, b, n, at); },
              [&](ScanPos at) { CssSheetLineEnd(&sheet, at); });
        CssSheetNext(&sheet);
        CssElement element = {"p", 1, "a b", 3, "x", 1, text.data(), text.size() < 64 ? text.size() : 64, ansi};
        verdict[run] = CssWhiteSpaceOf(&sheet, &element);
        CssSheetFree(&sheet);
    }
    FUZZ_CHECK(css[0].items == css[1].items);
    FUZZ_CHECK(verdict[0].value == verdict[1].value && verdict[0].unsure == verdict[1].unsure);
    return 0;
}

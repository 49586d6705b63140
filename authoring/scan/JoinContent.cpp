#include "authoring/scan/JoinContent.h"
#include <string.h>

void JoinContentStart(JoinContent* content, JoinSink* sink) {
    memset(content, 0, sizeof *content);
    content->sink = sink;
}

static bool Is(const char* value, size_t length, const char* lower) {
    size_t n = strlen(lower);
    if (length != n) return false;
    for (size_t i = 0; i < n; i++) {
        char c = value[i] >= 'A' && value[i] <= 'Z' ? (char)(value[i] + 32) : value[i];
        if (c != lower[i]) return false;
    }
    return true;
}

static const HtmlAttribute* Find(const HtmlAttribute* attributes, size_t count, const char* name) {
    for (size_t i = 0; i < count; i++)
        if (!attributes[i].duplicate && Is(attributes[i].name, attributes[i].nameLength, name))
            return &attributes[i];
    return nullptr;
}

static void Trimmed(const char** value, size_t* length) {
    while (*length && strchr(" \t\n\r\f", (*value)[0])) ++*value, --*length;
    while (*length && strchr(" \t\n\r\f", (*value)[*length - 1])) --*length;
}

int JoinContentKindOf(const HtmlAttribute* attributes, size_t count) {
    const HtmlAttribute* type = Find(attributes, count, "type");
    const HtmlAttribute* language = Find(attributes, count, "language");
    const char* value = type ? type->value : "";
    size_t length = type ? type->valueLength : 0;
    Trimmed(&value, &length);
    if (!type && language) {
        value = language->value;
        length = language->valueLength;
        Trimmed(&value, &length);
        static const char* const kLanguages[] = {"javascript", "ecmascript", "jscript",
                                                 "livescript", "javascript1.0", "javascript1.1",
                                                 "javascript1.2", "javascript1.3",
                                                 "javascript1.4", "javascript1.5", nullptr};
        for (const char* const* l = kLanguages; *l; l++)
            if (Is(value, length, *l)) return JoinTextScript;
        return length ? JoinTextData : JoinTextScript;
    }
    static const char* const kScripts[] = {
        "", "text/javascript", "application/javascript", "text/ecmascript",
        "application/ecmascript", "application/x-javascript", "application/x-ecmascript",
        "text/jscript", "text/livescript", "text/x-ecmascript", "text/x-javascript",
        "text/javascript1.0", "text/javascript1.1", "text/javascript1.2", "text/javascript1.3",
        "text/javascript1.4", "text/javascript1.5", nullptr};
    for (const char* const* s = kScripts; *s; s++)
        if (Is(value, length, *s)) return JoinTextScript;
    if (Is(value, length, "module")) return JoinTextModule;
    static const char* const kJson[] = {"application/json", "importmap", "application/ld+json",
                                        "speculationrules", "text/json", nullptr};
    for (const char* const* s = kJson; *s; s++)
        if (Is(value, length, *s)) return JoinTextJson;
    if (length >= 5 && Is(value + length - 5, 5, "+json")) return JoinTextJson;
    return JoinTextData;
}

void JoinContentOpen(JoinContent* content, int kind) {
    // A content element inside another (a <script> in an SVG <style>) ends the
    // outer one's judging, which holds one at a time.
    if (content->kind != JoinTextShown) JoinContentClose(content);
    content->kind = kind;
    content->any = false;
    content->lineFeed = false;
    content->told = false;
    if (kind == JoinTextScript || kind == JoinTextModule)
        JoinScriptStart(&content->script, content->sink, false, kind == JoinTextScript);
    if (kind == JoinTextStyle) JoinStyleStart(&content->sheet, content->sink, false);
}

void JoinContentText(JoinContent* content, const HtmlToken* token) {
    if (!content->any) content->start = token->span.start;
    content->any = true;
    content->end = token->span.end;
    if (content->kind != JoinTextScript && content->kind != JoinTextModule &&
        content->kind != JoinTextStyle && content->kind != JoinTextData)
        return;
    JoinSink* sink = content->sink;
    JoinWalk walk;
    JoinWalkStart(&walk, sink->page->bytes, sink->page->length, sink->states, token->span,
                  token->text, token->textLength, false);
    JoinChar c;
    // a line end right after a line feed written as a reference is its break,
    // across the runs of text that CDATA sections make
    while (JoinWalkNext(&walk, &c)) {
        if (JoinWrittenBreak(sink->page->bytes, c, &content->lineFeed)) continue;
        if (content->kind == JoinTextData) {
            // Its text is read exactly as written: any other cut changes it.
            size_t count = 0, cut = JoinCutsIn(sink, c.start, c.end, &count);
            if (count && !content->told) JoinTellCut(sink, JoinDataBlock, cut);
            content->told = content->told || count;
            continue;
        }
        if (content->kind == JoinTextStyle) JoinStyleChar(&content->sheet, c);
        else JoinScriptChar(&content->script, c);
    }
}

static bool JsonWord(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '.' ||
           c == '+' || c == '-';
}

// A JSON text: a cut in a string changes the string; between values it glues
// two of them ("1" "2", "true" "false"). Each such cut is told.
static void JudgeJson(JoinSink* sink, size_t start, size_t end) {
    size_t count = 0, cut = JoinCutsIn(sink, start, end, &count);
    const char* page = sink->page->bytes;
    bool string = false, escape = false;
    unsigned char solid = 0;
    for (size_t at = start, k = cut; at < end && k < cut + count; at++) {
        if (at >= sink->cuts.start[k]) {
            size_t after = sink->cuts.end[k];
            bool written = JoinWrittenBreakAt(page, sink->states, sink->cuts.start[k]) ||
                           JoinInMarkup(sink->states, sink->cuts.start[k]);
            if (!written && (string || (after < sink->page->length && JsonWord(solid) &&
                                        JsonWord((unsigned char)page[after]))))
                JoinTellCut(sink, JoinJson, k);
            at = after - 1;
            k++;
            continue;
        }
        unsigned char c = (unsigned char)page[at];
        if (string) {
            if (escape) escape = false;
            else if (c == '\\') escape = true;
            else if (c == '"') string = false;
        } else if (c == '"') {
            string = true;
        }
        if (!JoinIsSpace(c)) solid = c;
    }
}

void JoinContentClose(JoinContent* content) {
    JoinSink* sink = content->sink;
    switch (content->kind) {
    case JoinTextScript: case JoinTextModule: JoinScriptEnd(&content->script); break;
    case JoinTextStyle: JoinStyleEnd(&content->sheet); break;
    case JoinTextJson:
        if (content->any) JudgeJson(sink, content->start, content->end);
        break;
    }
    content->kind = JoinTextShown;
}

static void Walk(JoinContent* content, const HtmlAttribute& a, bool handler) {
    JoinSink* sink = content->sink;
    JoinWalk walk;
    JoinWalkStart(&walk, sink->page->bytes, sink->page->length, sink->states, a.valueSpan, a.value,
                  a.valueLength, true);
    JoinChar c;
    bool lineFeed = false; // a line end right after a line feed written as a reference is its break
    if (handler) {
        JoinScriptStart(&content->handler, sink, true, true);
        while (JoinWalkNext(&walk, &c))
            if (!JoinWrittenBreak(sink->page->bytes, c, &lineFeed)) JoinScriptChar(&content->handler, c);
        JoinScriptEnd(&content->handler);
        return;
    }
    JoinStyleStart(&content->style, sink, true);
    while (JoinWalkNext(&walk, &c))
        if (!JoinWrittenBreak(sink->page->bytes, c, &lineFeed)) JoinStyleChar(&content->style, c);
    JoinStyleEnd(&content->style);
}

// A numeric reference to white space ("&#32;", "&#x9;") at `at`: it parts class
// names as a space does.
static bool SpaceReferenceAt(const char* page, size_t end, size_t at) {
    if (end - at < 4 || page[at] != '&' || page[at + 1] != '#') return false;
    size_t i = at + 2;
    bool hex = page[i] == 'x' || page[i] == 'X';
    i += hex;
    uint32_t value = 0;
    size_t digits = 0;
    for (; i < end && digits < 8; i++, digits++) {
        char c = page[i];
        int digit = c >= '0' && c <= '9' ? c - '0'
                  : hex && (c | 0x20) >= 'a' && (c | 0x20) <= 'f' ? (c | 0x20) - 'a' + 10 : -1;
        if (digit < 0) break;
        value = value * (hex ? 16 : 10) + (uint32_t)digit;
    }
    return digits && value < 128 && JoinIsSpace((unsigned char)value);
}

static void Attribute(JoinContent* content, const HtmlAttribute& a) {
    JoinSink* sink = content->sink;
    size_t count = 0, cut = JoinCutsIn(sink, a.valueSpan.start, a.valueSpan.end, &count);
    if (a.nameLength > 2 && Is(a.name, 2, "on")) return Walk(content, a, true);
    if (!count) return;
    if (Is(a.name, a.nameLength, "style")) return Walk(content, a, false);
    if (!Is(a.name, a.nameLength, "class")) {
        for (size_t k = cut; k < cut + count; k++) {
            // a line end right after a line feed written as a reference is its break
            if (JoinWrittenBreakAt(sink->page->bytes, sink->states, sink->cuts.start[k])) continue;
            JoinFinding f = {JoinValue, 0, 0, sink->cuts.start[k], k, a.nameSpan.start,
                             a.nameSpan.end - a.nameSpan.start};
            JoinTell(sink, f);
        }
        return;
    }
    const char* page = sink->page->bytes;
    for (size_t k = cut; k < cut + count; k++) {
        size_t before = sink->cuts.start[k], after = sink->cuts.end[k];
        if (before > a.valueSpan.start && after < a.valueSpan.end &&
            !JoinIsSpace((unsigned char)page[before - 1]) && !JoinIsSpace((unsigned char)page[after]) &&
            !JoinWrittenBreakAt(page, sink->states, before) &&
            !SpaceReferenceAt(page, a.valueSpan.end, after))
            JoinTellCut(sink, JoinClassGlue, k);
    }
}

void JoinStartTag(JoinContent* content, const HtmlToken* token, int ns) {
    for (size_t i = 0; i < token->attributeCount; i++)
        if (!token->attributes[i].duplicate) Attribute(content, token->attributes[i]);
    if (ns != HtmlNamespaceHtml) return;
    if (Is(token->text, token->textLength, "meta")) {
        const HtmlAttribute* equiv = Find(token->attributes, token->attributeCount, "http-equiv");
        const char* value = equiv ? equiv->value : "";
        size_t length = equiv ? equiv->valueLength : 0;
        Trimmed(&value, &length);
        if (Is(value, length, "x-ua-compatible")) content->documentMode = true;
    }
    if (Is(token->text, token->textLength, "script") &&
        JoinContentKindOf(token->attributes, token->attributeCount) == JoinTextModule) {
        JoinFinding f = {JoinModule, 0, 0, token->span.start, (size_t)-1, token->textSpan.start,
                         token->textSpan.end - token->textSpan.start};
        JoinTell(content->sink, f);
    }
}

void JoinContentFinish(JoinContent* content) {
    if (content->kind != JoinTextShown) JoinContentClose(content);
    if (content->documentMode) return;
    JoinFinding f = {JoinNoDocumentMode, 0, 0, 0, (size_t)-1, 0, 0};
    JoinTell(content->sink, f);
}

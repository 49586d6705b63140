// The placeholders, the filled page and its reading by the tokenizer and the
// tree: which elements hold raw text or script data, and the first <base href>.
#include "authoring/scan/PackPlan.h"
#include "authoring/scan/HtmlRead.h"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static const char* const kHolderTexts[] = {"{{width}}", "{{height}}", "{{insert}}"};
static const int kOrder[PackValueCount] = {0, 1, 2, 2, 0, 1};
static const char kOrderText[] = "{{width}}, {{height}}, {{insert}}, {{insert}}, {{width}}, "
                                 "{{height}}";

const char* PackHolderText(int value) {
    return kHolderTexts[kOrder[value]];
}

static size_t HolderLength(int value) {
    return strlen(PackHolderText(value));
}

void PackPlanFree(PackPlan* plan) {
    free(plan->filled);
    free(plan->states);
    free(plan->places);
    free(plan->regions);
    free(plan->base);
    free(plan->notes);
    PackRefusalFree(&plan->refusal);
    memset(plan, 0, sizeof *plan);
}

size_t PackPlanFilled(const PackPlan* plan, size_t at) {
    int k = PackValueCount;
    while (k > 0 && at < plan->holders[k - 1]) k--;
    if (k == 0) return at;
    size_t after = plan->holders[k - 1] + HolderLength(k - 1);
    if (at < after) return plan->values[k - 1];
    return plan->values[k - 1] + plan->valueLengths[k - 1] + (at - after);
}

size_t PackPlanAuthor(const PackPlan* plan, size_t filled) {
    int k = PackValueCount;
    while (k > 0 && filled < plan->values[k - 1]) k--;
    if (k == 0) return filled;
    size_t after = plan->values[k - 1] + plan->valueLengths[k - 1];
    if (filled < after) return plan->holders[k - 1];
    return plan->holders[k - 1] + HolderLength(k - 1) + (filled - after);
}

// Where the page ends, for "the page ends where ... was expected": just past
// its last byte that is no line end.
static size_t LastLineEnd(const char* page, size_t length) {
    if (length && page[length - 1] == '\n') length--;
    if (length && page[length - 1] == '\r') length--;
    return length;
}

// The six placeholders, which must come in the presenter's order.
static int Holders(const char* page, size_t length, PackPlan* plan) {
    PackRefusal* refusal = &plan->refusal;
    if (length == 0) return PackRefuse(refusal, 0, PackReasonEmpty, "the page is empty");
    const char* zero = (const char*)memchr(page, 0, length);
    if (zero)
        return PackRefuse(refusal, (size_t)(zero - page), PackReasonZeroByte,
                          "a zero byte: the presenter would end the line there");
    int count = 0;
    for (size_t i = 0; i + 1 < length; i++) {
        if (page[i] != '{' || page[i + 1] != '{') continue;
        int kind = 0;
        while (kind < 3 && (length - i < strlen(kHolderTexts[kind]) ||
                            memcmp(page + i, kHolderTexts[kind], strlen(kHolderTexts[kind])) != 0))
            kind++;
        if (kind == 3) continue;
        if (count == PackValueCount)
            return PackRefuse(refusal, i, PackReasonPlaceholders,
                              "a seventh placeholder %s: the page takes six, in the order %s",
                              kHolderTexts[kind], kOrderText);
        if (kind != kOrder[count])
            return PackRefuse(refusal, i, PackReasonPlaceholders,
                              "%s where %s was expected: the values come in the order %s",
                              kHolderTexts[kind], PackHolderText(count), kOrderText);
        plan->holders[count++] = i;
        i += strlen(kHolderTexts[kind]) - 1;
    }
    if (count < PackValueCount)
        return PackRefuse(refusal, LastLineEnd(page, length), PackReasonPlaceholders,
                          "the page ends where %s was expected: the values come in the order %s",
                          PackHolderText(count), kOrderText);
    return 1;
}

// The page with the values put in. Any width and height read alike: digits.
static int Fill(const char* insert, PackPlan* plan) {
    const char* values[3] = {"1024", "768", insert};
    size_t length = plan->length;
    for (int k = 0; k < PackValueCount; k++) {
        plan->valueLengths[k] = strlen(values[kOrder[k]]);
        length = length - HolderLength(k) + plan->valueLengths[k];
        if (length < plan->valueLengths[k]) return 0;
    }
    plan->filled = (char*)malloc(length ? length : 1);
    plan->states = (unsigned char*)malloc(length ? length : 1);
    plan->places = (unsigned char*)malloc(length ? length : 1);
    if (!plan->filled || !plan->states || !plan->places) return 0;
    size_t from = 0, to = 0;
    for (int k = 0; k <= PackValueCount; k++) {
        size_t end = k < PackValueCount ? plan->holders[k] : plan->length;
        memcpy(plan->filled + to, plan->page + from, end - from);
        to += end - from;
        if (k == PackValueCount) break;
        plan->values[k] = to;
        memcpy(plan->filled + to, values[kOrder[k]], plan->valueLengths[k]);
        to += plan->valueLengths[k];
        from = end + HolderLength(k);
    }
    plan->filledLength = to;
    return 1;
}

static bool NameIs(const char* name, size_t length, const char* word) {
    return strlen(word) == length && memcmp(name, word, length) == 0;
}

static bool AsciiSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

// A script's kind by its type (or language) attribute, as browsers tell them.
static int ScriptKind(const HtmlToken* token, PackRegion* region) {
    const HtmlAttribute* type = nullptr;
    const HtmlAttribute* language = nullptr;
    for (size_t i = 0; i < token->attributeCount; i++) {
        const HtmlAttribute& a = token->attributes[i];
        if (a.duplicate) continue;
        if (NameIs(a.name, a.nameLength, "type")) type = &a;
        if (NameIs(a.name, a.nameLength, "language")) language = &a;
        if (NameIs(a.name, a.nameLength, "src")) region->src = true;
        static const char* const blockers[] = {"defer", "async", "charset", "integrity"};
        for (const char* blocker : blockers)
            if (!region->blocker && NameIs(a.name, a.nameLength, blocker)) region->blocker = blocker;
    }
    char t[48];
    size_t n = 0;
    const char* v = type ? type->value : language ? language->value : "";
    size_t vl = type ? type->valueLength : language ? language->valueLength : 0;
    while (vl && AsciiSpace(v[0])) v++, vl--;
    while (vl && AsciiSpace(v[vl - 1])) vl--;
    if (vl == 0) return RegionClassic;
    if (!type) n = (size_t)snprintf(t, sizeof t, "text/");
    for (size_t i = 0; i < vl && n + 1 < sizeof t; i++)
        t[n++] = (char)(v[i] >= 'A' && v[i] <= 'Z' ? v[i] + 32 : v[i]);
    t[n] = 0;
    snprintf(region->type, sizeof region->type, "%.*s", (int)(vl < 31 ? vl : 31), v);
    if (n + 1 >= sizeof t) return RegionData;
    static const char* const scripts[] = {
        "application/ecmascript", "application/javascript", "application/x-ecmascript",
        "application/x-javascript", "text/ecmascript", "text/javascript", "text/javascript1.0",
        "text/javascript1.1", "text/javascript1.2", "text/javascript1.3", "text/javascript1.4",
        "text/javascript1.5", "text/jscript", "text/livescript", "text/x-ecmascript",
        "text/x-javascript"};
    for (const char* s : scripts)
        if (strcmp(t, s) == 0) return RegionClassic;
    if (strcmp(t, "module") == 0) return RegionModule;
    static const char* const json[] = {"application/json", "importmap", "application/ld+json",
                                       "speculationrules", "text/json"};
    for (const char* s : json)
        if (strcmp(t, s) == 0) return RegionJson;
    return n >= 5 && strcmp(t + n - 5, "+json") == 0 ? RegionJson : RegionData;
}

struct Reading {
    PackPlan* plan;
    long open; // the region whose content is being read, or -1
    bool failed;
};

static int RegionAdd(Reading* reading, const HtmlToken* token, const HtmlElement* element) {
    static const char* const names[] = {"style", "iframe", "noembed", "noframes", "noscript",
                                        "xmp", "plaintext", "script"};
    static const unsigned char kinds[] = {RegionStyle, RegionHidden, RegionHidden, RegionHidden,
                                          RegionHidden, RegionXmp, RegionPlaintext, RegionClassic};
    int k = 0;
    while (k < 8 && !NameIs(element->name, element->nameLength, names[k])) k++;
    if (k == 8) return 1;
    PackPlan* plan = reading->plan;
    if (plan->regionCount == plan->regionRoom) {
        size_t room = plan->regionRoom ? plan->regionRoom * 2 : 8;
        PackRegion* grown = (PackRegion*)realloc(plan->regions, room * sizeof(PackRegion));
        if (!grown) return 0;
        plan->regions = grown;
        plan->regionRoom = room;
    }
    PackRegion* region = &plan->regions[plan->regionCount];
    memset(region, 0, sizeof *region);
    region->kind = kinds[k];
    if (region->kind == RegionClassic) region->kind = (unsigned char)ScriptKind(token, region);
    region->baseBefore = plan->base != nullptr;
    region->tagStart = token->span.start;
    region->tagEnd = region->contentStart = token->span.end;
    region->contentEnd = plan->filledLength;
    reading->open = (long)plan->regionCount++;
    return 1;
}

static int Take(void* context, const HtmlTree* tree, const HtmlToken* token) {
    Reading* reading = (Reading*)context;
    PackPlan* plan = reading->plan;
    if (token->kind != HtmlTokenCharacters && reading->open >= 0) {
        PackRegion* region = &plan->regions[reading->open];
        region->contentEnd = token->span.start;
        region->closed = token->kind == HtmlTokenEndTag;
        reading->open = -1;
    }
    if (tree->base && !plan->base) {
        size_t length = 0;
        const char* href = HtmlElementAttribute(tree->base, "href", &length);
        plan->base = (char*)malloc(length + 1);
        if (!plan->base) return reading->failed = true, 0;
        memcpy(plan->base, href, length);
        plan->base[length] = 0;
        plan->baseLength = length;
        plan->baseAt = token->span.start;
    }
    if (token->kind != HtmlTokenStartTag || !tree->depth) return 1;
    const HtmlElement* top = tree->open[tree->depth - 1];
    if (top->ns != HtmlNamespaceHtml || top->tag.start != token->span.start) return 1;
    if (!RegionAdd(reading, token, top)) return reading->failed = true, 0;
    return 1;
}

static bool IsRawState(unsigned char s) {
    return s == HtmlStateRawtext || s == HtmlStateScriptData || s == HtmlStatePlaintext ||
           (s >= HtmlStateRawtextLessThan && s <= HtmlStateScriptDoubleEscapeEnd);
}

int PackPlanMake(const char* page, size_t length, const char* insert, PackPlan* plan) {
    memset(plan, 0, sizeof *plan);
    plan->page = page;
    plan->length = length;
    if (!Holders(page, length, plan)) return 0;
    if (!Fill(insert, plan))
        return PackRefuse(&plan->refusal, 0, PackReasonMemory, "out of memory");
    Reading reading = {plan, -1, false};
    if (!HtmlRead(plan->filled, plan->filledLength, plan->states, Take, &reading))
        return PackRefuse(&plan->refusal, 0, PackReasonMemory, "out of memory");
    // Elements the tree reads as raw text are regions; the rest (a <script> in
    // SVG, say) are read as any other element.
    size_t kept = 0;
    for (size_t i = 0; i < plan->regionCount; i++) {
        PackRegion region = plan->regions[i];
        if (region.contentStart >= plan->filledLength ||
            !IsRawState(plan->states[region.contentStart]))
            continue;
        for (size_t f = region.contentStart; f < region.contentEnd && !region.lines; f++)
            region.lines = plan->filled[f] == '\n' || plan->filled[f] == '\r';
        plan->regions[kept++] = region;
    }
    plan->regionCount = kept;
    if (!PackPlacesMake(plan))
        return PackRefuse(&plan->refusal, 0, PackReasonMemory, "out of memory");
    return 1;
}

// pack on any bytes: no crash and no undefined behaviour, a refusal says where
// and why, and what pack wrote is read alike: the page the presenter joins
// from the fragments, with the values between them, gives the page reader the
// same tokens as the author's page with its values (text and attribute values
// exactly; the text of scripts and style sheets, which pack may rewrite, and
// of comments aside; hidden raw text with its white space as one space); no
// line of a fragment is, or could be taken for, the end marker but the last,
// and 1011.dat is one line; and check's reading of what pack wrote finds
// nothing (what the presenter's browser control does with the page aside).
// When any one allocation fails, pack refuses: it never packs a page short.
// Input: byte 0 (mod 32) is the length of the insert text that follows (as a
// settings line holds it: no line end, no zero byte, trimmed), byte 1 picks
// the screen and, with its high bit, the allocation that fails (the low bits
// place it among pack's allocations on the page); the rest is the page.
#include "authoring/CheckRead.h"
#include "authoring/MarkerNear.h"
#include "authoring/PackPage.h"
#include "authoring/scan/HtmlRead.h"
#include "base/TextRules.h"
#include "builder/PageRules.h"
#include "tests/fuzz/FuzzCheck.h"
#include "tests/native/FragmentJoin.h"
#include <stdint.h>
#include <string.h>
#include <string>
#include <vector>

// One of pack's allocations fails, the armed one (see CMakeLists.txt: the
// target's malloc and realloc calls come here); unarmed they are counted.
static size_t gFailAt, gAllocations;
static bool gArmed, gFailed;
extern "C" void* __real_malloc(size_t size);
extern "C" void* __real_realloc(void* block, size_t size);
static bool Fails() {
    if (!gArmed) return ++gAllocations, false;
    if (++gAllocations != gFailAt) return false;
    gFailed = true;
    return true;
}
extern "C" void* __wrap_malloc(size_t size) { return Fails() ? nullptr : __real_malloc(size); }
extern "C" void* __wrap_realloc(void* block, size_t size) {
    return Fails() ? nullptr : __real_realloc(block, size);
}

namespace {

struct Tokens {
    std::vector<std::string> list;
    std::string text; // characters not yet listed
};

bool Is(const HtmlElement* e, const char* name) {
    return e->ns == HtmlNamespaceHtml && e->nameLength == strlen(name) &&
           memcmp(e->name, name, e->nameLength) == 0;
}

int Take(void* context, const HtmlTree* tree, const HtmlToken* token) {
    Tokens* tokens = (Tokens*)context;
    const HtmlElement* top = tree->depth ? tree->open[tree->depth - 1] : nullptr;
    if (token->kind == HtmlTokenCharacters) {
        std::string text(token->text, token->textLength);
        if (top && (Is(top, "script") || Is(top, "style"))) return 1;
        if (top && (Is(top, "noscript") || Is(top, "iframe") || Is(top, "noembed") ||
                    Is(top, "noframes"))) {
            std::string collapsed;
            for (char c : text)
                if (!strchr(" \t\n\f\r", c) || collapsed.empty() || collapsed.back() != ' ')
                    collapsed += strchr("\t\n\f\r", c) && c ? ' ' : c;
            text = collapsed;
        }
        tokens->text += text;
        return 1;
    }
    if (!tokens->text.empty()) tokens->list.push_back(tokens->text);
    tokens->text.clear();
    std::string shown = token->kind == HtmlTokenStartTag ? "<" : token->kind == HtmlTokenEndTag ? "</"
                        : token->kind == HtmlTokenComment ? "<!--" : "<!";
    if (token->kind != HtmlTokenComment) shown.append(token->text, token->textLength);
    for (size_t i = 0; i < token->attributeCount; i++) {
        const HtmlAttribute& a = token->attributes[i];
        std::string value(a.value, a.valueLength);
        // the src that pack gives a moved script
        if (a.nameLength == 3 && memcmp(a.name, "src", 3) == 0 && value.find("page-") != std::string::npos)
            continue;
        shown += " " + std::string(a.name, a.nameLength) + "=" + value;
    }
    tokens->list.push_back(shown);
    return 1;
}

std::vector<std::string> PageTokens(const std::string& page) {
    Tokens tokens;
    FUZZ_CHECK(HtmlRead(page.data(), page.size(), nullptr, Take, &tokens));
    if (!tokens.text.empty()) tokens.list.push_back(tokens.text);
    return tokens.list;
}

// Every line of a fragment but its last (the marker) is no marker, nor nearly one.
void MarkerCheck(const PackBuffer& fragment, bool oneLine) {
    std::string bytes(fragment.bytes ? fragment.bytes : "", fragment.length);
    size_t lines = 0;
    for (size_t at = 0; at < bytes.size(); lines++) {
        size_t end = bytes.find('\n', at);
        FUZZ_CHECK(end != std::string::npos);
        std::string line = SpacesTrimmed(bytes.substr(at, end - at));
        FUZZ_CHECK(line == bytes.substr(at, end - at)); // the trim takes nothing
        bool last = end + 1 == bytes.size();
        if (!oneLine && !last) {
            FUZZ_CHECK(!PageLineIsEndMarker(line.data(), line.size()));
            FUZZ_CHECK(!CheckNearMarker(line.data(), line.size()));
        }
        at = end + 1;
    }
    FUZZ_CHECK(!oneLine || lines <= 1);
}

void FindingTake(void* context, const CheckFinding* f) {
    if (f->engine) return;
    fprintf(stderr, "check failed: a finding in what pack wrote: %s:%d:%lu: %s\n", f->name,
            (int)f->line, (unsigned long)f->column, f->message);
    ++*(int*)context;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    size_t start = 0;
    std::string insert = FuzzInsert(data, size, 2, &start);
    size_t trimmed = 0;
    const char* kept = TextTrim(insert.data(), insert.size(), &trimmed);
    insert = std::string(kept, trimmed);
    JoinValues values = {std::to_string(320 + data[1] * 7), std::to_string(200 + data[1] * 3),
                         insert};
    std::string page((const char*)data + start, size - start);

    PackResult result;
    gFailAt = 0;
    if (data[1] & 0x80) {
        gAllocations = 0;
        PackPage(page.data(), page.size(), insert.c_str(), &result);
        PackResultFree(&result);
        gFailAt = 1 + gAllocations * (data[1] & 0x7F) / 128;
    }
    gAllocations = 0;
    gFailed = false;
    gArmed = true;
    int packed = PackPage(page.data(), page.size(), insert.c_str(), &result);
    gArmed = false;
    FUZZ_CHECK(!(packed && gFailed));
    if (!packed) {
        FUZZ_CHECK(result.reason > PackReasonNone && result.reason < PackReasonCount);
        FUZZ_CHECK(PackResultMessage(result)[0] != 0 && result.line >= 1 && result.column >= 1);
        PackResultFree(&result);
        return 0;
    }
    std::string fragments[PackFragmentCount];
    CheckFile files[CheckFragmentCount];
    for (int i = 0; i < PackFragmentCount; i++) {
        MarkerCheck(result.fragments[i], i == 1);
        fragments[i].assign(result.fragments[i].bytes ? result.fragments[i].bytes : "",
                            result.fragments[i].length);
        files[i] = {result.fragments[i].bytes, result.fragments[i].length, nullptr};
    }
    int findings = 0;
    CheckReadFindings(files, {values.width.c_str(), values.height.c_str(), values.insert.c_str()},
                      FindingTake, &findings);
    PackResultFree(&result);
    FUZZ_CHECK(findings == 0);
    // The author's page with its values: cut by hand with its line ends kept,
    // joined by the presenter's rules with nothing trimmed, so that it is the page.
    std::string filled;
    static const char* const kHolders[] = {"{{width}}", "{{height}}", "{{insert}}"};
    const std::string* valueOf[] = {&values.width, &values.height, &values.insert};
    for (size_t at = 0; at < page.size();) {
        int kind = 0;
        while (kind < 3 && page.compare(at, strlen(kHolders[kind]), kHolders[kind]) != 0) kind++;
        if (kind == 3) {
            filled += page[at++];
            continue;
        }
        filled += *valueOf[kind];
        at += strlen(kHolders[kind]);
    }
    FUZZ_CHECK(PageTokens(filled) == PageTokens(FragmentsJoin(fragments, values)));
    return 0;
}

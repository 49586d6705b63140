// pack and check on a batch of authors' pages, natively, for the reference
// parsers to judge (tests/gen/Differential.js). For each page:
//   pack's pure rules, and the presenter's join of what they wrote, with the
//   values; or pack's refusal;
//   check's pure reading of what pack wrote (it should find nothing);
//   the page cut by hand at its placeholders, line ends kept, the join of
//   that, and check's findings on it.
// Files of records, each "NAME LENGTH\n", the bytes, "\n". The batch holds
// "page", "width", "height", "insert" for each page; the results hold for each
// page "page" (its number), then "refusal" ("LINE:COLUMN: MESSAGE") with its
// "reason" (a short name), or the
// seven "fragment"s, the "script"s (page-1.js ...), "joined" and each
// "packed-finding" (what the engine does left out); then the seven "hand-fragment"s, "hand-joined" and each
// "finding" ("FILE:LINE:COLUMN: MESSAGE"), each "engine" finding (what the
// presenter's browser control does whatever the join does: "OFFSET FILE:LINE:
// COLUMN: MESSAGE", OFFSET its byte in the author's page with the values in),
// and "end".
//   pack_differential BATCH RESULTS
#include "authoring/CheckRead.h"
#include "authoring/PackPage.h"
#include "tests/native/FragmentJoin.h"
#include <stdio.h>
#include <string.h>
#include <string>

namespace {

bool FieldRead(FILE* in, std::string* name, std::string* bytes) {
    char head[64];
    if (!fgets(head, sizeof head, in)) return false;
    char word[32];
    unsigned long length = 0;
    if (sscanf(head, "%31s %lu", word, &length) != 2) return false;
    name->assign(word);
    bytes->resize(length);
    return fread(&(*bytes)[0], 1, length, in) == length && fgetc(in) == '\n';
}

void FieldWrite(FILE* out, const char* name, const std::string& bytes) {
    fprintf(out, "%s %lu\n", name, (unsigned long)bytes.size());
    fwrite(bytes.data(), 1, bytes.size(), out);
    fputc('\n', out);
}

struct Findings {
    FILE* out;
    const char* field;
    const char* engine; // the field of what the engine does whatever the join does, or null to leave it out
};

void FindingTake(void* context, const CheckFinding* f) {
    Findings* findings = (Findings*)context;
    char head[96];
    snprintf(head, sizeof head, "%s:%d:%lu: ", f->name, (int)f->line, (unsigned long)f->column);
    std::string text = head + std::string(f->message);
    if (!f->engine)
        FieldWrite(findings->out, findings->field, text);
    else if (findings->engine)
        FieldWrite(findings->out, findings->engine, std::to_string(f->pageAt) + " " + text);
}

void CheckWrite(FILE* out, const char* field, const std::string fragments[7],
                const JoinValues& values, const char* engine) {
    CheckFile files[CheckFragmentCount];
    for (int i = 0; i < CheckFragmentCount; i++)
        files[i] = {fragments[i].data(), fragments[i].size(), nullptr};
    Findings findings = {out, field, engine};
    CheckValues checked = {values.width.c_str(), values.height.c_str(), values.insert.c_str()};
    CheckReadFindings(files, checked, FindingTake, &findings);
}

void PageRun(FILE* out, size_t number, const std::string& page, const JoinValues& values) {
    FieldWrite(out, "page", std::to_string(number));
    PackResult result;
    if (PackPage(page.data(), page.size(), values.insert.c_str(), &result)) {
        std::string fragments[7];
        for (int i = 0; i < 7; i++)
            fragments[i].assign(result.fragments[i].bytes ? result.fragments[i].bytes : "",
                                result.fragments[i].length);
        for (const std::string& fragment : fragments) FieldWrite(out, "fragment", fragment);
        for (size_t i = 0; i < result.scriptCount; i++)
            FieldWrite(out, "script",
                       std::string(result.scripts[i].bytes ? result.scripts[i].bytes : "",
                                   result.scripts[i].length));
        FieldWrite(out, "joined", FragmentsJoin(fragments, values));
        CheckWrite(out, "packed-finding", fragments, values, nullptr);
        PackResultFree(&result);
    } else {
        FieldWrite(out, "refusal",
                   std::to_string(result.line) + ":" + std::to_string(result.column) + ": " +
                       PackResultMessage(result));
        FieldWrite(out, "reason", PackReasonName(result.reason));
        PackResultFree(&result);
    }
    std::string hand[7];
    if (PageCutByHand(page, hand)) {
        for (const std::string& fragment : hand) FieldWrite(out, "hand-fragment", fragment);
        FieldWrite(out, "hand-joined", FragmentsJoin(hand, values));
        CheckWrite(out, "finding", hand, values, "engine");
    }
    FieldWrite(out, "end", "");
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: pack_differential BATCH RESULTS\n");
        return 2;
    }
    FILE* in = fopen(argv[1], "rb");
    FILE* out = fopen(argv[2], "wb");
    if (!in || !out) {
        fprintf(stderr, "pack_differential: can't open %s\n", in ? argv[2] : argv[1]);
        return 1;
    }
    std::string name, bytes, page;
    JoinValues values;
    size_t pages = 0;
    while (FieldRead(in, &name, &bytes)) {
        if (name == "page") page.swap(bytes);
        if (name == "width") values.width.swap(bytes);
        if (name == "height") values.height.swap(bytes);
        if (name != "insert") continue;
        values.insert.swap(bytes);
        PageRun(out, pages++, page, values);
    }
    bool whole = feof(in) != 0;
    fclose(in);
    if (fclose(out) != 0 || !whole) {
        fprintf(stderr, "pack_differential: %s\n",
                whole ? "can't write the results" : "a bad record in the batch");
        return 1;
    }
    return 0;
}

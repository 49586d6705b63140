// pack on any bytes: no crash and no undefined behaviour, a refusal says where
// and why, and check's reading of what pack wrote, with the values between
// the fragments as the presenter joins them, finds nothing (what the
// presenter's browser control does with the page whatever pack does aside).
// Input: byte 0 (mod 32) is the length of the insert text that follows (as a
// settings line holds it: no line end, no zero byte, trimmed), byte 1 picks
// the screen; the rest is the page.
#include "authoring/CheckRead.h"
#include "authoring/PackPage.h"
#include "base/TextRules.h"
#include "tests/fuzz/FuzzCheck.h"
#include <stdint.h>
#include <string>

static void FindingTake(void* context, const CheckFinding* f) {
    if (f->engine) return;
    fprintf(stderr, "check failed: a finding in what pack wrote: %s:%d:%lu: %s\n", f->name,
            (int)f->line, (unsigned long)f->column, f->message);
    ++*(int*)context;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    size_t insertLength = data[0] % 32;
    if (insertLength > size - 2) insertLength = size - 2;
    std::string insert((const char*)data + 2, insertLength);
    for (char& c : insert)
        if (c == 0 || c == '\r' || c == '\n') c = 'x';
    size_t trimmed = 0;
    const char* kept = TextTrim(insert.data(), insert.size(), &trimmed);
    insert = std::string(kept, trimmed);
    std::string width = std::to_string(320 + data[1] * 7),
                height = std::to_string(200 + data[1] * 3);
    const char* page = (const char*)data + 2 + insertLength;
    size_t length = size - 2 - insertLength;

    PackResult result;
    if (!PackPage(page, length, insert.c_str(), &result)) {
        FUZZ_CHECK(result.message[0] != 0 && result.line >= 1 && result.column >= 1);
        return 0;
    }
    CheckFile files[CheckFragmentCount];
    for (int i = 0; i < CheckFragmentCount; i++)
        files[i] = {result.fragments[i].bytes, result.fragments[i].length, nullptr};
    int findings = 0;
    CheckReadFindings(files, {width.c_str(), height.c_str(), insert.c_str()}, FindingTake, &findings);
    PackResultFree(&result);
    FUZZ_CHECK(findings == 0);
    return 0;
}

// check's reading of any fragments: no crash, no undefined behaviour, no leak,
// and what it reports holds together:
// - each finding names a fragment, a line of it, and a column within that line;
// - a page the join does not change (no line end, no space at a fragment's
//   edge) has no finding of what the join changes;
// - a failed allocation ends the reading with one report of it, told last.
// Input: byte 0 (mod 32) the length of the insert text that follows, byte 1 the
// allocation that fails (0: none), byte 2 the screen; the rest is the page,
// cut into the seven fragments at its first six bytes 0x01 (each fragment but
// 1011.dat then ended by the marker line).
#include "authoring/CheckRead.h"
#include "tests/fuzz/FuzzCheck.h"
#include "tests/fuzz/FuzzFail.h"
#include <stdint.h>
#include <string.h>
#include <string>
#include <vector>

struct Seen {
    const std::vector<size_t>* lines[CheckFragmentCount]; // each line's length
    size_t findings, joinFindings, memory;
    bool memoryLast;
};

static void Take(void* context, const CheckFinding* f) {
    Seen* seen = (Seen*)context;
    int fragment = 0;
    while (fragment < CheckFragmentCount && strcmp(CheckFragmentName(fragment), f->name)) fragment++;
    FUZZ_CHECK(fragment < CheckFragmentCount && f->line >= 1 && f->message[0]);
    const std::vector<size_t>& lines = *seen->lines[fragment];
    // a report of lines past the end or past the marker names the line after them
    FUZZ_CHECK((size_t)f->line <= lines.size() + 1);
    if (f->column && (size_t)f->line <= lines.size()) FUZZ_CHECK(f->column <= lines[f->line - 1] + 1);
    bool memory = strncmp(f->message, "check ran out of memory", 23) == 0;
    seen->memory += memory;
    seen->memoryLast = memory;
    seen->findings++;
    if (f->column && !f->engine) seen->joinFindings++;
}

static std::vector<size_t> LineLengths(const std::string& bytes) {
    std::vector<size_t> lines;
    size_t start = 0;
    for (size_t i = 0; i <= bytes.size(); i++) {
        if (i < bytes.size() && bytes[i] != '\n' && bytes[i] != '\r' && bytes[i] != 0) continue;
        lines.push_back(i - start);
        if (i + 1 < bytes.size() && bytes[i] == '\r' && bytes[i + 1] == '\n') i++;
        start = i + 1;
    }
    return lines;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    size_t start = 0;
    std::string insert = FuzzInsert(data, size, 3, &start);
    std::string width = std::to_string(320 + data[2] * 7), height = std::to_string(200 + data[2] * 3);
    std::string page((const char*)data + start, size - start);
    std::string fragments[CheckFragmentCount];
    bool changes = false;
    for (int i = 0, at = 0; i < CheckFragmentCount; i++) {
        size_t cut = i < CheckFragmentCount - 1 ? page.find('\x01', at) : std::string::npos;
        fragments[i] = page.substr(at, cut == std::string::npos ? std::string::npos : cut - at);
        const std::string& f = fragments[i];
        changes = changes || f.find_first_of(std::string("\r\n\0", 3)) != std::string::npos ||
                  (!f.empty() && (f.front() == ' ' || f.back() == ' '));
        if (i != 1) fragments[i] += "\ncodebase random>\n";
        at = cut == std::string::npos ? (int)page.size() : (int)cut + 1;
    }
    changes = changes || insert.empty();
    std::vector<size_t> lines[CheckFragmentCount];
    Seen seen = {};
    CheckFile files[CheckFragmentCount];
    for (int i = 0; i < CheckFragmentCount; i++) {
        lines[i] = LineLengths(fragments[i]);
        seen.lines[i] = &lines[i];
        files[i] = {fragments[i].data(), fragments[i].size(), nullptr};
    }
    FailArm(data[1]);
    CheckReadFindings(files, {width.c_str(), height.c_str(), insert.c_str()}, Take, &seen);
    gArmed = false;
    FUZZ_CHECK(gFailed ? seen.memory == 1 && seen.memoryLast : seen.memory == 0);
    if (!gFailed && !changes) FUZZ_CHECK(seen.joinFindings == 0);
    return 0;
}

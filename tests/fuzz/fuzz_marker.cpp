// The end-marker test as the page builder uses it, on a line trimmed of its
// spaces, against plain string operations: the line is the marker when what
// is left after the spaces at both ends is exactly "codebase random>".
#include "base/TextRules.h"
#include "builder/PageRules.h"
#include "tests/fuzz/FuzzCheck.h"
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<char> line(data, data + size);
    size_t length = 0;
    const char* trimmed = TextTrim(line.data(), size, &length);
    bool marker = PageLineIsEndMarker(trimmed, length);

    std::string text(data, data + size);
    FUZZ_CHECK(marker == (SpacesTrimmed(text) == "codebase random>"));
    // Untrimmed, only the bare marker is one.
    FUZZ_CHECK(PageLineIsEndMarker(line.data(), size) == (text == "codebase random>"));
    return 0;
}

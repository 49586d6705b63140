// Trimming and comparing texts against plain string operations: only spaces
// (byte 32) go, from both ends, and two texts are equal when their bytes are.
// Input: the first text up to a zero byte, the second after it.
#include "base/TextRules.h"
#include "tests/fuzz/FuzzCheck.h"
#include <string.h>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The whole input is trimmed as one run of bytes, zero bytes and all; in a
    // block of its own size, so a read past either end is caught.
    std::vector<char> bytes(data, data + size);
    std::string whole(bytes.begin(), bytes.end());
    size_t trimmedLength = 12345;
    const char* trimmed = TextTrim(bytes.data(), size, &trimmedLength);
    std::string expected = SpacesTrimmed(whole);
    FUZZ_CHECK(trimmedLength == expected.size());
    FUZZ_CHECK(trimmed >= bytes.data() && trimmed + trimmedLength <= bytes.data() + size);
    FUZZ_CHECK(std::string(trimmed, trimmedLength) == expected);
    // Trimming what is already trimmed changes nothing.
    size_t againLength = 0;
    FUZZ_CHECK(TextTrim(trimmed, trimmedLength, &againLength) == trimmed &&
               againLength == trimmedLength);

    size_t split = strnlen((const char*)data, size);
    std::vector<char> a(data, data + split), b(data + (split < size ? split + 1 : size), data + size);
    a.push_back(0);
    b.push_back(0);
    bool same = strcmp(a.data(), b.data()) == 0;
    FUZZ_CHECK(TextEquals(a.data(), b.data()) == same);
    FUZZ_CHECK(TextEquals(b.data(), a.data()) == same);
    // A missing text is the empty text.
    FUZZ_CHECK(TextEquals(nullptr, a.data()) == (a[0] == 0));
    FUZZ_CHECK(TextEquals(b.data(), nullptr) == (b[0] == 0));
    return 0;
}

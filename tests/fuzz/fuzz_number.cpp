// The number rules against a plain reference: the text read as a number and
// written back agrees with wide arithmetic and printf; and every number, the
// first four input bytes as one, is written as printf writes it and reads back.
#include "base/TextRules.h"
#include "tests/fuzz/FuzzCheck.h"
#include <inttypes.h>
#include <stdio.h>
#include <string.h>
#include <string>
#include <vector>

// Spaces, one sign, the leading digits, each step reduced modulo 2^32 in
// 64-bit arithmetic; the result is the signed 32-bit number with those bits.
static int64_t ReferenceNumber(const char* text) {
    const char* p = text + strspn(text, " ");
    bool negative = *p == '-';
    if (*p == '-' || *p == '+') p++;
    const uint64_t modulus = (uint64_t)1 << 32;
    uint64_t value = 0;
    for (size_t i = 0, n = strspn(p, "0123456789"); i < n; i++)
        value = (value * 10 + (uint64_t)(p[i] - '0')) % modulus;
    if (negative) value = (modulus - value) % modulus;
    return value >= modulus / 2 ? (int64_t)value - (int64_t)modulus : (int64_t)value;
}

static std::string Written(int32_t value) {
    char out[TextNumberMax + 1];
    memset(out, 'z', sizeof out);
    size_t length = TextFromNumber(value, out);
    FUZZ_CHECK(length <= TextNumberMax && out[length] == 0 && strlen(out) == length);
    return std::string(out, length);
}

static void CheckWritesAndReadsBack(int32_t value) {
    char expected[32];
    snprintf(expected, sizeof expected, "%" PRId32, value);
    std::string text = Written(value);
    FUZZ_CHECK(text == expected);
    FUZZ_CHECK(TextToNumber(text.c_str()) == value);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A text ends at its first zero byte; its block holds nothing more, so a
    // read past the zero is caught.
    size_t length = strnlen((const char*)data, size);
    std::vector<char> text(data, data + length);
    text.push_back(0);

    int64_t expected = ReferenceNumber(text.data());
    int32_t value = TextToNumber(text.data());
    FUZZ_CHECK(value == expected);
    char printed[32];
    snprintf(printed, sizeof printed, "%" PRId64, expected);
    FUZZ_CHECK(Written(value) == printed);

    if (size >= 4) {
        int32_t any;
        memcpy(&any, data, sizeof any);
        CheckWritesAndReadsBack(any);
    }
    return 0;
}

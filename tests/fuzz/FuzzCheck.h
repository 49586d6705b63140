// What the fuzz targets share: a check that stops the run on a disagreement,
// so that libFuzzer keeps the input that caused it, and plain references.
#pragma once
#include <stdio.h>
#include <stdlib.h>
#include <string>

#define FUZZ_CHECK(condition)                                                           \
    do {                                                                                \
        if (!(condition)) {                                                             \
            fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            abort();                                                                    \
        }                                                                               \
    } while (0)

// The bytes between the spaces (byte 32) at both ends, by plain string search.
inline std::string SpacesTrimmed(const std::string& text) {
    size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The insert text of an input: byte 0 (mod 32) is its length, and it starts at
// `at`; each zero byte and line end becomes "x", as a settings line can't hold
// them. `rest` is where the page starts.
inline std::string FuzzInsert(const unsigned char* data, size_t size, size_t at, size_t* rest) {
    size_t length = data[0] % 32;
    if (length > size - at) length = size - at;
    std::string insert((const char*)data + at, length);
    for (char& c : insert)
        if (c == 0 || c == '\r' || c == '\n') c = 'x';
    *rest = at + length;
    return insert;
}

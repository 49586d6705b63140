// The settings cipher against plain wide arithmetic: every byte moved by the
// shift modulo 256, a byte that comes out 0 dropped, in place or not, and
// deciphering gives back every byte that enciphering kept.
// Input: 4 bytes of shift (little-endian), 1 byte of direction, then the text.
#include "builder/Cipher.h"
#include "tests/fuzz/FuzzCheck.h"
#include <string.h>
#include <string>
#include <vector>

static std::string Reference(const std::string& text, int64_t shift) {
    std::string out;
    for (unsigned char c : text) {
        int64_t r = (((int64_t)c + shift) % 256 + 256) % 256;
        if (r != 0) out += (char)r;
    }
    return out;
}

// Decode into a block of exactly the room it may use, so a byte written past
// it is caught; and once more in place, which must give the same.
static std::string DecodeChecked(const std::string& text, int32_t shift, uint8_t direction) {
    std::vector<char> out(text.size() + 1);
    size_t kept = Decode(text.data(), text.size(), shift, direction, out.data());
    FUZZ_CHECK(kept <= text.size());
    FUZZ_CHECK(out[kept] == 0);
    std::vector<char> same(text.begin(), text.end());
    same.push_back('\x7f');
    size_t keptInPlace = Decode(same.data(), text.size(), shift, direction, same.data());
    FUZZ_CHECK(keptInPlace == kept && memcmp(same.data(), out.data(), kept + 1) == 0);
    return std::string(out.data(), kept);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 5) return 0;
    uint32_t bits = (uint32_t)data[0] | (uint32_t)data[1] << 8 | (uint32_t)data[2] << 16 |
                    (uint32_t)data[3] << 24;
    int32_t shift;
    memcpy(&shift, &bits, sizeof shift);
    uint8_t direction = data[4];
    std::string text((const char*)data + 5, size - 5);

    std::string result = DecodeChecked(text, shift, direction);
    if (direction > 1) {
        FUZZ_CHECK(result.empty());
        return 0;
    }
    FUZZ_CHECK(result == Reference(text, direction == 0 ? (int64_t)shift : -(int64_t)shift));

    // Enciphering and deciphering again gives the text back, less the bytes
    // that one of the two turned into 0: a zero byte, and a byte equal to
    // 256 minus the shift.
    std::string cipher = DecodeChecked(text, shift, 0);
    std::string kept;
    for (unsigned char c : text)
        if (c != 0 && ((int64_t)c + shift) % 256 != 0) kept += (char)c;
    FUZZ_CHECK(DecodeChecked(cipher, shift, 1) == kept);
    return 0;
}

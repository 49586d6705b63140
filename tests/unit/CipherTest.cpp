#include "builder/Cipher.h"
#include <gtest/gtest.h>
#include <stdint.h>
#include <string>

static std::string DecodeText(const std::string& text, int32_t shift, uint8_t direction) {
    std::string out(text.size() + 1, 'z');
    size_t length = Decode(text.data(), text.size(), shift, direction, &out[0]);
    EXPECT_EQ('\0', out[length]) << "no terminating zero";
    return out.substr(0, length);
}

TEST(Cipher, EncipherThenDecipherGivesTheTextBackForAnyShift) {
    std::string all;
    for (int c = 1; c <= 255; c++) all += (char)c;
    const int32_t shifts[] = {0,    1,    187,    255,       256,       443,          -1,
                              -187, -256, 100000, INT32_MAX, INT32_MIN, INT32_MIN + 1};
    for (int32_t shift : shifts) {
        // The byte each plain byte becomes, by plain wide arithmetic.
        std::string expectedCipher, expectedPlain;
        for (char c : all) {
            int64_t r = (((int64_t)(uint8_t)c + shift) % 256 + 256) % 256;
            if (r == 0) continue;
            expectedCipher += (char)r;
            expectedPlain += c;
        }
        std::string cipher = DecodeText(all, shift, 0);
        EXPECT_EQ(expectedCipher, cipher) << "shift " << shift;
        EXPECT_EQ(expectedPlain, DecodeText(cipher, shift, 1)) << "shift " << shift;
    }
}

TEST(Cipher, StoredByteEqualToTheShiftIsDroppedAndItsNeighboursJoin) {
    struct Case {
        std::string stored;
        int32_t shift;
        std::string plain;
    } cases[] = {
        {"\x03\xbb\x24", 187, "Hi"}, // 'H' and 'i' enciphered, 187 between them
        {"\xbb\xbb\xbb", 187, ""},     {"\xbb\x03", 187, "H"},
        {"\x01\x02\x01", 1, "\x01"},   // every 1 goes
        {"\x05\x06", 5 + 256, "\x01"}, // the shift counts modulo 256
        {"\x05\x06", -251, "\x01"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.plain, DecodeText(c.stored, c.shift, 1)) << c.shift;
    // Enciphering drops the byte that becomes 0 in the same way.
    EXPECT_EQ("\x03\x24", DecodeText("HEi", 187, 0));
}

TEST(Cipher, OtherDirectionsGiveTheEmptyText) {
    for (int direction : {2, 3, 127, 128, 255}) {
        EXPECT_EQ("", DecodeText("any text", 187, (uint8_t)direction)) << direction;
        EXPECT_EQ("", DecodeText("", 0, (uint8_t)direction)) << direction;
    }
    EXPECT_EQ("", DecodeText("", 187, 1));
}

TEST(Cipher, DecipheringInPlaceMatchesASeparateBuffer) {
    std::string stored = "\x03\xbb\x24\xdc\xbb\xbb\x09";
    std::string separate = DecodeText(stored, 187, 1);
    std::string buffer = stored + '\0';
    size_t length = Decode(&buffer[0], stored.size(), 187, 1, &buffer[0]);
    EXPECT_EQ(separate, buffer.substr(0, length));
    EXPECT_EQ('\0', buffer[length]);
}

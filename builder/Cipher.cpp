#include "builder/Cipher.h"

size_t Decode(const char* text, size_t length, int32_t shift, uint8_t direction, char* out) {
    size_t kept = 0;
    if (direction == 0 || direction == 1) {
        // Only the low 8 bits of the sum are kept, so the sum is taken modulo 2^32:
        // any shift works, however large, without overflow.
        uint32_t step = direction == 0 ? (uint32_t)shift : 0u - (uint32_t)shift;
        for (size_t i = 0; i < length; i++) {
            uint8_t r = (uint8_t)((uint8_t)text[i] + step);
            if (r != 0) out[kept++] = (char)r;
        }
    }
    out[kept] = 0;
    return kept;
}

#include "authoring/scan/ScanText.h"

int ScanUtf8Cut(ScanUtf8* u, uint32_t* c, ScanPos* start, ScanPos* end) {
    if (!u->need) return 0;
    u->need = 0;
    *c = ScanBroken;
    *start = u->start;
    *end = ScanPos{u->last.line, u->last.column + 1};
    return 1;
}

int ScanUtf8Byte(ScanUtf8* u, bool ansi, unsigned char b, ScanPos at, uint32_t* c, ScanPos* start,
                 ScanPos* end, bool* again) {
    *again = false;
    *start = at;
    *end = ScanPos{at.line, at.column + 1};
    if (ansi) {
        *c = b < 0x80 ? b : ScanAnsiBase + b;
        return 1;
    }
    if (u->need) {
        if ((b & 0xC0) != 0x80) {
            // the sequence breaks off: it counts as one broken character, and the byte is read again
            *again = true;
            return ScanUtf8Cut(u, c, start, end);
        }
        u->value = (u->value << 6) | (b & 0x3F);
        u->last = at;
        if (++u->have < u->need) return 0;
        u->need = 0;
        static const uint32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
        uint32_t v = u->value;
        bool broken = v < kLeast[u->have] || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF);
        *c = broken ? ScanBroken : v;
        *start = u->start;
        return 1;
    }
    if (b < 0x80) {
        *c = b;
        return 1;
    }
    int need = b >= 0xC2 && b <= 0xDF ? 1 : b >= 0xE0 && b <= 0xEF ? 2 : b >= 0xF0 && b <= 0xF4 ? 3 : 0;
    if (!need) {
        *c = ScanBroken;
        return 1;
    }
    u->need = (unsigned char)need;
    u->have = 0;
    u->value = b & (0x3F >> need);
    u->start = u->last = at;
    return 0;
}

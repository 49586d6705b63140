#include "builder/Settings.h"
#include "builder/Cipher.h"
#include "base/TextRules.h"
#include "base/Texts.h"
#include "files/File.h"

static Text gValues[SettingsCount + 1]; // 1 to 10; entry 0 stays unset
static Text gPageWidth;
static Text gPageHeight;

static int SettingsStoreNumber(Text* text, int32_t number) {
    char digits[TextNumberMax + 1];
    size_t length = TextFromNumber(number, digits);
    return TextSet(text, digits, length);
}

// The adjusted size wraps like a signed 32-bit sum: a huge adjustment gives a
// negative size rather than undefined arithmetic.
static int32_t SettingsAdd(int32_t a, int32_t b) {
    return (int32_t)((uint32_t)a + (uint32_t)b);
}

int SettingsRead() {
    return SettingsReadFile("data/1013.dat", GetSystemMetrics(SM_CXSCREEN),
                            GetSystemMetrics(SM_CYSCREEN));
}

int SettingsReadFile(const char* path, int32_t screenWidth, int32_t screenHeight) {
    if (!FileOpenRead(0, path)) return 0;
    int ok = 1;
    for (int32_t n = 1; n <= SettingsCount && ok; n++) {
        size_t length = 0;
        char* line = FileReadLine(&length);
        // A line that can't be held is a failed read: a shorter one would shift
        // every value after it.
        if (!line) {
            ok = 0;
            break;
        }
        size_t trimmedLength = 0;
        char* trimmed = (char*)TextTrim(line, length, &trimmedLength);
        // Deciphering never lengthens a text, so it runs in place.
        size_t plainLength = Decode(trimmed, trimmedLength, SettingsShift, 1, trimmed);
        ok = TextSet(&gValues[n], trimmed, plainLength);
        if (ok && n == 2) {
            ok = SettingsStoreNumber(&gPageWidth, screenWidth) &&
                 SettingsStoreNumber(&gPageHeight, screenHeight);
        }
    }
    if (ok) {
        int32_t width =
            SettingsAdd(TextToNumber(TextGet(&gPageWidth)), TextToNumber(TextGet(&gValues[9])));
        int32_t height =
            SettingsAdd(TextToNumber(TextGet(&gPageHeight)), TextToNumber(TextGet(&gValues[10])));
        ok = SettingsStoreNumber(&gPageWidth, width) && SettingsStoreNumber(&gPageHeight, height);
    }
    FileClose(0);
    return ok;
}

const char* SettingsValue(int32_t n) {
    if (n < 1 || n > SettingsCount) return "";
    return TextGet(&gValues[n]);
}

const char* SettingsPageWidth() {
    return TextGet(&gPageWidth);
}
const char* SettingsPageHeight() {
    return TextGet(&gPageHeight);
}

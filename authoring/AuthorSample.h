// The sample presentation, taken into the tool when it is built: the files of
// the sample's data folder and the plain form of its settings.
#pragma once
#include <stddef.h>

struct SampleFile {
    const char* name; // "1010.dat" ..., "pictures/logo.png" in a subfolder
    const char* bytes;
    size_t length;
};

extern const SampleFile kSampleFiles[];
extern const size_t kSampleFileCount;
// The plain settings, one value a line; null bytes when the sample has none.
extern const SampleFile kSampleSettings;

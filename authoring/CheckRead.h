// check's reading of the seven fragments with the values between them, in the
// page's order: each fragment as the presenter reads it and, line by line as
// its author wrote it, through the page scanner. Pure byte rules, free of
// platform calls.
//   CheckRead          every finding, in the order of the page, to `take`: the
//                      fragment's name ("data/1010.dat" ...), its 1-based line,
//                      the column (0 for none) and the message
//   CheckFragmentName  "data/1010.dat", "data/1011.dat", "data/1015.dat" ...
//                      "data/1019.dat" for fragments 0 to 6
#pragma once
#include <stddef.h>
#include <stdint.h>

enum { CheckFragmentCount = 7, CheckMessageMax = 1024 };

struct CheckFile {
    const char* bytes; // may be null when `length` is 0
    size_t length;
    const char* fault; // why the file could not be read, or null when it was
};

struct CheckValues {
    const char* width;
    const char* height;
    const char* insert;
};

typedef void (*CheckTake)(void* context, const char* name, int32_t line, size_t column,
                          const char* message);

void CheckRead(const CheckFile files[CheckFragmentCount], const CheckValues& values, CheckTake take,
               void* context);
const char* CheckFragmentName(int fragment);

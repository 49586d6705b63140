// check's reading of the seven fragments with the values between them, in the
// page's order: the fragments as the presenter reads them (the end marker,
// the lines after it, lines nearly the marker) and the page they make, as
// written and as the presenter joins it, held side by side by the join's
// judge. Pure byte rules, free of platform calls.
//   CheckRead          every finding, in the order of the page, to `take`: the
//                      fragment's name ("data/1010.dat" ...), its 1-based line,
//                      the column (0 for none) and the message
//   CheckReadFindings  the same, each with what kind of finding it is and where
//                      it stands in the written page
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

struct CheckFinding {
    const char* name;
    int32_t line;
    size_t column;
    const char* message;
    // What the presenter's browser control does with the page whatever the join
    // does (syntax newer than its engine, a module, no document mode), as
    // against what the files or the join do.
    bool engine;
    size_t pageAt; // its byte in the page as written (values in), or (size_t)-1
};

typedef void (*CheckFindingTake)(void* context, const CheckFinding* finding);

void CheckRead(const CheckFile files[CheckFragmentCount], const CheckValues& values, CheckTake take,
               void* context);
void CheckReadFindings(const CheckFile files[CheckFragmentCount], const CheckValues& values,
                       CheckFindingTake take, void* context);
const char* CheckFragmentName(int fragment);

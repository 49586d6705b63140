// The fragments read as the presenter reads them, with the values between
// them, make the page as its author wrote it (line ends and all) and mark
// what the presenter's join takes away; the join's judge then says where that
// changes the page. Each byte of the written page knows its file, line and
// column, so that a finding names the place the author wrote.
#include "authoring/CheckRead.h"
#include "authoring/CheckWords.h"
#include "authoring/MarkerNear.h"
#include "builder/PageRules.h"
#include "base/TextRules.h"
#include "files/LineSplit.h"
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static const char* const kFragmentNames[CheckFragmentCount] = {
    "data/1010.dat", "data/1011.dat", "data/1015.dat", "data/1016.dat",
    "data/1017.dat", "data/1018.dat", "data/1019.dat"};

const char* CheckFragmentName(int fragment) {
    return kFragmentNames[fragment];
}

// Where a stretch of the written page comes from: from `at` on, the bytes of
// a fragment's line from `column` on, or a value (`value`: every byte of it
// stands at `column`, just past the line it follows).
struct Stretch {
    size_t at;
    int fragment;
    int32_t line;
    size_t column;
    const char* value; // what the value is ("the insert text"), or null
};

struct Found {
    int fragment;
    int32_t line;
    size_t column, order, pageAt;
    bool engine;
    char* message;
};

struct Reading {
    char* bytes; // the written page
    unsigned char* removed;
    size_t length, room;
    Stretch* stretches;
    size_t stretchCount, stretchRoom;
    Found* found;
    size_t foundCount, foundRoom;
    bool failed, missing;
};

static bool Grow(Reading* r, void** array, size_t* room, size_t need, size_t size) {
    if (need <= *room) return true;
    size_t grown = *room ? *room : 64;
    while (grown < need && grown <= (size_t)-1 / 4 / size) grown *= 2;
    void* bytes = grown >= need ? realloc(*array, grown * size) : nullptr;
    if (!bytes) {
        r->failed = true;
        return false;
    }
    *array = bytes;
    *room = grown;
    return true;
}

static void Tell(Reading* r, int fragment, int32_t line, size_t column, bool engine, size_t pageAt,
                 const char* format, ...) __attribute__((format(printf, 7, 8)));

static void Tell(Reading* r, int fragment, int32_t line, size_t column, bool engine, size_t pageAt,
                 const char* format, ...) {
    char message[CheckMessageMax];
    va_list arguments;
    va_start(arguments, format);
    vsnprintf(message, sizeof message, format, arguments);
    va_end(arguments);
    size_t length = strlen(message) + 1;
    char* kept = (char*)malloc(length);
    if (!kept || !Grow(r, (void**)&r->found, &r->foundRoom, r->foundCount + 1, sizeof(Found))) {
        free(kept);
        r->failed = true;
        return;
    }
    memcpy(kept, message, length);
    r->found[r->foundCount] = {fragment, line, column, r->foundCount, pageAt, engine, kept};
    r->foundCount++;
}

static void Append(Reading* r, const char* bytes, size_t length, bool removed) {
    if (!length) return;
    size_t room = r->room;
    if (!Grow(r, (void**)&r->bytes, &r->room, r->length + length, 1)) return;
    if (r->room != room || !r->removed) {
        unsigned char* marks = (unsigned char*)realloc(r->removed, r->room);
        if (!marks) {
            r->failed = true;
            r->room = room;
            return;
        }
        r->removed = marks;
    }
    memcpy(r->bytes + r->length, bytes, length);
    memset(r->removed + r->length, removed ? 1 : 0, length);
    r->length += length;
}

// A line end as the author meant it: a zero byte ends a line as LF does.
static void AppendEnd(Reading* r, const char* end, size_t length) {
    for (size_t i = 0; i < length; i++) Append(r, end[i] ? end + i : "\n", 1, true);
}

static void Stretched(Reading* r, int fragment, int32_t line, size_t column, const char* value) {
    if (!Grow(r, (void**)&r->stretches, &r->stretchRoom, r->stretchCount + 1, sizeof(Stretch)))
        return;
    r->stretches[r->stretchCount++] = {r->length, fragment, line, column, value};
}

// One line of a fragment into the written page: the spaces at its ends are
// the trim's.
static void AppendLine(Reading* r, int fragment, int32_t line, const char* text, size_t length) {
    Stretched(r, fragment, line, 1, nullptr);
    size_t kept = 0;
    const char* trimmed = TextTrim(text, length, &kept);
    size_t lead = kept ? (size_t)(trimmed - text) : length;
    Append(r, text, lead, true);
    Append(r, trimmed, kept, false);
    Append(r, trimmed + kept, length - lead - kept, true);
}

// A fragment as the presenter reads it; what follows it in the page (a value)
// stands just past its last line read, `*lastLine` and `*lastColumn`.
static void ReadFragment(Reading* r, int fragment, const CheckFile& file, int32_t* lastLine,
                         size_t* lastColumn) {
    *lastLine = 1;
    *lastColumn = 1;
    if (file.fault) {
        Tell(r, fragment, 1, 0, false, (size_t)-1,
             "%s: the presenter stops with \"Error: can't read the file\"", file.fault);
        r->missing = true;
        return;
    }
    bool oneLine = fragment == 1, toldAfter = false;
    int32_t line = 0, markerLine = 0;
    const char* pendingEnd = nullptr; // the line end of the last line read, not yet in the page
    size_t pendingLength = 0;
    for (size_t at = 0; at < file.length;) {
        LineEnd end = LineSplit(file.bytes + at, file.length - at, true);
        const char* text = file.bytes + at;
        at += end.consumed;
        line++;
        size_t trimmedLength = 0;
        const char* trimmed = TextTrim(text, end.length, &trimmedLength);
        if (oneLine ? line > 1 : markerLine > 0) {
            if (trimmedLength > 0 && !toldAfter) {
                if (oneLine)
                    Tell(r, fragment, line, 0, false, (size_t)-1,
                         "only the first line of this file is read: this line and those after "
                         "it never reach the page");
                else
                    Tell(r, fragment, line, 0, false, (size_t)-1,
                         "after the end marker of line %d: this line and those after it are "
                         "never read",
                         markerLine);
                toldAfter = true;
            }
            continue;
        }
        if (!oneLine && PageLineIsEndMarker(trimmed, trimmedLength)) {
            markerLine = line;
            continue;
        }
        const char* why = oneLine ? nullptr : CheckNearMarker(trimmed, trimmedLength);
        if (why)
            Tell(r, fragment, line, 0, false, (size_t)-1,
                 "nearly the end marker \"codebase random>\" but not it (%s): it goes into the "
                 "page like any line, and the fragment does not end here",
                 why);
        if (pendingEnd) AppendEnd(r, pendingEnd, pendingLength);
        AppendLine(r, fragment, line, text, end.length);
        pendingEnd = text + end.length;
        pendingLength = end.consumed - end.length;
        *lastLine = line;
        *lastColumn = end.length + 1;
    }
    if (!oneLine && markerLine == 0)
        Tell(r, fragment, line + 1, 0, false, (size_t)-1,
             "no end marker line \"codebase random>\": the fragment runs to the end of the file");
}

// The file, line and column of a byte of the written page.
static const Stretch& StretchOf(const Reading* r, size_t at, size_t* column) {
    size_t low = 0, high = r->stretchCount;
    while (high - low > 1) {
        size_t middle = low + (high - low) / 2;
        if (r->stretches[middle].at <= at) low = middle;
        else high = middle;
    }
    const Stretch& s = r->stretches[low];
    *column = s.value ? s.column : s.column + (at - s.at);
    return s;
}

static void JoinFound(void* context, const JoinFinding* f) {
    Reading* r = (Reading*)context;
    if (!r->stretchCount) return;
    size_t cutEnd = f->at;
    bool lineEnd = false;
    while (f->cut != (size_t)-1 && cutEnd < r->length && r->removed[cutEnd]) {
        lineEnd = lineEnd || r->bytes[cutEnd] == '\n' || r->bytes[cutEnd] == '\r';
        cutEnd++;
    }
    // spaces only, at a fragment's end or start: the value they stand beside
    const char* value = nullptr;
    size_t column = 0;
    if (f->cut != (size_t)-1 && !lineEnd) {
        value = StretchOf(r, cutEnd < r->length ? cutEnd : r->length - 1, &column).value;
        if (!value && f->at) value = StretchOf(r, f->at - 1, &column).value;
        if (!value) value = "a value";
    }
    char message[CheckMessageMax];
    CheckJoinWords(*f, r->bytes, r->length, cutEnd, value, message);
    if (f->kind == JoinNoDocumentMode) {
        // the presenter stops before it shows anything when a file is missing
        if (!r->missing) Tell(r, 0, 1, 0, true, (size_t)-1, "%s", message);
        return;
    }
    const Stretch& s = StretchOf(r, f->at < r->length ? f->at : r->length - 1, &column);
    Tell(r, s.fragment, s.line, column, f->kind >= JoinNewer, f->at, "%s", message);
}

static int FoundOrder(const void* a, const void* b) {
    const Found& x = *(const Found*)a;
    const Found& y = *(const Found*)b;
    if (x.fragment != y.fragment) return x.fragment < y.fragment ? -1 : 1;
    if (x.line != y.line) return x.line < y.line ? -1 : 1;
    if (x.column != y.column) return x.column < y.column ? -1 : 1;
    return x.order < y.order ? -1 : x.order > y.order;
}

void CheckReadFindings(const CheckFile files[CheckFragmentCount], const CheckValues& values,
                       CheckFindingTake take, void* context) {
    Reading r;
    memset(&r, 0, sizeof r);
    // The page's pieces in order: a fragment (0 to 6), or a value (-1).
    static const char kWidth[] = "the page width", kHeight[] = "the page height",
                      kInsert[] = "the insert text";
    const struct {
        int fragment;
        const char* value;
        const char* name;
    } pieces[] = {{0, nullptr, nullptr},       {-1, values.width, kWidth},
                  {1, nullptr, nullptr},       {-1, values.height, kHeight},
                  {2, nullptr, nullptr},       {-1, values.insert, kInsert},
                  {3, nullptr, nullptr},       {-1, values.insert, kInsert},
                  {4, nullptr, nullptr},       {-1, values.width, kWidth},
                  {5, nullptr, nullptr},       {-1, values.height, kHeight},
                  {6, nullptr, nullptr}};
    int fragment = 0;
    int32_t lastLine = 1;
    size_t lastColumn = 1;
    for (const auto& piece : pieces) {
        if (piece.fragment >= 0) {
            fragment = piece.fragment;
            ReadFragment(&r, fragment, files[fragment], &lastLine, &lastColumn);
            continue;
        }
        const char* value = piece.value ? piece.value : "";
        Stretched(&r, fragment, lastLine, lastColumn, piece.name);
        Append(&r, value, strlen(value), false);
    }
    JoinPage page = {r.bytes ? r.bytes : "", r.length, r.removed};
    if (!r.failed && !JoinJudge(&page, JoinFound, &r)) r.failed = true;
    if (r.foundCount) qsort(r.found, r.foundCount, sizeof(Found), FoundOrder);
    for (size_t i = 0; i < r.foundCount; i++) {
        const Found& f = r.found[i];
        CheckFinding finding = {kFragmentNames[f.fragment], f.line, f.column,
                                f.message ? f.message : "", f.engine, f.pageAt};
        take(context, &finding);
        free(f.message);
    }
    // told last and kept nowhere, so that it needs no memory
    if (r.failed) {
        CheckFinding finding = {kFragmentNames[0], 1, 0,
                                "check ran out of memory: the page was not read whole, and what "
                                "the join does to it is not all told",
                                false, (size_t)-1};
        take(context, &finding);
    }
    free(r.found);
    free(r.bytes);
    free(r.removed);
    free(r.stretches);
}

struct Plain {
    CheckTake take;
    void* context;
};

static void PlainTake(void* context, const CheckFinding* f) {
    Plain* plain = (Plain*)context;
    plain->take(plain->context, f->name, f->line, f->column, f->message);
}

void CheckRead(const CheckFile files[CheckFragmentCount], const CheckValues& values, CheckTake take,
               void* context) {
    Plain plain = {take, context};
    CheckReadFindings(files, values, PlainTake, &plain);
}

// The fragments read as the presenter reads them and, line by line as their
// author wrote them, through the page scanner: a script or a paragraph may
// start in one file and end in another, with a value between them.
#include "authoring/CheckRead.h"
#include "authoring/AuthorEscape.h"
#include "authoring/MarkerNear.h"
#include "authoring/PageScan.h"
#include "builder/PageRules.h"
#include "base/TextRules.h"
#include "files/LineSplit.h"
#include <stdarg.h>
#include <stdio.h>
#include <string.h>

static const char* const kFragmentNames[CheckFragmentCount] = {
    "data/1010.dat", "data/1011.dat", "data/1015.dat", "data/1016.dat",
    "data/1017.dat", "data/1018.dat", "data/1019.dat"};

const char* CheckFragmentName(int fragment) {
    return kFragmentNames[fragment];
}

struct CheckSink {
    CheckTake take;
    void* context;
};

static void Report(const CheckSink& sink, const char* name, int32_t line, size_t column,
                   const char* format, ...) __attribute__((format(printf, 5, 6)));

static void Report(const CheckSink& sink, const char* name, int32_t line, size_t column,
                   const char* format, ...) {
    char message[CheckMessageMax];
    va_list arguments;
    va_start(arguments, format);
    vsnprintf(message, sizeof message, format, arguments);
    va_end(arguments);
    sink.take(sink.context, name, line, column, message);
}

// A word of the page as a report shows it: at most 24 bytes, control bytes escaped.
static void WordShown(const char* bytes, size_t length, bool fromEnd, char* out) {
    size_t n = length < 24 ? length : 24;
    AuthorEscape(fromEnd ? bytes + length - n : bytes, n, out);
}

static size_t WordBack(const char* line, size_t length, const char* stops) {
    size_t n = 0;
    if (length && line[length - 1] == '>') { // a tag: all of it
        while (n < length && line[length - n - 1] != '<') n++;
        return n < length ? n + 1 : n;
    }
    while (n < length && !strchr(stops, line[length - n - 1])) n++;
    return n ? n : (length ? 1 : 0);
}

static size_t WordAhead(const char* next, size_t length) {
    size_t n = 0;
    while (n < length && next[n] != ' ' && next[n] != '\t' && next[n] != '<' && next[n] != '=')
        n++;
    return n ? n : (length ? 1 : 0);
}

static void JoinReport(const CheckSink& sink, const char* name, int32_t line, const ScanJoin& join,
                       const char* text, size_t length, const char* next, size_t nextLength) {
    static const char* const kGlued[] = {
        "", "the line end is the only space between two words of the text",
        "the line end is the only space in a tag between", "the line end is the only space in "
        "an attribute value between", "the line end is the only space in a script or style "
        "sheet between"};
    if (join.finding >= FindGlued && join.finding <= FindGluedCode) {
        size_t trimmed = 0;
        const char* line0 = TextTrim(text, length, &trimmed);
        char before[4 * 24 + 1], after[4 * 24 + 1];
        WordShown(next, WordAhead(next, nextLength), false, after);
        size_t back = WordBack(line0, trimmed, join.finding == FindGluedTag ? " \t<" : " \t>\"'");
        WordShown(line0 + trimmed - back, back, true, before);
        Report(sink, name, line, join.column, "%s \"%s\" and \"%s\": joined, they run together",
               kGlued[join.finding], before, after);
        return;
    }
    static const char* const kOther[] = {
        "the line breaks inside <pre>, <listing>, <textarea> or <xmp> are lost: the join runs "
        "its lines together",
        "a // comment in a script: joined, everything after it up to </script> is comment "
        "too, and the script silently does less",
        "the script needs this line end: joined to the next line, the statement goes on into it",
        "a string goes on past this line end: the join takes the line end out of it",
        "a template literal holds this line break: the join takes it out"};
    Report(sink, name, line, join.column, "%s", kOther[join.finding - FindBreakLost]);
}

struct FragmentLines {
    const char* bytes;
    size_t length;
    bool oneLine;
};

// The next line from `from` that holds more than spaces, trimmed, within the
// fragment: none past the end marker or the end of the file. `stop` is where
// the search ended, so that the lines up to it need no second search.
static const char* NextFilled(const FragmentLines& file, size_t from, size_t* nextLength,
                              size_t* stop) {
    size_t at = from;
    while (at < file.length && !file.oneLine) {
        LineEnd end = LineSplit(file.bytes + at, file.length - at, true);
        size_t trimmed = 0;
        const char* line = TextTrim(file.bytes + at, end.length, &trimmed);
        if (PageLineIsEndMarker(line, trimmed)) break;
        if (trimmed) {
            *stop = at;
            *nextLength = trimmed;
            return line;
        }
        at += end.consumed;
    }
    *stop = at;
    *nextLength = 0;
    return nullptr;
}

static void CheckFragment(const CheckSink& sink, PageScan* scan, const char* name, bool oneLine,
                          const CheckFile& source) {
    const char* bytes = source.bytes;
    size_t length = source.length;
    if (source.fault) {
        Report(sink, name, 1, 0, "%s: the presenter stops with \"Error: can't read the file\"",
               source.fault);
        return;
    }
    ScanNewFile(scan);
    FragmentLines file = {bytes, length, oneLine};
    int32_t line = 0, markerLine = 0;
    bool toldAfter = false;
    size_t searched = 0, nextLength = 0; // the look-ahead holds for the lines before `searched`
    const char* next = nullptr;
    for (size_t at = 0; at < length;) {
        LineEnd end = LineSplit(bytes + at, length - at, true);
        const char* text = bytes + at;
        at += end.consumed;
        line++;
        size_t trimmedLength = 0;
        const char* trimmed = TextTrim(text, end.length, &trimmedLength);
        if (oneLine ? line > 1 : markerLine > 0) {
            if (trimmedLength > 0 && !toldAfter) {
                if (oneLine)
                    Report(sink, name, line, 0,
                           "only the first line of this file is read: this line and those "
                           "after it never reach the page");
                else
                    Report(sink, name, line, 0,
                           "after the end marker of line %d: this line and those after it "
                           "are never read",
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
            Report(sink, name, line, 0,
                   "nearly the end marker \"codebase random>\" but not it (%s): it goes "
                   "into the page like any line, and the fragment does not end here",
                   why);
        ScanFeed(scan, text, end.length);
        if (at > searched) next = NextFilled(file, at, &nextLength, &searched);
        if (!next) continue; // the fragment ends here: a value follows with nothing between
        ScanJoin join = ScanLineEnd(scan, next, nextLength);
        if (join.finding != FindNone)
            JoinReport(sink, name, line, join, text, end.length, next, nextLength);
    }
    if (!oneLine && markerLine == 0)
        Report(sink, name, line + 1, 0,
               "no end marker line \"codebase random>\": the fragment runs to the end of "
               "the file");
}

void CheckRead(const CheckFile files[CheckFragmentCount], const CheckValues& values, CheckTake take,
               void* context) {
    CheckSink sink = {take, context};
    PageScan scan;
    ScanStart(&scan, nullptr, nullptr);
    // The page's pieces in order: a fragment (0 to 6), or a value (-1).
    const struct {
        int fragment;
        const char* value;
    } pieces[] = {{0, nullptr}, {-1, values.width},  {1, nullptr}, {-1, values.height},
                  {2, nullptr}, {-1, values.insert}, {3, nullptr}, {-1, values.insert},
                  {4, nullptr}, {-1, values.width},  {5, nullptr}, {-1, values.height},
                  {6, nullptr}};
    for (const auto& piece : pieces) {
        if (piece.fragment < 0) {
            const char* value = piece.value ? piece.value : "";
            ScanFeedValue(&scan, value, strlen(value), 0);
        } else {
            CheckFragment(sink, &scan, kFragmentNames[piece.fragment], piece.fragment == 1,
                          files[piece.fragment]);
        }
    }
}

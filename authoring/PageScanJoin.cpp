#include "authoring/PageScan.h"
#include "authoring/PageScanModes.h"
#include <string.h>

// Whether `next` starts with the opening tag of an inline element.
static bool StartsInlineTag(const char* next, size_t length) {
    if (length < 2 || next[0] != '<') return false;
    char name[12];
    size_t n = 0;
    for (size_t i = 1; i < length && ScanIsLetter((unsigned char)next[i]); i++) {
        if (n == sizeof name) return false;
        name[n++] = ScanLower(next[i]);
    }
    return n && ScanIsInline(name, n);
}

static bool IsTextByte(unsigned char c) {
    return !ScanIsSpace(c) && c != '<' && c != '>';
}

// Whether the line ends with a reference to a line feed, which keeps its break.
static bool EndsWithBreak(const PageScan* scan) {
    const char* tail = scan->tail + sizeof scan->tail;
    return memcmp(tail - 5, "&#10;", 5) == 0 || memcmp(tail - 5, "&#xa;", 5) == 0 ||
           memcmp(tail - 5, "&#xA;", 5) == 0;
}

static ScanJoin TextJoin(PageScan* scan, const char* next, size_t nextLength, bool kept,
                         size_t column) {
    ScanJoin join = {scan->blank ? JoinFree : JoinSpace, FindNone, column};
    if (scan->pre) {
        join.kind = JoinBreak;
        if (!scan->breakTold && !scan->opened && !EndsWithBreak(scan))
            join.finding = FindBreakLost;
        scan->breakTold = join.finding != FindNone || scan->breakTold;
        return join;
    }
    if (scan->blank || kept || nextLength == 0) return join;
    unsigned char first = (unsigned char)next[0];
    bool word = IsTextByte((unsigned char)scan->last);
    if ((word && IsTextByte(first)) || (scan->last == '>' && scan->inlineTag && IsTextByte(first)) ||
        (word && StartsInlineTag(next, nextLength)))
        join.finding = FindGlued;
    return join;
}

ScanJoin ScanLineEnd(PageScan* scan, const char* next, size_t nextLength) {
    size_t column = scan->endColumn + 1;
    bool kept = scan->lastTab || (nextLength && next[0] == '\t');
    bool blank = scan->blank;
    ScanJoin join = {blank ? JoinFree : JoinSpace, FindNone, column};
    // The line end is the space that ends an end tag such as "</textarea": the
    // element ends here, and the line end is inside its end tag.
    if (ScanEndTagWaits(scan)) {
        scan->column++;
        ScanHtmlByte(scan, '\n');
        scan->column--;
    }
    switch (scan->mode) {
    case ModeText:
    case ModeTagOpen:
    case ModeEndTagOpen:
        join = TextJoin(scan, next, nextLength, kept, column);
        break;
    case ModeTagName:
    case ModeInTag:
    case ModeAttrName:
    case ModeAfterName:
    case ModeValueBare:
        if (blank || kept || nextLength == 0 || strchr(">/=", next[0]) || scan->last == '=')
            join.kind = JoinFree;
        else
            join.finding = FindGluedTag;
        break;
    case ModeBeforeValue:
        join.kind = JoinFree;
        break;
    case ModeValue1:
    case ModeValue2:
        join.kind = JoinBreak;
        if (!blank && nextLength && !kept && ScanIsWordByte((unsigned char)scan->last) &&
            ScanIsWordByte((unsigned char)next[0]))
            join.finding = FindGluedValue;
        break;
    case ModeRaw:
        if (scan->raw == RawScript || scan->raw == RawStyle) {
            join = ScriptLineEnd(&scan->script, next, nextLength, blank, column);
            if (kept && join.kind == JoinSpace) join.finding = FindNone;
        } else if (scan->raw == RawTextarea || scan->raw == RawXmp) {
            join.kind = JoinBreak;
            if (!scan->breakTold && !scan->opened && !EndsWithBreak(scan))
                join.finding = FindBreakLost;
            scan->breakTold = join.finding != FindNone || scan->breakTold;
        } else if (!blank && !kept && nextLength && IsTextByte((unsigned char)scan->last) &&
                   IsTextByte((unsigned char)next[0])) {
            join.finding = FindGlued;
        }
        break;
    default:
        break;
    }
    // The line end as the author meant it, one column past the line: it may
    // end a "</style" or "</script" at the end of the line.
    scan->column++;
    ScanHtmlByte(scan, '\n');
    scan->column = scan->endColumn = 0;
    scan->blank = true;
    scan->lastTab = false;
    scan->opened = false;
    memset(scan->tail, 0, sizeof scan->tail);
    return join;
}

ScanPlace ScanPlaceNow(const PageScan* scan) {
    switch (scan->mode) {
    case ModeText:
    case ModeTagOpen:
    case ModeEndTagOpen:
        return scan->pre ? ScanKept : ScanText;
    case ModeValue1:
    case ModeValue2:
        return ScanValue;
    case ModeMarkup:
    case ModeComment:
    case ModeDeclaration:
        return ScanComment;
    case ModeRaw:
        if (scan->raw == RawTextarea || scan->raw == RawXmp) return ScanKept;
        if (scan->raw == RawTitle) return ScanText;
        if (scan->script.place >= ScriptQuote1) return ScanScriptQuote;
        return scan->script.place == ScriptCode ? ScanScript : ScanComment;
    default:
        return ScanTag;
    }
}

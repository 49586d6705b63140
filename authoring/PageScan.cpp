#include "authoring/PageScan.h"
#include "authoring/PageScanModes.h"
#include <string.h>

static const char* const kRawNames[] = {"", "script", "style", "textarea", "title", "xmp"};

bool ScanIsSpace(unsigned char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool ScanIsWordByte(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c >= 0x80;
}

bool ScanIsLetter(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

char ScanLower(char c) {
    return c >= 'A' && c <= 'Z' ? (char)(c - 'A' + 'a') : c;
}

static bool NameIs(const char* name, size_t length, const char* const* list) {
    for (; *list; list++)
        if (strlen(*list) == length && memcmp(*list, name, length) == 0) return true;
    return false;
}

// Elements that sit in a line of text, so that a space beside them shows.
bool ScanIsInline(const char* name, size_t length) {
    static const char* const kInline[] = {
        "a",      "abbr", "b",    "bdi",    "bdo",  "button", "cite", "code", "data",
        "dfn",    "em",   "font", "i",      "img",  "input",  "kbd",  "label", "mark",
        "q",      "s",    "samp", "select", "small", "span",  "strike", "strong", "sub",
        "sup",    "time", "tt",   "u",      "var",  nullptr};
    return NameIs(name, length, kInline);
}

void ScanStart(PageScan* scan, ScanMarkTake mark, void* context) {
    memset(scan, 0, sizeof *scan);
    scan->blank = true;
    scan->mark = mark;
    scan->markContext = context;
}

void ScanNewFile(PageScan* scan) {
    scan->column = scan->endColumn = 0;
}

static void TagEnd(PageScan* scan) {
    size_t n = scan->nameLong ? 0 : scan->nameLength;
    scan->mode = ModeText;
    static const char* const kVoid[] = {"img", "input", nullptr};
    scan->inlineTag = ScanIsInline(scan->name, n) && (scan->endTag || NameIs(scan->name, n, kVoid));
    static const char* const kPre[] = {"pre", "listing", nullptr};
    if (NameIs(scan->name, n, kPre)) {
        if (!scan->endTag) {
            scan->pre++;
            scan->breakTold = false;
            scan->opened = true;
        } else if (scan->pre) {
            scan->pre--;
        }
        return;
    }
    if (scan->endTag) return;
    for (int kind = RawScript; kind <= RawXmp; kind++) {
        if (strlen(kRawNames[kind]) != n || memcmp(kRawNames[kind], scan->name, n) != 0) continue;
        scan->mode = ModeRaw;
        scan->raw = (unsigned char)kind;
        scan->endMatch = 0;
        scan->breakTold = false;
        scan->opened = true;
        if (kind == RawScript || kind == RawStyle) ScriptStart(&scan->script, kind == RawStyle);
        if (kind == RawScript && scan->mark)
            scan->mark(scan->markContext, ScanScriptOpened, scan->column);
        return;
    }
}

static void NameStart(PageScan* scan, unsigned char c, bool endTag) {
    scan->mode = ModeTagName;
    scan->endTag = endTag;
    scan->name[0] = ScanLower((char)c);
    scan->nameLength = 1;
    scan->nameLong = false;
}

bool ScanEndTagWaits(const PageScan* scan) {
    return scan->mode == ModeRaw && scan->endMatch == strlen(kRawNames[scan->raw]) + 2;
}

// Inside raw text: the byte goes to the script or style reader, and "</name"
// followed by a space, "/" or ">" ends the element whatever the reader thinks.
static void RawByte(PageScan* scan, unsigned char c) {
    const char* name = kRawNames[scan->raw];
    size_t length = strlen(name);
    if (scan->endMatch == length + 2) {
        if (ScanIsSpace(c) || c == '/' || c == '>') {
            if (scan->raw == RawScript && scan->mark)
                scan->mark(scan->markContext, ScanScriptClosed, scan->column - length - 2);
            memcpy(scan->name, name, length);
            scan->nameLength = (unsigned char)length;
            scan->nameLong = false;
            scan->endTag = true;
            scan->raw = RawNone;
            scan->mode = ModeInTag;
            if (c == '>') TagEnd(scan);
            return;
        }
        scan->endMatch = 0;
    }
    if (scan->raw == RawScript || scan->raw == RawStyle)
        ScriptByte(&scan->script, c, scan->column);
    if (c == '<')
        scan->endMatch = 1;
    else if (scan->endMatch == 1 && c == '/')
        scan->endMatch = 2;
    else if (scan->endMatch >= 2 && ScanLower((char)c) == name[scan->endMatch - 2])
        scan->endMatch++;
    else
        scan->endMatch = 0;
}

void ScanHtmlByte(PageScan* scan, unsigned char c) {
    switch (scan->mode) {
    case ModeText:
        if (c == '<') scan->mode = ModeTagOpen;
        return;
    case ModeTagOpen:
        if (ScanIsLetter(c))
            NameStart(scan, c, false);
        else if (c == '/')
            scan->mode = ModeEndTagOpen;
        else if (c == '!')
            scan->mode = ModeMarkup, scan->dashes = 0;
        else if (c == '?')
            scan->mode = ModeDeclaration;
        else
            scan->mode = c == '<' ? ModeTagOpen : ModeText;
        return;
    case ModeEndTagOpen:
        if (ScanIsLetter(c))
            NameStart(scan, c, true);
        else
            scan->mode = c == '>' ? ModeText : ModeDeclaration;
        return;
    case ModeTagName:
        if (ScanIsSpace(c) || c == '/')
            scan->mode = ModeInTag;
        else if (c == '>')
            TagEnd(scan);
        else if (scan->nameLength < sizeof scan->name)
            scan->name[scan->nameLength++] = ScanLower((char)c);
        else
            scan->nameLong = true;
        return;
    case ModeInTag:
    case ModeAttrName:
    case ModeAfterName:
        if (c == '>')
            TagEnd(scan);
        else if (c == '=' && scan->mode != ModeInTag)
            scan->mode = ModeBeforeValue;
        else if (ScanIsSpace(c))
            scan->mode = scan->mode == ModeAttrName ? (unsigned char)ModeAfterName : scan->mode;
        else if (c == '/')
            scan->mode = ModeInTag;
        else
            scan->mode = ModeAttrName;
        return;
    case ModeBeforeValue:
        if (c == '"')
            scan->mode = ModeValue2;
        else if (c == '\'')
            scan->mode = ModeValue1;
        else if (c == '>')
            TagEnd(scan);
        else if (!ScanIsSpace(c))
            scan->mode = ModeValueBare;
        return;
    case ModeValue1:
    case ModeValue2:
        if (c == (scan->mode == ModeValue1 ? '\'' : '"')) scan->mode = ModeInTag;
        return;
    case ModeValueBare:
        if (c == '>')
            TagEnd(scan);
        else if (ScanIsSpace(c))
            scan->mode = ModeInTag;
        return;
    case ModeMarkup:
        if (c == '-' && ++scan->dashes == 2)
            scan->mode = ModeComment, scan->dashes = 0;
        else if (c != '-')
            scan->mode = c == '>' ? ModeText : ModeDeclaration;
        return;
    case ModeComment:
        if (c == '>' && scan->dashes >= 2)
            scan->mode = ModeText;
        else
            scan->dashes = c == '-' ? scan->dashes + 1 : 0;
        return;
    case ModeDeclaration:
        if (c == '>') scan->mode = ModeText;
        return;
    case ModeRaw:
        RawByte(scan, c);
        return;
    }
}

static void ScanByte(PageScan* scan, unsigned char c) {
    scan->opened = false;
    ScanHtmlByte(scan, c);
    if (c == ' ') return;
    memmove(scan->tail, scan->tail + 1, sizeof scan->tail - 1);
    scan->tail[sizeof scan->tail - 1] = (char)c;
    scan->blank = false;
    scan->lastTab = c == '\t';
    if (!ScanIsSpace(c)) scan->last = (char)c;
}

void ScanFeed(PageScan* scan, const char* bytes, size_t length) {
    for (size_t i = 0; i < length; i++) {
        scan->column++;
        ScanByte(scan, (unsigned char)bytes[i]);
        if (bytes[i] != ' ') scan->endColumn = scan->column;
    }
}

void ScanFeedValue(PageScan* scan, const char* bytes, size_t length, size_t columns) {
    for (size_t i = 0; i < length; i++) ScanByte(scan, (unsigned char)bytes[i]);
    scan->column += columns;
    if (length) scan->endColumn = scan->column;
}


#include "authoring/ScriptScan.h"
#include <string.h>

// The kind of the last token of code, as far as a line end or a "/" needs it.
enum ScriptToken {
    TokenStart,      // nothing yet: the start of a statement
    TokenOpen,       // an operator, "(", "[", "{", ",", ";": the statement goes on
    TokenValue,      // a name, number, string or ")" / "]": it may end there
    TokenCloseBrace, // "}"
    TokenControl,    // if, for, while, with: a "(" follows
    TokenControlEnd, // the ")" after if (...) and the like: a statement follows
    TokenGoesOn,     // a keyword that wants more: else, typeof, new, in, ...
    TokenEnds,       // return, break, continue, throw, yield: a line end ends them
};

static bool IsWordByte(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           c == '_' || c == '$' || c >= 0x80;
}

static bool IsSpace(unsigned char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

static bool WordIs(const ScriptScan* scan, const char* const* list) {
    for (; *list; list++)
        if (strlen(*list) == scan->wordLength && memcmp(*list, scan->word, scan->wordLength) == 0)
            return true;
    return false;
}

static void WordFinish(ScriptScan* scan) {
    if (scan->wordLength == 0) return;
    static const char* const kEnds[] = {"return", "break", "continue", "throw", "yield", nullptr};
    static const char* const kControl[] = {"if", "for", "while", "with", nullptr};
    static const char* const kGoesOn[] = {
        "else",   "do",     "in",   "of",   "instanceof", "typeof", "new",    "delete",
        "void",   "case",   "var",  "let",  "const",      "await",  "extends", "try",
        "finally", "export", "import", "async", "function", "class", nullptr};
    if (scan->wordLong || (scan->word[0] >= '0' && scan->word[0] <= '9'))
        scan->token = TokenValue;
    else if (WordIs(scan, kEnds))
        scan->token = TokenEnds;
    else if (WordIs(scan, kControl))
        scan->token = TokenControl;
    else if (WordIs(scan, kGoesOn))
        scan->token = TokenGoesOn;
    else
        scan->token = TokenValue;
    scan->wordLength = 0;
    scan->wordLong = false;
}

void ScriptStart(ScriptScan* scan, bool style) {
    memset(scan, 0, sizeof *scan);
    scan->style = style;
}

// Whether a "/" at this point starts a regular expression rather than a division.
static bool RegexMayStart(const ScriptScan* scan) {
    return scan->token != TokenValue;
}

static void CodeByte(ScriptScan* scan, unsigned char c, size_t column) {
    if (scan->slash) {
        scan->slash = false;
        if (c == '/' && !scan->style) {
            scan->place = ScriptLineComment;
            scan->commentColumn = scan->slashColumn;
            return;
        }
        if (c == '*') {
            scan->place = ScriptBlockComment;
            scan->star = false;
            return;
        }
        if (!scan->style && RegexMayStart(scan)) {
            scan->place = ScriptRegex;
            scan->escape = false;
            if (c == '\\') scan->escape = true;
            if (c == '[') scan->place = ScriptRegexClass;
            return;
        }
        scan->token = TokenOpen;
    }
    if (IsWordByte(c)) {
        if (scan->wordLength < sizeof scan->word)
            scan->word[scan->wordLength++] = (char)c;
        else
            scan->wordLong = true;
        scan->last = (char)c;
        return;
    }
    WordFinish(scan);
    if (IsSpace(c)) return;
    scan->last = (char)c;
    switch (c) {
    case '/':
        scan->slash = true;
        scan->slashColumn = column;
        return;
    case '\'':
        scan->place = ScriptQuote1;
        scan->escape = false;
        return;
    case '"':
        scan->place = ScriptQuote2;
        scan->escape = false;
        return;
    case '`':
        if (scan->style) break;
        scan->place = ScriptTemplate;
        scan->escape = scan->dollar = false;
        return;
    case '{':
        scan->depth++;
        scan->token = TokenOpen;
        return;
    case '}':
        if (scan->templateCount && scan->templates[scan->templateCount - 1] == scan->depth) {
            scan->templateCount--;
            scan->depth--;
            scan->place = ScriptTemplate;
            scan->escape = scan->dollar = false;
            return;
        }
        if (scan->depth) scan->depth--;
        scan->token = TokenCloseBrace;
        return;
    case '(':
        if (scan->parens < 64) {
            uint64_t bit = (uint64_t)1 << scan->parens;
            scan->controlParens = scan->token == TokenControl ? scan->controlParens | bit
                                                              : scan->controlParens & ~bit;
        }
        scan->parens++;
        scan->token = TokenOpen;
        return;
    case ')':
        if (scan->parens) scan->parens--;
        scan->token = scan->parens < 64 && (scan->controlParens >> scan->parens & 1)
                          ? TokenControlEnd
                          : TokenValue;
        return;
    case ']':
        scan->token = TokenValue;
        return;
    default:
        break;
    }
    scan->token = TokenOpen;
}

void ScriptByte(ScriptScan* scan, unsigned char c, size_t column) {
    switch (scan->place) {
    case ScriptCode:
        CodeByte(scan, c, column);
        return;
    case ScriptLineComment:
        return;
    case ScriptBlockComment:
        if (scan->star && c == '/') scan->place = ScriptCode;
        scan->star = c == '*';
        return;
    case ScriptQuote1:
    case ScriptQuote2:
        if (scan->escape) {
            scan->escape = false;
        } else if (c == '\\') {
            scan->escape = true;
        } else if (c == (scan->place == ScriptQuote1 ? '\'' : '"')) {
            scan->place = ScriptCode;
            scan->token = TokenValue;
        }
        return;
    case ScriptTemplate:
        if (scan->escape) {
            scan->escape = false;
        } else if (c == '\\') {
            scan->escape = true;
        } else if (c == '`') {
            scan->place = ScriptCode;
            scan->token = TokenValue;
        } else if (c == '{' && scan->dollar && scan->templateCount < 16) {
            scan->templates[scan->templateCount++] = ++scan->depth;
            scan->place = ScriptCode;
            scan->token = TokenOpen;
        }
        scan->dollar = c == '$';
        return;
    case ScriptRegex:
    case ScriptRegexClass:
        if (scan->escape) {
            scan->escape = false;
        } else if (c == '\\') {
            scan->escape = true;
        } else if (scan->place == ScriptRegexClass) {
            if (c == ']') scan->place = ScriptRegex;
        } else if (c == '[') {
            scan->place = ScriptRegexClass;
        } else if (c == '/') {
            scan->place = ScriptCode;
            scan->token = TokenValue; // its flags read as a name
        }
        return;
    }
}

static bool StartsNoCase(const char* text, size_t length, const char* word) {
    size_t n = strlen(word);
    if (length < n) return false;
    for (size_t i = 0; i < n; i++) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = (char)(c - 'A' + 'a');
        if (c != word[i]) return false;
    }
    return true;
}

// Whether a line that starts with `next` goes on with the statement before it,
// so that no semicolon is put in at the line end.
static bool LineContinues(const char* next, size_t length) {
    if (length == 0) return true;
    if (strchr(".)]},;?:=*/%&|^<>([`", next[0])) return true;
    if (next[0] == '+' || next[0] == '-') return length < 2 || next[1] != next[0];
    static const char* const kWords[] = {"in", "instanceof", "of"};
    for (const char* word : kWords) {
        size_t n = strlen(word);
        if (length > n && memcmp(next, word, n) == 0 && !IsWordByte((unsigned char)next[n]))
            return true;
    }
    return false;
}

// Two neighbours that read as one token once nothing stands between them.
static bool TokensGlue(char before, char after) {
    if (IsWordByte((unsigned char)before) && IsWordByte((unsigned char)after)) return true;
    return (before == after && strchr("+-/&|<>=", before)) || (before == '/' && after == '*');
}

static ScanJoin StyleLineEnd(ScriptScan* scan, const char* next, size_t nextLength, bool blank,
                             size_t column) {
    ScanJoin join = {blank ? JoinFree : JoinSpace, FindNone, column};
    bool ident = IsWordByte((unsigned char)scan->last) || scan->last == '-' ||
                 scan->last == '%' || scan->last == ')';
    if (!blank && scan->place == ScriptCode && nextLength && ident &&
        (IsWordByte((unsigned char)next[0]) || strchr("-#.*[", next[0])))
        join.finding = FindGluedCode;
    ScriptByte(scan, '\n', column);
    // A quote left open by the line end ends there, as a style sheet reads it.
    if (scan->place == ScriptQuote1 || scan->place == ScriptQuote2) scan->place = ScriptCode;
    return join;
}

ScanJoin ScriptLineEnd(ScriptScan* scan, const char* next, size_t nextLength, bool blank,
                       size_t column) {
    if (scan->style) return StyleLineEnd(scan, next, nextLength, blank, column);
    ScanJoin join = {blank ? JoinFree : JoinSpace, FindNone, column};
    bool ending = nextLength == 0 || StartsNoCase(next, nextLength, "</script");
    switch (scan->place) {
    case ScriptLineComment:
        if (!ending && !(nextLength >= 2 && next[0] == '/' && next[1] == '/'))
            join = {JoinLineEnd, FindLineComment, scan->commentColumn};
        scan->place = ScriptCode;
        return join;
    case ScriptQuote1:
    case ScriptQuote2:
        join = {JoinLineEnd, FindStringSpans, column};
        // Only a backslash before it carries a string past the line end.
        if (!scan->escape) scan->place = ScriptCode;
        scan->escape = false;
        return join;
    case ScriptTemplate:
        scan->dollar = false;
        return {JoinLineEnd, FindTemplateSpans, column};
    case ScriptRegex:
    case ScriptRegexClass:
        scan->place = ScriptCode;
        return join;
    case ScriptBlockComment:
        return join;
    default:
        break;
    }
    WordFinish(scan);
    if (scan->slash) {
        scan->slash = false;
        scan->token = TokenOpen;
    }
    if (blank || ending) return join;
    bool value = scan->token == TokenValue;
    bool needed = false;
    if (scan->token == TokenEnds)
        needed = next[0] != ';' && next[0] != '}';
    else if (nextLength >= 2 && (next[0] == '+' || next[0] == '-') && next[1] == next[0])
        needed = value;
    else if (value)
        needed = !LineContinues(next, nextLength);
    if (needed) return {JoinLineEnd, FindStatement, column};
    if (TokensGlue(scan->last, next[0])) join.finding = FindGluedCode;
    return join;
}

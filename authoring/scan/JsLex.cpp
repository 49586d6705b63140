#include "authoring/scan/JsLexInternal.h"
#include "authoring/scan/JsLexModes.h"
#include "authoring/scan/JsNewer.h"
#include <string.h>

bool JsIsSpace(uint32_t c) {
    if (c < 0x80) return c == ' ' || c == '\t' || c == 0x0B || c == 0x0C;
    return c == 0xA0 || c == 0xFEFF || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) ||
           c == 0x202F || c == 0x205F || c == 0x3000;
}

bool JsIsNameStart(uint32_t c) {
    if (c < 0x80) return ((c | 0x20) >= 'a' && (c | 0x20) <= 'z') || c == '$' || c == '_';
    return c != JsBroken && !JsIsSpace(c) && !JsIsLineTerminator(c);
}

void JsHand(JsLex* x, int kind, int id, JsPos start, JsPos end) {
    JsToken token;
    memset(&token, 0, sizeof token);
    token.kind = (unsigned char)kind;
    token.id = (unsigned char)id;
    token.start = start;
    token.end = end;
    token.error = x->error;
    token.newline = x->newline;
    x->error = false;
    x->mode = ModeCode;
    if (x->newerHere) JsNewerNote(x, x->newerHere, start);
    x->newerHere = 0;
    if (kind != JsComment) {
        JsNewerToken(x, &token);
        JsContextToken(x, &token);
        x->newline = x->lineStart = false;
    } else if (id == JsCommentBlock && x->commentBreak) {
        // A comment that holds a line end ends a line as a line end does.
        x->newline = x->lineStart = true;
    }
    if (x->take) x->take(x->context, &token);
}

static void WordAdd(JsLex* x, uint32_t c) {
    if (c < 0x80 && x->wordLength < sizeof x->word)
        x->word[x->wordLength++] = (char)c;
    else
        x->wordOther = true;
}

static void NameEnd(JsLex* x) {
    int id = x->wordOther ? 0 : JsWordFind(x->word, x->wordLength);
    JsHand(x, x->quote ? JsPrivate : JsName, id, x->start, x->last);
}

static void NameStart(JsLex* x, uint32_t c, bool isPrivate) {
    x->mode = ModeName;
    x->quote = isPrivate;
    x->wordLength = 0;
    x->wordOther = isPrivate;
    if (c == '\\') {
        x->mode = ModeNameEscape;
        x->sub = 0;
        x->wordOther = true;
    } else {
        WordAdd(x, c);
    }
}

static bool IsHex(uint32_t c) {
    return (c >= '0' && c <= '9') || ((c | 0x20) >= 'a' && (c | 0x20) <= 'f');
}

// \u followed by four hex digits or by {hex}: sub counts what has been read.
static bool NameEscape(JsLex* x, uint32_t c) {
    if (x->sub == 0 && c == 'u') return x->sub = 1, true;
    if (x->sub == 1 && c == '{') return x->sub = 10, x->newerHere = JsNewerCodePoint, true;
    if (x->sub >= 1 && x->sub <= 4 && IsHex(c)) {
        if (++x->sub == 5) x->mode = ModeName;
        return true;
    }
    if (x->sub == 10 && IsHex(c)) return true;
    if (x->sub == 10 && c == '}') return x->mode = ModeName, true;
    x->error = true;
    x->mode = ModeName;
    return false;
}

// The first character of a token, or whitespace between tokens.
static void Begin(JsLex* x, uint32_t c, JsPos at, JsPos end) {
    bool first = !x->begun;
    x->begun = true;
    if (JsIsSpace(c)) return;
    if (JsIsLineTerminator(c)) {
        x->newline = x->lineStart = true;
        return;
    }
    x->start = at;
    x->last = end;
    if (c == '\\' || JsIsNameStart(c)) return NameStart(x, c, false);
    if (c == '#') {
        x->mode = ModeHash;
        x->sub = first && !x->handler;
        return;
    }
    if (c >= '0' && c <= '9') {
        x->mode = ModeNumber;
        x->sub = c == '0' ? NumZero : NumInt;
        return;
    }
    if (c == '"' || c == '\'') {
        x->mode = ModeString;
        x->quote = (unsigned char)c;
        x->escape = false;
        x->sub = 0;
        return;
    }
    if (c == '`' || (c == '}' && JsTemplateOpen(x))) {
        if (c == '}') JsTemplatePop(x);
        x->mode = ModeTemplate;
        x->quote = c == '`' ? JsTemplateOpens : 0;
        x->escape = false;
        x->sub = 0;
        return;
    }
    if (c == '/') {
        x->mode = ModeSlash;
        return;
    }
    if (JsPunctBegin(x, c, at, end)) return;
    JsHand(x, JsInvalid, 0, at, end);
}

static void StringUnit(JsLex* x, uint32_t c, JsPos at, JsPos end) {
    if (x->escape) {
        x->escape = false;
        x->last = end;
        // \u{ is a code point escape; CR LF after a backslash is one line continuation.
        x->sub = c == 'u' ? 1 : c == '\r' ? 2 : 0;
        return;
    }
    if (x->sub == 1 && c == '{') x->newerHere = JsNewerCodePoint;
    if (x->sub == 2 && c == '\n') {
        x->sub = 0;
        x->last = end;
        return;
    }
    x->sub = 0;
    if (c == '\\') {
        x->escape = true;
    } else if (c == x->quote) {
        x->last = end;
        return JsHand(x, JsString, 0, x->start, x->last);
    } else if (c == '\n' || c == '\r') {
        x->error = true;
        JsHand(x, JsString, 0, x->start, x->last);
        return JsUnit(x, c, at, end);
    } else if (c == 0x2028 || c == 0x2029) {
        if (!x->newerHere) x->newerHere = JsNewerLineSeparator;
    }
    x->last = end;
}

static void TemplateUnit(JsLex* x, uint32_t c) {
    if (x->escape) {
        x->escape = false;
        x->sub = 0;
    } else if (c == '\\') {
        x->escape = true;
        x->sub = 0;
    } else if (c == '`') {
        JsHand(x, JsTemplate, x->quote | JsTemplateCloses, x->start, x->last);
    } else if (c == '{' && x->sub == 1) {
        JsHand(x, JsTemplate, x->quote, x->start, x->last);
    } else {
        x->sub = c == '$';
    }
}

static void RegexUnit(JsLex* x, uint32_t c, JsPos at, JsPos end) {
    if (JsIsLineTerminator(c)) {
        x->error = true;
        JsHand(x, JsRegex, 0, x->start, x->last);
        return JsUnit(x, c, at, end);
    }
    x->last = end;
    if (x->escape) {
        x->escape = false;
        x->sub = 0;
    } else if (c == '\\') {
        x->escape = true;
    } else if (x->quote) {
        if (c == ']') x->quote = 0;
    } else if (c == '[') {
        x->quote = 1;
    } else if (c == '/') {
        x->mode = ModeRegexFlags;
    } else {
        // (?< opens a named group or a lookbehind.
        if (x->sub == 2 && c == '<' && !x->newerHere) x->newerHere = JsNewerRegexGroup;
        x->sub = c == '(' ? 1 : (x->sub == 1 && c == '?') ? 2 : 0;
    }
}

static void SlashUnit(JsLex* x, uint32_t c, JsPos at, JsPos end) {
    if (c == '/' || c == '*') {
        x->mode = c == '/' ? ModeLineComment : ModeBlockComment;
        x->quote = JsCommentLine;
        x->sub = 0;
        x->commentBreak = false;
        x->last = end;
    } else if (JsRegexAllowed(x)) {
        x->mode = ModeRegex;
        x->quote = 0;
        x->escape = false;
        x->sub = 0;
        RegexUnit(x, c, at, end);
    } else if (c == '=') {
        JsHand(x, JsPunct, JsPSlashEq, x->start, end);
    } else {
        JsHand(x, JsPunct, JsPSlash, x->start, x->last);
        JsUnit(x, c, at, end);
    }
}

void JsUnit(JsLex* x, uint32_t c, JsPos at, JsPos end) {
    switch (x->mode) {
    case ModeCode:
        return Begin(x, c, at, end);
    case ModeName:
        if (c == '\\') {
            x->mode = ModeNameEscape;
            x->sub = 0;
            x->wordOther = true;
            x->last = end;
            return;
        }
        if (JsIsNameStart(c) || (c >= '0' && c <= '9')) {
            WordAdd(x, c);
            x->last = end;
            return;
        }
        NameEnd(x);
        return Begin(x, c, at, end);
    case ModeNameEscape:
        if (NameEscape(x, c)) {
            x->last = end;
            return;
        }
        return JsUnit(x, c, at, end);
    case ModeHash:
        if (c == '!' && x->sub) {
            x->mode = ModeLineComment;
            x->quote = JsCommentHashbang;
            x->newerHere = JsNewerHashbang;
            x->last = end;
            return;
        }
        if (c == '\\' || JsIsNameStart(c)) {
            NameStart(x, c, true);
            x->last = end;
            return;
        }
        JsHand(x, JsInvalid, 0, x->start, x->last);
        return Begin(x, c, at, end);
    case ModeNumber:
        if (JsNumberUnit(x, c)) {
            x->last = end;
            return;
        }
        JsNumberEnd(x);
        return Begin(x, c, at, end);
    case ModePunct:
        return JsPunctUnit(x, c, at, end);
    case ModeSlash:
        return SlashUnit(x, c, at, end);
    case ModeString:
        return StringUnit(x, c, at, end);
    case ModeTemplate:
        x->last = end;
        return TemplateUnit(x, c);
    case ModeRegex:
        return RegexUnit(x, c, at, end);
    case ModeRegexFlags:
        if (c == '\\' || JsIsNameStart(c) || (c >= '0' && c <= '9')) {
            if (c != 'g' && c != 'i' && c != 'm' && !x->newerHere) x->newerHere = JsNewerRegexFlag;
            x->last = end;
            return;
        }
        JsHand(x, JsRegex, 0, x->start, x->last);
        return Begin(x, c, at, end);
    case ModeLineComment:
        if (JsIsLineTerminator(c)) {
            JsHand(x, JsComment, x->quote, x->start, x->last);
            return Begin(x, c, at, end);
        }
        x->last = end;
        return;
    case ModeBlockComment:
        x->last = end;
        if (c == '/' && x->sub) return JsHand(x, JsComment, JsCommentBlock, x->start, end);
        x->sub = c == '*';
        if (JsIsLineTerminator(c)) x->commentBreak = true;
        return;
    }
}

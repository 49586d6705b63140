// The words and punctuators of the language, and the names of newer syntax.
#include "authoring/scan/JsLexInternal.h"
#include "authoring/scan/JsNewer.h"
#include <string.h>

// In JsWord's order.
static const char* const kWords[JsWordCount] = {
    "", "break", "case", "catch", "class", "const", "continue", "debugger", "default",
    "delete", "do", "else", "export", "extends", "false", "finally", "for", "function", "if",
    "import", "in", "instanceof", "new", "null", "return", "super", "switch", "this", "throw",
    "true", "try", "typeof", "var", "void", "while", "with", "async", "await", "get", "let",
    "of", "set", "static", "yield",
};

// In JsPunctId's order.
static const char* const kPunct[JsPunctCount] = {
    "", "{", "}", "(", ")", "[", "]", ".", "...", ";", ",", "<", ">", "<=", ">=", "==", "!=",
    "===", "!==", "+", "-", "*", "%", "**", "++", "--", "<<", ">>", ">>>", "&", "|", "^",
    "!", "~", "&&", "||", "??", "?", "?.", ":", "=", "+=", "-=", "*=", "%=", "**=", "<<=",
    ">>=", ">>>=", "&=", "|=", "^=", "&&=", "||=", "?\?=", "=>", "/", "/=",
};

int JsWordFind(const char* word, size_t length) {
    for (int i = 1; i < JsWordCount; i++)
        if (strlen(kWords[i]) == length && memcmp(kWords[i], word, length) == 0) return i;
    return 0;
}

const char* JsPunctText(int id) {
    return id > 0 && id < JsPunctCount ? kPunct[id] : "";
}

int JsPunctMatch(const unsigned char* text, size_t length, bool* longer) {
    int id = 0;
    *longer = false;
    // The slash is read apart: it may start a comment or a regular expression.
    for (int i = 1; i < JsPSlash; i++) {
        size_t n = strlen(kPunct[i]);
        if (n < length || memcmp(kPunct[i], text, length) != 0) continue;
        if (n == length) id = i;
        else *longer = true;
    }
    return id;
}

const char* JsNewerName(int id) {
    static const char* const kNames[JsNewerCount] = {
        "",
        "an arrow function (=>)",
        "a template literal (`...`)",
        "a class",
        "let or const in a for head (one binding for the whole loop)",
        "destructuring",
        "spread or rest (...)",
        "a default parameter value",
        "for...of",
        "a generator (function*, yield)",
        "async or await",
        "optional chaining (?.)",
        "nullish coalescing (?\?)",
        "a logical assignment (&&=, ||=, ?\?=)",
        "the exponent operator (**)",
        "a shorthand property",
        "a shorthand method",
        "a computed property name",
        "a numeric separator (_)",
        "a BigInt literal (n)",
        "a binary or octal literal (0b, 0o)",
        "a regular expression flag other than g, i and m",
        "a named group or lookbehind in a regular expression",
        "a code point escape (\\u{...})",
        "import or export",
        "new.target",
        "a trailing comma in a call or a parameter list",
        "catch without a binding",
        "a #! line",
        "a line or paragraph separator inside a string",
    };
    return id > 0 && id < JsNewerCount ? kNames[id] : "";
}

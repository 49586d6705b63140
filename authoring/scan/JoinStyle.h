// A style sheet, or a style attribute's value, in the written page, read into
// CSS tokens and judged at each cut of the join (a line end with the spaces
// beside it, or spaces beside a value):
//   - white space between two tokens is lost: harmless beside "{", "}", ";",
//     ","; in declarations beside ":" and "!", and between two tokens that
//     stay apart side by side ("solid" "#c33", ")" "no-repeat"), but not
//     between two that glue (a number and a unit, two words: "0" "auto", a
//     name and "(", a sign and a number); in a list of rules (a selector, an
//     at-rule's prelude) beside a combinator (">", "+", "~"), and nowhere else
//     ("h2 span" "b");
//   - a string or a url() loses what the cut takes out of it;
//   - a comment whose "*" and "/" the cut keeps apart ends at another place.
// Pure byte rules; the tokens grow on the heap.
//   JoinStyleStart  a sheet (`declarations`: a style attribute's value)
//   JoinStyleChar   its next character
//   JoinStyleEnd    it ends: every cut in it judged and told; what it held given back
#pragma once
#include "authoring/scan/CssRead.h"
#include "authoring/scan/JoinParts.h"
#include "authoring/scan/JoinText.h"

struct JoinStyleToken {
    unsigned char kind;
    uint32_t delim;
    size_t start, end; // in the written page
    bool rules;        // an at-keyword whose block holds rules (@media ...), not declarations
};

struct JoinStyle {
    CssRead read;
    JoinSink* sink;
    bool active, declarations;
    JoinStyleToken* tokens;
    size_t count, room;
};

void JoinStyleStart(JoinStyle* css, JoinSink* sink, bool declarations);
void JoinStyleChar(JoinStyle* css, const JoinChar& c);
void JoinStyleEnd(JoinStyle* css);

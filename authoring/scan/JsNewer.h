// The syntax that an ES5 engine does not run, as the lexer finds it; the
// presenter's browser control, at best IE11's standards mode, runs ES5 and
// IE11's let and const. IE11 gives a for loop's let or const one binding for
// the whole loop, where newer engines give each turn its own: a let or const
// in a for head counts as newer syntax, elsewhere they do not.
//   JsNewerName   what the syntax is called, for a message
//   JsNewerNote   the lexer keeps the first one it is told of (internal)
#pragma once

enum JsNewerId {
    JsNewerNone,
    JsNewerArrow,
    JsNewerTemplate,
    JsNewerClass,
    JsNewerLetInFor,
    JsNewerDestructuring,
    JsNewerSpread,
    JsNewerDefault,
    JsNewerForOf,
    JsNewerGenerator,
    JsNewerAsync,
    JsNewerOptional,
    JsNewerNullish,
    JsNewerLogicalAssign,
    JsNewerExponent,
    JsNewerShorthand,
    JsNewerMethod,
    JsNewerComputed,
    JsNewerSeparator,
    JsNewerBigInt,
    JsNewerRadix,
    JsNewerRegexFlag,
    JsNewerRegexGroup,
    JsNewerCodePoint,
    JsNewerModule,
    JsNewerNewTarget,
    JsNewerTrailingComma,
    JsNewerCatchBinding,
    JsNewerHashbang,
    JsNewerLineSeparator,
    JsNewerCount
};

const char* JsNewerName(int id);

// The rules of a page's style sheets that decide whether an element keeps the
// line breaks of its text: white-space (pre, pre-wrap, pre-line and
// break-spaces keep them; normal and nowrap do not) and white-space-collapse
// (preserve, preserve-breaks, break-spaces keep them). Only selectors that are
// simple (a type, .class, #id, type.class, *, lists of them) can be matched to
// an element without its place in the page. Another selector may match where
// its last part (p in "div > p:first-child") matches, and a rule inside @media
// and the like may hold or not: where such a rule would set white-space
// otherwise, the answer is unsure. Pure byte rules; the sheet grows on the heap.
//   CssSheetStart   an empty sheet (`ansi` as for CssStart)
//   CssSheetFeed, CssSheetLineEnd   the bytes and line ends of a style sheet
//   CssSheetNext    ends one style sheet (a <style> element); the next one's
//                   rules come after its
//   CssSheetFree    gives back what the sheet holds
//   CssWhiteSpaceOf what the sheets and the element's style attribute set for
//                   the element (none: it takes its parent's, as white-space
//                   is inherited)
//   CssStyleWhiteSpace  what a style attribute's value sets (a CssWhiteSpace, or
//                   CssWhiteInherit), and whether it is !important
// When memory runs out, the sheet keeps what it had and every answer is unsure.
#pragma once
#include "authoring/scan/CssRead.h"

enum CssWhiteSpace {
    CssWhiteNone,      // nothing set: as the parent
    CssWhiteKeeps,     // line breaks show
    CssWhiteCollapses, // line breaks are spaces
    CssWhiteUnknown,   // set to what the reading can't tell (var(), revert, ...)
};

struct CssElement {
    const char* name; // the element's name
    size_t nameLength;
    const char* classes; // its class attribute, or null
    size_t classesLength;
    const char* id; // its id, or null
    size_t idLength;
    const char* style; // its style attribute, or null
    size_t styleLength;
    bool quirks; // classes and ids match in any letter case
};

struct CssVerdict {
    unsigned char value; // CssWhiteSpace
    bool unsure;         // a rule the reading can't match might set it otherwise
};

struct CssRule {
    size_t selectors;     // where its selectors start in the sheet's bytes
    unsigned count;       // how many
    bool conditional;     // inside @media, @supports, @layer and the like
    bool important;
    unsigned char value;  // CssWhiteSpace, or CssWhiteInherit
    ScanPos at;           // where its selectors start
};

enum { CssWhiteInherit = 4 }; // inherit or unset: the parent's, over any weaker rule

struct CssSheet {
    CssRead read;
    bool ansi, failed;
    bool declarationsOnly;    // a style attribute's value: no selectors, no braces
    unsigned char state;      // where the reader stands: between rules, in a selector, ...
    bool skipBlock;           // the at-rule being read is no group of rules
    uint32_t depth;           // brackets open in what is skipped, a selector's () [] or a value
    uint32_t groups;          // @media and the like open
    // the selector being read: its last part, and whether that part is all of it
    bool exact, wantClass, pseudo, spaced, parts;
    size_t compound;          // where the part starts in `bytes`
    // the rule being read
    CssRule rule;
    // the declaration being read
    unsigned char property;   // 1 white-space, 2 white-space-collapse, 0 another
    uint32_t keywords;        // the keywords of its value
    unsigned idents;
    bool other, bang, important;
    // what was kept: the selectors' names, and the rules that set white-space
    char* bytes;
    size_t byteCount, byteRoom;
    CssRule* rules;
    size_t ruleCount, ruleRoom;
};

void CssSheetStart(CssSheet* sheet, bool ansi);
void CssSheetFeed(CssSheet* sheet, const char* bytes, size_t length, ScanPos at);
void CssSheetLineEnd(CssSheet* sheet, ScanPos at);
void CssSheetNext(CssSheet* sheet);
void CssSheetFree(CssSheet* sheet);
CssVerdict CssWhiteSpaceOf(const CssSheet* sheet, const CssElement* element);
int CssStyleWhiteSpace(const char* style, size_t length, bool ansi, bool* important);

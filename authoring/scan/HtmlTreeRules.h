// What the tree's units share: what the rules know of a tag name, the token
// as the rules see it, the stack of open elements, and the insertion modes.
//   HtmlTagFlags       the flags of an HTML tag name, and its own spelling (ended
//                      by a 0) in `known`; 0 and null for one the rules don't name
//   HtmlTokenHiddenInput  an <input type=hidden>
//   HtmlSvgName        an SVG tag name in its own case
//   HtmlTreeInsert     a new element for the token (or for `name` alone) on the stack
//   HtmlTreePop...     off the stack: the current node; up to an HTML element of a
//                      name or of a flag; the element at a place
//   HtmlTreeInScope    an HTML element of that name (or flag, or that element) in
//                      the scope `kind`
//   HtmlTreeImplied    pops what "generate implied end tags" closes, but `except`
//   HtmlTreeRawText    the element, with the tokenizer switched to `state` for its text
//   HtmlTreeMode       the insertion mode the stack stands in
//   HtmlTreeHtmlContent  a token under the rules of that mode, again as long as
//                      they say (HtmlTreeDispatch.cpp)
//   HtmlTree...Mode, HtmlTreeIn...  the rules of each mode; 1 when the token is
//                      to be processed again (in the mode the stack then stands in)
//   HtmlTreeAnyOtherEnd  an end tag the body's rules don't name
//   HtmlFormatting...  the list of active formatting elements (HtmlTreeFormatting.cpp)
#pragma once
#include "authoring/scan/HtmlTree.h"
#include <string.h>

enum HtmlTagFlag {
    TagSpecial = 1 << 0,
    TagFormatting = 1 << 1,  // a b big code em font i nobr s small strike strong tt u
    TagImplied = 1 << 2,     // closed by "generate implied end tags"
    TagThorough = 1 << 3,    // closed by it "thoroughly" besides
    TagScope = 1 << 4,       // bounds the default scope
    TagBreakout = 1 << 5,    // a start tag that leaves SVG and MathML content
    TagClosesP = 1 << 6,     // a start tag that closes an open p first
    TagBlockEnd = 1 << 7,    // an end tag that closes up to its element when in scope
    TagHeadRules = 1 << 8,   // base basefont bgsound link meta noframes script style template title
    TagVoid = 1 << 9,        // area br embed img keygen wbr
    TagHeading = 1 << 10,    // h1 to h6
    TagTablePart = 1 << 11,  // caption col colgroup tbody td tfoot th thead tr
    TagHtmlPoint = 1 << 12,  // an HTML integration point
    TagTextPoint = 1 << 13,  // a MathML text integration point
    TagModeRule = 1 << 14,   // sets the insertion mode where it is the innermost such
};

enum HtmlScopeKind { ScopeDefault, ScopeListItem, ScopeButton, ScopeTable, ScopeSelect };

enum HtmlMode {
    ModeInitial, ModeBeforeHead, ModeInHead, ModeAfterHead, ModeInBody, ModeInTable,
    ModeInCaption, ModeInColumnGroup, ModeInTableBody, ModeInRow, ModeInCell, ModeInSelect,
    ModeInSelectInTable, ModeInTemplate, ModeInFrameset, ModeAfterFrameset,
};

struct TreeToken {
    int kind; // HtmlTokenKind
    const char* name; // ended by a 0 where the rules know the name
    size_t length;
    unsigned flags;
    const HtmlToken* token;
    bool text;              // characters: some that are neither whitespace nor U+0000
    bool any;               // characters: some that are not U+0000
    HtmlTokenizer* tokenizer;
};

inline bool NameIs(const char* name, size_t length, const char* word) {
    return strlen(word) == length && memcmp(name, word, length) == 0;
}
inline bool TokenIs(const TreeToken* t, const char* word) { return NameIs(t->name, t->length, word); }
inline bool IsHtml(const HtmlElement* e, const char* word) {
    return e->ns == HtmlNamespaceHtml && NameIs(e->name, e->nameLength, word);
}
// `name` in ASCII lower case is `lower`.
inline bool HtmlLowerIs(const char* name, size_t length, const char* lower, size_t lowerLength) {
    if (length != lowerLength) return false;
    for (size_t i = 0; i < length; i++)
        if ((name[i] >= 'A' && name[i] <= 'Z' ? name[i] + 32 : name[i]) != lower[i]) return false;
    return true;
}
inline HtmlElement* Current(const HtmlTree* tree) {
    return tree->depth ? tree->open[tree->depth - 1] : nullptr;
}

unsigned HtmlTagFlags(const char* name, size_t length, const char** known);
bool HtmlTokenHiddenInput(const TreeToken* t);
void HtmlTreeAnyOtherEnd(HtmlTree* tree, const TreeToken* t);
const char* HtmlSvgName(const char* name, size_t length);

HtmlElement* HtmlTreeInsert(HtmlTree* tree, int ns, const char* name, size_t length,
                            const HtmlToken* token);
HtmlElement* HtmlTreeInsertToken(HtmlTree* tree, const TreeToken* t);
bool HtmlTreePush(HtmlTree* tree, HtmlElement* element, size_t at);
void HtmlTreeRelease(HtmlElement* element);
void HtmlTreePop(HtmlTree* tree);
void HtmlTreeRemoveAt(HtmlTree* tree, size_t at);
void HtmlTreePopUntil(HtmlTree* tree, const char* name);
void HtmlTreePopUntilFlag(HtmlTree* tree, unsigned flag);
long HtmlTreeIndexOf(const HtmlTree* tree, const HtmlElement* element);
bool HtmlTreeInScope(const HtmlTree* tree, const char* name, int kind);
bool HtmlTreeElementInScope(const HtmlTree* tree, const HtmlElement* element, int kind);
bool HtmlTreeFlagInScope(const HtmlTree* tree, unsigned flag, int kind);
void HtmlTreeImplied(HtmlTree* tree, const char* except, bool thorough);
void HtmlTreeRawText(HtmlTree* tree, const TreeToken* t, HtmlState state);
bool HtmlTreeTemplateModePush(HtmlTree* tree, int mode);

int HtmlTreeMode(const HtmlTree* tree);
bool HtmlTreeHtmlContent(HtmlTree* tree, TreeToken* t);
bool HtmlTreeBeforeMode(HtmlTree* tree, TreeToken* t, int mode);
bool HtmlTreeInHead(HtmlTree* tree, TreeToken* t);
bool HtmlTreeInBody(HtmlTree* tree, TreeToken* t);
bool HtmlTreeTableMode(HtmlTree* tree, TreeToken* t, int mode);
bool HtmlTreeSelectMode(HtmlTree* tree, TreeToken* t, int mode);
bool HtmlTreeOtherMode(HtmlTree* tree, TreeToken* t, int mode);

bool HtmlFormattingPush(HtmlTree* tree, HtmlElement* element);
void HtmlFormattingMarker(HtmlTree* tree);
void HtmlFormattingClear(HtmlTree* tree);
void HtmlFormattingReconstruct(HtmlTree* tree);
long HtmlFormattingFind(const HtmlTree* tree, const HtmlElement* element);
void HtmlFormattingRemoveAt(HtmlTree* tree, size_t at);
// 1 when the end tag is to be handled as "any other end tag" instead.
bool HtmlAdoptionAgency(HtmlTree* tree, const TreeToken* t);

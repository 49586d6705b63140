// What a browser's tree construction decides about reading a page, kept as
// the stack of open elements: which elements are open, in which namespace,
// made from which start tag. It tells the tokenizer where an element's content
// is RCDATA, RAWTEXT, script data or PLAINTEXT, and where a CDATA section may
// start (in SVG and MathML content only). The document itself is not built;
// scripting counts as on, as in browsers. Pure byte rules.
//   HtmlTreeStart     an empty document
//   HtmlTreeTake      takes the tokenizer's next token, then sets the state it
//                     reads on in; 0 when memory ran out (`failed`)
//   HtmlTreeFree      gives back what the tree holds
//   HtmlTreeFind      the innermost open element of namespace `ns` named `name`
//                     (of any name when `name` is null): its place in `open`, or -1
//   HtmlElementAttribute  the value of an attribute of the element's start tag
//                     (name in lower case), or null
#pragma once
#include "authoring/scan/HtmlTokenizer.h"

enum HtmlNamespace { HtmlNamespaceHtml, HtmlNamespaceSvg, HtmlNamespaceMathMl };

struct HtmlElement {
    const char* name; // lower case; SVG names in their own case (foreignObject)
    size_t nameLength;
    HtmlSpan tag; // its start tag in the page; empty where the rules implied it
    const HtmlAttribute* attributes; // its start tag's, duplicates dropped
    size_t attributeCount;
    unsigned char ns; // HtmlNamespace
    unsigned flags;   // what the rules know of the name
    unsigned refs;    // held by the stack and the list of formatting elements
};

struct HtmlTree {
    HtmlElement** open; // the stack of open elements, the root first
    size_t* rules;      // for each, the place of the innermost one at or below it
                        // that sets the insertion mode ((size_t)-1 for none)
    size_t depth, openRoom;
    size_t openP;       // <p> elements open
    HtmlElement** formatting; // the active formatting elements; null is a marker
    size_t formattingCount, formattingRoom;
    unsigned char* templateModes;
    size_t templateCount, templateRoom;
    HtmlElement* head;
    HtmlElement* form;
    HtmlElement* base; // the first <base href> of the document, or null
    size_t changed;    // the lowest place of `open` that the last token changed (`depth`: none)
    bool pastInitial; // a token other than a DOCTYPE, a comment or spaces came
    bool quirks, framesetOk, afterFrameset, inText, failed;
};

void HtmlTreeStart(HtmlTree* tree);
int HtmlTreeTake(HtmlTree* tree, HtmlTokenizer* tokenizer, const HtmlToken* token);
void HtmlTreeFree(HtmlTree* tree);
long HtmlTreeFind(const HtmlTree* tree, int ns, const char* name);
const char* HtmlElementAttribute(const HtmlElement* element, const char* name, size_t* length);

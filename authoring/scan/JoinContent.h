// The parts of the written page that another language reads, judged as the
// page is read: scripts and event handlers (JoinScript), style sheets and
// style attributes (JoinStyle), JSON data blocks and other data blocks (whose
// text a script reads exactly as written); and the values of attributes (a
// line end or spaces the join takes out of a quoted value change it; class
// names only where two run together). Pure byte rules.
//   JoinContentStart   before the page
//   JoinContentKindOf  what a script element's text is, by its type
//   JoinContentOpen    an element whose text is content of `kind` begins
//   JoinContentText    a run of its text, read in `states`
//   JoinContentClose   it ends
//   JoinStartTag       a start tag: its attributes, a module script, the
//                      document mode's meta
//   JoinContentFinish  after the page: the document mode
#pragma once
#include "authoring/scan/JoinStyle.h"
#include "authoring/scan/HtmlTree.h"
#include "authoring/scan/JoinScript.h"

enum JoinText {
    JoinTextShown,  // text of the page
    JoinTextHidden, // raw text no one sees (<noscript>, <iframe> ...)
    JoinTextScript,
    JoinTextModule,
    JoinTextJson,
    JoinTextData,
    JoinTextStyle,
};

struct JoinContent {
    JoinSink* sink;
    int kind;         // JoinText of the open content element
    size_t start, end; // its text so far in the page
    bool any;
    bool lineFeed;     // its text so far ends with a line feed written as a reference
    bool told;         // a data block's text: its finding is made
    JoinScript script, handler;
    JoinStyle sheet, style;
    bool documentMode;
};

void JoinContentStart(JoinContent* content, JoinSink* sink);
int JoinContentKindOf(const HtmlAttribute* attributes, size_t count);
void JoinContentOpen(JoinContent* content, int kind);
void JoinContentText(JoinContent* content, const HtmlToken* token);
void JoinContentClose(JoinContent* content);
void JoinStartTag(JoinContent* content, const HtmlToken* token, int ns);
void JoinContentFinish(JoinContent* content);

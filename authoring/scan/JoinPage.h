// What the presenter's join does to a page: the page as its author wrote it
// (line ends and all), and which of its bytes the join takes away (every line
// end, and the spaces at both ends of every line). The join's judge reads the
// page twice, as written and as joined, and tells where they differ for a
// reader or a script. Pure byte rules.
//   JoinJudge      every finding on the page to `take`, in no set order; 0 when
//                  memory ran out (what was found so far was told)
//   JoinCutsMake   the runs of bytes taken away, from the `removed` marks
//   JoinCutFind    the run that holds byte `at`, or the first after it
//   JoinCutsFree   gives back what the runs hold
#pragma once
#include <stddef.h>
#include <stdint.h>

enum JoinKind {
    JoinGlueText,      // two words of the text, or a word and an inline tag, run together
    JoinKeepLost,      // an element that keeps its white space loses some (one per element)
    JoinTagGlue,       // a tag's name, an attribute's name or an unquoted value runs on
    JoinMarkup,        // a tag, an end tag, a comment or a reference forms or breaks
    JoinValue,         // a quoted attribute value loses a line break or spaces
    JoinClassGlue,     // two class names run together
    JoinScriptLine,    // a script's line end (effect, reason: JsEffect, JsReason)
    JoinScriptSpaces,  // spaces beside a value in a script: a literal loses them, or words glue
    JoinStyleGlue,     // two pieces of a style sheet run together
    JoinStyleString,   // a string or a url() of a style sheet loses a line end or spaces
    JoinStyleComment,  // a style sheet's comment ends at another place
    JoinJson,          // a JSON data block's string loses them, or two values glue
    JoinDataBlock,     // a script of a type no browser runs: its text is kept as written
    // What the presenter's browser control does, whatever the join does:
    JoinNewer,         // syntax newer than its engine runs (reason: JsNewerId)
    JoinModule,        // a module script
    JoinNoDocumentMode, // no X-UA-Compatible meta
};

struct JoinFinding {
    unsigned char kind;   // JoinKind
    unsigned char effect; // JoinScript: JsMayChange or JsChanges
    unsigned char reason; // JoinScript: JsReason; JoinNewer: JsNewerId
    size_t at;            // where to report it: the cut's first byte, or a place of the page
    size_t cut;           // the cut, or (size_t)-1 for none
    size_t nameAt;        // the element's or the attribute's name in the page; for
    size_t nameLength;    // JoinGlueText, the stretch between the two pieces of text
};

typedef void (*JoinTake)(void* context, const JoinFinding* finding);

struct JoinCuts {
    size_t* start; // each run [start, end) of bytes the join takes away, in order
    size_t* end;
    size_t count;
};

struct JoinPage {
    const char* bytes;
    size_t length;
    const unsigned char* removed; // 1 for each byte the join takes away
};

int JoinJudge(const JoinPage* page, JoinTake take, void* context);
int JoinCutsMake(const JoinPage* page, JoinCuts* cuts);
size_t JoinCutFind(const JoinCuts* cuts, size_t at);
void JoinCutsFree(JoinCuts* cuts);

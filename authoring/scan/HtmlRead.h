// A page read as a browser reads it: the tokenizer, with the tree's rules
// deciding where raw text and CDATA sections start. Pure byte rules.
//   HtmlRead  reads `bytes` to the end; `states` (null, or room for `length`
//             bytes) gets the tokenizer state that reads each byte; `take`
//             hears each token once the tree has taken it, with the tree as
//             it then stands (a start tag's element open, an end tag's closed).
//             A UTF-8 byte order mark at the start is no token (read in the
//             data state). 1, or 0 when `take` stopped it or memory ran out.
#pragma once
#include "authoring/scan/HtmlTree.h"

// Returns 0 to stop the reading.
typedef int (*HtmlReadTake)(void* context, const HtmlTree* tree, const HtmlToken* token);

int HtmlRead(const char* bytes, size_t length, unsigned char* states, HtmlReadTake take,
             void* context);

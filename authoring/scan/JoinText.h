// The characters of a run of text or of an attribute value, each with the
// bytes of the page it was read from: a byte as it stands, CR LF or a lone CR
// as one line feed, or a character reference with what it stands for. The
// tokenizer's states tell where a reference starts and ends. Pure byte rules.
//   JoinWalkStart  a walk over the page bytes of `span`, read in `states`, whose
//                  decoded text is `decoded` (a token's text or an attribute's
//                  value); `attribute` as the tokenizer reads values
//   JoinWalkNext   the next character: 1, or 0 at the end
//   JoinWrittenBreakAt  whether the line end at `at` is right after a reference
//                  to a line feed ("&#10;", "&#xA;", "&NewLine;"), the break it
//                  writes as pack writes breaks the join would take, where the
//                  page reads references there (text, an attribute value, or
//                  just outside a CDATA section)
//   JoinInMarkup   whether the byte at `at` is read in a tag (not in a value),
//                  a comment or a DOCTYPE: in foreign content these stand
//                  between the runs of a script's or a style sheet's text, and
//                  are judged as markup
//   JoinWrittenBreak  whether character `c` is such a line end: `lineFeed` says
//                  whether the character before it was a reference to a line
//                  feed, and is set for the next
#pragma once
#include "authoring/scan/HtmlTokenizer.h"

struct JoinChar {
    size_t start, end;   // its bytes in the page
    const char* decoded; // what it stands for, UTF-8
    size_t length;
};

struct JoinWalk {
    const char* page;
    const unsigned char* states;
    size_t at, end, pageLength;
    const char* decoded;
    size_t next, decodedLength;
    bool attribute;
};

void JoinWalkStart(JoinWalk* walk, const char* page, size_t pageLength, const unsigned char* states,
                   HtmlSpan span, const char* decoded, size_t decodedLength, bool attribute);
int JoinWalkNext(JoinWalk* walk, JoinChar* out);
bool JoinWrittenBreakAt(const char* page, const unsigned char* states, size_t at);
bool JoinInMarkup(const unsigned char* states, size_t at);
bool JoinWrittenBreak(const char* page, const JoinChar& c, bool* lineFeed);

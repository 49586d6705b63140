// What check says of each finding of the join's judge, in words an author
// reads: the pieces of the page on either side of the cut, and what the
// presenter will do. Pure byte rules.
//   CheckJoinWords  the message for `finding` on the written page `page`
//                   (`length` bytes) into `out` (CheckMessageMax bytes); its cut
//                   ends at `cutEnd` and holds a line end, or, with `value` (such
//                   as "the insert text"), only spaces beside that value
#pragma once
#include "authoring/scan/JoinPage.h"

void CheckJoinWords(const JoinFinding& finding, const char* page, size_t length, size_t cutEnd,
                    const char* value, char* out);

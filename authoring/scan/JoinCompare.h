// The written page's items held against the joined page's (JoinRead): where
// they part, the cut that makes them part, told as a finding. Pure byte rules.
//   JoinCompare   `written` and `joined` items (the joined ones placed in the
//                 written page); `joinedStates` the state that reads each byte
//                 of the joined page, `toJoined` each written byte's place in it
// Two items are alike when they stand at the same place and read the same.
// White space that only the written page has between two pieces of content
// glues them (JoinGlueText); a character of kept white space that the join
// takes away loses it (JoinKeepLost, once per element). Anything else is a
// stretch where the two readings part until they meet again: its cause is the
// first cut in it after which the tokenizer reads the next byte another way,
// or that runs a tag's name, an attribute's name or an unquoted value on into
// the next word (JoinTagGlue); else the first cut in the stretch (JoinMarkup).
#pragma once
#include "authoring/scan/JoinParts.h"
#include "authoring/scan/JoinRead.h"

void JoinCompare(JoinSink* sink, const JoinItem* written, size_t writtenCount,
                 const JoinItem* joined, size_t joinedCount, const unsigned char* joinedStates,
                 const size_t* toJoined);

// What the tokenizer's units share. A step reads the current character in the
// current state; unless it reconsumes, the character (`width` bytes, which a
// step may widen to take a keyword whole) is then consumed, and each of its
// bytes is marked as read in that state.
//   HtmlReconsume       the current character is read again in `state`
//   HtmlEmit...         characters into the current run: the current byte, a
//                       code point, or page bytes as they stand
//   HtmlEmitMarkup      the tag, comment or DOCTYPE being read, ending with the
//                       current character
//   HtmlEmitEndOfFile   the end of the page
//   HtmlSkip            the bytes from `start` to the current character's end
//                       make no token
//   HtmlFlushText       the run of characters gathered so far, ending at `end`
//   HtmlMarkup...       bytes or a code point into the token being read
//   HtmlTagCreate       a start or end tag whose "<" stands at `markupStart`
//   HtmlAttribute...    an attribute of it: begun, its name ended, its value
//                       begun and ended
//   HtmlStep...         one step in each family of states
#pragma once
#include "authoring/scan/HtmlTokenizer.h"

enum { HtmlEof = -1 };

inline bool HtmlIsSpace(int c) { return c == '\t' || c == '\n' || c == '\f' || c == ' '; }
inline bool HtmlIsUpper(int c) { return c >= 'A' && c <= 'Z'; }
inline bool HtmlIsLower(int c) { return c >= 'a' && c <= 'z'; }
inline bool HtmlIsAlpha(int c) { return HtmlIsUpper(c) || HtmlIsLower(c); }
inline bool HtmlIsDigit(int c) { return c >= '0' && c <= '9'; }
inline bool HtmlIsAlnum(int c) { return HtmlIsAlpha(c) || HtmlIsDigit(c); }
inline int HtmlLower(int c) { return HtmlIsUpper(c) ? c + 32 : c; }

inline void HtmlReconsume(HtmlTokenizer* t, int state) {
    t->state = (unsigned char)state;
    t->reconsume = true;
}

bool HtmlAppend(HtmlTokenizer* t, HtmlBuffer* buffer, const void* bytes, size_t length);
void HtmlEmitByte(HtmlTokenizer* t, int c);
void HtmlEmitCodePoint(HtmlTokenizer* t, uint32_t codePoint);
void HtmlEmitSource(HtmlTokenizer* t, size_t start, size_t end);
void HtmlEmitMarkup(HtmlTokenizer* t);
void HtmlEmitEndOfFile(HtmlTokenizer* t);
void HtmlSkip(HtmlTokenizer* t, size_t start);
void HtmlFlushText(HtmlTokenizer* t, size_t end);

void HtmlMarkupByte(HtmlTokenizer* t, int c);
void HtmlMarkupCodePoint(HtmlTokenizer* t, uint32_t codePoint);
void HtmlMarkupReset(HtmlTokenizer* t, int kind);
void HtmlTagCreate(HtmlTokenizer* t, int kind);
void HtmlTagNameEnd(HtmlTokenizer* t);
void HtmlAttributeStart(HtmlTokenizer* t);
void HtmlAttributeNameEnd(HtmlTokenizer* t);
void HtmlAttributeValueStart(HtmlTokenizer* t, size_t at, int quote);
void HtmlAttributeValueEnd(HtmlTokenizer* t);
// The current character, or a deferred "-", "--" or "--!", into a comment's data.
void HtmlCommentByte(HtmlTokenizer* t, int c);
void HtmlCommentDeferred(HtmlTokenizer* t, const char* bytes, size_t length);

void HtmlStepText(HtmlTokenizer* t, int c);
void HtmlStepTag(HtmlTokenizer* t, int c);
void HtmlStepComment(HtmlTokenizer* t, int c);
void HtmlStepDoctype(HtmlTokenizer* t, int c);
void HtmlStepReference(HtmlTokenizer* t, int c);

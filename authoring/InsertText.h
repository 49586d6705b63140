// The insert text of the command line (wide characters) as the page will hold
// it: in the page's own encoding, each character the settings can't hold, or
// the encoding can't write, as an HTML reference ("&#69;") where the page
// reads references there.
//   InsertEncode      the plain value in `coded` (main heap; InsertCodedFree).
//                     `codePage` is the page's: 65001 for UTF-8, 0 for none that
//                     writes it a character at a time. Without `references`, 0
//                     when a character needs one: `coded` then lists them; 0
//                     with `bytes` null when memory ran out
//   InsertCodedFree   gives back what InsertEncode made
//   InsertCodePageSpells  whether the code page writes the text exactly (read
//                     back, it is the same characters): its bytes into `out`
//                     (room for `room` bytes, a zero after them)
#pragma once
#include <stddef.h>

struct InsertCoded {
    char* bytes; // the plain value, a zero after it
    size_t length;
    bool nonAscii;       // the text holds characters beyond ASCII
    size_t forSettings;  // characters written as references: the settings can't hold them
    size_t forEncoding;  //   ... the page's encoding can't write them
    char shown[400];     // those characters (or, refused, those that needed one)
};

int InsertEncode(const wchar_t* text, unsigned codePage, bool references, InsertCoded* coded);
void InsertCodedFree(InsertCoded* coded);
int InsertCodePageSpells(unsigned codePage, const wchar_t* text, char* out, size_t room);

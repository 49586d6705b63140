// The character encoding a page declares, found as a browser finds it before it
// reads the page: a byte order mark, else a <meta charset> or a <meta
// http-equiv="Content-Type" content="...; charset=..."> in the page's first
// 1024 bytes, read by the HTML standard's prescan (comments and other tags
// skipped, attributes read as that scan reads them). Pure byte rules.
//   HtmlEncodingSniff    the encoding and how it was found; a page that declares
//                        none (or only labels no browser knows) gives HtmlNoEncoding
//   HtmlEncodingFromLabel  an encoding's label ("utf8", " Latin1 ") to the
//                        encoding, or -1 for a label no browser knows
//   HtmlEncodingName     an encoding's name ("UTF-8", "windows-1252")
//   HtmlEncodingCodePage the Windows code page that writes it, 0 for none that
//                        writes it a character at a time
#pragma once
#include <stddef.h>

enum { HtmlEncodingUtf8 = 0, HtmlNoEncoding = -1 };

enum HtmlEncodingSource {
    HtmlEncodingNone,    // the page declares no encoding a browser knows
    HtmlEncodingBom,     // a byte order mark
    HtmlEncodingMeta,    // <meta charset>
    HtmlEncodingPragma,  // <meta http-equiv="Content-Type" content="...charset=...">
    HtmlEncodingXml,     // a UTF-16 "<?x" at the start
};

struct HtmlEncodingFound {
    int encoding; // HtmlNoEncoding, or an encoding of HtmlEncodingName
    HtmlEncodingSource source;
    size_t at; // where the declaration starts: its "<", or 0
};

HtmlEncodingFound HtmlEncodingSniff(const char* bytes, size_t length);
int HtmlEncodingFromLabel(const char* label, size_t length);
const char* HtmlEncodingName(int encoding);
unsigned HtmlEncodingCodePage(int encoding);

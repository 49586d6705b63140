// The plan of a page that pack cuts: where its six placeholders stand, the
// page with the values put in (the "filled" page, which a browser reads), and
// what reads each of its bytes: the HTML tokenizer's state and, inside style
// sheets, scripts and data blocks, their own readers. Pure byte rules.
//   PackPlanMake    reads the page; 0 with `refusal` set when it can't be cut
//                   (placeholders missing, extra or out of order, a zero byte,
//                   an empty page, no memory). Width and height read as digits.
//   PackPlanFree    gives back what the plan holds
//   PackPlanFilled  where a byte of the page (not in a placeholder) stands in
//                   the filled page
//   PackPlanAuthor  where a byte of the filled page (not in a value) stands in
//                   the page
//   PackHolderText  "{{width}}", "{{height}}" or "{{insert}}" for value 0 ... 5
//   PackPlacesMake  (PackPlaces.cpp) each filled byte's PackPlace
//   PackValuesWhere where each of the six values stands: its placeholder,
//                   PackWhere, and whether references in it would be read as
//                   references (data, RCDATA, a quoted attribute value); 0 with
//                   `refusal` set, to be given back with PackRefusalFree, when
//                   the page can't be read
#pragma once
#include "authoring/scan/PackOut.h"
#include <stdint.h>

enum { PackValueCount = 6 };

// What a line end or a space at the edge of a line may become, by where it
// stands.
enum PackPlace {
    PlaceText,       // data, RCDATA, a quoted attribute value: references decode
    PlaceReference,  // inside a character reference
    PlaceTag,        // white space that may change: tags, comments, DOCTYPEs
    PlaceCdata,      // a CDATA section
    PlaceHidden,     // raw text no browser with scripts shows (noscript, iframe ...)
    PlaceCss,        // a style sheet outside its strings and comments
    PlaceCssComment,
    PlaceCssString,
    PlaceJsCode,     // a script that stays in the page, outside strings (comments too)
    PlaceJsString,
    PlaceJsLiteral,  // a template literal or a regular expression: no escape keeps it
    PlaceJsonCode,
    PlaceJsonString,
    PlaceRaw,        // <xmp>, <plaintext>, other script types: nothing stands for anything
    PlaceMoved,      // a script that goes whole to a file of its own
};
enum {
    PlaceMask = 31,
    PlaceEscaped = 32, // an escape of a style sheet, script or JSON string takes this byte
    PlaceShown = 64,   // in a script whose functions' source text the script may read
};

enum PackRegionKind {
    RegionStyle, RegionHidden, RegionXmp, RegionPlaintext,
    RegionClassic, RegionModule, RegionJson, RegionData,
};

// An element whose content the tokenizer reads as raw text or script data.
struct PackRegion {
    unsigned char kind;   // PackRegionKind
    bool lines;           // its content holds a line end
    bool closed;          // an end tag ends it, not the end of the page
    bool src;             // a script with a src attribute
    bool baseBefore;      // a <base href> came before it
    bool valid;           // a JSON block: its text is valid JSON
    const char* blocker;  // an attribute that an inline script ignores and a moved one obeys
    size_t tagStart, tagEnd;         // its start tag, in the filled page
    size_t contentStart, contentEnd; // its content
    char type[32];        // a script's type as written (cut short), for messages
};

struct PackNote {
    size_t at; // the byte of the page it is about
    const char* message;
};

struct PackPlan {
    const char* page;
    size_t length;
    size_t holders[PackValueCount]; // where each placeholder stands in the page
    char* filled;
    size_t filledLength;
    size_t values[PackValueCount], valueLengths[PackValueCount]; // in the filled page
    unsigned char* states; // HtmlState of each filled byte
    unsigned char* places; // PackPlace of each filled byte, with its flags
    PackRegion* regions;
    size_t regionCount, regionRoom;
    char* base; // the first <base href> of the document, or null
    size_t baseLength, baseAt;
    PackNote* notes;
    size_t noteCount;
    PackRefusal refusal;
};

enum PackWhere {
    WhereText, WhereRcdata, WhereAttribute, WhereTag, WhereComment, WhereCdata,
    WhereStyle, WhereScript, WhereData, WhereRawText,
};

struct PackValueWhere {
    size_t at;           // its placeholder's first byte in the page
    unsigned char where; // PackWhere of its first byte, or of the first that reads no references
    bool references;     // every byte of it is read where references decode
};

int PackPlanMake(const char* page, size_t length, const char* insert, PackPlan* plan);
void PackPlanFree(PackPlan* plan);
size_t PackPlanFilled(const PackPlan* plan, size_t at);
size_t PackPlanAuthor(const PackPlan* plan, size_t filled);
const char* PackHolderText(int value);
int PackPlacesMake(PackPlan* plan);
int PackValuesWhere(const char* page, size_t length, const char* insert,
                    PackValueWhere where[PackValueCount], PackRefusal* refusal);

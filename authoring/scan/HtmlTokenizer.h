// A page read as a browser's HTML tokenizer reads it, over the author's bytes
// (UTF-8 or an ANSI code page: every byte that markup gives meaning to is
// ASCII). CR LF and a lone CR read as one line feed, while every position
// reported is a byte offset into the author's bytes. Pure byte rules.
//   HtmlTokenizerStart   a tokenizer at the start of `bytes`, in the data state;
//                        `states` (null, or room for `length` bytes) gets the
//                        state that reads each byte; `take` hears each token
//   HtmlTokenizerRun     reads to the end of the bytes: 1, or 0 when `take`
//                        stopped it or memory ran out (`failed`)
//   HtmlTokenizerFree    gives back what the tokenizer holds
//   HtmlTokenizerSwitch  the state the next byte is read in: from `take`, after a
//                        start tag whose content is RCDATA, RAWTEXT, script data
//                        or PLAINTEXT, or before the run
//   HtmlTokenizerAssumeStartTag  reads on as if `name` were the last start tag
//                        emitted (an end tag of that name ends raw text)
//   HtmlStateName        a state's name, for messages
#pragma once
#include <stddef.h>
#include <stdint.h>

enum HtmlState {
    HtmlStateData, HtmlStateRcdata, HtmlStateRawtext, HtmlStateScriptData,
    HtmlStatePlaintext, HtmlStateTagOpen, HtmlStateEndTagOpen, HtmlStateTagName,
    HtmlStateRcdataLessThan, HtmlStateRcdataEndTagOpen, HtmlStateRcdataEndTagName,
    HtmlStateRawtextLessThan, HtmlStateRawtextEndTagOpen, HtmlStateRawtextEndTagName,
    HtmlStateScriptLessThan, HtmlStateScriptEndTagOpen, HtmlStateScriptEndTagName,
    HtmlStateScriptEscapeStart, HtmlStateScriptEscapeStartDash, HtmlStateScriptEscaped,
    HtmlStateScriptEscapedDash, HtmlStateScriptEscapedDashDash,
    HtmlStateScriptEscapedLessThan, HtmlStateScriptEscapedEndTagOpen,
    HtmlStateScriptEscapedEndTagName, HtmlStateScriptDoubleEscapeStart,
    HtmlStateScriptDoubleEscaped, HtmlStateScriptDoubleEscapedDash,
    HtmlStateScriptDoubleEscapedDashDash, HtmlStateScriptDoubleEscapedLessThan,
    HtmlStateScriptDoubleEscapeEnd,
    HtmlStateBeforeAttributeName, HtmlStateAttributeName, HtmlStateAfterAttributeName,
    HtmlStateBeforeAttributeValue, HtmlStateAttributeValueDouble,
    HtmlStateAttributeValueSingle, HtmlStateAttributeValueUnquoted,
    HtmlStateAfterAttributeValueQuoted, HtmlStateSelfClosingStartTag,
    HtmlStateBogusComment, HtmlStateMarkupDeclarationOpen, HtmlStateCommentStart,
    HtmlStateCommentStartDash, HtmlStateComment, HtmlStateCommentLessThan,
    HtmlStateCommentLessThanBang, HtmlStateCommentLessThanBangDash,
    HtmlStateCommentLessThanBangDashDash, HtmlStateCommentEndDash, HtmlStateCommentEnd,
    HtmlStateCommentEndBang,
    HtmlStateDoctype, HtmlStateBeforeDoctypeName, HtmlStateDoctypeName,
    HtmlStateAfterDoctypeName, HtmlStateAfterDoctypePublicKeyword,
    HtmlStateBeforeDoctypePublicId, HtmlStateDoctypePublicIdDouble,
    HtmlStateDoctypePublicIdSingle, HtmlStateAfterDoctypePublicId,
    HtmlStateBetweenDoctypeIds, HtmlStateAfterDoctypeSystemKeyword,
    HtmlStateBeforeDoctypeSystemId, HtmlStateDoctypeSystemIdDouble,
    HtmlStateDoctypeSystemIdSingle, HtmlStateAfterDoctypeSystemId, HtmlStateBogusDoctype,
    HtmlStateCdataSection, HtmlStateCdataSectionBracket, HtmlStateCdataSectionEnd,
    HtmlStateCharacterReference, HtmlStateNamedCharacterReference,
    HtmlStateAmbiguousAmpersand, HtmlStateNumericCharacterReference,
    HtmlStateHexReferenceStart, HtmlStateDecimalReferenceStart, HtmlStateHexReference,
    HtmlStateDecimalReference, HtmlStateNumericReferenceEnd,
    HtmlStateCount
};

enum HtmlTokenKind {
    HtmlTokenCharacters, // a run of text, references decoded
    HtmlTokenStartTag,
    HtmlTokenEndTag,
    HtmlTokenComment,
    HtmlTokenDoctype,
    HtmlTokenEndOfFile,
};

enum HtmlQuote { HtmlNoValue, HtmlUnquoted, HtmlSingleQuoted, HtmlDoubleQuoted };

// Bytes [start, end) of the page.
struct HtmlSpan {
    size_t start, end;
};

struct HtmlAttribute {
    const char* name; // lower case
    size_t nameLength;
    const char* value; // references decoded, line ends read as LF
    size_t valueLength;
    HtmlSpan nameSpan;
    HtmlSpan valueSpan; // inside the quotes; empty, at the name's end, for no value
    unsigned char quote; // HtmlQuote
    bool duplicate;      // a name the tag already had: browsers drop it
};

// Texts stay valid while `take` runs. A token's bytes follow the previous
// token's, but for the bytes that make none: "</>", the brackets of a CDATA
// section, a tag or a DOCTYPE cut off by the end of the page.
struct HtmlToken {
    unsigned char kind; // HtmlTokenKind
    HtmlSpan span;
    const char* text; // characters, the tag's or DOCTYPE's name, a comment's data
    size_t textLength;
    HtmlSpan textSpan; // where the name or the comment's data stands in the page
    const HtmlAttribute* attributes;
    size_t attributeCount;
    bool selfClosing;
    // A DOCTYPE's identifiers; its name is `text` when `hasName`.
    const char* publicId;
    size_t publicLength;
    const char* systemId;
    size_t systemLength;
    bool hasName, hasPublic, hasSystem, forceQuirks;
};

struct HtmlTokenizer;
// Returns 0 to stop the tokenizer.
typedef int (*HtmlTokenTake)(void* context, HtmlTokenizer* tokenizer, const HtmlToken* token);

struct HtmlBuffer {
    char* bytes;
    size_t length, room;
};

// What a tag holds while it is read: offsets into `markup`.
struct HtmlAttributeBuild {
    size_t name, nameLength, value, valueLength;
    HtmlSpan nameSpan, valueSpan;
    unsigned char quote;
    bool duplicate;
};

struct HtmlTokenizer {
    const char* bytes;
    size_t length;
    unsigned char* states;
    size_t pos;   // the current character
    size_t width; // its bytes; 0 at the end of the page
    unsigned char state, returnState;
    bool reconsume, done, stopped, failed;
    bool cdataAllowed; // the adjusted current node is not an HTML element
    HtmlTokenTake take;
    void* context;

    HtmlBuffer text;     // the run of characters being gathered
    bool textOpen;
    size_t textStart;    // where the run started
    size_t stretchStart; // just past the last token or the bytes that made none

    HtmlBuffer markup; // the tag, comment or DOCTYPE being read
    unsigned char kind;
    size_t markupStart; // its "<"
    size_t nameLength;  // a tag's or DOCTYPE's name leads `markup`
    HtmlSpan nameSpan;
    bool selfClosing;
    HtmlAttributeBuild* attributes;
    size_t attributeCount, attributeRoom;
    HtmlAttribute* attributeOut;
    size_t publicAt, publicLength, systemAt, systemLength;
    bool hasName, hasPublic, hasSystem, forceQuirks;

    size_t tempStart;     // an end tag's name or a "script" word after "<" in raw text
    size_t referenceStart; // the "&" of a character reference
    uint32_t referenceCode;
    HtmlBuffer lastStartTag;
    bool hasLastStartTag;
};

void HtmlTokenizerStart(HtmlTokenizer* t, const char* bytes, size_t length,
                        unsigned char* states, HtmlTokenTake take, void* context);
int HtmlTokenizerRun(HtmlTokenizer* t);
void HtmlTokenizerFree(HtmlTokenizer* t);
void HtmlTokenizerSwitch(HtmlTokenizer* t, HtmlState state);
int HtmlTokenizerAssumeStartTag(HtmlTokenizer* t, const char* name, size_t length);
const char* HtmlStateName(HtmlState state);

// What the page scanner's two halves share: its modes and its byte rules.
// Reading bytes lives in PageScan.cpp, judging line ends in PageScanJoin.cpp.
#pragma once
#include "authoring/PageScan.h"

enum HtmlMode {
    ModeText,
    ModeTagOpen,    // after "<"
    ModeEndTagOpen, // after "</"
    ModeTagName,
    ModeInTag,      // between attributes
    ModeAttrName,
    ModeAfterName,  // after an attribute's name, before "=" or the next one
    ModeBeforeValue,
    ModeValue1,     // '...'
    ModeValue2,     // "..."
    ModeValueBare,
    ModeMarkup,     // after "<!"
    ModeComment,
    ModeDeclaration, // <!DOCTYPE ...>, <?...>, </ 1>
    ModeRaw,         // the inside of <script>, <style>, <textarea>, <title>, <xmp>
};

enum RawKind { RawNone, RawScript, RawStyle, RawTextarea, RawTitle, RawXmp };

bool ScanIsSpace(unsigned char c);
bool ScanIsWordByte(unsigned char c);
bool ScanIsLetter(unsigned char c);
char ScanLower(char c);
bool ScanIsInline(const char* name, size_t length);
void ScanHtmlByte(PageScan* scan, unsigned char c);
// "</script", "</style" ... has been read whole: a space, "/" or ">" ends the element.
bool ScanEndTagWaits(const PageScan* scan);

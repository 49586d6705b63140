// The settings file from the author's side: which plain characters it can
// hold, the plain file of ten values made into the enciphered one and back.
//   SettingsCharFault     why a plain byte can't be stored (at either end of a
//                         value when `edge`), or null when it can
//   SettingsEncipher      a plain value as a stored line (no line end) in `out`
//                         (6 * length + 1 bytes); with `entities` a character
//                         that can't be stored becomes an HTML reference ("&#69;")
//                         where one can stand. 0 and the 1-based column of the
//                         first character that can't be stored otherwise
//   SettingsRoleName      what a line does in the page ("insert text" ...), or null
//   SettingsIsAdjustment  whether line n is read as a number (7 to 10)
//   SettingsIsWholeNumber an optional sign and digits, within 32 bits
//   AuthorEncode / AuthorDecode   the commands; the exit code
#pragma once
#include <stddef.h>
#include <stdint.h>

const char* SettingsCharFault(unsigned char plain, bool edge);
int SettingsEncipher(const char* value, size_t length, bool entities, char* out, size_t* outLength,
                     size_t* faultColumn);
const char* SettingsRoleName(int32_t n);
bool SettingsIsAdjustment(int32_t n);
bool SettingsIsWholeNumber(const char* text);
int AuthorEncodeBytes(const char* plainName, const char* plain, size_t length, bool entities,
                      char** stored, size_t* storedLength);
int AuthorEncode(const char* plainPath, const char* settingsPath, bool entities);
int AuthorDecode(const char* settingsPath);

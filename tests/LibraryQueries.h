// What the tests ask of the libraries beyond their operations: table counts and
// records, and a limit on the string base to run it out of memory. Defined in
// tests/queries/, compiled into the test programs only.
#pragma once
#include <windows.h>
#include <stddef.h>
#include <stdint.h>

int32_t FileCount();
int32_t WindowCount();
int32_t WindowAnyCount();
int RequesterRecordCount(DWORD threadId);
// Live sizing: on or off, and the sizing edge chosen (0 for none yet).
int LiveSizingActive();
int32_t LiveSizingEdge();
// Growth of the string base past `most` bytes fails; SIZE_MAX lifts the limit.
void StringBaseLimit(size_t most);
// The same for the blocks of stored texts (a page, a value).
void TextLimit(size_t most);
int32_t GadgetCount();
// Records in the gadget library's list of any-numbered gadgets.
int32_t GadgetAnyCount();
// The bytes the gadget table takes on the main heap.
size_t GadgetTableBytes();
// Successful loads of the browser's library; the library's name; and the next
// creation loading it anew, as right after start-up.
int BrowserLoadCount();
void BrowserLibraryName(const char* name);
void BrowserHostForget();

// The settings file "data/1013.dat": ten lines, one value each, every byte
// enciphered by adding SettingsShift; spaces round a line are not part of it.
//   SettingsRead        reads, trims and deciphers the ten lines and derives the
//                       page width and height texts; 0 when the file can't be opened
//   SettingsReadFile    the same from another file, for a screen of the given size
//                       (the authors' tool builds pages for other screens)
//   SettingsValue       value n (1 to 10); "" for other n and for values not read
//   SettingsPageWidth   screen width + width adjustment (value 9), in decimal
//   SettingsPageHeight  screen height + height adjustment (value 10), in decimal
// It reads through file number 0 and closes it again; running out of
// memory for a value counts as a failure to read.
#pragma once
#include <stdint.h>

enum { SettingsShift = 187, SettingsCount = 10 };

int SettingsRead();
int SettingsReadFile(const char* path, int32_t screenWidth, int32_t screenHeight);
const char* SettingsValue(int32_t n);
const char* SettingsPageWidth();
const char* SettingsPageHeight();

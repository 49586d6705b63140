// Numbered files on the system's file calls. A file is opened under a number of
// the caller's choosing (0 up: the file table; -1: any number, the result is an
// identifier to use as the number) and becomes the current file; line, value and
// block reads, text writes and positions act on the current file.
//   FileLibraryInit      table of 10, no current file; 0 without memory for it
//   FileOpenRead         existing file, read access, others may read
//   FileOpenReadWrite    read and write, made when missing, not truncated
//   FileCreate           write access, made or truncated
//   FileOpenExclusive    existing file, read and write, no sharing
//   FileClose            closes a number; closing the current file leaves none current
//   FileCloseAll         any-numbered files newest first, then the table upwards
//   FileSelect           makes an open number current; the current handle
//   FileReadLine         the next line, built in the string base
//   FileReadLines        hands each line to the caller until it says stop
//   FileWriteText        the text's bytes, nothing added
//   FileAtEnd            -1 at the end of that file, else 0; a pipe is at its end
//                        once its writer has gone and nothing is left in it; the
//                        byte read to look at a device is kept for its next read
//   FileReadBlock / FileReadByte / FileReadWord / FileReadLong / FileReadFloat
//   FileSetPosition / FileGetPosition / FileGetLength
// Opens return non-zero on success: the system handle for a table number, the
// identifier for -1; 0 on failure.
#pragma once
#include <windows.h>
#include <stddef.h>
#include <stdint.h>

int FileLibraryInit();
intptr_t FileOpenRead(intptr_t number, const char* path);
intptr_t FileOpenReadWrite(intptr_t number, const char* path);
intptr_t FileCreate(intptr_t number, const char* path);
intptr_t FileOpenExclusive(intptr_t number, const char* path);
void FileClose(intptr_t number);
void FileCloseAll();
HANDLE FileSelect(intptr_t number);
// The line lives in the string base until the next use of it; `length` (if
// given) receives its length. A line end is never part of the text. Null when
// the line can't be held in memory: the position is then back at its start.
char* FileReadLine(size_t* length = nullptr);
// Reads the current file from its position in blocks (the first of `firstBlock`
// bytes) and calls `take` with each line, in the string base and ended by a
// zero, until `take` returns 0 or the file ends. The position is then right
// after the last line taken. 0 when a line can't be held in memory: the
// position is then at that line's start, and nothing of it was handed over.
// A handle that cannot seek (a pipe, a device) reads the same lines, a byte at
// a time; a line too long for memory is then lost. Such a handle reads the LF
// of a CR LF with its next read, whatever that is, and each file keeps that for
// itself.
typedef int (*FileLineTake)(void* context, char* line, size_t length);
int FileReadLines(FileLineTake take, void* context, DWORD firstBlock);
DWORD FileWriteText(const char* text);
int FileAtEnd(intptr_t number);
DWORD FileReadBlock(void* destination, DWORD count);
int32_t FileReadByte();
int32_t FileReadWord();
int32_t FileReadLong();
float FileReadFloat();
void FileSetPosition(int32_t offset);
int32_t FileGetPosition();
int32_t FileGetLength();

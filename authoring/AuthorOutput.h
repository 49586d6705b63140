// What the authors' tool says and the whole files it reads and writes.
//   OutPrint / ErrPrint   formatted text on standard output / standard error
//   OutWrite              bytes on standard output, unchanged (no line end translation)
//   AuthorFileRead        a whole file into a block of the main heap, with a zero
//                         after it; null when it can't be opened or read
//   AuthorFileReadFault   why the last AuthorFileRead gave null ("missing or can't
//                         be opened", "4 GiB or more: too large to read", ...)
//   AuthorFileFree        gives such a block back
//   AuthorFileReplace     writes a file whole or not at all: a temporary file beside
//                         it first, then moved over it; 0 on failure (a read-only
//                         file is a failure), the old file kept
//   AuthorFileStage       the first half of that: the bytes in a temporary file beside
//                         `path` (its name into `temporary`), on the disk; 0 when a
//                         read-only file or a folder stands at `path` or it can't be written
//   AuthorFileCommit      the second: the temporary file moved over `path`; on
//                         failure it is deleted
//   AuthorFileMake        writes a new file; 0 on failure
#pragma once
#include "authoring/AuthorEscape.h"
#include <stddef.h>

void OutPrint(const char* format, ...) __attribute__((format(printf, 1, 2)));
void ErrPrint(const char* format, ...) __attribute__((format(printf, 1, 2)));
int OutWrite(const char* bytes, size_t length);
char* AuthorFileRead(const char* path, size_t* length);
const char* AuthorFileReadFault();
void AuthorFileFree(char* bytes);
int AuthorFileReplace(const char* path, const char* bytes, size_t length);
enum { AuthorTemporaryMax = 260 + 32 };
int AuthorFileStage(const char* path, const char* bytes, size_t length, char* temporary);
int AuthorFileCommit(const char* temporary, const char* path);
int AuthorFileMake(const char* path, const char* bytes, size_t length);

// The page and the sample from the author's side.
//   AuthorBuild  the page the presenter writes for a folder on a screen of the
//                given size, to a file or (with a null path) standard output
//   AuthorInit   the sample presentation into folder/data; refuses to write
//                over any file that is there
// Both return the exit code.
#pragma once
#include <stdint.h>

int AuthorBuild(const char* folder, int32_t width, int32_t height, const char* outPath);
int AuthorInit(const char* folder);

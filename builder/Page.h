// The page: joined from the fragment files "data/1010.dat" ... "data/1019.dat"
// and the settings, written to the page file "data/1014.dat", shown at PageUrl (PageUrl.h).
// Every line is trimmed of its spaces and the pieces are joined with nothing
// between them, so the page holds no line end.
//   PageBuild          the page text from the thirteen pieces in their order;
//                      0 at the first fragment that isn't there or can't be
//                      opened (the files' sizes are looked up first, to make
//                      room for the page)
//   PageSave           the page text into the page file; 0 when the file can't
//                      be created or does not take all of the page
//   PageClear          the page text becomes empty
//   PageFragmentRead   appends a fragment's lines up to its end marker line, or up
//                      to the end of the file when it has none; 0 when it can't be opened
//   PageLineRead       appends the first line of a file; 0 when it can't be opened
//   PageText           the page text
//   PageLength         its length
// Files are read and written through file number 0, each closed before the next.
// Out of memory while building counts as a failure to read. The forms that
// show a message and end the run belong to the driver.
#pragma once
#include <stddef.h>

int PageBuild();
int PageSave();
void PageClear();
int PageFragmentRead(const char* path);
int PageLineRead(const char* path);
const char* PageText();
size_t PageLength();
